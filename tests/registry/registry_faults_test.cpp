// The settings store when the disk is full: a commit that cannot write says so, and the
// store file keeps every value it had. The file-size limit that stands for a full disk is
// POSIX only.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/files.h"
#include "registry/registry_file.h"
#include "support/fault_guards.h"
#include "support/temp_registry.h"

namespace scrivle {
namespace {

constexpr std::string_view kOptions = "\\Software\\Scrivle\\Options";

TEST(RegistryFaults, FullDiskKeepsTheStoreWholeAndIsReported) {
  test::TempRegistry temp;
  FileRegistry reg(temp.file());
  {
    RegistryBatch batch(reg);
    reg.write(RegRoot::CurrentUser, kOptions, "AutoSaveTime", RegValue::ofDword(300000));
    reg.write(RegRoot::CurrentUser, kOptions, "DefaultName", RegValue::ofString("main\x7f"));
    batch.commit();
  }
  const std::string before = readFile(temp.file());
  const regfile::Store stored = regfile::parse(before);
  const auto names = test::entriesOf(temp.dir());
  const auto limit = static_cast<rlim_t>(before.size() / 2);

  // A batch commit, and a single write outside a batch (its own commit).
  bool reported = false;
  {
    const test::FileSizeLimit full(limit);
    ASSERT_TRUE(full.active());
    reg.beginBatch();
    reg.write(RegRoot::CurrentUser, kOptions, "AutoSaveTime", RegValue::ofDword(60000));
    reg.write(RegRoot::CurrentUser, kOptions, "Nouvelle",
              RegValue::ofString(std::string(500, 'x')));
    try {
      reg.commitBatch();
    } catch (const RegistryError& e) {
      reported =
          e.kind() == RegistryError::Kind::Write &&
          std::string(e.what()).find("Erreur d'écriture dans le fichier") != std::string::npos;
    }
    EXPECT_THROW(reg.write(RegRoot::CurrentUser, kOptions, "Line", RegValue::ofDword(1)),
                 RegistryError);
  }
  EXPECT_TRUE(reported);
  EXPECT_EQ(readFile(temp.file()), before);
  EXPECT_TRUE(regfile::parse(readFile(temp.file())) == stored);
  EXPECT_EQ(test::entriesOf(temp.dir()), names);
  EXPECT_EQ(reg.read(RegRoot::CurrentUser, kOptions, "AutoSaveTime"), RegValue::ofDword(300000));
  EXPECT_EQ(reg.read(RegRoot::CurrentUser, kOptions, "Nouvelle"), std::nullopt);

  // Room again: the store takes writes, and what it had is still there.
  reg.write(RegRoot::CurrentUser, kOptions, "Line", RegValue::ofDword(1));
  EXPECT_EQ(reg.read(RegRoot::CurrentUser, kOptions, "Line"), RegValue::ofDword(1));
  EXPECT_EQ(reg.read(RegRoot::CurrentUser, kOptions, "DefaultName"),
            RegValue::ofString("main\x7f"));
}

}  // namespace
}  // namespace scrivle
#endif
