#include "tags/insertion.h"

#include <algorithm>
#include <string>

#include "tags/vocabulary.h"

namespace scrivle {

Pos paragraphStartOf(const TextModel& model, Pos pos) {
  return std::max<Pos>(0, model.paragraphStart(model.paragraphOfPos(pos)));
}

int insertag1(TextModel& model, unsigned char letter, const CharStyle& style, bool colourOn,
              const TParametre& settings) {
  if (model.readOnly() || !isCharTagLetter(letter)) return 0;
  const Pos l = model.selLength();
  const Pos s = model.selStart();
  std::string closing;
  if (letter == '1' || letter == '3') {
    closing = "#2";
  } else if (letter == 'W') {
    if (l > 0) closing = "#W";
  } else if (letter != '2') {
    closing = {static_cast<char>(kCharTagIntro), static_cast<char>(letter)};
  }
  if (l == 0 && isSet(settings.InserModDiese)) closing.clear();

  UndoGroup group(model);
  const CharStyle before = model.insertionStyle();
  if (colourOn) model.setInsertionStyle(style);
  model.replace(s, 0, std::string{static_cast<char>(kCharTagIntro), static_cast<char>(letter)});
  if (!closing.empty()) model.replace(s + 2 + l, 0, closing);
  model.setInsertionStyle(before);
  model.setSel(s + 2, l);
  return static_cast<int>(2 + closing.size());
}

int insertag2(TextModel& model, unsigned char letter, const CharStyle& style, bool colourOn,
              const TParametre& settings) {
  if (model.readOnly()) return 0;
  if (letter != kBookmarkMark && !isParaTagLetter(letter)) return 0;
  const Pos s = model.selStart();
  const Pos l = model.selLength();
  const Pos p = paragraphStartOf(model, s);
  const Pos length = model.length();

  UndoGroup group(model);
  int d = 0;
  auto put = [&](Pos at, Pos removed, std::string_view text) {
    model.replace(at, removed, text);
    if (colourOn) model.setStyle(at, static_cast<Pos>(text.size()), style);
  };
  if (letter == kBookmarkMark) {
    if (p < length && model.byteAt(p) == kBookmarkMark) {
      model.replace(p, 1, {});
      d = -1;
    } else {
      put(p, 0, "\f");
      d = 1;
    }
  } else {
    std::string t{static_cast<char>(kParaTagIntro), static_cast<char>(letter)};
    if (letter == '-' || letter == '=') t += "\r\n";
    const auto n = static_cast<int>(t.size());
    const Pos q = p < length && model.byteAt(p) == kBookmarkMark ? p + 1 : p;
    if (q + 1 < length && model.byteAt(q) == kParaTagIntro &&
        isParaTagLetter(model.byteAt(q + 1))) {
      if (model.byteAt(q + 1) == letter && isSet(settings.InserModEt)) {
        model.replace(q, 2, {});
        d = -2;
      } else {
        put(q, 2, t);
        d = n - 2;
      }
    } else {
      put(q, 0, t);
      d = n;
    }
  }
  // The selection moves by the change in length, but never out of its paragraph.
  model.setSel(std::max(p, s + d), l);
  return d;
}

const TagCommand* findTagCommand(std::string_view action) {
  for (const TagCommand& c : kTagCommands) {
    if (c.action == action) return &c;
  }
  return nullptr;
}

int runTagCommand(TextModel& model, std::string_view action, bool colourOn,
                  const TParametre& settings) {
  const TagCommand* c = findTagCommand(action);
  if (c == nullptr) return 0;
  const TStyleTag* tagStyle = StyleOf(settings, c->introducer, c->letter);
  const CharStyle style = tagStyle != nullptr ? charStyleOf(*tagStyle) : kPlainStyle;
  return c->introducer == kCharTagIntro ? insertag1(model, c->letter, style, colourOn, settings)
                                        : insertag2(model, c->letter, style, colourOn, settings);
}

}  // namespace scrivle
