#include "settings/persistence.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <tuple>
#include <vector>

#include "registry/registry_file.h"
#include "registry/registry_win.h"
#include "support/temp_registry.h"

using namespace scrivle;

namespace {

// Each test runs on the file store and, on Windows, on the system registry as well.
class Persistence : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    if (GetParam() == "file") {
      reg_ = std::make_unique<FileRegistry>(temp_.file());
#ifdef _WIN32
    } else {
      reg_ = std::make_unique<WinRegistry>();
      reg_->deleteKey(RegRoot::CurrentUser, "\\Software\\Scrivle");
      reg_->deleteKey(RegRoot::LocalMachine, kAppPathsKey);
#endif
    }
  }
  SettingsLoad load(TParametre& s) {
    return loadSettings(*reg_, s, "/home/eleve", "/opt/scrivle/scrivle",
                        [this](const std::string& t) { shown_.push_back(t); });
  }
  bool save(const TParametre& s) {
    return saveSettings(*reg_, s, [this](const std::string& t) { shown_.push_back(t); });
  }
  void put(std::string_view key, std::string_view name, const RegValue& v) {
    reg_->write(RegRoot::CurrentUser, key, name, v);
  }
  std::optional<RegValue> get(std::string_view key, std::string_view name) {
    return reg_->read(RegRoot::CurrentUser, key, name);
  }
  static std::string id(std::string key, std::string_view name) {
    key += '|';
    key += name;
    return foldCase(key);
  }
  // Every value under a key and its subkeys: "key|name" -> value.
  std::map<std::string, RegValue> tree(RegRoot root, const std::string& key) {
    std::map<std::string, RegValue> out;
    for (const std::string& name : reg_->valueNames(root, key)) {
      out[id(key, name)] = *reg_->read(root, key, name);
    }
    for (const std::string& sub : reg_->subKeys(root, key)) {
      std::string child = key;
      child += '\\';
      child += sub;
      out.merge(tree(root, child));
    }
    return out;
  }

  test::TempRegistry temp_;
  std::unique_ptr<Registry> reg_;
  std::vector<std::string> shown_;
};

RegValue dw(std::uint32_t v) {
  return RegValue::ofDword(v);
}
RegValue sz(std::string v) {
  return RegValue::ofString(std::move(v));
}

// The whole first-run tree, written out from the settings' layout.
std::map<std::string, RegValue> firstRunTable() {
  std::vector<std::tuple<std::string, std::string, RegValue>> rows = {
      {"\\Software\\Scrivle", "InstallDir", sz("/home/eleve")},
      {"\\Software\\Scrivle\\Options", "flat", dw(1)},
      {"\\Software\\Scrivle\\Options", "scroll", dw(1)},
      {"\\Software\\Scrivle\\Options", "color", dw(1)},
      {"\\Software\\Scrivle\\Options", "DefaultDir", sz("main")},
      {"\\Software\\Scrivle\\Options", "DefaultName", sz("nouveau")},
      {"\\Software\\Scrivle\\Options", "DefaultExt", sz("9xt")},
      {"\\Software\\Scrivle\\Options", "InserMod#", dw(0)},
      {"\\Software\\Scrivle\\Options", "InserMod&", dw(0)},
      {"\\Software\\Scrivle\\Options", "Line", dw(0)},
      {"\\Software\\Scrivle\\Options", "StartNew", dw(1)},
      {"\\Software\\Scrivle\\Options", "AutoSave", dw(1)},
      {"\\Software\\Scrivle\\Options", "AutoSaveTime", dw(300000)},
      {"\\Software\\Scrivle\\Options", "TablePart", dw(0)},
      {"\\Software\\Scrivle\\Options", "SaveDir", sz("/home/eleve")},
      {"\\Software\\Scrivle\\Recents", "enabled", dw(1)},
      {"\\Software\\Scrivle\\Recents", "Nb", dw(4)},
      {"\\Software\\Scrivle\\Tags &", "defaut", dw(1)},
      {"\\Software\\Scrivle\\Tags #", "defaut", dw(1)},
      {"\\Software\\Scrivle\\Menu", "defaut", dw(1)},
  };
  for (int k = 1; k <= 9; ++k) {
    rows.emplace_back("\\Software\\Scrivle\\Recents", "mru" + std::to_string(k), sz(""));
  }
  auto style = [&](const std::string& key, const char* colour) {
    for (const char* c : {"Couleur", "DefCouleur"}) {
      rows.emplace_back(key, c, sz(colour));
    }
    for (const char* f : {"gras", "italique", "DefGras", "DefItalique"}) {
      rows.emplace_back(key, f, dw(0));
    }
  };
  style("\\Software\\Scrivle\\bookmark", "clAqua");
  for (const char* t : {"0", "1", "2", "3", "L", "C", "R", "P", "E", "Si", "Do", "All"}) {
    style(std::string("\\Software\\Scrivle\\Tags &\\") + t, "clRed");
  }
  for (const char* t : {"1", "2", "3", "E", "I", "N", "S", "U", "V", "W", "All"}) {
    style(std::string("\\Software\\Scrivle\\Tags #\\") + t, "clBlue");
  }
  for (const char* all : {"\\Software\\Scrivle\\Tags &\\All", "\\Software\\Scrivle\\Tags #\\All"}) {
    rows.emplace_back(all, "idem", dw(1));
    rows.emplace_back(all, "DefIdem", dw(1));
  }
  const char* titles[4][3] = {{"En-T\xEAte", "#W\r\n&=\r\n&C#3\r\n\r\n&L#2\r\n&=\r\n\r\n", "14"},
                              {"Titre 1", "&L#3\x7f #U#U#2\r\n", "8"},
                              {"Titre 2", "&,\x12 #N#N\r\n", "6"},
                              {"Titre 3", "&;\x0f \r\n", "4"}};
  for (int n = 0; n < 4; ++n) {
    const std::string key = "\\Software\\Scrivle\\Menu\\" + std::to_string(n + 1);
    for (const char* prefix : {"", "Def"}) {
      rows.emplace_back(key, std::string(prefix) + "texte", sz(titles[n][1]));
      rows.emplace_back(key, std::string(prefix) + "nom", sz(titles[n][0]));
      rows.emplace_back(key, std::string(prefix) + "Curseur",
                        dw(static_cast<std::uint32_t>(std::stoi(titles[n][2]))));
    }
  }
  std::map<std::string, RegValue> table;
  for (auto& [key, name, value] : rows) {
    key += '|';
    key += name;
    table[foldCase(key)] = value;
  }
  return table;
}

}  // namespace

