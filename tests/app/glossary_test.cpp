// docs/glossary.md against the action table and the README: a renamed action, a changed
// caption or a room added to the layout without the glossary fails here.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/actions.h"
#include "support/temp_files.h"

namespace scrivle {
namespace {

const std::filesystem::path kSource = SCRIVLE_SOURCE_DIR;

// The table rows of a Markdown page by their first cell (`Name`), as their cells.
std::map<std::string, std::vector<std::string>> rowsByName(const std::string& page) {
  std::map<std::string, std::vector<std::string>> rows;
  std::istringstream lines(page);
  for (std::string line; std::getline(lines, line);) {
    if (!line.starts_with("| `")) continue;
    std::vector<std::string> cells;
    for (std::size_t at = 2; at < line.size();) {
      const std::size_t end = line.find(" |", at);
      if (end == std::string::npos) break;
      cells.push_back(line.substr(at, end - at));
      at = end + 3;
    }
    rows[cells[0]] = cells;
  }
  return rows;
}

// The indented block of room lines that follows the first line starting with "    app/".
std::string roomBlock(const std::string& page) {
  const std::size_t start = page.find("\n    app/");
  if (start == std::string::npos) return {};
  std::string block = page.substr(start, page.find("\n\n", start) - start);
  while (block.ends_with('\n')) block.pop_back();
  return block;
}

std::string quoted(std::string_view name) {
  return "`" + std::string(name) + "`";
}

TEST(Glossary, NamesEveryActionAndMenuItemWithItsCaptionAndHandler) {
  const auto rows = rowsByName(test::slurp(kSource / "docs" / "glossary.md"));
  std::size_t expected = 0;
  for (const ActionDef& a : actionTable()) {
    SCOPED_TRACE(std::string(a.name));
    ++expected;
    const auto row = rows.find(quoted(a.name));
    ASSERT_NE(row, rows.end()) << "an action without its row in docs/glossary.md";
    ASSERT_EQ(row->second.size(), 6U);
    EXPECT_EQ(row->second[2], quoted(a.caption));
    EXPECT_EQ(row->second[4], a.shortcut);
    EXPECT_EQ(row->second[5], quoted(a.handler));
  }
  for (const MenuItemDef& m : menuItemTable()) {
    SCOPED_TRACE(std::string(m.name));
    ++expected;
    const auto row = rows.find(quoted(m.name));
    ASSERT_NE(row, rows.end());
    EXPECT_EQ(row->second[1], quoted(m.caption));
  }
  // Window classes have rows of their own; nothing else names an action that is gone.
  std::size_t named = 0;
  for (const auto& [name, cells] : rows) named += cells.size() >= 5 ? 1 : 0;
  EXPECT_EQ(named, expected);
}

TEST(Glossary, RoomsAreTheReadmeLayout) {
  const std::string rooms = roomBlock(test::slurp(kSource / "docs" / "glossary.md"));
  EXPECT_FALSE(rooms.empty());
  EXPECT_EQ(rooms, roomBlock(test::slurp(kSource / "README.md")))
      << "copy the room list of the README's layout section into docs/glossary.md";
}

}  // namespace
}  // namespace scrivle
