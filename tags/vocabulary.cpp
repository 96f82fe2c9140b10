#include "tags/vocabulary.h"

namespace scrivle {

const TStyleTag* StyleOf(const TParametre& settings, unsigned char introducer,
                         unsigned char letter) {
  if (introducer == kBookmarkMark) return &settings.StyleBookmark;
  const int index = tagStyleIndex(introducer, letter);
  if (index < 0) return nullptr;
  return introducer == kCharTagIntro ? &settings.StylesDiese[static_cast<std::size_t>(index)]
                                     : &settings.StylesEt[static_cast<std::size_t>(index)];
}

CharStyle charStyleOf(const TStyleTag& style) {
  CharStyle s;
  s.colour = style.Couleur;
  s.bold = isSet(style.Gras);
  s.italic = isSet(style.Italique);
  return s;
}

int tagLengthAt(const TextModel& model, Pos pos) {
  if (pos < 0 || pos >= model.length()) return 0;
  const unsigned char c = model.byteAt(pos);
  if (c == kBookmarkMark) return 1;
  return pos + 1 < model.length() && isTag(c, model.byteAt(pos + 1)) ? 2 : 0;
}

}  // namespace scrivle
