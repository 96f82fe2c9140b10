#include "preview/pane_u.h"

#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDockWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "document/child_u.h"
#include "editor/editor_view_u.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "preview/export_u.h"
#include "registry/registry.h"
#include "settings/parametre.h"

namespace scrivle {

namespace {

// A pale grey-green liquid crystal and its near-black ink.
constexpr QRgb kLcdPaper = 0xFFC4CFA1;
constexpr QRgb kLcdInk = 0xFF1B2014;
constexpr QRgb kMarkColour = 0xFF3A6EA5;
constexpr QRgb kPageColour = 0xFF7A7A7A;

}  // namespace

PreviewStrip::PreviewStrip(QWidget* parent) : QAbstractScrollArea(parent) {
  setObjectName("PreviewStrip");
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  viewport()->setCursor(Qt::PointingHandCursor);
  syncScrollBar();
}

void PreviewStrip::setZoom(int zoom) {
  zoom_ = std::clamp(zoom, 1, 4);
  updateGeometry();
  syncScrollBar();
  viewport()->update();
}

void PreviewStrip::setScreenHeight(int rows) {
  screenRows_ = std::max(rows, 1);
  viewport()->update();
}

void PreviewStrip::relayoutChanged() {
  syncScrollBar();
  viewport()->update();
}

void PreviewStrip::syncScrollBar() {
  const std::int64_t total = layout_.height() * zoom_;
  const int page = viewport()->height();
  verticalScrollBar()->setRange(
      0, static_cast<int>(std::clamp<std::int64_t>(total - page, 0, 1 << 30)));
  verticalScrollBar()->setPageStep(page);
  verticalScrollBar()->setSingleStep(8 * zoom_);
  const int wide = 2 * kGutter + layout_.width() * zoom_;
  horizontalScrollBar()->setRange(0, std::max(0, wide - viewport()->width()));
  horizontalScrollBar()->setPageStep(viewport()->width());
}

void PreviewStrip::resizeEvent(QResizeEvent* e) {
  QAbstractScrollArea::resizeEvent(e);
  syncScrollBar();
}

QSize PreviewStrip::sizeHint() const {
  const int bar = verticalScrollBar()->sizeHint().width();
  return {2 * kGutter + layout_.width() * zoom_ + bar + 2 * frameWidth(),
          screenRows_ * zoom_ + 2 * frameWidth()};
}

QRect PreviewStrip::stripRect() const {
  return {kGutter - horizontalScrollBar()->value(), 0, layout_.width() * zoom_,
          viewport()->height()};
}

QPoint PreviewStrip::stripPoint(const QPoint& p) const {
  const QRect r = stripRect();
  const int x = (p.x() - r.x()) / zoom_;
  const std::int64_t y = (static_cast<std::int64_t>(verticalScrollBar()->value()) + p.y()) / zoom_;
  if (p.x() < r.x() || x >= layout_.width() || p.y() < 0 || y >= layout_.height()) {
    return {-1, -1};
  }
  return {x, static_cast<int>(y)};
}

void PreviewStrip::setMarked(std::int64_t top, std::int64_t height, bool scrollTo) {
  markTop_ = top;
  markHeight_ = height;
  if (scrollTo && top >= 0) {
    const std::int64_t y0 = top * zoom_;
    const std::int64_t y1 = (top + height) * zoom_;
    const int value = verticalScrollBar()->value();
    const int page = viewport()->height();
    if (y0 < value) {
      verticalScrollBar()->setValue(static_cast<int>(y0));
    } else if (y1 > value + page) {
      verticalScrollBar()->setValue(static_cast<int>(std::min(y0, y1 - page)));
    }
  }
  viewport()->update();
}

void PreviewStrip::paintEvent(QPaintEvent*) {
  if (beforeUse) beforeUse();
  QPainter painter(viewport());
  painter.fillRect(viewport()->rect(), palette().color(QPalette::Window));
  if (!isEnabled()) return;
  const int scroll = verticalScrollBar()->value();
  const QRect r = stripRect();
  // Only the rows on show are drawn: from the one under the top edge to the bottom edge.
  const std::int64_t firstRow = scroll / zoom_;
  const std::int64_t lastRow =
      std::min<std::int64_t>((scroll + viewport()->height()) / zoom_ + 1, layout_.height());
  const int rows = static_cast<int>(std::max<std::int64_t>(lastRow - firstRow, 0));
  if (rows > 0) {
    renderPreview(layout_, firstRow, rows, bitmap_);
    const QImage image = previewImage(bitmap_, kLcdInk, kLcdPaper, zoom_);
    painter.drawImage(QPoint(r.x(), static_cast<int>(firstRow * zoom_ - scroll)), image);
  }
  // Every screen's height, in both margins.
  painter.setPen(QColor::fromRgb(kPageColour));
  const std::int64_t pageRows = static_cast<std::int64_t>(screenRows_) * zoom_;
  for (std::int64_t y = (scroll / pageRows + 1) * pageRows; y < scroll + viewport()->height();
       y += pageRows) {
    const int vy = static_cast<int>(y - scroll);
    painter.drawLine(r.x() - kGutter, vy, r.x() - 1, vy);
    painter.drawLine(r.right() + 1, vy, r.right() + kGutter, vy);
  }
  if (markTop_ >= 0) {
    const int y = static_cast<int>(markTop_ * zoom_ - scroll);
    painter.fillRect(QRect(r.x() - kGutter + 2, y, kGutter - 4,
                           static_cast<int>(std::max<std::int64_t>(markHeight_ * zoom_, 2))),
                     QColor::fromRgb(kMarkColour));
  }
}

void PreviewStrip::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !isEnabled()) {
    QAbstractScrollArea::mousePressEvent(e);
    return;
  }
  if (beforeUse) beforeUse();
  const QRect r = stripRect();
  // Outside the strip the nearest column and the last row count.
  const int x = std::clamp((e->position().toPoint().x() - r.x()) / zoom_, 0, layout_.width() - 1);
  const std::int64_t y = std::clamp<std::int64_t>(
      (static_cast<std::int64_t>(verticalScrollBar()->value()) + e->position().toPoint().y()) /
          zoom_,
      0, std::max<std::int64_t>(layout_.height() - 1, 0));
  if (onClick) onClick(layout_.positionAt(x, y));
}

