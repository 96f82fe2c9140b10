#include "tags/colorise.h"

#include <gtest/gtest.h>

#include <random>

#include "marks.h"
#include "tags/vocabulary.h"

namespace scrivle {
namespace {

using test::marks;

TEST(TagVocabulary, FamiliesAndStyles) {
  const std::string charLetters = "123UNVISEW";
  const std::string paraLetters = ",-.;=CELPR\\";
  int chars = 0;
  int paras = 0;
  int any = 0;
  for (int c = 0; c < 256; ++c) {
    const auto b = static_cast<unsigned char>(c);
    chars += isCharTagLetter(b);
    paras += isParaTagLetter(b);
    any += isTagLetter(b);
    EXPECT_EQ(isCharTagLetter(b), charLetters.find(static_cast<char>(b)) != std::string::npos);
    EXPECT_EQ(isParaTagLetter(b), paraLetters.find(static_cast<char>(b)) != std::string::npos);
  }
  EXPECT_EQ(chars, 10);
  EXPECT_EQ(paras, 11);
  EXPECT_EQ(any, 20);

  const TParametre p = test::tagSettings();
  // Style order of the settings record: margins 0..3, L C R P E, separators.
  EXPECT_EQ(StyleOf(p, '&', '\\'), &p.StylesEt[0]);
  EXPECT_EQ(StyleOf(p, '&', ';'), &p.StylesEt[2]);
  EXPECT_EQ(StyleOf(p, '&', '.'), &p.StylesEt[3]);
  EXPECT_EQ(StyleOf(p, '&', 'E'), &p.StylesEt[8]);
  EXPECT_EQ(StyleOf(p, '&', '='), &p.StylesEt[10]);
  EXPECT_EQ(StyleOf(p, '#', 'E'), &p.StylesDiese[8]);
  EXPECT_EQ(StyleOf(p, '#', 'W'), &p.StylesDiese[9]);
  EXPECT_EQ(StyleOf(p, '\f'), &p.StyleBookmark);
  EXPECT_EQ(StyleOf(p, '#', '\\'), nullptr);
  EXPECT_EQ(StyleOf(p, '&', 'U'), nullptr);
  EXPECT_EQ(StyleOf(p, 'x', 'U'), nullptr);
}

TEST(Colorise, RecognitionRules) {
  const TParametre p = test::tagSettings();
  TextModel m;
  m.load("##1 #&C #u &l #4 &A &E#E &\\ #\\ x\fy #1#U #");
  m.setSel(5, 3);
  colorise(m, 1, m.length(), true, p);
  EXPECT_EQ(marks(m), ".bb..rr.............rrbb.rr.....a..bbbb..");
  EXPECT_EQ(m.selStart(), 5);
  EXPECT_EQ(m.selLength(), 3);
  EXPECT_FALSE(m.selectionHidden());
  EXPECT_FALSE(m.canUndo());
}

TEST(Colorise, RangesClampAndOwnStyles) {
  TParametre p = test::tagSettings();
  p.StylesDiese[1].Couleur = 0x00008000;
  p.StylesDiese[1].Gras = kTrue;
  p.StylesDiese[1].Italique = kTrue;
  TextModel m;
  m.load("#1ab#2cd&C");
  // Only tags that begin at indexes 4..5: "#2" starts at index 5, its letter is past 5.
  colorise(m, 4, 5, true, p);
  EXPECT_EQ(marks(m), "....**....");
  const CharStyle own = m.styleAt(4);
  EXPECT_EQ(own.colour, 0x00008000U);
  EXPECT_TRUE(own.bold);
  EXPECT_TRUE(own.italic);
  colorise(m, -10, 1000, true, p);
  EXPECT_EQ(marks(m), "bb..**..rr");
  colorise(m, 9, 3, true, p);  // empty range
  colorise(m, 11, 20, true, p);

  TextModel off;
  off.load("#1");
  colorise(off, 1, 2, false, p);
  EXPECT_EQ(marks(off), "..");

  m.setSel(2, 1);
  decolourAll(m);
  EXPECT_EQ(marks(m), "..........");
  EXPECT_EQ(m.selStart(), 2);
  EXPECT_EQ(m.selLength(), 1);
}

// Random bytes dense in introducers and letters, random ranges: the painting matches a
// direct reading of the rules, and (under the sanitizer) nothing is read outside the text.
TEST(Colorise, RandomTextMatchesTheRules) {
  const TParametre p = test::tagSettings();
  std::mt19937 rng(7);
  const std::string alphabet = "#&#&\f\r\n1U&E=\\.xa";
  for (int round = 0; round < 200; ++round) {
    std::string text(static_cast<std::size_t>(rng() % 40), ' ');
    for (char& c : text) {
      c = rng() % 3 == 0 ? static_cast<char>(rng() % 256) : alphabet[rng() % alphabet.size()];
    }
    TextModel m;
    m.load(text);
    const auto n = static_cast<Pos>(text.size());
    const Pos first = static_cast<Pos>(rng() % 50) - 5;
    const Pos last = static_cast<Pos>(rng() % 50) - 5;
    colorise(m, first, last, true, p);
    std::string expected(text.size(), '.');
    for (Pos i = std::max<Pos>(first, 1); i <= std::min(last, n); ++i) {
      const auto c = static_cast<unsigned char>(text[i - 1]);
      const auto next = i < n ? static_cast<unsigned char>(text[i]) : 0;
      if (c == '\f') expected[i - 1] = 'a';
      if (isTag(c, next)) expected[i - 1] = expected[i] = c == '#' ? 'b' : 'r';
    }
    ASSERT_EQ(marks(m), expected) << "round " << round;
  }
}

}  // namespace
}  // namespace scrivle
