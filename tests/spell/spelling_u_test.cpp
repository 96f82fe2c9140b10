// Spelling in the editor views with Debian's dictionaries (skipped where they are not
// installed): the underlines, the context menu, and what checking must never touch.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QMenu>
#include <fstream>
#include <sstream>

#include "editor/editor_view_u.h"
#include "editor/text_model.h"
#include "settings/parametre.h"
#include "spell/hunspell/hunspell_dictionary.h"
#include "spell/spelling_u.h"
#include "support/temp_registry.h"
#include "tags/colorise.h"
#include "tags/vocabulary.h"

namespace scrivle {
namespace {

bool haveFrench() {
  for (const auto& f : spell::findDictionaries()) {
    if (f.code == "fr") return spell::hunspellBuiltIn();
  }
  return false;
}

#define REQUIRE_FRENCH() \
  if (!haveFrench()) GTEST_SKIP() << "no Hunspell or no French dictionary"

class SpellingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AppSettings = defaultSettings("/nonexistent");
    Spelling::Hooks hooks;
    hooks.edit = [this](const std::function<int(TextModel&)>& change) {
      sizeDelta_ += change(view_.model());
    };
    hooks.colourOn = [] { return true; };
    hooks.message = [this](const std::string& text) { messages_.push_back(text); };
    spelling_ = std::make_unique<Spelling>(std::move(hooks));
    spelling_->attach(&view_);
    view_.resize(600, 300);
    menu_.addAction("&Couper");
    view_.setContextMenu(&menu_);
  }

  void load(const std::string& text) {
    view_.model().load(text);
    colorise(view_.model(), 1, view_.model().length(), true, AppSettings);
    view_.model().setModified(false);
    view_.model().emptyUndoBuffer();
    spelling_->finishPass();
  }

  std::vector<std::pair<Pos, Pos>> underlined() {
    std::vector<std::pair<Pos, Pos>> out;
    view_.wavyUnderlines(0, view_.model().length(), out);
    return out;
  }

  // Opens the context menu on pos and returns its captions.
  QStringList menuAt(Pos pos) {
    view_.onContextMenu(menu_, pos);
    QStringList captions;
    for (QAction* a : menu_.actions()) captions << (a->isSeparator() ? "-" : a->text());
    return captions;
  }

  test::TempRegistry registry_;
  EditorView view_;
  QMenu menu_;
  std::unique_ptr<Spelling> spelling_;
  int sizeDelta_ = 0;
  std::vector<std::string> messages_;
};

TEST_F(SpellingTest, FrenchDictionaryFollowsElisionAndCompounds) {
  REQUIRE_FRENCH();
  load("l'image d'aujourd'hui, c'est-\xE0-dire qu'il rayonne");
  EXPECT_TRUE(underlined().empty());
}

TEST_F(SpellingTest, UnderlinesOnlyTheMisspeltWordThroughTheTags) {
  REQUIRE_FRENCH();
  load("&CBonjour le #Umondde#U\r\n#Urayon lumi#U\xE8re \x80\x81 x2");
  // "mondde", and "lumi" cut by its tag; "ère" alone is a word of the dictionary.
  EXPECT_EQ(underlined(), (std::vector<std::pair<Pos, Pos>>{{15, 6}, {33, 4}}));
}

TEST_F(SpellingTest, CheckingNeverMarksModifiedNorAddsAnUndoStep) {
  REQUIRE_FRENCH();
  load("Bonjour le mondde");
  const std::vector<CharStyle> palette = view_.model().palette();
  std::vector<std::uint8_t> before;
  view_.model().styleRuns(0, view_.model().length(), before);
  ASSERT_FALSE(underlined().empty());
  menuAt(12);
  view_.grab();  // paints the underline
  std::vector<std::uint8_t> after;
  view_.model().styleRuns(0, view_.model().length(), after);
  EXPECT_FALSE(view_.model().modified());
  EXPECT_FALSE(view_.model().canUndo());
  EXPECT_EQ(before, after);
  EXPECT_EQ(view_.model().text(), "Bonjour le mondde");
}

