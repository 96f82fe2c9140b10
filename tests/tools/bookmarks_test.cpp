#include "tools/bookmarks.h"

#include <gtest/gtest.h>

namespace scrivle {
namespace {

std::string trimmed(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

TEST(BookmarkName, TagsTakenOutTextKept) {
  EXPECT_EQ(trimmed(BookmarkName("\f&C#3Titre", 26)), "Titre");
  // The tag goes, the spaces around it stay.
  EXPECT_EQ(trimmed(BookmarkName("\fun #1 deux", 26)), "un  deux");
  // A "#" that ends the line is dropped; "#" before a lower-case letter stays.
  EXPECT_EQ(trimmed(BookmarkName("\fab#", 26)), "ab");
  EXPECT_EQ(trimmed(BookmarkName("\f#abc", 26)), "#abc");
  // An introducer followed by another introducer is dropped.
  EXPECT_EQ(trimmed(BookmarkName("\fx&#U", 26)), "x");
  // A paragraph letter after "#" and a character letter after "&" are text.
  EXPECT_EQ(trimmed(BookmarkName("\fa#C&U", 26)), "a#C&U");
  EXPECT_EQ(trimmed(BookmarkName("\f#E&E E", 26)), " E");
  EXPECT_EQ(BookmarkName("\f", 4), "    ");
  EXPECT_EQ(BookmarkName("\f0123456789", 4), "0123");
}

TEST(Bookmarks, EntriesListParagraphStartsOnly) {
  TextModel m;
  m.load("\ffirst\r\nplain \f not\r\n\fsecond#1 x\r\n" + std::string(30, 'y') + "\f\r\n");
  m.setWrapColumns(20);  // the long line wraps; its continuation starts with the marker
  const auto entries = bookmarkEntries(m, 10);
  ASSERT_EQ(entries.size(), 2U);
  EXPECT_EQ(entries[0], "first      0");
  EXPECT_EQ(entries[1], "second x   2");
  EXPECT_EQ(bookmarkLineOf(entries[1], 10), 2);
  EXPECT_EQ(bookmarkLineOf("short", 10), -1);
  EXPECT_EQ(bookmarkLineOf("abcdefghij x", 10), -1);
  TextModel none;
  none.load("no bookmarks\r\nhere");
  EXPECT_TRUE(bookmarkEntries(none, 26).empty());
}

TEST(Bookmarks, GeometryFollowsTheDefaultExtension) {
  EXPECT_EQ(bookmarkGeometryFor("89t").NameWidth, 26);
  EXPECT_EQ(bookmarkGeometryFor("89t").width, 328);
  EXPECT_EQ(bookmarkGeometryFor("9xt").widthWithScrollBar, 510);
  EXPECT_EQ(bookmarkGeometryFor("92t").mostEntries, 12);
}

}  // namespace
}  // namespace scrivle
