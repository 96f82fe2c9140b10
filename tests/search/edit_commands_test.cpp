#include "search/edit_commands.h"

#include <gtest/gtest.h>

#include "support/fake_clipboard.h"
#include "tags/colorise.h"
#include "tags/marks.h"

namespace scrivle {
namespace {

using test::FakeClipboard;
using test::marks;

TEST(EditCommands, CutAndPasteMoveTheSizeByTheBytesChanged) {
  const TParametre p = test::tagSettings();
  TextModel m;
  FakeClipboard clip;
  m.load("0123456789abcd#U");
  colorise(m, 1, m.length(), true, p);
  // Cutting 10 characters: -10, and the tag after the cut keeps its colour.
  m.setSel(0, 10);
  TextChange c = cutSelection(m, clip, true, p);
  EXPECT_TRUE(c.changed);
  EXPECT_EQ(c.sizeDelta, -10);
  EXPECT_EQ(clip.text(), "0123456789");
  EXPECT_EQ(m.text(), "abcd#U");
  // Pasting 4 over 10: -6.
  m.load("0123456789");
  clip.setText("wxyz");
  m.setSel(0, 10);
  c = pasteClipboard(m, clip, true, p);
  EXPECT_EQ(c.sizeDelta, -6);
  EXPECT_EQ(m.text(), "wxyz");
  EXPECT_EQ(m.caret(), 4);
  EXPECT_EQ(m.selLength(), 0);

  // An empty selection cuts nothing, writes no clipboard and paints nothing.
  m.load("#xU");
  m.setSel(2, 0);
  const int writes = clip.writes();
  EXPECT_FALSE(cutSelection(m, clip, true, p).changed);
  EXPECT_EQ(clip.writes(), writes);
  EXPECT_EQ(marks(m), "...");
  // A read-only text takes neither cut nor paste.
  m.setSel(0, 2);
  m.setReadOnly(true);
  EXPECT_FALSE(cutSelection(m, clip, true, p).changed);
  EXPECT_FALSE(pasteClipboard(m, clip, true, p).changed);
  EXPECT_EQ(m.text(), "#xU");
}

TEST(EditCommands, CutBreakingATagTakesItsColourOff) {
  const TParametre p = test::tagSettings();
  TextModel m;
  FakeClipboard clip;
  m.load("a#Ub");
  colorise(m, 1, m.length(), true, p);
  ASSERT_EQ(marks(m), ".bb.");
  m.setSel(2, 2);  // "Ub"
  cutSelection(m, clip, true, p);
  EXPECT_EQ(m.text(), "a#");
  EXPECT_EQ(marks(m), "..");
}

TEST(EditCommands, PastedTextIsMadePlainThenItsTagsPainted) {
  const TParametre p = test::tagSettings();
  TextModel m;
  FakeClipboard clip;
  m.load("x# y");
  // The typing style at the caret is loud: the pasted text must not take it.
  m.setInsertionStyle(CharStyle{0x00123456, true, true, true, false});
  m.setSel(2, 0);
  clip.setText("Uab#N\r\n");
  const TextChange c = pasteClipboard(m, clip, true, p);
  EXPECT_EQ(c.sizeDelta, 7);
  EXPECT_EQ(m.text(), "x#Uab#N\r\n y");
  // The '#' before the paste forms a tag with the pasted 'U'; the pasted "#N" is a tag.
  EXPECT_EQ(marks(m), ".bb..bb....");
  EXPECT_EQ(m.caret(), 9);
  EXPECT_EQ(m.insertionStyle(), CharStyle{});
  // Colour display off: everything stays plain.
  m.load("ab");
  m.setSel(1, 0);
  clip.setText("#U");
  pasteClipboard(m, clip, false, p);
  EXPECT_EQ(marks(m), "....");
}

TEST(EditCommands, UndoAndRedoReportTheirSizeChange) {
  TextModel m;
  m.load("hello");
  EXPECT_FALSE(undoStep(m).changed);
  m.setSel(5, 0);
  m.replaceSelection(" world");
  TextChange c = undoStep(m);
  EXPECT_TRUE(c.changed);
  EXPECT_EQ(c.sizeDelta, -6);
  c = redoStep(m);
  EXPECT_EQ(c.sizeDelta, 6);
  EXPECT_FALSE(redoStep(m).changed);
  m.setReadOnly(true);
  EXPECT_FALSE(undoStep(m).changed);
  EXPECT_EQ(m.text(), "hello world");
}

}  // namespace
}  // namespace scrivle
