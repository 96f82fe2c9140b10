// The journal of a document: a file in the auto-save folder that records every change
// to the text as it happens, so that a crash loses at most the last second of typing.
//
// A journal is a header, then records. The first record is the base (the text as it
// was opened or saved: a copy of it, or a reference to the saved file with its size and
// checksum); then come the document's description and the edits, each as position,
// bytes removed and bytes inserted. Every record carries its own CRC-32, so a torn or
// damaged tail is found and replay stops at the last whole record. docs/journal.md
// describes the bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scrivle::journal {

inline constexpr std::uint32_t kVersion = 1;
inline constexpr std::string_view kMagic = "SCRVJRNL";
inline constexpr std::string_view kExtension = ".journal";

enum class RecordType : std::uint8_t { Snapshot = 1, FileBase = 2, Info = 3, Edit = 4 };

// What a recovered document needs besides its text.
struct DocumentInfo {
  std::string path;      // where the document lives (or, new, where saving proposes)
  bool hasFile = false;  // opened from or saved to path
  std::string type;      // the file type: its extension in lower case, without the dot
  std::string folder;    // calculator folder name
  std::string name;      // calculator variable name
  std::string caption;   // the document's file name as its window shows it
  std::string journal;   // in an auto-save file's description: the name of its journal
  bool operator==(const DocumentInfo&) const = default;
};

struct FileBase {
  std::string path;
  std::uint64_t size = 0;
  std::uint32_t crc = 0;
  bool operator==(const FileBase&) const = default;
};

struct Edit {
  std::uint64_t pos = 0;
  std::uint64_t removed = 0;
  std::string inserted;
  bool operator==(const Edit&) const = default;
};

std::uint32_t crc32(std::string_view bytes, std::uint32_t crc = 0);

// Encoding: the header, and one whole record each.
std::string encodeHeader(std::uint32_t version = kVersion);
std::string encodeSnapshot(std::string_view text);
std::string encodeFileBase(const FileBase& base);
std::string encodeInfo(const DocumentInfo& info);
std::string encodeEdit(std::uint64_t pos, std::uint64_t removed, std::string_view inserted);
// Size of encodeEdit's result, without building it.
std::size_t editRecordSize(std::uint64_t pos, std::uint64_t removed, std::size_t inserted);

struct Contents {
  enum class Status {
    Whole,         // every byte read
    DamagedTail,   // read up to the last whole record; the rest is torn or damaged
    NoBase,        // the header is fine but no whole base record follows
    OtherVersion,  // written by another version of the format: refused
    NotJournal,    // not a journal at all (or its header is damaged)
  };
  Status status = Status::NotJournal;
  std::uint32_t version = 0;
  std::optional<std::string> snapshot;
  std::optional<FileBase> fileBase;
  DocumentInfo info;
  std::vector<Edit> edits;
  std::size_t droppedBytes = 0;  // bytes after the last whole record
  bool usable() const { return status == Status::Whole || status == Status::DamagedTail; }
};

// Reads a journal. Never throws on any input; whatever is whole is kept.
Contents parse(std::string_view bytes);

// Applies the edits to text in order, stopping at the first one that does not fit the
// text (a sign of a wrong base). Returns how many were applied.
std::size_t replay(std::string& text, const std::vector<Edit>& edits);

// The description kept beside an auto-save file: the same fields, with a header and a
// CRC of their own. decodeDescription gives nothing for damaged or foreign bytes.
std::string encodeDescription(const DocumentInfo& info);
std::optional<DocumentInfo> decodeDescription(std::string_view bytes);

// The description file kept beside an auto-save file ("essai.89t.tmp.desc").
std::filesystem::path descriptionOf(const std::filesystem::path& autoSaveFile);

// The text a document holds once the file's bytes are read: a calculator file's
// variable text, or a plain file's bytes. Throws what reading a calculator file throws.
std::string textOfFile(const std::filesystem::path& path, std::string_view bytes);

}  // namespace scrivle::journal
