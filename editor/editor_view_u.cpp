#include "editor/editor_view_u.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <QTimer>
#include <algorithm>

#include "calc/charset.h"
#include "editor/calc_font_u.h"
#include "editor/word_rules.h"
#include "platform/clipboard_u.h"

namespace scrivle {

namespace {

constexpr int kWheelLines = 3;

ShiftState shiftOf(Qt::KeyboardModifiers mods) {
  ShiftState s = ShiftNone;
  if (mods & Qt::ShiftModifier) {
    s |= ShiftShift;
  }
  if (mods & Qt::ControlModifier) {
    s |= ShiftCtrl;
  }
  if (mods & Qt::AltModifier) {
    s |= ShiftAlt;
  }
  return s;
}

bool printable(const QString& text) {
  if (text.isEmpty()) {
    return false;
  }
  for (QChar c : text) {
    const char16_t u = c.unicode();
    if (u < 0x20 || (u >= 0x7F && u < 0xA0)) {
      return false;
    }
  }
  return true;
}

// A key event that types text: printable text without Ctrl or Alt alone (Ctrl+Alt is
// AltGr on Windows) and not from the keypad, whose keys have codes of their own.
bool typesText(const QKeyEvent* e) {
  const Qt::KeyboardModifiers mods = e->modifiers();
  const bool ctrl = (mods & Qt::ControlModifier) != 0;
  const bool alt = (mods & Qt::AltModifier) != 0;
  if (ctrl != alt) {
    return false;
  }
  if ((mods & Qt::KeypadModifier) != 0 && e->key() != Qt::Key_Space) {
    return false;
  }
  return printable(e->text());
}

std::string toCalc(const QString& text) {
  const QList<uint> ucs4 = text.toUcs4();
  std::u32string wide;
  wide.reserve(static_cast<std::size_t>(ucs4.size()));
  for (uint c : ucs4) {
    wide += static_cast<char32_t>(c);
  }
  return charset::fromUtf32(wide);
}

// Windows virtual-key code of a key that does not type text (0 when it has none).
int virtualKey(const QKeyEvent* e) {
  const int key = e->key();
  const bool keypad = (e->modifiers() & Qt::KeypadModifier) != 0;
  if (keypad) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
      return 96 + (key - Qt::Key_0);
    }
    switch (key) {
      case Qt::Key_Asterisk:
        return 106;
      case Qt::Key_Plus:
        return 107;
      case Qt::Key_Minus:
        return 109;
      case Qt::Key_Period:
      case Qt::Key_Comma:
        return 110;
      case Qt::Key_Slash:
        return 111;
      default:
        break;
    }
  }
  switch (key) {
    case Qt::Key_Backspace:
      return vk::Back;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return vk::Tab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return vk::Return;
    case Qt::Key_Shift:
      return vk::Shift;
    case Qt::Key_Control:
      return vk::Control;
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
      return vk::Menu;
    case Qt::Key_Pause:
      return 19;
    case Qt::Key_CapsLock:
      return 20;
    case Qt::Key_Escape:
      return vk::Escape;
    case Qt::Key_Space:
      return vk::Space;
    case Qt::Key_PageUp:
      return vk::Prior;
    case Qt::Key_PageDown:
      return vk::Next;
    case Qt::Key_End:
      return vk::End;
    case Qt::Key_Home:
      return vk::Home;
    case Qt::Key_Left:
      return vk::Left;
    case Qt::Key_Up:
      return vk::Up;
    case Qt::Key_Right:
      return vk::Right;
    case Qt::Key_Down:
      return vk::Down;
    case Qt::Key_Print:
      return 44;
    case Qt::Key_Insert:
      return vk::Insert;
    case Qt::Key_Delete:
      return vk::Delete;
    case Qt::Key_Menu:
      return 93;
    case Qt::Key_NumLock:
      return 144;
    case Qt::Key_ScrollLock:
      return 145;
    default:
      break;
  }
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
    return 112 + (key - Qt::Key_F1);
  }
  if (key >= Qt::Key_A && key <= Qt::Key_Z) {
    return 65 + (key - Qt::Key_A);
  }
  if (key >= Qt::Key_0 && key <= Qt::Key_9) {
    return 48 + (key - Qt::Key_0);
  }
  // Ctrl or Alt with a punctuation key: the key AZERTY types that character with.
  if (key > 0x20 && key < 0x100) {
    const std::string bytes = toCalc(QString(QChar(key)));
    if (bytes.size() == 1) {
      return strokeForTyped(static_cast<unsigned char>(bytes[0])).keyCode;
    }
  }
  return 0;
}

