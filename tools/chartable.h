// The character table: all 256 calculator codes in a 32 x 8 grid, and typing the chosen
// one into a document as if it came from the keyboard (tags around it keep their paint).
#pragma once

#include <functional>
#include <optional>

#include "editor/text_model.h"
#include "registry/registry.h"
#include "settings/parametre.h"

namespace scrivle {

inline constexpr int kTableColumns = 32;
inline constexpr int kTableRows = 8;

struct TableCell {
  int column = 0;  // 0..31
  int row = 0;     // 0..7
  bool operator==(const TableCell&) const = default;
};

// Row r holds codes 32r to 32r + 31.
constexpr unsigned char codeOfCell(TableCell cell) {
  return static_cast<unsigned char>(kTableColumns * cell.row + cell.column);
}
constexpr TableCell cellOfCode(unsigned char code) {
  return {code % kTableColumns, code / kTableColumns};
}

// The cell selected after a navigation key (Windows virtual-key code; ctrl for Ctrl+Home
// and Ctrl+End). The arrows wrap around at the grid's edges (Left in column 0 goes to
// column 31 of the same row, Up in row 0 to row 7...); elsewhere they, Home, End, Page Up
// and Page Down move as in any grid. Other keys leave the cell.
TableCell navigateCell(TableCell cell, int key, bool ctrl);
// One wheel notch: down goes a row down, from row 7 to row 0; up the other way.
TableCell wheelCell(TableCell cell, bool down);

// Types code over the selection of model: the key-down routine runs first as for a
// plain letter (tags broken at the selection's edges lose their paint), the new
// character is plain, and tags it completes on either side are painted. beforeReplace,
// when given, is called with the size change just before the text changes, so the
// caller can count and mark the change first. Returns the size change on the
// calculator: 1 minus the length of the replaced selection. A read-only text is left
// alone and 0 is returned.
int insertCharacter(TextModel& model, unsigned char code, bool colourOn, const TParametre& settings,
                    const std::function<void(int sizeDelta)>& beforeReplace = {});

// Where the person last left the table window (its frame's top-left corner on the
// desktop), kept from one run to the next in a key of its own beside the settings.
inline constexpr const char* kTablePlaceKey = "\\Software\\Scrivle\\Table";
struct TablePlace {
  int left = 0;
  int top = 0;
  bool operator==(const TablePlace&) const = default;
};
// nullopt when nothing usable is stored. Never throws: a place is not worth an error box.
std::optional<TablePlace> loadTablePlace(Registry& registry);
void saveTablePlace(Registry& registry, TablePlace place);

}  // namespace scrivle