TEST_F(SpellingTest, EditsRecheckTheTouchedParagraph) {
  REQUIRE_FRENCH();
  load("Bonjour\r\nle monde");
  EXPECT_TRUE(underlined().empty());
  view_.model().setSel(view_.model().length());
  view_.model().typeText("d");
  view_.model().typeText("e");
  EXPECT_EQ(underlined(), (std::vector<std::pair<Pos, Pos>>{{12, 7}}));
  view_.model().undo();
  EXPECT_TRUE(underlined().empty());
}

TEST_F(SpellingTest, SuggestionReplacesTheWordInsideTagsAsOneStep) {
  REQUIRE_FRENCH();
  load("&CBonjour le #Umondde#U");
  const QStringList captions = menuAt(17);
  ASSERT_GE(captions.size(), 5);
  EXPECT_EQ(captions.front(), "monde");
  EXPECT_LE(captions.indexOf("Ajouter au dictionnaire"), 5);
  const qsizetype cut = captions.indexOf("&Couper");
  EXPECT_EQ(captions[cut - 3], "Ajouter au dictionnaire");
  EXPECT_EQ(captions[cut - 2], "Ignorer");
  EXPECT_EQ(captions[cut - 1], "-");

  menu_.actions().front()->trigger();
  TextModel& m = view_.model();
  EXPECT_EQ(m.text(), "&CBonjour le #Umonde#U");
  EXPECT_EQ(sizeDelta_, -1);
  const CharStyle u = charStyleOf(*StyleOf(AppSettings, '#', 'U'));
  EXPECT_EQ(m.styleAt(13), u);
  EXPECT_EQ(m.styleAt(14), u);
  EXPECT_EQ(m.styleAt(15), kPlainStyle);
  EXPECT_EQ(m.styleAt(20), u);
  EXPECT_EQ(m.styleAt(21), u);
  EXPECT_EQ(m.styleAt(0), charStyleOf(*StyleOf(AppSettings, '&', 'C')));
  EXPECT_TRUE(underlined().empty());
  ASSERT_TRUE(m.undo());
  EXPECT_EQ(m.text(), "&CBonjour le #Umondde#U");
  EXPECT_FALSE(m.canUndo());
}

TEST_F(SpellingTest, NoItemsOnACorrectWordAndTheyGoWhenTheMenuCloses) {
  REQUIRE_FRENCH();
  load("Bonjour le mondde");
  EXPECT_EQ(menuAt(2), QStringList({"&Couper"}));
  EXPECT_EQ(menuAt(9), QStringList({"&Couper"}));  // the space between
  EXPECT_GT(menuAt(12).size(), 1);
  EXPECT_GT(menuAt(17).size(), 1);  // the caret right after the word (menu key)
  menuAt(2);
  EXPECT_EQ(menu_.actions().size(), 1);
}

