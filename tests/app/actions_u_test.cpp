// The command vocabulary as the window shows it, checked against the list written
// here independently of the production table.
#include <gtest/gtest.h>
#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include <string_view>
#include <vector>

#include "app/icons_u.h"
#include "app/main_u.h"
#include "settings/parametre.h"
#include "support/fake_dialogs.h"
#include "tags/insertion.h"

namespace scrivle {
namespace {

struct Expected {
  const char* name;
  const char* category;
  const char* caption;
  const char* hint;
  const char* shortcut;
};

const Expected kActions[] = {
    {"AlignGaucheAction", "Tags &", "Aligné à &gauche", "Aligné à gauche", ""},
    {"CentrAction", "Tags &", "&Centré", "Centré", ""},
    {"AlignDroiteAction", "Tags &", "Aligné à &droite", "Aligné à droite", ""},
    {"ColorAction", "Edition", "Afficher en &couleurs", "Afficher en couleurs", ""},
    {"Copier2Action", "Edition", "Copier2Action", "", "Ctrl+Ins"},
    {"CopierAction", "Edition", "Copi&er", "Copier", "Ctrl+C"},
    {"CouperAction", "Edition", "&Couper", "Couper", "Ctrl+X"},
    {"CollerAction", "Edition", "C&oller", "Coller", "Ctrl+V"},
    {"Marge0Action", "Tags &", "Marge de &0 pixels", "Marge de 0 pixels", ""},
    {"FermerAction", "Edition", "&Fermer", "Fermer le document courant", "Ctrl+F4"},
    {"Coller2Action", "Edition", "Coller2Action", "", "Shift+Ins"},
    {"Couper2Action", "Edition", "Couper2Action", "", "Shift+Del"},
    {"RorganiserAction", "Fenêtre", "&Réorganiser", "", ""},
    {"CascadeAction", "Fenêtre", "&Cascade", "", ""},
    {"ToutrduireAction", "Fenêtre", "&Tout réduire", "", ""},
    {"MosaquehorizontaleAction", "Fenêtre", "Mosaïque &horizontale", "", ""},
    {"MosaqueverticaleAction", "Fenêtre", "Mosaïque &verticale", "", ""},
    {"EnregistrerAction", "Edition", "&Enregistrer", "Enregistrer", "Ctrl+S"},
    {"EnregistrersousAction", "Edition", "Enre&gistrer sous...", "Enregistrer sous...",
     "Ctrl+Alt+S"},
    {"OuvrirAction", "Edition", "&Ouvrir...", "Ouvrir...", "Ctrl+O"},
    {"SlectionnertoutAction", "Edition", "Sélectionner &tout", "Sélectionner tout", "Ctrl+A"},
    {"DfaireAction", "Edition", "&Défaire", "Défaire", "Ctrl+Z"},
    {"RefaireAction", "Edition", "&Refaire", "Refaire", "Ctrl+Y"},
    {"NouveauAction", "Edition", "&Nouveau", "Nouveau", "Ctrl+N"},
    {"Taille1Action", "Tags #", "&Taille 1", "Taille 1", ""},
    {"Taille2Action", "Tags #", "T&aille 2", "Taille 2", ""},
    {"Taille3Action", "Tags #", "Tai&lle 3", "Taille 3", ""},
    {"SoulignAction", "Tags #", "&Souligné", "Souligné", ""},
    {"PointillAction", "Tags #", "&Pointillé", "Pointillé", ""},
    {"VecteurAction", "Tags #", "&Vecteur", "Vecteur", ""},
    {"InversAction", "Tags #", "&Inversé", "Inversé", ""},
    {"BarrAction", "Tags #", "&Barré", "Barré", ""},
    {"ExposantAction", "Tags #", "E&xposant", "Exposant", ""},
    {"WrapAction", "Tags #", "&Retour à la ligne automatique", "Retour à la ligne automatique", ""},
    {"Marge10Action", "Tags &", "Marge de &10 pixels", "Marge de 10 pixels", ""},
    {"Marge20Action", "Tags &", "Marge de &20 pixels", "Marge de 20 pixels", ""},
    {"Marge30Action", "Tags &", "Marge de &30 pixels", "Marge de 30 pixels", ""},
    {"InsrerprettyAction", "Tags &", "Insérer du &pretty print", "Insérer du Pretty Print", ""},
    {"InsrerimageAction", "Tags &", "Insérer une &image", "Insérer une image", ""},
    {"ChercherAction", "Edition", "C&hercher", "Chercher", "Ctrl+F"},
    {"AllerligneAction", "Edition", "&Aller à la ligne...", "Aller à la ligne...", ""},
    {"Affichertable", "Fenêtre", "Afficher la table de &caractères",
     "Afficher la table de caractères", ""},
    {"ApercuAction", "Fenêtre", "Aperçu &calculatrice",
     "Voir le texte comme la calculatrice l'affiche", "F6"},
    {"OrthographeAction", "Edition", "Vérifier l'&orthographe", "Souligner les mots inconnus", ""},
    {"SuivantAction", "Edition", "&Suivant", "Occurence suivante", "F3"},
    {"SeparSimpleAction", "Tags &", "Séparateur simple", "Séparateur simple", ""},
    {"SeparDoubleAction", "Tags &", "Séparateur double", "Séparateur double", ""},
    {"ZipAction", "Edition", "&Zipper", "Zipper", "Ctrl+Alt+Z"},
    {"AfficherBook", "Fenêtre", "Afficher les &bookmarks", "Voir les bookmarks", ""},
    {"OptionsAction", "Fenêtre", "&Personnaliser", "Personnalise Scrivle", ""},
    {"InserBookAction", "Autres", "Insérer un &bookmark", "Insérer un bookmark", "Ctrl+B"},
    {"Menu1Action", "Autres", "Menu1Action", "", ""},
    {"Menu2Action", "Autres", "Menu2Action", "", ""},
    {"Menu3Action", "Autres", "Menu3Action", "", ""},
    {"Menu4Action", "Autres", "Menu4Action", "", ""},
    {"EnregistrerToutAction", "Edition", "Tout enregi&strer", "Tout enregistrer", ""},
    {"ReadOnlyAction", "Edition", "&Lecture seule", "Lecture seule", ""},
    {"PopUpFichier", "PoPup", "&Fichier / Edition", "Afficher / Cacher la barre d'outils", ""},
    {"PopUpTags", "PoPup", "&Tags", "Afficher / Cacher les tags", ""},
    {"PopUpTitres", "PoPup", "T&itres / Taille sur TI",
     "Afficher / Cacher les boutons pour les titres", ""},
    {"Dfaire2Action", "Edition", "Dfaire2Action", "", "Alt+Backspace"},
    {"Dfaire3Action", "Edition", "Dfaire3Action", "", "Shift+Alt+Backspace"},
};

// Menu contents in order: captions, "-" for separators, ">" before a submenu.
const std::vector<std::pair<const char*, std::vector<const char*>>> kMenus = {
    {"&Fichier",
     {"&Nouveau", "&Ouvrir...", ">&Récents", "&Lecture seule", "-", "&Zipper", "&Enregistrer",
      "Enre&gistrer sous...", "&Fermer", "-", "Tout enregi&strer", "&Tout fermer", "-",
      "&Quitter"}},
    {"&Edition",
     {"&Défaire", "&Refaire", "-", "&Couper", "Copi&er", "C&oller", "-", "Sélectionner &tout", "-",
      "C&hercher", "Re&mplacer", "&Suivant", "&Aller à la ligne..."}},
    {"&Tags #",
     {"&Taille 1", "T&aille 2", "Tai&lle 3", "-", "&Souligné", "&Pointillé", "&Vecteur", "&Inversé",
      "&Barré", "E&xposant", "-", "&Retour à la ligne automatique"}},
    {"Ta&gs &&",
     {"Aligné à &gauche", "&Centré", "Aligné à &droite", "-", "Marge de &0 pixels",
      "Marge de &10 pixels", "Marge de &20 pixels", "Marge de &30 pixels", "-", "Séparateur simple",
      "Séparateur double", "-", "Insérer une &image", "Insérer du &pretty print"}},
    {"&Misc.",
     {"Insérer un &bookmark", "-", "Menu1Action", "Menu2Action", "Menu3Action", "Menu4Action"}},
    {"&Options",
     {"Afficher en &couleurs", "Afficher les &bookmarks", "Afficher la table de &caractères",
      "Aperçu &calculatrice", "Vérifier l'&orthographe", "-", "&Personnaliser"}},
    {"Fe&nêtre",
     {"&Cascade", "&Réorganiser", "&Tout réduire", "-", "Mosaïque &horizontale",
      "Mosaïque &verticale"}},
    {"&Aide", {"&A propos..."}},
};

TEST(ActionTable, EveryActionAsTheWindowShowsIt) {
  AppSettings = defaultSettings(".");
  test::FakeDialogs dialogs;
  Tmain m(dialogs);
  int count = 0;
  for (const Expected& e : kActions) {
    QAction* a = m.action(e.name);
    ASSERT_NE(a, nullptr) << e.name;
    EXPECT_EQ(a->text(), QString::fromUtf8(e.caption)) << e.name;
    // Without a dictionary the spelling hint says why instead.
    if (a->isEnabled() || std::string_view(e.name) != "OrthographeAction") {
      EXPECT_EQ(a->statusTip(), QString::fromUtf8(e.hint)) << e.name;
    }
    EXPECT_EQ(a->property("category").toString(), QString::fromUtf8(e.category)) << e.name;
    EXPECT_EQ(a->shortcut(), QKeySequence(QString::fromUtf8(e.shortcut))) << e.name;
    // Every action is reachable by its shortcut even when it is in no menu.
    EXPECT_TRUE(m.actions().contains(a)) << e.name;
    ++count;
  }
  EXPECT_EQ(count, 62);
  EXPECT_EQ(m.action("Remplacer2")->shortcut(), QKeySequence("Ctrl+R"));
  EXPECT_EQ(m.action("Toutfermer1")->text(), "&Tout fermer");
  // Initial states.
  EXPECT_TRUE(m.action("ColorAction")->isChecked());
  EXPECT_FALSE(m.action("Affichertable")->isChecked());
  EXPECT_TRUE(m.action("ApercuAction")->isCheckable());
  EXPECT_TRUE(m.action("PopUpTags")->isChecked());
  EXPECT_FALSE(m.action("ReadOnlyAction")->isChecked());
  // Spelling: checkable, checked whenever it can work.
  QAction* spelling = m.action("OrthographeAction");
  EXPECT_TRUE(spelling->isCheckable());
  EXPECT_EQ(spelling->isChecked(), spelling->isEnabled());
}

TEST(ActionTable, MenusInOrderWithHints) {
  AppSettings = defaultSettings(".");
  test::FakeDialogs dialogs;
  Tmain m(dialogs);
  const auto menus = m.menuBar()->actions();
  ASSERT_EQ(menus.size(), static_cast<qsizetype>(kMenus.size()));
  for (std::size_t i = 0; i < kMenus.size(); ++i) {
    QMenu* menu = menus[static_cast<qsizetype>(i)]->menu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), QString::fromUtf8(kMenus[i].first));
    std::vector<QString> shown;
    for (QAction* a : menu->actions()) {
      if (a->isSeparator()) {
        shown.push_back("-");
      } else if (a->menu() != nullptr) {
        shown.push_back(">" + a->text());
      } else if (!a->text().isEmpty() || a->objectName().startsWith("Menu")) {
        shown.push_back(a->objectName().startsWith("Menu") ? a->objectName() : a->text());
      }
    }
    // The window list follows Fe&nêtre's own items after a hidden separator.
    if (kMenus[i].first == std::string("Fe&nêtre")) shown.resize(kMenus[i].second.size());
    std::vector<QString> expected;
    for (const char* c : kMenus[i].second) expected.push_back(QString::fromUtf8(c));
    EXPECT_EQ(shown, expected) << kMenus[i].first;
  }
  EXPECT_EQ(m.menu("&Fichier")->menuAction()->statusTip(), "Ouverture, enregistrement...");
  EXPECT_EQ(m.menu("&Edition")->menuAction()->statusTip(), "Euhhh... Couper, copier, etc... ?");
  EXPECT_FALSE(m.menu("&Aide")->menuAction()->isEnabled());
}

// Each tag button shows the tag it inserts (the zero margin is &\ , not &0).
TEST(ActionTable, TagButtonsShowTheTagTheyInsert) {
  for (const TagCommand& t : kTagCommands) {
    const std::string tag{static_cast<char>(t.introducer), static_cast<char>(t.letter)};
    EXPECT_EQ(tagButtonText(t.action), tag) << t.action;
  }
  EXPECT_EQ(tagButtonText("InserBookAction"), "\x0C");
}

}  // namespace
}  // namespace scrivle
