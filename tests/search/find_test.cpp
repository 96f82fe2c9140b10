#include "search/find.h"

#include <gtest/gtest.h>

#include <random>

#include "support/fake_dialogs.h"
#include "tags/colorise.h"
#include "tags/marks.h"

namespace scrivle {
namespace {

using test::FakeDialogs;
using test::marks;

class FakeSearchDialog : public SearchDialog {
 public:
  SearchOptions opts;
  int closes = 0;
  SearchOptions options() const override { return opts; }
  void closeDialog() override { ++closes; }
};

class FindTest : public ::testing::Test {
 protected:
  FindTest()
      : settings_(test::tagSettings()), target_{model_, true, settings_, {}}, engine_(dialogs_) {}

  void load(std::string_view text, Pos caret = 0) {
    model_.load(text);
    colorise(model_, 1, model_.length(), true, settings_);
    model_.setSel(caret, 0);
  }
  std::string selected() const { return model_.selectedText(); }

  TextModel model_;
  TParametre settings_;
  SearchTarget target_;
  FakeDialogs dialogs_;
  FindReplace engine_;
  FakeSearchDialog find_;
  FakeSearchDialog replace_;
};

TEST_F(FindTest, FindWalksForwardWithF3AndNeverWraps) {
  load("abc x abc y abc", 4);
  find_.opts.findText = "abc";
  EXPECT_FALSE(engine_.nextEnabled());
  engine_.FindDialogFind(find_, target_);
  EXPECT_EQ(model_.selStart(), 6);
  EXPECT_EQ(selected(), "abc");
  EXPECT_EQ(find_.closes, 1);  // find next closes the find dialog
  EXPECT_TRUE(engine_.nextEnabled());
  EXPECT_EQ(engine_.nextMode(), 0);
  EXPECT_FALSE(engine_.SuivantActionExecute(find_, replace_, target_).changed);
  EXPECT_EQ(model_.selStart(), 12);
  // The occurrence before the caret is not found again: no wrap-around.
  dialogs_.expectMessage("'abc' non trouvé dans le texte");
  engine_.SuivantActionExecute(find_, replace_, target_);
  EXPECT_EQ(model_.selStart(), 12);
  EXPECT_EQ(dialogs_.pending(), 0U);

  // Report 0 stays silent and turns into -1; an empty search text finds nothing.
  int report = 0;
  int found = 7;
  model_.setSel(0, 0);
  engine_.Find(find_, target_, 0, report, found, 0);
  EXPECT_EQ(found, -1);
  EXPECT_EQ(report, 0);
  model_.setSel(13, 0);
  engine_.Find(find_, target_, 0, report, found, 0);
  EXPECT_EQ(found, 0);
  EXPECT_EQ(report, -1);
  find_.opts.findText.clear();
  model_.setSel(0, 0);
  dialogs_.expectMessage("'' non trouvé dans le texte");
  engine_.FindDialogFind(find_, target_);
  EXPECT_EQ(model_.selLength(), 0);
}

TEST_F(FindTest, WholeWordAndMatchCase) {
  load("Abc abcd abc_ (abc)");
  find_.opts.findText = "abc";
  engine_.FindDialogFind(find_, target_);
  EXPECT_EQ(model_.selStart(), 0);  // case ignored
  find_.opts.matchCase = true;
  model_.setSel(0, 0);
  engine_.FindDialogFind(find_, target_);
  EXPECT_EQ(model_.selStart(), 4);
  find_.opts.wholeWord = true;
  model_.setSel(0, 0);
  engine_.FindDialogFind(find_, target_);
  EXPECT_EQ(model_.selStart(), 15);  // "abcd" and "abc_" are other words
}

TEST_F(FindTest, SingleReplaceReplacesTheSelectedMatchThenF3TheNextOne) {
  load("#U a #U", 0);
  replace_.opts = {"#U", "&L", true, false};
  model_.setSel(0, 2);
  TextChange c = engine_.ReplaceDialogReplace(replace_, target_, true);
  EXPECT_TRUE(c.changed);
  EXPECT_EQ(c.sizeDelta, 0);
  EXPECT_EQ(model_.text(), "&L a #U");
  EXPECT_EQ(replace_.closes, 1);
  EXPECT_EQ(model_.selStart(), 0);  // the new text is selected, caret at its start
  EXPECT_EQ(model_.selLength(), 2);
  EXPECT_EQ(model_.caret(), 0);
  EXPECT_EQ(engine_.nextMode(), 1);
  EXPECT_EQ(marks(model_), "rr...bb");  // the new tag painted
  // F3 repeats the replacement on the next match.
  c = engine_.SuivantActionExecute(find_, replace_, target_);
  EXPECT_EQ(model_.text(), "&L a &L");
  EXPECT_EQ(model_.selStart(), 5);

  // The replacement holding the search text: F3 starts at the selected "ab" itself.
  load("a a");
  replace_.opts = {"a", "ab", true, false};
  engine_.ReplaceDialogFind(replace_, target_);
  EXPECT_EQ(model_.selLength(), 1);
  c = engine_.SuivantActionExecute(find_, replace_, target_);
  EXPECT_EQ(c.sizeDelta, 1);
  EXPECT_EQ(model_.text(), "ab a");
  engine_.SuivantActionExecute(find_, replace_, target_);
  EXPECT_EQ(model_.text(), "abb a");
  EXPECT_EQ(selected(), "ab");

  // A read-only text is searched but not changed.
  model_.setReadOnly(true);
  EXPECT_FALSE(engine_.SuivantActionExecute(find_, replace_, target_).changed);
  EXPECT_EQ(model_.text(), "abb a");
}

TEST_F(FindTest, ReplaceAllFromTheSelectionStart) {
  load("x1 x2 x3 x4", 3);
  replace_.opts = {"x", "yy", true, false};
  model_.setSel(3, 4);
  const TextChange c = engine_.ReplaceDialogReplace(replace_, target_, false);
  EXPECT_EQ(model_.text(), "x1 yy2 yy3 yy4");
  EXPECT_EQ(c.sizeDelta, 3);
  EXPECT_EQ(model_.caret(), 3);
  EXPECT_EQ(model_.selLength(), 0);
  EXPECT_EQ(replace_.closes, 1);
  // One undo step takes it all back.
  ASSERT_TRUE(model_.undo());
  EXPECT_EQ(model_.text(), "x1 x2 x3 x4");

  // Nothing after the caret: one message, nothing changed.
  model_.setSel(11, 0);
  dialogs_.expectMessage("'x' non trouvé dans le texte");
  EXPECT_FALSE(engine_.ReplaceDialogReplace(replace_, target_, false).changed);
  EXPECT_EQ(dialogs_.pending(), 0U);
}

TEST_F(FindTest, EqualTextsAskBeforeTheEndlessLoop) {
  load("a A a");
  replace_.opts = {"a", "a", false, false};
  dialogs_.expectConfirm(Answer::No, kEndlessLoopQuestion);
  EXPECT_FALSE(engine_.ReplaceDialogReplace(replace_, target_, false).changed);
  EXPECT_EQ(replace_.closes, 0);
  EXPECT_EQ(model_.text(), "a A a");
  // Yes: the loop ends at the end of the text; the capital one is made small.
  dialogs_.expectConfirm(Answer::Yes, kEndlessLoopQuestion);
  const TextChange c = engine_.ReplaceDialogReplace(replace_, target_, false);
  EXPECT_TRUE(c.changed);
  EXPECT_EQ(model_.text(), "a a a");
  // With match case nothing differs: no edit, no undo step.
  model_.emptyUndoBuffer();
  replace_.opts.matchCase = true;
  dialogs_.expectConfirm(Answer::Yes);
  EXPECT_FALSE(engine_.ReplaceDialogReplace(replace_, target_, false).changed);
  EXPECT_FALSE(model_.canUndo());
}

// Replace-all means the loop "find after the last replacement, replace"; the
// one-pass version must give the same text, colours and caret.
void replaceAllByLoop(TextModel& m, const SearchOptions& o, const TParametre& p) {
  const Pos s0 = m.selStart();
  int skip = 0;
  for (;;) {
    const Pos st = m.selLength() != 0 ? m.selStart() + skip * m.selLength() : m.caret();
    const Pos hit = m.find(o.findText, st, m.length() - st, o.wholeWord, o.matchCase);
    if (hit < 0) break;
    m.setSel(hit, static_cast<Pos>(o.findText.size()));
    replaceMatch(m, o.replaceText, true, p);
    skip = 1;
  }
  m.setSel(s0, 0);
}

TEST(ReplaceAll, OnePassEqualsTheLoop) {
  const TParametre p = test::tagSettings();
  const std::vector<std::string> atoms = {"a", "A",    "b", "#",    "U",  "&", "L",
                                          " ", "\r\n", "_", "\x80", "\f", "-"};
  const std::vector<std::string> needles = {"a", "ab", "a#", "#U", "-", "&", " a", "Ab"};
  const std::vector<std::string> reps = {"", "b", "ab", "#", "U", "&", "-", "a a"};
  std::mt19937 rng(7);
  for (int round = 0; round < 200; ++round) {
    std::string text;
    const int len = static_cast<int>(rng() % 40);
    for (int i = 0; i < len; ++i) text += atoms[rng() % atoms.size()];
    SearchOptions o{needles[rng() % needles.size()], reps[rng() % reps.size()], (rng() & 1) != 0,
                    (rng() & 2) != 0};
    const Pos start = len == 0 ? 0 : static_cast<Pos>(rng() % text.size());
    TextModel fast;
    TextModel loop;
    for (TextModel* m : {&fast, &loop}) {
      m->load(text);
      colorise(*m, 1, m->length(), true, p);
      m->setSel(start, 0);
    }
    const int delta = replaceAllFrom(fast, start, o, true, p).sizeDelta;
    replaceAllByLoop(loop, o, p);
    SCOPED_TRACE(testing::Message()
                 << "text '" << text << "' find '" << o.findText << "' by '" << o.replaceText
                 << "' case " << o.matchCase << " word " << o.wholeWord << " from " << start);
    ASSERT_EQ(fast.text(), loop.text());
    ASSERT_EQ(marks(fast), marks(loop));
    ASSERT_EQ(fast.caret(), loop.caret());
    ASSERT_EQ(delta, static_cast<int>(fast.length()) - static_cast<int>(text.size()));
  }
}

}  // namespace
}  // namespace scrivle
