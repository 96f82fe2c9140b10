// Window-level tests: the main frame and its documents driven like a person would,
// with scripted answers for every box.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>

#include <QListWidget>
#include <QToolBar>
#include "app/main_u.h"
#include "app/size_box_u.h"
#include "document/child_u.h"
#include "document/journal.h"
#include "document/tifile.h"
#include "editor/editor_view_u.h"
#include "editor/text_model.h"
#include "platform/files.h"
#include "settings/parametre.h"
#include "support/fake_dialogs.h"
#include "support/main_window_u.h"
#include "support/temp_files.h"
#include "tools/index_u.h"

namespace scrivle {
namespace {

namespace fs = std::filesystem;
using test::FakeDialogs;
using test::slurp;
using test::spit;

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { dialogs_ = std::make_unique<FakeDialogs>(); }

  void TearDown() override {
    test::closeQuietly(main_);
    dialogs_.reset();
  }

  Tmain& start(StartRequest request = {}) {
    main_ = std::make_unique<Tmain>(*dialogs_, request);
    main_->show();
    main_->FormActivate();
    return *main_;
  }

  void trigger(const char* name) { main_->action(name)->trigger(); }

  fs::path docs() const { return settings_.docs(); }
  fs::path autoSaveFolder() const { return settings_.state() / "Scrivle"; }

  void crashWithTwoDocuments(bool withJournals);

  test::TempSettings settings_;
  const fs::path dir_ = settings_.dir();
  std::unique_ptr<FakeDialogs> dialogs_;
  std::unique_ptr<Tmain> main_;
};

TEST_F(MainWindowTest, NewDocumentsAreNumberedForTheWholeRun) {
  Tmain& m = start();
  EXPECT_FALSE(m.documentState());
  trigger("NouveauAction");
  trigger("NouveauAction");
  ASSERT_EQ(m.children().size(), 2U);
  EXPECT_EQ(m.children()[0]->windowTitle(), "Nouveau1");
  EXPECT_EQ(m.children()[1]->windowTitle(), "Nouveau2");
  EXPECT_TRUE(m.documentState());
  EXPECT_EQ(m.editTaille()->shownText(), "Taille sur TI : 7 octets");
  // The size of a plain text of tens of megabytes shows whole.
  EXPECT_LT(m.editTaille()->fontMetrics().horizontalAdvance("Taille sur TI : 10000007 octets"),
            m.editTaille()->contentsRect().width() - 4);
  m.children()[0]->close();
  trigger("NouveauAction");
  EXPECT_EQ(m.children().back()->windowTitle(), "Nouveau3");
  // Closing every document returns to the no-document state.
  EXPECT_TRUE(m.CloseAll());
  QApplication::processEvents();
  EXPECT_FALSE(m.documentState());
  EXPECT_FALSE(m.menu("&Edition")->menuAction()->isVisible());
}

TEST_F(MainWindowTest, TypedDocumentSavedAsCalculatorFile) {
  Tmain& m = start();
  TChild* c = m.NouveauActionExecute();
  c->Richedit->setFocus();
  QTest::keyClicks(c->Richedit, "abc");
  EXPECT_EQ(c->model().text(), "abc");
  EXPECT_EQ(c->windowTitle(), "* Nouveau1");
  EXPECT_EQ(m.editTaille()->shownText(), "Taille sur TI : 10 octets");
  EXPECT_TRUE(m.action("EnregistrerAction")->isEnabled());

  const fs::path target = docs() / "essai.92t";
  dialogs_->expectSave(target);
  trigger("EnregistrerAction");
  EXPECT_EQ(dialogs_->lastFileOptions().title, "Enregistrer le texte TI sous...");
  EXPECT_EQ(dialogs_->lastFileOptions().fileName, "Nouveau1");
  const std::string bytes = slurp(target);
  ASSERT_EQ(bytes.size(), 98U);
  EXPECT_EQ(bytes.substr(0, 8), "**TI92**");
  EXPECT_EQ(bytes.substr(10, 8), std::string("main\0\0\0\0", 8));
  EXPECT_EQ(bytes.substr(64, 8), std::string("nouveau\0", 8));
  EXPECT_EQ(bytes.substr(86), std::string("\x00\x08\x00\x01\x20"
                                          "abc"
                                          "\x00\xE0\x2F\x02",
                                          12));
  EXPECT_EQ(c->windowTitle(), "essai.92t");
  EXPECT_FALSE(c->model().modified());
  EXPECT_FALSE(m.action("EnregistrerAction")->isEnabled());
}

TEST_F(MainWindowTest, UpperCaseExtensionOpensAsCalculatorFile) {
  const fs::path f = docs() / "GROUPE.9XT";
  fs::copy_file(fs::path(SCRIVLE_CORPUS_DIR) / "ti-text" / "tilibs_group.txt.9xt", f);
  Tmain& m = start();
  TChild* c = m.openInNewWindow(f);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->model().text(), "This is a text !!!");
  EXPECT_EQ(c->windowTitle(), "GROUPE.9XT");
  EXPECT_EQ(m.editName()->text(), "txt");
  EXPECT_EQ(m.editDir()->text(), "group");
  EXPECT_EQ(m.editTaille()->shownText(), "Taille sur TI : 25 octets");
  EXPECT_FALSE(c->model().modified());
}

