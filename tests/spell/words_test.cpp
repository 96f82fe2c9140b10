#include "spell/words.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace scrivle::spell {
namespace {

// The words as "text@start" for compact expectations.
std::vector<std::string> words(std::string_view text) {
  std::vector<Word> ws;
  splitWords(text, ws);
  std::vector<std::string> out;
  for (const Word& w : ws) out.push_back(w.utf8 + "@" + std::to_string(w.start));
  return out;
}

using V = std::vector<std::string>;

TEST(SpellWords, TagsSeparateWordsAndAreNeverPartOfOne) {
  EXPECT_EQ(words("#Urayon"), V({"rayon@2"}));
  // "lumi\xE8re" with a tag in the middle: two words, as the tag cuts it.
  EXPECT_EQ(words("lumi#U\xE8re"), V({"lumi@0", "\xC3\xA8re@6"}));
  EXPECT_EQ(words("&Ctitre centr\xE9#2"), V({"titre@2", "centr\xC3\xA9@8"}));
  // Not tags: lower-case letter, a digit other than 1-3, "&A": plain punctuation.
  EXPECT_EQ(words("#uno &Amis"), V({"uno@1", "Amis@6"}));
  // "##1" and "#&C": the tag is the later pair.
  EXPECT_EQ(words("a##1bc#&Cde"), V({"bc@4", "de@9"}));
  // A tag letter glued after a word ends it without being read as a letter.
  EXPECT_EQ(words("mot#Emot"), V({"mot@0", "mot@5"}));
}

TEST(SpellWords, LineBreaksAndBookmarkSeparate) {
  EXPECT_EQ(words("un\r\ndeux\x0Ctrois"), V({"un@0", "deux@4", "trois@9"}));
  EXPECT_EQ(words("\x0C"
                  "Chapitre"),
            V({"Chapitre@1"}));
}

TEST(SpellWords, GreekLettersAndMathSymbolsAreNotWords) {
  // alpha, beta, pi, sqrt, integral, <=, x-bar: no word at all.
  EXPECT_TRUE(words("\x80\x81 \x8C \xA8 \xBD \x9C \x9A").empty());
  // A Greek letter inside a word cuts it.
  EXPECT_EQ(words("ab\x80"
                  "cd"),
            V({"ab@0", "cd@3"}));
  EXPECT_EQ(words("a\xD7"
                  "bc"),
            V({"bc@2"}));  // multiplication sign, then one-letter word left out
}

TEST(SpellWords, WordsWithDigitsAndOneLetterWordsAreSkipped) {
  EXPECT_EQ(words("x2 3eme 2024 H2O mot1 a y deux"), V({"deux@26"}));
  EXPECT_EQ(words("x\xB2 ok"), V({"ok@3"}));  // superscript two
}

TEST(SpellWords, ApostrophesAndHyphensInsideWordsStay) {
  EXPECT_EQ(words("l'image aujourd'hui peut-\xEAtre"),
            V({"l'image@0", "aujourd'hui@8", "peut-\xC3\xAAtre@20"}));
  // At the edges they are punctuation.
  EXPECT_EQ(words("'cite' -moins- l'"), V({"cite@1", "moins@8"}));
  // A tag right after an apostrophe: the elided article stands alone (and is one letter).
  EXPECT_EQ(words("l'#Uimage"), V({"image@4"}));
  EXPECT_EQ(words("a--b"), V({}));
}

TEST(SpellWords, RangesCoverTheBytesOfTheWord) {
  std::vector<Word> ws;
  const std::string text = "#1Caf\xE9#2 cr\xE8me";
  splitWords(text, ws);
  ASSERT_EQ(ws.size(), 2U);
  EXPECT_EQ(text.substr(ws[0].start, ws[0].length), "Caf\xE9");
  EXPECT_EQ(text.substr(ws[1].start, ws[1].length), "cr\xE8me");
  EXPECT_EQ(ws[1].utf8, "cr\xC3\xA8me");
  // The last byte of the text as a tag introducer never reads past the end.
  ws.clear();
  splitWords("fin#", ws);
  ASSERT_EQ(ws.size(), 1U);
  EXPECT_EQ(ws[0].length, 3);
}

// Any bytes: words in order, apart, inside the text, made of letters, apostrophes and
// hyphens only, and never holding a byte of a tag.
TEST(SpellWords, RandomBytesGiveWellFormedWords) {
  std::mt19937 rng(5);
  const std::string alphabet =
      "ab\xE9#&UC1'-\r\n\x0C \x80"
      "0";
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    const std::size_t n = rng() % 40;
    for (std::size_t i = 0; i < n; ++i) text += alphabet[rng() % alphabet.size()];
    std::vector<Word> ws;
    splitWords(text, ws);
    std::int64_t end = 0;
    for (const Word& w : ws) {
      ASSERT_GE(w.start, end) << text;
      ASSERT_GE(w.length, 2) << text;
      end = w.start + w.length;
      ASSERT_LE(end, static_cast<std::int64_t>(text.size())) << text;
      for (std::int64_t i = w.start; i < end; ++i) {
        const auto c = static_cast<unsigned char>(text[static_cast<std::size_t>(i)]);
        ASSERT_TRUE(isWordLetter(c) || c == '\'' || c == '-') << text;
        // A letter right after an introducer that makes a tag of it is never in a word.
        if (i > 0) {
          const auto prev = static_cast<unsigned char>(text[static_cast<std::size_t>(i - 1)]);
          ASSERT_FALSE((prev == '#' && (c == 'U' || c == '1')) || (prev == '&' && c == 'C'))
              << text;
        }
      }
    }
  }
}

}  // namespace
}  // namespace scrivle::spell
