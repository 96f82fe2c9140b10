#include "platform/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

#ifdef _WIN32
#include <chrono>
#include <thread>

#include "platform/windows_api.h"
#endif

#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>
#endif

#include "platform/arguments.h"
#include "support/temp_files.h"

namespace fs = std::filesystem;
using namespace scrivle;

namespace {

using test::slurp;
using test::spit;
using test::TempDir;

std::vector<std::string> entries(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) {
    names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string messageOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const ScrivleError& e) {
    return e.what();
  }
  return "(no error)";
}

#ifndef _WIN32
bool runningAsRoot() {
  return ::geteuid() == 0;
}
#endif

}  // namespace

TEST(Files, ReadFileGivesEveryByteOrAFrenchError) {
  TempDir dir;
  const std::string all = [] {
    std::string s;
    for (int i = 0; i < 256; ++i) {
      s.push_back(static_cast<char>(i));
    }
    return s + "\r\n\r";
  }();
  spit(dir.path() / "a.bin", all);
  EXPECT_EQ(readFile(dir.path() / "a.bin"), all);
  const fs::path missing = dir.path() / "absent.89t";
  EXPECT_EQ(messageOf([&] { readFile(missing); }),
            "Impossible d'ouvrir le fichier " + missing.string());
}

TEST(Files, SaveCreatesAndReplacesLeavingNothingBehind) {
  TempDir dir;
  const fs::path target = dir.path() / "essai.89t";
  writeFileAtomically(target, "first");
  EXPECT_EQ(slurp(target), "first");

#ifndef _WIN32
  // The replacement keeps the old file's mode (Windows files have none, only the
  // read-only attribute, which refuses the save: see the read-only test).
  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
#endif
  writeFileAtomically(target, std::string("second\0x", 8));
  EXPECT_EQ(slurp(target), std::string("second\0x", 8));
#ifndef _WIN32
  EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
#endif
  writeFileAtomically(target, "");
  EXPECT_EQ(slurp(target), "");
  EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"essai.89t"});
}

TEST(Files, SaveFollowsSymbolicLinks) {
  TempDir dir;
  fs::create_directory(dir.path() / "real");
  fs::create_directory(dir.path() / "links");
  const fs::path real = dir.path() / "real" / "texte.9xt";
  const fs::path link = dir.path() / "links" / "lien.9xt";
  spit(real, "old");
  std::error_code ec;
  fs::create_symlink("../real/texte.9xt", link, ec);
  if (ec) {
    // Windows grants symbolic links to administrators and developer mode only; Wine has
    // none at all.
    GTEST_SKIP() << "no symbolic links on this system: " << ec.message();
  }

  writeFileAtomically(link, "new");
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(slurp(real), "new");
  EXPECT_EQ(entries(dir.path() / "real"), std::vector<std::string>{"texte.9xt"});
  EXPECT_EQ(entries(dir.path() / "links"), std::vector<std::string>{"lien.9xt"});

  // A link to a file that does not exist yet creates that file.
  const fs::path dangling = dir.path() / "links" / "futur.9xt";
  fs::create_symlink(dir.path() / "real" / "futur.9xt", dangling);
  writeFileAtomically(dangling, "born");
  EXPECT_TRUE(fs::is_symlink(dangling));
  EXPECT_EQ(slurp(dir.path() / "real" / "futur.9xt"), "born");
}

