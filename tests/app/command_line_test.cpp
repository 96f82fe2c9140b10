#include "app/command_line.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/arguments.h"
#include "platform/files.h"
#include "platform/system.h"
#include "support/temp_files.h"

namespace scrivle {
namespace {

TEST(CommandLine, RecognisesTheFourForms) {
  const test::TempDir temp;
  const auto dir = temp.path();
  const auto file = dir / "essai.89t";
  std::ofstream(file) << "x";

  EXPECT_EQ(parseCommandLine({}).kind, StartRequest::Normal);
  EXPECT_EQ(parseCommandLine({"/new"}).kind, StartRequest::New);
  // Compared exactly: another letter case is just a path that does not exist.
  EXPECT_EQ(parseCommandLine({"/NEW"}).kind, StartRequest::Normal);
  EXPECT_EQ(parseCommandLine({"/Zip", file.string()}).kind, StartRequest::Normal);

  auto zip = parseCommandLine({"/zip", file.string()});
  EXPECT_EQ(zip.kind, StartRequest::Zip);
  EXPECT_EQ(zip.path, file);
  auto zipAlone = parseCommandLine({"/zip"});
  EXPECT_EQ(zipAlone.kind, StartRequest::Zip);
  EXPECT_TRUE(zipAlone.path.empty());

  auto open = parseCommandLine({file.string(), "ignored"});
  EXPECT_EQ(open.kind, StartRequest::Open);
  EXPECT_EQ(open.path, file);
  EXPECT_EQ(parseCommandLine({(dir / "absent.89t").string()}).kind, StartRequest::Normal);
  // A folder is not a file to open.
  EXPECT_EQ(parseCommandLine({dir.string()}).kind, StartRequest::Normal);
}

// A file whose name is outside the ANSI code page (Greek) arrives whole from the command
// line: the arguments are UTF-8 and the request names that very file.
TEST(CommandLine, GreekNamesReachTheFile) {
  const test::TempDir temp;
  const std::filesystem::path file = temp.path() / pathFromUtf8("λοιπά élève.9xt");
  std::ofstream(file) << "x";
  std::string arg = pathToUtf8(file);
  std::string zipFlag = "/zip";
  std::string program = "scrivle";
  if constexpr (!os::kWindows) {
    // On Windows the arguments come from the process's own wide command line instead.
    char* argv[] = {program.data(), zipFlag.data(), arg.data()};
    EXPECT_EQ(programArguments(3, argv), (std::vector<std::string>{"/zip", arg}));
  }
  const StartRequest zip = parseCommandLine({"/zip", arg});
  EXPECT_EQ(zip.kind, StartRequest::Zip);
  EXPECT_EQ(zip.path, file);
  const StartRequest open = parseCommandLine({arg});
  EXPECT_EQ(open.kind, StartRequest::Open);
  EXPECT_EQ(open.path, file);
}

TEST(CommandLine, PreviewTakesItsOwnArguments) {
  const auto preview = parseCommandLine({"/preview", "a.89t", "out.png", "92"});
  EXPECT_EQ(preview.kind, StartRequest::Preview);
  EXPECT_EQ(preview.previewArgs, (std::vector<std::string>{"a.89t", "out.png", "92"}));
  EXPECT_TRUE(parseCommandLine({"/preview"}).previewArgs.empty());
  EXPECT_EQ(parseCommandLine({"/Preview", "a.89t"}).kind, StartRequest::Normal);
}

}  // namespace
}  // namespace scrivle