bool isBreakByte(unsigned char b) {
  return b == '\r' || b == '\n';
}
bool isSpaceByte(unsigned char b) {
  return b == ' ' || b == '\t';
}
int classOf(unsigned char b) {
  if (isBreakByte(b)) {
    return 0;
  }
  if (isSpaceByte(b)) {
    return 1;
  }
  return isWordByte(b) ? 2 : 3;
}

}  // namespace

EditorView::EditorView(QWidget* parent)
    : QAbstractScrollArea(parent),
      model_(std::make_unique<TextModel>()),
      systemClipboard_(std::make_unique<QtClipboard>()),
      clipboard_(systemClipboard_.get()) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setBackgroundRole(QPalette::Base);
  // paintEvent fills what it repaints: the viewport is not cleared first as well.
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  verticalScrollBar()->setSingleStep(1);

  model_->onTextChanged = [this](Pos pos, Pos removed, Pos inserted) {
    scrollPending_ = true;
    updateEdited(pos, pos + inserted);
    scheduleSync();
    emit textReplaced(pos, removed, inserted);
    emit textEdited();
  };
  model_->onStyleChanged = [this](Pos start, Pos len) {
    updateLines(model_->lineFromPos(start), model_->lineFromPos(start + std::max<Pos>(len, 0)));
  };
  model_->onSelectionChanged = [this] {
    atLineEnd_ = false;
    updateSelectionArea();
    restartBlink();
    emit caretMoved();
  };
  syncLayout();
}

EditorView::~EditorView() {
  // The model outlives nothing of ours, but a callback must not reach a half-destroyed
  // view.
  model_->onTextChanged = nullptr;
  model_->onStyleChanged = nullptr;
  model_->onSelectionChanged = nullptr;
}

