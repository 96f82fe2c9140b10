#include "spell/languages.h"

#include <gtest/gtest.h>

#include <fstream>

#include "registry/registry.h"
#include "support/temp_registry.h"

namespace scrivle::spell {
namespace {

namespace fs = std::filesystem;

void touch(const fs::path& p) {
  std::ofstream(p) << "x";
}

TEST(SpellLanguages, DicpathComesFirstAndBothFilesAreNeeded) {
  const test::TempRegistry temp;  // only for its folder
  const fs::path a = temp.dir() / "a";
  const fs::path b = temp.dir() / "b";
  fs::create_directories(a);
  fs::create_directories(b);
  touch(a / "fr.aff");  // no fr.dic beside it
  touch(b / "fr.aff");
  touch(b / "fr.dic");
  touch(a / "en_GB.aff");
  touch(a / "en_GB.dic");

#ifdef _WIN32
  const auto folders = dictionaryFolders(a.string() + ";" + b.string());
#else
  const auto folders = dictionaryFolders(a.string() + ":" + b.string());
#endif
  ASSERT_GE(folders.size(), 3U);
  EXPECT_EQ(folders[0], a);
  EXPECT_EQ(folders[1], b);
  EXPECT_EQ(folders[2], fs::path("/usr/share/hunspell"));

  const auto found = findDictionaries({a, b});
  ASSERT_EQ(found.size(), 2U);
  EXPECT_EQ(found[0].code, "fr");
  EXPECT_EQ(found[0].dic, b / "fr.dic");
  EXPECT_EQ(found[1].code, "en");
  EXPECT_EQ(found[1].aff, a / "en_GB.aff");
  EXPECT_TRUE(findDictionaries({temp.dir() / "none"}).empty());
}

TEST(SpellLanguages, SettingsRoundTripUnderTheirOwnKey) {
  const test::TempRegistry temp;
  auto registry = openUserRegistry({});
  SpellSettings defaults = loadSpellSettings(*registry);
  EXPECT_TRUE(defaults.enabled);
  EXPECT_EQ(defaults.language, "fr");
  saveSpellSettings(*registry, {false, "en"});
  auto again = openUserRegistry({});
  const SpellSettings s = loadSpellSettings(*again);
  EXPECT_FALSE(s.enabled);
  EXPECT_EQ(s.language, "en");
  EXPECT_TRUE(again->keyExists(RegRoot::CurrentUser, "\\Software\\Scrivle\\Orthographe"));
  // An unknown language in the store keeps the default.
  again->write(RegRoot::CurrentUser, kSpellKey, "Langue", RegValue::ofString("xx"));
  EXPECT_EQ(loadSpellSettings(*again).language, "fr");
  // The personal list lives beside the store.
  EXPECT_EQ(personalListPath(), temp.dir() / "orthographe.txt");
}

}  // namespace
}  // namespace scrivle::spell
