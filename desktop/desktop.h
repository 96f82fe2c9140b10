// The desktop's own integration on Linux, where file managers do not read the Windows
// shell keys: it mirrors what the registry registration holds into the user's data
// folders.
//
//   $XDG_DATA_HOME/mime/packages/scrivle.xml     the three calculator text types
//   $XDG_DATA_HOME/applications/scrivle.desktop  Scrivle, with "Ouvrir" and "Zip" actions
//   $XDG_DATA_HOME/applications/scrivle-zip.desktop  "Zip" alone, hidden from menus, for
//                                                file managers that list no actions
//   $XDG_CONFIG_HOME/mimeapps.list               Scrivle as default of the associated types
//   <templates folder>/Texte TI.<ext>            the empty text offered as a new file
//   $XDG_DATA_HOME/icons/hicolor/<size>/apps/scrivle.png (and scalable/…/scrivle.svg)
//                                                Scrivle's icon, named by the entries
//
// Only files Scrivle wrote are ever removed: a file of one of these names that does not
// carry Scrivle's mark (or the template's exact bytes) is left alone, and in mimeapps.list
// only Scrivle's entries are taken out.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "desktop/shell.h"

namespace scrivle {

// The MIME types of the .89t, .92t and .9xt texts, in kShellExtensions order.
inline constexpr std::array<std::string_view, 3> kCalcTextMimeTypes = {
    "application/x-ti89-text", "application/x-ti92-text", "application/x-ti92plus-text"};
inline constexpr std::string_view kDesktopEntryName = "scrivle.desktop";
inline constexpr std::string_view kZipEntryName = "scrivle-zip.desktop";
inline constexpr std::string_view kMimePackageName = "scrivle.xml";
inline constexpr std::string_view kTemplateStem = "Texte TI";
inline constexpr std::string_view kIconName = "scrivle";

// One file of Scrivle's icon in the hicolor theme: its path inside the theme
// ("48x48/apps/scrivle.png") and its bytes, which carry Scrivle's mark.
struct DesktopIcon {
  std::string themePath;
  std::string bytes;
};

struct DesktopFolders {
  std::filesystem::path dataHome;    // $XDG_DATA_HOME, ~/.local/share when unset
  std::filesystem::path configHome;  // $XDG_CONFIG_HOME, ~/.config when unset
  // $XDG_TEMPLATES_DIR, else the one user-dirs.dirs names, else ~/Templates; empty when
  // user-dirs.dirs turns templates off (points at the home folder itself).
  std::filesystem::path templates;

  static DesktopFolders fromEnvironment();
};

// False on Windows, where the shell keys are the integration.
bool desktopIntegrationSupported();

// Writes or removes the desktop files so that they say what `state` says. `executable`
// is the program the entries start; `icons` are installed with the entries and removed
// with them. Refreshes the user's MIME database when the type package changed (when
// update-mime-database is installed). Throws ScrivleError when a file cannot be written.
void syncDesktopIntegration(const ShellState& state, const DesktopFolders& folders,
                            const std::filesystem::path& executable,
                            const std::vector<DesktopIcon>& icons = {});

// Removes everything syncDesktopIntegration may have written (the icon files named in
// `icons` included).
void removeDesktopIntegration(const DesktopFolders& folders,
                              const std::vector<DesktopIcon>& icons = {});

// The Exec= form of a program path: quoted, with the escapes desktop entries require.
std::string desktopExecQuote(const std::string& path);

}  // namespace scrivle
