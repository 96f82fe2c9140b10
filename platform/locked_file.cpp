#include "platform/locked_file.h"

#include <algorithm>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#endif

namespace fs = std::filesystem;

namespace scrivle {

LockedFile::~LockedFile() {
  close();
}

LockedFile::LockedFile(LockedFile&& other) noexcept
    : handle_(std::exchange(other.handle_, kClosed)) {}

LockedFile& LockedFile::operator=(LockedFile&& other) noexcept {
  if (this != &other) {
    close();
    handle_ = std::exchange(other.handle_, kClosed);
  }
  return *this;
}

#ifdef _WIN32

namespace {

HANDLE asHandle(std::intptr_t h) {
  return reinterpret_cast<HANDLE>(h);
}

// The lock covers one byte far past any data, so that it never stops reading.
bool lockHandle(HANDLE h, bool wait = false) {
  OVERLAPPED where{};
  where.Offset = 0;
  where.OffsetHigh = 0x40000000;
  const DWORD flags = LOCKFILE_EXCLUSIVE_LOCK | (wait ? 0 : LOCKFILE_FAIL_IMMEDIATELY);
  return LockFileEx(h, flags, 0, 1, 0, &where) != 0;
}

void openWith(const fs::path& path, DWORD disposition, std::intptr_t& out, bool wait = false) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  out = -1;
  if (h == INVALID_HANDLE_VALUE) {
    return;
  }
  if (!lockHandle(h, wait)) {
    CloseHandle(h);
    return;
  }
  out = reinterpret_cast<std::intptr_t>(h);
}

}  // namespace

LockedFile LockedFile::create(const fs::path& path) {
  LockedFile f;
  openWith(path, CREATE_ALWAYS, f.handle_);
  return f;
}

LockedFile LockedFile::openUnowned(const fs::path& path) {
  LockedFile f;
  openWith(path, OPEN_EXISTING, f.handle_);
  return f;
}

LockedFile LockedFile::waitFor(const fs::path& path) {
  LockedFile f;
  openWith(path, OPEN_ALWAYS, f.handle_, true);
  return f;
}

bool LockedFile::append(std::string_view bytes) {
  if (!isOpen()) {
    return false;
  }
  LARGE_INTEGER zero{};
  if (SetFilePointerEx(asHandle(handle_), zero, nullptr, FILE_END) == 0) {
    return false;
  }
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1U << 30));
    DWORD done = 0;
    if (WriteFile(asHandle(handle_), bytes.data(), chunk, &done, nullptr) == 0 || done == 0) {
      return false;
    }
    bytes.remove_prefix(done);
  }
  return true;
}

bool LockedFile::dataSync() {
  return isOpen() && FlushFileBuffers(asHandle(handle_)) != 0;
}

bool LockedFile::readAll(std::string& out) {
  out.clear();
  if (!isOpen()) {
    return false;
  }
  LARGE_INTEGER zero{};
  if (SetFilePointerEx(asHandle(handle_), zero, nullptr, FILE_BEGIN) == 0) {
    return false;
  }
  char buffer[65536];
  for (;;) {
    DWORD got = 0;
    if (ReadFile(asHandle(handle_), buffer, sizeof buffer, &got, nullptr) == 0) {
      return false;
    }
    if (got == 0) {
      return true;
    }
    out.append(buffer, got);
  }
}

void LockedFile::close() {
  if (isOpen()) {
    CloseHandle(asHandle(handle_));
    handle_ = kClosed;
  }
}

