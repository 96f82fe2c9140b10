#include "spell/languages.h"

#include <cstdlib>
#include <system_error>

#include "platform/system.h"
#include "registry/registry.h"
#include "registry/registry_file.h"

namespace scrivle::spell {

namespace fs = std::filesystem;

const std::vector<Language>& languages() {
  static const std::vector<Language> all = {
      {"fr", "Français", {"fr_FR", "fr"}},
      {"en", "English", {"en_US", "en_GB", "en"}},
  };
  return all;
}

const Language* findLanguage(std::string_view code) {
  for (const Language& l : languages()) {
    if (l.code == code) return &l;
  }
  return nullptr;
}

std::vector<fs::path> dictionaryFolders(std::string_view dicpath) {
  std::vector<fs::path> folders;
  while (!dicpath.empty()) {
    const std::size_t end = std::min(dicpath.find(os::kPathListSeparator), dicpath.size());
    if (end > 0) folders.emplace_back(dicpath.substr(0, end));
    dicpath.remove_prefix(std::min(end + 1, dicpath.size()));
  }
  folders.emplace_back("/usr/share/hunspell");
  folders.emplace_back("/usr/local/share/hunspell");
  return folders;
}

std::vector<DictionaryFiles> findDictionaries(const std::vector<fs::path>& folders) {
  std::vector<DictionaryFiles> found;
  for (const Language& l : languages()) {
    bool done = false;
    for (std::string_view name : l.names) {
      for (const fs::path& folder : folders) {
        std::error_code ec;
        const fs::path aff = folder / (std::string(name) + ".aff");
        const fs::path dic = folder / (std::string(name) + ".dic");
        if (fs::is_regular_file(aff, ec) && fs::is_regular_file(dic, ec)) {
          found.push_back({l.code, aff, dic});
          done = true;
          break;
        }
      }
      if (done) break;
    }
  }
  return found;
}

std::vector<DictionaryFiles> findDictionaries() {
  const char* env = std::getenv("DICPATH");
  return findDictionaries(dictionaryFolders(env != nullptr ? env : ""));
}

SpellSettings loadSpellSettings(Registry& registry) {
  SpellSettings s;
  try {
    if (auto v = registry.read(RegRoot::CurrentUser, kSpellKey, "Verifier");
        v && v->type == RegType::Dword) {
      s.enabled = v->dword != 0;
    }
    if (auto v = registry.read(RegRoot::CurrentUser, kSpellKey, "Langue");
        v && v->isString() && findLanguage(v->data) != nullptr) {
      s.language = v->data;
    }
  } catch (const RegistryError&) {  // NOLINT(bugprone-empty-catch): defaults stand
  }
  return s;
}

void saveSpellSettings(Registry& registry, const SpellSettings& settings) {
  RegistryBatch batch(registry);
  registry.write(RegRoot::CurrentUser, kSpellKey, "Verifier",
                 RegValue::ofDword(settings.enabled ? 1 : 0));
  registry.write(RegRoot::CurrentUser, kSpellKey, "Langue", RegValue::ofString(settings.language));
  batch.commit();
}

fs::path personalListPath() {
  return storeLocation().parent_path() / "orthographe.txt";
}

}  // namespace scrivle::spell
