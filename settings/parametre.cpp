#include "settings/parametre.h"

#include <span>

#include "platform/files.h"

namespace scrivle {

TParametre AppSettings;

namespace {

TStyleTag plainStyle(ColorRef colour) {
  TStyleTag s;
  s.Couleur = s.DefCouleur = s.CouleurPropre = colour;
  s.Gras = s.DefGras = s.GrasPropre = kFalse;
  s.Italique = s.DefItalique = s.ItaliquePropre = kFalse;
  return s;
}

TStyleTous familyStyle(ColorRef colour) {
  TStyleTous s;
  s.Couleur = s.DefCouleur = colour;
  s.Gras = s.DefGras = kFalse;
  s.Italique = s.DefItalique = kFalse;
  s.idem = s.DefIdem = kTrue;
  return s;
}

void applyFamily(const TStyleTous& family, std::span<TStyleTag> tags) {
  if (!isSet(family.idem)) {
    return;
  }
  for (TStyleTag& tag : tags) {
    tag.Couleur = family.Couleur;
    tag.Gras = family.Gras;
    tag.Italique = family.Italique;
  }
}

}  // namespace

TParametre defaultSettings(const std::filesystem::path& currentDir) {
  TParametre p;
  for (std::size_t i = 0; i < kBuiltInTitles.size(); ++i) {
    TMenuPerso& t = p.Titres[i];
    t.nom = t.Defnom = std::string(kBuiltInTitles[i].nom);
    t.texte = t.Deftexte = std::string(kBuiltInTitles[i].texte);
    t.Curseur = t.DefCurseur = kBuiltInTitles[i].Curseur;
  }
  p.StyleBookmark = plainStyle(clAqua);
  p.StylesDiese.fill(plainStyle(clBlue));
  p.TousDiese = familyStyle(clBlue);
  p.StylesEt.fill(plainStyle(clRed));
  p.TousEt = familyStyle(clRed);

  p.flat = p.scroll = p.color = kTrue;
  p.DefaultDir = "main";
  p.DefaultName = "nouveau";
  p.DefaultExt = "9xt";
  p.InstallDir = pathToUtf8(currentDir);
  p.SaveDir = p.InstallDir;
  p.InserModDiese = p.InserModEt = kFalse;
  p.Line = kFalse;
  p.StartNew = kTrue;
  p.enabled = kTrue;
  p.Nb = kDefaultNb;
  p.TablePart = kFalse;
  p.AutoSave = kTrue;
  p.AutoSaveTime = kDefaultAutoSaveTime;
  p.TagsDefautDiese = p.TagsDefautEt = p.MenuDefaut = kTrue;
  applySameForAll(p);
  return p;
}

void applySameForAll(TParametre& settings) {
  applyFamily(settings.TousDiese, settings.StylesDiese);
  applyFamily(settings.TousEt, settings.StylesEt);
}

}  // namespace scrivle