TEST_F(MainWindowTest, EveryCorpusFileOpensWithItsSize) {
  Tmain& m = start();
  for (const auto& e : fs::directory_iterator(fs::path(SCRIVLE_CORPUS_DIR) / "ti-text")) {
    const std::string bytes = slurp(e.path());
    const int v =
        (static_cast<unsigned char>(bytes[86]) << 8) | static_cast<unsigned char>(bytes[87]);
    TChild* c = m.openInNewWindow(e.path());
    ASSERT_NE(c, nullptr) << e.path();
    EXPECT_EQ(c->calcSize(), v + 2) << e.path();
    EXPECT_EQ(c->windowTitle().toStdString(), e.path().filename().string());
    EXPECT_TRUE(dialogs_->shown().empty()) << e.path();
  }
}

TEST_F(MainWindowTest, BadCalculatorFilesAreRefusedNotCrashed) {
  Tmain& m = start();
  std::mt19937 rng(7);
  const std::string good = slurp(fs::path(SCRIVLE_CORPUS_DIR) / "ti-text" / "cours_optique.9xt");
  std::vector<std::string> inputs = {"", "**TI89**", good.substr(0, 94), good.substr(0, 200)};
  for (int i = 0; i < 20; ++i) {
    std::string r(static_cast<std::size_t>(rng() % 400), '\0');
    for (char& ch : r) ch = static_cast<char>(rng());
    inputs.push_back(r);
  }
  int n = 0;
  for (const std::string& in : inputs) {
    const fs::path f = docs() / ("bad" + std::to_string(n++) + ".89t");
    spit(f, in);
    const std::size_t before = dialogs_->shown().size();
    dialogs_->expectMessage("Le fichier n'a pas pu être ouvert.");
    TChild* c = m.openInNewWindow(f);
    ASSERT_NE(c, nullptr);
    if (dialogs_->shown().size() == before) {
      // It was readable after all: no box, and the message stays unused.
      dialogs_->clear();
      EXPECT_EQ(c->windowTitle().toStdString(), f.filename().string());
    } else {
      EXPECT_TRUE(c->windowTitle().startsWith("Nouveau")) << n;
    }
  }
  // A missing file closes its window.
  dialogs_->expectMessage("Le fichier spécifié n'existe pas.");
  EXPECT_EQ(m.openInNewWindow(docs() / "absent.89t"), nullptr);
}

TEST_F(MainWindowTest, CloseQuestionAnswers) {
  Tmain& m = start();
  const fs::path f = docs() / "essai.txt";
  spit(f, "old");
  TChild* c = m.openInNewWindow(f);
  ASSERT_NE(c, nullptr);
  c->Richedit->setFocus();
  QTest::keyClicks(c->Richedit, "x");
  ASSERT_TRUE(c->model().modified());

  // Cancel keeps the window (and deletes its temporary file).
  c->TimerTimer();
  const fs::path tmp = c->temporaryFile();
  EXPECT_TRUE(fs::exists(tmp));
  dialogs_->expectConfirm(Answer::Cancel,
                          "Voulez-vous enregistrer les modifications dans essai.txt?");
  EXPECT_FALSE(c->close());
  EXPECT_FALSE(fs::exists(tmp));
  EXPECT_EQ(m.children().size(), 1U);

  // Yes saves the document named in the question, byte for byte, then closes.
  dialogs_->expectConfirm(Answer::Yes);
  EXPECT_TRUE(c->close());
  QApplication::processEvents();
  EXPECT_EQ(slurp(f), "xold");
  EXPECT_TRUE(m.children().empty());

  // No closes without saving.
  c = m.openInNewWindow(f);
  QTest::keyClicks(c->Richedit, "y");
  dialogs_->expectConfirm(Answer::No);
  EXPECT_TRUE(c->close());
  EXPECT_EQ(slurp(f), "xold");
}

