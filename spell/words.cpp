#include "spell/words.h"

#include <array>

#include "calc/charset.h"
#include "tags/vocabulary.h"

namespace scrivle::spell {

namespace {

enum Kind : std::uint8_t { Other, Letter, Digit, Joiner };

constexpr std::array<Kind, 256> makeKinds() {
  std::array<Kind, 256> k{};
  for (int c = 'A'; c <= 'Z'; ++c) k[static_cast<std::size_t>(c)] = Letter;
  for (int c = 'a'; c <= 'z'; ++c) k[static_cast<std::size_t>(c)] = Letter;
  for (int c = 0xC0; c <= 0xFF; ++c) k[static_cast<std::size_t>(c)] = Letter;
  k[0xD7] = Other;  // multiplication sign
  k[0xF7] = Other;  // division sign
  for (int c = '0'; c <= '9'; ++c) k[static_cast<std::size_t>(c)] = Digit;
  k[0xB2] = Digit;  // superscript two, three, one
  k[0xB3] = Digit;
  k[0xB9] = Digit;
  k['\''] = Joiner;
  k['-'] = Joiner;
  return k;
}
constexpr std::array<Kind, 256> kKinds = makeKinds();

Kind kindOf(unsigned char c) {
  return kKinds[c];
}

}  // namespace

bool isWordLetter(unsigned char code) {
  return kindOf(code) == Letter;
}

void splitWords(std::string_view text, std::vector<Word>& out) {
  const auto n = static_cast<std::int64_t>(text.size());
  auto at = [&](std::int64_t i) {
    return static_cast<unsigned char>(text[static_cast<std::size_t>(i)]);
  };
  // A tag's two bytes are no part of any word; its letter would otherwise be read as one.
  auto tagAt = [&](std::int64_t i) { return i + 1 < n && isTag(at(i), at(i + 1)); };

  std::int64_t i = 0;
  while (i < n) {
    if (tagAt(i)) {
      i += 2;
      continue;
    }
    const Kind k = kindOf(at(i));
    if (k != Letter && k != Digit) {
      ++i;
      continue;
    }
    const std::int64_t start = i;
    bool digit = false;
    std::int64_t letters = 0;
    while (i < n && !tagAt(i)) {
      const Kind c = kindOf(at(i));
      if (c == Letter || c == Digit) {
        digit = digit || c == Digit;
        letters += c == Letter ? 1 : 0;
        ++i;
      } else if (c == Joiner && i + 1 < n && !tagAt(i + 1) &&
                 (kindOf(at(i + 1)) == Letter || kindOf(at(i + 1)) == Digit)) {
        ++i;  // joins the letters on both sides
      } else {
        break;
      }
    }
    if (digit || letters < 2) continue;
    Word w;
    w.start = start;
    w.length = i - start;
    w.utf8 = charset::toUtf8(
        text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(w.length)));
    out.push_back(std::move(w));
  }
}

}  // namespace scrivle::spell
