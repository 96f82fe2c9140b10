#include "settings/persistence.h"

#include <cstdio>
#include <span>

#include "platform/files.h"

namespace scrivle {

const std::array<NamedColour, 42> kNamedColours = {{
    {"clBlack", 0x00000000},         {"clMaroon", 0x00000080},
    {"clGreen", 0x00008000},         {"clOlive", 0x00008080},
    {"clNavy", 0x00800000},          {"clPurple", 0x00800080},
    {"clTeal", 0x00808000},          {"clGray", 0x00808080},
    {"clSilver", 0x00C0C0C0},        {"clRed", 0x000000FF},
    {"clLime", 0x0000FF00},          {"clYellow", 0x0000FFFF},
    {"clBlue", 0x00FF0000},          {"clFuchsia", 0x00FF00FF},
    {"clAqua", 0x00FFFF00},          {"clWhite", 0x00FFFFFF},
    {"clScrollBar", 0x80000000},     {"clBackground", 0x80000001},
    {"clActiveCaption", 0x80000002}, {"clInactiveCaption", 0x80000003},
    {"clMenu", 0x80000004},          {"clWindow", 0x80000005},
    {"clWindowFrame", 0x80000006},   {"clMenuText", 0x80000007},
    {"clWindowText", 0x80000008},    {"clCaptionText", 0x80000009},
    {"clActiveBorder", 0x8000000A},  {"clInactiveBorder", 0x8000000B},
    {"clAppWorkSpace", 0x8000000C},  {"clHighlight", 0x8000000D},
    {"clHighlightText", 0x8000000E}, {"clBtnFace", 0x8000000F},
    {"clBtnShadow", 0x80000010},     {"clGrayText", 0x80000011},
    {"clBtnText", 0x80000012},       {"clInactiveCaptionText", 0x80000013},
    {"clBtnHighlight", 0x80000014},  {"cl3DDkShadow", 0x80000015},
    {"cl3DLight", 0x80000016},       {"clInfoText", 0x80000017},
    {"clInfoBk", 0x80000018},        {"clNone", 0x1FFFFFFF},
}};

std::string colourToText(ColorRef colour) {
  for (const NamedColour& c : kNamedColours) {
    if (c.value == colour) {
      return std::string(c.name);
    }
  }
  char buf[16];
  std::snprintf(buf, sizeof buf, "$%08X", static_cast<unsigned>(colour));
  return buf;
}

std::optional<ColorRef> colourFromText(std::string_view text) {
  for (const NamedColour& c : kNamedColours) {
    if (sameName(c.name, text)) {
      return c.value;
    }
  }
  std::string_view s = text;
  while (!s.empty() && s.front() == ' ') {
    s.remove_prefix(1);
  }
  bool negative = false;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  int base = 10;
  if (!s.empty() && s.front() == '$') {
    base = 16;
    s.remove_prefix(1);
  } else if (s.size() > 1 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  if (s.empty()) {
    return std::nullopt;
  }
  std::uint64_t v = 0;
  for (const char c : s) {
    int d = -1;
    if (c >= '0' && c <= '9') {
      d = c - '0';
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      d = c - 'a' + 10;
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      d = c - 'A' + 10;
    }
    if (d < 0) {
      return std::nullopt;
    }
    v = v * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(d);
    if (v > 0xFFFFFFFFULL) {
      return std::nullopt;
    }
  }
  // A decimal value is a signed 32-bit integer; hexadecimal may fill all 32 bits.
  if (base == 10 && v > (negative ? 0x80000000ULL : 0x7FFFFFFFULL)) {
    return std::nullopt;
  }
  const auto bits = static_cast<std::uint32_t>(v);
  return negative ? static_cast<ColorRef>(0U - bits) : bits;
}

namespace {

// Ends the loading or saving; the text is the message shown.
struct Stop {
  std::string text;
};

std::string withName(std::string_view format, std::string_view name) {
  std::string text(format);
  text.replace(text.find("%s"), 2, ansiToUtf8(name));
  return text;
}

constexpr std::string_view kWrongType = "Type de données incorrect pour '%s'";
constexpr std::string_view kReadFailed = "Echec à l'obtention des données pour '%s'";
constexpr std::string_view kWriteFailed = "Echec à la définition des données pour '%s'";
constexpr std::string_view kNotInteger = "'%s' n'est pas une valeur entière correcte";

// One open key: reads with default-on-absence, and writes, turning registry errors into
// the messages that end the work.
class Access {
 public:
  explicit Access(Registry& registry) : registry_(registry) {}

  void at(RegRoot root, std::string key) {
    root_ = root;
    key_ = std::move(key);
  }

  // ---- Loading ----
  void flag(std::string_view name, Flag& field, bool fallback) {
    std::uint32_t v = 0;
    if (dword(name, v, fallback ? 1 : 0)) {
      field = toFlag(v != 0);
    } else {
      field = toFlag(fallback);
    }
  }
  void integer(std::string_view name, std::int32_t& field, std::int32_t fallback) {
    std::uint32_t v = 0;
    field = dword(name, v, static_cast<std::uint32_t>(fallback)) ? static_cast<std::int32_t>(v)
                                                                 : fallback;
  }
  void text(std::string_view name, std::string& field, std::string_view fallback) {
    const std::optional<RegValue> v = get(name);
    if (!v) {
      put(name, RegValue::ofString(std::string(fallback)));
      field = std::string(fallback);
      return;
    }
    if (!v->isString()) {
      throw Stop{withName(kWrongType, name)};
    }
    field = v->data;
  }
  void colour(std::string_view name, ColorRef& field, ColorRef fallback) {
    std::string stored;
    text(name, stored, colourToText(fallback));
    const std::optional<ColorRef> c = colourFromText(stored);
    if (!c) {
      throw Stop{withName(kNotInteger, stored)};
    }
    field = *c;
  }

  // ---- Saving ----
  void putFlag(std::string_view name, Flag v) { put(name, RegValue::ofDword(isSet(v) ? 1 : 0)); }
  void putInteger(std::string_view name, std::int32_t v) {
    put(name, RegValue::ofDword(static_cast<std::uint32_t>(v)));
  }
  void putText(std::string_view name, const std::string& v) { put(name, RegValue::ofString(v)); }
  void putColour(std::string_view name, ColorRef v) { putText(name, colourToText(v)); }

 private:
  // True when the value was there (its DWORD in v); false when the default was written.
  bool dword(std::string_view name, std::uint32_t& v, std::uint32_t fallback) {
    const std::optional<RegValue> stored = get(name);
    if (!stored) {
      put(name, RegValue::ofDword(fallback));
      return false;
    }
    if (stored->type != RegType::Dword) {
      throw Stop{withName(kWrongType, name)};
    }
    v = stored->dword;
    return true;
  }
  std::optional<RegValue> get(std::string_view name) {
    try {
      return registry_.read(root_, key_, name);
    } catch (const RegistryError&) {
      throw Stop{withName(kReadFailed, name)};
    }
  }
  void put(std::string_view name, const RegValue& value) {
    try {
      registry_.write(root_, key_, name, value);
    } catch (const RegistryError&) {
      throw Stop{withName(kWriteFailed, name)};
    }
  }

  Registry& registry_;
  RegRoot root_ = RegRoot::CurrentUser;
  std::string key_;
};

std::string subKey(std::string_view parent, std::string_view child) {
  std::string key(parent);
  key += '\\';
  key += child;
  return key;
}

template <std::size_t N>
std::size_t indexOf(const std::array<std::string_view, N>& record, std::string_view letter) {
  for (std::size_t i = 0; i < N; ++i) {
    if (record[i] == letter) {
      return i;
    }
  }
  return 0;  // unreachable: the key lists below use the record's letters
}

// The order the keys are read in differs from the record's order and from the saving's.
constexpr std::array<std::string_view, kEtTagCount> kEtSaveOrder = {"0", "1", "2", "3", "C", "Do",
                                                                    "E", "L", "P", "R", "Si"};
constexpr std::array<std::string_view, kDieseTagCount> kDieseLoadOrder = {"1", "2", "3", "E", "I",
                                                                          "N", "S", "U", "V", "W"};
constexpr std::array<std::string_view, kDieseTagCount> kDieseSaveOrder = {"1", "2", "3", "N", "U",
                                                                          "E", "I", "S", "V", "W"};

// Every value missing from the registry takes its value from `d`, the built-in defaults.
void loadStyle(Access& a, TStyleTag& s, const TStyleTag& d) {
  a.colour("Couleur", s.Couleur, d.CouleurPropre);
  s.CouleurPropre = s.Couleur;
  a.flag("gras", s.Gras, isSet(d.GrasPropre));
  s.GrasPropre = s.Gras;
  a.flag("italique", s.Italique, isSet(d.ItaliquePropre));
  s.ItaliquePropre = s.Italique;
  a.colour("DefCouleur", s.DefCouleur, d.DefCouleur);
  a.flag("DefGras", s.DefGras, isSet(d.DefGras));
  a.flag("DefItalique", s.DefItalique, isSet(d.DefItalique));
}

void loadFamily(Access& a, TStyleTous& s, const TStyleTous& d) {
  a.colour("Couleur", s.Couleur, d.Couleur);
  a.flag("gras", s.Gras, isSet(d.Gras));
  a.flag("italique", s.Italique, isSet(d.Italique));
  a.colour("DefCouleur", s.DefCouleur, d.DefCouleur);
  a.flag("DefGras", s.DefGras, isSet(d.DefGras));
  a.flag("DefItalique", s.DefItalique, isSet(d.DefItalique));
  a.flag("idem", s.idem, isSet(d.idem));
  a.flag("DefIdem", s.DefIdem, isSet(d.DefIdem));
}

// One tag family's fields in the record.
template <std::size_t N>
struct TagFamily {
  Flag TParametre::*defaut;
  std::array<TStyleTag, N> TParametre::*tags;
  TStyleTous TParametre::*all;
};
constexpr TagFamily<kEtTagCount> kEtFamily{&TParametre::TagsDefautEt, &TParametre::StylesEt,
                                           &TParametre::TousEt};
constexpr TagFamily<kDieseTagCount> kDieseFamily{&TParametre::TagsDefautDiese,
                                                 &TParametre::StylesDiese, &TParametre::TousDiese};

template <std::size_t N>
void loadTags(Access& a, std::string_view key, TParametre& s, const TParametre& d,
              const TagFamily<N>& family, const std::array<std::string_view, N>& record,
              const std::array<std::string_view, N>& order) {
  a.at(RegRoot::CurrentUser, std::string(key));
  a.flag("defaut", s.*family.defaut, isSet(d.*family.defaut));
  for (const std::string_view letter : order) {
    const std::size_t i = indexOf(record, letter);
    a.at(RegRoot::CurrentUser, subKey(key, letter));
    loadStyle(a, (s.*family.tags)[i], (d.*family.tags)[i]);
  }
  a.at(RegRoot::CurrentUser, subKey(key, "All"));
  loadFamily(a, s.*family.all, d.*family.all);
}

template <std::size_t N>
void saveTags(Access& a, std::string_view key, Flag defaut, const std::array<TStyleTag, N>& tags,
              const std::array<std::string_view, N>& record,
              const std::array<std::string_view, N>& order, const TStyleTous& family) {
  a.at(RegRoot::CurrentUser, std::string(key));
  a.putFlag("defaut", defaut);
  for (const std::string_view letter : order) {
    const TStyleTag& s = tags[indexOf(record, letter)];
    a.at(RegRoot::CurrentUser, subKey(key, letter));
    a.putColour("Couleur", s.CouleurPropre);
    a.putFlag("gras", s.GrasPropre);
    a.putFlag("italique", s.ItaliquePropre);
  }
  if (isSet(defaut)) {
    for (const std::string_view letter : order) {
      const TStyleTag& s = tags[indexOf(record, letter)];
      a.at(RegRoot::CurrentUser, subKey(key, letter));
      a.putColour("DefCouleur", s.DefCouleur);
      a.putFlag("DefGras", s.DefGras);
      a.putFlag("DefItalique", s.DefItalique);
    }
  }
  a.at(RegRoot::CurrentUser, subKey(key, "All"));
  a.putColour("Couleur", family.Couleur);
  a.putFlag("gras", family.Gras);
  a.putFlag("italique", family.Italique);
  a.putFlag("idem", family.idem);
  if (isSet(defaut)) {
    a.putColour("DefCouleur", family.DefCouleur);
    a.putFlag("DefGras", family.DefGras);
    a.putFlag("DefItalique", family.DefItalique);
    a.putFlag("DefIdem", family.DefIdem);
  }
}

void writeAppPaths(Registry& registry, const std::filesystem::path& executable) {
  if (executable.empty()) {
    return;
  }
  try {
    registry.write(RegRoot::LocalMachine, kAppPathsKey, "",
                   RegValue::ofString(pathToUtf8(executable)));
    registry.write(RegRoot::LocalMachine, kAppPathsKey, "PATH",
                   RegValue::ofString(pathToUtf8(executable.parent_path())));
  } catch (const RegistryError&) {  // NOLINT(bugprone-empty-catch): see loadSettings
  }
}

void loadAll(Access& a, TParametre& s, const TParametre& d, SettingsLoad& result) {
  a.at(RegRoot::CurrentUser, std::string(kInstallKey));
  a.text("InstallDir", s.InstallDir, d.InstallDir);
  s.SaveDir = s.InstallDir;  // its default, should the loading stop before it

  a.at(RegRoot::CurrentUser, std::string(kOptionsKey));
  a.flag("flat", s.flat, isSet(d.flat));
  a.flag("scroll", s.scroll, isSet(d.scroll));
  a.flag("color", s.color, isSet(d.color));
  a.text("DefaultDir", s.DefaultDir, d.DefaultDir);
  a.text("DefaultName", s.DefaultName, d.DefaultName);
  a.text("DefaultExt", s.DefaultExt, d.DefaultExt);
  a.flag("InserMod#", s.InserModDiese, isSet(d.InserModDiese));
  a.flag("InserMod&", s.InserModEt, isSet(d.InserModEt));
  a.flag("Line", s.Line, isSet(d.Line));
  a.flag("StartNew", s.StartNew, isSet(d.StartNew));
  a.flag("AutoSave", s.AutoSave, isSet(d.AutoSave));
  a.integer("AutoSaveTime", s.AutoSaveTime, d.AutoSaveTime);
  a.flag("TablePart", s.TablePart, isSet(d.TablePart));
  // SaveDir's default is the install folder as loaded, not the built-in one.
  const std::string installDir = s.InstallDir;
  a.text("SaveDir", s.SaveDir, installDir);

  a.at(RegRoot::CurrentUser, std::string(kRecentsKey));
  a.flag("enabled", s.enabled, isSet(d.enabled));
  std::int32_t nb = d.Nb;
  a.integer("Nb", nb, d.Nb);
  s.Nb = static_cast<std::uint8_t>(static_cast<std::uint32_t>(nb) & 0xFF);
  for (std::size_t k = 0; k < kMruCount; ++k) {
    a.text("mru" + std::to_string(k + 1), s.mru[k], d.mru[k]);
  }
  result.recentsLoaded = true;

  a.at(RegRoot::CurrentUser, std::string(kBookmarkKey));
  loadStyle(a, s.StyleBookmark, d.StyleBookmark);

  loadTags(a, kTagsEtKey, s, d, kEtFamily, kEtTagOrder, kEtTagOrder);
  applySameForAll(s);
  loadTags(a, kTagsDieseKey, s, d, kDieseFamily, kDieseTagOrder, kDieseLoadOrder);
  applySameForAll(s);

  a.at(RegRoot::CurrentUser, std::string(kMenuKey));
  a.flag("defaut", s.MenuDefaut, isSet(d.MenuDefaut));
  for (std::size_t n = 0; n < kTitleCount; ++n) {
    TMenuPerso& t = s.Titres[n];
    const TMenuPerso& b = d.Titres[n];
    a.at(RegRoot::CurrentUser, subKey(kMenuKey, std::to_string(n + 1)));
    a.text("texte", t.texte, b.texte);
    a.text("nom", t.nom, b.nom);
    a.integer("Curseur", t.Curseur, b.Curseur);
    a.text("Deftexte", t.Deftexte, b.Deftexte);
    a.text("Defnom", t.Defnom, b.Defnom);
    a.integer("DefCurseur", t.DefCurseur, b.DefCurseur);
  }
  result.complete = true;
}

void saveAll(Access& a, const TParametre& s) {
  a.at(RegRoot::CurrentUser, std::string(kInstallKey));
  a.putText("InstallDir", s.InstallDir);

  a.at(RegRoot::CurrentUser, std::string(kOptionsKey));
  a.putFlag("flat", s.flat);
  a.putFlag("scroll", s.scroll);
  a.putFlag("color", s.color);
  a.putText("DefaultDir", s.DefaultDir);
  a.putText("DefaultName", s.DefaultName);
  a.putText("DefaultExt", s.DefaultExt);
  a.putText("SaveDir", s.SaveDir);
  a.putFlag("InserMod#", s.InserModDiese);
  a.putFlag("InserMod&", s.InserModEt);
  a.putFlag("Line", s.Line);
  a.putFlag("StartNew", s.StartNew);
  a.putFlag("TablePart", s.TablePart);
  a.putFlag("AutoSave", s.AutoSave);
  a.putInteger("AutoSaveTime", s.AutoSaveTime);

  a.at(RegRoot::CurrentUser, std::string(kRecentsKey));
  a.putFlag("enabled", s.enabled);
  a.putInteger("Nb", s.Nb);

  a.at(RegRoot::CurrentUser, std::string(kBookmarkKey));
  a.putColour("Couleur", s.StyleBookmark.CouleurPropre);
  a.putFlag("gras", s.StyleBookmark.GrasPropre);
  a.putFlag("italique", s.StyleBookmark.ItaliquePropre);

  saveTags(a, kTagsEtKey, s.TagsDefautEt, s.StylesEt, kEtTagOrder, kEtSaveOrder, s.TousEt);
  saveTags(a, kTagsDieseKey, s.TagsDefautDiese, s.StylesDiese, kDieseTagOrder, kDieseSaveOrder,
           s.TousDiese);

  a.at(RegRoot::CurrentUser, std::string(kMenuKey));
  a.putFlag("defaut", s.MenuDefaut);
  for (int n = 1; n <= kTitleCount; ++n) {
    const TMenuPerso& t = s.Titres[static_cast<std::size_t>(n - 1)];
    a.at(RegRoot::CurrentUser, subKey(kMenuKey, std::to_string(n)));
    a.putText("texte", t.texte);
    a.putText("nom", t.nom);
    a.putInteger("Curseur", t.Curseur);
  }
  if (isSet(s.MenuDefaut)) {
    for (int n = 1; n <= kTitleCount; ++n) {
      const TMenuPerso& t = s.Titres[static_cast<std::size_t>(n - 1)];
      a.at(RegRoot::CurrentUser, subKey(kMenuKey, std::to_string(n)));
      a.putText("Deftexte", t.Deftexte);
      a.putText("Defnom", t.Defnom);
      a.putInteger("DefCurseur", t.DefCurseur);
    }
  }
}

// Commits the batch; true when it went well, the message shown otherwise (unless one
// was shown already).
bool commit(RegistryBatch& batch, const SettingsMessage& show, bool quiet) {
  try {
    batch.commit();
    return true;
  } catch (const RegistryError& e) {
    if (!quiet && show) {
      show(e.what());
    }
    return false;
  }
}

}  // namespace

SettingsLoad loadSettings(Registry& registry, TParametre& settings,
                          const std::filesystem::path& currentDir,
                          const std::filesystem::path& executable, const SettingsMessage& show) {
  SettingsLoad result;
  const TParametre defaults = defaultSettings(currentDir);
  settings = defaults;
  RegistryBatch batch(registry);
  // The machine-wide hive may refuse a user: that must not cost the user's settings.
  writeAppPaths(registry, executable);
  Access access(registry);
  bool shown = false;
  try {
    loadAll(access, settings, defaults, result);
  } catch (const Stop& stop) {
    if (show) {
      show(stop.text);
    }
    shown = true;
  }
  applySameForAll(settings);
  if (!commit(batch, show, shown)) {
    result.complete = false;
  }
  return result;
}

bool saveSettings(Registry& registry, const TParametre& settings, const SettingsMessage& show) {
  RegistryBatch batch(registry);
  Access access(registry);
  try {
    saveAll(access, settings);
  } catch (const Stop& stop) {
    if (show) {
      show(stop.text);
    }
    commit(batch, show, true);
    return false;
  }
  return commit(batch, show, false);
}

}  // namespace scrivle
