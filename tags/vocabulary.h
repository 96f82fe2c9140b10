// The tag language of calculator text: which characters introduce a tag, which letters
// complete one, and which display style each tag and the bookmark marker take. Every
// unit that inserts, paints or lists tags asks here.
#pragma once

#include <array>
#include <cstdint>

#include "editor/text_model.h"
#include "settings/parametre.h"

namespace scrivle {

inline constexpr unsigned char kCharTagIntro = '#';  // character tags
inline constexpr unsigned char kParaTagIntro = '&';  // paragraph tags
inline constexpr unsigned char kBookmarkMark = 12;   // form feed at a paragraph start
inline constexpr CharStyle kPlainStyle{};            // black, neither bold nor italic

namespace detail {
// Per byte: bit 0 of families for a character-tag letter, bit 1 for a paragraph-tag
// letter, and the letter's style index inside StylesDiese / StylesEt.
struct LetterInfo {
  std::uint8_t families = 0;
  std::int8_t charIndex = -1;
  std::int8_t paraIndex = -1;
};
constexpr std::array<LetterInfo, 256> makeLetterTable() {
  std::array<LetterInfo, 256> t{};
  // Same order as StylesDiese.
  constexpr char kChar[] = "123UNVISEW";
  // Same order as StylesEt: margins 0..3, L C R, image, pretty print, separators.
  constexpr char kPara[] = "\\,;.LCRPE-=";
  for (int i = 0; kChar[i] != 0; ++i) {
    auto& e = t[static_cast<unsigned char>(kChar[i])];
    e.families |= 1;
    e.charIndex = static_cast<std::int8_t>(i);
  }
  for (int i = 0; kPara[i] != 0; ++i) {
    auto& e = t[static_cast<unsigned char>(kPara[i])];
    e.families |= 2;
    e.paraIndex = static_cast<std::int8_t>(i);
  }
  return t;
}
inline constexpr std::array<LetterInfo, 256> kLetters = makeLetterTable();
}  // namespace detail

constexpr bool isCharTagLetter(unsigned char c) {
  return (detail::kLetters[c].families & 1) != 0;
}
constexpr bool isParaTagLetter(unsigned char c) {
  return (detail::kLetters[c].families & 2) != 0;
}
constexpr bool isTagLetter(unsigned char c) {
  return detail::kLetters[c].families != 0;
}
constexpr bool isTagIntro(unsigned char c) {
  return c == kCharTagIntro || c == kParaTagIntro;
}
// True when letter completes a tag after introducer.
constexpr bool isTag(unsigned char introducer, unsigned char letter) {
  return (introducer == kCharTagIntro && isCharTagLetter(letter)) ||
         (introducer == kParaTagIntro && isParaTagLetter(letter));
}

// Index of the tag's style in StylesDiese or StylesEt, -1 when (introducer, letter) is
// not a tag.
constexpr int tagStyleIndex(unsigned char introducer, unsigned char letter) {
  if (introducer == kCharTagIntro) return detail::kLetters[letter].charIndex;
  if (introducer == kParaTagIntro) return detail::kLetters[letter].paraIndex;
  return -1;
}

// The tag's style record: (introducer, letter) for a tag, the form feed (letter
// ignored) for the bookmark marker; nullptr for anything else.
const TStyleTag* StyleOf(const TParametre& settings, unsigned char introducer,
                         unsigned char letter = 0);

// What painting uses of a style: its effective colour, bold and italic.
CharStyle charStyleOf(const TStyleTag& style);

// Length of the tag or marker that starts at pos (2 for a tag, 1 for a form feed),
// 0 when none does. Reading past the end finds nothing.
int tagLengthAt(const TextModel& model, Pos pos);

}  // namespace scrivle