TEST_F(MainWindowTest, YesThenCancelledSaveKeepsTheText) {
  Tmain& m = start();
  TChild* c = m.NouveauActionExecute();
  QTest::keyClicks(c->Richedit, "keep");
  dialogs_->expectConfirm(Answer::Yes);
  dialogs_->expectSave(std::nullopt);
  EXPECT_FALSE(c->close());
  EXPECT_EQ(m.children().size(), 1U);
  EXPECT_EQ(c->windowTitle(), "* Nouveau1");

  // Quitting asks every question first; one refusal and nothing closes.
  TChild* second = m.NouveauActionExecute();
  QTest::keyClicks(second->Richedit, "z");
  dialogs_->expectConfirm(Answer::No);
  dialogs_->expectConfirm(Answer::Cancel);
  EXPECT_FALSE(m.close());
  EXPECT_EQ(m.children().size(), 2U);
}

TEST_F(MainWindowTest, SavingAnInactiveDocumentLeavesTheFrameOnTheActiveOne) {
  Tmain& m = start();
  const fs::path b = docs() / "b.txt";
  fs::copy_file(fs::path(SCRIVLE_CORPUS_DIR) / "ti-text" / "cours_optique.9xt", docs() / "c.9xt");
  spit(b, "bee");
  TChild* ca = m.openInNewWindow(docs() / "c.9xt");
  TChild* cb = m.openInNewWindow(b);
  ASSERT_TRUE(ca && cb);
  m.mdiArea()->setActiveSubWindow(cb);
  QTest::keyClicks(cb->Richedit, "!");
  ca->model().replaceSelection("x");
  const QString name = m.editName()->text();
  const QString dir = m.editDir()->text();
  const QString size = m.editTaille()->shownText();
  ASSERT_TRUE(m.action("EnregistrerAction")->isEnabled());
  ASSERT_TRUE(ca->Enregistrer());  // as "Oui" to a close question or "Tout enregistrer" does
  EXPECT_EQ(m.activeChild(), cb);
  EXPECT_EQ(m.editName()->text(), name);
  EXPECT_EQ(m.editDir()->text(), dir);
  EXPECT_EQ(m.editTaille()->shownText(), size);
  EXPECT_TRUE(m.action("EnregistrerAction")->isEnabled());  // b is still modified
}

TEST_F(MainWindowTest, SaveAllRewritesADeletedFile) {
  Tmain& m = start();
  const fs::path a = docs() / "a.89t";
  const fs::path b = docs() / "b.txt";
  fs::copy_file(fs::path(SCRIVLE_CORPUS_DIR) / "ti-text" / "vide.92t", a);
  spit(b, "bee");
  TChild* ca = m.openInNewWindow(a);
  TChild* cb = m.openInNewWindow(b);
  ASSERT_TRUE(ca && cb);
  fs::remove(a);
  QTest::keyClicks(cb->Richedit, "!");
  EXPECT_TRUE(m.action("EnregistrerToutAction")->isEnabled());
  trigger("EnregistrerToutAction");
  EXPECT_TRUE(fs::exists(a));
  EXPECT_EQ(slurp(a).substr(0, 8), "**TI89**");
  EXPECT_EQ(slurp(b), "!bee");
  EXPECT_FALSE(m.action("EnregistrerToutAction")->isEnabled());
}

TEST_F(MainWindowTest, FailedSaveKeepsOldFileAndModifiedMark) {
  Tmain& m = start();
  const fs::path f = docs() / "essai.txt";
  spit(f, "old");
  TChild* c = m.openInNewWindow(f);
  QTest::keyClicks(c->Richedit, "new ");
  // Make the document point into a folder that is a file: nothing can be created.
  spit(docs() / "blocker", "");
  dialogs_->expectSave(docs() / "blocker" / "x.txt");
  dialogs_->expectError();
  trigger("EnregistrersousAction");
  EXPECT_TRUE(c->model().modified());
  EXPECT_EQ(c->windowTitle(), "* essai.txt");
  EXPECT_EQ(c->fullPath(), f);
  EXPECT_EQ(slurp(f), "old");
  ASSERT_FALSE(dialogs_->texts(FakeDialogs::Kind::Error).empty());
  EXPECT_NE(dialogs_->texts(FakeDialogs::Kind::Error)[0].find("Impossible de créer le fichier"),
            std::string::npos);
}