void EditorView::setVerticalScrollBarOn(bool on) {
  scrollBarOn_ = on;
  setVerticalScrollBarPolicy(on ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  syncLayout();
}

void EditorView::setContextMenu(QMenu* menu) {
  menu_ = menu;
}

void EditorView::refreshUnderlines() {
  viewport()->update();
}

void EditorView::setClipboard(Clipboard* clipboard) {
  clipboard_ = clipboard != nullptr ? clipboard : systemClipboard_.get();
}

void EditorView::setReadOnly(bool readOnly) {
  model_->setReadOnly(readOnly);
}
bool EditorView::isReadOnly() const {
  return model_->readOnly();
}

QSize EditorView::sizeHint() const {
  const CalcFont& f = CalcFont::instance();
  return {80 * f.cellWidth() + 2 * frameWidth() + verticalScrollBar()->sizeHint().width(),
          25 * f.cellHeight() + 2 * frameWidth()};
}

// --- layout --------------------------------------------------------------------

int EditorView::firstVisibleLine() const {
  return verticalScrollBar()->value();
}

int EditorView::visibleLineCount() const {
  return std::max(1, viewport()->height() / CalcFont::instance().cellHeight());
}

void EditorView::syncLayout() {
  syncQueued_ = false;
  const int columns = std::max(1, viewport()->width() / CalcFont::instance().cellWidth());
  if (model_->wrapColumns() != columns) {
    model_->setWrapColumns(columns);
    paintedLineCount_ = model_->lineCount();
    viewport()->update();
  }
  const int visible = visibleLineCount();
  const Pos lines = model_->lineCount();
  QScrollBar* bar = verticalScrollBar();
  bar->setPageStep(visible);
  bar->setRange(0, static_cast<int>(std::max<Pos>(0, lines - visible)));
  if (scrollPending_) {
    scrollPending_ = false;
    scrollCaretIntoView();
  }
}

void EditorView::scheduleSync() {
  if (syncQueued_) {
    return;
  }
  syncQueued_ = true;
  QTimer::singleShot(0, this, [this] {
    if (syncQueued_) {
      syncLayout();
    }
  });
}

void EditorView::resizeEvent(QResizeEvent* e) {
  QAbstractScrollArea::resizeEvent(e);
  syncLayout();
}

void EditorView::scrollContentsBy(int /*dx*/, int /*dy*/) {
  viewport()->update();
}

void EditorView::scrollCaretIntoView() {
  if (syncQueued_) {
    syncLayout();
  }
  const Pos line = caretLine();
  const int first = firstVisibleLine();
  const int visible = visibleLineCount();
  QScrollBar* bar = verticalScrollBar();
  if (line < first) {
    bar->setValue(static_cast<int>(line));
  } else if (line >= first + visible) {
    bar->setValue(static_cast<int>(line - visible + 1));
  }
}

bool EditorView::wrapsAfter(Pos line) const {
  if (line < 0 || line + 1 >= model_->lineCount()) {
    return false;
  }
  return model_->lineStart(line + 1) == model_->lineStart(line) + model_->lineLength(line);
}

Pos EditorView::caretLine() const {
  const Pos caret = model_->caret();
  const Pos line = model_->lineFromPos(caret);
  if (atLineEnd_ && line > 0 && model_->lineStart(line) == caret && wrapsAfter(line - 1)) {
    return line - 1;
  }
  return line;
}

QPoint EditorView::pointOf(Pos pos) const {
  const CalcFont& f = CalcFont::instance();
  const Pos line = (pos == model_->caret()) ? caretLine() : model_->lineFromPos(pos);
  const Pos column = pos - model_->lineStart(line);
  return {static_cast<int>(column) * f.cellWidth(),
          static_cast<int>(line - firstVisibleLine()) * f.cellHeight()};
}

QRect EditorView::caretRect() const {
  const QPoint p = pointOf(model_->caret());
  return {p.x(), p.y(), 2, CalcFont::instance().cellHeight()};
}

EditorView::LineHit EditorView::hitTest(const QPoint& point) const {
  const CalcFont& f = CalcFont::instance();
  const int cw = f.cellWidth();
  const int ch = f.cellHeight();
  const int row = point.y() >= 0 ? point.y() / ch : -1 - (-point.y() - 1) / ch;
  const Pos line = std::clamp<Pos>(firstVisibleLine() + row, 0, model_->lineCount() - 1);
  const Pos start = model_->lineStart(line);
  const Pos length = model_->lineLength(line);
  const Pos column = std::max(0, (point.x() + cw / 2) / cw);
  if (column >= length) {
    return {start + length, wrapsAfter(line)};
  }
  return {start + column, false};
}

Pos EditorView::posAt(const QPoint& point) const {
  return hitTest(point).pos;
}

// --- painting --------------------------------------------------------------------

QColor EditorView::colourOf(Colour colour) const {
  if ((colour & 0x80000000U) != 0) {
    // Windows system colours: the few a text can carry.
    switch (colour & 0xFFU) {
      case 5:
        return palette().color(QPalette::Base);
      case 13:
        return palette().color(QPalette::Highlight);
      case 14:
        return palette().color(QPalette::HighlightedText);
      case 15:
        return palette().color(QPalette::Button);
      case 17:
        return palette().color(QPalette::PlaceholderText);
      case 18:
        return palette().color(QPalette::ButtonText);
      default:
        return palette().color(QPalette::Text);
    }
  }
  return {static_cast<int>(colour & 0xFFU), static_cast<int>((colour >> 8) & 0xFFU),
          static_cast<int>((colour >> 16) & 0xFFU)};
}

void EditorView::paintEvent(QPaintEvent* e) {
  if (syncQueued_) {
    syncLayout();
  }
  QPainter painter(viewport());
  const QRect area = e->rect();
  painter.fillRect(area, palette().color(QPalette::Base));

  CalcFont& font = CalcFont::instance();
  const int cw = font.cellWidth();
  const int ch = font.cellHeight();
  const int first = firstVisibleLine();
  const Pos lineCount = model_->lineCount();
  const int columns = std::max(1, viewport()->width() / cw) + 1;

  const bool showSel = model_->selLength() > 0 && !model_->selectionHidden();
  const Pos selFrom = model_->selStart();
  const Pos selTo = selFrom + model_->selLength();
  const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
  const QColor highlight = palette().color(group, QPalette::Highlight);
  const QColor highlightText = palette().color(group, QPalette::HighlightedText);
  const std::vector<CharStyle>& styles = model_->palette();

  std::vector<std::uint8_t> runs;
  const int rowFrom = std::max(0, area.top() / ch);
  const int rowTo = area.bottom() / ch;
  std::vector<std::pair<Pos, Pos>> wavy;
  if (wavyUnderlines && first + rowFrom < lineCount) {
    const Pos lastLine = std::min<Pos>(first + rowTo, lineCount - 1);
    wavyUnderlines(model_->lineStart(first + rowFrom),
                   model_->lineStart(lastLine) + model_->lineLength(lastLine), wavy);
  }
  for (int row = rowFrom; row <= rowTo; ++row) {
    const Pos line = first + row;
    if (line >= lineCount) {
      break;
    }
    const Pos start = model_->lineStart(line);
    const Pos length = model_->lineLength(line);
    const Pos shown = std::min<Pos>(length, columns);
    const std::string bytes = model_->text(start, shown);
    model_->styleRuns(start, shown, runs);
    const int y = row * ch;
    for (Pos i = 0; i < static_cast<Pos>(bytes.size()); ++i) {
      const Pos pos = start + i;
      const int x = static_cast<int>(i) * cw;
      const CharStyle style = i < static_cast<Pos>(runs.size()) && runs[i] < styles.size()
                                  ? styles[runs[i]]
                                  : CharStyle{};
      QColor colour = colourOf(style.colour);
      if (showSel && pos >= selFrom && pos < selTo) {
        painter.fillRect(x, y, cw, ch, highlight);
        colour = highlightText;
      }
      font.drawByte(painter, x, y, static_cast<unsigned char>(bytes[i]), colour, style.bold,
                    style.italic);
      if (style.underline || style.strikeOut) {
        painter.setPen(colour);
        if (style.underline) {
          const int uy = std::min(y + font.ascent() + 1, y + ch - 1);
          painter.drawLine(x, uy, x + cw - 1, uy);
        }
        if (style.strikeOut) {
          const int sy = y + font.ascent() * 2 / 3;
          painter.drawLine(x, sy, x + cw - 1, sy);
        }
      }
    }
    if (!wavy.empty()) paintWavy(painter, wavy, start, shown, y);
    // A selected line break shows as one highlighted cell after the line.
    const Pos end = start + length;
    if (showSel && !wrapsAfter(line) && end < model_->length() && end >= selFrom && end < selTo &&
        length < columns) {
      painter.fillRect(static_cast<int>(length) * cw, y, cw, ch, highlight);
    }
  }

  if (hasFocus() && caretOn_) {
    const QRect caret = caretRect();
    if (caret.intersects(area)) {
      painter.fillRect(caret, palette().color(QPalette::Text));
    }
  }
}

namespace {

// The zigzag under a word: two-pixel steps between the bottom row of the cells and two
// rows above, the same four columns over and over. It is drawn once as a long strip at
// the screen's pixel ratio, with a pixel of margin all round for the line's thickness
// at higher ratios, and copied under each word.
constexpr int kWavyStrip = 512;  // a multiple of the four-column period

QPixmap makeWavyStrip(qreal ratio) {
  QPixmap strip(QSize(kWavyStrip + 2, 5) * ratio);
  strip.setDevicePixelRatio(ratio);
  strip.fill(Qt::transparent);
  QPainter p(&strip);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QPen(QColor(255, 0, 0), 1));
  QPolygon wave;
  for (int x = 0; x <= kWavyStrip; x += 2) wave << QPoint(1 + x, (x / 2) % 2 == 0 ? 3 : 1);
  p.drawPolyline(wave);
  return strip;
}

}  // namespace

