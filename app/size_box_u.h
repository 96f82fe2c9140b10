// The read-only box that shows the document's size on the calculator. Its text changes at
// every keystroke, so it is cheap to change: the box's empty frame is drawn once and
// kept, and the text is drawn over it. The line edit itself takes the text when someone
// looks closer (the focus, the mouse, a selection) and once the typing pauses, not at
// every keystroke, since taking it lays the text out again.
#pragma once

#include <QLineEdit>
#include <QPixmap>
#include <QStaticText>
#include <QTimer>
#include <map>
#include <vector>

namespace scrivle {

class SizeBox : public QLineEdit {
 public:
  explicit SizeBox(QWidget* parent = nullptr);

  void setShownText(const QString& text);
  // What the box shows, the line edit's own text or not yet.
  const QString& shownText() const { return shown_; }

 protected:
  void paintEvent(QPaintEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  void takeText();

  QString shown_;
  struct Piece {
    QStaticText text;
    qreal advance = 0;
  };
  const Piece& pieceOf(const QString& text);
  std::map<QString, Piece> laidOut_;
  std::vector<const Piece*> pieces_;  // the shown text's, while painting
  QTimer pause_;
  // What the kept frame was drawn for.
  struct FrameKey {
    qint64 palette = 0;
    int state = 0;
    QSize size;
    qreal ratio = 0;
    bool operator==(const FrameKey&) const = default;
  };
  QPixmap frame_;
  FrameKey frameKey_;
};

}  // namespace scrivle
