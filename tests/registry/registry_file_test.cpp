#include "registry/registry_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <random>
#include <thread>

#include "platform/files.h"
#include "settings/persistence.h"
#include "support/temp_registry.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#endif

using namespace scrivle;
namespace fs = std::filesystem;

namespace {

// The file's text as UTF-8 (it is stored as UTF-16LE with a mark).
std::string fileText(const fs::path& file) {
  const std::string bytes = readFile(file);
  std::string out;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const auto u =
        static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
    out += u < 0x80 ? static_cast<char>(u) : '?';
  }
  return out;
}

}  // namespace

TEST(RegistryFile, WritesTheEditorsExportFormatAndReadsItBack) {
  test::TempRegistry temp;
  FileRegistry reg(temp.file());
  const std::string controls = "a\r\nb\x7f\x12\x0f";
  const std::string c1 = "\x80\x81\x9f\xea";
  const std::string binary(100, '\xAB');
  const std::string oddName("l\r\n\0", 4);  // a name has no hex form: escapes
  {
    RegistryBatch batch(reg);
    reg.write(RegRoot::CurrentUser, "\\SoftWare\\Scrivle", "InstallDir",
              RegValue::ofString("C:\\a \"b\""));
    reg.write(RegRoot::CurrentUser, "\\Software\\Scrivle\\Options", "flat", RegValue::ofDword(300));
    reg.write(RegRoot::CurrentUser, "\\Software\\Scrivle\\Menu\\1", "texte",
              RegValue::ofString(controls));
    reg.write(RegRoot::CurrentUser, "\\Software\\Scrivle\\Menu\\1", "nom", RegValue::ofString(c1));
    reg.write(RegRoot::CurrentUser, "\\Software\\Scrivle\\X", "e",
              RegValue::ofString("%TEMP%", RegType::ExpandSz));
    reg.write(RegRoot::CurrentUser, "\\Software\\Scrivle\\X", "b", RegValue::ofBinary(binary));
    reg.write(RegRoot::CurrentUser, "\\Software\\Scrivle\\X", oddName, RegValue::ofDword(1));
    reg.write(RegRoot::LocalMachine, kAppPathsKey, "", RegValue::ofString("C:\\S\\Scrivle.exe"));
    batch.commit();
  }
  const std::string bytes = readFile(temp.file());
  ASSERT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  const std::string text = fileText(temp.file());
  for (const char* line :
       {"Windows Registry Editor Version 5.00\r\n\r\n",
        "\r\n[HKEY_CURRENT_USER\\SoftWare\\Scrivle]\r\n\"InstallDir\"=\"C:\\\\a \\\"b\\\"\"\r\n",
        "[HKEY_CURRENT_USER\\SoftWare\\Scrivle\\Options]\r\n\"flat\"=dword:0000012c\r\n",
        "\"texte\"=hex(1):61,00,0d,00,0a,00,62,00,7f,00,12,00,0f,00,00,00\r\n",
        "\"nom\"=hex(1):ac,20,81,00,78,01,ea,00,00,00\r\n",
        "\"e\"=hex(2):25,00,54,00,45,00,4d,00,50,00,25,00,00,00\r\n", "\"b\"=hex:ab,ab,",
        "ab,\\\r\n  ab,ab,", "\"l\\r\\n\\0\"=dword:00000001\r\n",
        "App Paths\\Scrivle.exe]\r\n@=\"C:\\\\S\\\\Scrivle.exe\"\r\n"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line << "\nin:\n" << text;
  }

  // Names are compared without letter case; every byte comes back.
  FileRegistry again(temp.file());
  EXPECT_EQ(again.read(RegRoot::CurrentUser, "SOFTWARE\\scrivle\\menu\\1\\", "TEXTE")->data,
            controls);
  EXPECT_EQ(again.read(RegRoot::CurrentUser, "\\Software\\Scrivle\\Menu\\1", "nom")->data, c1);
  EXPECT_EQ(*again.read(RegRoot::CurrentUser, "\\Software\\Scrivle\\X", "b"),
            RegValue::ofBinary(binary));
  EXPECT_EQ(again.read(RegRoot::CurrentUser, "\\Software\\Scrivle\\X", oddName)->dword, 1U);
  EXPECT_EQ(again.read(RegRoot::CurrentUser, "\\Software\\Scrivle\\X", "e")->type,
            RegType::ExpandSz);
  EXPECT_EQ(again.subKeys(RegRoot::CurrentUser, "\\Software\\Scrivle"),
            (std::vector<std::string>{"Menu", "Options", "X"}));
  EXPECT_TRUE(again.deleteKey(RegRoot::CurrentUser, "\\software\\SCRIVLE\\menu"));
  EXPECT_FALSE(again.keyExists(RegRoot::CurrentUser, "\\Software\\Scrivle\\Menu\\1"));
  EXPECT_TRUE(again.keyExists(RegRoot::CurrentUser, "\\Software\\Scrivle\\Options"));
}

TEST(RegistryFile, DamagedFileIsSetAsideWithAMessage) {
  test::TempRegistry temp;
  const std::string garbage = "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A\n";
  writeFileAtomically(temp.file(), garbage);
  std::vector<std::string> reports;
  FileRegistry reg(temp.file(), [&](const std::string& t) { reports.push_back(t); });
  TParametre s;
  std::vector<std::string> shown;
  const SettingsLoad r =
      loadSettings(reg, s, "/home/eleve", {}, [&](const std::string& t) { shown.push_back(t); });
  EXPECT_TRUE(r.complete);
  EXPECT_TRUE(shown.empty());
  ASSERT_EQ(reports.size(), 1U);
  EXPECT_NE(reports[0].find("illisible"), std::string::npos) << reports[0];
  EXPECT_NE(reports[0].find("mis de côté"), std::string::npos) << reports[0];
  int aside = 0;
  for (const auto& e : fs::directory_iterator(temp.dir())) {
    if (e.path().filename().string().rfind("registry.reg.damaged-", 0) == 0) {
      ++aside;
      EXPECT_EQ(readFile(e.path()), garbage);
    }
  }
  EXPECT_EQ(aside, 1);
  EXPECT_EQ(s, defaultSettings("/home/eleve"));
  EXPECT_EQ(FileRegistry(temp.file()).read(RegRoot::CurrentUser, kOptionsKey, "DefaultExt"),
            RegValue::ofString("9xt"));
}

#ifndef _WIN32

TEST(RegistryFile, InterleavedWritersKeepEachOthersValues) {
  test::TempRegistry temp;
  constexpr int kWrites = 40;
  std::vector<pid_t> children;
  for (const char* who : {"a", "b", "c"}) {
    const pid_t pid = fork();
    if (pid == 0) {
      try {
        FileRegistry reg(temp.file());
        for (int i = 0; i < kWrites; ++i) {
          RegistryBatch batch(reg);
          // Read-modify-write inside one batch, as a loading does.
          reg.read(RegRoot::CurrentUser, "\\Software\\Scrivle\\Test", "a0");
          reg.write(RegRoot::CurrentUser, "\\Software\\Scrivle\\Test", who + std::to_string(i),
                    RegValue::ofDword(static_cast<std::uint32_t>(i)));
          batch.commit();
        }
      } catch (...) {
        _exit(1);
      }
      _exit(0);
    }
    children.push_back(pid);
  }
  for (const pid_t pid : children) {
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  FileRegistry reg(temp.file());
  EXPECT_EQ(reg.valueNames(RegRoot::CurrentUser, "\\Software\\Scrivle\\Test").size(), 3U * kWrites);
}

TEST(RegistryFile, KilledWriterNeverLeavesAnUnparsableFile) {
  test::TempRegistry temp;
  std::mt19937 random(12345);
  int reads = 0;
  {
    FileRegistry seed(temp.file());
    ASSERT_TRUE(saveSettings(seed, test::sampleSettings(), {}));
  }
  for (int round = 0; round < 15; ++round) {
    const pid_t writer = fork();
    if (writer == 0) {
      FileRegistry reg(temp.file());
      TParametre s = test::sampleSettings();
      for (std::uint32_t i = 0;; ++i) {
        s.AutoSaveTime = static_cast<std::int32_t>(i);
        s.Titres[0].texte.append(1, static_cast<char>('a' + i % 26));
        if (!saveSettings(reg, s, {})) {
          _exit(1);
        }
      }
    }
    const auto until = std::chrono::steady_clock::now() +
                       std::chrono::milliseconds(std::uniform_int_distribution<>(5, 40)(random));
    while (std::chrono::steady_clock::now() < until) {
      EXPECT_NO_THROW(regfile::parse(readFile(temp.file())));
      ++reads;
    }
    kill(writer, SIGKILL);
    waitpid(writer, nullptr, 0);
    EXPECT_NO_THROW(regfile::parse(readFile(temp.file())));
  }
  EXPECT_GT(reads, 15);
  // A later writer clears the temporary files the killed ones left.
  FileRegistry(temp.file()).write(RegRoot::CurrentUser, "\\A", "b", RegValue::ofDword(1));
  for (const auto& e : fs::directory_iterator(temp.dir())) {
    const std::string name = e.path().filename().string();
    EXPECT_TRUE(name == "registry.reg" || name == "registry.reg.lock") << name;
  }
}

#endif

// With SCRIVLE_SAMPLE_STORE set, leaves a store of the sample settings there, for the
// Windows run to import with the registry editor.
TEST(RegistryFile, SampleStoreForWindows) {
  test::TempRegistry temp;
  const char* out = std::getenv("SCRIVLE_SAMPLE_STORE");
  const fs::path file = out != nullptr && *out != '\0' ? fs::path(out) : temp.file();
  fs::remove(file);
  FileRegistry reg(file);
  TParametre s;
  loadSettings(reg, s, "C:\\Scrivle", {}, {});
  const TParametre sample = test::sampleSettings();
  ASSERT_TRUE(saveSettings(reg, sample, {}));
  reg.write(RegRoot::CurrentUser, kRecentsKey, "mru1", RegValue::ofString(sample.mru[0]));
  reg.write(RegRoot::CurrentUser, kRecentsKey, "mru2", RegValue::ofString(sample.mru[1]));
  ASSERT_TRUE(loadSettings(reg, s, "/elsewhere", {}, {}).complete);
  EXPECT_EQ(s, sample);
}

// Writing back what the store holds already (every start does, for App Paths and the
// recent files) leaves the file untouched: here a hand-written UTF-8 file stays as it is.
TEST(RegistryFile, ChangesThatChangeNothingAreNotWritten) {
  test::TempRegistry temp;
  const std::string hand =
      "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\A]\n\"n\"=dword:1\n"
      "\"t\"=\"texte\"\n";
  {
    std::ofstream out(temp.file(), std::ios::binary);
    out << hand;
  }
  FileRegistry reg(temp.file());
  {
    RegistryBatch batch(reg);
    reg.write(RegRoot::CurrentUser, "\\a", "N", RegValue::ofDword(1));
    reg.write(RegRoot::CurrentUser, "\\A", "t", RegValue::ofString("texte"));
    reg.createKey(RegRoot::CurrentUser, "\\A");
    batch.commit();
  }
  EXPECT_EQ(readFile(temp.file()), hand);

  reg.write(RegRoot::CurrentUser, "\\A", "n", RegValue::ofDword(2));
  EXPECT_EQ(readFile(temp.file()).substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(reg.read(RegRoot::CurrentUser, "\\A", "n")->dword, 2U);
}

// The parsed store is kept between batches, but never past a change of the file: an edit
// by hand of the same length, and another instance's write, are both seen at once.
TEST(RegistryFile, KeptStoreFollowsEveryChangeOfTheFile) {
  test::TempRegistry temp;
  const auto hand = [&](const char* value) {
    std::ofstream out(temp.file(), std::ios::binary | std::ios::trunc);
    out << "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\A]\n\"t\"=\"" << value
        << "\"\n";
  };
  hand("AA");
  FileRegistry first(temp.file());
  FileRegistry second(temp.file());
  EXPECT_EQ(first.read(RegRoot::CurrentUser, "\\A", "t")->data, "AA");
  hand("BB");  // rewritten in place, same length, most likely within the same clock tick
  EXPECT_EQ(first.read(RegRoot::CurrentUser, "\\A", "t")->data, "BB");
  hand("CC");
  EXPECT_EQ(second.read(RegRoot::CurrentUser, "\\A", "t")->data, "CC");

  first.write(RegRoot::CurrentUser, "\\A", "t", RegValue::ofString("quatre"));
  EXPECT_EQ(second.read(RegRoot::CurrentUser, "\\A", "t")->data, "quatre");
  // A batch's own changes stay its own until it commits.
  {
    RegistryBatch batch(second);
    second.write(RegRoot::CurrentUser, "\\A", "t", RegValue::ofString("cinq"));
    EXPECT_EQ(second.read(RegRoot::CurrentUser, "\\A", "t")->data, "cinq");
    EXPECT_EQ(first.read(RegRoot::CurrentUser, "\\A", "t")->data, "quatre");
  }
  EXPECT_EQ(first.read(RegRoot::CurrentUser, "\\A", "t")->data, "cinq");
}
