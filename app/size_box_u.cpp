#include "app/size_box_u.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace scrivle {

namespace {
// Typing pauses this long before the line edit takes the text.
constexpr int kPauseMs = 300;
}  // namespace

SizeBox::SizeBox(QWidget* parent) : QLineEdit(parent) {
  setReadOnly(true);
  shownLayout_.setTextFormat(Qt::PlainText);
  pause_.setSingleShot(true);
  pause_.setInterval(kPauseMs);
  connect(&pause_, &QTimer::timeout, this, [this] { takeText(); });
}

void SizeBox::setShownText(const QString& text) {
  if (text == shown_) return;
  shown_ = text;
  if (hasFocus() || hasSelectedText() || !isVisible()) {
    takeText();
    return;
  }
  update();
  pause_.start();
}

void SizeBox::takeText() {
  pause_.stop();
  if (text() != shown_) setText(shown_);
}

void SizeBox::focusInEvent(QFocusEvent* e) {
  takeText();
  QLineEdit::focusInEvent(e);
}

void SizeBox::mousePressEvent(QMouseEvent* e) {
  takeText();
  QLineEdit::mousePressEvent(e);
}

void SizeBox::contextMenuEvent(QContextMenuEvent* e) {
  takeText();
  QLineEdit::contextMenuEvent(e);
}

void SizeBox::paintEvent(QPaintEvent* e) {
  QStyleOptionFrame panel;
  initStyleOption(&panel);
  const QRect r = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this);
  const QFontMetrics fm = fontMetrics();
  constexpr int kHorizontalMargin = 2;  // QLineEdit's own, around the text
  const QRect line(r.x() + kHorizontalMargin, r.y() + (r.height() - fm.height() + 1) / 2,
                   r.width() - 2 * kHorizontalMargin, fm.height());
  if (shownLayout_.text() != shown_) {
    shownLayout_.setText(shown_);
    shownLayout_.prepare(QTransform(), font());
  }
  // Drawn as the line edit draws an unfocused box whose text fits; anything else is the
  // line edit's own business.
  if (hasFocus() || hasSelectedText() || !hasFrame() || !textMargins().isNull() ||
      alignment() != (Qt::AlignLeft | Qt::AlignVCenter) ||
      shownLayout_.size().width() >= line.width()) {
    takeText();
    QLineEdit::paintEvent(e);
    return;
  }
  const qreal ratio = devicePixelRatioF();
  const auto key =
      static_cast<qint64>(palette().cacheKey() ^ (qint64(panel.state) << 40) ^
                          (qint64(width()) << 20) ^ (qint64(height()) << 8) ^ qint64(ratio * 16));
  if (frame_.isNull() || frameKey_ != key) {
    frame_ = QPixmap(size() * ratio);
    frame_.setDevicePixelRatio(ratio);
    frame_.fill(Qt::transparent);
    QPainter fp(&frame_);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &fp, this);
    frameKey_ = key;
  }
  QPainter p(this);
  p.drawPixmap(0, 0, frame_);
  p.setClipRect(r);
  p.setPen(palette().color(QPalette::Text));
  p.drawStaticText(line.topLeft(), shownLayout_);
}

}  // namespace scrivle
