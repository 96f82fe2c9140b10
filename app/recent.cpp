#include "app/recent.h"

#include <algorithm>

#include "settings/persistence.h"

namespace scrivle {

void putAtHead(std::array<std::string, kMruCount>& mru, std::string_view path) {
  const auto found = std::find(mru.begin(), mru.end(), path);
  // Found at i: entries before it move down one place; not found: entry 9 is dropped.
  const auto last = found != mru.end() ? found : mru.end() - 1;
  std::move_backward(mru.begin(), last, last + 1);
  mru.front() = std::string(path);
}

void inserRecent(TParametre& settings, std::string_view path, Registry& registry) {
  putAtHead(settings.mru, path);
  RegistryBatch batch(registry);
  for (int k = 1; k <= kMruCount; ++k) {
    registry.write(RegRoot::CurrentUser, kRecentsKey, "mru" + std::to_string(k),
                   RegValue::ofString(settings.mru[static_cast<std::size_t>(k - 1)]));
  }
  batch.commit();
}

std::array<RecentItem, kMruCount> recentItems(const TParametre& settings) {
  std::array<RecentItem, kMruCount> items;
  for (int k = 1; k <= kMruCount; ++k) {
    const std::string& entry = settings.mru[static_cast<std::size_t>(k - 1)];
    RecentItem& item = items[static_cast<std::size_t>(k - 1)];
    item.caption = "&" + std::to_string(k) + " " + entry;
    item.visible = !entry.empty() && k <= settings.Nb;
  }
  return items;
}

std::string recentPath(std::string_view caption) {
  return caption.size() <= 3 ? std::string() : std::string(caption.substr(3));
}

}  // namespace scrivle
