#include "app/size_box_u.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QTest>

namespace scrivle {
namespace {

// Two boxes of one size in one window: the size box and a plain read-only line edit,
// with the focus in a third one, as it is in the editor when typing.
struct SideBySide {
  SideBySide() {
    auto* layout = new QHBoxLayout(&window);
    layout->addWidget(focused);
    plain->setReadOnly(true);
    for (QLineEdit* e : {static_cast<QLineEdit*>(box), plain}) {
      e->setFixedWidth(230);
      layout->addWidget(e);
    }
    window.show();
    window.activateWindow();
    focused->setFocus();
    QApplication::processEvents();
  }
  QWidget window;
  QLineEdit* focused = new QLineEdit(&window);
  SizeBox* box = new SizeBox(&window);
  QLineEdit* plain = new QLineEdit(&window);
};

// The size box changes at every keystroke through a drawing of its own: it must look
// exactly like the line edit it is, for every digit, and for a text that does not fit.
TEST(SizeBox, LooksLikeALineEditWithTheSameText) {
  SideBySide w;
  for (const QString& text :
       {QString("Taille sur TI : 7 octets"), QString("Taille sur TI : 12345678 octets"),
        QString("Taille sur TI : 90 octets"),
        QString("Taille sur TI : 100000000000000000000 octets")}) {
    SCOPED_TRACE(text.toStdString());
    w.box->setShownText(text);
    w.plain->setText(text);
    EXPECT_EQ(w.box->shownText(), text);
    const QImage shown = w.box->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage want = w.plain->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(shown.size(), want.size());
    for (int y = 0; y < want.height(); ++y) {
      for (int x = 0; x < want.width(); ++x) {
        ASSERT_EQ(shown.pixel(x, y), want.pixel(x, y)) << "at " << x << "," << y;
      }
    }
  }
}

// The line edit itself takes the text once the changes pause, and at once when someone
// looks closer: the focus (to select and copy it) or a change while it has the focus.
TEST(SizeBox, TheLineEditTakesTheTextWhenTheChangesPauseOrOnFocus) {
  SideBySide w;
  w.box->setShownText("Taille sur TI : 8 octets");
  QTRY_COMPARE(w.box->text(), QString("Taille sur TI : 8 octets"));
  w.box->setShownText("Taille sur TI : 9 octets");
  w.box->setShownText("Taille sur TI : 10 octets");
  EXPECT_EQ(w.box->text(), "Taille sur TI : 8 octets");  // laid out later, once
  w.box->setFocus();
  EXPECT_EQ(w.box->text(), "Taille sur TI : 10 octets");
  w.box->setShownText("Taille sur TI : 11 octets");
  EXPECT_EQ(w.box->text(), "Taille sur TI : 11 octets");
  w.box->selectAll();
  EXPECT_EQ(w.box->selectedText(), "Taille sur TI : 11 octets");
}

}  // namespace
}  // namespace scrivle