TEST_F(MainWindowTest, OversizedCalculatorTextIsRefused) {
  Tmain& m = start();
  TChild* c = m.NouveauActionExecute();
  c->model().load(std::string(65531, 'a'));
  c->markModified();
  dialogs_->expectSave(docs() / "big.89t");
  dialogs_->expectError();
  trigger("EnregistrerAction");
  EXPECT_FALSE(fs::exists(docs() / "big.89t"));
  EXPECT_TRUE(c->model().modified());
}

// Types into an opened calculator file and a new document, then lets the program die
// without any close question. withJournals false: only the auto-save files are left.
void MainWindowTest::crashWithTwoDocuments(bool withJournals) {
  Tmain& m = start();
  spit(docs() / "essai.89t", writeTiText(docs() / "essai.89t", "main", "essai", ""));
  TChild* saved = m.openInNewWindow(docs() / "essai.89t");
  ASSERT_NE(saved, nullptr);
  saved->setFolderName("dossier");
  saved->setVariableName("mavar");
  TChild* fresh = m.NouveauActionExecute();
  QTest::keyClicks(saved->Richedit, "one");
  QTest::keyClicks(fresh->Richedit, "two");
  // A never-saved document is protected too.
  EXPECT_TRUE(fresh->Timer->isActive());
  EXPECT_TRUE(saved->Timer->isActive());
  saved->TimerTimer();
  fresh->TimerTimer();
  EXPECT_TRUE(fs::exists(autoSaveFolder() / "essai.89t.tmp"));
  EXPECT_TRUE(fs::exists(autoSaveFolder() / "Nouveau1.tmp"));
  QTest::keyClicks(saved->Richedit, " more");  // after the last auto-save: the journal has it
  // Simulate a crash: the windows go away without their close questions.
  for (TChild* c : m.children()) c->model().setModified(false);
  main_.reset();
  if (!withJournals) {
    for (const auto& e : fs::directory_iterator(autoSaveFolder())) {
      if (e.path().extension() == ".journal") fs::remove(e.path());
    }
  }
}

TEST_F(MainWindowTest, RecoveryGivesBackTheTextsFromTheJournals) {
  crashWithTwoDocuments(true);
  dialogs_->expectConfirm(
      Answer::Yes, "Des fichiers temporaires ont été retrouvés. Voulez-vous les récupérer ?");
  Tmain& m = start({StartRequest::New, {}, {}});
  // One document each: the auto-save files of the journalled documents are not reopened.
  ASSERT_EQ(m.children().size(), 2U);
  TChild* one = nullptr;
  TChild* two = nullptr;
  for (TChild* c : m.children()) (c->model().text() == "one more" ? one : two) = c;
  ASSERT_TRUE(one && two);
  EXPECT_EQ(one->windowTitle(), "* essai.89t (récupéré)");
  EXPECT_EQ(two->windowTitle(), "* Nouveau1 (récupéré)");
  EXPECT_EQ(two->model().text(), "two");
  EXPECT_EQ(one->folderName(), "dossier");
  EXPECT_EQ(one->variableName(), "mavar");
  EXPECT_EQ(one->fullPath(), docs() / "essai.89t");
  EXPECT_TRUE(one->model().modified());
  EXPECT_TRUE(m.action("EnregistrerToutAction")->isEnabled());
  for (const auto& e : fs::directory_iterator(autoSaveFolder())) {
    // Only the recovered documents' own new journals remain.
    EXPECT_EQ(e.path().extension(), ".journal") << e.path();
  }
  EXPECT_TRUE(m.documentState());
  // Recovered documents take no number: "Nouveau1" is still open, so the next is 2.
  EXPECT_EQ(m.NouveauActionExecute()->windowTitle(), "Nouveau2");
  // A recovered document has no file yet: saving asks where, proposing what it was.
  dialogs_->expectSave(docs() / "essai.89t");
  one->Enregistrer();
  EXPECT_EQ(dialogs_->lastFileOptions().fileName, "essai");
  EXPECT_EQ(dialogs_->lastFileOptions().initialDir, withTrailingSeparator(docs().string()));
  EXPECT_EQ(dialogs_->lastFileOptions().defaultExt, "89t");
  EXPECT_EQ(dialogs_->lastFileOptions().filterIndex, 3);
  EXPECT_EQ(one->windowTitle(), "essai.89t");
  const TiText t = readTiText(slurp(docs() / "essai.89t"));
  EXPECT_EQ(t.text, "one more");
  EXPECT_EQ(t.folder.substr(0, 7), "dossier");
  EXPECT_EQ(t.name.substr(0, 5), "mavar");
}

