#include "platform/files.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

#include "platform/folders.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace scrivle {

namespace {

constexpr std::string_view kTmpExt = ".tmp";

#ifdef _WIN32

int openNew(const fs::path& path) {
  return _wopen(path.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
}
int openExisting(const fs::path& path) {
  return _wopen(path.c_str(), _O_WRONLY | _O_TRUNC | _O_BINARY);
}
bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const unsigned chunk = static_cast<unsigned>(std::min<std::size_t>(bytes.size(), 1U << 30));
    const int done = _write(fd, bytes.data(), chunk);
    if (done <= 0) {
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(done));
  }
  return _commit(fd) == 0;
}
bool closeFile(int fd) {
  return _close(fd) == 0;
}
bool permissionDenied(int err) {
  return err == EACCES || err == EPERM;
}
void copyOwnership(int /*fd*/, const fs::path& /*from*/) {}
// A file another program or thread holds open without the right to delete it (a virus
// scanner, the indexer, the journal's thread reading it) cannot be replaced for that
// moment: the save waits a little for it before giving up.
bool replaceFile(const fs::path& from, const fs::path& to) {
  for (int attempt = 0;; ++attempt) {
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
        0) {
      return true;
    }
    const DWORD error = GetLastError();
    const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
                      error == ERROR_LOCK_VIOLATION;
    if (!held || attempt == 19) {
      SetLastError(error);
      return false;
    }
    Sleep(25);
  }
}
void syncFolder(const fs::path& /*dir*/) {}

#else

int openNew(const fs::path& path) {
  // 0666 lets the umask decide, as for any new file.
  return ::open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
}
bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t done = ::write(fd, bytes.data(), bytes.size());
    if (done < 0 && errno == EINTR) {
      continue;
    }
    if (done <= 0) {
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(done));
  }
  return ::fsync(fd) == 0;
}
bool closeFile(int fd) {
  return ::close(fd) == 0;
}
bool permissionDenied(int err) {
  return err == EACCES || err == EPERM;
}
// Saving somebody else's file (as root, or a group-shared file) must not hand it to the
// saving user; failures are harmless: the file then belongs to whoever saved it.
void copyOwnership(int fd, const fs::path& from) {
  struct stat st {};
  if (::stat(from.c_str(), &st) == 0) {
    if (::fchown(fd, st.st_uid, st.st_gid) != 0) {
      (void)::fchown(fd, static_cast<uid_t>(-1), st.st_gid);
    }
    ::fchmod(fd, st.st_mode & 07777);
  }
}
bool replaceFile(const fs::path& from, const fs::path& to) {
  return ::rename(from.c_str(), to.c_str()) == 0;
}
void syncFolder(const fs::path& dir) {
  const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

#endif

#ifdef _WIN32
void writeInPlace(const fs::path& real, const fs::path& target, std::string_view bytes) {
  const int fd = openExisting(real);
  if (fd < 0) {
    throw cannotCreate(target);
  }
  const bool written = writeAll(fd, bytes);
  if (!closeFile(fd) || !written) {
    throw cannotWrite(target);
  }
}
#else
// Without a temporary file the old bytes are overwritten, so the room for a longer text is
// taken first, past the old end: a full disk then fails before a single old byte changed.
void writeInPlace(const fs::path& real, const fs::path& target, std::string_view bytes) {
  const int fd = ::open(real.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) {
    throw cannotCreate(target);
  }
  struct stat st {};
  const auto newSize = static_cast<off_t>(bytes.size());
  if (::fstat(fd, &st) != 0 ||
      (newSize > st.st_size && ::posix_fallocate(fd, st.st_size, newSize - st.st_size) != 0)) {
    (void)::ftruncate(fd, st.st_size);  // drops what a partial reservation added
    closeFile(fd);
    throw cannotWrite(target);
  }
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n =
        ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  const bool written = done == bytes.size() && ::ftruncate(fd, newSize) == 0 && ::fsync(fd) == 0;
  if (!closeFile(fd) || !written) {
    throw cannotWrite(target);
  }
}
#endif

}  // namespace

bool isWritable(const fs::path& path) {
#ifdef _WIN32
  return _waccess(path.c_str(), 2) == 0;
#else
  return ::access(path.c_str(), W_OK) == 0;
#endif
}

#ifdef _WIN32
// Read with every sharing right: a save that replaces the file while another thread reads
// it (the journal checking a saved file) must not fail because of the read.
std::string readFile(const fs::path& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    throw cannotOpen(path);
  }
  std::string bytes;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(h, &size) != 0 && size.QuadPart > 0) {
    bytes.reserve(static_cast<std::size_t>(size.QuadPart));
  }
  char buffer[1 << 16];
  for (;;) {
    DWORD got = 0;
    if (ReadFile(h, buffer, sizeof buffer, &got, nullptr) == 0) {
      CloseHandle(h);
      throw cannotRead(path);
    }
    if (got == 0) break;
    bytes.append(buffer, got);
  }
  CloseHandle(h);
  return bytes;
}
#else
std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    throw cannotOpen(path);
  }
  // One read of the size the file has now, then whatever a growing file added since.
  std::string bytes;
  std::error_code ec;
  const std::uintmax_t size = fs::file_size(path, ec);
  if (!ec && size > 0 && size < bytes.max_size()) {
    bytes.resize(static_cast<std::size_t>(size));
    in.read(bytes.data(), static_cast<std::streamsize>(size));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
  }
  if (!in.eof() && !in.bad()) {
    in.clear();
    bytes.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  if (in.bad()) {
    throw cannotRead(path);
  }
  return bytes;
}
#endif

