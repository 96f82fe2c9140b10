#include "app/icons_u.h"

#include <QPainter>
#include <QPixmap>
#include <map>
#include <string>

#include "editor/calc_font_u.h"
#include "platform/resource_icon_u.h"
#include "tags/insertion.h"

namespace scrivle {

std::string tagButtonText(std::string_view actionName) {
  // The tag the button inserts, from the same table the command runs on.
  if (const TagCommand* t = findTagCommand(actionName)) {
    return {static_cast<char>(t->introducer), static_cast<char>(t->letter)};
  }
  if (actionName == "InserBookAction") return "\x0C";  // the bookmark marker
  return {};
}

namespace {

struct IconDef {
  const char* theme;  // freedesktop icon name (also the bundled file's name), or nullptr
  bool tag;           // tags draw the tag they insert, in its colour
};

const std::map<std::string, IconDef, std::less<>>& icons() {
  static const std::map<std::string, IconDef, std::less<>> table = {
      {"NouveauAction", {"document-new", false}},
      {"OuvrirAction", {"document-open", false}},
      {"EnregistrerAction", {"document-save", false}},
      {"ZipAction", {"package-x-generic", false}},
      {"FermerAction", {"window-close", false}},
      {"CouperAction", {"edit-cut", false}},
      {"CopierAction", {"edit-copy", false}},
      {"CollerAction", {"edit-paste", false}},
      {"DfaireAction", {"edit-undo", false}},
      {"RefaireAction", {"edit-redo", false}},
      {"ColorAction", {"format-text-color", false}},
      {"Affichertable", {"accessories-character-map", false}},
      {"AfficherBook", {"bookmarks", false}},
      {"OptionsAction", {"preferences-system", false}},
      {"Taille1Action", {nullptr, true}},
      {"Taille2Action", {nullptr, true}},
      {"Taille3Action", {nullptr, true}},
      {"SoulignAction", {nullptr, true}},
      {"PointillAction", {nullptr, true}},
      {"VecteurAction", {nullptr, true}},
      {"InversAction", {nullptr, true}},
      {"BarrAction", {nullptr, true}},
      {"ExposantAction", {nullptr, true}},
      {"WrapAction", {nullptr, true}},
      {"SeparSimpleAction", {nullptr, true}},
      {"SeparDoubleAction", {nullptr, true}},
      {"AlignGaucheAction", {nullptr, true}},
      {"CentrAction", {nullptr, true}},
      {"AlignDroiteAction", {nullptr, true}},
      {"Marge0Action", {nullptr, true}},
      {"Marge10Action", {nullptr, true}},
      {"Marge20Action", {nullptr, true}},
      {"Marge30Action", {nullptr, true}},
      {"InsrerimageAction", {nullptr, true}},
      {"InsrerprettyAction", {nullptr, true}},
      {"InserBookAction", {nullptr, true}},
  };
  return table;
}

QPixmap drawTag(std::string_view name) {
  QPixmap pm(24, 24);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  CalcFont& f = CalcFont::instance();
  const std::string label = tagButtonText(name);
  if (label.empty()) return pm;
  const int w = f.cellWidth() * static_cast<int>(label.size());
  int x = (24 - w) / 2;
  const int y = (24 - f.cellHeight()) / 2;
  const QColor colour = label[0] == '#'   ? QColor(0, 0, 255)
                        : label[0] == '&' ? QColor(255, 0, 0)
                                          : QColor(0, 160, 160);
  for (char c : label) {
    f.drawByte(p, x, y, static_cast<unsigned char>(c), colour, true, false);
    x += f.cellWidth();
  }
  return pm;
}

// The bundled rendering of a freedesktop icon, in the sizes tool bars and menus use.
QIcon bundledIcon(const char* name) {
  return resourceIcon(
      QStringLiteral(":/icons/actions/") + QLatin1String(name) + QStringLiteral("-%1.png"),
      {16, 24, 32, 48});
}

// A desktop's own icon theme (Adwaita, Breeze...). hicolor, which Qt names when there is
// none, holds no command icons, and asking it walks every one of its folders for each
// miss (over a millisecond an icon at start-up).
bool desktopThemeSet() {
  const QString theme = QIcon::themeName();
  return !theme.isEmpty() && theme != QLatin1String("hicolor");
}

}  // namespace

QIcon actionIcon(std::string_view actionName) {
  const auto& t = icons();
  auto it = t.find(actionName);
  if (it == t.end()) return {};
  const IconDef& def = it->second;
  if (def.tag) {
    // Drawn when the tool bar is first painted, not while the window is being built.
    return drawnIcon(
        QString::fromLatin1(actionName.data(), static_cast<qsizetype>(actionName.size())), 24,
        [name = std::string(actionName)] { return drawTag(name); });
  }
  // The desktop's theme where it has the icon, else the bundled one.
  if (!desktopThemeSet()) return bundledIcon(def.theme);
  return QIcon::fromTheme(QString::fromLatin1(def.theme), bundledIcon(def.theme));
}

}  // namespace scrivle