TEST_F(MainWindowTest, AutoSaveFilesAloneGiveBackTheDocumentsNamesAndNoNumbers) {
  crashWithTwoDocuments(false);
  dialogs_->expectConfirm(Answer::Yes);
  AppSettings.DefaultExt = "txt";
  Tmain& m = start();
  ASSERT_EQ(m.children().size(), 2U);
  TChild* one = m.children()[0]->model().text() == "one" ? m.children()[0] : m.children()[1];
  TChild* two = one == m.children()[0] ? m.children()[1] : m.children()[0];
  EXPECT_EQ(one->model().text(), "one");  // as of the last auto-save
  EXPECT_EQ(one->windowTitle(), "* essai.89t (récupéré)");
  EXPECT_EQ(one->folderName(), "dossier");
  EXPECT_EQ(one->variableName(), "mavar");
  EXPECT_EQ(one->fullPath(), docs() / "essai.89t");
  EXPECT_TRUE(m.action("EnregistrerToutAction")->isEnabled());
  // Once the recovered "Nouveau1" is closed, the next new document is Nouveau1 again.
  two->model().setModified(false);
  two->closeConfirmed();
  QApplication::processEvents();
  EXPECT_EQ(m.NouveauActionExecute()->windowTitle(), "Nouveau1");
  dialogs_->expectSave(docs() / "essai.89t");
  one->Enregistrer();
  EXPECT_EQ(dialogs_->lastFileOptions().defaultExt, "89t");  // not the DefaultExt setting
}

TEST_F(MainWindowTest, ADamagedJournalIsReplayedUpToItsLastWholeRecordAndReported) {
  fs::create_directories(autoSaveFolder());
  journal::DocumentInfo info;
  info.path = (docs() / "notes.txt").string();
  info.type = "txt";
  info.caption = "notes.txt";
  const std::string bytes = journal::encodeHeader() + journal::encodeSnapshot("abc") +
                            journal::encodeInfo(info) + journal::encodeEdit(3, 0, "d") +
                            journal::encodeEdit(4, 0, "lost");
  spit(autoSaveFolder() / "x.journal", bytes.substr(0, bytes.size() - 3));
  dialogs_->expectConfirm(Answer::Yes);
  dialogs_->expectMessage(
      "Certaines modifications n'ont pas pu être récupérées telles quelles :\n"
      "notes.txt : la fin du journal est endommagée ; les dernières modifications sont "
      "perdues");
  Tmain& m = start();
  ASSERT_EQ(m.children().size(), 1U);
  EXPECT_EQ(m.children()[0]->model().text(), "abcd");
  EXPECT_EQ(m.children()[0]->windowTitle(), "* notes.txt (récupéré)");
  EXPECT_EQ(dialogs_->texts(FakeDialogs::Kind::Message).size(), 1U);  // one message for all
  EXPECT_FALSE(fs::exists(autoSaveFolder() / "x.journal"));
}

TEST_F(MainWindowTest, RecoveryDeclinedDeletesFilesAndGoesOn) {
  fs::create_directories(autoSaveFolder());
  spit(autoSaveFolder() / "x.tmp", "lost");
  dialogs_->expectConfirm(Answer::No);
  Tmain& m = start({StartRequest::New, {}, {}});
  EXPECT_FALSE(fs::exists(autoSaveFolder() / "x.tmp"));
  ASSERT_EQ(m.children().size(), 1U);
  EXPECT_EQ(m.children()[0]->windowTitle(), "Nouveau1");
}

TEST_F(MainWindowTest, ReadOnlyDocumentIgnoresKeys) {
  Tmain& m = start();
  TChild* c = m.NouveauActionExecute();
  trigger("ReadOnlyAction");
  EXPECT_TRUE(c->model().readOnly());
  QTest::keyClicks(c->Richedit, "abc");
  EXPECT_EQ(c->model().text(), "");
  EXPECT_EQ(c->windowTitle(), "Nouveau1");
  EXPECT_EQ(m.editTaille()->shownText(), "Taille sur TI : 7 octets");
  EXPECT_TRUE(m.editName()->isReadOnly());
}

TEST_F(MainWindowTest, InputMethodCharactersCountLikeKeys) {
  Tmain& m = start();
  TChild* c = m.openInNewWindow([&] {
    spit(docs() / "e.txt", "");
    return docs() / "e.txt";
  }());
  // A dead-key letter and a Greek letter no AZERTY key types.
  QInputMethodEvent ev;
  ev.setCommitString(QString::fromUtf8("\xC3\xAA\xCE\xB1"));  // "ê", "α"
  QApplication::sendEvent(c->Richedit, &ev);
  EXPECT_EQ(c->model().text(), "\xEA\x80");
  EXPECT_EQ(c->windowTitle(), "* e.txt");
  EXPECT_EQ(m.editTaille()->shownText(), "Taille sur TI : 9 octets");
}

