// A file this process holds an exclusive lock on for as long as it keeps it open. The
// operating system drops the lock when the process ends in any way (a crash or a kill
// included), so a lock that can be taken means nobody alive is writing the file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace scrivle {

class LockedFile {
 public:
  LockedFile() = default;
  ~LockedFile();
  LockedFile(LockedFile&& other) noexcept;
  LockedFile& operator=(LockedFile&& other) noexcept;
  LockedFile(const LockedFile&) = delete;
  LockedFile& operator=(const LockedFile&) = delete;

  // Creates path (emptying a file already there), private to the user, and locks it.
  // Closed when the file cannot be created or locked.
  static LockedFile create(const std::filesystem::path& path);
  // Opens an existing file and takes its lock without waiting. Closed when the file is
  // missing, when another process (or another handle of this one) holds the lock, or
  // when the path names another file by the time the lock is taken (it was replaced).
  static LockedFile openUnowned(const std::filesystem::path& path);
  // Opens path, creating it when missing (content kept, mode left to the umask), and
  // waits while another process holds its lock. For a lock file of its own beside a file
  // that is replaced by renames. Closed when the file cannot be opened or locked.
  static LockedFile waitFor(const std::filesystem::path& path);

  bool isOpen() const { return handle_ != kClosed; }
  // Appends at the end; false on any write error.
  bool append(std::string_view bytes);
  // The file's data on the disk (fdatasync, FlushFileBuffers).
  bool dataSync();
  // The whole content, read from the start; false on a read error.
  bool readAll(std::string& out);
  void close();

 private:
  static constexpr std::intptr_t kClosed = -1;
  std::intptr_t handle_ = kClosed;
};

// Renames `from` over `to`, where `held` is this process's locked handle on the file at
// `to` (or closed). POSIX renames over the open file and closes `held` afterwards, so the
// name is never unlocked; Windows cannot replace an open file, so `held` goes first.
bool replaceLocked(const std::filesystem::path& from, const std::filesystem::path& to,
                   LockedFile& held);

// Another name for the same file (a hard link); false when the file system refuses it.
bool makeHardLink(const std::filesystem::path& existing, const std::filesystem::path& link);

// What tells one state of a file from another without reading it: the file itself (its
// device and number, shared by its hard links) with its size and last write time. Two
// equal identities hold the same bytes unless a program rewrote them in place keeping
// both the size and the time.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t number = 0;
  std::uint64_t size = 0;
  std::int64_t written = 0;  // in the system's own unit
  bool operator==(const FileIdentity&) const = default;
};
// Empty when the file cannot be reached. Follows symbolic links.
std::optional<FileIdentity> fileIdentity(const std::filesystem::path& path);

// This process's id.
std::uint64_t currentProcessId();

}  // namespace scrivle
