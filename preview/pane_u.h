// The "Aperçu" pane: the active document laid out on the calculator's screen as one
// tall strip, live. It follows the document the frame gives it (setDocument), keeps a
// model choice per document, and reports its settings so that the frame can store them.
#pragma once

#include <QAbstractScrollArea>
#include <QHash>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "preview/layout.h"
#include "preview/raster.h"
#include "preview/source.h"

class QAction;
class QComboBox;
class QMainWindow;

namespace scrivle {

class Dialogs;
class TChild;

// The strip itself, zoomed, with the caret's paragraph marked in the left margin and
// every screen's height marked in the right one.
class PreviewStrip : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit PreviewStrip(QWidget* parent = nullptr);

  PreviewLayout& layout() { return layout_; }
  void setZoom(int zoom);
  int zoom() const { return zoom_; }
  void setScreenHeight(int rows);
  // The caret's paragraph rows (strip rows), marked and kept in view.
  void setMarked(std::int64_t top, std::int64_t height, bool scrollTo);
  // Called before anything reads the layout (pending edits are applied there).
  std::function<void()> beforeUse;
  // A click on the strip at a text position.
  std::function<void(PreviewPos)> onClick;
  void relayoutChanged();  // the strip's height may have changed
  static constexpr int kGutter = 8;
  // What a pixel of the viewport shows: strip column and row, -1 outside the strip.
  QPoint stripPoint(const QPoint& viewportPoint) const;
  QRect stripRect() const;          // where the strip's visible part is drawn in the viewport
  QSize sizeHint() const override;  // a whole screen at the zoom

 signals:
  void exportRequested();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;

 private:
  void syncScrollBar();
  PreviewLayout layout_;
  PreviewBitmap bitmap_;
  int zoom_ = 2;
  int screenRows_ = kTi92Height;
  std::int64_t markTop_ = -1;
  std::int64_t markHeight_ = 0;
};

class PreviewPane : public QWidget {
  Q_OBJECT

 public:
  PreviewPane(Dialogs& dialogs, const PreviewSettings& settings, QWidget* parent = nullptr);

  // The document to show; nullptr empties and disables the pane.
  void setDocument(TChild* child);
  TChild* document() const { return child_; }
  const PreviewSettings& settings() const { return settings_; }
  void setPaneVisible(bool visible);
  // The model shown: 89 or 92.
  int model() const { return model_; }
  PreviewStrip* strip() const { return strip_; }
  // The whole strip at the current zoom, black on white, as the export writes it.
  QImage exportImage();
  void exportStrip();

 signals:
  void settingsChanged(const PreviewSettings& settings);

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  void textReplaced(qint64 pos, qint64 removed, qint64 inserted);
  // Lays out what is pending: the whole text when the document came while the pane was
  // hidden, else the edits gathered since the last layout.
  void applyPending();
  void refreshModel();
  void caretMoved(bool scroll);
  void modelChosen(int index);

  Dialogs& dialogs_;
  PreviewSettings settings_;
  QPointer<TChild> child_;
  QHash<const TChild*, int> choices_;  // per document: 0, 89 or 92
  QComboBox* modelBox_ = nullptr;
  QComboBox* zoomBox_ = nullptr;
  PreviewStrip* strip_ = nullptr;
  int model_ = 92;
  // Text changes not yet laid out: layout [start, start + oldLen) is now the document's
  // [start, start + newLen).
  bool pending_ = false;
  // The document came while the pane was hidden: its text is laid out once it is needed
  // (a hidden pane would otherwise lay out every document activated, 10 MB ones included).
  bool stale_ = false;
  std::int64_t pendStart_ = 0, pendOld_ = 0, pendNew_ = 0;
  bool updatingBoxes_ = false;
};

// The pane in a dock "Aperçu" at the right of the frame, shown and hidden by `toggle`,
// with its settings read from and written to the registry. The dock is made when first
// shown (at once when it was left open): a hidden preview costs a start nothing.
class PreviewDock {
 public:
  // `activeDocument` gives the document the pane shows when it is made.
  PreviewDock(QMainWindow& frame, QAction& toggle, Dialogs& dialogs,
              std::function<TChild*()> activeDocument);
  PreviewDock(const PreviewDock&) = delete;
  PreviewDock& operator=(const PreviewDock&) = delete;
  // The pane, made if it was not yet.
  PreviewPane* pane();
  // The pane if it was made, else nullptr.
  PreviewPane* madePane() const { return pane_; }

 private:
  PreviewPane* make(bool reread);

  QMainWindow& frame_;
  Dialogs& dialogs_;
  std::function<TChild*()> activeDocument_;
  PreviewSettings settings_;
  PreviewPane* pane_ = nullptr;
};

}  // namespace scrivle