TEST_F(MainWindowTest, NameBoxesChangeTheDocument) {
  Tmain& m = start();
  TChild* c = m.NouveauActionExecute();
  m.editName()->setFocus();
  m.editName()->selectAll();
  QTest::keyClicks(m.editName(), "abc");
  EXPECT_EQ(c->variableName(), "abc");
  EXPECT_EQ(c->windowTitle(), "* Nouveau1");
  QTest::keyClick(m.editDir(), Qt::Key_Left);
  EXPECT_EQ(c->folderName(), "main");
}

TEST_F(MainWindowTest, DocumentStateSwitchKeepsBandToggles) {
  Tmain& m = start();
  auto* tags = m.findChild<QToolBar*>("PageScroller1");
  EXPECT_FALSE(tags->isVisible());
  EXPECT_FALSE(m.menuItem("EnregistrerAction")->isVisible());
  // The tool-bar button of a hidden menu item stays.
  EXPECT_TRUE(
      m.findChild<QToolBar*>("PageScroller2")->actions().contains(m.action("EnregistrerAction")));
  m.NouveauActionExecute();
  EXPECT_TRUE(tags->isVisible());
  EXPECT_TRUE(m.menuItem("EnregistrerAction")->isVisible());
  EXPECT_TRUE(m.menu("&Misc.")->menuAction()->isVisible());
  EXPECT_FALSE(m.action("EnregistrerToutAction")->isEnabled());
  m.action("PopUpTags")->trigger();
  EXPECT_FALSE(tags->isVisible());
  m.enableall(true);  // no change the second time
  EXPECT_FALSE(tags->isVisible());
  // Closing all and opening again shows the band, the toggle stays unchecked.
  EXPECT_TRUE(m.CloseAll());
  QApplication::processEvents();
  m.NouveauActionExecute();
  EXPECT_TRUE(tags->isVisible());
  EXPECT_FALSE(m.action("PopUpTags")->isChecked());
}

TEST_F(MainWindowTest, NameTypedInTheBoxIsSavedAndShownAgain) {
  Tmain& m = start();
  TChild* a = m.NouveauActionExecute();
  m.editName()->setFocus();
  m.editName()->selectAll();
  QTest::keyClicks(m.editName(), "abc");
  TChild* b = m.NouveauActionExecute();
  EXPECT_EQ(m.editName()->text(), "nouveau");
  m.mdiArea()->setActiveSubWindow(a);
  EXPECT_EQ(m.editName()->text(), "abc");
  // The changed name alone makes the close question appear.
  dialogs_->expectSave(docs() / "n.89t");
  a->Enregistrer();
  EXPECT_EQ(slurp(docs() / "n.89t").substr(64, 8), std::string("abc\0\0\0\0\0", 8));
  (void)b;
}

TEST_F(MainWindowTest, TitleAroundSelectionAndCommandsOnReadOnly) {
  Tmain& m = start();
  TChild* c = m.NouveauActionExecute();
  c->model().load("Titre");
  c->model().setSel(0, 5);
  m.action("Menu2Action")->trigger();
  EXPECT_EQ(c->model().text(), "&L#3\x7f #UTitre#U#2\r\n");
  EXPECT_EQ(c->model().selStart(), 8);
  EXPECT_EQ(c->model().selLength(), 5);
  EXPECT_EQ(c->calcSize(), 7 + 14);
  EXPECT_EQ(c->windowTitle(), "* Nouveau1");
  // Read-only: tag, title and bookmark commands leave the text alone.
  m.action("ReadOnlyAction")->trigger();
  const std::string before = c->model().text();
  m.action("Menu1Action")->trigger();
  m.action("InserBookAction")->trigger();
  m.action("SoulignAction")->trigger();
  EXPECT_EQ(c->model().text(), before);
  // With no document, shortcuts reach nothing harmful.
  m.action("ReadOnlyAction")->trigger();
  c->model().setModified(false);
  c->closeConfirmed();
  QApplication::processEvents();
  for (const char* a : {"InserBookAction", "RefaireAction", "SlectionnertoutAction",
                        "EnregistrersousAction", "Menu1Action", "SoulignAction"}) {
    m.action(a)->trigger();
  }
  EXPECT_TRUE(m.children().empty());
}

