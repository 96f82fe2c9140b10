// The go-to-line dialog and the character table driven through their widgets.
#include <gtest/gtest.h>
#include <unistd.h>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QWheelEvent>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/main_u.h"
#include "app/size_box_u.h"
#include "document/child_u.h"
#include "editor/editor_view_u.h"
#include "search/find_dialogs_u.h"
#include "settings/parametre.h"
#include "support/fake_dialogs.h"
#include "support/main_window_u.h"
#include "tags/vocabulary.h"
#include "tools/goto_u.h"
#include "tools/index_u.h"
#include "tools/tabl_u.h"

namespace scrivle {
namespace {

namespace fs = std::filesystem;
using test::FakeDialogs;

// The bookmarks window opens with no row selected: Enter then only closes it.
TEST(BookmarksWindow, OpensWithNothingSelected) {
  EditorView editor;
  editor.model().load("\fUn\r\ntexte\r\n\fDeux\r\nfin");
  editor.model().setSel(9, 0);
  Tindex index;
  bool looked = false;
  QTimer::singleShot(0, [&] {
    looked = true;
    EXPECT_TRUE(index.isVisible());
    EXPECT_EQ(index.ListBox->count(), 2);
    EXPECT_TRUE(index.ListBox->selectedItems().isEmpty());
    QTest::keyClick(index.ListBox, Qt::Key_Return);
    EXPECT_FALSE(index.isVisible());
    if (index.isVisible()) index.reject();
  });
  index.showFor(editor);
  EXPECT_TRUE(looked);
  EXPECT_EQ(editor.model().selStart(), 9);
  EXPECT_EQ(editor.model().selLength(), 0);

  // Down picks the first bookmark, Enter goes there.
  QTimer::singleShot(0, [&] {
    index.activateWindow();
    index.ListBox->setFocus();
    QApplication::processEvents();  // the list takes the focus
    QTest::keyClick(index.ListBox, Qt::Key_Down);
    QTest::keyClick(index.ListBox, Qt::Key_Return);
    if (index.isVisible()) index.reject();
  });
  index.showFor(editor);
  EXPECT_EQ(editor.model().selStart(), 1);

  // A row picked, then Enter: the caret goes right after that bookmark's marker.
  QTimer::singleShot(0, [&] {
    index.ListBox->setCurrentRow(1);
    QTest::keyClick(index.ListBox, Qt::Key_Return);
    if (index.isVisible()) index.reject();
  });
  index.showFor(editor);
  EXPECT_EQ(editor.model().selStart(), editor.model().lineStart(2) + 1);
}

TEST(GoToDialog, FilterFieldAndMove) {
  FakeDialogs dialogs;
  EditorView editor;
  editor.model().load("un\r\ndeux\r\ntrois\r\n");
  editor.model().setSel(11);
  TGoToDlg dlg;
  EXPECT_EQ(dlg.windowTitle(), "Aller à la ligne...");
  EXPECT_EQ(dlg.Label2->text(),
            "Notez que si vous entrez un nombre trop grand,\n"
            "le curseur sera placé sur la dernière ligne...");
  EXPECT_TRUE(dlg.OKBtn->isDefault());
  EXPECT_EQ(dlg.CancelBtn->text(), "Annuler");
  EXPECT_GE(dlg.width(), 384);

  dlg.setTarget(&editor, &dialogs);
  dlg.show();
  EXPECT_EQ(dlg.Edit1->text(), "3");  // the caret's line
  dlg.Edit1->clear();
  QTest::keyClicks(dlg.Edit1, "a1-b,2 x");
  EXPECT_EQ(dlg.Edit1->text(), "12");
  QTest::keyClick(dlg.Edit1, Qt::Key_Backspace);
  EXPECT_EQ(dlg.Edit1->text(), "1");
  QTest::keyClick(dlg.Edit1, Qt::Key_Return);  // the default button
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(editor.model().caret(), 0);

  // Beyond the end: the empty line after the final break.
  dlg.show();
  dlg.Edit1->setText("40");
  dlg.OKBtn->click();
  EXPECT_EQ(editor.model().caret(), editor.model().length());

  // A pasted negative number: the message, the caret stays, the dialog closes all the same.
  editor.model().setSel(5);
  dlg.show();
  dlg.Edit1->setText("-2");
  dialogs.expectMessage("Le texte entré n'est pas valide.");
  dlg.OKBtn->click();
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(editor.model().caret(), 5);

  dlg.show();
  dlg.Edit1->setText("1");
  dlg.CancelBtn->click();
  EXPECT_EQ(editor.model().caret(), 5);
}

class CharTableWindow : public test::MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    table_ = std::make_unique<TTable>(main_.get());
    main_->setCharacterTable(table_.get());
  }
  void TearDown() override {
    table_.reset();
    MainWindowFixture::TearDown();
  }

