// The main window's command vocabulary as data: every action with its caption,
// hint, shortcut and handler name, the plain menu items, and the order of the
// menus and tool bars. The window builds its QActions, menus and tool bars from
// these tables.
// docs/glossary.md maps each action name (DfaireAction...) to its caption.
#pragma once

#include <string_view>
#include <vector>

namespace scrivle {

struct ActionDef {
  enum Flags : unsigned { Checkable = 1, Checked = 2, Disabled = 4 };
  std::string_view name;
  std::string_view category;
  std::string_view caption;
  std::string_view hint;
  std::string_view shortcut;  // in QKeySequence's portable text form
  std::string_view handler;
  unsigned flags;
};

// Menu items that are not actions.
struct MenuItemDef {
  std::string_view name;
  std::string_view caption;
  std::string_view hint;
  std::string_view shortcut;
  std::string_view handler;
};

// A menu entry: an action or menu item by name, "-" for a separator (optionally
// named, as "-N7"), or ">Name" for a submenu.
struct MenuDef {
  std::string_view caption;
  std::string_view hint;
  std::vector<std::string_view> entries;
};

const std::vector<ActionDef>& actionTable();
const std::vector<MenuItemDef>& menuItemTable();
const std::vector<MenuDef>& menuBar();
// Buttons of the tool bars, "|" for a separator.
const std::vector<std::string_view>& fileToolBar();
const std::vector<std::string_view>& tagToolBar();

const ActionDef* findAction(std::string_view name);

}  // namespace scrivle
