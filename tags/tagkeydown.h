// The key-down routine of the editor: run before each keystroke reaches the control, it
// takes the colour off tags the keystroke breaks, types a tag letter or introducer itself
// when the keystroke completes a tag (and paints it), leaves the character about to be
// typed plain, and tells how the keystroke changes the size on the calculator.
//
// Keys are Windows virtual-key codes as the French AZERTY layout produces them
// (platform/keyboard.h translates every layout into that).
#pragma once

#include <cstdint>

#include "calc/keyboard.h"
#include "editor/text_model.h"
#include "settings/parametre.h"

namespace scrivle {

// Returns SizeDelta: the signed number of calculator bytes the key adds (a line break
// counts two). key may be rewritten (Shift with the keypad "." becomes Delete).
// skipKeyPress is set to -1 when the routine typed the character itself: the caller
// must then drop the next key press and clear the flag; it is never cleared here.
// Does nothing in a read-only text.
int TagKeyDown(TextModel& model, int& key, ShiftState shift, std::int32_t& skipKeyPress,
               bool colourOn, const TParametre& settings);

// What the editor control deletes for Ctrl+Backspace and Ctrl+Delete with nothing
// selected: back to the start of the word (or punctuation run) before pos, blanks
// included; forward over the word and the blanks after it. A line break is a stop of its
// own and goes as a whole.
Pos wordLeftOf(const TextModel& model, Pos pos);
Pos wordRightOf(const TextModel& model, Pos pos);
// One character back or forward; a CR LF pair is one step.
Pos stepLeftOf(const TextModel& model, Pos pos);
Pos stepRightOf(const TextModel& model, Pos pos);

}  // namespace scrivle
