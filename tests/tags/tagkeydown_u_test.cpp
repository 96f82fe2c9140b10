// The key-down routine behind the real editor control: key events as each keyboard
// layout produces them, dead keys, and the size reported against what the control does.
#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QTest>

#include "editor/editor_view_u.h"
#include "marks.h"
#include "tags/tagkeydown.h"

namespace scrivle {
namespace {

using test::marks;

class TagKeysTest : public ::testing::Test {
 protected:
  TagKeysTest() {
    view.resize(400, 200);
    view.show();
    view.setFocus();
    view.onKeyDown = [this](int& key, ShiftState shift) {
      size += TagKeyDown(view.model(), key, shift, skip, true, p);
    };
    view.onKeyPress = [this](unsigned char& ch) {
      if (skip != 0) ch = 0;
      skip = 0;
    };
  }
  void key(int qtKey, Qt::KeyboardModifiers mods, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, qtKey, mods, text);
    QApplication::sendEvent(&view, &press);
    QKeyEvent release(QEvent::KeyRelease, qtKey, mods, text);
    QApplication::sendEvent(&view, &release);
  }
  TextModel& model() { return view.model(); }

  TParametre p = test::tagSettings();
  EditorView view;
  std::int32_t skip = 0;
  int size = 0;
};

TEST_F(TagKeysTest, TagsTypedOnEveryLayoutArePainted) {
  const Qt::KeyboardModifiers altGr = Qt::ControlModifier | Qt::AltModifier;
  const struct {
    const char* layout = nullptr;
    Qt::KeyboardModifiers hashMods;
  } layouts[] = {{"AZERTY", altGr}, {"QWERTY", Qt::ShiftModifier}, {"QWERTZ", Qt::NoModifier}};
  for (const auto& l : layouts) {
    model().load("");
    size = 0;
    key(Qt::Key_NumberSign, l.hashMods, "#");
    key(Qt::Key_U, Qt::ShiftModifier, "U");
    EXPECT_EQ(model().text(), "#U") << l.layout;
    EXPECT_EQ(marks(model()), "bb") << l.layout;
    EXPECT_EQ(size, 2) << l.layout;
    EXPECT_EQ(skip, 0) << l.layout;
  }

  // AltGr+3 then Shift+1 on AZERTY in empty text.
  model().load("");
  size = 0;
  key(Qt::Key_NumberSign, altGr, "#");
  key(Qt::Key_1, Qt::ShiftModifier, "1");
  EXPECT_EQ(model().text(), "#1");
  EXPECT_EQ(marks(model()), "bb");
  EXPECT_EQ(model().caret(), 2);
  EXPECT_EQ(size, 2);
}

TEST_F(TagKeysTest, BackspaceJoinsAndDeadKeysBreak) {
  QTest::keyClicks(&view, "#xU");
  EXPECT_EQ(marks(model()), "...");
  QTest::keyClick(&view, Qt::Key_Left);
  QTest::keyClick(&view, Qt::Key_Backspace);
  EXPECT_EQ(model().text(), "#U");
  EXPECT_EQ(marks(model()), "bb");
  EXPECT_EQ(size, 2);

  // "ê" from a dead key, typed after "#": both plain, one byte counted.
  model().load("#");
  model().setSel(1, 0);
  size = 0;
  QInputMethodEvent commit;
  commit.setCommitString(QString::fromUtf8("ê"));
  QApplication::sendEvent(&view, &commit);
  EXPECT_EQ(model().text(), "#\xEA");
  EXPECT_EQ(marks(model()), "..");
  EXPECT_EQ(size, 1);
}

// Every deletion key at every caret position: the size reported matches what the
// control removed.
TEST_F(TagKeysTest, DeletionSizesMatchTheControl) {
  const std::string text = "ab, cd  \r\nx\n#U \xE9t\xE9";
  const struct {
    Qt::Key key = Qt::Key_unknown;
    Qt::KeyboardModifiers mods;
  } keys[] = {{Qt::Key_Backspace, Qt::NoModifier},
              {Qt::Key_Delete, Qt::NoModifier},
              {Qt::Key_Backspace, Qt::ControlModifier},
              {Qt::Key_Delete, Qt::ControlModifier},
              {Qt::Key_Backspace, Qt::ControlModifier | Qt::AltModifier},
              {Qt::Key_Delete, Qt::AltModifier}};
  for (const auto& k : keys) {
    Pos removed = 0;
    for (Pos pos = 0; pos <= static_cast<Pos>(text.size()); ++pos) {
      if (pos == 9) continue;  // the control never leaves the caret inside CR LF
      model().load(text);
      model().setSel(pos, 0);
      size = 0;
      QTest::keyClick(&view, k.key, k.mods);
      EXPECT_EQ(static_cast<Pos>(text.size()) + size, model().length())
          << "key " << k.key << " mods " << k.mods << " at " << pos;
      EXPECT_FALSE(model().selectionHidden());
      removed += static_cast<Pos>(text.size()) - model().length();
    }
    EXPECT_GT(removed, 0) << "key " << k.key << " mods " << k.mods;
  }
}

}  // namespace
}  // namespace scrivle
