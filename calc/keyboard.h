// Translation of a typed key into the Windows virtual-key code and shift set that
// the French AZERTY layout produces for the same character, so the tag routine
// (which reads AZERTY key codes) behaves the same on every layout.
#pragma once

#include <cstdint>
#include <optional>

namespace scrivle {

enum ShiftFlag : unsigned {
  ShiftNone = 0,
  ShiftShift = 1,
  ShiftAlt = 2,
  ShiftCtrl = 4,
};
using ShiftState = unsigned;
// AltGr, as Windows reports it.
constexpr ShiftState ShiftAltGr = ShiftCtrl | ShiftAlt;

// Windows virtual-key codes used by the program.
namespace vk {
constexpr int Back = 8, Tab = 9, Return = 13, Shift = 16, Control = 17, Menu = 18, Escape = 27,
              Space = 32, Prior = 33, Next = 34, End = 35, Home = 36, Left = 37, Up = 38,
              Right = 39, Down = 40, Insert = 45, Delete = 46;
// Numeric keypad.
constexpr int Numpad0 = 96, Multiply = 106, Add = 107, Separator = 108, Subtract = 109,
              Decimal = 110, Divide = 111;
}  // namespace vk

struct KeyStroke {
  int keyCode = 0;                     // Windows virtual-key code
  ShiftState shift = 0;                // as AZERTY would report it
  std::optional<unsigned char> typed;  // calculator byte the key types, if any
};

// A typed character (already in the calculator's code) -> AZERTY key stroke.
// Characters AZERTY cannot type get keyCode 0 (no key) and still carry the byte.
// Accented letters typed with a dead key (ê, ë, ñ, ...) end on the key of their base
// letter, and carry no Shift even as capitals: Shift with a letter key means the plain
// capital to the tag routine, which would type "E" for "Ê".
KeyStroke strokeForTyped(unsigned char code);

// True for the key codes that count as changing the text.
bool isEditingKey(int keyCode);

}  // namespace scrivle
