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

fs::path configFolder() {
  if (const char* config = std::getenv("XDG_CONFIG_HOME");
      config != nullptr && fs::path(config).is_absolute()) {
    return fs::path(config) / "Scrivle";
  }
  const fs::path home = homeFolder();
  if (home.empty()) {
    return fs::temp_directory_path() / "Scrivle";
  }
  return home / ".config" / "Scrivle";
}

}  // namespace scrivle