bool replaceLocked(const fs::path& from, const fs::path& to, LockedFile& held) {
  held.close();
  return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool makeHardLink(const fs::path& existing, const fs::path& link) {
  return CreateHardLinkW(link.c_str(), existing.c_str(), nullptr) != 0;
}

std::optional<FileIdentity> fileIdentity(const fs::path& path) {
  HANDLE h = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    return std::nullopt;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  const bool got = GetFileInformationByHandle(h, &info) != 0;
  CloseHandle(h);
  if (!got) {
    return std::nullopt;
  }
  auto wide = [](DWORD high, DWORD low) { return (std::uint64_t{high} << 32) | low; };
  FileIdentity id;
  id.device = info.dwVolumeSerialNumber;
  id.number = wide(info.nFileIndexHigh, info.nFileIndexLow);
  id.size = wide(info.nFileSizeHigh, info.nFileSizeLow);
  id.written = static_cast<std::int64_t>(
      wide(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime));
  return id;
}

std::uint64_t currentProcessId() {
  return GetCurrentProcessId();
}

#else

namespace {

int fdOf(std::intptr_t h) {
  return static_cast<int>(h);
}

bool lockFd(int fd, bool wait) {
  for (;;) {
    if (::flock(fd, wait ? LOCK_EX : LOCK_EX | LOCK_NB) == 0) {
      return true;
    }
    if (errno != EINTR) {
      return false;
    }
  }
}

// The descriptor, locked; -1 when the file cannot be opened or locked.
int openLocked(const fs::path& path, int flags, mode_t mode, bool wait) {
  const int fd = ::open(path.c_str(), flags, mode);
  if (fd >= 0 && !lockFd(fd, wait)) {
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

LockedFile LockedFile::create(const fs::path& path) {
  LockedFile f;
  f.handle_ = openLocked(path, O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600, false);
  return f;
}

LockedFile LockedFile::openUnowned(const fs::path& path) {
  LockedFile f;
  const int fd = openLocked(path, O_RDWR | O_CLOEXEC | O_NOFOLLOW, 0, false);
  if (fd < 0) {
    return f;
  }
  // The owner may have replaced the file (a compaction renames a new one over it) or
  // removed it between our open and our lock: then what we hold is no longer the journal.
  struct stat held {};
  struct stat named {};
  if (::fstat(fd, &held) != 0 || ::lstat(path.c_str(), &named) != 0 ||
      held.st_dev != named.st_dev || held.st_ino != named.st_ino) {
    ::close(fd);
    return f;
  }
  f.handle_ = fd;
  return f;
}

LockedFile LockedFile::waitFor(const fs::path& path) {
  LockedFile f;
  f.handle_ = openLocked(path, O_RDWR | O_CREAT | O_CLOEXEC, 0666, true);
  return f;
}

bool LockedFile::append(std::string_view bytes) {
  if (!isOpen()) {
    return false;
  }
  if (::lseek(fdOf(handle_), 0, SEEK_END) < 0) {
    return false;
  }
  while (!bytes.empty()) {
    const ssize_t done = ::write(fdOf(handle_), bytes.data(), bytes.size());
    if (done < 0 && errno == EINTR) {
      continue;
    }
    if (done <= 0) {
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(done));
  }
  return true;
}

bool LockedFile::dataSync() {
  if (!isOpen()) {
    return false;
  }
#if defined(__APPLE__)
  return ::fsync(fdOf(handle_)) == 0;
#else
  return ::fdatasync(fdOf(handle_)) == 0;
#endif
}

bool LockedFile::readAll(std::string& out) {
  out.clear();
  if (!isOpen()) {
    return false;
  }
  char buffer[65536];
  off_t at = 0;
  for (;;) {
    const ssize_t got = ::pread(fdOf(handle_), buffer, sizeof buffer, at);
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got < 0) {
      return false;
    }
    if (got == 0) {
      return true;
    }
    out.append(buffer, static_cast<std::size_t>(got));
    at += got;
  }
}

void LockedFile::close() {
  if (isOpen()) {
    ::close(fdOf(handle_));
    handle_ = kClosed;
  }
}

bool replaceLocked(const fs::path& from, const fs::path& to, LockedFile& held) {
  if (::rename(from.c_str(), to.c_str()) != 0) {
    return false;
  }
  held.close();
  // The new name itself must survive a power cut, not only the file's bytes.
  const fs::path dir = to.parent_path();
  const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
  return true;
}

bool makeHardLink(const fs::path& existing, const fs::path& link) {
  return ::link(existing.c_str(), link.c_str()) == 0;
}

std::optional<FileIdentity> fileIdentity(const fs::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    return std::nullopt;
  }
  FileIdentity id;
  id.device = static_cast<std::uint64_t>(st.st_dev);
  id.number = static_cast<std::uint64_t>(st.st_ino);
  id.size = static_cast<std::uint64_t>(st.st_size);
  id.written = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return id;
}

std::uint64_t currentProcessId() {
  return static_cast<std::uint64_t>(::getpid());
}

#endif

}  // namespace scrivle