void PreviewStrip::contextMenuEvent(QContextMenuEvent* e) {
  if (!isEnabled()) return;
  QMenu menu(this);
  menu.addAction(QStringLiteral("Exporter l'aperçu..."), this, &PreviewStrip::exportRequested);
  menu.exec(e->globalPos());
}

PreviewPane::PreviewPane(Dialogs& dialogs, const PreviewSettings& settings, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs), settings_(settings) {
  setObjectName("PreviewPane");
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(2, 2, 2, 2);
  auto* bar = new QHBoxLayout;
  auto* modelLabel = new QLabel(QStringLiteral("&Modèle :"), this);
  modelBox_ = new QComboBox(this);
  modelBox_->setObjectName("PreviewModel");
  modelBox_->addItems(
      {QStringLiteral("Selon le fichier"), QStringLiteral("TI-89"), QStringLiteral("TI-92 Plus")});
  modelLabel->setBuddy(modelBox_);
  auto* zoomLabel = new QLabel(QStringLiteral("&Zoom :"), this);
  zoomBox_ = new QComboBox(this);
  zoomBox_->setObjectName("PreviewZoom");
  zoomBox_->addItems(
      {QStringLiteral("×1"), QStringLiteral("×2"), QStringLiteral("×3"), QStringLiteral("×4")});
  zoomLabel->setBuddy(zoomBox_);
  bar->addWidget(modelLabel);
  bar->addWidget(modelBox_);
  bar->addSpacing(6);
  bar->addWidget(zoomLabel);
  bar->addWidget(zoomBox_);
  bar->addStretch(1);
  column->addLayout(bar);
  strip_ = new PreviewStrip(this);
  column->addWidget(strip_, 1);

  strip_->setZoom(settings_.zoom);
  zoomBox_->setCurrentIndex(settings_.zoom - 1);
  modelBox_->setCurrentIndex(settings_.model == 89 ? 1 : settings_.model == 92 ? 2 : 0);
  strip_->beforeUse = [this] { applyPending(); };
  strip_->onClick = [this](PreviewPos pos) {
    if (child_ == nullptr) return;
    child_->model().setSel(pos, 0);
    child_->Richedit->scrollCaretIntoView();
    child_->Richedit->setFocus(Qt::MouseFocusReason);
  };
  connect(strip_, &PreviewStrip::exportRequested, this, &PreviewPane::exportStrip);
  connect(zoomBox_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (updatingBoxes_ || index < 0) return;
    settings_.zoom = index + 1;
    strip_->setZoom(settings_.zoom);
    caretMoved(true);
    emit settingsChanged(settings_);
  });
  connect(modelBox_, &QComboBox::currentIndexChanged, this, &PreviewPane::modelChosen);
  setDocument(nullptr);
}

