// What a word is in calculator text, and which letters match without regard to case.
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

// The byte a case-insensitive search compares: a capital letter that also exists in
// lower case in the calculator's set (A-Z, the accented Latin capitals, the Greek
// capitals) becomes that lower-case letter; every other byte stays itself.
const std::array<unsigned char, 256>& caseFoldTable();
inline unsigned char foldCase(unsigned char b) {
  return caseFoldTable()[b];
}

}  // namespace scrivle