TEST_F(MainWindowTest, BookmarksWindowListsAndNavigates) {
  Tmain& m = start();
  Tindex index(&m);
  m.setBookmarksWindow(&index);
  TChild* c = m.NouveauActionExecute();
  std::string text;
  for (int i = 0; i < 13; ++i) text += "\fMarque " + std::to_string(i) + "\r\nligne\r\n";
  c->model().load(text);
  index.FormShow(*c->Richedit);
  EXPECT_EQ(index.ListBox->count(), 13);
  EXPECT_EQ(index.width(), 510);  // more than 12 entries: the wider window
  index.ListBox->setCurrentRow(2);
  index.ListBoxDblClick();
  EXPECT_EQ(c->model().selStart(), c->model().lineStart(4) + 1);
  c->model().load("rien");
  index.FormShow(*c->Richedit);
  EXPECT_EQ(index.ListBox->count(), 0);
  EXPECT_EQ(index.width(), 498);
  c->model().setSel(2, 0);
  index.ListBoxDblClick();
  EXPECT_EQ(c->model().selStart(), 2);
}

// What a person sees of the window state: the menus, the state-dependent items and
// commands, the bands and the boxes. One line per element, for readable differences.
std::string windowState(Tmain& m) {
  std::string out;
  auto line = [&](const std::string& name, bool on) { out += name + (on ? " on\n" : " off\n"); };
  for (const char* menu : {"&Edition", "&Tags #", "Ta&gs &&", "&Misc."}) {
    line(menu, m.menu(menu)->menuAction()->isVisible());
  }
  for (const char* item :
       {"ReadOnlyAction", "ZipAction", "EnregistrersousAction", "EnregistrerAction", "Toutfermer1",
        "EnregistrerToutAction", "FermerAction", "N7", "N13", "AfficherBook"}) {
    line(std::string(item) + " item", m.menuItem(item)->isVisible());
  }
  for (const char* a : {"PopUpTags", "PopUpTitres", "AfficherBook", "ZipAction",
                        "EnregistrerAction", "EnregistrerToutAction", "DfaireAction", "ColorAction",
                        "Menu1Action", "AllerligneAction", "FermerAction"}) {
    line(a, m.action(a)->isEnabled());
  }
  for (const char* bar : {"PageScroller1", "PageScroller2", "PageScroller3"}) {
    line(bar, m.findChild<QToolBar*>(bar)->isVisible());
  }
  for (QLineEdit* box : {m.editDir(), m.editName(), static_cast<QLineEdit*>(m.editTaille())}) {
    line(box->objectName().toStdString(), box->isVisible());
  }
  return out;
}

TEST_F(MainWindowTest, BookmarksCommandIsNotAToggle) {
  Tmain& m = start();
  m.NouveauActionExecute();  // no bookmarks window in this test: the command shows nothing
  QAction* book = m.action("AfficherBook");
  for (int i = 0; i < 2; ++i) {
    book->trigger();
    EXPECT_FALSE(book->isChecked());
    EXPECT_FALSE(m.menuItem("AfficherBook")->isChecked());
  }
  EXPECT_FALSE(book->isCheckable());
  EXPECT_FALSE(m.menuItem("AfficherBook")->isCheckable());
}

TEST_F(MainWindowTest, MissingFileLeavesTheNoDocumentState) {
  Tmain& m = start();
  const std::string none = windowState(m);
  // The reference: the state after the last document closes.
  m.NouveauActionExecute();
  m.activeChild()->close();
  QApplication::processEvents();
  ASSERT_EQ(windowState(m), none);

  // A recent file that has gone.
  AppSettings.mru[0] = (docs() / "parti.9xt").string();
  m.refreshRecentMenu();
  dialogs_->expectMessage("Le fichier spécifié n'existe pas.");
  m.RecentClick(1);
  QApplication::processEvents();
  EXPECT_TRUE(m.children().empty());
  EXPECT_EQ(windowState(m), none);
  EXPECT_EQ(AppSettings.mru[0], (docs() / "parti.9xt").string());  // the entry stays

  // A recent file that has gone while another document is open: the document state stays.
  m.NouveauActionExecute();
  const std::string one = windowState(m);
  dialogs_->expectMessage("Le fichier spécifié n'existe pas.");
  m.RecentClick(1);
  QApplication::processEvents();
  EXPECT_EQ(m.children().size(), 1U);
  EXPECT_EQ(windowState(m), one);
}

