// UTF-8 plain-text files in the document window: read through the calculator table,
// opened unmodified, written back as they came; the clipboard and the file agree.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/main_u.h"
#include "app/size_box_u.h"
#include "document/child_u.h"
#include "document/plaintext.h"
#include "document/tifile.h"
#include "editor/editor_view_u.h"
#include "editor/text_model.h"
#include "platform/clipboard_u.h"
#include "settings/parametre.h"
#include "support/fake_dialogs.h"
#include "support/main_window_u.h"
#include "support/temp_files.h"

namespace scrivle {
namespace {

namespace fs = std::filesystem;
class PlainTextWindow : public test::MainWindowFixture {};

using test::FakeDialogs;
using test::slurp;
using test::spit;

TEST_F(PlainTextWindow, Utf8FileOpensUnmodifiedAndSavesBackTheSameBytes) {
  const fs::path f = dir_ / "note.txt";
  const std::string file =
      "\xEF\xBB\xBF"
      "Café crème αβ ≤ π\n";
  spit(f, file);
  TChild* c = main_->openInNewWindow(f);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->model().text(), "Caf\xE9 cr\xE8me \x80\x81 \x9C \x8C\r\n");
  EXPECT_FALSE(c->model().modified());
  EXPECT_TRUE(dialogs_.texts(FakeDialogs::Kind::Message).empty());
  EXPECT_EQ(main_->editTaille()->shownText(), "Taille sur TI : 26 octets");  // calculator bytes

  c->model().setSel(0, 0);
  c->model().replaceSelection("!");
  ASSERT_TRUE(c->Enregistrer());
  EXPECT_EQ(slurp(f), "\xEF\xBB\xBF!Café crème αβ ≤ π\n");

  // Saved as a calculator text, the same document writes calculator bytes.
  const fs::path ti = dir_ / "note.89t";
  dialogs_.expectSave(ti);
  main_->action("EnregistrersousAction")->trigger();
  EXPECT_EQ(readTiText(slurp(ti)).text, "!Caf\xE9 cr\xE8me \x80\x81 \x9C \x8C\r\n");
}

TEST_F(PlainTextWindow, ReplacedCharactersAreCountedInOneBox) {
  const fs::path f = dir_ / "chinois.txt";
  spit(f, "中文 “ok” ≈\n");
  dialogs_.expectMessage(
      "3 caractères sans équivalent sur la calculatrice ont été remplacés par « ? ».");
  TChild* c = main_->openInNewWindow(f);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->model().text(), "?? \"ok\" ?\r\n");
  EXPECT_FALSE(c->model().modified());
  EXPECT_EQ(dialogs_.texts(FakeDialogs::Kind::Message).size(), 1u);
}

TEST_F(PlainTextWindow, Latin1FileStaysByteForByte) {
  const fs::path f = dir_ / "latin1.txt";
  const std::string file = "Caf\xE9 cr\xE8me\n\xBD";
  spit(f, file);
  TChild* c = main_->openInNewWindow(f);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->model().text(), file);
  c->model().setSel(0, 0);
  c->model().replaceSelection("\xBD");
  ASSERT_TRUE(c->Enregistrer());
  EXPECT_EQ(slurp(f), "\xBD" + file);
}

TEST_F(PlainTextWindow, OpenedTextEqualsWhatTheClipboardGives) {
  const std::string unicode = "Prix : 5 € — “citation” → ok ½ œuvre\nl’image ≈ 中\n";
  const fs::path f = dir_ / "prix.txt";
  spit(f, unicode);
  dialogs_.expectMessage();
  TChild* c = main_->openInNewWindow(f);
  ASSERT_NE(c, nullptr);
  std::size_t fromClipboard = 0;
  EXPECT_EQ(c->model().text(),
            QtClipboard::fromUnicode(QString::fromUtf8(unicode.c_str()), &fromClipboard));
  EXPECT_EQ(fromClipboard, 2u);

  // Pasting the same text shows the same count once.
  QGuiApplication::clipboard()->setText(QString::fromUtf8(unicode.c_str()));
  dialogs_.expectMessage(
      "2 caractères sans équivalent sur la calculatrice ont été remplacés par « ? ».");
  c->Richedit->setFocus();
  main_->action("CollerAction")->trigger();
  EXPECT_EQ(dialogs_.texts(FakeDialogs::Kind::Message).size(), 2u);
  EXPECT_EQ(dialogs_.pending(), 0u);
  QGuiApplication::clipboard()->clear();
}

}  // namespace
}  // namespace scrivle
