// Shell registration on the real registry store (a file in a temporary folder here; the
// system registry in the Windows run).
#include "desktop/shell.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "document/tifile.h"
#include "settings/persistence.h"
#include "registry/registry_file.h"
#include "support/temp_files.h"

namespace scrivle {
namespace {

namespace fs = std::filesystem;
constexpr RegRoot HKCR = RegRoot::ClassesRoot;

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir_ / "install");
    reg_ = std::make_unique<FileRegistry>(dir_ / "registry.reg");
    s_ = defaultSettings(dir_ / "install");
  }
  void TearDown() override { reg_.reset(); }

  std::optional<std::string> str(std::string_view key, std::string_view name) {
    auto v = reg_->read(HKCR, key, name);
    if (!v) return std::nullopt;
    return v->data;
  }
  void put(std::string_view key, std::string_view name, std::string_view text) {
    reg_->write(HKCR, key, name, RegValue::ofString(std::string(text)));
  }
  void associateOnly(bool a89, bool a92, bool a9x) {
    s_.Asso89 = toFlag(a89);
    s_.Asso92 = toFlag(a92);
    s_.Asso9x = toFlag(a9x);
  }
  TParametre derived() {
    TParametre d = s_;
    deriveShellFlags(*reg_, d);
    return d;
  }

  test::TempDir temp_;
  const fs::path dir_ = temp_.path();
  std::unique_ptr<FileRegistry> reg_;
  TParametre s_;
};

TEST_F(ShellTest, FreshAssociationWritesEverythingAndIsDerivedBack) {
  associateOnly(true, false, false);
  s_.MenuOuvrir = s_.MenuZipper = s_.MenuNouveau = kTrue;
  s_.DefaultExt = "92t";
  registerShell(*reg_, s_);

  EXPECT_EQ(str("\\.89t", ""), "TI-Text");
  EXPECT_EQ(str("\\.89t", "Content Type"), "Textes TI");
  EXPECT_FALSE(str("\\.92t", ""));
  EXPECT_EQ(str("\\TI-Text\\shell\\Ouvrir\\command", ""), s_.InstallDir + "\\Scrivle.exe \"%1\"");
  EXPECT_EQ(str("\\TI-Text\\shell\\Zip\\command", ""), s_.InstallDir + "\\Scrivle.exe /zip \"%1\"");
  const auto data = reg_->read(HKCR, "\\.92t\\ShellNew", "Data");
  ASSERT_TRUE(data);
  EXPECT_EQ(data->type, RegType::Binary);
  EXPECT_EQ(data->data, emptyTemplate());
  EXPECT_EQ(data->data.size(), 96u);

  const TParametre d = derived();
  EXPECT_TRUE(isSet(d.Asso89));
  EXPECT_FALSE(isSet(d.Asso92) || isSet(d.Asso9x));
  EXPECT_TRUE(isSet(d.MenuOuvrir) && isSet(d.MenuZipper) && isSet(d.MenuNouveau));

  // A command line naming another folder is not Scrivle's any more.
  TParametre moved = s_;
  moved.InstallDir = "C:\\ailleurs";
  deriveShellFlags(*reg_, moved);
  EXPECT_FALSE(isSet(moved.MenuOuvrir) || isSet(moved.MenuZipper));

  // Turning the new-file entry off takes it away again; the extension key stays.
  s_.MenuNouveau = kFalse;
  registerShell(*reg_, s_);
  EXPECT_FALSE(reg_->keyExists(HKCR, "\\.92t\\ShellNew"));
  EXPECT_FALSE(isSet(derived().MenuNouveau));
}

TEST_F(ShellTest, AnotherProgramsTypeIsKeptAsideAndGivenBack) {
  put("\\.92t", "", "Autre.Document");
  put("\\.92t", "Content Type", "text/autre");
  associateOnly(false, true, false);
  registerShell(*reg_, s_);
  EXPECT_EQ(str("\\.92t", "Old"), "Autre.Document");
  EXPECT_FALSE(str("\\.92t", ""));  // left absent on this first Apply
  EXPECT_EQ(str("\\.92t", "Old Content"), "text/autre");
  EXPECT_FALSE(isSet(derived().Asso92));

  // Un-associating right away puts both back.
  associateOnly(false, false, false);
  registerShell(*reg_, s_);
  EXPECT_EQ(str("\\.92t", ""), "Autre.Document");
  EXPECT_EQ(str("\\.92t", "Content Type"), "text/autre");
  EXPECT_FALSE(str("\\.92t", "Old") || str("\\.92t", "Old Content"));

  // Two Applies with the box checked end with "TI-Text", "Old" kept.
  associateOnly(false, true, false);
  registerShell(*reg_, s_);
  registerShell(*reg_, s_);
  EXPECT_EQ(str("\\.92t", ""), "TI-Text");
  EXPECT_EQ(str("\\.92t", "Content Type"), "Textes TI");
  EXPECT_EQ(str("\\.92t", "Old"), "Autre.Document");
  EXPECT_TRUE(isSet(derived().Asso92));

  // "TI-Text" with "Old": un-associating changes neither value.
  associateOnly(false, false, false);
  registerShell(*reg_, s_);
  EXPECT_EQ(str("\\.92t", ""), "TI-Text");
  EXPECT_EQ(str("\\.92t", "Old"), "Autre.Document");
}

