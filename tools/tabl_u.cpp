#include "tools/tabl_u.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <memory>

#include "document/child_u.h"
#include "document/host_u.h"
#include "editor/calc_font_u.h"
#include "editor/editor_view_u.h"
#include "calc/keyboard.h"
#include "editor/text_model.h"
#include "settings/parametre.h"
#include "registry/registry.h"

namespace scrivle {

namespace {

constexpr int kPitchX = TCharGrid::kColWidth + TCharGrid::kLine;
constexpr int kPitchY = TCharGrid::kRowHeight + TCharGrid::kLine;

// Qt key -> the Windows code the grid's navigation speaks; 0 for other keys.
int navigationKey(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Left:
      return vk::Left;
    case Qt::Key_Right:
      return vk::Right;
    case Qt::Key_Up:
      return vk::Up;
    case Qt::Key_Down:
      return vk::Down;
    case Qt::Key_Home:
      return vk::Home;
    case Qt::Key_End:
      return vk::End;
    case Qt::Key_PageUp:
      return vk::Prior;
    case Qt::Key_PageDown:
      return vk::Next;
    default:
      return 0;
  }
}

}  // namespace

TCharGrid::TCharGrid(QWidget* parent) : QWidget(parent) {
  setObjectName("StringGrid");
  setFocusPolicy(Qt::StrongFocus);
  setToolTip(QStringLiteral("Pour insérer un caractère : double-clic ou entrée"));
  setFixedSize(sizeHint());
}

QSize TCharGrid::sizeHint() const {
  return {kTableColumns * kPitchX + kLine, kTableRows * kPitchY + kLine};
}

QRect TCharGrid::cellRect(TableCell cell) const {
  return {kLine + cell.column * kPitchX, kLine + cell.row * kPitchY, kColWidth, kRowHeight};
}

void TCharGrid::setCurrent(TableCell cell) {
  if (cell == current_) return;
  update(cellRect(current_));
  current_ = cell;
  update(cellRect(current_));
}

bool TCharGrid::cellAt(const QPoint& point, TableCell& cell) const {
  const int c = (point.x() - kLine) / kPitchX;
  const int r = (point.y() - kLine) / kPitchY;
  if (point.x() < kLine || point.y() < kLine || c >= kTableColumns || r >= kTableRows) {
    return false;
  }
  cell = {c, r};
  return true;
}

void TCharGrid::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  // The menus' background, like the form's grid.
  p.fillRect(rect(), palette().color(QPalette::Button));
  p.setPen(palette().color(QPalette::Mid));
  for (int c = 0; c <= kTableColumns; ++c) p.drawLine(c * kPitchX, 0, c * kPitchX, height() - 1);
  for (int r = 0; r <= kTableRows; ++r) p.drawLine(0, r * kPitchY, width() - 1, r * kPitchY);

  CalcFont& font = CalcFont::instance();
  const qreal dpr = devicePixelRatioF();
  for (int r = 0; r < kTableRows; ++r) {
    for (int c = 0; c < kTableColumns; ++c) {
      const TableCell cell{c, r};
      const QRect box = cellRect(cell);
      if (!event->rect().intersects(box)) continue;
      const bool selected = cell == current_;
      if (selected) p.fillRect(box, palette().color(QPalette::Highlight));
      const QColor ink =
          palette().color(selected ? QPalette::HighlightedText : QPalette::ButtonText);
      const QPixmap glyph = font.glyph(codeOfCell(cell), ink, false, false, dpr);
      // Centred in the cell, shrunk if the font's cell is larger than the grid's.
      QSizeF size = QSizeF(glyph.size()) / glyph.devicePixelRatio();
      if (size.width() > box.width() || size.height() > box.height()) {
        size.scale(box.size(), Qt::KeepAspectRatio);
      }
      QRectF target(QPointF(0, 0), size);
      target.moveCenter(QRectF(box).center());
      p.setRenderHint(QPainter::SmoothPixmapTransform);
      p.drawPixmap(target, glyph, QRectF(glyph.rect()));
      if (selected && hasFocus()) {
        p.setPen(QPen(ink, 1, Qt::DotLine));
        p.drawRect(box.adjusted(0, 0, -1, -1));
        p.setPen(palette().color(QPalette::Mid));
      }
    }
  }
}

void TCharGrid::mousePressEvent(QMouseEvent* event) {
  TableCell cell;
  if (event->button() == Qt::LeftButton && cellAt(event->position().toPoint(), cell)) {
    setCurrent(cell);
  }
  setFocus(Qt::MouseFocusReason);
}

void TCharGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  TableCell cell;
  if (event->button() != Qt::LeftButton || !cellAt(event->position().toPoint(), cell)) return;
  setCurrent(cell);
  if (onDblClick) onDblClick();
}

