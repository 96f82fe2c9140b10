#include "tools/chartable.h"

#include <cstdint>
#include <string>

#include "calc/keyboard.h"
#include "tags/colorise.h"
#include "tags/tagkeydown.h"

namespace scrivle {

TableCell navigateCell(TableCell cell, int key, bool ctrl) {
  constexpr int lastColumn = kTableColumns - 1;
  constexpr int lastRow = kTableRows - 1;
  switch (key) {
    case vk::Left:
      cell.column = cell.column == 0 ? lastColumn : cell.column - 1;
      break;
    case vk::Right:
      cell.column = cell.column == lastColumn ? 0 : cell.column + 1;
      break;
    case vk::Up:
      cell.row = cell.row == 0 ? lastRow : cell.row - 1;
      break;
    case vk::Down:
      cell.row = cell.row == lastRow ? 0 : cell.row + 1;
      break;
    case vk::Home:
      cell.column = 0;
      if (ctrl) cell.row = 0;
      break;
    case vk::End:
      cell.column = lastColumn;
      if (ctrl) cell.row = lastRow;
      break;
    // Every row is visible: a page goes to the first or last row.
    case vk::Prior:
      cell.row = 0;
      break;
    case vk::Next:
      cell.row = lastRow;
      break;
    default:
      break;
  }
  return cell;
}

TableCell wheelCell(TableCell cell, bool down) {
  return navigateCell(cell, down ? vk::Down : vk::Up, false);
}

int insertCharacter(TextModel& model, unsigned char code, bool colourOn, const TParametre& settings,
                    const std::function<void(int sizeDelta)>& beforeReplace) {
  if (model.readOnly()) return 0;
  const Pos replaced = model.selLength();

  // A plain letter as far as the tag routine goes: it only takes the paint off tags
  // the new character breaks; its own size figure is not the table's.
  int key = 'A';
  std::int32_t skip = 0;
  TagKeyDown(model, key, ShiftNone, skip, colourOn, settings);

  // The new character is plain whatever it replaces or follows.
  const CharStyle plain;
  model.setSelectionStyle(plain);
  model.setInsertionStyle(plain);

  // One character in, the replaced ones out.
  const int delta = static_cast<int>(1 - replaced);
  if (beforeReplace) beforeReplace(delta);

  model.replaceSelection(std::string(1, static_cast<char>(code)));
  const Pos p = model.caret();
  // Tags beginning just before, at or right after the new character (1-based indexes).
  colorise(model, p - 2, p + 1, colourOn, settings);
  return delta;
}

std::optional<TablePlace> loadTablePlace(Registry& registry) {
  try {
    const auto left = registry.read(RegRoot::CurrentUser, kTablePlaceKey, "Left");
    const auto top = registry.read(RegRoot::CurrentUser, kTablePlaceKey, "Top");
    if (!left || !top || left->type != RegType::Dword || top->type != RegType::Dword) {
      return std::nullopt;
    }
    // Stored as two's complement: a second screen may lie left of or above the first.
    return TablePlace{static_cast<int>(static_cast<std::int32_t>(left->dword)),
                      static_cast<int>(static_cast<std::int32_t>(top->dword))};
  } catch (const RegistryError&) {
    return std::nullopt;
  }
}

void saveTablePlace(Registry& registry, TablePlace place) {
  try {
    RegistryBatch batch(registry);
    registry.write(RegRoot::CurrentUser, kTablePlaceKey, "Left",
                   RegValue::ofDword(static_cast<std::uint32_t>(place.left)));
    registry.write(RegRoot::CurrentUser, kTablePlaceKey, "Top",
                   RegValue::ofDword(static_cast<std::uint32_t>(place.top)));
    batch.commit();
  } catch (const RegistryError&) {
    // The table opens at its usual place next time.
  }
}

}  // namespace scrivle