void EditorView::paintWavy(QPainter& painter, const std::vector<std::pair<Pos, Pos>>& ranges,
                           Pos lineStart, Pos shown, int y) const {
  const CalcFont& font = CalcFont::instance();
  const int cw = font.cellWidth();
  const int top = y + font.cellHeight() - 3;
  const qreal ratio = painter.device()->devicePixelRatioF();
  if (wavyStrip_.isNull() || wavyStrip_.devicePixelRatio() != ratio) {
    wavyStrip_ = makeWavyStrip(ratio);
  }
  for (const auto& [start, length] : ranges) {
    const Pos from = std::max(start, lineStart);
    const Pos to = std::min(start + length, lineStart + shown);
    if (to <= from) continue;
    const int x0 = static_cast<int>(from - lineStart) * cw;
    // The last corner is on the range's last even column.
    const int width = static_cast<int>(to - from) * cw / 2 * 2;
    for (int done = 0; done <= width; done += kWavyStrip) {
      const int piece = std::min(width - done, kWavyStrip);
      painter.drawPixmap(QRectF(x0 + done - 1, top - 1, piece + 2, 5), wavyStrip_,
                         QRectF(0, 0, (piece + 2) * ratio, 5 * ratio));
    }
  }
}

void EditorView::updateLines(Pos firstLine, Pos lastLine) {
  const int ch = CalcFont::instance().cellHeight();
  const Pos first = std::max<Pos>(firstLine, firstVisibleLine());
  const Pos last = std::min<Pos>(lastLine, firstVisibleLine() + visibleLineCount());
  if (last < first) {
    return;
  }
  const int top = static_cast<int>(first - firstVisibleLine()) * ch;
  viewport()->update(0, top, viewport()->width(), static_cast<int>(last - first + 1) * ch);
}

void EditorView::updateEdited(Pos from, Pos to) {
  // A keystroke repaints the lines it re-wrapped: from the line before it (a shortened
  // word may move up there; nothing above that line can change) to the end of the
  // paragraph. When the number of lines changed, everything below moved and repaints too.
  const Pos lines = model_->lineCount();
  const Pos first =
      std::max(model_->lineFromPos(model_->paragraphStart(model_->paragraphOfPos(from))),
               model_->lineFromPos(from) - 1);
  const Pos bottom = firstVisibleLine() + visibleLineCount();
  Pos last = bottom;
  if (lines == paintedLineCount_) {
    last = model_->lineFromPos(to);
    while (last < bottom && wrapsAfter(last)) {
      ++last;
    }
  }
  paintedLineCount_ = lines;
  updateLines(first, last);
}

