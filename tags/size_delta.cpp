#include "tags/size_delta.h"

namespace scrivle {
namespace {

bool altZeroes(int key, ShiftState shift) {
  if (key == vk::Return || key == vk::Space || key == vk::Delete) return true;
  if ((key >= 'A' && key <= 'D') || (key >= 'F' && key <= 'Z')) return true;
  if ((key >= 96 && key <= 107) || (key >= 109 && key <= 111)) return true;
  if (key == 188 || (key >= 190 && key <= 192) || (key >= 220 && key <= 223)) return true;
  if (key == 'E' || key == 186) {
    // AltGr (Ctrl+Alt without Shift) types a character with these keys.
    const bool altGr = (shift & ShiftCtrl) != 0 && (shift & ShiftShift) == 0;
    return !altGr;
  }
  return false;
}

}  // namespace

int keySizeDelta(const TextModel& model, int& keyCode, ShiftState shift) {
  if (!isEditingKey(keyCode)) return 0;
  const bool ctrl = (shift & ShiftCtrl) != 0;
  const bool alt = (shift & ShiftAlt) != 0;
  const bool shiftHeld = (shift & ShiftShift) != 0;
  if (ctrl && keyCode == vk::Return) return keySizeDelta(model, keyCode, shift & ~ShiftCtrl);
  if (ctrl && !alt) return 0;

  const Pos s = model.selStart();
  const Pos l = model.selLength();
  int delta = static_cast<int>(1 - l);
  if (ctrl && alt && (keyCode == vk::Back || keyCode == vk::Delete)) return delta;
  if (alt && altZeroes(keyCode, shift)) delta = 0;
  if (shiftHeld) {
    if (keyCode == vk::Back || keyCode == vk::Return) {
      return keySizeDelta(model, keyCode, shift & ~ShiftShift);
    }
    if (keyCode == 110) {
      keyCode = vk::Delete;
      return keySizeDelta(model, keyCode, shift & ~ShiftShift);
    }
    if (keyCode == 222) delta = 0;
  }
  if (shift == ShiftNone) {
    switch (keyCode) {
      case vk::Back:
        if (l > 0) return static_cast<int>(-l);
        if (s == 0) return 0;
        return model.byteAt(s - 1) == '\n' ? -2 : -1;
      case vk::Return:
        return static_cast<int>(2 - l);
      case vk::Delete:
        if (l > 0) return static_cast<int>(-l);
        if (s >= model.length()) return 0;
        return model.byteAt(s + 1) == '\n' ? -2 : -1;
      default:
        break;
    }
  }
  return delta;
}

}  // namespace scrivle
