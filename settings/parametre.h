// The settings record: one global instance, AppSettings, read by every part of the
// program at the moment it needs a value.
//
// Field names are the ones the settings are known by. Two characters cannot appear in
// C++ names: '#' is spelt "Diese" and '&' "Et", so InserMod# is InserModDiese, InserMod&
// is InserModEt, TagsDefaut# is TagsDefautDiese and TagsDefaut& is TagsDefautEt (the
// registry keeps the names with '#' and '&').
//
// Representations: a flag is a 32-bit integer, 0 false, anything else true, -1 written
// for true; a colour is 0x00BBGGRR (a value with the top bit set names a system colour);
// strings are 8-bit ANSI bytes, kept byte for byte.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace scrivle {

using Flag = std::int32_t;
using ColorRef = std::uint32_t;

inline constexpr Flag kTrue = -1;
inline constexpr Flag kFalse = 0;
inline constexpr bool isSet(Flag f) {
  return f != 0;
}
inline constexpr Flag toFlag(bool b) {
  return b ? kTrue : kFalse;
}

inline constexpr ColorRef clBlue = 0x00FF0000;
inline constexpr ColorRef clRed = 0x000000FF;
inline constexpr ColorRef clAqua = 0x00FFFF00;

// One custom title (a button of the title bar).
struct TMenuPerso {
  std::string texte;         // inserted at the caret
  std::string nom;           // caption and hint of the button
  std::int32_t Curseur = 0;  // where the selection is wrapped, from the start of texte
  std::string Deftexte;
  std::string Defnom;
  std::int32_t DefCurseur = 0;
  bool operator==(const TMenuPerso&) const = default;
};

// Style of one tag kind, or of bookmarks. The effective triple is what colouring and
// insertion use; the own triple is what the options row shows and the registry keeps.
// They differ only while the family's same-for-all flag is set.
struct TStyleTag {
  ColorRef Couleur = 0;
  Flag Gras = 0;
  Flag Italique = 0;
  ColorRef DefCouleur = 0;
  Flag DefGras = 0;
  Flag DefItalique = 0;
  ColorRef CouleurPropre = 0;
  Flag GrasPropre = 0;
  Flag ItaliquePropre = 0;
  bool operator==(const TStyleTag&) const = default;
};

// Family style of the '#' or '&' tags.
struct TStyleTous {
  ColorRef Couleur = 0;
  Flag Gras = 0;
  Flag Italique = 0;
  Flag idem = 0;  // "Tous identiques"
  ColorRef DefCouleur = 0;
  Flag DefGras = 0;
  Flag DefItalique = 0;
  Flag DefIdem = 0;
  bool operator==(const TStyleTous&) const = default;
};

// Indexes into StylesDiese: the '#' tags in the record's order.
inline constexpr int kDieseTagCount = 10;
inline constexpr std::array<std::string_view, kDieseTagCount> kDieseTagOrder = {
    "1", "2", "3", "U", "N", "V", "I", "S", "E", "W"};
// Indexes into StylesEt: margins 0..3, align L C R, image P, pretty print E, single and
// double separators Si and Do.
inline constexpr int kEtTagCount = 11;
inline constexpr std::array<std::string_view, kEtTagCount> kEtTagOrder = {
    "0", "1", "2", "3", "L", "C", "R", "P", "E", "Si", "Do"};

inline constexpr int kTitleCount = 4;
inline constexpr int kMruCount = 9;

struct TParametre {
  // Titres[0..3] are titles 1-4 (Menu1Action..Menu4Action).
  std::array<TMenuPerso, kTitleCount> Titres;
  TStyleTag StyleBookmark;
  std::array<TStyleTag, kDieseTagCount> StylesDiese;  // kDieseTagOrder
  TStyleTous TousDiese;
  std::array<TStyleTag, kEtTagCount> StylesEt;  // kEtTagOrder
  TStyleTous TousEt;
  Flag Asso89 = 0;
  Flag Asso92 = 0;
  Flag Asso9x = 0;
  Flag flat = 0;
  Flag scroll = 0;
  Flag color = 0;
  std::string DefaultDir;
  std::string DefaultName;
  // The folder as the current directory gives it, without a trailing separator; users
  // add the separator (the auto-save folder itself lives elsewhere, see autoSaveDir).
  std::string InstallDir;
  std::string DefaultExt;  // "89t", "92t" or "9xt", no dot
  Flag MenuOuvrir = 0;
  Flag MenuZipper = 0;
  Flag MenuNouveau = 0;
  std::string SaveDir;     // like InstallDir: no trailing separator needed
  Flag InserModDiese = 0;  // InserMod#
  Flag InserModEt = 0;     // InserMod&
  Flag Line = 0;
  Flag StartNew = 0;
  Flag enabled = 0;
  std::uint8_t Nb = 0;
  // mru[0..8] are mru1-mru9, most recent first.
  std::array<std::string, kMruCount> mru;
  Flag TablePart = 0;
  Flag AutoSave = 0;
  std::int32_t AutoSaveTime = 0;  // milliseconds
  Flag TagsDefautDiese = 0;       // TagsDefaut#
  Flag TagsDefautEt = 0;          // TagsDefaut&
  Flag MenuDefaut = 0;
  bool operator==(const TParametre&) const = default;
};

// The process's settings. Zero-filled until the options are loaded at start-up.
extern TParametre AppSettings;

// The built-in titles, byte for byte (0x7F, 0x12 and 0x0F are calculator characters).
// Like every setting string they are 8-bit bytes: the 'ê' of the first name is 0xEA.
struct BuiltInTitle {
  std::string_view nom;
  std::string_view texte;
  std::int32_t Curseur;
};
inline constexpr std::array<BuiltInTitle, kTitleCount> kBuiltInTitles = {{
    {"En-T\xEAte", "#W\r\n&=\r\n&C#3\r\n\r\n&L#2\r\n&=\r\n\r\n", 14},
    {"Titre 1", "&L#3\x7f #U#U#2\r\n", 8},
    {"Titre 2", "&,\x12 #N#N\r\n", 6},
    {"Titre 3", "&;\x0f \r\n", 4},
}};

inline constexpr std::int32_t kDefaultAutoSaveTime = 300000;  // 5 minutes
inline constexpr std::uint8_t kDefaultNb = 4;

// What a first run holds: every documented default, InstallDir and SaveDir equal to
// currentDir. The one place the defaults are written: loading the settings takes each
// value missing from the registry from here. The shell-registration flags (Asso*, Menu*) are false: they are derived
// from the shell at start-up, never stored. The same-for-all rule has already run.
TParametre defaultSettings(const std::filesystem::path& currentDir);

// The same-for-all rule: for each family whose idem flag is set, every tag's effective
// style takes the family style; own and default styles are untouched. The bookmark style
// belongs to no family.
void applySameForAll(TParametre& settings);

}  // namespace scrivle
