// Plain spellings of the typographic characters that text from other programs carries
// and the calculator lacks: curly quotes, dashes, ligatures, the euro sign, fractions,
// the many widths of space. One table serves every way text comes in (clipboard, UTF-8
// files, the name and search boxes).
#pragma once

#include <span>

namespace scrivle::typography {

struct Row {
  char32_t cp;
  const char* plain;  // ASCII; "" drops an invisible character (soft hyphen, zero width)
};

// Every row, sorted by code point.
std::span<const Row> rows();

// The plain spelling of `cp`, or nullptr when the table has none. Only characters the
// calculator cannot show are listed: « », … and − keep their own codes.
const char* plainOf(char32_t cp);

}  // namespace scrivle::typography
