#include "calc/typography.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "calc/charset.h"

namespace scrivle {
namespace {

// UTF-8 of a BMP character.
std::string utf8Of(char32_t cp) {
  std::string s;
  if (cp < 0x80) {
    s += static_cast<char>(cp);
  } else if (cp < 0x800) {
    s += static_cast<char>(0xC0 | (cp >> 6));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    s += static_cast<char>(0xE0 | (cp >> 12));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return s;
}

class TypographyRow : public testing::TestWithParam<typography::Row> {};

// Each row maps a character the calculator cannot show, to text that arrives as itself
// and is not counted as a replacement.
TEST_P(TypographyRow, CharacterTheCalculatorLacksArrivesPlain) {
  const typography::Row row = GetParam();
  unsigned char code = 0;
  EXPECT_FALSE(charset::codeOf(row.cp, code)) << "the calculator has it as code " << int(code);
  std::size_t replaced = 99;
  EXPECT_EQ(charset::fromUtf8("<" + utf8Of(row.cp) + ">", &replaced),
            "<" + std::string(row.plain) + ">");
  EXPECT_EQ(replaced, 0u);
  for (const char c : std::string(row.plain)) {
    EXPECT_TRUE(c >= 0x20 && c < 0x7F) << "not plain ASCII";
  }
}

INSTANTIATE_TEST_SUITE_P(EveryRow, TypographyRow,
                         testing::ValuesIn(typography::rows().begin(), typography::rows().end()),
                         [](const testing::TestParamInfo<typography::Row>& info) {
                           char name[16];
                           std::snprintf(name, sizeof name, "U%04X",
                                         static_cast<unsigned>(info.param.cp));
                           return std::string(name);
                         });

TEST(Typography, TextFromOtherProgramsKeepsItsMeaning) {
  std::size_t replaced = 99;
  EXPECT_EQ(charset::fromUtf8("Prix : 5 € — “citation” → ok ½ œuvre", &replaced),
            "Prix : 5 EUR - \"citation\" \x16 ok 1/2 oeuvre");
  EXPECT_EQ(replaced, 0u);
  EXPECT_EQ(charset::fromUtf8("l’image", &replaced), "l'image");
  EXPECT_EQ(charset::fromUtf8("Œil\u202F: «\u00A0ça…\u00A0»", &replaced),
            "OEil : \xAB \xE7"
            "a\xA0 \xBB");
  EXPECT_EQ(replaced, 0u);
}

TEST(Typography, WhatTheCalculatorHasKeepsItsCode) {
  // « » … − ≤ exist on the calculator: no plain spelling replaces them.
  for (const char32_t cp : {U'\u00AB', U'\u00BB', U'\u2026', U'\u2212', U'\u2264'}) {
    EXPECT_EQ(typography::plainOf(cp), nullptr) << std::hex << static_cast<unsigned>(cp);
  }
  EXPECT_EQ(charset::fromUtf8("«…−»"), "\xAB\xA0\xAD\xBB");
}

TEST(Typography, CharactersWithoutEquivalentAreCounted) {
  std::size_t replaced = 0;
  EXPECT_EQ(charset::fromUtf8("中€😀≈a", &replaced), "?EUR??a");
  EXPECT_EQ(replaced, 3u);
  EXPECT_EQ(charset::fromUtf8("a\xFF"
                              "b",
                              &replaced),
            "a?b");  // malformed byte
  EXPECT_EQ(replaced, 1u);
  EXPECT_EQ(charset::fromUtf8("plain", &replaced), "plain");
  EXPECT_EQ(replaced, 0u);
}

TEST(Typography, LookupFindsEveryRowAndNothingBetween) {
  for (const typography::Row& r : typography::rows()) {
    EXPECT_STREQ(typography::plainOf(r.cp), r.plain);
  }
  EXPECT_EQ(typography::plainOf(U'a'), nullptr);
  EXPECT_EQ(typography::plainOf(U'\u2016'), nullptr);
  EXPECT_EQ(typography::plainOf(U'\U0010FFFF'), nullptr);
}

}  // namespace
}  // namespace scrivle