  void pick(unsigned char code) { table_->StringGrid->setCurrent(cellOfCode(code)); }
  void enter() { QTest::keyClick(table_->StringGrid, Qt::Key_Return); }

  std::unique_ptr<TTable> table_;  // keeps its place in the settings store
};

TEST_F(CharTableWindow, InsertsIntoTheActiveDocument) {
  QAction* show = main_->action("Affichertable");
  show->trigger();
  EXPECT_TRUE(table_->isVisible());
  EXPECT_EQ(table_->size(), QSize(515, 163));

  // No document: nothing to type into.
  table_->FormActivate();
  EXPECT_FALSE(table_->InserCar->isEnabled());
  EXPECT_EQ(table_->StringGrid->cursor().shape(), Qt::ArrowCursor);
  pick('x');
  enter();

  TChild* c = main_->NouveauActionExecute();
  c->model().load("ab#");
  c->model().setSel(3);
  c->model().setModified(false);
  const int size = c->calcSize();
  table_->FormActivate();
  EXPECT_EQ(table_->StringGrid->cursor().shape(), Qt::PointingHandCursor);
  pick('1');
  enter();
  EXPECT_EQ(c->model().text(), "ab#1");
  EXPECT_EQ(c->model().styleAt(2), charStyleOf(AppSettings.StylesDiese[0]));
  EXPECT_EQ(c->calcSize(), size + 1);
  EXPECT_TRUE(c->captionModified());
  EXPECT_EQ(main_->editTaille()->shownText(), QString("Taille sur TI : %1 octets").arg(size + 1));

  // A double click over a selection of three: the size goes down by two.
  c->model().setSel(0, 3);
  const QRect cell = table_->StringGrid->cellRect(cellOfCode('Z'));
  QTest::mouseDClick(table_->StringGrid, Qt::LeftButton, {}, cell.center());
  EXPECT_EQ(c->model().text(), "Z1");
  EXPECT_EQ(c->calcSize(), size - 1);

  // Read-only: nothing happens.
  c->model().setReadOnly(true);
  enter();
  EXPECT_EQ(c->model().text(), "Z1");

  // Escape hides the table and unchecks the command; the command shows it again.
  QTest::keyClick(table_->StringGrid, Qt::Key_Escape);
  EXPECT_FALSE(table_->isVisible());
  EXPECT_FALSE(show->isChecked());
  show->trigger();
  EXPECT_TRUE(table_->isVisible());
  EXPECT_TRUE(show->isChecked());
}

