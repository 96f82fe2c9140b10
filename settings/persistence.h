// Loading the settings from the registry at start-up and saving them on Apply.
//
// Layout: under HKEY_CURRENT_USER "\Software\Scrivle", one key per group (Options,
// Recents, bookmark, Tags & and its tag keys, Tags # and its tag keys, Menu\1..4);
// flags and integers are DWORDs, strings SZ, colours SZ holding a colour name or "$"
// and eight hexadecimal digits. A missing value takes its default and is written at once.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "registry/registry.h"
#include "settings/parametre.h"

namespace scrivle {

inline constexpr std::string_view kAppPathsKey =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Scrivle.exe";
inline constexpr std::string_view kInstallKey = "\\SoftWare\\Scrivle";
inline constexpr std::string_view kOptionsKey = "\\Software\\Scrivle\\Options";
inline constexpr std::string_view kRecentsKey = "\\Software\\Scrivle\\Recents";
inline constexpr std::string_view kBookmarkKey = "\\Software\\Scrivle\\bookmark";
inline constexpr std::string_view kTagsEtKey = "\\Software\\Scrivle\\Tags &";
inline constexpr std::string_view kTagsDieseKey = "\\Software\\Scrivle\\Tags #";
inline constexpr std::string_view kMenuKey = "\\Software\\Scrivle\\Menu";

// A message box (UTF-8 text).
using SettingsMessage = std::function<void(const std::string& text)>;

struct SettingsLoad {
  bool complete = false;  // every value was read or written with its default
  // mru1..mru9 came from the registry: only then may the recent files be written back
  // (a list still at its empty default would wipe the stored one).
  bool recentsLoaded = false;
};

// Fills `settings` from the registry in one batch: first the App Paths values (the
// executable's path and folder, rewritten at every start; a failure there is ignored, as
// a user may not write the machine-wide hive), then every setting in order. A registry
// error ends the loading at the value concerned with its message; the settings not yet
// loaded keep their built-in defaults (InstallDir and SaveDir: currentDir) and nothing
// more is written. The same-for-all rule has run on return. The shell-registration flags
// (Asso*, Menu*) are left false.
SettingsLoad loadSettings(Registry& registry, TParametre& settings,
                          const std::filesystem::path& currentDir,
                          const std::filesystem::path& executable, const SettingsMessage& show);

// Writes the settings the options dialog changes, in one batch (the recent paths are
// written by the recent-files list alone). A registry error ends the saving at that value
// with its message. False when the saving did not complete.
bool saveSettings(Registry& registry, const TParametre& settings, const SettingsMessage& show);

// Colours as the registry holds them.
struct NamedColour {
  std::string_view name;
  ColorRef value;
};
extern const std::array<NamedColour, 42> kNamedColours;
// The colour's name when one has exactly this value, otherwise "$" and eight upper-case
// hexadecimal digits.
std::string colourToText(ColorRef colour);
// A colour name (letter case ignored), or an integer in decimal or "$"-hexadecimal.
std::optional<ColorRef> colourFromText(std::string_view text);

}  // namespace scrivle
