// The bookmarks of a document: paragraphs that start with the form feed, listed by
// their visible text (tags taken out) and the screen line that starts them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "editor/text_model.h"

namespace scrivle {

struct BookmarkWindowGeometry {
  int height;
  int width;
  int widthWithScrollBar;
  int mostEntries;  // shown without a scroll bar
  int NameWidth;
};

// "89t" gets the narrow window; every other extension the wide one.
BookmarkWindowGeometry bookmarkGeometryFor(std::string_view defaultExt);

// The visible name of a bookmark from the text of its first screen line (marker
// included), cut or padded to nameWidth.
std::string BookmarkName(std::string_view line, int nameWidth);

// The list entries: name, one space, the screen line in decimal.
std::vector<std::string> bookmarkEntries(TextModel& model, int nameWidth);

// The screen line an entry points to, or -1 when the entry carries none.
Pos bookmarkLineOf(std::string_view entry, int nameWidth);

}  // namespace scrivle
