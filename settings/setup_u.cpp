#include "settings/setup_u.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "settings/parametre.h"

namespace scrivle {

TOptions::TOptions(QWidget* parent) : QDialog(parent) {
  setObjectName("Options");
  FormCreate();
}

void TOptions::FormCreate() {
  std::error_code ec;
  std::filesystem::path cwd = std::filesystem::current_path(ec);
  AppSettings = defaultSettings(cwd);
  // Until the settings store exists, the auto-save interval can be shortened from the
  // environment (the end-to-end tests use it).
  if (const char* ms = std::getenv("SCRIVLE_AUTOSAVE_TIME")) {
    char* end = nullptr;
    const long v = std::strtol(ms, &end, 10);
    if (end != ms && v > 0 && v < 100000000)
      AppSettings.AutoSaveTime = static_cast<std::int32_t>(v);
  }
  applySameForAll(AppSettings);
}

}  // namespace scrivle