TEST(Files, FailedSaveKeepsTheOldFile) {
  TempDir dir;
  // The folder is a file: nothing can be created there.
  spit(dir.path() / "plain", "x");
  const fs::path impossible = dir.path() / "plain" / "essai.89t";
  EXPECT_EQ(messageOf([&] { writeFileAtomically(impossible, "abc"); }),
            "Impossible de créer le fichier " + impossible.string());

  // The target is a folder: the rename fails and the temporary file goes away.
  fs::create_directory(dir.path() / "folder.89t");
  EXPECT_EQ(messageOf([&] { writeFileAtomically(dir.path() / "folder.89t", "abc"); }),
            "Impossible de créer le fichier " + (dir.path() / "folder.89t").string());
  EXPECT_EQ(entries(dir.path()), (std::vector<std::string>{"folder.89t", "plain"}));

#ifndef _WIN32
  // Writing fails half-way (a file-size limit stands in for a full disk).
  const fs::path target = dir.path() / "essai.92t";
  spit(target, "the old text");
  struct rlimit saved {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 1000;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::string message =
      messageOf([&] { writeFileAtomically(target, std::string(5000, 'z')); });
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(message, "Erreur d'écriture dans le fichier " + target.string());
  EXPECT_EQ(slurp(target), "the old text");
  EXPECT_EQ(entries(dir.path()), (std::vector<std::string>{"essai.92t", "folder.89t", "plain"}));
#endif
}

#ifdef _WIN32
// A file held open for a moment by someone else without the right to delete it (a virus
// scanner, another thread reading it) is replaced once let go, not refused.
TEST(Files, SaveWaitsForAFileHeldOpenForAMoment) {
  TempDir dir;
  const fs::path target = dir.path() / "essai.89t";
  spit(target, "old");
  HANDLE h = CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  std::thread release([h] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    CloseHandle(h);
  });
  EXPECT_NO_THROW(writeFileAtomically(target, "new"));
  release.join();
  EXPECT_EQ(slurp(target), "new");
  EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"essai.89t"});
}

// The read-only attribute of a folder does not stop new files on Windows (only access
// rules do, which Wine ignores): the file half of the scenario alone.
TEST(Files, ReadOnlyFileRefusedAndKept) {
  TempDir dir;
  const fs::path target = dir.path() / "essai.89t";
  spit(target, "old");
  fs::permissions(target, fs::perms::owner_read);
  EXPECT_EQ(messageOf([&] { writeFileAtomically(target, "lost"); }),
            "Impossible de créer le fichier " + target.string());
  EXPECT_EQ(slurp(target), "old");
  EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"essai.89t"});
  fs::permissions(target, fs::perms::owner_all);
}
#else
// Permissions only bite an ordinary user: as root the scenario runs in a child process
// that first becomes "nobody". A broken expectation ends the child with a message.
void need(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "failed: %s\n", what);
    std::exit(1);
  }
}

void readOnlyFolderScenario(const fs::path& dir) {
  const fs::path target = dir / "essai.89t";
  spit(target, "old");
  fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
  writeFileAtomically(target, "new text");
  need(slurp(target) == "new text", "a read-only folder's file is rewritten in place");
  need(messageOf([&] { writeFileAtomically(dir / "autre.89t", "x"); }) ==
           "Impossible de créer le fichier " + (dir / "autre.89t").string(),
       "no new file in a read-only folder");
  {
    // In place there is no temporary file to fall back on: a longer text that does not
    // fit must fail before any old byte is overwritten.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small {};
    ::getrlimit(RLIMIT_FSIZE, &small);
    small.rlim_cur = 100;
    ::setrlimit(RLIMIT_FSIZE, &small);
    need(messageOf([&] { writeFileAtomically(target, std::string(5000, 'z')); }) ==
             "Erreur d'écriture dans le fichier " + target.string(),
         "a full disk in place is reported");
    need(slurp(target) == "new text", "a full disk in place keeps the old file");
    writeFileAtomically(target, "short");
    need(slurp(target) == "short", "a shorter text in place is cut to its length");
    std::signal(SIGXFSZ, oldHandler);
  }
  fs::permissions(dir, fs::perms::owner_all);

  fs::permissions(target, fs::perms::owner_read);
  need(messageOf([&] { writeFileAtomically(target, "lost"); }) ==
           "Impossible de créer le fichier " + target.string(),
       "a read-only file is refused");
  need(slurp(target) == "short" || slurp(target) == "new text", "a read-only file is kept");
}

