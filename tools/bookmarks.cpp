#include "tools/bookmarks.h"

#include <charconv>

namespace scrivle {
namespace {

bool paragraphOnly(unsigned char c) {
  return c == ',' || c == '-' || c == '.' || c == ';' || c == '=' || c == 'C' || c == 'L' ||
         c == 'P' || c == 'R' || c == '\\';
}

bool characterOnly(unsigned char c) {
  return c == '1' || c == '2' || c == '3' || c == 'I' || c == 'N' || c == 'S' || c == 'U' ||
         c == 'V' || c == 'W';
}

}  // namespace

BookmarkWindowGeometry bookmarkGeometryFor(std::string_view defaultExt) {
  if (defaultExt == "89t") return {170, 328, 340, 9, 26};
  return {218, 498, 510, 12, 40};
}

std::string BookmarkName(std::string_view line, int nameWidth) {
  std::string name;
  int q = -1;  // pending character, none at first
  const auto width = static_cast<std::size_t>(nameWidth < 0 ? 0 : nameWidth);
  for (std::size_t i = 1; i < line.size() && name.size() < width; ++i) {
    const auto c = static_cast<unsigned char>(line[i]);
    if (c == '#' || c == '&') {
      // The introducer waits for the next character.
    } else if (paragraphOnly(c)) {
      if (q != '&') {
        if (!name.empty() && q == '#') name += '#';
        name += static_cast<char>(c);
      }
    } else if (characterOnly(c)) {
      if (q != '#') {
        if (!name.empty() && q == '&') name += '&';
        name += static_cast<char>(c);
      }
    } else if (c == 'E') {
      if (q != '#' && q != '&') name += 'E';
    } else {
      if (q == '#' || q == '&') name += static_cast<char>(q);
      name += static_cast<char>(c);
    }
    q = c;
  }
  name.resize(width, ' ');
  return name;
}

std::vector<std::string> bookmarkEntries(TextModel& model, int nameWidth) {
  std::vector<std::string> entries;
  const bool wasHidden = model.selectionHidden();
  model.setSelectionHidden(true);
  auto add = [&](Pos line) {
    entries.push_back(BookmarkName(model.lineText(line), nameWidth) + ' ' + std::to_string(line));
  };
  if (model.length() > 0 && model.byteAt(0) == '\f') add(0);
  const Pos count = model.lineCount();
  for (Pos k = 1; k < count; ++k) {
    const Pos p = model.lineStart(k);
    // A wrapped continuation line is not a paragraph start.
    if (p >= 2 && model.byteAt(p - 1) == '\n' && model.byteAt(p - 2) == '\r' &&
        model.byteAt(p) == '\f') {
      add(k);
    }
  }
  model.setSelectionHidden(wasHidden);
  return entries;
}

Pos bookmarkLineOf(std::string_view entry, int nameWidth) {
  const auto from = static_cast<std::size_t>(nameWidth) + 1;
  if (nameWidth < 0 || entry.size() <= from) return -1;
  Pos n = 0;
  const char* first = entry.data() + from;
  const char* last = entry.data() + entry.size();
  auto [ptr, ec] = std::from_chars(first, last, n);
  if (ec != std::errc() || ptr != last || n < 0) return -1;
  return n;
}

}  // namespace scrivle
