// The scripted boxes that process tests give the real program.
#include "platform/scripted_dialogs.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "support/temp_files.h"

namespace scrivle {
namespace {

namespace fs = std::filesystem;

TEST(ScriptedDialogs, AnswersInOrderAndLogsEveryBox) {
  const test::TempDir temp;
  const fs::path dir = temp.path();
  const fs::path script = dir / "answers";
  std::ofstream(script) << "# comment\nmessage\n\nconfirm no\r\nsave /tmp/x.89t\nsave\n"
                           "confirm yes\nopen\n";

#ifdef _WIN32
  _putenv_s("SCRIVLE_TEST_DIALOGS", script.string().c_str());
#else
  ::setenv("SCRIVLE_TEST_DIALOGS", script.c_str(), 1);
#endif
  auto dialogs = ScriptedDialogs::fromEnvironment();
#ifdef _WIN32
  _putenv_s("SCRIVLE_TEST_DIALOGS", "");
#else
  ::unsetenv("SCRIVLE_TEST_DIALOGS");
#endif
  ASSERT_NE(dialogs, nullptr);
  EXPECT_EQ(ScriptedDialogs::fromEnvironment(), nullptr);

  FileDialogOptions save;
  save.title = "Sous";
  FileDialogOptions open;
  open.title = "Ouvrir";
  dialogs->message("Ligne 1\r\nLigne \\2");
  EXPECT_EQ(dialogs->confirm("Enregistrer ?", true), Answer::No);
  EXPECT_EQ(dialogs->saveFile(save), fs::path("/tmp/x.89t"));
  EXPECT_EQ(dialogs->saveFile(save), std::nullopt);
  EXPECT_EQ(dialogs->confirm("Quitter ?", true), Answer::Yes);
  // Out of turn: logged as unexpected, and the script line stays for the next box.
  dialogs->error("Erreur");
  EXPECT_TRUE(dialogs->openFiles(open).empty());
  EXPECT_EQ(dialogs->confirm("Encore ?", false), Answer::No);  // script exhausted

  const std::string log = test::slurp(dir / "answers.log");
  EXPECT_EQ(log,
            "message: Ligne 1\\r\\nLigne \\\\2\n"
            "confirm: Enregistrer ? => no\n"
            "save: Sous => /tmp/x.89t\n"
            "save: Sous => cancel\n"
            "confirm: Quitter ? => yes\n"
            "unexpected error: Erreur\n"
            "open: Ouvrir => cancel\n"
            "unexpected confirm: Encore ?\n");
}

}  // namespace
}  // namespace scrivle