TEST(Files, ReadOnlyFolderIsWrittenInPlaceAndReadOnlyFileRefused) {
  TempDir dir;
  constexpr uid_t kNobody = 65534;
  if (runningAsRoot()) {
    ASSERT_EQ(::chown(dir.path().c_str(), kNobody, kNobody), 0);
  }
  EXPECT_EXIT(
      {
        if (runningAsRoot() && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
          need(false, "dropping root privileges");
        }
        readOnlyFolderScenario(dir.path());
        std::exit(0);
      },
      testing::ExitedWithCode(0), "");
}
#endif

TEST(Files, SaveTempNameIsHiddenBesideTheTargetAndNeverATmpFile) {
  std::set<fs::path> seen;
  for (const fs::path& target :
       {fs::path("/d/essai.89t"), fs::path("/d/Nouveau1.tmp"), fs::path("/d/x.TMP")}) {
    for (int i = 0; i < 20; ++i) {
      const fs::path temp = saveTempName(target);
      EXPECT_EQ(temp.parent_path(), target.parent_path());
      EXPECT_EQ(temp.filename().string().front(), '.');
      EXPECT_NE(lowerExtension(temp), ".tmp") << temp;
      seen.insert(temp);
    }
  }
  EXPECT_GT(seen.size(), 50U);
}

TEST(Files, TempNamesOfOpenDocumentsNeverClash) {
  const fs::path dir = "/state/Scrivle";
  std::set<fs::path> used;
  const auto inUse = [&](const fs::path& p) { return used.count(p) != 0; };
  const fs::path first = uniqueTempName(dir, "essai.89t", inUse);
  EXPECT_EQ(first, dir / "essai.89t.tmp");
  used.insert(first);
  const fs::path second = uniqueTempName(dir, "essai.89t", inUse);
  EXPECT_EQ(second, dir / "essai.89t~2.tmp");
  used.insert(second);
  EXPECT_EQ(uniqueTempName(dir, "essai.89t", inUse), dir / "essai.89t~3.tmp");
  EXPECT_EQ(uniqueTempName(dir, "Nouveau1", nullptr), dir / "Nouveau1.tmp");

  EXPECT_EQ(stripTmpSuffix("essai.89t.tmp"), "essai.89t");
  EXPECT_EQ(stripTmpSuffix("essai.89t~2.tmp"), "essai.89t");
  EXPECT_EQ(stripTmpSuffix("essai.89t~12.TMP"), "essai.89t");
  EXPECT_EQ(stripTmpSuffix("Nouveau1.tmp"), "Nouveau1");
  EXPECT_EQ(stripTmpSuffix("a~b.tmp"), "a~b");
  EXPECT_EQ(stripTmpSuffix("essai.89t"), "essai.89t");
  EXPECT_EQ(stripTmpSuffix(".tmp"), "");
}

TEST(Files, PathPieces) {
  const std::string sep(1, static_cast<char>(fs::path::preferred_separator));
  EXPECT_EQ(withTrailingSeparator("/home/a"), "/home/a" + sep);
  EXPECT_EQ(withTrailingSeparator("/home/a/"), "/home/a/");
  EXPECT_EQ(withTrailingSeparator(""), "");
  EXPECT_EQ(folderPart("/home/a/essai.9XT"), "/home/a" + sep);
  EXPECT_EQ(folderPart("essai.9XT"), "");
  EXPECT_EQ(fileNamePart("/home/a/essai.9XT"), "essai.9XT");
  EXPECT_EQ(lowerExtension("/home/a/essai.9XT"), ".9xt");
  EXPECT_EQ(lowerExtension("/home/a.b/essai"), "");
}

