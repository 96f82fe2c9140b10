// The calculator's 256-character set and its Unicode equivalents.
#pragma once

#include <cstddef>
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
// The same as a short text, for painters that can draw a combining sequence in one
// cell: x-bar and y-bar come out as the letter and a combining overline.
std::u32string glyphTextOf(unsigned char code);

// The calculator code of a Unicode character, if it has one. Besides the table's own
// entries, a few common spellings of the same symbols are accepted (for example the
// letters with a combining macron for x-bar and y-bar); two-code-point entries are not
// found here (see fromUtf32).
bool codeOf(char32_t cp, unsigned char& code);

// Calculator bytes -> UTF-8 (for the system clipboard and text fields).
std::string toUtf8(std::string_view calcBytes);
// UTF-8 -> calculator bytes. A typographic character the calculator lacks takes its
// plain spelling (’ gives ', € gives EUR, see calc/typography.h); any other character
// without an equivalent becomes '?', and `replaced`, when given, receives how many did.
// Sequences of two code points (0x9A, 0x9B) are recognised. A malformed sequence
// becomes one '?' per maximal ill-formed part (counted as replaced).
std::string fromUtf8(std::string_view utf8, std::size_t* replaced = nullptr);
// UTF-32 variants used by the Qt crossing. Surrogates and values past U+10FFFF
// become '?'.
std::u32string toUtf32(std::string_view calcBytes);
std::string fromUtf32(std::u32string_view text, std::size_t* replaced = nullptr);

}  // namespace scrivle::charset