void EditorView::updateSelectionArea() {
  // The old selection and caret lines, then the new ones.
  updateLines(shownSelFirst_, shownSelLast_);
  const Pos from = model_->lineFromPos(model_->selStart());
  const Pos to = model_->lineFromPos(model_->selStart() + model_->selLength());
  shownSelFirst_ = std::max<Pos>(0, from - 1);
  shownSelLast_ = to;
  updateLines(shownSelFirst_, shownSelLast_);
}

void EditorView::restartBlink() {
  caretOn_ = true;
  if (hasFocus()) {
    const int flash = QApplication::cursorFlashTime();
    if (flash > 0) {
      blink_.start(flash / 2, this);
    } else {
      blink_.stop();
    }
  }
  viewport()->update(caretRect().adjusted(-1, 0, 1, 0));
}

void EditorView::timerEvent(QTimerEvent* e) {
  if (e->timerId() == blink_.timerId()) {
    caretOn_ = !caretOn_;
    viewport()->update(caretRect().adjusted(-1, 0, 1, 0));
    return;
  }
  QAbstractScrollArea::timerEvent(e);
}

void EditorView::focusInEvent(QFocusEvent* e) {
  // Not the base class's: it draws the whole widget again, text and all.
  e->accept();
  restartBlink();
  updateForFocus();
}

void EditorView::focusOutEvent(QFocusEvent* e) {
  e->accept();
  blink_.stop();
  caretOn_ = false;
  updateForFocus();
}

void EditorView::updateForFocus() {
  // The focus changes the selection's colours and shows or hides the caret: the rest of
  // the text stays as drawn (a whole view drawn again each time the window is activated).
  // The frame around the text may show the focus.
  update(QRegion(rect()).subtracted(viewport()->geometry()));
  if (model_->selLength() > 0 && !model_->selectionHidden()) {
    viewport()->update();
  } else {
    viewport()->update(caretRect().adjusted(-1, 0, 1, 0));
  }
}

// --- keys ----------------------------------------------------------------------------

bool EditorView::focusNextPrevChild(bool next) {
  if (wantTabs_) {
    return false;
  }
  return QAbstractScrollArea::focusNextPrevChild(next);
}

bool EditorView::consumesKey(const QKeyEvent* e) const {
  if (typesText(e)) {
    return true;
  }
  const Qt::KeyboardModifiers mods =
      e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
  if ((mods & Qt::AltModifier) != 0) {
    return false;
  }
  const bool ctrl = (mods & Qt::ControlModifier) != 0;
  const bool shift = (mods & Qt::ShiftModifier) != 0;
  switch (e->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
      return true;
    case Qt::Key_Backspace:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return !(ctrl && shift);
    case Qt::Key_Delete:
      return !shift;  // Shift+Delete is the cut shortcut
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return wantTabs_ && !ctrl;
    default:
      return false;
  }
}

bool EditorView::event(QEvent* e) {
  if (e->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(e);
    if (consumesKey(key)) {
      key->accept();
      return true;
    }
  }
  return QAbstractScrollArea::event(e);
}

void EditorView::keyPressEvent(QKeyEvent* e) {
  if (typesText(e)) {
    for (char b : toCalc(e->text())) {
      typeByte(static_cast<unsigned char>(b));
    }
    e->accept();
    return;
  }
  const int code = virtualKey(e);
  if (code == 0) {
    e->ignore();
    return;
  }
  int keyCode = code;
  const ShiftState shift = shiftOf(e->modifiers());
  if (onKeyDown) {
    onKeyDown(keyCode, shift);
  }
  if (keyCode == 0) {
    e->accept();
    return;
  }
  if (keyCode == vk::Escape) {
    unsigned char ch = 27;
    if (onKeyPress) {
      onKeyPress(ch);
    }
    e->ignore();  // a dialog around the editor still closes on Escape
    return;
  }
  // Keypad digits and operators have key codes of their own but type their
  // character like any other key, unless the handler turned the key into another.
  const Qt::KeyboardModifiers mods = e->modifiers();
  const bool keypadText = (mods & Qt::KeypadModifier) != 0 && code >= 96 && code <= 111 &&
                          ((mods & Qt::ControlModifier) != 0) == ((mods & Qt::AltModifier) != 0) &&
                          printable(e->text());
  if (keypadText && keyCode == code) {
    for (char b : toCalc(e->text())) {
      auto ch = static_cast<unsigned char>(b);
      if (onKeyPress) {
        onKeyPress(ch);
      }
      if (ch != 0) {
        applyChar(ch);
      }
    }
    afterAction();
    e->accept();
    return;
  }
  actOnKey(keyCode, shift);
  e->accept();
}

