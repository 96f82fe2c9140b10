#include "tags/size_delta.h"

#include <gtest/gtest.h>

namespace scrivle {
namespace {

int delta(TextModel& m, int key, ShiftState shift) {
  return keySizeDelta(m, key, shift);
}

TEST(SizeDelta, TypingAndReplacingSelections) {
  TextModel m;
  m.load("abc\r\ndef");
  m.setSel(1, 0);
  EXPECT_EQ(delta(m, 'A', ShiftNone), 1);
  EXPECT_EQ(delta(m, 'A', ShiftShift), 1);
  EXPECT_EQ(delta(m, vk::Space, ShiftNone), 1);
  EXPECT_EQ(delta(m, vk::Return, ShiftNone), 2);
  m.setSel(0, 3);
  EXPECT_EQ(delta(m, 'A', ShiftNone), -2);
  // Enter with three characters selected.
  EXPECT_EQ(delta(m, vk::Return, ShiftNone), -1);
  // Keys that change nothing.
  EXPECT_EQ(delta(m, vk::Left, ShiftNone), 0);
  EXPECT_EQ(delta(m, vk::Shift, ShiftShift), 0);
  EXPECT_EQ(delta(m, 189, ShiftNone), 0);
}

TEST(SizeDelta, DeletionCountsLineBreaksAsTwo) {
  TextModel m;
  m.load("ab\r\ncd");
  m.setSel(4, 0);  // start of the second line
  EXPECT_EQ(delta(m, vk::Back, ShiftNone), -2);
  m.setSel(0, 0);
  EXPECT_EQ(delta(m, vk::Back, ShiftNone), 0);
  m.setSel(2, 0);  // before the line break
  EXPECT_EQ(delta(m, vk::Delete, ShiftNone), -2);
  m.setSel(6, 0);
  EXPECT_EQ(delta(m, vk::Delete, ShiftNone), 0);
  m.setSel(1, 0);
  EXPECT_EQ(delta(m, vk::Delete, ShiftNone), -1);
  EXPECT_EQ(delta(m, vk::Back, ShiftNone), -1);
  m.setSel(1, 4);
  EXPECT_EQ(delta(m, vk::Back, ShiftNone), -4);
  EXPECT_EQ(delta(m, vk::Delete, ShiftNone), -4);
  // Shift+Backspace behaves as Backspace; Shift with keypad "." becomes Delete.
  m.setSel(4, 0);
  EXPECT_EQ(delta(m, vk::Back, ShiftShift), -2);
  int key = 110;
  m.setSel(2, 0);
  EXPECT_EQ(keySizeDelta(m, key, ShiftShift), -2);
  EXPECT_EQ(key, vk::Delete);
}

TEST(SizeDelta, ModifierCombinations) {
  TextModel m;
  m.load("x");
  m.setSel(1, 0);
  // Ctrl alone types nothing; Ctrl+Enter is a plain Enter.
  EXPECT_EQ(delta(m, 'C', ShiftCtrl), 0);
  EXPECT_EQ(delta(m, vk::Return, ShiftCtrl), 2);
  // AltGr (Ctrl+Alt) types "#" with 51 and "€" with E; Alt alone types nothing.
  EXPECT_EQ(delta(m, 51, ShiftCtrl | ShiftAlt), 1);
  EXPECT_EQ(delta(m, 'E', ShiftCtrl | ShiftAlt), 1);
  EXPECT_EQ(delta(m, 'E', ShiftAlt), 0);
  EXPECT_EQ(delta(m, 'A', ShiftAlt), 0);
  EXPECT_EQ(delta(m, 186, ShiftCtrl | ShiftAlt | ShiftShift), 0);
  // Shift with 222 (the "²" key) types nothing.
  EXPECT_EQ(delta(m, 222, ShiftShift), 0);
}

}  // namespace
}  // namespace scrivle
