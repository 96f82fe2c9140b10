#include "tags/tagkeydown.h"

#include <algorithm>
#include <string>

#include "tags/vocabulary.h"

namespace scrivle {
namespace {

int byteClass(unsigned char b) {
  if (b == '\r' || b == '\n') return 0;
  if (b == ' ' || b == '\t') return 1;
  const bool word = (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') ||
                    b == '_' || b >= 0x80;
  return word ? 2 : 3;
}

class Routine {
 public:
  Routine(TextModel& model, std::int32_t& skip, bool colourOn, const TParametre& settings)
      : m_(model), skip_(skip), colourOn_(colourOn), settings_(settings) {}

  int run(int& key, ShiftState shift) {
    if (!isEditingKey(key)) return 0;
    const bool ctrl = (shift & ShiftCtrl) != 0;
    const bool alt = (shift & ShiftAlt) != 0;
    const bool sh = (shift & ShiftShift) != 0;
    if (ctrl && key == vk::Return) return run(key, shift & ~ShiftCtrl);

    const Pos s = m_.selStart();
    const Pos l = m_.selLength();
    // Backspace and Delete report exactly what the control removes, and paint the tag
    // the removal joins, whatever the modifiers (Alt+Backspace alone removes nothing).
    if (key == vk::Back && !(alt && !ctrl)) {
      if (l > 0) return deletion(s, s + l);
      return deletion(ctrl ? wordLeftOf(m_, s) : stepLeftOf(m_, s), s);
    }
    if (key == vk::Delete) {
      if (l > 0 || (sh && !ctrl)) return deletion(s, s + l);  // Shift+Delete cuts
      return deletion(s, ctrl ? wordRightOf(m_, s) : stepRightOf(m_, s));
    }

    if (ctrl && !alt) return 0;
    m_.setSelectionHidden(true);
    decolour(s, s + l);
    int delta = static_cast<int>(1 - l);
    if (alt) {
      // Alt alone types nothing in the control; AltGr types with some keys only.
      if (!ctrl || altGrTypesNothing(key, sh)) delta = 0;
    }
    if (sh) {
      if (key == vk::Back || key == vk::Return) return run(key, shift & ~ShiftShift);
      if (key == vk::Decimal) {
        key = vk::Delete;
        return run(key, shift & ~ShiftShift);
      }
      if (key == 222) delta = 0;
    }
    if (ctrl && alt && !sh) {
      if (key == 51) lookAhead(s, l, kCharTagIntro);
      if (key == 56) lookBehind(s, l, kParaTagIntro, '\\');
    } else if (sh && !ctrl && !alt) {
      shiftedKey(key, s, l);
    } else if (shift == ShiftNone) {
      if (key == vk::Return) delta = static_cast<int>(2 - l);
      plainKey(key, s, l);
    }
    finalReset();
    return delta;
  }

 private:
  static bool altGrTypesNothing(int key, bool sh) {
    if (key == vk::Return || key == vk::Space || key == vk::Delete) return true;
    if ((key >= 'A' && key <= 'D') || (key >= 'F' && key <= 'Z')) return true;
    if ((key >= vk::Numpad0 && key <= vk::Add) || (key >= vk::Subtract && key <= vk::Divide)) {
      return true;
    }
    if (key == 188 || (key >= 190 && key <= 192) || (key >= 220 && key <= 223)) return true;
    if (key == 'E' || key == 186) return sh;  // AltGr types "€" and "¤" with these
    return false;
  }

  void shiftedKey(int key, Pos s, Pos l) {
    switch (key) {
      case '1':
      case '2':
      case '3':
        lookBehind(s, l, kCharTagIntro, static_cast<unsigned char>(key));
        break;
      case 'E':
        if (!lookBehind(s, l, kParaTagIntro, 'E')) lookBehind(s, l, kCharTagIntro, 'E');
        break;
      case 'C':
      case 'L':
      case 'P':
      case 'R':
        lookBehind(s, l, kParaTagIntro, static_cast<unsigned char>(key));
        break;
      case 'I':
      case 'N':
      case 'S':
      case 'U':
      case 'V':
      case 'W':
        lookBehind(s, l, kCharTagIntro, static_cast<unsigned char>(key));
        break;
      case 190:
        lookBehind(s, l, kParaTagIntro, '.');
        break;
      default:
        break;
    }
  }

  void plainKey(int key, Pos s, Pos l) {
    switch (key) {
      case '1':
        lookAhead(s, l, kParaTagIntro);
        break;
      case '6':
      case vk::Subtract:
        lookBehind(s, l, kParaTagIntro, '-');
        break;
      case vk::Numpad0 + 1:
      case vk::Numpad0 + 2:
      case vk::Numpad0 + 3:
        lookBehind(s, l, kCharTagIntro, static_cast<unsigned char>('0' + key - vk::Numpad0));
        break;
      case vk::Decimal:
        lookBehind(s, l, kParaTagIntro, '.');
        break;
      case 187:
        lookBehind(s, l, kParaTagIntro, '=');
        break;
      case 188:
        lookBehind(s, l, kParaTagIntro, ',');
        break;
      case 190:
        lookBehind(s, l, kParaTagIntro, ';');
        break;
      default:
        break;
    }
  }

  // The removal of [a, b): decolour the tags it breaks, paint the one it forms.
  int deletion(Pos a, Pos b) {
    m_.setSelectionHidden(true);
    if (b > a) {
      decolour(a, b);
      if (colourOn_ && a > 0) {
        const unsigned char before = m_.byteAt(a - 1);
        const unsigned char after = m_.byteAt(b);
        if (b < m_.length() && isTag(before, after)) {
          m_.setStyle(a - 1, b - a + 2, style(before, after));
        }
      }
    }
    finalReset();
    return static_cast<int>(a - b);
  }

  // Before an edit of [a, b): an introducer just before it or a tag letter just after it
  // loses its partner.
  void decolour(Pos a, Pos b) {
    if (a > 0 && isTagIntro(m_.byteAt(a - 1))) m_.setStyle(a - 1, 1, kPlainStyle);
    if (b < m_.length() && isTagLetter(m_.byteAt(b))) m_.setStyle(b, 1, kPlainStyle);
  }

  bool lookBehind(Pos s, Pos l, unsigned char intro, unsigned char letter) {
    if (s == 0 || m_.byteAt(s - 1) != intro) return false;
    typeIntoTag(s, l, letter, s - 1, style(intro, letter));
    return true;
  }

  void lookAhead(Pos s, Pos l, unsigned char intro) {
    const Pos end = s + l;
    if (end >= m_.length()) return;
    const unsigned char letter = m_.byteAt(end);
    if (!isTag(intro, letter)) return;
    typeIntoTag(s, l, intro, s, style(intro, letter));
  }

  void typeIntoTag(Pos s, Pos l, unsigned char ch, Pos tagStart, const CharStyle& tagStyle) {
    m_.setSel(s, l);
    m_.setInsertionStyle(kPlainStyle);
    m_.replaceSelection(std::string(1, static_cast<char>(ch)));
    if (colourOn_) m_.setStyle(tagStart, 2, tagStyle);
    skip_ = -1;
    m_.setSel(s + 1, 0);
  }

  void finalReset() {
    m_.setSelectionStyle(kPlainStyle);
    m_.setSelectionHidden(false);
  }

  CharStyle style(unsigned char intro, unsigned char letter) const {
    const TStyleTag* s = StyleOf(settings_, intro, letter);
    return s != nullptr ? charStyleOf(*s) : kPlainStyle;
  }

  TextModel& m_;
  std::int32_t& skip_;
  bool colourOn_;
  const TParametre& settings_;
};

}  // namespace

int TagKeyDown(TextModel& model, int& key, ShiftState shift, std::int32_t& skipKeyPress,
               bool colourOn, const TParametre& settings) {
  if (model.readOnly()) return 0;
  Routine routine(model, skipKeyPress, colourOn, settings);
  return routine.run(key, shift);
}

Pos stepLeftOf(const TextModel& model, Pos pos) {
  if (pos <= 0) return 0;
  if (pos >= 2 && model.byteAt(pos - 2) == '\r' && model.byteAt(pos - 1) == '\n') return pos - 2;
  return pos - 1;
}

Pos stepRightOf(const TextModel& model, Pos pos) {
  const Pos length = model.length();
  if (pos >= length) return length;
  if (pos + 1 < length && model.byteAt(pos) == '\r' && model.byteAt(pos + 1) == '\n') {
    return pos + 2;
  }
  return pos + 1;
}

Pos wordRightOf(const TextModel& model, Pos pos) {
  const Pos length = model.length();
  if (pos >= length) return length;
  const int cls = byteClass(model.byteAt(pos));
  if (cls == 0) return stepRightOf(model, pos);
  Pos p = pos;
  if (cls != 1) {
    while (p < length && byteClass(model.byteAt(p)) == cls) ++p;
  }
  while (p < length && byteClass(model.byteAt(p)) == 1) ++p;
  return p;
}

Pos wordLeftOf(const TextModel& model, Pos pos) {
  if (pos <= 0) return 0;
  Pos p = std::min(pos, model.length());
  while (p > 0 && byteClass(model.byteAt(p - 1)) == 1) --p;
  if (p == 0) return 0;
  const int cls = byteClass(model.byteAt(p - 1));
  if (cls == 0) return p == pos ? stepLeftOf(model, p) : p;
  while (p > 0 && byteClass(model.byteAt(p - 1)) == cls) --p;
  return p;
}

}  // namespace scrivle