TEST_F(CharTableWindow, KeysAndWheelWrapAround) {
  TCharGrid* grid = table_->StringGrid;
  grid->setCurrent({0, 0});
  QTest::keyClick(grid, Qt::Key_Left);
  EXPECT_EQ(grid->current(), (TableCell{31, 0}));
  QTest::keyClick(grid, Qt::Key_Up);
  EXPECT_EQ(grid->current(), (TableCell{31, 7}));
  const QPoint at = grid->cellRect(grid->current()).center();
  QWheelEvent down(at, grid->mapToGlobal(at), {}, {0, -120}, Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
  QApplication::sendEvent(grid, &down);
  EXPECT_EQ(grid->current(), (TableCell{31, 0}));
  QTest::mouseClick(grid, Qt::LeftButton, {}, grid->cellRect({3, 5}).center());
  EXPECT_EQ(codeOfCell(grid->current()), 32 * 5 + 3);
}

TEST_F(CharTableWindow, GoToCommandActsOnTheActiveDocument) {
  TGoToDlg goTo(main_.get());
  AllerligneActionExecute(goTo, nullptr, dialogs_);  // no document: no dialog
  TChild* c = main_->NouveauActionExecute();
  c->model().load("a\r\nb\r\nc");
  c->model().setSel(4);
  QTimer::singleShot(0, &goTo, [&goTo] {
    EXPECT_EQ(goTo.Edit1->text(), "2");
    goTo.Edit1->setText("0");
    goTo.OKBtn->click();
  });
  AllerligneActionExecute(goTo, c, dialogs_);
  EXPECT_EQ(c->model().caret(), 3);
}

QRect onScreen(const QWidget* w) {
  return {w->mapToGlobal(QPoint(0, 0)), w->size()};
}

// The table opens beside the documents, clear of the menus and tool bars (over which it
// stays), and keeps the place the person gives it, during the run and the next one.
TEST_F(CharTableWindow, OpensBesideTheDocumentsAndKeepsItsPlace) {
  QAction* show = main_->action("Affichertable");
  main_->NouveauActionExecute();
  QApplication::processEvents();
  show->trigger();
  ASSERT_TRUE(table_->isVisible());
  const QRect table = table_->frameGeometry();
  EXPECT_FALSE(table.intersects(onScreen(main_->menuBar())));
  for (QToolBar* bar : main_->findChildren<QToolBar*>()) {
    if (bar->isVisible()) {
      EXPECT_FALSE(table.intersects(onScreen(bar))) << bar->objectName().toStdString();
    }
  }
  // Over the document area, at its right edge (the window's border may stand out a little).
  const QRect area = onScreen(main_->mdiArea()->viewport());
  EXPECT_TRUE(area.adjusted(0, 0, 4, 0).contains(table))
      << "table " << table.x() << "," << table.y() << " area " << area.x() << "," << area.y();
  EXPECT_LE(std::abs(area.right() - table.right()), 4);

  // Moved by the person, it comes back there.
  const QPoint place(area.left() + 20, area.top() + 40);
  table_->move(place);
  show->trigger();
  EXPECT_FALSE(table_->isVisible());
  show->trigger();
  EXPECT_EQ(table_->pos(), place);

  // And in the next run.
  table_->close();
  table_.reset();
  TTable next(main_.get());
  next.show();
  EXPECT_EQ(next.pos(), place);
}

// What each window asks of the window manager: a close box and neither minimise nor
// maximise; a dialog keeps its size.
void expectBorder(QWidget& w, Qt::WindowType type) {
  const std::string name = w.objectName().toStdString();
  const Qt::WindowFlags f = w.windowFlags();
  EXPECT_EQ(f & Qt::WindowType_Mask, type) << name;
  EXPECT_TRUE(f.testFlag(Qt::WindowCloseButtonHint)) << name;
  EXPECT_FALSE(f.testFlag(Qt::WindowMinimizeButtonHint)) << name;
  EXPECT_FALSE(f.testFlag(Qt::WindowMaximizeButtonHint)) << name;
  if (type == Qt::Dialog) {
    w.show();
    EXPECT_EQ(w.minimumSize(), w.maximumSize()) << name;
    w.hide();
  }
}

TEST(WindowBorders, ToolWindowAndDialogs) {
  Tindex index;
  expectBorder(index, Qt::Tool);
  TGoToDlg goTo;
  expectBorder(goTo, Qt::Dialog);
  TFindDialog find;
  expectBorder(find, Qt::Dialog);
  TReplaceDialog replace;
  expectBorder(replace, Qt::Dialog);
}

}  // namespace
}  // namespace scrivle
