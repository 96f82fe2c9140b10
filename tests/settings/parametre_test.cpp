#include "settings/parametre.h"

#include <gtest/gtest.h>

using namespace scrivle;

namespace {

void expectStyle(const TStyleTag& s, ColorRef colour) {
  EXPECT_EQ(s.Couleur, colour);
  EXPECT_EQ(s.DefCouleur, colour);
  EXPECT_EQ(s.CouleurPropre, colour);
  EXPECT_EQ(s.Gras | s.DefGras | s.GrasPropre, 0);
  EXPECT_EQ(s.Italique | s.DefItalique | s.ItaliquePropre, 0);
}

void expectFamily(const TStyleTous& s, ColorRef colour) {
  EXPECT_EQ(s.Couleur, colour);
  EXPECT_EQ(s.DefCouleur, colour);
  EXPECT_EQ(s.Gras | s.DefGras | s.Italique | s.DefItalique, 0);
  EXPECT_EQ(s.idem, -1);
  EXPECT_EQ(s.DefIdem, -1);
}

}  // namespace

TEST(Parametre, FirstRunDefaults) {
  const TParametre p = defaultSettings("/home/eleve/calc");
  EXPECT_EQ(p.flat, -1);
  EXPECT_EQ(p.scroll, -1);
  EXPECT_EQ(p.color, -1);
  EXPECT_EQ(p.DefaultDir, "main");
  EXPECT_EQ(p.DefaultName, "nouveau");
  EXPECT_EQ(p.DefaultExt, "9xt");
  EXPECT_EQ(p.InstallDir, "/home/eleve/calc");
  EXPECT_EQ(p.SaveDir, p.InstallDir);
  EXPECT_EQ(p.InserModDiese, 0);
  EXPECT_EQ(p.InserModEt, 0);
  EXPECT_EQ(p.Line, 0);
  EXPECT_EQ(p.StartNew, -1);
  EXPECT_EQ(p.AutoSave, -1);
  EXPECT_EQ(p.AutoSaveTime, 300000);
  EXPECT_EQ(p.TablePart, 0);
  EXPECT_EQ(p.enabled, -1);
  EXPECT_EQ(p.Nb, 4);
  for (const std::string& m : p.mru) {
    EXPECT_TRUE(m.empty());
  }
  EXPECT_EQ(p.TagsDefautDiese, -1);
  EXPECT_EQ(p.TagsDefautEt, -1);
  EXPECT_EQ(p.MenuDefaut, -1);
  // Derived from the shell registration at start-up, not defaults.
  EXPECT_EQ(p.Asso89 | p.Asso92 | p.Asso9x | p.MenuOuvrir | p.MenuZipper | p.MenuNouveau, 0);

  expectStyle(p.StyleBookmark, 0x00FFFF00);
  for (const TStyleTag& s : p.StylesDiese) {
    expectStyle(s, 0x00FF0000);
  }
  for (const TStyleTag& s : p.StylesEt) {
    expectStyle(s, 0x000000FF);
  }
  expectFamily(p.TousDiese, 0x00FF0000);
  expectFamily(p.TousEt, 0x000000FF);

  // Zero-filled until loaded.
  EXPECT_EQ(AppSettings, TParametre{});
}

TEST(Parametre, BuiltInTitlesByteForByte) {
  const TParametre p = defaultSettings("/");
  const std::size_t lengths[] = {28, 14, 10, 6};
  const std::int32_t cursors[] = {14, 8, 6, 4};
  const char* names[] = {"En-T\xEAte", "Titre 1", "Titre 2", "Titre 3"};
  for (std::size_t i = 0; i < 4; ++i) {
    const TMenuPerso& t = p.Titres[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(t.texte.size(), lengths[i]);
    EXPECT_EQ(t.Curseur, cursors[i]);
    EXPECT_EQ(t.nom, names[i]);
    EXPECT_EQ(t.Deftexte, t.texte);
    EXPECT_EQ(t.Defnom, t.nom);
    EXPECT_EQ(t.DefCurseur, t.Curseur);
  }
  EXPECT_EQ(p.Titres[0].nom.size(), 7U);  // one byte for the accented letter
  EXPECT_EQ(p.Titres[0].texte, "#W\r\n&=\r\n&C#3\r\n\r\n&L#2\r\n&=\r\n\r\n");
  EXPECT_EQ(p.Titres[1].texte, std::string("&L#3\x7F #U#U#2\r\n"));
  EXPECT_EQ(p.Titres[2].texte, std::string("&,\x12 #N#N\r\n"));
  EXPECT_EQ(p.Titres[3].texte, std::string("&;\x0F \r\n"));
}

TEST(Parametre, SameForAllTakesTheFamilyStyleButKeepsOwnStyles) {
  TParametre p = defaultSettings("/");
  p.StylesEt[5].CouleurPropre = 0x00123456;
  p.StylesEt[5].GrasPropre = kTrue;
  p.StylesDiese[0].CouleurPropre = 0x00ABCDEF;
  p.TousEt.Couleur = 0x0000FF00;  // green
  p.TousEt.Italique = kTrue;
  p.TousDiese.Gras = kTrue;
  p.TousDiese.idem = kFalse;
  p.StylesDiese[0].Couleur = p.StylesDiese[0].CouleurPropre;
  const TStyleTag bookmark = p.StyleBookmark;

  applySameForAll(p);
  for (const TStyleTag& s : p.StylesEt) {
    EXPECT_EQ(s.Couleur, 0x0000FF00U);
    EXPECT_EQ(s.Gras, 0);
    EXPECT_EQ(s.Italique, kTrue);
    EXPECT_EQ(s.DefCouleur, clRed);
  }
  EXPECT_EQ(p.StylesEt[5].CouleurPropre, 0x00123456U);
  EXPECT_EQ(p.StylesEt[5].GrasPropre, kTrue);
  // The '#' family is not set to same-for-all: each tag keeps its own effective style.
  EXPECT_EQ(p.StylesDiese[0].Couleur, 0x00ABCDEFU);
  EXPECT_EQ(p.StylesDiese[1].Gras, 0);
  EXPECT_EQ(p.StyleBookmark, bookmark);
}
