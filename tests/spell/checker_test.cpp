#include "spell/checker.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "editor/text_model.h"
#include "settings/parametre.h"
#include "spell/correction.h"
#include "tags/colorise.h"
#include "tags/vocabulary.h"

namespace scrivle::spell {
namespace {

// A word list standing in for the dictionary; counts its look-ups.
class ListDictionary : public Dictionary {
 public:
  explicit ListDictionary(std::set<std::string> words, int* lookups = nullptr)
      : words_(std::move(words)), lookups_(lookups) {}
  bool check(const std::string& w) override {
    if (lookups_ != nullptr) ++*lookups_;
    return words_.contains(w);
  }
  std::vector<std::string> suggest(const std::string& w) override {
    if (w == "mondde")
      return {"monde",
              "mond\xC3\xA9"
              "e",
              "\xC5\x93uvre", "caf\xE2\x82\xAC", "monde"};
    return {};
  }
  void add(const std::string& w) override { words_.insert(w); }

 private:
  std::set<std::string> words_;
  int* lookups_;
};

std::unique_ptr<Dictionary> french(int* lookups = nullptr) {
  return std::make_unique<ListDictionary>(
      std::set<std::string>{"bonjour", "le", "monde", "rayon", "\xC5\x93uvre"}, lookups);
}

TEST(SpellChecker, FindsMisspeltWordsWithTheirBytes) {
  Checker c(french());
  const auto& bad = c.paragraph("bonjour le mondde #Urayon");
  ASSERT_EQ(bad.size(), 1U);
  EXPECT_EQ(bad[0], (Misspelling{11, 6, "mondde"}));
  // The calculator has no ligature: "oeuvre" is accepted through "œuvre".
  EXPECT_TRUE(c.paragraph("oeuvre").empty());
}

TEST(SpellChecker, ParagraphsAndWordsAreCheckedOnce) {
  int lookups = 0;
  Checker c(french(&lookups));
  c.paragraph("le monde le monde mondde");
  EXPECT_EQ(lookups, 3);  // three distinct words
  const int after = lookups;
  EXPECT_NE(c.cached("le monde le monde mondde"), nullptr);
  c.paragraph("le monde le monde mondde");
  c.paragraph("mondde le");
  EXPECT_EQ(lookups, after);
}

TEST(SpellChecker, PersonalAndIgnoredWordsDropFromCheckedParagraphs) {
  Checker c(french());
  c.paragraph("mondde rayonn");
  c.addPersonal("mondde");
  EXPECT_EQ(c.cached("mondde rayonn")->size(), 1U);
  c.ignore("rayonn");
  EXPECT_TRUE(c.cached("mondde rayonn")->empty());
  // Another dictionary (language) keeps both: the personal list and the session's choices.
  c.setDictionary(french());
  EXPECT_TRUE(c.correct("mondde"));
  EXPECT_TRUE(c.correct("rayonn"));
  EXPECT_FALSE(c.correct("rayo"));
}

TEST(SpellChecker, SuggestionsAreCalculatorTextWithoutDuplicates) {
  Checker c(french());
  const auto s = c.suggestions("mondde");
  // "€" cannot be written on the calculator; "œ" is spelt out; the duplicate goes.
  EXPECT_EQ(s, (std::vector<std::string>{"monde",
                                         "mond\xE9"
                                         "e",
                                         "oeuvre"}));
  EXPECT_EQ(c.suggestions("mondde", 1).size(), 1U);
}

TEST(SpellChecker, PruningForgetsParagraphsNotAskedFor) {
  Checker c(french());
  c.paragraph("bonjour");
  c.paragraph("bonjou");
  c.beginUse();
  c.paragraph("bonjour");
  c.pruneUnused();
  EXPECT_NE(c.cached("bonjour"), nullptr);
  EXPECT_EQ(c.cached("bonjou"), nullptr);
}

TEST(SpellChecker, NoDictionaryChecksNothing) {
  Checker c;
  EXPECT_TRUE(c.paragraph("zzzz qqqq").empty());
  EXPECT_TRUE(c.suggestions("zzzz").empty());
}

TEST(SpellWordList, ReadsWhatItWrites) {
  const std::set<std::string> words{"Scrivle", "caf\xC3\xA9", "l'\xC3\xA9t\xC3\xA9"};
  EXPECT_EQ(parseWordList(formatWordList(words)), words);
  EXPECT_EQ(parseWordList("\xEF\xBB\xBF"
                          "un\r\n\n  deux \r\n"),
            (std::set<std::string>{"un", "deux"}));
}

TEST(SpellCorrection, KeepsTheTagsAndTheirColoursInOneUndoStep) {
  TParametre settings = defaultSettings("/nonexistent");
  TextModel m;
  m.load("&C#Umondde#U fin");
  m.setModified(false);
  m.emptyUndoBuffer();
  colorise(m, 1, m.length(), true, settings);
  const int delta = replaceWord(m, 4, 6, "monde", true, settings);
  EXPECT_EQ(delta, -1);
  EXPECT_EQ(m.text(), "&C#Umonde#U fin");
  const CharStyle para = charStyleOf(*StyleOf(settings, '&', 'C'));
  const CharStyle chr = charStyleOf(*StyleOf(settings, '#', 'U'));
  EXPECT_EQ(m.styleAt(0), para);
  EXPECT_EQ(m.styleAt(2), chr);
  EXPECT_EQ(m.styleAt(3), chr);
  for (Pos i = 4; i < 9; ++i) EXPECT_EQ(m.styleAt(i), kPlainStyle) << i;
  EXPECT_EQ(m.styleAt(9), chr);
  EXPECT_EQ(m.styleAt(10), chr);
  EXPECT_TRUE(m.modified());
  ASSERT_TRUE(m.undo());
  EXPECT_EQ(m.text(), "&C#Umondde#U fin");
  EXPECT_FALSE(m.canUndo());
}

TEST(SpellCorrection, RefusesARangeOutsideTheText) {
  TParametre settings = defaultSettings("/nonexistent");
  TextModel m;
  m.load("abc");
  EXPECT_EQ(replaceWord(m, 2, 5, "x", false, settings), 0);
  EXPECT_EQ(replaceWord(m, 0, 1, "", false, settings), 0);
  EXPECT_EQ(m.text(), "abc");
}

}  // namespace
}  // namespace scrivle::spell