TEST_F(ShellTest, OtherProgramsKeysAndCommandsAreLeftAlone) {
  // An extension owned by another program, without "Old", holding Scrivle's new-file
  // command; another program's "Ouvrir" verb; Scrivle's own "Zip" verb.
  put("\\.9xt", "", "Autre.Type");
  put("\\.9xt\\ShellNew", "Command", s_.InstallDir + "\\Scrivle.exe /new");
  put("\\TI-Text\\shell\\Ouvrir\\command", "", "C:\\Autre\\autre.exe \"%1\"");
  put("\\TI-Text\\shell\\Zip\\command", "", s_.InstallDir + "\\Scrivle.exe /zip \"%1\"");

  // No association: the verbs and new-file entries stay whatever the flags say, and the
  // other program's extension is not un-associated.
  associateOnly(false, false, false);
  registerShell(*reg_, s_);
  EXPECT_EQ(str("\\.9xt", ""), "Autre.Type");
  EXPECT_TRUE(reg_->keyExists(HKCR, "\\.9xt\\ShellNew"));
  EXPECT_TRUE(reg_->keyExists(HKCR, "\\TI-Text\\shell\\Zip"));
  EXPECT_TRUE(isSet(derived().MenuNouveau));

  // With an association: only Scrivle's exact lines go.
  associateOnly(true, false, false);
  registerShell(*reg_, s_);
  put("\\.89t\\ShellNew", "Command", "C:\\Autre\\autre.exe /new");
  registerShell(*reg_, s_);
  EXPECT_EQ(str("\\TI-Text\\shell\\Ouvrir\\command", ""), "C:\\Autre\\autre.exe \"%1\"");
  EXPECT_FALSE(reg_->keyExists(HKCR, "\\TI-Text\\shell\\Zip"));
  EXPECT_FALSE(reg_->keyExists(HKCR, "\\.9xt\\ShellNew"));
  EXPECT_EQ(str("\\.89t\\ShellNew", "Command"), "C:\\Autre\\autre.exe /new");
  EXPECT_EQ(str("\\.9xt", ""), "Autre.Type");

  put("\\.9xt\\ShellNew", "NullFile", "");
  uninstallScrivle(*reg_, s_);
  EXPECT_EQ(str("\\.9xt", ""), "Autre.Type");
  EXPECT_TRUE(reg_->keyExists(HKCR, "\\.9xt\\ShellNew"));
  EXPECT_FALSE(reg_->keyExists(HKCR, "\\.89t"));  // was Scrivle's: gone with all below it
  EXPECT_FALSE(reg_->keyExists(HKCR, "\\TI-Text"));
}

TEST_F(ShellTest, UninstallRemovesSettingsAndRegistration) {
  reg_->write(RegRoot::CurrentUser, "\\Software\\Scrivle\\Options", "flat", RegValue::ofDword(1));
  reg_->write(RegRoot::LocalMachine, kAppPathsKey, "PATH", RegValue::ofString("C:\\x"));
  associateOnly(true, true, true);
  s_.MenuOuvrir = s_.MenuNouveau = kTrue;
  registerShell(*reg_, s_);
  uninstallScrivle(*reg_, s_);
  EXPECT_FALSE(reg_->keyExists(RegRoot::CurrentUser, "\\Software\\Scrivle"));
  EXPECT_FALSE(reg_->keyExists(RegRoot::LocalMachine, kAppPathsKey));
  for (const char* k : {"\\.89t", "\\.92t", "\\.9xt", "\\TI-Text"}) {
    EXPECT_FALSE(reg_->keyExists(HKCR, k)) << k;
  }
#ifdef _WIN32
  EXPECT_FALSE(fs::exists(dir_ / "install"));  // the empty installation folder goes
#else
  // Here the folder is only where Scrivle was started from: someone else's, kept.
  EXPECT_TRUE(fs::is_directory(dir_ / "install"));
#endif
  const TParametre d = derived();
  EXPECT_FALSE(isSet(d.Asso89) || isSet(d.MenuOuvrir) || isSet(d.MenuNouveau));

  // On a machine that never associated anything, nothing is left behind either.
  uninstallScrivle(*reg_, s_);
  EXPECT_TRUE(reg_->subKeys(HKCR, "").empty());
}

TEST_F(ShellTest, MovingAValueNeedsASourceWithDataAndAFreeTarget) {
  put("\\.x", "A", "a");
  put("\\.x", "B", "b");
  EXPECT_FALSE(moveClassesValue(*reg_, "\\.x", "A", "B"));
  EXPECT_FALSE(moveClassesValue(*reg_, "\\.x", "Z", "C"));
  reg_->write(HKCR, "\\.x", "E", RegValue::ofBinary(""));
  EXPECT_FALSE(moveClassesValue(*reg_, "\\.x", "E", "C"));
  reg_->write(HKCR, "\\.x", "D", RegValue::ofDword(7));
  EXPECT_TRUE(moveClassesValue(*reg_, "\\.x", "D", ""));
  EXPECT_EQ(reg_->read(HKCR, "\\.x", ""), RegValue::ofDword(7));
  EXPECT_FALSE(reg_->read(HKCR, "\\.x", "D"));
}

}  // namespace
}  // namespace scrivle