void EditorView::inputMethodEvent(QInputMethodEvent* e) {
  // Dead keys, compose and input methods: the same road as a typed key, one
  // character at a time.
  for (char b : toCalc(e->commitString())) {
    typeByte(static_cast<unsigned char>(b));
  }
  e->accept();
}

QVariant EditorView::inputMethodQuery(Qt::InputMethodQuery query) const {
  switch (query) {
    case Qt::ImEnabled:
      return true;
    case Qt::ImCursorRectangle:
      return QRectF(caretRect());
    case Qt::ImFont:
      return CalcFont::instance().font();
    case Qt::ImCursorPosition:
    case Qt::ImAnchorPosition:
      return 0;
    case Qt::ImSurroundingText:
    case Qt::ImCurrentSelection:
      return QString();
    case Qt::ImHints:
      return static_cast<int>(Qt::ImhMultiLine | Qt::ImhNoPredictiveText);
    case Qt::ImReadOnly:
      return isReadOnly();
    default:
      return QAbstractScrollArea::inputMethodQuery(query);
  }
}

void EditorView::typeByte(unsigned char b) {
  const KeyStroke stroke = strokeForTyped(b);
  // A character AZERTY has no key for (Greek letters, symbols) is reported as the
  // plain "A" key: it types one character and means nothing to the tag routine, so
  // the size on the calculator and the modified mark follow it like any letter.
  const bool hasKey = stroke.keyCode != 0;
  int keyCode = hasKey ? stroke.keyCode : 'A';
  if (onKeyDown) {
    onKeyDown(keyCode, hasKey ? stroke.shift : ShiftNone);
  }
  if (keyCode == 0) {
    return;
  }
  unsigned char ch = b;
  if (onKeyPress) {
    onKeyPress(ch);
  }
  if (ch != 0) {
    applyChar(ch);
  }
  afterAction();
}

void EditorView::applyChar(unsigned char ch) {
  if (isReadOnly()) {
    return;
  }
  switch (ch) {
    case 8:
      deleteBeside(false, false);
      break;
    case 13:
      model_->typeText("\r\n");
      break;
    case 27:
      break;
    default:
      model_->typeText(std::string(1, static_cast<char>(ch)));
      break;
  }
}

void EditorView::afterAction() {
  syncLayout();
  scrollCaretIntoView();
  restartBlink();
}

void EditorView::actOnKey(int keyCode, ShiftState shift) {
  const bool extend = (shift & ShiftShift) != 0;
  const bool ctrl = (shift & ShiftCtrl) != 0;
  const bool alt = (shift & ShiftAlt) != 0;
  const Pos caret = model_->caret();
  // Modifier keys come before the arrow they modify: they keep the goal column too.
  const bool keepGoal = keyCode == vk::Up || keyCode == vk::Down || keyCode == vk::Prior ||
                        keyCode == vk::Next || keyCode == vk::Shift || keyCode == vk::Control ||
                        keyCode == vk::Menu;
  if (!keepGoal) {
    goalColumn_ = -1;
  }

  auto typed = [this](unsigned char ch) {
    if (onKeyPress) {
      onKeyPress(ch);
    }
    if (ch != 0) {
      applyChar(ch);
    }
  };

  switch (keyCode) {
    case vk::Back:
      if (ctrl) {
        deleteBeside(false, true);
      } else if (!alt) {
        typed(8);
      }
      break;
    case vk::Tab:
      if (!ctrl && !alt) {
        typed(9);
      }
      break;
    case vk::Return:
      if (!alt) {
        typed(13);
      }
      break;
    case vk::Delete:
      if (extend && !ctrl) {
        cut();
      } else {
        deleteBeside(true, ctrl);
      }
      break;
    case vk::Insert:
      if (ctrl) {
        copy();
      }
      if (extend && !ctrl) {
        paste();
      }
      break;
    case vk::Left:
      if (ctrl) {
        moveTo(wordLeft(caret), extend);
      } else if (!extend && model_->selLength() > 0) {
        moveTo(model_->selStart(), false);
      } else {
        moveTo(stepLeft(caret), extend);
      }
      break;
    case vk::Right:
      if (ctrl) {
        moveTo(wordRight(caret), extend);
      } else if (!extend && model_->selLength() > 0) {
        moveTo(model_->selStart() + model_->selLength(), false);
      } else {
        moveTo(stepRight(caret), extend);
      }
      break;
    case vk::Up:
      if (ctrl) {
        const Pos para = model_->paragraphOfPos(caret);
        const Pos start = model_->paragraphStart(para);
        moveTo(start < caret ? start : model_->paragraphStart(std::max<Pos>(0, para - 1)), extend);
      } else {
        moveVertically(-1, extend);
      }
      break;
    case vk::Down:
      if (ctrl) {
        const Pos para = model_->paragraphOfPos(caret);
        moveTo(para + 1 < model_->paragraphCount() ? model_->paragraphStart(para + 1)
                                                   : model_->length(),
               extend);
      } else {
        moveVertically(1, extend);
      }
      break;
    case vk::Home:
      if (ctrl) {
        moveTo(0, extend);
      } else {
        moveTo(model_->lineStart(caretLine()), extend);
      }
      break;
    case vk::End:
      if (ctrl) {
        moveTo(model_->length(), extend);
      } else {
        const Pos line = caretLine();
        moveTo(model_->lineStart(line) + model_->lineLength(line), extend, wrapsAfter(line));
      }
      break;
    case vk::Prior:
    case vk::Next: {
      const int page = std::max(1, visibleLineCount() - 1);
      const int sign = keyCode == vk::Prior ? -1 : 1;
      QScrollBar* bar = verticalScrollBar();
      bar->setValue(bar->value() + sign * page);
      moveVertically(static_cast<Pos>(sign) * page, extend);
      break;
    }
    default:
      if (ctrl && !alt) {
        switch (keyCode) {
          case 'C':
            copy();
            break;
          case 'X':
            cut();
            break;
          case 'V':
            paste();
            break;
          case 'Z':
            undo();
            break;
          case 'Y':
            redo();
            break;
          case 'A':
            model_->selectAll();
            break;
          default:
            break;
        }
      }
      break;
  }
  afterAction();
}