TEST_F(MainWindowTest, MissingFileOnTheCommandLineLeavesTheNoDocumentState) {
  StartRequest request;
  request.kind = StartRequest::Open;
  request.path = docs() / "absent.89t";
  dialogs_->expectMessage("Le fichier spécifié n'existe pas.");
  Tmain& m = start(request);
  QApplication::processEvents();
  EXPECT_TRUE(m.children().empty());
  Tmain reference(*dialogs_);
  reference.show();
  EXPECT_EQ(windowState(m), windowState(reference));
}

TEST_F(MainWindowTest, CloseAllAsksEveryDocumentLastToFirst) {
  Tmain& m = start();
  for (int i = 0; i < 3; ++i) {
    TChild* c = m.NouveauActionExecute();
    QTest::keyClicks(c->Richedit, "x");
  }
  const auto kids = m.children();
  dialogs_->expectConfirm(Answer::No, "Voulez-vous enregistrer les modifications dans Nouveau3?");
  dialogs_->expectConfirm(Answer::Cancel,
                          "Voulez-vous enregistrer les modifications dans Nouveau2?");
  dialogs_->expectConfirm(Answer::No, "Voulez-vous enregistrer les modifications dans Nouveau1?");
  EXPECT_FALSE(m.CloseAll());
  QApplication::processEvents();
  ASSERT_EQ(m.children().size(), 1U);  // only the one kept
  EXPECT_EQ(m.children()[0], kids[1]);
  EXPECT_TRUE(m.documentState());
}

// Before its question, a document becomes the active window: the person sees what the
// question is about.
TEST_F(MainWindowTest, CloseQuestionShowsItsDocument) {
  Tmain& m = start();
  for (int i = 0; i < 3; ++i) {
    TChild* c = m.NouveauActionExecute();
    QTest::keyClicks(c->Richedit, "x");
  }
  const auto kids = m.children();
  std::vector<TChild*> active;
  dialogs_->onShow = [&](const FakeDialogs::Shown&) { active.push_back(m.activeChild()); };
  dialogs_->expectConfirm(Answer::Cancel);
  kids[0]->close();
  for (int i = 0; i < 3; ++i) dialogs_->expectConfirm(Answer::Cancel);
  m.CloseAll();
  dialogs_->expectConfirm(Answer::No);
  dialogs_->expectConfirm(Answer::Cancel);
  m.close();  // quitting asks in the frame's order
  dialogs_->onShow = nullptr;
  EXPECT_EQ(active, (std::vector<TChild*>{kids[0], kids[2], kids[1], kids[0], kids[0], kids[1]}));
}

// Cut, copy and paste follow the selection, the focus and the clipboard as they change,
// with nothing polling in between: an idle window with an unmodified document runs no
// repeating timer of its own.
TEST_F(MainWindowTest, EditCommandsFollowChangesWithoutPolling) {
  Tmain& m = start();
  TChild* c = m.NouveauActionExecute();
  c->model().load("hello");
  c->Richedit->setFocus();
  m.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&m));
  QAction* copy = m.action("CopierAction");
  QAction* cut = m.action("CouperAction");
  QAction* paste = m.action("CollerAction");
  c->model().setSel(0, 0);
  EXPECT_FALSE(copy->isEnabled());
  c->model().setSel(1, 3);
  EXPECT_TRUE(copy->isEnabled());
  EXPECT_TRUE(cut->isEnabled());
  // The folder box with the focus: its own selection counts.
  m.editDir()->setFocus();
  m.editDir()->deselect();
  EXPECT_FALSE(copy->isEnabled());
  m.editDir()->selectAll();
  EXPECT_TRUE(copy->isEnabled());
  QApplication::clipboard()->clear();
  EXPECT_FALSE(paste->isEnabled());
  QApplication::clipboard()->setText("x");
  EXPECT_TRUE(paste->isEnabled());

  for (QTimer* t : m.findChildren<QTimer*>()) {
    EXPECT_FALSE(t->isActive() && !t->isSingleShot())
        << t->objectName().toStdString() << " every " << t->interval() << " ms";
  }
  // The auto-save timer runs while there is something unsaved, and stops with the save.
  AppSettings.AutoSave = 1;
  QTest::keyClicks(c->Richedit, "x");
  EXPECT_TRUE(c->Timer->isActive());
  dialogs_->expectSave(docs() / "a.txt");
  ASSERT_TRUE(c->Enregistrer());
  EXPECT_FALSE(c->Timer->isActive());
}

}  // namespace
}  // namespace scrivle