void PreviewPane::setPaneVisible(bool visible) {
  if (settings_.visible == visible) return;
  settings_.visible = visible;
  emit settingsChanged(settings_);
}

void PreviewPane::setDocument(TChild* child) {
  if (child_ != nullptr && child_ != child) {
    child_->Richedit->disconnect(this);
    child_->disconnect(this);
  }
  const bool same = child_ == child && child != nullptr;
  child_ = child;
  pending_ = false;
  stale_ = false;
  setEnabled(child != nullptr);
  if (child == nullptr) {
    strip_->layout().setText({});
    strip_->setMarked(-1, 0, false);
    strip_->relayoutChanged();
    return;
  }
  if (!same) {
    connect(child->Richedit, &EditorView::textReplaced, this, &PreviewPane::textReplaced);
    connect(child->Richedit, &EditorView::caretMoved, this, [this] { caretMoved(true); });
    connect(child, &TChild::documentChanged, this, &PreviewPane::refreshModel);
    // A save under another name changes the caption: the extension may name another model.
    connect(child, &QWidget::windowTitleChanged, this, &PreviewPane::refreshModel);
    // While the window is being destroyed it is no longer a TChild: look at the pointer
    // only once the destruction is over.
    connect(child, &QObject::destroyed, this, [this] {
      QTimer::singleShot(0, this, [this] {
        if (child_.isNull()) setDocument(nullptr);
      });
    });
  }
  if (!isVisible()) {
    // Nothing of the previous document is kept meanwhile.
    stale_ = true;
    strip_->layout().setText({});
  }
  refreshModel();
  if (stale_) return;
  strip_->layout().setText(child->model().text());
  strip_->relayoutChanged();
  caretMoved(true);
}

void PreviewPane::refreshModel() {
  if (child_ == nullptr) return;
  const int choice = choices_.value(child_.data(), settings_.model);
  const int model = choice != 0 ? choice
                                : modelForFile(lowerExtension(pathFromUtf8(child_->fileName())),
                                               AppSettings.DefaultExt);
  updatingBoxes_ = true;
  modelBox_->setCurrentIndex(choice == 89 ? 1 : choice == 92 ? 2 : 0);
  updatingBoxes_ = false;
  strip_->setScreenHeight(screenHeight(model));
  if (model != model_ || strip_->layout().width() != screenWidth(model)) {
    model_ = model;
    if (!stale_) applyPending();
    strip_->layout().setWidth(screenWidth(model));
    strip_->relayoutChanged();
    caretMoved(false);
  }
}

void PreviewPane::modelChosen(int index) {
  if (updatingBoxes_ || index < 0) return;
  const int choice = index == 1 ? 89 : index == 2 ? 92 : 0;
  settings_.model = choice;
  if (child_ != nullptr) choices_.insert(child_.data(), choice);
  refreshModel();
  emit settingsChanged(settings_);
}

void PreviewPane::textReplaced(qint64 pos, qint64 removed, qint64 inserted) {
  if (!pending_) {
    pending_ = true;
    pendStart_ = pos;
    pendOld_ = removed;
    pendNew_ = inserted;
  } else {
    // Merge with the change still pending: the union of both spans, in the document's
    // coordinates before and after.
    const std::int64_t delta = pendNew_ - pendOld_;
    const std::int64_t a = std::min<std::int64_t>(pendStart_, pos);
    const std::int64_t b = std::max<std::int64_t>(pendStart_ + pendNew_, pos + removed);
    pendStart_ = a;
    pendOld_ = b - delta - a;
    pendNew_ = b + inserted - removed - a;
  }
  strip_->viewport()->update();
}

