#include "platform/errors.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <new>
#include <system_error>

#include "support/fake_dialogs.h"

namespace scrivle {
namespace {

using test::FakeDialogs;

TEST(RunCommand, ShowsEachKindOfFailureInFrenchAndReportsIt) {
  FakeDialogs dialogs;
  bool ran = false;
  EXPECT_TRUE(runCommand(dialogs, [&] { ran = true; }));
  EXPECT_TRUE(ran);
  EXPECT_TRUE(dialogs.shown().empty());

  dialogs.expectError("Impossible de créer le fichier /tmp/a b.9xt");
  EXPECT_FALSE(runCommand(dialogs, [] { throw cannotCreate("/tmp/a b.9xt"); }));
  dialogs.expectError("Impossible d'ouvrir le fichier x.txt");
  EXPECT_FALSE(runCommand(dialogs, [] { throw cannotOpen("x.txt"); }));

  // Errors of the standard library never show their English text.
  dialogs.expectError("Le fichier /nowhere/f est introuvable");
  EXPECT_FALSE(runCommand(dialogs, [] {
    throw std::filesystem::filesystem_error(
        "cannot open", "/nowhere/f", std::make_error_code(std::errc::no_such_file_or_directory));
  }));
  dialogs.expectError("Mémoire insuffisante");
  EXPECT_FALSE(runCommand(dialogs, [] { throw std::bad_alloc(); }));
  dialogs.expectError();
  EXPECT_FALSE(runCommand(dialogs, [] { (void)std::filesystem::file_size("/nowhere/at/all"); }));
  EXPECT_EQ(dialogs.texts(FakeDialogs::Kind::Error).back().find("No such"), std::string::npos);
  dialogs.expectError("Erreur inattendue");
  EXPECT_FALSE(runCommand(dialogs, [] { throw 42; }));
  EXPECT_EQ(dialogs.shown().size(), 6U);
}

TEST(FakeDialogs, AnswersFromQueuesAndFailsOnSurprises) {
  {
    FakeDialogs dialogs;
    dialogs.expectConfirm(Answer::Yes, "Enregistrer ?");
    dialogs.expectConfirm(Answer::Cancel);
    dialogs.expectSave(std::filesystem::path("/tmp/x.9xt"));
    dialogs.expectOpen({"/a", "/b"});
    EXPECT_EQ(dialogs.confirm("Enregistrer ?", true), Answer::Yes);
    // Without a Cancel button, closing the box is No.
    EXPECT_EQ(dialogs.confirm("Autre", false), Answer::No);
    FileDialogOptions options;
    options.title = "Enregistrer sous";
    options.defaultExt = "9xt";
    EXPECT_EQ(dialogs.saveFile(options), std::filesystem::path("/tmp/x.9xt"));
    EXPECT_EQ(dialogs.lastFileOptions().defaultExt, "9xt");
    EXPECT_EQ(dialogs.openFiles({}).size(), 2U);
    EXPECT_EQ(dialogs.pending(), 0U);
    ASSERT_EQ(dialogs.shown().size(), 4U);
    EXPECT_EQ(dialogs.shown()[1].text, "Autre");
    EXPECT_FALSE(dialogs.shown()[1].withCancel);
  }
  EXPECT_NONFATAL_FAILURE(
      {
        FakeDialogs dialogs;
        EXPECT_EQ(dialogs.confirm("Quitter ?", true), Answer::Cancel);
      },
      "unexpected confirmation box: \"Quitter ?\"");
  EXPECT_NONFATAL_FAILURE({ FakeDialogs().expectMessage(); }, "never shown");
  EXPECT_NONFATAL_FAILURE(
      {
        FakeDialogs dialogs;
        dialogs.expectError("a");
        dialogs.error("b");
      },
      "expected \"a\"");
}

TEST(DialogFilters, ParsesDescriptionsAndPatterns) {
  const auto entries = parseFilter("Textes TI|*.9xt; *.89t|Tous (*.*)|*.*");
  ASSERT_EQ(entries.size(), 2U);
  EXPECT_EQ(entries[0].description, "Textes TI");
  EXPECT_EQ(entries[0].patterns, (std::vector<std::string>{"*.9xt", "*.89t"}));
  EXPECT_EQ(entries[1].patterns, (std::vector<std::string>{"*.*"}));
  EXPECT_TRUE(parseFilter("").empty());
}

}  // namespace
}  // namespace scrivle
