#include "preview/source.h"

#include <system_error>

#include "document/tifile.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "settings/persistence.h"

namespace scrivle {

namespace fs = std::filesystem;

std::string previewTextOfFile(const fs::path& path) {
  std::error_code ec;
  if (!fs::exists(path, ec)) {
    throw ScrivleError("Le fichier " + pathToUtf8(path) + " n'existe pas.");
  }
  if (!fs::is_regular_file(path, ec)) {
    throw cannotOpen(path);
  }
  std::string bytes = readFile(path);
  if (!isCalcExtension(path)) return bytes;
  try {
    return readTiText(bytes).text;
  } catch (const ScrivleError&) {
    throw ScrivleError("Le fichier " + pathToUtf8(path) +
                       " n'est pas un texte de calculatrice lisible.");
  }
}

std::string storedDefaultExt(Registry& registry) {
  try {
    const auto v = registry.read(RegRoot::CurrentUser, kOptionsKey, "DefaultExt");
    if (v && v->isString() && (v->data == "89t" || v->data == "92t" || v->data == "9xt")) {
      return v->data;
    }
  } catch (const std::exception&) {
    // The default below.
  }
  return "9xt";
}

namespace {

std::optional<std::uint32_t> readDword(Registry& registry, std::string_view name) {
  const auto v = registry.read(RegRoot::CurrentUser, kApercuKey, name);
  if (!v || v->type != RegType::Dword) return std::nullopt;
  return v->dword;
}

}  // namespace

PreviewSettings loadPreviewSettings(Registry& registry) {
  PreviewSettings s;
  try {
    const RegistryBatch batch(registry);  // the store read once for the three values
    if (const auto m = readDword(registry, "Modele"); m && (*m == 0 || *m == 89 || *m == 92)) {
      s.model = static_cast<int>(*m);
    }
    if (const auto z = readDword(registry, "Zoom"); z && *z >= 1 && *z <= 4) {
      s.zoom = static_cast<int>(*z);
    }
    if (const auto v = readDword(registry, "Visible"); v && *v <= 1) s.visible = *v == 1;
  } catch (const std::exception&) {
    return PreviewSettings{};
  }
  return s;
}

void savePreviewSettings(Registry& registry, const PreviewSettings& settings) {
  RegistryBatch batch(registry);
  registry.write(RegRoot::CurrentUser, kApercuKey, "Modele",
                 RegValue::ofDword(static_cast<std::uint32_t>(settings.model)));
  registry.write(RegRoot::CurrentUser, kApercuKey, "Zoom",
                 RegValue::ofDword(static_cast<std::uint32_t>(settings.zoom)));
  registry.write(RegRoot::CurrentUser, kApercuKey, "Visible",
                 RegValue::ofDword(settings.visible ? 1U : 0U));
  batch.commit();
}

}  // namespace scrivle
