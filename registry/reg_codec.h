// The registry editor's export format ("Windows Registry Editor Version 5.00", UTF-16LE
// with a byte-order mark and CR LF line ends, as the editor itself writes and imports
// it), and the keys it describes, held in memory.
//
// Values: "name"=dword:0000012c for DWORD, "name"="text" for a string a quoted line can
// carry, hex(1): for any other string (Windows-1252 bytes one to one onto UTF-16 code
// units, with the terminating zero), hex(2): for EXPAND_SZ, hex: for BINARY.
#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "registry/registry.h"

namespace scrivle::regfile {

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
  static void setIn(StoredKey& key, std::string_view name, const RegValue& value);
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

}  // namespace scrivle::regfile
