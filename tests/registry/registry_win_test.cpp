// The system registry (Windows builds only; under Wine in CI).
#ifdef _WIN32

#include "registry/registry_win.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/files.h"
#include "registry/registry_file.h"
#include "settings/persistence.h"
#include "support/temp_registry.h"

using namespace scrivle;

// Leaves values behind on purpose: CI reads them with "reg query" to show that the tests
// wrote to the system registry.
TEST(WinRegistry, LeavesProofForTheCiRun) {
  WinRegistry reg;
  const std::string key = "\\Software\\Scrivle CI\\Proof";
  reg.deleteKey(RegRoot::CurrentUser, "\\Software\\Scrivle CI");
  reg.write(RegRoot::CurrentUser, key, "writer", RegValue::ofString("core_tests"));
  reg.write(RegRoot::CurrentUser, key, "count", RegValue::ofDword(0x12C));
  reg.write(RegRoot::CurrentUser, key, "bytes", RegValue::ofString("\x7f\x12\r\n\xEA"));
  EXPECT_EQ(reg.read(RegRoot::CurrentUser, "SOFTWARE\\SCRIVLE CI\\PROOF", "WRITER")->data,
            "core_tests");
  EXPECT_EQ(reg.read(RegRoot::CurrentUser, key, "bytes")->data, "\x7f\x12\r\n\xEA");
  EXPECT_EQ(reg.subKeys(RegRoot::CurrentUser, "\\Software\\Scrivle CI"),
            std::vector<std::string>{"Proof"});
}

// A recent file named in Greek: its UTF-8 path reads back byte for byte, whatever the
// system's code page.
TEST(WinRegistry, Utf8PathsReadBackUnchanged) {
  WinRegistry reg;
  const std::string key = "\\Software\\Scrivle CI\\Paths";
  const std::string path = "C:\\données\\λοιπά.9xt";
  reg.write(RegRoot::CurrentUser, key, "Fichier1", RegValue::ofString(path));
  EXPECT_EQ(reg.read(RegRoot::CurrentUser, key, "Fichier1")->data, path);
  EXPECT_EQ(reg.valueNames(RegRoot::CurrentUser, key), std::vector<std::string>{"Fichier1"});
  reg.deleteKey(RegRoot::CurrentUser, key);
}

// After CI has imported the Linux-written store with the registry editor: every value
// reads back with the same type and bytes, and the settings load as they were saved.
TEST(WinRegistry, ImportedStoreReadsBackTheSame) {
  const char* file = std::getenv("SCRIVLE_IMPORTED_STORE");
  if (file == nullptr || *file == '\0') {
    GTEST_SKIP() << "SCRIVLE_IMPORTED_STORE not set";
  }
  const regfile::Store store = regfile::parse(readFile(file));
  WinRegistry reg;
  int values = 0;
  for (const auto& [id, key] : store.keys()) {
    for (const regfile::StoredValue& v : key.values) {
      EXPECT_EQ(reg.read(id.first, key.path, v.name), v.value) << key.path << " " << v.name;
      ++values;
    }
  }
  EXPECT_GT(values, 200);
  TParametre s;
  EXPECT_TRUE(loadSettings(reg, s, "C:\\ailleurs", {}, {}).complete);
  EXPECT_EQ(s, test::sampleSettings());
}

#endif  // _WIN32