#ifdef _WIN32
const auto kStores = ::testing::Values("file", "win");
#else
const auto kStores = ::testing::Values("file");
#endif
INSTANTIATE_TEST_SUITE_P(Stores, Persistence, kStores, [](const auto& info) { return info.param; });

TEST_P(Persistence, FirstRunWritesTheWholeTreeThenReadsItBack) {
  TParametre s;
  const SettingsLoad r = load(s);
  EXPECT_TRUE(r.complete);
  EXPECT_TRUE(r.recentsLoaded);
  EXPECT_TRUE(shown_.empty());
  EXPECT_EQ(s, defaultSettings("/home/eleve"));
  EXPECT_EQ(tree(RegRoot::CurrentUser, "\\Software\\Scrivle"), firstRunTable());
  const auto appPaths = tree(RegRoot::LocalMachine, std::string(kAppPathsKey));
  ASSERT_EQ(appPaths.size(), 2U);
  EXPECT_EQ(reg_->read(RegRoot::LocalMachine, kAppPathsKey, "")->data, "/opt/scrivle/scrivle");
  EXPECT_EQ(reg_->read(RegRoot::LocalMachine, kAppPathsKey, "PATH")->data, "/opt/scrivle");

  // Deleting one value brings back its default alone; everything else stays.
  put(kOptionsKey, "DefaultName", sz("essai"));
  ASSERT_TRUE(reg_->deleteValue(RegRoot::CurrentUser, kOptionsKey, "DefaultExt"));
  auto before = tree(RegRoot::CurrentUser, "\\Software\\Scrivle");
  TParametre again;
  load(again);
  EXPECT_EQ(again.DefaultExt, "9xt");
  EXPECT_EQ(again.DefaultName, "essai");
  before[id(std::string(kOptionsKey), "DefaultExt")] = sz("9xt");
  EXPECT_EQ(tree(RegRoot::CurrentUser, "\\Software\\Scrivle"), before);
}

TEST_P(Persistence, ValuesOfEveryKindRoundTrip) {
  const TParametre sample = test::sampleSettings();
  ASSERT_TRUE(save(sample));
  // The recent paths are the recent list's to write: saving leaves them out.
  EXPECT_FALSE(get(kRecentsKey, "mru1"));
  put(kRecentsKey, "mru1", sz(sample.mru[0]));
  put(kRecentsKey, "mru2", sz(sample.mru[1]));
  EXPECT_EQ(get(kBookmarkKey, "Couleur"), sz("$00FF8000"));
  EXPECT_EQ(get("\\Software\\Scrivle\\Tags &\\L", "Couleur"), sz("clBtnFace"));
  EXPECT_EQ(get("\\Software\\Scrivle\\Tags &\\All", "Couleur"), sz("clRed"));
  EXPECT_EQ(get(kOptionsKey, "flat"), dw(0));
  EXPECT_EQ(get("\\Software\\Scrivle\\Menu\\4", "Curseur"), dw(0xFFFFFFFD));

  TParametre loaded;
  EXPECT_TRUE(load(loaded).complete);
  EXPECT_EQ(loaded, sample);
}

