#include "app/actions.h"

#include <algorithm>

namespace scrivle {

const std::vector<ActionDef>& actionTable() {
  static const std::vector<ActionDef> table = {
    {"AlignGaucheAction", "Tags &", "Aligné à &gauche", "Aligné à gauche", "", "AlignGaucheActionExecute", 0},
    {"CentrAction", "Tags &", "&Centré", "Centré", "", "CentrActionExecute", 0},
    {"AlignDroiteAction", "Tags &", "Aligné à &droite", "Aligné à droite", "", "AlignDroiteActionExecute", 0},
    {"ColorAction", "Edition", "Afficher en &couleurs", "Afficher en couleurs", "", "ColorActionExecute", ActionDef::Checkable | ActionDef::Checked},
    {"Copier2Action", "Edition", "Copier2Action", "", "Ctrl+Ins", "CopierActionExecute", 0},
    {"CopierAction", "Edition", "Copi&er", "Copier", "Ctrl+C", "CopierActionExecute", ActionDef::Disabled},
    {"CouperAction", "Edition", "&Couper", "Couper", "Ctrl+X", "CouperActionExecute", ActionDef::Disabled},
    {"CollerAction", "Edition", "C&oller", "Coller", "Ctrl+V", "CollerActionExecute", ActionDef::Disabled},
    {"Marge0Action", "Tags &", "Marge de &0 pixels", "Marge de 0 pixels", "", "Marge0ActionExecute", 0},
    {"FermerAction", "Edition", "&Fermer", "Fermer le document courant", "Ctrl+F4", "FermerActionExecute", 0},
    {"Coller2Action", "Edition", "Coller2Action", "", "Shift+Ins", "CollerActionExecute", 0},
    {"Couper2Action", "Edition", "Couper2Action", "", "Shift+Del", "CouperActionExecute", 0},
    {"RorganiserAction", "Fenêtre", "&Réorganiser", "", "", "RorganiserActionExecute", 0},
    {"CascadeAction", "Fenêtre", "&Cascade", "", "", "CascadeActionExecute", 0},
    {"ToutrduireAction", "Fenêtre", "&Tout réduire", "", "", "ToutrduireActionExecute", 0},
    {"MosaquehorizontaleAction", "Fenêtre", "Mosaïque &horizontale", "", "", "horizontaleActionExecute", 0},
    {"MosaqueverticaleAction", "Fenêtre", "Mosaïque &verticale", "", "", "MosaqueverticaleActionExecute", 0},
    {"EnregistrerAction", "Edition", "&Enregistrer", "Enregistrer", "Ctrl+S", "EnregistrerActionExecute", 0},
    {"EnregistrersousAction", "Edition", "Enre&gistrer sous...", "Enregistrer sous...", "Ctrl+Alt+S", "EnregistrersousActionExecute", 0},
    {"OuvrirAction", "Edition", "&Ouvrir...", "Ouvrir...", "Ctrl+O", "OuvrirActionExecute", 0},
    {"SlectionnertoutAction", "Edition", "Sélectionner &tout", "Sélectionner tout", "Ctrl+A", "SlectionnertoutActionExecute", 0},
    {"DfaireAction", "Edition", "&Défaire", "Défaire", "Ctrl+Z", "DfaireActionExecute", ActionDef::Disabled},
    {"RefaireAction", "Edition", "&Refaire", "Refaire", "Ctrl+Y", "RefaireActionExecute", 0},
    {"NouveauAction", "Edition", "&Nouveau", "Nouveau", "Ctrl+N", "NouveauActionExecute", 0},
    {"Taille1Action", "Tags #", "&Taille 1", "Taille 1", "", "Taille1ActionExecute", 0},
    {"Taille2Action", "Tags #", "T&aille 2", "Taille 2", "", "Taille2ActionExecute", 0},
    {"Taille3Action", "Tags #", "Tai&lle 3", "Taille 3", "", "Taille3ActionExecute", 0},
    {"SoulignAction", "Tags #", "&Souligné", "Souligné", "", "SoulignActionExecute", 0},
    {"PointillAction", "Tags #", "&Pointillé", "Pointillé", "", "PointillActionExecute", 0},
    {"VecteurAction", "Tags #", "&Vecteur", "Vecteur", "", "VecteurActionExecute", 0},
    {"InversAction", "Tags #", "&Inversé", "Inversé", "", "InversActionExecute", 0},
    {"BarrAction", "Tags #", "&Barré", "Barré", "", "BarrActionExecute", 0},
    {"ExposantAction", "Tags #", "E&xposant", "Exposant", "", "ExposantActionExecute", 0},
    {"WrapAction", "Tags #", "&Retour à la ligne automatique", "Retour à la ligne automatique", "", "WrapActionExecute", 0},
    {"Marge10Action", "Tags &", "Marge de &10 pixels", "Marge de 10 pixels", "", "Marge10ActionExecute", 0},
    {"Marge20Action", "Tags &", "Marge de &20 pixels", "Marge de 20 pixels", "", "Marge20ActionExecute", 0},
    {"Marge30Action", "Tags &", "Marge de &30 pixels", "Marge de 30 pixels", "", "Marge30ActionExecute", 0},
    {"InsrerprettyAction", "Tags &", "Insérer du &pretty print", "Insérer du Pretty Print", "", "InsrerprettyActionExecute", 0},
    {"InsrerimageAction", "Tags &", "Insérer une &image", "Insérer une image", "", "InsrerimageActionExecute", 0},
    {"ChercherAction", "Edition", "C&hercher", "Chercher", "Ctrl+F", "ChercherActionExecute", 0},
    {"AllerligneAction", "Edition", "&Aller à la ligne...", "Aller à la ligne...", "", "AllerligneActionExecute", 0},
    {"Affichertable", "Fenêtre", "Afficher la table de &caractères", "Afficher la table de caractères", "", "AffichertableExecute", ActionDef::Checkable},
    {"SuivantAction", "Edition", "&Suivant", "Occurence suivante", "F3", "SuivantActionExecute", ActionDef::Disabled},
    {"SeparSimpleAction", "Tags &", "Séparateur simple", "Séparateur simple", "", "SeparSimpleActionExecute", 0},
    {"SeparDoubleAction", "Tags &", "Séparateur double", "Séparateur double", "", "SeparDoubleActionExecute", 0},
    {"ZipAction", "Edition", "&Zipper", "Zipper", "Ctrl+Alt+Z", "ZipActionExecute", 0},
    {"AfficherBook", "Fenêtre", "Afficher les &bookmarks", "Voir les bookmarks", "", "AfficherBookExecute", ActionDef::Checkable},
    {"OptionsAction", "Fenêtre", "&Personnaliser", "Personnalise Scrivle", "", "OptionslActionExecute", 0},
    {"InserBookAction", "Autres", "Insérer un &bookmark", "Insérer un bookmark", "Ctrl+B", "InserBookActionExecute", 0},
    {"Menu1Action", "Autres", "Menu1Action", "", "", "Menu1ActionExecute", 0},
    {"Menu2Action", "Autres", "Menu2Action", "", "", "Menu2ActionExecute", 0},
    {"Menu3Action", "Autres", "Menu3Action", "", "", "Menu3ActionExecute", 0},
    {"Menu4Action", "Autres", "Menu4Action", "", "", "Menu4ActionExecute", 0},
    {"EnregistrerToutAction", "Edition", "Tout enregi&strer", "Tout enregistrer", "", "EnregistrerToutActionExecute", 0},
    {"ReadOnlyAction", "Edition", "&Lecture seule", "Lecture seule", "", "ReadOnlyActionExecute", ActionDef::Checkable},
    {"PopUpFichier", "PoPup", "&Fichier / Edition", "Afficher / Cacher la barre d'outils", "", "PopUpFichierExecute", ActionDef::Checkable | ActionDef::Checked},
    {"PopUpTags", "PoPup", "&Tags", "Afficher / Cacher les tags", "", "PopUpTagsExecute", ActionDef::Checkable | ActionDef::Checked},
    {"PopUpTitres", "PoPup", "T&itres / Taille sur TI", "Afficher / Cacher les boutons pour les titres", "", "PopUpTitresExecute", ActionDef::Checkable | ActionDef::Checked},
    {"Dfaire2Action", "Edition", "Dfaire2Action", "", "Alt+Backspace", "DfaireActionExecute", 0},
    {"Dfaire3Action", "Edition", "Dfaire3Action", "", "Shift+Alt+Backspace", "DfaireActionExecute", 0},  };
  return table;
}

const std::vector<MenuItemDef>& menuItemTable() {
  static const std::vector<MenuItemDef> items = {
      {"Remplacer2", "Re&mplacer", "Remplacer", "Ctrl+R", "RemplacerActionExecute"},
      {"Toutfermer1", "&Tout fermer", "Tout fermer", "", "CloseAll"},
      {"Quitter2", "&Quitter", "", "", "Quitter2Click"},
      {"Apropos1", "&A propos...", "", "", ""},
  };
  return items;
}

const std::vector<MenuDef>& menuBar() {
  static const std::vector<MenuDef> menus = {
      {"&Fichier",
       "Ouverture, enregistrement...",
       {"NouveauAction", "OuvrirAction", ">Recents", "ReadOnlyAction", "-N13", "ZipAction",
        "EnregistrerAction", "EnregistrersousAction", "FermerAction", "-N7",
        "EnregistrerToutAction", "Toutfermer1", "-", "Quitter2"}},
      {"&Edition",
       "Euhhh... Couper, copier, etc... ?",
       {"DfaireAction", "RefaireAction", "-", "CouperAction", "CopierAction", "CollerAction", "-",
        "SlectionnertoutAction", "-", "ChercherAction", "Remplacer2", "SuivantAction",
        "AllerligneAction"}},
      {"&Tags #",
       "Les tags # (mise en forme du texte)",
       {"Taille1Action", "Taille2Action", "Taille3Action", "-", "SoulignAction", "PointillAction",
        "VecteurAction", "InversAction", "BarrAction", "ExposantAction", "-", "WrapAction"}},
      {"Ta&gs &&",
       "Les tags & (mise en forme des paragraphes)",
       {"AlignGaucheAction", "CentrAction", "AlignDroiteAction", "-", "Marge0Action",
        "Marge10Action", "Marge20Action", "Marge30Action", "-", "SeparSimpleAction",
        "SeparDoubleAction", "-", "InsrerimageAction", "InsrerprettyAction"}},
      {"&Misc.",
       "Titres et bookmark",
       {"InserBookAction", "-", "Menu1Action", "Menu2Action", "Menu3Action", "Menu4Action"}},
      {"&Options",
       "Deux-trois options...",
       {"ColorAction", "AfficherBook", "Affichertable", "-", "OptionsAction"}},
      {"Fe&nêtre",
       "Gestion des fenêtres",
       {"CascadeAction", "RorganiserAction", "ToutrduireAction", "-", "MosaquehorizontaleAction",
        "MosaqueverticaleAction"}},
      {"&Aide", "", {"Apropos1"}},
  };
  return menus;
}

const std::vector<std::string_view>& fileToolBar() {
  static const std::vector<std::string_view> bar = {
      "NouveauAction", "OuvrirAction", "|", "EnregistrerAction", "ZipAction", "FermerAction",
      "|", "CouperAction", "CopierAction", "CollerAction", "|", "DfaireAction", "RefaireAction",
      "|", "ColorAction", "|", "Affichertable", "AfficherBook", "|", "OptionsAction"};
  return bar;
}

const std::vector<std::string_view>& tagToolBar() {
  static const std::vector<std::string_view> bar = {
      "Taille1Action", "Taille2Action", "Taille3Action", "|", "SoulignAction",
      "PointillAction", "VecteurAction", "InversAction", "BarrAction", "ExposantAction", "|",
      "SeparSimpleAction", "SeparDoubleAction", "|", "AlignGaucheAction", "CentrAction",
      "AlignDroiteAction", "|", "Marge0Action", "Marge10Action", "Marge20Action",
      "Marge30Action", "|", "InsrerimageAction", "InsrerprettyAction", "|", "WrapAction",
      "InserBookAction"};
  return bar;
}

const ActionDef* findAction(std::string_view name) {
  const auto& t = actionTable();
  auto it = std::find_if(t.begin(), t.end(), [&](const ActionDef& a) { return a.name == name; });
  return it == t.end() ? nullptr : &*it;
}

}  // namespace scrivle