void TCharGrid::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (onEnter) onEnter();
      return;
    case Qt::Key_Escape:
      if (onEscape) onEscape();
      return;
    default:
      break;
  }
  const int key = navigationKey(event->key());
  if (key == 0) {
    QWidget::keyPressEvent(event);
    return;
  }
  setCurrent(navigateCell(current_, key, (event->modifiers() & Qt::ControlModifier) != 0));
}

void TCharGrid::wheelEvent(QWheelEvent* event) {
  // One row per notch, high-resolution wheels included.
  wheelRemainder_ += event->angleDelta().y();
  while (wheelRemainder_ <= -120) {
    wheelRemainder_ += 120;
    setCurrent(wheelCell(current_, true));
  }
  while (wheelRemainder_ >= 120) {
    wheelRemainder_ -= 120;
    setCurrent(wheelCell(current_, false));
  }
  event->accept();
}

TTable::TTable(QWidget* parent) : QWidget(parent, Qt::Tool) {
  setObjectName("Table");
  setWindowTitle(QStringLiteral("Table de caractères"));

  StringGrid = new TCharGrid(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(1, 1, 1, 1);
  layout->addWidget(StringGrid);
  setFixedSize(StringGrid->sizeHint() + QSize(2, 2));  // 515 x 163

  InserCar = new QAction(this);
  InserCar->setObjectName("InserCar");
  addAction(InserCar);
  connect(InserCar, &QAction::triggered, this, &TTable::InserCarExecute);

  StringGrid->onDblClick = [this] { insertIfEnabled(); };
  StringGrid->onEnter = [this] { insertIfEnabled(); };
  StringGrid->onEscape = [this] { close(); };

  if (auto* host = dynamic_cast<DocumentHost*>(parent)) connectTo(*host);
  FormActivate();
}

void TTable::connectTo(DocumentHost& host) {
  DocumentHost* h = &host;
  activeDocument = [h] { return h->activeChild(); };
  colourOn = [h] { return h->colourOn(); };
  documentArea = [h] { return h->documentArea(); };
}

TTable::~TTable() {
  if (isVisible()) rememberPlace();
}

void TTable::setVisible(bool visible) {
  if (visible && !isVisible()) {
    placeBeforeShowing();
  } else if (!visible && isVisible()) {
    rememberPlace();
  }
  QWidget::setVisible(visible);
}

void TTable::placeBeforeShowing() {
  if (!place_) {
    const std::unique_ptr<Registry> registry = openUserRegistry([](const std::string&) {});
    if (const std::optional<TablePlace> stored = loadTablePlace(*registry)) {
      // Only where a screen still is (a second screen may have gone since).
      const QPoint p(stored->left, stored->top);
      if (QGuiApplication::screenAt(p + QPoint(width() / 2, 8)) != nullptr) place_ = p;
    }
  }
  if (!place_ && documentArea) {
    const QRect area = documentArea();
    // The frame's top-left corner goes there (its border is not known before it shows).
    if (area.isValid()) {
      place_ =
          QPoint(std::max(area.left(), area.right() + 1 - frameGeometry().width()), area.top());
    }
  }
  if (place_) move(*place_);
}

void TTable::rememberPlace() {
  place_ = pos();
  const std::unique_ptr<Registry> registry = openUserRegistry([](const std::string&) {});
  saveTablePlace(*registry, {place_->x(), place_->y()});
}

TChild* TTable::document() const {
  return activeDocument ? activeDocument() : nullptr;
}

void TTable::FormActivate() {
  const bool open = document() != nullptr;
  StringGrid->setCursor(open ? Qt::PointingHandCursor : Qt::ArrowCursor);
  InserCar->setEnabled(open);
}

void TTable::insertIfEnabled() {
  // The documents may have changed since the table was last activated.
  FormActivate();
  if (InserCar->isEnabled()) InserCar->trigger();
}

void TTable::InserCarExecute() {
  TChild* child = document();
  if (child == nullptr || child->model().readOnly()) return;
  insertCharacter(child->model(), codeOfCell(StringGrid->current()), colourOn && colourOn(),
                  AppSettings, [child](int delta) {
                    child->addSize(delta);
                    child->markModified();
                  });
  if (child->Richedit != nullptr) child->Richedit->scrollCaretIntoView();
}

void TTable::closeEvent(QCloseEvent* event) {
  // Hidden, never destroyed: the command shows it again.
  emit closed();
  event->accept();
}

void TTable::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
  QWidget::changeEvent(event);
}

void AffichertableExecute(TTable& table, const QAction& affichertable) {
  table.setVisible(affichertable.isChecked());
  if (table.isVisible()) table.raise();
}

}  // namespace scrivle
