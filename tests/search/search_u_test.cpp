// The search dialogs and the edit commands inside the main window: what the person sees
// and which field a shortcut acts on.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <filesystem>
#include <memory>

#include "app/main_u.h"
#include "document/child_u.h"
#include "editor/editor_view_u.h"
#include "editor/text_model.h"
#include "search/edit_commands_u.h"
#include "search/find_dialogs_u.h"
#include "settings/parametre.h"
#include "support/fake_clipboard.h"
#include "support/fake_dialogs.h"
#include "support/main_window_u.h"

namespace scrivle {
namespace {

namespace fs = std::filesystem;

class SearchWindowTest : public test::MainWindowFixture {
 protected:
  void SetUp() override {
    AppSettings.AutoSave = 0;
    MainWindowFixture::SetUp();
    search_ = new SearchCommands(main_.get(), *main_, main_->action("SuivantAction"));
    edit_ = new EditCommands(*main_, {main_->editDir(), main_->editName()}, main_.get());
    // Whatever the window binds to these actions, the test's handlers answer them.
    const std::pair<const char*, void (EditCommands::*)()> routes[] = {
        {"CouperAction", &EditCommands::CouperActionExecute},
        {"Couper2Action", &EditCommands::CouperActionExecute},
        {"CollerAction", &EditCommands::CollerActionExecute},
        {"DfaireAction", &EditCommands::DfaireActionExecute},
        {"Dfaire2Action", &EditCommands::DfaireActionExecute}};
    for (const auto& [name, handler] : routes) {
      QAction* a = main_->action(name);
      QObject::disconnect(a, &QAction::triggered, nullptr, nullptr);
      QObject::connect(a, &QAction::triggered, edit_, handler);
    }
  }

  TChild* newDocument(std::string_view text) {
    TChild* c = main_->NouveauActionExecute();
    c->Richedit->setClipboard(&clipboard_);
    c->model().replaceSelection(text);  // typed: one undo step
    c->model().setSel(0, 0);
    c->FormActivate();
    return c;
  }

  test::FakeClipboard clipboard_;
  SearchCommands* search_ = nullptr;
  EditCommands* edit_ = nullptr;
};

TEST_F(SearchWindowTest, DialogsTakeTheSelectionAndActOnTheDocument) {
  TChild* c = newDocument("one two one two");
  // Ctrl+F and Ctrl+R take the selected text; find next closes the find dialog.
  c->model().setSel(4, 3);
  search_->ChercherActionExecute();
  TFindDialog* find = search_->FindDialog;
  EXPECT_TRUE(find->isVisible());
  EXPECT_EQ(find->FindText->text(), "two");
  EXPECT_EQ(find->windowTitle(), "Rechercher");
  QTest::mouseClick(find->FindNextBtn, Qt::LeftButton);
  EXPECT_FALSE(find->isVisible());
  EXPECT_EQ(c->model().selStart(), 12);
  EXPECT_TRUE(main_->action("SuivantAction")->isEnabled());

  c->model().setSel(0, 3);
  search_->RemplacerActionExecute();
  TReplaceDialog* rep = search_->ReplaceDialog;
  EXPECT_EQ(rep->FindText->text(), "one");
  rep->ReplaceText->setText("three");
  QTest::mouseClick(rep->ReplaceBtn, Qt::LeftButton);
  EXPECT_FALSE(rep->isVisible());
  EXPECT_EQ(c->model().text(), "three two one two");
  // A replacement marks the document and moves its size on the calculator.
  EXPECT_TRUE(c->windowTitle().startsWith("* "));
  EXPECT_EQ(c->calcSize(), 7 + 2);
  EXPECT_EQ(main_->action("SuivantAction")->data().toInt(), 1);
  // The texts and boxes are kept for the next showing; an empty search can't be run.
  rep->WholeWord->setChecked(true);
  search_->RemplacerActionExecute();
  EXPECT_EQ(rep->ReplaceText->text(), "three");
  EXPECT_TRUE(rep->WholeWord->isChecked());
  rep->FindText->clear();
  EXPECT_FALSE(rep->ReplaceAllBtn->isEnabled());

  // Without a document nothing happens, whatever is pressed.
  rep->FindText->setText("two");
  c->closeConfirmed();
  QApplication::processEvents();
  ASSERT_EQ(main_->activeChild(), nullptr);
  QTest::mouseClick(rep->ReplaceAllBtn, Qt::LeftButton);
  search_->SuivantActionExecute();
  EXPECT_TRUE(dialogs_.shown().empty());
}

TEST_F(SearchWindowTest, NameBoxesLeaveTheEditShortcutsToTheWindow) {
  TChild* c = newDocument("hello");
  main_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(main_.get()));

  // Shift+Del in the name box cuts from the box; the document is untouched.
  main_->editName()->setText("essai");
  main_->editName()->setFocus();
  main_->editName()->selectAll();
  QTest::keyClick(main_->editName(), Qt::Key_Delete, Qt::ShiftModifier);
  EXPECT_EQ(main_->editName()->text(), "");
  EXPECT_EQ(QApplication::clipboard()->text(), "essai");
  EXPECT_EQ(c->model().text(), "hello");
  EXPECT_EQ(c->calcSize(), 7);

  // Ctrl+Z in the folder box undoes in the document, not in the box.
  main_->editDir()->setFocus();
  QTest::keyClicks(main_->editDir(), "ab");
  const QString folder = main_->editDir()->text();
  c->FormActivate();
  main_->editDir()->setText(folder);
  QTest::keyClick(main_->editDir(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(c->model().text(), "");
  EXPECT_EQ(main_->editDir()->text(), folder);
  EXPECT_EQ(c->calcSize(), 2);
  EXPECT_TRUE(c->windowTitle().startsWith("* "));

  // In the document: paste 4 over 10 moves the size by -6.
  c->model().replaceSelection("0123456789");
  c->model().selectAll();
  clipboard_.setText("wxyz");
  c->Richedit->setFocus();
  main_->refreshStandardActions();
  main_->action("CollerAction")->setEnabled(true);  // the system clipboard plays no part
  const int before = c->calcSize();
  QTest::keyClick(c->Richedit, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(c->model().text(), "wxyz");
  EXPECT_EQ(c->calcSize(), before - 6);
}

}  // namespace
}  // namespace scrivle
