// Registration with the Windows shell under HKEY_CLASSES_ROOT: the three calculator
// extensions share the file type "TI-Text", whose verbs "Ouvrir" and "Zip" start Scrivle,
// and one extension offers the empty text as the shell's new file. The six flags of the
// settings (Asso89, Asso92, Asso9x, MenuOuvrir, MenuZipper, MenuNouveau) are never
// stored: start-up reads them back from what the shell holds, and Apply rewrites the
// registration from them.
//
// Command lines keep the exact Windows form, InstallDir followed by \Scrivle.exe, on
// every platform: they are what the registry is compared against.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "registry/registry.h"
#include "settings/parametre.h"

namespace scrivle {

inline constexpr std::string_view kShellFileType = "TI-Text";
inline constexpr std::string_view kShellContentType = "Textes TI";
inline constexpr std::string_view kFileTypeKey = "\\TI-Text";
inline constexpr std::string_view kOuvrirKey = "\\TI-Text\\shell\\Ouvrir";
inline constexpr std::string_view kOuvrirCommandKey = "\\TI-Text\\shell\\Ouvrir\\command";
inline constexpr std::string_view kZipKey = "\\TI-Text\\shell\\Zip";
inline constexpr std::string_view kZipCommandKey = "\\TI-Text\\shell\\Zip\\command";
// The extensions in the order they are registered, without the dot.
inline constexpr std::array<std::string_view, 3> kShellExtensions = {"89t", "92t", "9xt"};

std::string shellOpenCommand(std::string_view installDir);  // ...\Scrivle.exe "%1"
std::string shellZipCommand(std::string_view installDir);   // ...\Scrivle.exe /zip "%1"
std::string shellNewCommand(std::string_view installDir);   // ...\Scrivle.exe /new
std::string extensionKey(std::string_view ext);             // \.89t
std::string shellNewKey(std::string_view ext);              // \.89t\ShellNew

// Moves value `from` to `to` in the same key of HKEY_CLASSES_ROOT, keeping its type:
// only when `from` exists, `to` does not, and `from` holds at least one byte of data
// (a string counts its terminating zero). "" is the key's default value. True when moved.
bool moveClassesValue(Registry& registry, std::string_view key, std::string_view from,
                      std::string_view to);

// True when the extension key's default value names another program's file type: it
// holds data and is not "TI-Text". Such a key is never changed by un-associating or by
// the uninstall.
bool extensionOwnedByOther(Registry& registry, std::string_view ext);

// What HKEY_CLASSES_ROOT holds of Scrivle's, by extension in kShellExtensions order.
struct ShellState {
  std::array<bool, 3> associated{};  // the extension's file type is "TI-Text"
  bool ouvrir = false;               // the verbs hold Scrivle's command lines
  bool zip = false;
  std::array<bool, 3> newFile{};  // the extension's new-file entry is Scrivle's
};
ShellState readShellState(Registry& registry, std::string_view installDir);

// Start-up: sets the six flags from HKEY_CLASSES_ROOT; writes nothing. Unreadable values
// count as not Scrivle's. MenuNouveau is also set when an extension offers Scrivle's own
// empty text as its new file.
void deriveShellFlags(Registry& registry, TParametre& settings);

// Apply: associates or un-associates each extension, then, when at least one is
// associated, writes or removes the verbs and the new-file entry. A registry error
// propagates and ends the registration at that point.
void registerShell(Registry& registry, const TParametre& settings);

// The uninstall: the App Paths key (a failure there is ignored: the machine-wide hive
// may be closed to the user), the whole settings tree, Scrivle's new-file entries and
// extension keys, the file type; on Windows then an attempt to remove InstallDir if it
// is empty (elsewhere InstallDir is a folder Scrivle did not create: it stays).
void uninstallScrivle(Registry& registry, const TParametre& settings);

}  // namespace scrivle
