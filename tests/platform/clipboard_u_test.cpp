#include "platform/clipboard_u.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <memory>

#include "calc/charset.h"
#include "platform/dialogs_u.h"

namespace scrivle {
namespace {

TEST(QtClipboard, KeepsOurBytesAndConvertsOtherProgramsText) {
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  all += "\r\n\r";
  const std::unique_ptr<QMimeData> data(QtClipboard::toMimeData(all));
  EXPECT_TRUE(data->hasFormat(QString::fromLatin1(QtClipboard::kMimeType)));
  EXPECT_EQ(QtClipboard::fromMimeData(data.get()), all);
  // Other programs see Unicode with LF alone.
  EXPECT_EQ(QtClipboard::toUnicode("\x80\r\nb\r"), QString::fromUtf8("α\nb\r"));

  QtClipboard clipboard;
  clipboard.setText(all);
  EXPECT_EQ(clipboard.text(), all);
  QGuiApplication::clipboard()->setText(QString::fromUtf8("α β\nx\r\ny"));
  EXPECT_EQ(clipboard.text(), charset::fromUtf8("α β") + "\r\nx\r\ny");
  QGuiApplication::clipboard()->setText(QString::fromUtf8("\U0001D5A4€≈ ’中"));
  EXPECT_EQ(clipboard.text(),
            "\x95"
            "EUR? '?");
  EXPECT_EQ(clipboard.replacedInLastText(), 2u);
  QGuiApplication::clipboard()->clear();
  EXPECT_EQ(clipboard.text(), "");
}

// Answers the next modal box from inside its event loop.
template <typename F>
void whenModal(F answer) {
  QTimer::singleShot(0, [answer] {
    QWidget* w = QApplication::activeModalWidget();
    ASSERT_NE(w, nullptr);
    answer(w);
  });
}

TEST(QtDialogs, ConfirmationBoxCaptionButtonsAndEscape) {
  QtDialogs dialogs;
  whenModal([](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Confirmation"));
    EXPECT_EQ(box->text(), QStringLiteral("Enregistrer ?"));
    QStringList captions;
    for (QAbstractButton* b : box->buttons()) captions << b->text();
    captions.sort();
    EXPECT_EQ(captions, (QStringList{"&Non", "&Oui", "Annuler"}));
    for (QAbstractButton* b : box->buttons()) {
      if (b->text() == QStringLiteral("&Non")) b->click();
    }
  });
  EXPECT_EQ(dialogs.confirm("Enregistrer ?", true), Answer::No);
  whenModal([](QWidget* w) { w->close(); });
  EXPECT_EQ(dialogs.confirm("Q", true), Answer::Cancel);
  whenModal([](QWidget* w) {
    EXPECT_EQ(qobject_cast<QMessageBox*>(w)->buttons().size(), 2);
    w->close();
  });
  EXPECT_EQ(dialogs.confirm("Q", false), Answer::No);
  whenModal([](QWidget* w) {
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Scrivle"));
    EXPECT_EQ(qobject_cast<QMessageBox*>(w)->icon(), QMessageBox::Critical);
    w->close();
  });
  dialogs.error("Impossible d'ouvrir le fichier x");
}

// A box whose main window is not on screen (start-up, compress-only mode) is centred on
// the screen; no box offers minimise or maximise.
TEST(QtDialogs, BoxWithoutMainWindowIsCentredOnTheScreen) {
  QWidget hiddenMain;
  hiddenMain.setGeometry(0, 0, 200, 100);  // never shown
  QtDialogs dialogs(&hiddenMain);
  auto look = [](QWidget* w) {
    const QRect screen = w->screen()->availableGeometry();
    const QPoint c = w->frameGeometry().center();
    EXPECT_LE((c - screen.center()).manhattanLength(), 4) << c.x() << "," << c.y();
    const Qt::WindowFlags f = w->windowFlags();
    EXPECT_TRUE(f.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(f.testFlag(Qt::WindowMinimizeButtonHint) ||
                 f.testFlag(Qt::WindowMaximizeButtonHint));
    w->close();
  };
  whenModal(look);
  dialogs.message("Le fichier spécifié n'existe pas.");
  whenModal(look);
  EXPECT_EQ(dialogs.confirm(
                "Des fichiers temporaires ont été retrouvés. Voulez-vous les récupérer ?", false),
            Answer::No);
}

// The close question keeps a long file name on one line: the box widens, up to the
// screen's width.
TEST(QtDialogs, LongFileNameIsNotBrokenAcrossLines) {
  QtDialogs dialogs;
  const std::string text =
      "Voulez-vous enregistrer les modifications dans un-nom-de-fichier-assez-long.9xt?";
  whenModal([&](QWidget* w) {
    auto* label = w->findChild<QLabel*>("qt_msgbox_label");
    ASSERT_NE(label, nullptr);
    EXPECT_GE(label->contentsRect().width(),
              label->fontMetrics().horizontalAdvance(QString::fromStdString(text)));
    EXPECT_LE(w->frameGeometry().width(), w->screen()->availableGeometry().width());
    w->close();
  });
  dialogs.confirm(text, true);
  // Wider than the screen: as wide as the screen, no wider.
  const std::string huge =
      "Voulez-vous enregistrer les modifications dans " + std::string(300, 'n') + "?";
  whenModal([&](QWidget* w) {
    const int screen = w->screen()->availableGeometry().width();
    EXPECT_LE(w->frameGeometry().width(), screen);
    EXPECT_GE(w->frameGeometry().width(), screen * 9 / 10);
    w->close();
  });
  dialogs.confirm(huge, true);
}

TEST(QtDialogs, FiltersAndDefaultExtension) {
  EXPECT_EQ(QtDialogs::nameFilters("Textes TI (*.9xt)|*.9xt;*.89t|Tous (*.*)|*.*|Texte|"),
            (QStringList{"Textes TI (*.9xt) (*.9xt *.89t)", "Tous (*.*) (*)", "Texte (*)"}));
  EXPECT_EQ(QtDialogs::withDefaultExt("/d/doc", "9xt"), std::filesystem::path("/d/doc.9xt"));
  EXPECT_EQ(QtDialogs::withDefaultExt("/d/doc.txt", "9xt"), std::filesystem::path("/d/doc.txt"));
  const std::filesystem::path p = "/tmp/caf\xC3\xA9";
  EXPECT_EQ(QtDialogs::toPath(QtDialogs::toQString(p)), p);
}

}  // namespace
}  // namespace scrivle
