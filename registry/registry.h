// The registry the settings live in: three roots, keys whose names are compared without
// regard to letter case, and typed values. On Windows it is the system registry (through
// advapi32); elsewhere a file in the registry editor's export format.
//
// Strings are 8-bit ANSI bytes (Windows-1252), kept byte for byte: the titles hold
// calculator codes such as 0x7F, 0x12 and CR LF.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/errors.h"

namespace scrivle {

enum class RegRoot { CurrentUser, LocalMachine, ClassesRoot };

// The numbers are the system's REG_* codes; a value of another type keeps its code.
enum class RegType : std::uint32_t { None = 0, Sz = 1, ExpandSz = 2, Binary = 3, Dword = 4 };

struct RegValue {
  RegType type = RegType::None;
  std::uint32_t dword = 0;  // RegType::Dword
  // Sz and ExpandSz: the text without its terminating zero; other types: the raw bytes.
  std::string data;

  static RegValue ofDword(std::uint32_t v) { return {RegType::Dword, v, {}}; }
  static RegValue ofString(std::string text, RegType type = RegType::Sz) {
    return {type, 0, std::move(text)};
  }
  static RegValue ofBinary(std::string bytes) { return {RegType::Binary, 0, std::move(bytes)}; }
  bool isString() const { return type == RegType::Sz || type == RegType::ExpandSz; }
  bool operator==(const RegValue&) const = default;
};

// A value that could not be read or written. what() is a French text for the person.
class RegistryError : public ScrivleError {
 public:
  enum class Kind { Read, Write };
  RegistryError(Kind kind, const std::string& text) : ScrivleError(text), kind_(kind) {}
  Kind kind() const { return kind_; }

 private:
  Kind kind_;
};

// Key paths are written as the program spells them, "\Software\Scrivle\Options"; the
// leading backslash is optional, "" is the root itself. A value name "" is the key's
// default value.
class Registry {
 public:
  virtual ~Registry() = default;

  virtual bool keyExists(RegRoot root, std::string_view key) = 0;
  // nullopt when the key or the value does not exist. Throws RegistryError(Read) when it
  // exists but cannot be read.
  virtual std::optional<RegValue> read(RegRoot root, std::string_view key,
                                       std::string_view name) = 0;
  // Creates the key and its parents when missing. Throws RegistryError(Write).
  virtual void write(RegRoot root, std::string_view key, std::string_view name,
                     const RegValue& value) = 0;
  virtual void createKey(RegRoot root, std::string_view key) = 0;
  // False when there was nothing to delete.
  virtual bool deleteValue(RegRoot root, std::string_view key, std::string_view name) = 0;
  // Deletes the key with all its subkeys and values.
  virtual bool deleteKey(RegRoot root, std::string_view key) = 0;
  // Names as stored (values in the order they were first written for the file store).
  virtual std::vector<std::string> valueNames(RegRoot root, std::string_view key) = 0;
  virtual std::vector<std::string> subKeys(RegRoot root, std::string_view key) = 0;

  // A batch groups the work of one loading, one saving or one recent-files write: the
  // file store reads its file once and writes it once, keeping the changes other
  // programs made meanwhile. Batches nest; the outermost commit writes. Outside a batch
  // every change is written at once. The system registry needs none of this.
  virtual void beginBatch() {}
  // Throws RegistryError(Write) when the changes cannot be stored.
  virtual void commitBatch() {}
};

// Begins a batch, and commits it when leaving the scope unless commit() already did (an
// error at that late point is dropped: the scope is unwinding already).
class RegistryBatch {
 public:
  explicit RegistryBatch(Registry& registry) : registry_(registry) { registry_.beginBatch(); }
  ~RegistryBatch();
  RegistryBatch(const RegistryBatch&) = delete;
  RegistryBatch& operator=(const RegistryBatch&) = delete;
  void commit();

 private:
  Registry& registry_;
  bool open_ = true;
};

// Shown when the store file was damaged and has been set aside (UTF-8 text).
using RegistryReport = std::function<void(const std::string& text)>;

// The registry of this user: the store file named by $SCRIVLE_REGISTRY when it is set;
// otherwise the system registry on Windows and the store file of storeLocation()
// (registry_file.h) elsewhere. `report` shows the note about a damaged store file.
std::unique_ptr<Registry> openUserRegistry(RegistryReport report);

// Key paths: without the leading and trailing backslashes, and a run of backslashes inside
// taken as one (a key name is never empty); the lower-case form is the one compared
// (letters A-Z only, as key names here are ASCII).
std::string trimKeyPath(std::string_view key);
std::string foldCase(std::string_view text);
bool sameName(std::string_view a, std::string_view b);

// Windows-1252 bytes and UTF-16 code units, one to one in both directions (the five
// bytes the code page leaves undefined map to the same-numbered control characters, as
// Windows maps them). A code unit outside the code page becomes '?'.
char16_t ansiToUtf16(unsigned char byte);
char ansiFromUtf16(char32_t unit);
// For messages: the ANSI text as UTF-8.
std::string ansiToUtf8(std::string_view ansi);

}  // namespace scrivle
