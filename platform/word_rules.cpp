#include "platform/word_rules.h"

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

}  // namespace

const std::array<bool, 256>& wordTable() {
  static constexpr std::array<bool, 256> table = makeWordTable();
  return table;
}

}  // namespace scrivle
