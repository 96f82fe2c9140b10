// The editor control: a view over a TextModel it owns. It paints the visible screen
// lines cell by cell in the calculator font, keeps the caret and the selection (shown
// without focus too), and turns keys, input-method text and the mouse into model
// edits. Each key raises onKeyDown before the control acts and onKeyPress for the
// character it types, as the tag routine expects.
#pragma once

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "calc/keyboard.h"
#include "editor/text_model.h"
#include "platform/clipboard.h"

class QPainter;

namespace scrivle {

class EditorView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit EditorView(QWidget* parent = nullptr);
  ~EditorView() override;

  // The model's notification callbacks (onTextChanged, onStyleChanged,
  // onSelectionChanged) belong to the view: listen to the signals below instead.
  TextModel& model() { return *model_; }
  const TextModel& model() const { return *model_; }

  // Vertical bar always shown, or none. There is never a horizontal bar: the text
  // wraps at the view's width.
  void setVerticalScrollBarOn(bool on);
  bool verticalScrollBarOn() const { return scrollBarOn_; }

  // Shown on a right click (or the menu key); not owned.
  void setContextMenu(QMenu* menu);
  QMenu* contextMenu() const { return menu_; }
  // Called just before the menu shows, with the text position clicked (the caret for
  // the menu key), so that items for that place can be put in.
  std::function<void(QMenu& menu, Pos pos)> onContextMenu;

  // Ranges (start, length) drawn with a wavy red underline over the text, asked for the
  // positions [from, to) while painting. An overlay only: the text, its styles and the
  // undo history never change. Call refreshUnderlines() when the answer changes.
  std::function<void(Pos from, Pos to, std::vector<std::pair<Pos, Pos>>& out)> wavyUnderlines;
  void refreshUnderlines();

  void scrollCaretIntoView();
  // The caret's blink timer runs: only while this view has the focus of the active window.
  bool caretBlinking() const { return blink_.isActive(); }

  // Raised before the control acts on a key, with the AZERTY key code and shift set.
  // Setting keyCode to 0 makes the control ignore the key (no character, no move).
  std::function<void(int& keyCode, ShiftState shift)> onKeyDown;
  // Raised for a key that types a character (Enter 13, Backspace 8, Tab 9 and Escape 27
  // included), after onKeyDown. Setting ch to 0 drops it; another value types that one.
  std::function<void(unsigned char& ch)> onKeyPress;

  // Clipboard commands; cut and paste do nothing on a read-only text. Each is one
  // undo step.
  void cut();
  void copy();
  void paste();
  // Not owned; nullptr returns to the system clipboard.
  void setClipboard(Clipboard* clipboard);
  Clipboard* clipboard() const { return clipboard_; }

  // Read-only stops the person's edits; navigation and selection still work. The key
  // events are raised all the same (the handlers decide what a key does to them).
  void setReadOnly(bool readOnly);
  bool isReadOnly() const;

  // Tab types a tab character (default) or moves the focus.
  void setWantTabs(bool want) { wantTabs_ = want; }
  bool wantTabs() const { return wantTabs_; }

  // Geometry, in viewport coordinates.
  int firstVisibleLine() const;
  int visibleLineCount() const;  // lines wholly visible, at least 1
  Pos posAt(const QPoint& point) const;
  QPoint pointOf(Pos pos) const;  // top-left corner of the cell of pos
  QRect caretRect() const;
  // The screen line the caret is drawn on (the end of a wrapped line keeps its line).
  Pos caretLine() const;

  QSize sizeHint() const override;
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

 signals:
  void caretMoved();
  // The text changed, by the person or by program.
  void textEdited();
  // A paste brought characters with no calculator equivalent, which came in as '?'.
  void pasteReplacedCharacters(int count);
  // The same change in detail: [pos, pos + removed) became `inserted` new bytes. Raised
  // before textEdited, while the model already holds the new text.
  void textReplaced(qint64 pos, qint64 removed, qint64 inserted);

 protected:
  bool event(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void inputMethodEvent(QInputMethodEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void timerEvent(QTimerEvent* e) override;
  bool focusNextPrevChild(bool next) override;

 private:
  struct LineHit {
    Pos pos = 0;
    bool lineEnd = false;  // at the end of a wrapped line rather than the next one's start
  };

  bool consumesKey(const QKeyEvent* e) const;
  void typeByte(unsigned char b);
  void applyChar(unsigned char ch);
  void actOnKey(int keyCode, ShiftState shift);
  void afterAction();

  void moveTo(Pos pos, bool extend, bool lineEnd = false);
  void moveVertically(Pos lines, bool extend);
  Pos wordLeft(Pos pos) const;
  Pos wordRight(Pos pos) const;
  Pos stepLeft(Pos pos) const;
  Pos stepRight(Pos pos) const;
  bool wrapsAfter(Pos line) const;
  LineHit hitTest(const QPoint& point) const;

  void deleteBeside(bool forward, bool word);
  void deleteRange(Pos start, Pos end);
  void undo();
  void redo();

  void syncLayout();
  void scheduleSync();
  void updateLines(Pos firstLine, Pos lastLine);
  void updateSelectionArea();
  // Repaints what an edit of [from, to) changed on screen.
  void updateEdited(Pos from, Pos to);
  void restartBlink();
  void updateForFocus();
  void paintWavy(QPainter& painter, const std::vector<std::pair<Pos, Pos>>& ranges, Pos lineStart,
                 Pos shown, int y) const;
  QColor colourOf(Colour colour) const;

  std::unique_ptr<TextModel> model_;
  mutable QPixmap wavyStrip_;
  std::unique_ptr<Clipboard> systemClipboard_;
  Clipboard* clipboard_ = nullptr;
  QPointer<QMenu> menu_;
  bool scrollBarOn_ = true;
  bool wantTabs_ = true;
  bool atLineEnd_ = false;
  int goalColumn_ = -1;  // kept across Up/Down moves
  bool dragging_ = false;
  bool syncQueued_ = false;
  bool scrollPending_ = false;
  int wheelRemainder_ = 0;
  bool caretOn_ = true;
  QBasicTimer blink_;
  Pos paintedLineCount_ = -1;  // screen lines when the text last changed
  Pos shownSelFirst_ = 0;      // screen lines of the selection last painted
  Pos shownSelLast_ = 0;
};

}  // namespace scrivle
