// The portable registry: one file in the registry editor's export format ("Windows
// Registry Editor Version 5.00", UTF-16LE with a byte-order mark and CR LF line ends, as
// the editor itself writes and imports it), so that a person can read it and import it
// on Windows.
//
// Values: "name"=dword:0000012c for DWORD, "name"="text" for a string a quoted line can
// carry, hex(1): for any other string (Windows-1252 bytes one to one onto UTF-16 code
// units, with the terminating zero), hex(2): for EXPAND_SZ, hex: for BINARY.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "registry/registry.h"

namespace scrivle {

namespace regfile {

struct StoredValue {
  std::string name;
  RegValue value;
};

struct StoredKey {
  std::string path;  // as first spelt, without the root and the outer backslashes
  std::vector<StoredValue> values;
};

// Every key of the three roots, in memory.
class Store {
 public:
  const StoredKey* find(RegRoot root, std::string_view key) const;
  // Creates the key and the missing parents.
  StoredKey& create(RegRoot root, std::string_view key);
  bool removeTree(RegRoot root, std::string_view key);
  static const StoredValue* findValue(const StoredKey& key, std::string_view name);
  void set(RegRoot root, std::string_view key, std::string_view name, const RegValue& value);
  bool removeValue(RegRoot root, std::string_view key, std::string_view name);
  std::vector<std::string> subKeys(RegRoot root, std::string_view key) const;

  using Map = std::map<std::pair<RegRoot, std::string>, StoredKey>;  // by folded path
  const Map& keys() const { return keys_; }
  bool operator==(const Store&) const;

 private:
  Map keys_;
};

class ParseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads the export format: UTF-16LE with its mark, or UTF-8; the "REGEDIT4" header is
// accepted too. Deletion lines ([-key], "name"=-) are applied. Throws ParseError.
Store parse(std::string_view bytes);
// Writes the whole store, keys in order; a key is written when it holds values or has no
// subkey (the import creates the parents).
std::string format(const Store& store);

}  // namespace regfile

// The store file for this user: $SCRIVLE_REGISTRY when set, otherwise
// $XDG_CONFIG_HOME/Scrivle/registry.reg (~/.config/Scrivle/registry.reg when unset).
std::filesystem::path storeLocation();

// Each batch reads the file once; its commit takes the lock file (registry.reg.lock),
// reads the file again, applies this batch's own changes, and replaces the file through
// a temporary file and a rename, so that concurrent programs keep each other's values
// and a crash leaves either the old or the new file. A file that cannot be parsed is
// renamed registry.reg.damaged-<UTC time> and reported; the store then starts empty.
class FileRegistry : public Registry {
 public:
  explicit FileRegistry(std::filesystem::path file, RegistryReport report = {});
  const std::filesystem::path& file() const { return file_; }

  bool keyExists(RegRoot root, std::string_view key) override;
  std::optional<RegValue> read(RegRoot root, std::string_view key, std::string_view name) override;
  void write(RegRoot root, std::string_view key, std::string_view name,
             const RegValue& value) override;
  void createKey(RegRoot root, std::string_view key) override;
  bool deleteValue(RegRoot root, std::string_view key, std::string_view name) override;
  bool deleteKey(RegRoot root, std::string_view key) override;
  std::vector<std::string> valueNames(RegRoot root, std::string_view key) override;
  std::vector<std::string> subKeys(RegRoot root, std::string_view key) override;
  void beginBatch() override;
  void commitBatch() override;

  // The whole store as it is on disk now (for tests and diagnostics).
  regfile::Store snapshot();

 private:
  struct Change {
    enum class Kind { Set, RemoveValue, RemoveKey, CreateKey } kind;
    RegRoot root;
    std::string key;
    std::string name;
    RegValue value;
  };
  template <typename F>
  auto inBatch(F&& work);
  void abandon();
  const regfile::Store& current();
  void change(Change c);
  void checkWritable();
  regfile::Store readStore(bool locked);
  void setAside(const std::string& why);
  std::filesystem::path lockFile() const;
  void removeStaleTemporaries() const;

  std::filesystem::path file_;
  RegistryReport report_;
  int depth_ = 0;
  std::optional<regfile::Store> snapshot_;
  std::optional<std::string> unreadable_;  // why the file could not be read
  bool writableChecked_ = false;
  std::vector<Change> changes_;
};

}  // namespace scrivle
