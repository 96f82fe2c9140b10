#include "calc/charset.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

namespace scrivle::charset {
namespace {

std::string allCodes() {
  std::string s;
  for (int c = 0; c < 256; ++c) {
    s += static_cast<char>(c);
  }
  return s;
}

TEST(Charset, EveryCodeSurvivesUtf8AndUtf32) {
  const std::string all = allCodes();
  EXPECT_EQ(fromUtf8(toUtf8(all)), all);
  EXPECT_EQ(fromUtf32(toUtf32(all)), all);
  // Code by code as well, so a collision between two codes shows which ones.
  std::set<std::string> seen;
  for (int c = 0; c < 256; ++c) {
    const std::string one(1, static_cast<char>(c));
    const std::string utf8 = toUtf8(one);
    EXPECT_EQ(fromUtf8(utf8), one) << "code " << c;
    EXPECT_TRUE(seen.insert(utf8).second) << "code " << c << " shares its character";
  }
  // Line breaks and the form feed are themselves, so text keeps its lines on the clipboard.
  EXPECT_EQ(toUtf8("a\r\nb\rc\nd\x0C"), "a\r\nb\rc\nd\x0C");
}

TEST(Charset, EntriesOutsideTheBmpAndOfTwoCodePoints) {
  EXPECT_EQ(unicodeOf(0x95).first, U'\U0001D5A4');
  EXPECT_EQ(unicodeOf(0x97).first, U'\U0001D5C2');
  EXPECT_EQ(toUtf8("\x95\x97"), "\xF0\x9D\x96\xA4\xF0\x9D\x97\x82");
  EXPECT_EQ(toUtf32("\x9A\x9B"), U"x\u0305y\u0305");
  EXPECT_EQ(unicodeOf('x').second, 0U);

  EXPECT_EQ(fromUtf32(U"x\u0305"), "\x9A");
  EXPECT_EQ(fromUtf32(U"xx\u0305y"), "x\x9Ay");
  EXPECT_EQ(fromUtf32(U"y\u0304"), "\x9B");  // a macron is taken for the bar too
  EXPECT_EQ(fromUtf32(U"z\u0305"), "z?");    // no z-bar on the calculator
  EXPECT_EQ(fromUtf32(U"\u0305x"), "?x");    // the bar belongs after its letter
  EXPECT_EQ(fromUtf8("x\xCC\x85!"), "\x9A!");
  EXPECT_EQ(fromUtf32(U"x"), "x");  // a final letter on its own
}

TEST(Charset, CharactersWithoutEquivalentBecomeQuestionMarks) {
  EXPECT_EQ(fromUtf8("1≈2"), "1?2");
  EXPECT_EQ(fromUtf8("中\U0001F600"), "??");
  EXPECT_EQ(fromUtf8("\u00A8"), "?");  // Latin-1's diaeresis: 0xA8 is the square root here
  EXPECT_EQ(fromUtf8("\u221A"), "\xA8");
  EXPECT_EQ(fromUtf32(std::u32string{0xD800, 0xDC00, 0x110000, 0xFFFFFFFF, 0x7F, 0x0B}), "??????");
  EXPECT_EQ(fromUtf8("\u2148\u1D40\u00A0"), "\x97\x99 ");  // other spellings
}

TEST(Charset, MalformedUtf8GivesOneQuestionMarkPerBrokenPart) {
  EXPECT_EQ(fromUtf8("a\x80z"), "a?z");             // lone continuation byte
  EXPECT_EQ(fromUtf8("a\xE2\x82z"), "a?z");         // truncated in the middle
  EXPECT_EQ(fromUtf8("a\xF0\x9D\x96"), "a?");       // truncated at the end
  EXPECT_EQ(fromUtf8("\xC0\xAF"), "??");            // overlong
  EXPECT_EQ(fromUtf8("\xED\xA0\x80"), "???");       // encoded surrogate
  EXPECT_EQ(fromUtf8("\xF4\x90\x80\x80"), "????");  // past U+10FFFF
  EXPECT_EQ(fromUtf8("\xFF\xFE"), "??");
  EXPECT_EQ(fromUtf8(std::string_view("\0a", 2)), std::string("\0a", 2));

  std::mt19937 rng(1234);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 2000; ++round) {
    std::string junk(static_cast<std::size_t>(byte(rng) % 12), '\0');
    for (char& c : junk) {
      c = static_cast<char>(byte(rng));
    }
    const std::string out = fromUtf8(junk);
    EXPECT_LE(out.size(), junk.size());
    EXPECT_EQ(fromUtf8(toUtf8(out)), out);
  }
}

TEST(Charset, GlyphsAreVisibleSingleCodePoints) {
  for (int c = 0; c < 256; ++c) {
    const auto code = static_cast<unsigned char>(c);
    const char32_t g = glyphOf(code);
    EXPECT_FALSE(g < 0x20 || (g >= 0x7F && g < 0xA0)) << "code " << c << " draws a control";
    const bool control = c < 0x20 || c == 0x7F;
    if (!control && c != 0x9A && c != 0x9B) {
      EXPECT_EQ(g, unicodeOf(code).first) << "code " << c;
      EXPECT_EQ(glyphTextOf(code), std::u32string(1, g));
    }
  }
  EXPECT_EQ(glyphOf(0x0C), U'\u2691');  // the bookmark marker
  EXPECT_EQ(glyphOf(0x0B), U'\u2934');  // the calculator's own symbol
  EXPECT_EQ(glyphOf(0x80), U'\u03B1');
  EXPECT_EQ(glyphTextOf(0x9A), U"x\u0305");
  EXPECT_NE(glyphOf(0x9B), U'y');
}

}  // namespace
}  // namespace scrivle::charset
