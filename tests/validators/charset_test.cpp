// Cross-checks the calculator character table against Debian's libticonv.
#include <gtest/gtest.h>

// The header uses C99's restrict, which C++ spells __restrict.
#define restrict __restrict
#include <tilp2/ticonv.h>
#undef restrict

#include <string>

#include "calc/charset.h"

namespace {

std::u16string toUtf16(std::u32string_view text) {
  std::u16string out;
  for (const char32_t cp : text) {
    if (cp >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

std::u16string ticonvDecode(CalcModel model, unsigned char code) {
  const char ti[2] = {static_cast<char>(code), 0};
  unsigned short* u = ticonv_charset_ti_to_utf16(model, ti);
  std::u16string out;
  for (const unsigned short* p = u; p != nullptr && *p != 0; ++p) {
    out += static_cast<char16_t>(*p);
  }
  ticonv_utf16_free(u);
  return out;
}

// libticonv gets 0x95 and 0x97 wrong (their surrogates decode to CJK ideographs, not
// the mathematical E and i) and cannot express 0x00 in its NUL-terminated strings.
bool isKnownDisagreement(unsigned code) {
  return code == 0x00 || code == 0x95 || code == 0x97;
}

TEST(CharsetAgainstTiconv, EveryCodeDecodesTheSameForTheTi89AndTi92Plus) {
  for (const CalcModel model : {CALC_TI89, CALC_TI92P}) {
    for (unsigned code = 0; code < 256; ++code) {
      if (isKnownDisagreement(code)) {
        continue;
      }
      const auto c = static_cast<unsigned char>(code);
      const std::u16string ours = toUtf16(scrivle::charset::toUtf32(std::string(1, char(c))));
      EXPECT_EQ(ticonvDecode(model, c), ours) << "code 0x" << std::hex << code;
    }
  }
}

TEST(CharsetAgainstTiconv, TiconvsUtf8OfEachCodeReadsBackToIt) {
  for (unsigned code = 1; code < 256; ++code) {
    if (isKnownDisagreement(code)) {
      continue;
    }
    const char ti[2] = {static_cast<char>(code), 0};
    unsigned short* u16 = ticonv_charset_ti_to_utf16(CALC_TI89, ti);
    char* u8 = ticonv_utf16_to_utf8(u16);
    EXPECT_EQ(scrivle::charset::fromUtf8(u8), std::string(1, static_cast<char>(code)))
        << "code 0x" << std::hex << code;
    ticonv_utf8_free(u8);
    ticonv_utf16_free(u16);
  }
}

}  // namespace
