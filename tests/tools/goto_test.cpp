#include "tools/goto.h"

#include <gtest/gtest.h>

#include <climits>

#include "support/fake_dialogs.h"

namespace scrivle {
namespace {

TEST(GoToLine, FieldAndKeyFilter) {
  TextModel m;
  m.load("un\r\ndeux\r\ntrois");
  m.setSel(12);  // inside "trois"
  EXPECT_EQ(goToFieldText(m), "3");
  m.setSel(0);
  EXPECT_EQ(goToFieldText(m), "1");
  EXPECT_TRUE(goToKeyAccepted(U'0'));
  EXPECT_TRUE(goToKeyAccepted(U'9'));
  EXPECT_TRUE(goToKeyAccepted(8));
  for (char32_t c : {U'a', U'-', U'+', U' ', U'.', U'\r', U'٣'}) EXPECT_FALSE(goToKeyAccepted(c));
}

TEST(GoToLine, ParsingRejectsWhatIsNotALineNumber) {
  EXPECT_EQ(parseLineNumber("42"), 42);
  EXPECT_EQ(parseLineNumber(" 7 "), 7);
  EXPECT_EQ(parseLineNumber("0"), 0);
  EXPECT_EQ(parseLineNumber("2147483647"), INT_MAX);
  for (const char* bad : {"", "  ", "abc", "12a", "-3", "+3", "2147483648", "1 2", "0x10"}) {
    EXPECT_FALSE(parseLineNumber(bad).has_value()) << bad;
  }
}

TEST(GoToLine, CaretGoesToLineStartClampedToLastLine) {
  TextModel m;
  m.load("un\r\ndeux\r\ntrois");
  m.setSel(6, 2);                        // inside "deux", with a selection
  EXPECT_EQ(goToLinePosition(m, 0), 4);  // start of the caret's own line
  EXPECT_EQ(goToLinePosition(m, 1), 0);
  EXPECT_EQ(goToLinePosition(m, 3), 10);
  EXPECT_EQ(goToLinePosition(m, 4), 10);        // no final break: start of the last line
  EXPECT_EQ(goToLinePosition(m, INT_MAX), 10);  // no overflow on the largest number

  TextModel broken;
  broken.load("un\r\ndeux\r\n");
  EXPECT_EQ(goToLinePosition(broken, 50), 10);  // the empty line after the final break

  // Lines are screen lines: a wrapped paragraph counts several.
  TextModel wrapped;
  wrapped.load("aaaa bbbb cccc\r\nz");
  wrapped.setWrapColumns(5);
  EXPECT_EQ(goToLinePosition(wrapped, 2), wrapped.lineStart(1));
  EXPECT_EQ(goToLinePosition(wrapped, 4), 16);

  TextModel empty;
  EXPECT_EQ(goToLinePosition(empty, 3), 0);
}

TEST(GoToLine, OkMovesOrReportsAndLeavesTheCaret) {
  test::FakeDialogs dialogs;
  TextModel m;
  m.load("un\r\ndeux\r\ntrois");
  m.setSel(1, 5);
  EXPECT_TRUE(goToLine(m, "3", dialogs));
  EXPECT_EQ(m.selStart(), 10);
  EXPECT_EQ(m.selLength(), 0);

  m.setSel(1, 5);
  for (const char* bad : {"", "-2", "deux"}) {
    dialogs.expectMessage("Le texte entré n'est pas valide.");
    EXPECT_FALSE(goToLine(m, bad, dialogs));
    EXPECT_EQ(m.selStart(), 1);
    EXPECT_EQ(m.selLength(), 5);
  }
}

}  // namespace
}  // namespace scrivle