std::string pathToUtf8(const fs::path& path) {
  const std::u8string u8 = path.u8string();
  return {u8.begin(), u8.end()};
}

fs::path pathFromUtf8(std::string_view utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

fs::path saveTempName(const fs::path& real) {
  static std::mt19937_64 generator{std::random_device{}()};
  static constexpr std::string_view kChars =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::string suffix(6, 'x');
  std::uniform_int_distribution<std::size_t> pick(0, kChars.size() - 1);
  for (char& c : suffix) {
    c = kChars[pick(generator)];
  }
  return real.parent_path() /
         pathFromUtf8("." + pathToUtf8(real.filename()) + ".scrivle-save-" + suffix);
}

fs::path resolveLinks(const fs::path& path) {
  fs::path real = path;
  std::error_code ec;
  // The bound stops a loop of links; the open then fails on the link itself.
  for (int hops = 0; hops < 40 && fs::is_symlink(real, ec); ++hops) {
    const fs::path next = fs::read_symlink(real, ec);
    if (ec) {
      break;
    }
    real = next.is_absolute() ? next : real.parent_path() / next;
  }
  return real;
}

void writeFileAtomically(const fs::path& target, std::string_view bytes) {
  const fs::path real = resolveLinks(target);
  std::error_code ec;
  const bool exists = fs::exists(real, ec);
  if (exists && !isWritable(real)) {
    throw cannotCreate(target);  // a read-only file stays read-only, as it would in place
  }

  fs::path temp;
  int fd = -1;
  int openError = 0;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = saveTempName(real);
    fd = openNew(temp);
    openError = fd < 0 ? errno : 0;
    if (fd < 0 && openError != EEXIST) {
      break;
    }
  }
  if (fd < 0) {
    if (exists && permissionDenied(openError) && fs::is_regular_file(real, ec)) {
      writeInPlace(real, target, bytes);
      return;
    }
    throw cannotCreate(target);
  }

  if (exists) {
    copyOwnership(fd, real);
  }
  const bool written = writeAll(fd, bytes);
  const bool closed = closeFile(fd);
  if (!written || !closed) {
    fs::remove(temp, ec);
    throw cannotWrite(target);
  }
  if (!replaceFile(temp, real)) {
    fs::remove(temp, ec);
    throw cannotCreate(target);
  }
  syncFolder(real.parent_path());
}

fs::path autoSaveDir() {
#ifdef _WIN32
  if (const wchar_t* local = _wgetenv(L"LOCALAPPDATA"); local != nullptr && *local != L'\0') {
    return fs::path(local) / "Scrivle";
  }
  return fs::temp_directory_path() / "Scrivle";
#else
  return stateFolder();
#endif
}

fs::path ensureAutoSaveDir() {
  fs::path dir = autoSaveDir();
  std::error_code ec;
  if (fs::is_directory(dir, ec)) {
    return dir;
  }
  fs::create_directories(dir, ec);
  if (ec || !fs::is_directory(dir, ec)) {
    throw cannotCreate(dir);
  }
  // Unsaved texts are private.
  fs::permissions(dir, fs::perms::owner_all, fs::perm_options::replace, ec);
  return dir;
}

fs::path uniqueTempName(const fs::path& dir, const std::string& fileName,
                        const std::function<bool(const fs::path&)>& inUseByAnotherDocument) {
  fs::path candidate = dir / pathFromUtf8(fileName + std::string(kTmpExt));
  for (int n = 2; inUseByAnotherDocument && inUseByAnotherDocument(candidate); ++n) {
    candidate = dir / pathFromUtf8(fileName + "~" + std::to_string(n) + std::string(kTmpExt));
  }
  return candidate;
}

std::string stripTmpSuffix(const std::string& tmpFileName) {
  const bool isTmp =
      tmpFileName.size() >= kTmpExt.size() &&
      std::equal(kTmpExt.rbegin(), kTmpExt.rend(), tmpFileName.rbegin(),
                 [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
  if (!isTmp) {
    return tmpFileName;
  }
  std::string name = tmpFileName.substr(0, tmpFileName.size() - kTmpExt.size());
  const std::size_t tilde = name.rfind('~');
  if (tilde != std::string::npos && tilde + 1 < name.size() &&
      std::all_of(name.begin() + static_cast<std::ptrdiff_t>(tilde) + 1, name.end(),
                  [](unsigned char c) { return std::isdigit(c) != 0; })) {
    name.erase(tilde);
  }
  return name;
}

std::string withTrailingSeparator(const std::string& dir) {
  if (dir.empty()) {
    return dir;
  }
  const char last = dir.back();
  if (last == static_cast<char>(fs::path::preferred_separator) || last == '/') {
    return dir;
  }
  return dir + static_cast<char>(fs::path::preferred_separator);
}

std::string lowerExtension(const fs::path& path) {
  std::string ext = pathToUtf8(path.extension());
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

std::string fileNamePart(const fs::path& path) {
  return pathToUtf8(path.filename());
}

std::string folderPart(const fs::path& path) {
  return withTrailingSeparator(pathToUtf8(path.parent_path()));
}

void writesPastTheSizeLimitFail() {
#ifdef SIGXFSZ
  std::signal(SIGXFSZ, SIG_IGN);
#endif
}

}  // namespace scrivle