// --- caret moves -------------------------------------------------------------------------

Pos EditorView::stepLeft(Pos pos) const {
  if (pos <= 0) {
    return 0;
  }
  if (pos >= 2 && model_->byteAt(pos - 2) == '\r' && model_->byteAt(pos - 1) == '\n') {
    return pos - 2;
  }
  return pos - 1;
}

Pos EditorView::stepRight(Pos pos) const {
  const Pos length = model_->length();
  if (pos >= length) {
    return length;
  }
  if (model_->byteAt(pos) == '\r' && model_->byteAt(pos + 1) == '\n' && pos + 1 < length) {
    return pos + 2;
  }
  return pos + 1;
}

// Ctrl+Right: past the word (or punctuation run) and the blanks after it; a line
// break is a stop of its own.
Pos EditorView::wordRight(Pos pos) const {
  const Pos length = model_->length();
  if (pos >= length) {
    return length;
  }
  const int cls = classOf(model_->byteAt(pos));
  if (cls == 0) {
    return stepRight(pos);
  }
  Pos p = pos;
  if (cls != 1) {
    while (p < length && classOf(model_->byteAt(p)) == cls) {
      ++p;
    }
  }
  while (p < length && classOf(model_->byteAt(p)) == 1) {
    ++p;
  }
  return p;
}

Pos EditorView::wordLeft(Pos pos) const {
  if (pos <= 0) {
    return 0;
  }
  Pos p = pos;
  while (p > 0 && classOf(model_->byteAt(p - 1)) == 1) {
    --p;
  }
  if (p == 0) {
    return 0;
  }
  const int cls = classOf(model_->byteAt(p - 1));
  if (cls == 0) {
    return p == pos ? stepLeft(p) : p;
  }
  while (p > 0 && classOf(model_->byteAt(p - 1)) == cls) {
    --p;
  }
  return p;
}

void EditorView::moveTo(Pos pos, bool extend, bool lineEnd) {
  pos = std::clamp<Pos>(pos, 0, model_->length());
  // Never between the CR and the LF of a line break.
  if (pos > 0 && model_->byteAt(pos - 1) == '\r' && model_->byteAt(pos) == '\n') {
    --pos;
  }
  model_->moveCaret(pos, extend);
  if (lineEnd != atLineEnd_) {
    atLineEnd_ = lineEnd;
    updateSelectionArea();
  }
}

void EditorView::moveVertically(Pos lines, bool extend) {
  const int cw = CalcFont::instance().cellWidth();
  const Pos line = caretLine();
  if (goalColumn_ < 0) {
    goalColumn_ = pointOf(model_->caret()).x() / cw;
  }
  const Pos target = std::clamp<Pos>(line + lines, 0, model_->lineCount() - 1);
  if (target == line) {
    // Up on the first line goes to its start, Down on the last to its end.
    if (lines < 0) {
      moveTo(model_->lineStart(line), extend);
    }
    if (lines > 0) {
      moveTo(model_->lineStart(line) + model_->lineLength(line), extend);
    }
    return;
  }
  const Pos length = model_->lineLength(target);
  const int goal = goalColumn_;
  if (goal >= length) {
    moveTo(model_->lineStart(target) + length, extend, wrapsAfter(target));
  } else {
    moveTo(model_->lineStart(target) + goal, extend);
  }
  goalColumn_ = goal;
}

