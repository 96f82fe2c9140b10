// The character table window: the 256 calculator codes in the calculator font, always
// above the main window; a double click or Enter types the selected one into the active
// document.
#pragma once

#include <QWidget>
#include <functional>
#include <optional>

#include "tools/chartable.h"

class QAction;

namespace scrivle {

class DocumentHost;
class TChild;

// The 32 x 8 grid of cells: one selected cell, moved by the mouse, the keyboard and the
// wheel (wrapping around at the edges).
class TCharGrid : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kColWidth = 15;
  static constexpr int kRowHeight = 19;
  static constexpr int kLine = 1;  // grid lines

  explicit TCharGrid(QWidget* parent = nullptr);

  TableCell current() const { return current_; }
  void setCurrent(TableCell cell);
  QRect cellRect(TableCell cell) const;

  std::function<void()> onDblClick;  // StringGridDblClick
  std::function<void()> onEnter;     // Enter in StringGridKeyDown
  std::function<void()> onEscape;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  bool cellAt(const QPoint& point, TableCell& cell) const;

  TableCell current_;
  int wheelRemainder_ = 0;
};

class TTable : public QWidget {
  Q_OBJECT
 public:
  // With the documents' host as parent, the table finds the active document, the colour
  // display and the document area there by itself.
  explicit TTable(QWidget* parent = nullptr);
  // A table on screen at the end keeps its place for the next run.
  ~TTable() override;

  TCharGrid* StringGrid = nullptr;
  QAction* InserCar = nullptr;

  // Where the characters go: the active document window, or nullptr when none is open.
  std::function<TChild*()> activeDocument;
  // Whether colour display is on.
  std::function<bool()> colourOn;
  // The document area on the desktop: the first time, the table opens at its right edge,
  // clear of the menus and the tool bars.
  std::function<QRect()> documentArea;

  void connectTo(DocumentHost& host);

  // Availability of the insertion and the grid's cursor (run on each activation).
  void FormActivate();
  // Types the selected cell's character into the active document.
  void InserCarExecute();

  // Shown where the person left it (this run, or the last one), hidden remembering where.
  void setVisible(bool visible) override;

 signals:
  // Closed by its own close box (it is only hidden): the command that shows it unchecks.
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  TChild* document() const;
  void insertIfEnabled();
  void placeBeforeShowing();
  void rememberPlace();

  std::optional<QPoint> place_;  // the frame's top-left corner, once known
};

// Tmain.AffichertableExecute: the table follows the action's checked state (the
// toolkit has already inverted it).
void AffichertableExecute(TTable& table, const QAction& affichertable);

}  // namespace scrivle
