// What the preview needs from outside: a document file's text, the model its name asks
// for, and the pane's own settings in the registry.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "registry/registry.h"

namespace scrivle {

// The text of a calculator text file (".89t", ".92t", ".9xt") or of any other file taken
// as plain text. Throws ScrivleError with a French message when the file is missing,
// cannot be read, or is not a calculator text.
std::string previewTextOfFile(const std::filesystem::path& path);

// The default extension the options hold ("89t", "92t" or "9xt"), read without writing
// anything; "9xt" when it is missing or unreadable.
std::string storedDefaultExt(Registry& registry);

inline constexpr std::string_view kApercuKey = "\\Software\\Scrivle\\Apercu";

struct PreviewSettings {
  int model = 0;  // 0: as the file name says; 89 or 92: that model
  int zoom = 2;   // 1 to 4
  bool visible = false;
  bool operator==(const PreviewSettings&) const = default;
};
// Out-of-range or missing values take their defaults; a registry error gives the defaults.
PreviewSettings loadPreviewSettings(Registry& registry);
// Throws RegistryError when a value cannot be written.
void savePreviewSettings(Registry& registry, const PreviewSettings& settings);

}  // namespace scrivle
