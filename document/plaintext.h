// Plain-text files (.txt and any name that is not a calculator text). Linux editors
// write them in UTF-8; older ones, and texts from the calculator's link software, hold
// calculator or Latin-1 bytes. A file is taken as UTF-8 when it starts with the UTF-8
// byte-order mark, or when it is valid UTF-8 and holds at least one multi-byte
// character; anything else is read and written byte for byte as before.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace scrivle {

enum class PlainEncoding {
  Bytes,    // calculator bytes as they are on disk
  Utf8,     // UTF-8 without a byte-order mark
  Utf8Bom,  // UTF-8 starting with EF BB BF
};

struct PlainText {
  std::string text;  // calculator bytes, line breaks CR LF
  PlainEncoding encoding = PlainEncoding::Bytes;
  // UTF-8 only: the file's line breaks were LF alone, so saving writes them back so.
  bool lfLineBreaks = false;
  // Characters with no calculator equivalent that became '?'.
  std::size_t replaced = 0;
};

PlainEncoding detectPlainEncoding(std::string_view fileBytes);

// Reads a plain-text file's bytes. UTF-8 goes through the calculator character table as
// clipboard text does (lone LF becomes CR LF, typographic characters take their plain
// spelling, the rest '?').
PlainText decodePlainText(std::string_view fileBytes);

// The bytes to write for `text` in the encoding the document was read in.
std::string encodePlainText(std::string_view text, PlainEncoding encoding, bool lfLineBreaks);

// The message shown once when opening or pasting replaced characters by '?'.
std::string replacedCharactersMessage(std::size_t count);

}  // namespace scrivle
