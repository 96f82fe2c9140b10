#include "app/icons_u.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <map>
#include <string>

#include "editor/calc_font_u.h"

namespace scrivle {
namespace {

struct IconDef {
  const char* theme;  // freedesktop icon name, or nullptr
  const char* label;  // drawn text when no theme icon (calculator bytes for tags)
  bool tag;
};

const std::map<std::string, IconDef, std::less<>>& icons() {
  static const std::map<std::string, IconDef, std::less<>> table = {
      {"NouveauAction", {"document-new", "N", false}},
      {"OuvrirAction", {"document-open", "O", false}},
      {"EnregistrerAction", {"document-save", "S", false}},
      {"ZipAction", {"package-x-generic", "Z", false}},
      {"FermerAction", {"window-close", "x", false}},
      {"CouperAction", {"edit-cut", "\xE2\x9C\x82", false}},
      {"CopierAction", {"edit-copy", "C", false}},
      {"CollerAction", {"edit-paste", "V", false}},
      {"DfaireAction", {"edit-undo", "\xE2\x86\xB6", false}},
      {"RefaireAction", {"edit-redo", "\xE2\x86\xB7", false}},
      {"ColorAction", {"format-text-color", "A", false}},
      {"Affichertable", {"accessories-character-map", "\xCE\xB1", false}},
      {"AfficherBook", {"bookmarks", "\xE2\x9A\x91", false}},
      {"OptionsAction", {"preferences-system", "\xE2\x9A\x99", false}},
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

QPixmap drawLabel(const IconDef& def) {
  QPixmap pm(24, 24);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  if (def.tag) {
    CalcFont& f = CalcFont::instance();
    const std::string label(def.label);
    const int w = f.cellWidth() * static_cast<int>(label.size());
    int x = (24 - w) / 2;
    const int y = (24 - f.cellHeight()) / 2;
    const QColor colour = label[0] == '#' ? QColor(0, 0, 255)
                          : label[0] == '&' ? QColor(255, 0, 0)
                                            : QColor(0, 160, 160);
    for (char c : label) {
      f.drawByte(p, x, y, static_cast<unsigned char>(c), colour, true, false);
      x += f.cellWidth();
    }
  } else {
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(QColor(235, 235, 235));
    p.drawRoundedRect(QRectF(1.5, 1.5, 21, 21), 4, 4);
    QFont font = p.font();
    font.setPixelSize(14);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(30, 30, 30));
    p.drawText(QRect(0, 0, 24, 24), Qt::AlignCenter, QString::fromUtf8(def.label));
  }
  return pm;
}

}  // namespace

QIcon actionIcon(std::string_view actionName) {
  const auto& t = icons();
  auto it = t.find(actionName);
  if (it == t.end()) return {};
  const IconDef& def = it->second;
  QIcon drawn(drawLabel(def));
  if (def.theme != nullptr) return QIcon::fromTheme(QString::fromLatin1(def.theme), drawn);
  return drawn;
}

}  // namespace scrivle
