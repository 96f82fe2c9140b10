// Disk faults that still bite when the tests run as root, where permissions stop nothing:
// a file-size limit stands for a full disk (writes past it fail with EFBIG), and a path
// under a regular file can never be created (ENOTDIR).
#pragma once

#ifdef _WIN32
using rlim_t = unsigned long long;  // the type of a limit where limits exist
#else
#include <sys/resource.h>
#endif

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace scrivle::test {

#ifdef _WIN32
// Windows has no file-size limit: the tests that need one are skipped, saying so.
#define SCRIVLE_NEEDS_FILE_SIZE_LIMIT() \
  GTEST_SKIP() << "no file-size limit on Windows to stand for a full disk"
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t /*bytes*/) {}
  bool active() const { return false; }
};
#else
#define SCRIVLE_NEEDS_FILE_SIZE_LIMIT() static_cast<void>(0)

// While alive, no file of this process may grow past `bytes`. SIGXFSZ is ignored so that
// the write fails instead of killing the test. Keep the scope narrow: gtest's own output
// to a regular file is subject to the limit too.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit limited = saved_;
    limited.rlim_cur =
        saved_.rlim_max == RLIM_INFINITY || bytes < saved_.rlim_max ? bytes : saved_.rlim_max;
    active_ = ::setrlimit(RLIMIT_FSIZE, &limited) == 0;
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previousHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  // False when the limit could not be set (the test must then fail, not pass vacuously).
  bool active() const { return active_; }

 private:
  rlimit saved_{};
  void (*previousHandler_)(int) = SIG_DFL;
  bool active_ = false;
};
#endif

// A path that cannot be created: `name` inside a regular file made for the purpose.
inline std::filesystem::path uncreatablePath(const std::filesystem::path& dir,
                                             const std::string& name) {
  const std::filesystem::path blocker = dir / "blocker";
  std::ofstream(blocker, std::ios::binary) << "not a folder";
  return blocker / name;
}

// The names in a folder: a save must leave nothing of its own behind.
inline std::set<std::string> entriesOf(const std::filesystem::path& dir) {
  std::set<std::string> names;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(dir, ec)) {
    names.insert(e.path().filename().string());
  }
  return names;
}

}  // namespace scrivle::test
