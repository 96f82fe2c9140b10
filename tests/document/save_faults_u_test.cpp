// Saving and auto-saving when the disk says no (full, or the place cannot be created):
// the old file stays whole, nothing is left beside it, the document keeps its changes
// and its marks, and the person reads why in French.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "app/main_u.h"
#include "document/child_u.h"
#include "editor/editor_view_u.h"
#include "editor/text_model.h"
#include "settings/parametre.h"
#include "support/fake_dialogs.h"
#include "support/fault_guards.h"
#include "support/main_window_u.h"
#include "support/temp_files.h"

namespace scrivle {
namespace {

namespace fs = std::filesystem;
using test::entriesOf;
using test::FakeDialogs;
using test::FileSizeLimit;
using test::slurp;
using test::spit;

constexpr rlim_t kFullDisk = 200;  // smaller than every file these tests save

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class SaveFaultTest : public test::MainWindowFixture {
 protected:
  // The two kinds of document, each with an old content on disk larger than the limit.
  fs::path makeDocument(const std::string& name) {
    fs::path f = docs() / name;
    if (name.ends_with(".89t")) {
      fs::copy_file(fs::path(SCRIVLE_CORPUS_DIR) / "ti-text" / "lignes_commande_print.89t", f);
      fs::permissions(f, fs::perms::owner_read | fs::perms::owner_write);
    } else {
      std::string old;
      for (int i = 0; i < 30; ++i) old += "old line\r\n";
      spit(f, old);
    }
    return f;
  }

  TChild* openAndType(const fs::path& f, const char* typed) {
    TChild* c = main_->openInNewWindow(f);
    c->Richedit->setFocus();
    QTest::keyClicks(c->Richedit, typed);
    return c;
  }

  // What a failed save must leave: the document as it was before the attempt, marked.
  void expectStillModified(TChild* c, const fs::path& path, const std::string& text) {
    EXPECT_EQ(c->fullPath(), path);
    EXPECT_EQ(c->model().text(), text);
    EXPECT_TRUE(c->model().modified());
    EXPECT_TRUE(c->captionModified()) << c->windowTitle().toStdString();
    EXPECT_TRUE(main_->action("EnregistrerAction")->isEnabled());
  }

  std::string lastError() const {
    const auto errors = dialogs_.texts(FakeDialogs::Kind::Error);
    return errors.empty() ? std::string() : errors.back();
  }
};

TEST_F(SaveFaultTest, FullDiskKeepsOldFileAndChanges) {
  for (const char* name : {"essai.txt", "essai.89t"}) {
    SCOPED_TRACE(name);
    const fs::path f = makeDocument(name);
    const std::string old = slurp(f);
    const auto before = entriesOf(docs());
    TChild* c = openAndType(f, "new ");
    const std::string text = c->model().text();

    // A skip ends the test before any box is expected that would then be missing.
    SCRIVLE_NEEDS_FILE_SIZE_LIMIT();
    dialogs_.expectError();
    {
      const FileSizeLimit full(kFullDisk);
      ASSERT_TRUE(full.active());
      main_->action("EnregistrerAction")->trigger();
    }
    EXPECT_EQ(slurp(f), old);
    EXPECT_EQ(entriesOf(docs()), before);
    expectStillModified(c, f, text);
    // The system's error, said in French with the file's name.
    EXPECT_TRUE(contains(lastError(), "Erreur d'écriture dans le fichier")) << lastError();
    EXPECT_TRUE(contains(lastError(), f.string())) << lastError();

    // Room again: the same command now saves, and the marks go.
    main_->action("EnregistrerAction")->trigger();
    EXPECT_NE(slurp(f), old);
    EXPECT_FALSE(c->model().modified());
    EXPECT_FALSE(c->captionModified());
    EXPECT_EQ(entriesOf(docs()), before);
  }

  // A small document fits, the recent-files list does not: the document is saved all the
  // same, under its new name, and only the list's failure is shown.
  TChild* small = main_->NouveauActionExecute();
  QTest::keyClicks(small->Richedit, "x");
  dialogs_.expectSave(docs() / "petit.txt");
  dialogs_.expectError();
  {
    const FileSizeLimit full(8);
    ASSERT_TRUE(full.active());
    main_->action("EnregistrerAction")->trigger();
  }
  EXPECT_EQ(slurp(docs() / "petit.txt"), "x");
  EXPECT_EQ(small->fullPath(), docs() / "petit.txt");
  EXPECT_FALSE(small->model().modified());
  EXPECT_EQ(small->windowTitle(), "petit.txt");
  EXPECT_TRUE(contains(lastError(), settings_.store().string())) << lastError();
}

TEST_F(SaveFaultTest, SaveAsWhereNothingCanBeCreatedKeepsIdentity) {
  for (const char* name : {"essai.txt", "essai.89t"}) {
    SCOPED_TRACE(name);
    const fs::path f = makeDocument(name);
    const std::string old = slurp(f);
    TChild* c = openAndType(f, "new ");
    const std::string text = c->model().text();
    const fs::path target = test::uncreatablePath(docs(), std::string("x") + name);
    const auto before = entriesOf(docs());

    dialogs_.expectSave(target);
    dialogs_.expectError();
    main_->action("EnregistrersousAction")->trigger();
    EXPECT_EQ(slurp(f), old);
    EXPECT_EQ(entriesOf(docs()), before);
    expectStillModified(c, f, text);
    EXPECT_TRUE(contains(lastError(), "Impossible de créer le fichier")) << lastError();
    // The next plain save goes to the document's own file, not the refused one.
    main_->action("EnregistrerAction")->trigger();
    EXPECT_FALSE(c->model().modified());
    EXPECT_NE(slurp(f), old);
  }

  // A document that never had a file: no file appears, not even an empty one.
  TChild* fresh = main_->NouveauActionExecute();
  QTest::keyClicks(fresh->Richedit, "never written, never written, never written");
  const auto before = entriesOf(docs());
  SCRIVLE_NEEDS_FILE_SIZE_LIMIT();
  dialogs_.expectSave(docs() / "nouveau.89t");
  dialogs_.expectError();
  {
    const FileSizeLimit full(10);
    ASSERT_TRUE(full.active());
    main_->action("EnregistrersousAction")->trigger();
  }
  EXPECT_EQ(entriesOf(docs()), before);
  EXPECT_FALSE(fresh->hasFile());
  EXPECT_EQ(fresh->windowTitle(), "* Nouveau1");
  EXPECT_TRUE(fresh->model().modified());
}

TEST_F(SaveFaultTest, FailingAutoSaveNeitherTouchesTheDocumentNorNags) {
  AppSettings.AutoSave = 1;
  const fs::path f = makeDocument("essai.txt");
  TChild* c = openAndType(f, "a");
  const fs::path autoSaves = dir_ / "state" / "Scrivle";

  // The auto-save folder cannot be created: the first tick says so, later ones keep quiet.
  spit(dir_ / "state", "a file where the folder should be");
  dialogs_.expectError();
  c->TimerTimer();
  EXPECT_TRUE(contains(lastError(), "Impossible de créer le fichier")) << lastError();
  QTest::keyClicks(c->Richedit, "b");
  c->TimerTimer();
  c->TimerTimer();
  EXPECT_EQ(dialogs_.texts(FakeDialogs::Kind::Error).size(), 1U);
  EXPECT_EQ(c->model().text().substr(0, 2), "ab");
  EXPECT_TRUE(c->model().modified());
  EXPECT_TRUE(c->captionModified());
  EXPECT_TRUE(c->Timer->isActive());

  // The obstacle goes: the next tick writes the text.
  fs::remove(dir_ / "state");
  c->TimerTimer();
  const fs::path tmp = c->temporaryFile();
  EXPECT_EQ(slurp(tmp), c->model().text());

  // A full disk: the earlier auto-save stays whole, nothing half-written beside it.
  const std::string saved = slurp(tmp);
  QTest::keyClicks(c->Richedit, "more text");
  SCRIVLE_NEEDS_FILE_SIZE_LIMIT();
  dialogs_.expectError();
  {
    const FileSizeLimit full(kFullDisk);
    ASSERT_TRUE(full.active());
    c->TimerTimer();
    c->TimerTimer();
  }
  EXPECT_TRUE(contains(lastError(), "Erreur d'écriture dans le fichier")) << lastError();
  EXPECT_EQ(slurp(tmp), saved);
  // The document's journal lives there too; apart from it, only the auto-save and its
  // description.
  auto left = entriesOf(autoSaves);
  std::erase_if(left, [](const std::string& n) { return n.find(".journal") != std::string::npos; });
  EXPECT_EQ(left,
            (std::set<std::string>{tmp.filename().string(), tmp.filename().string() + ".desc"}));
  EXPECT_TRUE(c->model().modified());
  c->TimerTimer();
  EXPECT_EQ(slurp(tmp), c->model().text());
  EXPECT_EQ(dialogs_.texts(FakeDialogs::Kind::Error).size(), 2U);
}

}  // namespace
}  // namespace scrivle
