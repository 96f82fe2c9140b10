#include "tags/tagkeydown.h"

#include <gtest/gtest.h>

#include "marks.h"
#include "tags/colorise.h"

namespace scrivle {
namespace {

using test::marks;

class TagKeyDownTest : public ::testing::Test {
 protected:
  int down(int key, ShiftState shift) { return TagKeyDown(m, key, shift, skip, colour, p); }
  // The key as the document window and the control handle it: key-down, then the
  // character unless the routine typed it already.
  int type(int key, ShiftState shift, char ch) {
    const int delta = down(key, shift);
    if (skip != 0) {
      skip = 0;
    } else {
      m.typeText(std::string(1, ch));
    }
    return delta;
  }
  void load(std::string_view text, Pos caret) {
    m.load(text);
    colorise(m, 1, m.length(), true, p);
    m.setSel(caret, 0);
  }

  TextModel m;
  TParametre p = test::tagSettings();
  std::int32_t skip = 0;
  bool colour = true;
};

TEST_F(TagKeyDownTest, TypingCompletesTagsBothWays) {
  // AltGr+3 then Shift+1 in empty text.
  EXPECT_EQ(type(51, ShiftAltGr, '#'), 1);
  EXPECT_EQ(type('1', ShiftShift, '1'), 1);
  EXPECT_EQ(m.text(), "#1");
  EXPECT_EQ(marks(m), "bb");
  EXPECT_EQ(m.caret(), 2);
  EXPECT_FALSE(m.selectionHidden());
  // The next character is plain; Shift+1 after it types a plain "1".
  type('X', ShiftShift, 'X');
  type('1', ShiftShift, '1');
  EXPECT_EQ(m.text(), "#1X1");
  EXPECT_EQ(marks(m), "bb..");

  // The "1" key before a "C" types "&" into the tag.
  load("xC", 1);
  EXPECT_EQ(down('1', ShiftNone), 1);
  EXPECT_EQ(skip, -1);
  EXPECT_EQ(m.text(), "x&C");
  EXPECT_EQ(marks(m), ".rr");
  EXPECT_EQ(m.caret(), 2);

  // AltGr+3 replacing a selection that a "U" follows.
  skip = 0;
  load("abU", 0);
  m.setSel(0, 2);
  EXPECT_EQ(down(51, ShiftAltGr), -1);
  EXPECT_EQ(m.text(), "#U");
  EXPECT_EQ(marks(m), "bb");
  EXPECT_EQ(m.selLength(), 0);
  EXPECT_EQ(m.caret(), 1);

  // Each look-behind key, including the "E" that prefers "&".
  const struct {
    int key;
    ShiftState shift;
    const char* before;
    const char* after;
  } cases[] = {{'E', ShiftShift, "&", "&E"},
               {'E', ShiftShift, "#", "#E"},
               {56, ShiftAltGr, "&", "&\\"},
               {190, ShiftShift, "&", "&."},
               {190, ShiftNone, "&", "&;"},
               {188, ShiftNone, "&", "&,"},
               {187, ShiftNone, "&", "&="},
               {'6', ShiftNone, "&", "&-"},
               {vk::Subtract, ShiftNone, "&", "&-"},
               {vk::Decimal, ShiftNone, "&", "&."},
               {vk::Numpad0 + 3, ShiftNone, "#", "#3"},
               {'W', ShiftShift, "#", "#W"}};
  for (const auto& c : cases) {
    load(c.before, 1);
    skip = 0;
    down(c.key, c.shift);
    EXPECT_EQ(m.text(), c.after) << c.key;
    EXPECT_EQ(skip, -1) << c.key;
    EXPECT_EQ(marks(m), c.before[0] == '#' ? "bb" : "rr") << c.key;
  }
}

TEST_F(TagKeyDownTest, ColourOffStillTypesButPaintsNothing) {
  colour = false;
  type(51, ShiftAltGr, '#');
  EXPECT_EQ(down('1', ShiftShift), 1);
  EXPECT_EQ(skip, -1);
  EXPECT_EQ(m.text(), "#1");
  EXPECT_EQ(marks(m), "..");
}

TEST_F(TagKeyDownTest, BreakingAndJoiningTags) {
  // A character typed inside "#U" makes both halves plain.
  load("#U", 1);
  type('X', ShiftNone, 'x');
  EXPECT_EQ(m.text(), "#xU");
  EXPECT_EQ(marks(m), "...");

  // Backspace on the "x" joins "#U" and paints it.
  m.setSel(2, 0);
  EXPECT_EQ(down(vk::Back, ShiftNone), -1);
  m.replace(1, 1, {});
  EXPECT_EQ(marks(m), "bb");

  // Delete of a whole line break between "#" and "U".
  load("#\r\nU", 1);
  EXPECT_EQ(down(vk::Delete, ShiftNone), -2);
  m.replace(1, 2, {});
  EXPECT_EQ(marks(m), "bb");

  // Deleting the letter of a tag takes the colour off its introducer.
  load("#Ux", 2);
  EXPECT_EQ(down(vk::Back, ShiftNone), -1);
  m.replace(1, 1, {});
  EXPECT_EQ(marks(m), "..");

  // Ctrl with a letter changes nothing, not even a colour.
  load("#U", 1);
  EXPECT_EQ(down('C', ShiftCtrl), 0);
  EXPECT_EQ(marks(m), "bb");
}

TEST_F(TagKeyDownTest, SizeDeltaOfTypingKeys) {
  load("abc\r\ndef", 1);
  EXPECT_EQ(down('A', ShiftNone), 1);
  EXPECT_EQ(down('A', ShiftShift), 1);
  EXPECT_EQ(down(vk::Space, ShiftNone), 1);
  EXPECT_EQ(down(vk::Return, ShiftNone), 2);
  EXPECT_EQ(down(vk::Return, ShiftCtrl), 2);
  EXPECT_EQ(down(vk::Return, ShiftShift), 2);
  m.setSel(0, 3);
  EXPECT_EQ(down('A', ShiftNone), -2);
  EXPECT_EQ(down(vk::Return, ShiftNone), -1);
  // Keys that change nothing.
  m.setSel(1, 0);
  EXPECT_EQ(down(vk::Left, ShiftNone), 0);
  EXPECT_EQ(down(vk::Shift, ShiftShift), 0);
  EXPECT_EQ(down(189, ShiftNone), 0);
  EXPECT_EQ(down('C', ShiftCtrl), 0);
  EXPECT_EQ(down(222, ShiftShift), 0);
  // AltGr types "#" with 51 and "€" with E; Alt alone types nothing.
  EXPECT_EQ(down(51, ShiftAltGr), 1);
  EXPECT_EQ(down('E', ShiftAltGr), 1);
  EXPECT_EQ(down('E', ShiftAlt), 0);
  EXPECT_EQ(down('A', ShiftAlt), 0);
  EXPECT_EQ(down('3', ShiftAlt), 0);
  EXPECT_EQ(down(vk::Return, ShiftAlt), 0);
  EXPECT_EQ(down(vk::Back, ShiftAlt), 0);
  EXPECT_EQ(down(186, ShiftAltGr | ShiftShift), 0);
  EXPECT_EQ(down('A', ShiftAltGr), 0);
}

TEST_F(TagKeyDownTest, SizeDeltaOfDeletions) {
  load("ab\r\ncd\ne", 4);
  EXPECT_EQ(down(vk::Back, ShiftNone), -2);  // start of a line
  EXPECT_EQ(down(vk::Back, ShiftShift), -2);
  m.setSel(0, 0);
  EXPECT_EQ(down(vk::Back, ShiftNone), 0);
  m.setSel(2, 0);
  EXPECT_EQ(down(vk::Delete, ShiftNone), -2);
  EXPECT_EQ(down(vk::Delete, ShiftAlt), -2);
  m.setSel(m.length(), 0);
  EXPECT_EQ(down(vk::Delete, ShiftNone), 0);
  // A lone LF is one character, whichever side of it the caret stands.
  m.setSel(5, 0);
  EXPECT_EQ(down(vk::Delete, ShiftNone), -1);
  m.setSel(7, 0);
  EXPECT_EQ(down(vk::Back, ShiftNone), -1);
  m.setSel(1, 4);
  EXPECT_EQ(down(vk::Back, ShiftNone), -4);
  EXPECT_EQ(down(vk::Delete, ShiftNone), -4);
  EXPECT_EQ(down(vk::Delete, ShiftShift), -4);  // cut
  m.setSel(1, 0);
  EXPECT_EQ(down(vk::Delete, ShiftShift), 0);
  // Shift with the keypad "." is Delete.
  int key = vk::Decimal;
  m.setSel(2, 0);
  EXPECT_EQ(TagKeyDown(m, key, ShiftShift, skip, colour, p), -2);
  EXPECT_EQ(key, vk::Delete);
}

TEST_F(TagKeyDownTest, WordDeletionsReportWhatTheControlRemoves) {
  load("#Uabc  def", 10);
  EXPECT_EQ(down(vk::Back, ShiftCtrl), -3);
  m.setSel(7, 0);
  EXPECT_EQ(down(vk::Back, ShiftCtrl), -6);  // "Uabc  ": "#" is punctuation
  m.replace(1, 6, {});
  EXPECT_EQ(marks(m), "....");  // the "#" lost its letter
  load("ab, cd\r\nx", 0);
  EXPECT_EQ(down(vk::Delete, ShiftCtrl), -2);
  m.setSel(2, 0);
  EXPECT_EQ(down(vk::Delete, ShiftCtrl | ShiftShift), -2);  // ", "
  m.setSel(6, 0);
  EXPECT_EQ(down(vk::Delete, ShiftCtrl), -2);  // the line break
  m.setSel(8, 0);
  EXPECT_EQ(down(vk::Back, ShiftCtrl), -2);
  // Ctrl+Alt too, ending with the selection display shown again.
  m.setSel(1, 3);
  EXPECT_EQ(down(vk::Back, ShiftAltGr), -3);
  EXPECT_FALSE(m.selectionHidden());
  EXPECT_EQ(down(vk::Delete, ShiftAltGr), -3);
  EXPECT_FALSE(m.selectionHidden());
}

TEST_F(TagKeyDownTest, ReadOnlyTextIsLeftAlone) {
  load("#", 1);
  m.setReadOnly(true);
  EXPECT_EQ(down('1', ShiftShift), 0);
  EXPECT_EQ(m.text(), "#");
  EXPECT_EQ(skip, 0);
}

}  // namespace
}  // namespace scrivle