TEST_P(Persistence, StoredFormsOfColoursAndCounts) {
  put(kBookmarkKey, "Couleur", sz("clLime"));
  put("\\Software\\Scrivle\\Tags &\\0", "Couleur", sz("$1FFFFFFF"));
  put("\\Software\\Scrivle\\Tags &\\1", "Couleur", sz("65280"));
  put("\\Software\\Scrivle\\Tags &\\All", "idem", dw(0));
  put(kRecentsKey, "Nb", dw(260));
  TParametre s;
  load(s);
  EXPECT_EQ(s.StyleBookmark.Couleur, 0x0000FF00U);
  EXPECT_EQ(s.StylesEt[0].Couleur, 0x1FFFFFFFU);
  EXPECT_EQ(s.StylesEt[1].Couleur, 0x0000FF00U);
  EXPECT_EQ(s.Nb, 4);

  // Exactly equal to a named colour: the name; anything else: "$" form.
  const std::vector<std::pair<ColorRef, std::string>> stored = {
      {0x000000FF, "clRed"},    {0x00FF8000, "$00FF8000"}, {0x1FFFFFFF, "clNone"},
      {0x80000018, "clInfoBk"}, {0x80000019, "$80000019"}, {0x00000000, "clBlack"},
      {0x0000FF01, "$0000FF01"}};
  for (const auto& [colour, text] : stored) {
    EXPECT_EQ(colourToText(colour), text);
    EXPECT_EQ(colourFromText(text), colour) << text;
  }
  EXPECT_EQ(colourFromText("CLLIME"), 0x0000FF00U);
  EXPECT_EQ(colourFromText("-1"), 0xFFFFFFFFU);
  EXPECT_EQ(colourFromText("$ffffffff"), 0xFFFFFFFFU);
  for (const char* bad : {"", "$", "vert", "12a", "$100000000", "2147483648", "clLime "}) {
    EXPECT_FALSE(colourFromText(bad)) << bad;
  }
}

TEST_P(Persistence, ErrorEndsLoadingAndLeavesTheRestAtDefaultsUnwritten) {
  struct Case {
    std::string key, name;
    RegValue stored;
    std::string message;
  };
  const std::vector<Case> cases = {
      {std::string(kOptionsKey), "flat", sz("1"), "Type de données incorrect pour 'flat'"},
      {std::string(kOptionsKey), "DefaultDir", dw(1),
       "Type de données incorrect pour 'DefaultDir'"},
      {std::string(kOptionsKey), "DefaultName", RegValue::ofBinary("ab"),
       "Type de données incorrect pour 'DefaultName'"},
      {std::string(kOptionsKey), "flat", RegValue::ofString("1", RegType::ExpandSz),
       "Type de données incorrect pour 'flat'"},
      {std::string(kBookmarkKey), "Couleur", sz("rose"),
       "'rose' n'est pas une valeur entière correcte"},
  };
  for (const Case& c : cases) {
    reg_->deleteKey(RegRoot::CurrentUser, "\\Software\\Scrivle");
    // Stored, but after every faulty value.
    put(kRecentsKey, "Nb", dw(9));
    put(kMenuKey, "defaut", dw(0));
    put(c.key, c.name, c.stored);
    shown_.clear();
    TParametre s;
    const SettingsLoad r = load(s);
    EXPECT_FALSE(r.complete);
    EXPECT_EQ(shown_, std::vector<std::string>{c.message});
    EXPECT_EQ(s.MenuDefaut, kTrue) << "later settings keep their built-in defaults";
    EXPECT_EQ(s.Titres[0].nom, "En-T\xEAte");
    EXPECT_FALSE(get("\\Software\\Scrivle\\Menu\\1", "texte")) << "nothing written after";
    EXPECT_EQ(get(c.key, c.name), c.stored) << "the faulty value is left as it is";
    EXPECT_EQ(c.key == kBookmarkKey, r.recentsLoaded);
    if (c.key == kOptionsKey) {
      EXPECT_EQ(s.Nb, 4);
      EXPECT_EQ(s.SaveDir, "/home/eleve");
      EXPECT_FALSE(get(kRecentsKey, "enabled"));
    }
  }
  // Values before the faulty one were loaded or written.
  EXPECT_EQ(get(kOptionsKey, "flat"), dw(1));
}

TEST_P(Persistence, DefaultCopiesAreSavedOnlyWhenAsked) {
  TParametre s = defaultSettings("/home/eleve");
  s.TagsDefautDiese = kFalse;
  s.MenuDefaut = kFalse;
  ASSERT_TRUE(save(s));
  const auto saved = tree(RegRoot::CurrentUser, "\\Software\\Scrivle");
  for (const auto& [id, value] : saved) {
    const std::string name = id.substr(id.find('|') + 1);
    const bool defaultCopy = name.rfind("def", 0) == 0 && name != "defaut";
    if (id.rfind(foldCase("\\Software\\Scrivle\\Tags #\\"), 0) == 0 ||
        id.rfind(foldCase("\\Software\\Scrivle\\Menu\\"), 0) == 0) {
      EXPECT_FALSE(defaultCopy) << id;
    }
  }
  EXPECT_EQ(get(kTagsDieseKey, "defaut"), dw(0));
  EXPECT_EQ(get("\\Software\\Scrivle\\Tags &\\Do", "DefCouleur"), sz("clRed"));
  EXPECT_EQ(get("\\Software\\Scrivle\\Tags &\\All", "DefIdem"), dw(1));
  EXPECT_FALSE(get("\\Software\\Scrivle\\Tags #\\All", "DefIdem"));
}
