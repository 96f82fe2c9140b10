// A fresh temporary folder for one test, and whole files read and written as bytes.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

namespace scrivle::test {

// A folder of its own under the system's temporary folder, gone with the object. The
// name is random, so that builds and test processes running side by side never meet.
class TempDir {
 public:
  explicit TempDir(std::string_view prefix = "scrivle-test-") {
    std::random_device random;
    do {
      path_ = std::filesystem::temp_directory_path() /
              (std::string(prefix) + std::to_string(random()) + std::to_string(random()));
    } while (!std::filesystem::create_directory(path_));
  }
  ~TempDir() {
    namespace fs = std::filesystem;
    // A test may have taken the owner's rights away to make a write fail, and Windows
    // refuses to delete a read-only file (copies of the corpus files are read-only).
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    for (fs::recursive_directory_iterator it(path_, ec), end; !ec && it != end; it.increment(ec)) {
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
      ec.clear();
    }
    fs::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// The whole file, every byte; empty when it cannot be read.
inline std::string slurp(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Writes the bytes as the whole file, making the folders above it when they are missing.
// A write that cannot happen (the place is a file, the disk is full) leaves it at that:
// the test looks at the result.
inline void spit(const std::filesystem::path& file, std::string_view bytes) {
  std::error_code ec;
  if (file.has_parent_path()) {
    std::filesystem::create_directories(file.parent_path(), ec);
  }
  std::ofstream(file, std::ios::binary) << bytes;
}

}  // namespace scrivle::test
