#include "tools/chartable.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "calc/keyboard.h"
#include "registry/registry_file.h"
#include "support/temp_files.h"
#include "tags/vocabulary.h"
#include "tools/bookmarks.h"

namespace scrivle {
namespace {

TParametre settings() {
  TParametre s = defaultSettings(".");
  applySameForAll(s);
  return s;
}

TEST(CharTable, CellsHoldEveryCodeOnce) {
  EXPECT_EQ(codeOfCell({0, 0}), 0);
  EXPECT_EQ(codeOfCell({5, 2}), 69);
  EXPECT_EQ(codeOfCell({31, 7}), 255);
  for (int code = 0; code < 256; ++code) {
    const TableCell cell = cellOfCode(static_cast<unsigned char>(code));
    ASSERT_LT(cell.column, kTableColumns);
    ASSERT_LT(cell.row, kTableRows);
    EXPECT_EQ(codeOfCell(cell), code);
  }
}

TEST(CharTable, ArrowsAndWheelWrapAround) {
  EXPECT_EQ(navigateCell({0, 3}, vk::Left, false), (TableCell{31, 3}));
  EXPECT_EQ(navigateCell({31, 3}, vk::Right, false), (TableCell{0, 3}));
  EXPECT_EQ(navigateCell({4, 0}, vk::Up, false), (TableCell{4, 7}));
  EXPECT_EQ(navigateCell({4, 7}, vk::Down, false), (TableCell{4, 0}));
  // Elsewhere, ordinary moves.
  EXPECT_EQ(navigateCell({4, 3}, vk::Left, false), (TableCell{3, 3}));
  EXPECT_EQ(navigateCell({4, 3}, vk::Down, false), (TableCell{4, 4}));
  EXPECT_EQ(navigateCell({4, 3}, vk::End, true), (TableCell{31, 7}));
  EXPECT_EQ(navigateCell({4, 3}, 'A', false), (TableCell{4, 3}));
  EXPECT_EQ(wheelCell({9, 7}, true), (TableCell{9, 0}));
  EXPECT_EQ(wheelCell({9, 0}, false), (TableCell{9, 7}));
  EXPECT_EQ(wheelCell({9, 2}, true), (TableCell{9, 3}));
}

TEST(CharTable, InsertionPaintsTheTagItCompletes) {
  const TParametre s = settings();
  const CharStyle diese1 = charStyleOf(s.StylesDiese[0]);
  ASSERT_NE(diese1, CharStyle{});
  TextModel m;
  m.load("ab#");
  m.setSel(3);
  EXPECT_EQ(insertCharacter(m, '1', true, s), 1);
  EXPECT_EQ(m.text(), "ab#1");
  EXPECT_EQ(m.caret(), 4);
  EXPECT_EQ(m.styleAt(2), diese1);
  EXPECT_EQ(m.styleAt(3), diese1);
  EXPECT_EQ(m.styleAt(1), CharStyle{});

  // An introducer put right before a letter paints too.
  m.load("xU");
  m.setSel(1);
  insertCharacter(m, '#', true, s);
  EXPECT_EQ(m.styleAt(1), charStyleOf(s.StylesDiese[3]));  // "#U"

  // A character put inside a painted tag breaks it: both halves become plain.
  m.setSel(2);
  insertCharacter(m, 'a', true, s);
  EXPECT_EQ(m.text(), "x#aU");
  for (Pos p = 0; p < 4; ++p) EXPECT_EQ(m.styleAt(p), CharStyle{}) << p;

  // Colour display off: nothing painted.
  m.load("#");
  m.setSel(1);
  insertCharacter(m, '1', false, s);
  EXPECT_EQ(m.styleAt(1), CharStyle{});
}

TEST(CharTable, FormFeedAtParagraphStartMakesABookmark) {
  const TParametre s = settings();
  TextModel m;
  m.load("intro\r\nTitre");
  m.setSel(7);
  insertCharacter(m, 12, true, s);
  EXPECT_EQ(m.text(), "intro\r\n\fTitre");
  EXPECT_EQ(m.styleAt(7), charStyleOf(s.StyleBookmark));
  const auto entries = bookmarkEntries(m, 10);
  ASSERT_EQ(entries.size(), 1U);
  EXPECT_EQ(bookmarkLineOf(entries[0], 10), 1);
}

TEST(CharTable, SizeMovesByOneMinusTheReplacedLength) {
  const TParametre s = settings();
  TextModel m;
  m.load("abcdefgh");
  m.setSel(2, 4);
  std::string seen;
  int reported = 0;
  EXPECT_EQ(insertCharacter(m, 'Z', true, s,
                            [&](int delta) {
                              reported = delta;
                              seen = m.text();  // called before the text changes
                            }),
            -3);
  EXPECT_EQ(reported, -3);
  EXPECT_EQ(seen, "abcdefgh");
  EXPECT_EQ(m.text(), "abZgh");
  EXPECT_TRUE(m.modified());
  m.setSel(5, -5);  // a backwards selection counts the same
  EXPECT_EQ(insertCharacter(m, 'Q', true, s), -4);
  EXPECT_EQ(m.text(), "Q");

  // A read-only text is left alone.
  m.setReadOnly(true);
  bool called = false;
  EXPECT_EQ(insertCharacter(m, 'R', true, s, [&](int) { called = true; }), 0);
  EXPECT_FALSE(called);
  EXPECT_EQ(m.text(), "Q");
}

// The table's place survives the run, also left of or above the first screen; a value of
// another type (edited by hand) is no place at all.
TEST(CharTable, PlaceIsKeptInItsOwnKey) {
  const test::TempDir temp;
  const auto dir = temp.path();
  {
    FileRegistry reg(dir / "registry.reg");
    EXPECT_FALSE(loadTablePlace(reg));
    saveTablePlace(reg, {-300, 40});
  }
  FileRegistry reg(dir / "registry.reg");
  EXPECT_EQ(loadTablePlace(reg), (TablePlace{-300, 40}));
  EXPECT_EQ(reg.valueNames(RegRoot::CurrentUser, kTablePlaceKey),
            (std::vector<std::string>{"Left", "Top"}));
  reg.write(RegRoot::CurrentUser, kTablePlaceKey, "Top", RegValue::ofString("40"));
  EXPECT_FALSE(loadTablePlace(reg));
}

}  // namespace
}  // namespace scrivle