TEST_F(SpellingTest, PersonalListSurvivesARestartAndIgnoreDoesNot) {
  REQUIRE_FRENCH();
  load("Scrivlerie et Bidulage");
  ASSERT_EQ(underlined().size(), 2U);
  menuAt(1);
  for (QAction* a : menu_.actions()) {
    if (a->text() == "Ajouter au dictionnaire") a->trigger();
  }
  menuAt(15);
  for (QAction* a : menu_.actions()) {
    if (a->text() == "Ignorer") a->trigger();
  }
  EXPECT_TRUE(underlined().empty());
  std::ifstream in(registry_.dir() / "orthographe.txt", std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  EXPECT_EQ(s.str(), "Scrivlerie\n");

  // A new session: the personal word is still known, the ignored one is not.
  spelling_.reset();
  Spelling::Hooks hooks;
  spelling_ = std::make_unique<Spelling>(std::move(hooks));
  spelling_->attach(&view_);
  spelling_->finishPass();
  EXPECT_EQ(underlined(), (std::vector<std::pair<Pos, Pos>>{{14, 8}}));
  EXPECT_TRUE(messages_.empty());
}

TEST_F(SpellingTest, TurnedOffDrawsNothingAndIsRemembered) {
  REQUIRE_FRENCH();
  load("mondde");
  ASSERT_FALSE(underlined().empty());
  spelling_->setEnabled(false);
  EXPECT_TRUE(underlined().empty());
  EXPECT_EQ(menuAt(2), QStringList({"&Couper"}));
  Spelling again({});
  again.loadSettings();
  EXPECT_FALSE(again.enabled());
}

TEST_F(SpellingTest, EnglishWhenChosen) {
  REQUIRE_FRENCH();
  bool english = false;
  for (const auto& f : spelling_->found()) english = english || f.code == "en";
  if (!english) GTEST_SKIP() << "no English dictionary";
  load("the color of the house");
  EXPECT_GE(underlined().size(), 3U);  // foreign to French
  spelling_->setLanguage("en");
  spelling_->finishPass();
  EXPECT_TRUE(underlined().empty());
  EXPECT_EQ(spelling_->language(), "en");
  Spelling again({});
  again.loadSettings();
  EXPECT_EQ(again.language(), "en");
}

// Reading the dictionary is the longest work of a start: it waits until a view has been
// drawn, then happens in the background without being asked again.
TEST_F(SpellingTest, DictionaryIsReadOnlyOnceAViewHasBeenDrawn) {
  REQUIRE_FRENCH();
  view_.model().load("un mondde");
  EXPECT_TRUE(spelling_->passRunning());
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 300) QApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_FALSE(spelling_->checker().hasDictionary());
  EXPECT_TRUE(underlined().empty());  // what a first paint asks for
  clock.restart();
  while (spelling_->passRunning() && clock.elapsed() < 20000) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  EXPECT_FALSE(spelling_->passRunning());
  EXPECT_TRUE(spelling_->checker().hasDictionary());
  EXPECT_EQ(underlined(), (std::vector<std::pair<Pos, Pos>>{{3, 6}}));
}

TEST_F(SpellingTest, LongParagraphIsCheckedInSlices) {
  REQUIRE_FRENCH();
  std::string text;
  for (int i = 0; text.size() < 20000; ++i) text += "maison rouge " + std::to_string(i) + " ";
  text += "mondde";
  view_.model().load(text);
  EXPECT_TRUE(spelling_->passRunning());
  spelling_->finishPass();
  EXPECT_EQ(underlined().size(), 1U);
  // Typing into it: the states it goes through are not all kept.
  view_.model().setSel(view_.model().length());
  for (const char c : std::string(" zorglub")) view_.model().typeText(std::string(1, c));
  spelling_->finishPass();
  EXPECT_EQ(underlined().size(), 2U);
  EXPECT_LE(spelling_->checker().cachedBytes(), 3 * view_.model().length());
}

// Without any dictionary: nothing to check, the reason for the hint, nothing shown.
TEST(SpellingMissing, NoDictionaryTurnsItOffQuietly) {
  test::TempRegistry registry;
  Spelling::Hooks hooks;
  std::vector<std::string> messages;
  hooks.message = [&](const std::string& text) { messages.push_back(text); };
  hooks.findDictionaries = [] { return std::vector<spell::DictionaryFiles>{}; };
  Spelling spelling(std::move(hooks));
  EXPECT_FALSE(spelling.available());
  EXPECT_FALSE(spelling.enabled());
  EXPECT_FALSE(spelling.unavailableReason().isEmpty());
  if (spell::hunspellBuiltIn()) {
    EXPECT_TRUE(spelling.unavailableReason().contains("hunspell-fr"));
  }
  EditorView view;
  QMenu menu;
  menu.addAction("&Couper");
  view.setContextMenu(&menu);
  spelling.attach(&view);
  view.model().load("mondde zzzz");
  spelling.finishPass();
  std::vector<std::pair<Pos, Pos>> out;
  view.wavyUnderlines(0, view.model().length(), out);
  EXPECT_TRUE(out.empty());
  view.onContextMenu(menu, 2);
  EXPECT_EQ(menu.actions().size(), 1);
  EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace scrivle