#ifdef _WIN32
TEST(Files, AutoSaveFolderIsScrivlesOwnUnderLocalAppData) {
  TempDir dir;
  const wchar_t* old = _wgetenv(L"LOCALAPPDATA");
  const std::wstring saved = old != nullptr ? old : L"";
  _wputenv_s(L"LOCALAPPDATA", (dir.path() / "Local").c_str());
  EXPECT_EQ(autoSaveDir(), dir.path() / "Local" / "Scrivle");
  const fs::path made = ensureAutoSaveDir();
  EXPECT_TRUE(fs::is_directory(made));
  EXPECT_EQ(ensureAutoSaveDir(), made);

  // A folder that cannot be made is a French error, not a crash.
  spit(dir.path() / "blocked", "x");
  _wputenv_s(L"LOCALAPPDATA", (dir.path() / "blocked").c_str());
  EXPECT_NE(messageOf([] { ensureAutoSaveDir(); }).find("Impossible de créer"), std::string::npos);
  _wputenv_s(L"LOCALAPPDATA", saved.c_str());
}
#else
TEST(Files, AutoSaveFolderIsScrivlesOwn) {
  TempDir dir;
  const char* oldState = std::getenv("XDG_STATE_HOME");
  const std::string savedState = oldState != nullptr ? oldState : "";
  const char* oldHome = std::getenv("HOME");
  const std::string savedHome = oldHome != nullptr ? oldHome : "";

  ::setenv("XDG_STATE_HOME", (dir.path() / "state").c_str(), 1);
  EXPECT_EQ(autoSaveDir(), dir.path() / "state" / "Scrivle");
  const fs::path made = ensureAutoSaveDir();
  EXPECT_TRUE(fs::is_directory(made));
  EXPECT_EQ(fs::status(made).permissions() & fs::perms::all, fs::perms::owner_all);
  EXPECT_EQ(ensureAutoSaveDir(), made);

  ::setenv("HOME", dir.path().c_str(), 1);
  ::unsetenv("XDG_STATE_HOME");
  EXPECT_EQ(autoSaveDir(), dir.path() / ".local" / "state" / "Scrivle");
  ::setenv("XDG_STATE_HOME", "relative/state", 1);
  EXPECT_EQ(autoSaveDir(), dir.path() / ".local" / "state" / "Scrivle");

  // A folder that cannot be made is a French error, not a crash.
  spit(dir.path() / "blocked", "x");
  ::setenv("XDG_STATE_HOME", (dir.path() / "blocked").c_str(), 1);
  EXPECT_NE(messageOf([] { ensureAutoSaveDir(); }).find("Impossible de créer"), std::string::npos);

  if (oldState != nullptr) {
    ::setenv("XDG_STATE_HOME", savedState.c_str(), 1);
  } else {
    ::unsetenv("XDG_STATE_HOME");
  }
  if (oldHome != nullptr) {
    ::setenv("HOME", savedHome.c_str(), 1);
  } else {
    ::unsetenv("HOME");
  }
}
#endif

// A path held in a string is UTF-8 on every system: a Greek and accented name goes there
// and back unchanged, and the file is found again by the string alone.
TEST(Utf8Paths, GreekAndAccentedNamesRoundTrip) {
  const test::TempDir temp;
  const std::string name = "λοιπά élève.9XT";
  const fs::path file = temp.path() / pathFromUtf8(name);
  writeFileAtomically(file, "x");
  ASSERT_TRUE(fs::is_regular_file(file));
  EXPECT_EQ(fileNamePart(file), name);
  EXPECT_EQ(lowerExtension(file), ".9xt");
  EXPECT_EQ(pathFromUtf8(pathToUtf8(file)), file);
  EXPECT_EQ(readFile(pathFromUtf8(folderPart(file) + name)), "x");
  EXPECT_EQ(pathToUtf8(file.filename()), name);
#ifdef _WIN32
  EXPECT_EQ(file.filename().wstring(), L"λοιπά élève.9XT");
  EXPECT_EQ(utf8FromWide(L"λοιπά élève"), "λοιπά élève");
  EXPECT_EQ(wideFromUtf8("λοιπά élève"), L"λοιπά élève");
#endif
}
