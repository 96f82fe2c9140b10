// The spelling languages Scrivle offers and where their dictionaries are, and the
// spelling settings kept under "\Software\Scrivle\Orthographe".
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace scrivle {
class Registry;
}

namespace scrivle::spell {

struct Language {
  std::string_view code;                // "fr", "en": the value stored in the settings
  std::string_view caption;             // as the options dialog shows it
  std::vector<std::string_view> names;  // dictionary file names, best first
};
const std::vector<Language>& languages();
const Language* findLanguage(std::string_view code);

struct DictionaryFiles {
  std::string_view code;
  std::filesystem::path aff;
  std::filesystem::path dic;
};

// The folders searched, in order: each entry of `dicpath` (the DICPATH variable, entries
// separated by ':' or, on Windows, ';'), then /usr/share/hunspell and
// /usr/local/share/hunspell.
std::vector<std::filesystem::path> dictionaryFolders(std::string_view dicpath);
// The languages whose .aff and .dic files are both found, in the order of languages().
std::vector<DictionaryFiles> findDictionaries(const std::vector<std::filesystem::path>& folders);
// The same from the environment.
std::vector<DictionaryFiles> findDictionaries();

inline constexpr std::string_view kSpellKey = "\\Software\\Scrivle\\Orthographe";

struct SpellSettings {
  bool enabled = true;
  std::string language = "fr";
};
// Missing values keep their defaults; nothing is written here. A registry error leaves
// the defaults too: spelling never stops the start.
SpellSettings loadSpellSettings(Registry& registry);
// Throws RegistryError.
void saveSpellSettings(Registry& registry, const SpellSettings& settings);

// The personal word list: "orthographe.txt" beside the settings store (so
// $XDG_CONFIG_HOME/Scrivle/, or beside the file SCRIVLE_REGISTRY names).
std::filesystem::path personalListPath();

}  // namespace scrivle::spell
