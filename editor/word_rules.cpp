#include "editor/word_rules.h"

#include "calc/charset.h"

namespace scrivle {

namespace {

constexpr std::array<bool, 256> makeWordTable() {
  std::array<bool, 256> t{};
  for (int c = 0; c < 256; ++c) {
    t[static_cast<std::size_t>(c)] =
        (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
        (c >= 0x80 && c <= 0x9B) || (c >= 0xC0 && c != 0xD7 && c != 0xF7);
  }
  return t;
}

// Capitals are found through the character set itself: a code whose character is a
// Latin or Greek capital with its small letter also in the set folds to that code.
std::array<unsigned char, 256> makeFoldTable() {
  std::array<unsigned char, 256> t{};
  for (int c = 0; c < 256; ++c) {
    const auto code = static_cast<unsigned char>(c);
    t[static_cast<std::size_t>(c)] = code;
    const charset::Equivalent e = charset::unicodeOf(code);
    if (e.second != 0) continue;
    const char32_t u = e.first;
    const bool latin = (u >= U'A' && u <= U'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7);
    const bool greek = u >= 0x391 && u <= 0x3A9 && u != 0x3A2;
    unsigned char lower = 0;
    if ((latin || greek) && charset::codeOf(u + 0x20, lower)) {
      t[static_cast<std::size_t>(c)] = lower;
    }
  }
  return t;
}

}  // namespace

const std::array<bool, 256>& wordTable() {
  static constexpr std::array<bool, 256> table = makeWordTable();
  return table;
}

const std::array<unsigned char, 256>& caseFoldTable() {
  static const std::array<unsigned char, 256> table = makeFoldTable();
  return table;
}

}  // namespace scrivle
