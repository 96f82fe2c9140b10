// The settings of a first run, for one test: a fresh folder with the documents folder in
// it, the state folder (journals, auto-saves) and a settings store of its own inside it,
// and AppSettings at their defaults with no document opened at start. Whatever the test
// saves, the person's own settings and state are never touched.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "settings/parametre.h"
#include "support/temp_files.h"
#include "support/temp_registry.h"

namespace scrivle::test {

class TempSettings {
 public:
  explicit TempSettings(std::string_view prefix = "scrivle-settings-") : dir_(prefix) {
    std::filesystem::create_directories(docs());
    if (const char* old = std::getenv("XDG_STATE_HOME")) {
      oldState_ = old;
    }
    setenv("XDG_STATE_HOME", state().c_str(), 1);
    AppSettings = defaultSettings(docs());
    applySameForAll(AppSettings);
    AppSettings.StartNew = 0;
  }
  ~TempSettings() {
    if (oldState_) {
      setenv("XDG_STATE_HOME", oldState_->c_str(), 1);
    } else {
      unsetenv("XDG_STATE_HOME");
    }
  }
  TempSettings(const TempSettings&) = delete;
  TempSettings& operator=(const TempSettings&) = delete;

  // The test's own folder; everything below goes with the object.
  const std::filesystem::path& dir() const { return dir_.path(); }
  // The documents folder of the settings (made).
  std::filesystem::path docs() const { return dir() / "docs"; }
  // XDG_STATE_HOME while the object lives (not made: the program makes it).
  std::filesystem::path state() const { return dir() / "state"; }
  // The settings store file (made by the first write).
  const std::filesystem::path& store() const { return registry_.file(); }

 private:
  TempDir dir_;
  TempRegistry registry_;
  std::optional<std::string> oldState_;
};

}  // namespace scrivle::test
