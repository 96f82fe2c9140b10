// How a keystroke changes a document's size on the calculator, computed before the
// editor acts on the key (a line break counts two bytes, like CR LF).
#pragma once

#include "platform/keyboard.h"
#include "platform/text_model.h"

namespace scrivle {

// Returns the signed number of calculator bytes the key will add. The key code may
// be rewritten (Shift with the keypad "." becomes Delete).
int keySizeDelta(const TextModel& model, int& keyCode, ShiftState shift);

}  // namespace scrivle
