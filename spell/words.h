// The words of calculator text that spelling looks at. Tags (as the tag vocabulary
// recognises them), the bookmark marker, line breaks, Greek letters, mathematical
// symbols and punctuation all end a word; an apostrophe or a hyphen between two letters
// stays inside it ("l'image", "peut-être"), so the dictionary's own rules decide.
// Words holding a digit, and one-letter words, are left out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace scrivle::spell {

struct Word {
  std::int64_t start = 0;   // byte offset in the text given
  std::int64_t length = 0;  // bytes
  std::string utf8;         // the word in Unicode, for the dictionary
};

// True for the calculator codes that are letters of a Latin word: A-Z, a-z and the
// accented letters 0xC0-0xFF except the multiplication and division signs.
bool isWordLetter(unsigned char code);

// Appends the words of `text` (any calculator bytes: a paragraph or a whole document)
// to `out`, in order.
void splitWords(std::string_view text, std::vector<Word>& out);

}  // namespace scrivle::spell
