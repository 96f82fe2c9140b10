// What a word is in calculator text.
// One table for everything that looks at words: the model's whole-word search and
// word boundaries (double click), the view's Ctrl+arrows, replace-all.
#pragma once

#include <array>

namespace scrivle {

// Word characters: ASCII letters and digits, '_', the calculator's Greek and special
// letters 0x80-0x9B, and the Latin-1 letters 0xC0-0xFF (not the signs 0xD7 and 0xF7).
const std::array<bool, 256>& wordTable();
inline bool isWordByte(unsigned char b) {
  return wordTable()[b];
}

}  // namespace scrivle
