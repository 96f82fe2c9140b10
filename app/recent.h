// The recent-files list: AppSettings.mru, most recent first, written to the registry on
// every change, and the nine items of the "&Récents" submenu that show it.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "registry/registry.h"
#include "settings/parametre.h"

namespace scrivle {

// Puts `path` at the head of `mru`: an entry equal to it (exact, letter case counts) moves
// up from its place; a new path pushes the others down and drops entry 9.
void putAtHead(std::array<std::string, kMruCount>& mru, std::string_view path);

// putAtHead on settings.mru, then writes the nine values mru1..mru9 (empty entries as
// empty strings) under "\Software\Scrivle\Recents", in one batch, also when the order
// did not change. Registry errors propagate as RegistryError.
void inserRecent(TParametre& settings, std::string_view path, Registry& registry);

struct RecentItem {
  std::string caption;  // "&1 " ... "&9 " followed by the entry
  bool visible = false;
};
// Item K shows entry K; it is visible when the entry is not empty and K <= Nb. Whether
// the submenu itself shows is `enabled` (applied with the other options).
std::array<RecentItem, kMruCount> recentItems(const TParametre& settings);

// The path an item's caption names: the caption without its three-character prefix
// ("" for a caption of three characters or fewer).
std::string recentPath(std::string_view caption);

}  // namespace scrivle
