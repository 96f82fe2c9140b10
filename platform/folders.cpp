#include "platform/folders.h"

#include <cstdlib>

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace scrivle {

fs::path homeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    return fs::path(home);
  }
#ifndef _WIN32
  if (const passwd* entry = ::getpwuid(::getuid());
      entry != nullptr && entry->pw_dir != nullptr && *entry->pw_dir != '\0') {
    return fs::path(entry->pw_dir);
  }
#endif
  return {};
}

namespace {

fs::path scrivleFolder(const char* variable, const fs::path& belowHome) {
  if (const char* base = std::getenv(variable); base != nullptr && fs::path(base).is_absolute()) {
    return fs::path(base) / "Scrivle";
  }
  const fs::path home = homeFolder();
  if (home.empty()) {
    return fs::temp_directory_path() / "Scrivle";
  }
  return home / belowHome / "Scrivle";
}

}  // namespace

fs::path configFolder() {
  return scrivleFolder("XDG_CONFIG_HOME", ".config");
}

fs::path stateFolder() {
  return scrivleFolder("XDG_STATE_HOME", fs::path(".local") / "state");
}

}  // namespace scrivle
