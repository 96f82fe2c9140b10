// "&Zipper" on the active document: what is compressed is always the file as saved.
#include <gtest/gtest.h>
#include <QApplication>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "app/main_u.h"
#include "compress/zip.h"
#include "compress/zip_action_u.h"
#include "document/child_u.h"
#include "editor/editor_view_u.h"
#include "editor/text_model.h"
#include "settings/parametre.h"
#include "support/fake_dialogs.h"
#include "support/main_window_u.h"
#include "support/temp_files.h"

namespace scrivle {
namespace {

namespace fs = std::filesystem;
using test::slurp;

class ZipActionTest : public test::MainWindowFixture {};

TEST_F(ZipActionTest, SavedDocumentsAreCompressedAsOnDisk) {
  ZipActionExecute(*main_);  // no document: nothing at all
  EXPECT_TRUE(dialogs_.shown().empty());

  const fs::path source = docs() / "cours.9xt";
  fs::copy_file(fs::path(SCRIVLE_CORPUS_DIR) / "ti-text" / "cours_optique.9xt", source);
  TChild* c = main_->openInNewWindow(source);
  ASSERT_NE(c, nullptr);
  dialogs_.expectMessage();
  ZipActionExecute(*main_);
  EXPECT_EQ(slurp(docs() / "cours.9xy"), ZipTiFile(slurp(source)));

  // A modified text is saved first, and the compressed file holds the new text.
  c->Richedit->setFocus();
  QTest::keyClicks(c->Richedit, "nouveau ");
  ASSERT_TRUE(c->captionModified());
  dialogs_.expectMessage();
  ZipActionExecute(*main_);
  EXPECT_FALSE(c->captionModified());
  const std::string saved = slurp(source);
  EXPECT_NE(saved.find("nouveau "), std::string::npos);
  EXPECT_EQ(slurp(docs() / "cours.9xy"), ZipTiFile(saved));
}

TEST_F(ZipActionTest, NewDocumentsGoThroughSaveAs) {
  main_->NouveauActionExecute();
  dialogs_.expectSave(std::nullopt);
  ZipActionExecute(*main_);  // cancelled: nothing written, no other box
  EXPECT_TRUE(fs::is_empty(docs()));

  dialogs_.expectSave(docs() / "vide.92t");
  dialogs_.expectMessage();  // statistics
  dialogs_.expectConfirm(Answer::No,
                         "La compression n'a pas été efficace. Voulez-vous effacer le fichier "
                         "zippé ?");
  ZipActionExecute(*main_);
  EXPECT_TRUE(fs::exists(docs() / "vide.92y"));

  // Saved as plain text, it reaches the compressor and is refused there.
  main_->NouveauActionExecute();
  dialogs_.expectSave(docs() / "notes.txt");
  dialogs_.expectMessage("Vous devez enregistrer le texte au format TI !!!");
  ZipActionExecute(*main_);
  EXPECT_FALSE(fs::exists(docs() / "notes.txy"));
}

}  // namespace
}  // namespace scrivle
