#include "editor/editor_view_u.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>
#include <functional>
#include <utility>
#include <vector>

#include "calc/charset.h"
#include "editor/calc_font_u.h"
#include "support/fake_clipboard.h"

namespace scrivle {
namespace {

class EditorViewTest : public ::testing::Test {
 protected:
  EditorViewTest() {
    view.setClipboard(&clipboard);
    view.resize(400, 200);
    view.show();
    view.setFocus();
    view.onKeyDown = [this](int& code, ShiftState shift) {
      downs.emplace_back(code, shift);
      if (code == suppressCode) code = 0;
    };
    view.onKeyPress = [this](unsigned char& ch) {
      presses.push_back(ch);
      if (ch == dropChar) ch = 0;
      if (ch == 'q') ch = 'Q';
    };
  }
  TextModel& model() { return view.model(); }
  QPoint cellCentre(int column, int row) const {
    const CalcFont& f = CalcFont::instance();
    return {column * f.cellWidth() + f.cellWidth() / 4, row * f.cellHeight() + f.cellHeight() / 2};
  }

  test::FakeClipboard clipboard;
  EditorView view;
  std::vector<std::pair<int, ShiftState>> downs;
  std::vector<unsigned char> presses;
  int suppressCode = -1;
  unsigned char dropChar = 0xFF;
};

TEST_F(EditorViewTest, TypingEnterBackspaceAndDelete) {
  QTest::keyClicks(&view, "abc");
  EXPECT_EQ(model().text(), "abc");
  QTest::keyClick(&view, Qt::Key_Return);
  EXPECT_EQ(model().text(), "abc\r\n");
  EXPECT_EQ(model().caret(), 5);
  QTest::keyClicks(&view, "d");
  // Backspace after the pair removes CR and LF together.
  QTest::keyClick(&view, Qt::Key_Backspace);
  QTest::keyClick(&view, Qt::Key_Backspace);
  EXPECT_EQ(model().text(), "abc");
  QTest::keyClick(&view, Qt::Key_Return);
  QTest::keyClicks(&view, "d");
  QTest::keyClick(&view, Qt::Key_Home);
  QTest::keyClick(&view, Qt::Key_Left);
  EXPECT_EQ(model().caret(), 3);  // before the CR, never between CR and LF
  QTest::keyClick(&view, Qt::Key_Delete);
  EXPECT_EQ(model().text(), "abcd");
  // Enter raised key-down 13 and key-press 13; Backspace 8 and 8; Delete key-down only.
  EXPECT_NE(std::find(presses.begin(), presses.end(), 13), presses.end());
  EXPECT_NE(std::find(presses.begin(), presses.end(), 8), presses.end());
  EXPECT_EQ(downs.back(), std::make_pair(46, ShiftState{ShiftNone}));
  // Ctrl+Backspace removes the word before the caret.
  QTest::keyClicks(&view, " efg");
  QTest::keyClick(&view, Qt::Key_Backspace, Qt::ControlModifier);
  EXPECT_EQ(model().text(), "abc d");
}

TEST_F(EditorViewTest, HandlersSuppressDropAndReplace) {
  suppressCode = 'X';  // 88
  QTest::keyClicks(&view, "axb");
  EXPECT_EQ(model().text(), "ab");
  dropChar = 'c';
  QTest::keyClicks(&view, "cq");
  EXPECT_EQ(model().text(), "abQ");
  suppressCode = vk::Left;
  QTest::keyClick(&view, Qt::Key_Left);
  EXPECT_EQ(model().caret(), 3);
  suppressCode = vk::Return;
  QTest::keyClick(&view, Qt::Key_Return);
  EXPECT_EQ(model().text(), "abQ");
  // Dropping Backspace's character keeps the text.
  dropChar = 8;
  QTest::keyClick(&view, Qt::Key_Backspace);
  EXPECT_EQ(model().text(), "abQ");
}

TEST_F(EditorViewTest, KeyDownSeesAzertyCodes) {
  QTest::keyClick(&view, '#');
  QTest::keyClick(&view, 'U');
  QTest::keyClick(&view, '&');
  QTest::keyClick(&view, '1');
  ASSERT_EQ(downs.size(), 4U);
  EXPECT_EQ(downs[0], std::make_pair(51, ShiftState{ShiftCtrl | ShiftAlt}));
  EXPECT_EQ(downs[1], std::make_pair(85, ShiftState{ShiftShift}));
  EXPECT_EQ(downs[2], std::make_pair(49, ShiftState{ShiftNone}));
  EXPECT_EQ(downs[3], std::make_pair(49, ShiftState{ShiftShift}));
  EXPECT_EQ(model().text(), "#U&1");
  // Non-character keys carry the real modifiers.
  QTest::keyClick(&view, Qt::Key_Left, Qt::ShiftModifier | Qt::ControlModifier);
  EXPECT_EQ(downs.back(), std::make_pair(37, ShiftState{ShiftShift | ShiftCtrl}));
  // Keypad keys report their own codes and still type their character.
  model().setSel(model().length(), 0);
  QTest::keyClick(&view, Qt::Key_1, Qt::KeypadModifier);
  QTest::keyClick(&view, Qt::Key_Plus, Qt::KeypadModifier);
  EXPECT_EQ(downs[downs.size() - 2], std::make_pair(97, ShiftState{ShiftNone}));
  EXPECT_EQ(downs.back(), std::make_pair(107, ShiftState{ShiftNone}));
  EXPECT_EQ(model().text(), "#U&11+");
}

TEST_F(EditorViewTest, InputMethodTextTakesTheKeyRoad) {
  QInputMethodEvent event;
  event.setCommitString(QString::fromUtf8("êα"));
  QApplication::sendEvent(&view, &event);
  EXPECT_EQ(model().text(), "\xEA\x80");
  ASSERT_EQ(presses.size(), 2U);
  EXPECT_EQ(presses[0], 0xEA);
  EXPECT_EQ(downs.size(), 2U);
  EXPECT_EQ(downs[0].first, strokeForTyped(0xEA).keyCode);
  EXPECT_TRUE(view.testAttribute(Qt::WA_InputMethodEnabled));
  EXPECT_TRUE(view.inputMethodQuery(Qt::ImEnabled).toBool());
}

TEST_F(EditorViewTest, ReadOnlyBlocksEditsButNotNavigation) {
  model().load("hello\r\nworld");
  clipboard.setText("zz");
  view.setReadOnly(true);
  QTest::keyClicks(&view, "ab");
  QTest::keyClick(&view, Qt::Key_Return);
  QTest::keyClick(&view, Qt::Key_Delete);
  QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
  QTest::keyClick(&view, Qt::Key_Backspace);
  EXPECT_EQ(model().caret(), 12);
  QTest::keyClick(&view, Qt::Key_Home, Qt::ShiftModifier);
  EXPECT_EQ(model().selStart(), 7);
  EXPECT_EQ(model().selLength(), 5);
  view.paste();
  view.cut();
  QTest::keyClick(&view, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(model().text(), "hello\r\nworld");
  view.copy();
  EXPECT_EQ(clipboard.text(), "world");
  EXPECT_FALSE(downs.empty());  // the handlers still hear the keys
}

TEST_F(EditorViewTest, ArrowsSelectAndMoveByWordAndLine) {
  model().load("one two\r\nthree");
  model().setSel(0);
  QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
  QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(model().selStart(), 0);
  EXPECT_EQ(model().selLength(), 2);
  QTest::keyClick(&view, Qt::Key_Right);  // collapses to the end
  EXPECT_EQ(model().caret(), 2);
  EXPECT_EQ(model().selLength(), 0);
  QTest::keyClick(&view, Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(model().caret(), 4);  // start of "two"
  QTest::keyClick(&view, Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(model().caret(), 7);
  QTest::keyClick(&view, Qt::Key_Right);  // over the whole line break
  EXPECT_EQ(model().caret(), 9);
  QTest::keyClick(&view, Qt::Key_Left, Qt::ControlModifier);
  EXPECT_EQ(model().caret(), 7);
  QTest::keyClick(&view, Qt::Key_Down);
  EXPECT_EQ(model().caret(), 14);  // column 7 clamps to the end of "three"
  QTest::keyClick(&view, Qt::Key_Up);
  EXPECT_EQ(model().caret(), 7);  // back to the goal column
  QTest::keyClick(&view, Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(model().selStart(), 0);
  EXPECT_EQ(model().selLength(), 7);
  EXPECT_EQ(model().caret(), 0);
}

// Ctrl+Right and Ctrl+Left stop where the model's words (double click, whole-word
// search) begin and end, across every byte value.
TEST_F(EditorViewTest, CtrlArrowsFollowTheModelsWords) {
  std::string text;
  for (int b = 0; b < 256; ++b) text += static_cast<char>(b);
  text += text;  // every byte next to its neighbours, twice
  model().load(text);
  const Pos n = model().length();
  auto blank = [&](Pos p) { return model().byteAt(p) == ' ' || model().byteAt(p) == '\t'; };
  auto inWord = [&](Pos p) { return p < n && model().wordEnd(p) > p; };
  model().setSel(0);
  int steps = 0;
  for (Pos p = 0; p < n && steps < 2000; ++steps) {
    QTest::keyClick(&view, Qt::Key_Right, Qt::ControlModifier);
    const Pos q = model().caret();
    ASSERT_GT(q, p);
    Pos end = q;
    while (end > p && blank(end - 1)) --end;
    if (inWord(p)) {
      EXPECT_EQ(end, model().wordEnd(p)) << "Ctrl+Right from " << p;
    } else {
      for (Pos x = p; x < end; ++x) {
        EXPECT_FALSE(inWord(x)) << "Ctrl+Right from " << p << " skips a word at " << x;
      }
      if (end == q && q < n && model().byteAt(p) != '\r' && model().byteAt(p) != '\n') {
        EXPECT_TRUE(inWord(q) || model().byteAt(q) == '\r' || model().byteAt(q) == '\n')
            << "Ctrl+Right from " << p << " stops at " << q;
      }
    }
    p = q;
  }
  for (Pos p = n; p > 0;) {
    QTest::keyClick(&view, Qt::Key_Left, Qt::ControlModifier);
    const Pos q = model().caret();
    ASSERT_LT(q, p);
    if (inWord(q)) {
      EXPECT_EQ(q, model().wordStart(q + 1)) << "Ctrl+Left from " << p;
    }
    p = q;
  }
}

TEST_F(EditorViewTest, WrapsAtTheViewWidthAndScrolls) {
  const CalcFont& f = CalcFont::instance();
  EXPECT_EQ(model().wrapColumns(), view.viewport()->width() / f.cellWidth());
  EXPECT_EQ(view.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  const int withBar = model().wrapColumns();
  view.setVerticalScrollBarOn(false);
  EXPECT_EQ(view.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_GT(model().wrapColumns(), withBar);
  view.setVerticalScrollBarOn(true);
  EXPECT_EQ(model().wrapColumns(), withBar);
  EXPECT_EQ(view.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

  std::string text;
  for (int i = 0; i < 100; ++i) text += "line\r\n";
  model().load(text);
  model().setSel(0);
  view.scrollCaretIntoView();
  EXPECT_EQ(view.firstVisibleLine(), 0);
  QWheelEvent wheel(QPointF(10, 10), view.mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, -120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(view.viewport(), &wheel);
  EXPECT_EQ(view.firstVisibleLine(), 3);
  QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(model().caret(), 600);
  EXPECT_GE(view.caretLine(), view.firstVisibleLine());
  EXPECT_LT(view.caretLine(), view.firstVisibleLine() + view.visibleLineCount());
  QTest::keyClick(&view, Qt::Key_PageUp);
  EXPECT_LT(model().caret(), 600);
  EXPECT_GE(view.caretLine(), view.firstVisibleLine());

  // A long paragraph wraps: End stays on its screen line.
  model().load(std::string(static_cast<std::size_t>(withBar) + 5, 'x'));
  model().setSel(0);
  EXPECT_EQ(model().lineCount(), 2);
  QTest::keyClick(&view, Qt::Key_End);
  EXPECT_EQ(model().caret(), withBar);
  EXPECT_EQ(view.caretLine(), 0);
  QTest::keyClick(&view, Qt::Key_Home);
  EXPECT_EQ(model().caret(), 0);
}

TEST_F(EditorViewTest, MouseClickDragDoubleClickAndContextMenu) {
  model().load("hello world\r\nsecond line");
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, cellCentre(3, 1));
  EXPECT_EQ(model().caret(), 13 + 3);
  QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ShiftModifier, cellCentre(1, 0));
  EXPECT_EQ(model().selStart(), 1);
  EXPECT_EQ(model().selLength(), 15);
  // Past the end of a line: its end, before the break.
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, cellCentre(30, 0));
  EXPECT_EQ(model().caret(), 11);
  QTest::mousePress(view.viewport(), Qt::LeftButton, {}, cellCentre(0, 0));
  QTest::mouseMove(view.viewport(), cellCentre(5, 0));
  QMouseEvent move(QEvent::MouseMove, cellCentre(5, 0),
                   view.viewport()->mapToGlobal(cellCentre(5, 0)), Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
  QApplication::sendEvent(view.viewport(), &move);
  QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, cellCentre(5, 0));
  EXPECT_EQ(model().selectedText(), "hello");
  QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, cellCentre(8, 0));
  EXPECT_EQ(model().selectedText(), "world");

  QMenu menu;
  menu.addAction(QStringLiteral("Couper"));
  view.setContextMenu(&menu);
  // Right click inside the selection keeps it; outside it moves the caret.
  QTest::mouseClick(view.viewport(), Qt::RightButton, {}, cellCentre(7, 0));
  QContextMenuEvent inside(QContextMenuEvent::Mouse, cellCentre(7, 0),
                           view.viewport()->mapToGlobal(cellCentre(7, 0)));
  QApplication::sendEvent(view.viewport(), &inside);
  EXPECT_EQ(model().selectedText(), "world");
  EXPECT_TRUE(menu.isVisible());
  menu.hide();
  QTest::mouseClick(view.viewport(), Qt::RightButton, {}, cellCentre(2, 1));
  EXPECT_EQ(model().selLength(), 0);
  EXPECT_EQ(model().caret(), 15);
}

TEST_F(EditorViewTest, ClipboardCommandsAreSingleUndoSteps) {
  model().load("abc def");
  model().setSel(0, 3);
  view.copy();
  EXPECT_EQ(clipboard.text(), "abc");
  model().setSel(4, 3);
  view.cut();
  EXPECT_EQ(clipboard.text(), "def");
  EXPECT_EQ(model().text(), "abc ");
  clipboard.setText("x\r\ny");
  view.paste();
  EXPECT_EQ(model().text(), "abc x\r\ny");
  EXPECT_EQ(model().caret(), 8);
  model().undo();
  EXPECT_EQ(model().text(), "abc ");
  model().undo();
  EXPECT_EQ(model().text(), "abc def");
  // The keyboard's own shortcuts work when no window action claims them.
  model().setSel(0, 3);
  QTest::keyClick(&view, Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(model().text(), " def");
  QTest::keyClick(&view, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(model().text(), "abc def");
}

TEST_F(EditorViewTest, MainWindowShortcutsWin) {
  QWidget window;
  auto* editor = new EditorView(&window);
  editor->setClipboard(&clipboard);
  int triggered = 0;
  auto* action = new QAction(&window);
  action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
  window.addAction(action);
  QObject::connect(action, &QAction::triggered, [&] { ++triggered; });
  auto* typing = new QAction(&window);
  typing->setShortcut(QKeySequence(Qt::Key_Left));
  window.addAction(typing);
  window.show();
  editor->setFocus();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));  // window shortcuts need it active
  QTest::keyClick(editor, Qt::Key_B, Qt::ControlModifier);
  EXPECT_EQ(triggered, 1);
  editor->model().load("ab");
  editor->model().setSel(1);
  QTest::keyClick(editor, Qt::Key_Left);  // the editor's own key, not the action's
  EXPECT_EQ(editor->model().caret(), 0);
}

TEST_F(EditorViewTest, PaintsSelectionWithoutFocus) {
  model().load("abc\r\n\x80\x81\x0C");
  model().setSel(0, 2);
  view.clearFocus();
  const QImage image = view.viewport()->grab().toImage();
  const CalcFont& f = CalcFont::instance();
  const QColor highlight = view.palette().color(QPalette::Inactive, QPalette::Highlight);
  EXPECT_EQ(image.pixelColor(1, 1), highlight);
  EXPECT_NE(image.pixelColor(2 * f.cellWidth() + 1, 1), highlight);
  model().setSelectionHidden(true);
  const QImage hidden = view.viewport()->grab().toImage();
  EXPECT_NE(hidden.pixelColor(1, 1), highlight);
}

// A word flagged by the spelling shows a red zigzag of two-pixel steps along the bottom
// of its cells, from its first column to the last even one, whatever the word's length.
TEST_F(EditorViewTest, WavyUnderlineIsTheZigzagUnderEachFlaggedWord) {
  const std::vector<std::pair<Pos, Pos>> flagged = {{0, 1}, {2, 3}, {6, 25}, {32, 60}};
  view.wavyUnderlines = [&](Pos, Pos, std::vector<std::pair<Pos, Pos>>& out) { out = flagged; };
  view.resize(1400, 200);
  model().load("a bcd " + std::string(25, 'e') + " " + std::string(60, 'f'));
  view.clearFocus();
  const QImage shown = view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const CalcFont& f = CalcFont::instance();
  QImage expected(shown.size(), QImage::Format_RGB32);
  expected.fill(Qt::white);
  {
    QPainter p(&expected);
    p.setPen(QPen(QColor(255, 0, 0), 1));
    const int bottom = f.cellHeight() - 1;
    for (const auto& [start, length] : flagged) {
      const int x0 = static_cast<int>(start) * f.cellWidth();
      QPolygon wave;
      for (int x = x0; x <= x0 + static_cast<int>(length) * f.cellWidth(); x += 2) {
        wave << QPoint(x, ((x - x0) / 2) % 2 == 0 ? bottom : bottom - 2);
      }
      p.drawPolyline(wave);
    }
  }
  const QRgb red = qRgb(255, 0, 0);
  int redPixels = 0;
  for (int y = f.cellHeight() - 4; y <= f.cellHeight(); ++y) {
    for (int x = 0; x < shown.width(); ++x) {
      const bool want = expected.pixel(x, y) == red;
      redPixels += want ? 1 : 0;
      ASSERT_EQ(shown.pixel(x, y) == red, want) << "at " << x << "," << y;
    }
  }
  EXPECT_GT(redPixels, 89 * f.cellWidth() / 2);
}

// A view above a line edit in an active window, the view focused: the focus can go back
// and forth between them.
struct ViewAndLineEdit {
  explicit ViewAndLineEdit(const std::string& text) {
    auto* column = new QVBoxLayout(&window);
    column->addWidget(view);
    column->addWidget(line);
    view->model().load(text);
    window.resize(400, 300);
    window.show();
    window.activateWindow();
  }
  QWidget window;
  EditorView* view = new EditorView;
  QLineEdit* line = new QLineEdit;
};

// The caret blinks only in the focused view of the active window: a program left in the
// background has no timer waking it.
TEST(EditorViewCaret, BlinksOnlyWithTheFocusOfTheActiveWindow) {
  if (QApplication::cursorFlashTime() <= 0) GTEST_SKIP() << "no blinking on this platform";
  ViewAndLineEdit w("abc\r\ndef");
  QWidget& window = w.window;
  EditorView* view = w.view;
  QLineEdit* line = w.line;
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  view->setFocus();
  QApplication::processEvents();
  EXPECT_TRUE(view->caretBlinking());

  line->setFocus();
  QApplication::processEvents();
  EXPECT_FALSE(view->caretBlinking());
  // Moving the caret by program restarts the blink phase, not the timer.
  view->model().setSel(5, 0);
  view->model().typeText("x");
  QApplication::processEvents();
  EXPECT_FALSE(view->caretBlinking());

  view->setFocus();
  QApplication::processEvents();
  EXPECT_TRUE(view->caretBlinking());
  // Another window activated: the view keeps its place as focus of its window, unlit.
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  EXPECT_FALSE(view->caretBlinking());
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  EXPECT_TRUE(view->caretBlinking());
}

// Gaining or losing the focus draws again only the caret, or the whole view when a
// selection shows (its colours follow the focus); what is on screen must then be what a
// full drawing gives.
TEST(EditorViewFocus, RepaintsTheCaretOnlyUnlessASelectionShows) {
  ViewAndLineEdit w("abc def ghi\r\njkl mno\r\n" + std::string(300, 'p'));
  QWidget& window = w.window;
  EditorView* view = w.view;
  QLineEdit* line = w.line;
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  view->setFocus();
  QApplication::processEvents();

  struct Recorder : QObject {
    QRegion painted;
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(e)->region();
      return false;
    }
  } recorder;
  view->viewport()->installEventFilter(&recorder);
  QWidget* viewport = view->viewport();
  // The offscreen display reads back exactly what was drawn; a real one may differ from a
  // widget's own drawing in ways that have nothing to do with the view (Windows).
  const bool readsBack = QGuiApplication::platformName() == QLatin1String("offscreen");
  const auto onScreen = [&] {
    QApplication::processEvents();
    if (!readsBack) return QImage();
    const QPoint at = viewport->mapTo(&window, QPoint(0, 0));
    return window.screen()
        ->grabWindow(window.winId(), at.x(), at.y(), viewport->width(), viewport->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
  };
  const auto fullDrawing = [&] {
    if (!readsBack) return QImage();
    return viewport->grab().toImage().convertToFormat(QImage::Format_RGB32);
  };

  // The screen is read before the full drawing, which is itself a paint event; what an
  // earlier step left to draw is drawn first.
  const auto change = [&](const std::function<void()>& act, QImage& screen) {
    for (int i = 0; i < 50; ++i) {
      recorder.painted = {};
      QTest::qWait(5);
      if (recorder.painted.isEmpty()) break;
    }
    recorder.painted = {};
    act();
    screen = onScreen();
    return recorder.painted;
  };
  QImage screen;
  const QRegion caretOnly = change([&] { line->setFocus(); }, screen);
  EXPECT_EQ(screen, fullDrawing());
  EXPECT_FALSE(caretOnly.isEmpty());
  EXPECT_LT(caretOnly.boundingRect().width(), 3 * CalcFont::instance().cellWidth());
  EXPECT_LT(caretOnly.boundingRect().height(), 2 * CalcFont::instance().cellHeight());
  EXPECT_LT(change([&] { view->setFocus(); }, screen).boundingRect().width(),
            3 * CalcFont::instance().cellWidth());
  EXPECT_EQ(screen, fullDrawing());

  view->model().setSel(4, 7);
  QApplication::processEvents();
  EXPECT_TRUE(change([&] { line->setFocus(); }, screen).contains(viewport->rect()));
  EXPECT_EQ(screen, fullDrawing());
  EXPECT_TRUE(change([&] { view->setFocus(); }, screen).contains(viewport->rect()));
  EXPECT_EQ(screen, fullDrawing());
}

}  // namespace
}  // namespace scrivle