// --- edits ---------------------------------------------------------------------------

void EditorView::deleteRange(Pos start, Pos end) {
  if (end <= start) {
    return;
  }
  {
    UndoGroup group(*model_);
    model_->setSel(start, end - start);
    model_->replaceSelection({});
  }
}

// Backspace and Delete: the selection when there is one, else a character or a word on
// the caret's side.
void EditorView::deleteBeside(bool forward, bool word) {
  if (isReadOnly()) {
    return;
  }
  if (model_->selLength() > 0) {
    model_->replaceSelection({});
    return;
  }
  const Pos caret = model_->caret();
  if (forward) {
    deleteRange(caret, word ? wordRight(caret) : stepRight(caret));
  } else {
    deleteRange(word ? wordLeft(caret) : stepLeft(caret), caret);
  }
}

void EditorView::undo() {
  if (!isReadOnly()) {
    model_->undo();
  }
}

void EditorView::redo() {
  if (!isReadOnly()) {
    model_->redo();
  }
}

void EditorView::copy() {
  if (model_->selLength() > 0) {
    clipboard_->setText(model_->selectedText());
  }
}

void EditorView::cut() {
  if (isReadOnly() || model_->selLength() == 0) {
    return;
  }
  copy();
  model_->replaceSelection({});
  afterAction();
}

void EditorView::paste() {
  if (isReadOnly()) {
    return;
  }
  const std::string text = clipboard_->text();
  if (text.empty()) {
    return;
  }
  model_->replaceSelection(text);
  afterAction();
  if (const std::size_t n = clipboard_->replacedInLastText(); n > 0) {
    emit pasteReplacedCharacters(static_cast<int>(n));
  }
}

// --- mouse ----------------------------------------------------------------------------

void EditorView::mousePressEvent(QMouseEvent* e) {
  const LineHit hit = hitTest(e->position().toPoint());
  goalColumn_ = -1;
  if (e->button() == Qt::LeftButton) {
    const bool extend = (e->modifiers() & Qt::ShiftModifier) != 0;
    moveTo(hit.pos, extend, hit.lineEnd);
    dragging_ = true;
  } else if (e->button() == Qt::RightButton) {
    const Pos from = model_->selStart();
    const Pos to = from + model_->selLength();
    if (model_->selLength() == 0 || hit.pos < from || hit.pos > to) {
      moveTo(hit.pos, false, hit.lineEnd);
    }
  }
  afterAction();
  e->accept();
}

void EditorView::mouseMoveEvent(QMouseEvent* e) {
  if (!dragging_ || (e->buttons() & Qt::LeftButton) == 0) {
    return;
  }
  const QPoint p = e->position().toPoint();
  QScrollBar* bar = verticalScrollBar();
  if (p.y() < 0) {
    bar->setValue(bar->value() - 1);
  }
  if (p.y() >= viewport()->height()) {
    bar->setValue(bar->value() + 1);
  }
  const LineHit hit = hitTest(p);
  moveTo(hit.pos, true, hit.lineEnd);
  restartBlink();
  e->accept();
}

void EditorView::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) {
    dragging_ = false;
  }
  e->accept();
}

void EditorView::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) {
    return;
  }
  const Pos pos = posAt(e->position().toPoint());
  const Pos start = model_->wordStart(pos);
  const Pos end = model_->wordEnd(pos);
  if (end > start) {
    model_->setSel(start, end - start);
  }
  dragging_ = false;
  afterAction();
  e->accept();
}

void EditorView::wheelEvent(QWheelEvent* e) {
  wheelRemainder_ += e->angleDelta().y();
  const int notches = wheelRemainder_ / 120;
  wheelRemainder_ -= notches * 120;
  QScrollBar* bar = verticalScrollBar();
  bar->setValue(bar->value() - notches * kWheelLines);
  e->accept();
}

void EditorView::contextMenuEvent(QContextMenuEvent* e) {
  if (menu_ == nullptr) {
    e->ignore();
    return;
  }
  QPoint at = e->globalPos();
  Pos pos = posAt(viewport()->mapFromGlobal(at));
  if (e->reason() != QContextMenuEvent::Mouse) {
    at = viewport()->mapToGlobal(caretRect().bottomLeft());
    pos = model_->caret();
  }
  if (onContextMenu) onContextMenu(*menu_, pos);
  menu_->popup(at);
  e->accept();
}

}  // namespace scrivle
