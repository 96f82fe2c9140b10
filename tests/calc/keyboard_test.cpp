#include "calc/keyboard.h"

#include <gtest/gtest.h>

#include <set>

namespace scrivle {
namespace {

struct Expect {
  unsigned char code;
  int key;
  ShiftState shift;
};

TEST(Keyboard, AzertyStrokesOfTypedCharacters) {
  const Expect cases[] = {
      {'&', 49, ShiftNone},
      {'1', 49, ShiftShift},
      {'#', 51, ShiftAltGr},
      {'\\', 56, ShiftAltGr},
      {'.', 190, ShiftShift},
      {';', 190, ShiftNone},
      {'a', 65, ShiftNone},
      {'Z', 90, ShiftShift},
      {'0', 48, ShiftShift},
      {'9', 57, ShiftShift},
      {0xE9, 50, ShiftNone},
      {'"', 51, ShiftNone},
      {'\'', 52, ShiftNone},
      {'(', 53, ShiftNone},
      {'-', 54, ShiftNone},
      {0xE8, 55, ShiftNone},
      {'_', 56, ShiftNone},
      {0xE7, 57, ShiftNone},
      {0xE0, 48, ShiftNone},
      {')', 219, ShiftNone},
      {'=', 187, ShiftNone},
      {0xB0, 219, ShiftShift},
      {'+', 187, ShiftShift},
      {'~', 50, ShiftAltGr},
      {'{', 52, ShiftAltGr},
      {'[', 53, ShiftAltGr},
      {'|', 54, ShiftAltGr},
      {'`', 55, ShiftAltGr},
      {'^', 57, ShiftAltGr},
      {'@', 48, ShiftAltGr},
      {']', 219, ShiftAltGr},
      {'}', 187, ShiftAltGr},
      {'$', 186, ShiftNone},
      {0xA3, 186, ShiftShift},
      {0xA4, 186, ShiftAltGr},
      {0xF9, 192, ShiftNone},
      {'%', 192, ShiftShift},
      {'*', 220, ShiftNone},
      {0xB5, 220, ShiftShift},
      {'<', 226, ShiftNone},
      {'>', 226, ShiftShift},
      {',', 188, ShiftNone},
      {'?', 188, ShiftShift},
      {':', 191, ShiftNone},
      {'/', 191, ShiftShift},
      {'!', 223, ShiftNone},
      {0xA7, 223, ShiftShift},
      {0xB2, 222, ShiftNone},
      {' ', 32, ShiftNone},
      {'\t', 9, ShiftNone},
      {'\r', 13, ShiftNone},
      // Dead-key letters end on their base letter, never with Shift.
      {0xEA, 69, ShiftNone},
      {0xCA, 69, ShiftNone},
      {0xE2, 65, ShiftNone},
      {0xF1, 78, ShiftNone},
      {0xC9, 69, ShiftNone},
      {0xFF, 89, ShiftNone},
  };
  for (const Expect& e : cases) {
    const KeyStroke s = strokeForTyped(e.code);
    EXPECT_EQ(s.keyCode, e.key) << "code 0x" << std::hex << int(e.code);
    EXPECT_EQ(s.shift, e.shift) << "code 0x" << std::hex << int(e.code);
    EXPECT_EQ(s.typed, e.code);
  }
}

TEST(Keyboard, EveryPrintableAsciiCharacterHasAnEditingKey) {
  for (unsigned char c = 0x20; c < 0x7F; ++c) {
    const KeyStroke s = strokeForTyped(c);
    EXPECT_TRUE(isEditingKey(s.keyCode)) << "'" << c << "' -> " << s.keyCode;
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (letter) {
      EXPECT_EQ(s.keyCode, (c & ~0x20));
      EXPECT_EQ(s.shift, (c <= 'Z') ? ShiftShift : ShiftNone);
    }
  }
  // Characters no AZERTY key types still carry their byte.
  for (const unsigned char c : {0x80, 0x95, 0x9A, 0x0C, 0x0A, 0x7F, 0xE6, 0xD7, 0xA8}) {
    const KeyStroke s = strokeForTyped(c);
    EXPECT_EQ(s.keyCode, 0) << int(c);
    EXPECT_EQ(s.typed, c);
  }
}

TEST(Keyboard, EditingKeysAreExactlyTheSet) {
  std::set<int> expected = {8,   9,   13,  32,  46,  186, 187, 188, 190, 191, 192,
                            219, 220, 221, 222, 223, 226, 106, 107, 109, 110, 111};
  for (const auto& [lo, hi] : {std::pair{48, 57}, std::pair{65, 90}, std::pair{96, 105}}) {
    for (int k = lo; k <= hi; ++k) {
      expected.insert(k);
    }
  }
  for (int k = -1; k < 300; ++k) {
    EXPECT_EQ(isEditingKey(k), expected.count(k) == 1) << "key " << k;
  }
}

}  // namespace
}  // namespace scrivle
