#include "app/icons_u.h"

#include <QPainter>
#include <QPixmap>
#include <map>
#include <string>

#include "platform/calc_font_u.h"
#include "platform/resource_icon_u.h"

namespace scrivle {
namespace {

struct IconDef {
  const char* theme;  // freedesktop icon name (also the bundled file's name), or nullptr
  const char* label;  // tags: the tag in calculator bytes, drawn in its colour
  bool tag;
};

const std::map<std::string, IconDef, std::less<>>& icons() {
  static const std::map<std::string, IconDef, std::less<>> table = {
      {"NouveauAction", {"document-new", nullptr, false}},
      {"OuvrirAction", {"document-open", nullptr, false}},
      {"EnregistrerAction", {"document-save", nullptr, false}},
      {"ZipAction", {"package-x-generic", nullptr, false}},
      {"FermerAction", {"window-close", nullptr, false}},
      {"CouperAction", {"edit-cut", nullptr, false}},
      {"CopierAction", {"edit-copy", nullptr, false}},
      {"CollerAction", {"edit-paste", nullptr, false}},
      {"DfaireAction", {"edit-undo", nullptr, false}},
      {"RefaireAction", {"edit-redo", nullptr, false}},
      {"ColorAction", {"format-text-color", nullptr, false}},
      {"Affichertable", {"accessories-character-map", nullptr, false}},
      {"AfficherBook", {"bookmarks", nullptr, false}},
      {"OptionsAction", {"preferences-system", nullptr, false}},
      {"Taille1Action", {nullptr, "#1", true}},
      {"Taille2Action", {nullptr, "#2", true}},
      {"Taille3Action", {nullptr, "#3", true}},
      {"SoulignAction", {nullptr, "#U", true}},
      {"PointillAction", {nullptr, "#N", true}},
      {"VecteurAction", {nullptr, "#V", true}},
      {"InversAction", {nullptr, "#I", true}},
      {"BarrAction", {nullptr, "#S", true}},
      {"ExposantAction", {nullptr, "#E", true}},
      {"WrapAction", {nullptr, "#W", true}},
      {"SeparSimpleAction", {nullptr, "&-", true}},
      {"SeparDoubleAction", {nullptr, "&=", true}},
      {"AlignGaucheAction", {nullptr, "&L", true}},
      {"CentrAction", {nullptr, "&C", true}},
      {"AlignDroiteAction", {nullptr, "&R", true}},
      {"Marge0Action", {nullptr, "&0", true}},
      {"Marge10Action", {nullptr, "&1", true}},
      {"Marge20Action", {nullptr, "&2", true}},
      {"Marge30Action", {nullptr, "&3", true}},
      {"InsrerimageAction", {nullptr, "&P", true}},
      {"InsrerprettyAction", {nullptr, "&E", true}},
      {"InserBookAction", {nullptr, "\x0C", true}},
  };
  return table;
}

QPixmap drawTag(const IconDef& def) {
  QPixmap pm(24, 24);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  CalcFont& f = CalcFont::instance();
  const std::string label(def.label);
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
  if (def.tag) return QIcon(drawTag(def));
  // The desktop's theme where it has the icon, else the bundled one.
  if (!desktopThemeSet()) return bundledIcon(def.theme);
  return QIcon::fromTheme(QString::fromLatin1(def.theme), bundledIcon(def.theme));
}

}  // namespace scrivle
