// The calculator's 256-character set and its Unicode equivalents.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace scrivle::charset {

// Unicode equivalent of a calculator code as UTF-32 (one or two code points; the
// second is 0 when there is only one). Codes 0x95 and 0x97 map outside the BMP,
// 0x9A and 0x9B to two code points.
struct Equivalent {
  char32_t first;
  char32_t second;
};
Equivalent unicodeOf(unsigned char code);

// The code point drawn for a code in the editor when no calculator font is
// installed: control codes and form feed get a visible symbol.
char32_t glyphOf(unsigned char code);

// Calculator bytes -> UTF-8 (for the system clipboard and text fields).
std::string toUtf8(std::string_view calcBytes);
// UTF-8 -> calculator bytes; a character without an equivalent becomes '?'.
// Sequences of two code points (0x9A, 0x9B) are recognised.
std::string fromUtf8(std::string_view utf8);
// UTF-32 variants used by the Qt crossing.
std::u32string toUtf32(std::string_view calcBytes);
std::string fromUtf32(std::u32string_view text);

}  // namespace scrivle::charset