void PreviewPane::applyPending() {
  if (stale_ && child_ != nullptr) {
    stale_ = false;
    pending_ = false;
    strip_->layout().setText(child_->model().text());
    strip_->relayoutChanged();
    return;
  }
  if (!pending_ || child_ == nullptr) return;
  pending_ = false;
  strip_->layout().edit(pendStart_, pendOld_, child_->model().text(pendStart_, pendNew_));
  strip_->relayoutChanged();
}

void PreviewPane::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  caretMoved(true);
}

void PreviewPane::caretMoved(bool scroll) {
  // A hidden pane only gathers the changes; they are laid out once it shows.
  if (child_ == nullptr || !isVisible()) return;
  applyPending();
  const PreviewLayout& layout = strip_->layout();
  const PreviewParagraph& p = layout.paragraphs()[layout.paragraphAt(child_->model().caret())];
  strip_->setMarked(p.top, p.height, scroll);
}

QImage PreviewPane::exportImage() {
  applyPending();
  return previewImage(renderWholePreview(strip_->layout()), kPrintInk, kPrintPaper, settings_.zoom);
}

void PreviewPane::exportStrip() {
  if (child_ == nullptr) return;
  FileDialogOptions o;
  o.title = "Exporter l'aperçu";
  o.filter = "Images PNG (*.png)|*.png";
  o.defaultExt = "png";
  o.initialDir = pathFromUtf8(child_->directory());
  const std::string name = child_->fileName();
  o.fileName = (name.empty() ? std::string("apercu") : name.substr(0, name.rfind('.'))) + ".png";
  const auto path = dialogs_.saveFile(o);
  if (!path) return;
  runCommand(dialogs_, [&] { savePreviewPng(exportImage(), *path); });
}

PreviewDock::PreviewDock(QMainWindow& frame, QAction& toggle, Dialogs& dialogs,
                         std::function<TChild*()> activeDocument)
    : frame_(frame), dialogs_(dialogs), activeDocument_(std::move(activeDocument)) {
  {
    auto registry =
        openUserRegistry([&dialogs](const std::string& text) { dialogs.message(text); });
    settings_ = loadPreviewSettings(*registry);
  }
  toggle.setChecked(settings_.visible);
  QObject::connect(&toggle, &QAction::triggered, &frame, [this](bool on) {
    PreviewPane* p = pane();
    p->parentWidget()->setVisible(on);
    p->setPaneVisible(on);
  });
  if (settings_.visible) make(false);  // the settings just read
}

PreviewPane* PreviewDock::pane() {
  return pane_ != nullptr ? pane_ : make(true);
}

PreviewPane* PreviewDock::make(bool reread) {
  if (reread) {
    // Made later than the start: the zoom and the model as stored now (another window may
    // have changed them since), shown or not as the action says.
    auto registry = openUserRegistry([this](const std::string& text) { dialogs_.message(text); });
    const bool visible = settings_.visible;
    settings_ = loadPreviewSettings(*registry);
    settings_.visible = visible;
  }
  auto* dock = new QDockWidget(QStringLiteral("Aperçu"), &frame_);
  dock->setObjectName("Apercu");
  // Shown and hidden by the action alone, so that the stored visibility is the person's.
  dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
  pane_ = new PreviewPane(dialogs_, settings_, dock);
  dock->setWidget(pane_);
  frame_.addDockWidget(Qt::RightDockWidgetArea, dock);
  dock->setVisible(settings_.visible);
  Dialogs& dialogs = dialogs_;
  QObject::connect(
      pane_, &PreviewPane::settingsChanged, pane_, [&dialogs](const PreviewSettings& s) {
        runCommand(dialogs, [&] {
          auto registry =
              openUserRegistry([&dialogs](const std::string& text) { dialogs.message(text); });
          savePreviewSettings(*registry, s);
        });
      });
  if (activeDocument_) pane_->setDocument(activeDocument_());
  return pane_;
}

}  // namespace scrivle
