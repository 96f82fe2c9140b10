#include "app/size_box_u.h"

#include <QEvent>
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
  // Drawn as the line edit draws an unfocused box whose text fits; anything else is the
  // line edit's own business.
  const bool own = !hasFocus() && !hasSelectedText() && hasFrame() && textMargins().isNull() &&
                   alignment() == (Qt::AlignLeft | Qt::AlignVCenter);
  // The text goes in pieces laid out once each: a size changes by its digits, so each
  // digit is a piece of its own, and the words between them are pieces as they stand.
  pieces_.clear();
  qreal textWidth = 0;
  if (own) {
    if (laidOut_.size() > 64) laidOut_.clear();  // texts other than sizes
    for (qsizetype i = 0; i < shown_.size();) {
      qsizetype end = i + 1;
      if (!shown_[i].isDigit()) {
        while (end < shown_.size() && !shown_[end].isDigit()) ++end;
      }
      const Piece& piece = pieceOf(shown_.mid(i, end - i));
      pieces_.push_back(&piece);
      textWidth += piece.advance;
      i = end;
    }
  }
  if (!own || textWidth >= line.width()) {
    takeText();
    QLineEdit::paintEvent(e);
    return;
  }
  const FrameKey key{palette().cacheKey(), static_cast<int>(panel.state), size(),
                     devicePixelRatioF()};
  if (frame_.isNull() || !(frameKey_ == key)) {
    frame_ = QPixmap(size() * key.ratio);
    frame_.setDevicePixelRatio(key.ratio);
    frame_.fill(Qt::transparent);
    QPainter fp(&frame_);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &fp, this);
    frameKey_ = key;
  }
  QPainter p(this);
  p.drawPixmap(0, 0, frame_);
  p.setClipRect(r);
  p.setPen(palette().color(QPalette::Text));
  qreal x = line.x();
  for (const Piece* piece : pieces_) {
    p.drawStaticText(QPointF(x, line.y()), piece->text);
    x += piece->advance;
  }
}

const SizeBox::Piece& SizeBox::pieceOf(const QString& text) {
  auto it = laidOut_.find(text);
  if (it == laidOut_.end()) {
    Piece piece;
    piece.text.setTextFormat(Qt::PlainText);
    piece.text.setText(text);
    piece.text.prepare(QTransform(), font());
    piece.advance = QFontMetricsF(font()).horizontalAdvance(text);
    it = laidOut_.emplace(text, std::move(piece)).first;
  }
  return it->second;
}

void SizeBox::changeEvent(QEvent* e) {
  if (e->type() == QEvent::FontChange) laidOut_.clear();
  QLineEdit::changeEvent(e);
}

}  // namespace scrivle
