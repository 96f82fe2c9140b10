// The portable registry: one file in the registry editor's export format (reg_codec.h),
// so that a person can read it and import it on Windows.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "registry/reg_codec.h"
#include "registry/registry.h"

namespace scrivle {

namespace regfile {

// One change of a batch. It is made on the batch's own copy at once, and made again at
// commit on the store as it is on disk then.
struct Change {
  enum class Kind { Set, RemoveValue, RemoveKey, CreateKey } kind;
  RegRoot root;
  std::string key;
  std::string name;
  RegValue value;
};
void apply(Store& store, const Change& change);

}  // namespace regfile

// The store file for this user: $SCRIVLE_REGISTRY when set, otherwise
// $XDG_CONFIG_HOME/Scrivle/registry.reg (~/.config/Scrivle/registry.reg when unset).
std::filesystem::path storeLocation();

// Each batch reads the file once (parsed again only when its bytes differ from the last
// ones parsed in this program); its commit takes the lock file (registry.reg.lock),
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
  using Change = regfile::Change;
  template <typename F>
  auto inBatch(F&& work);
  void abandon();
  const regfile::Store& current();
  void change(Change c);
  void checkWritable();
  std::shared_ptr<const regfile::Store> readStore(bool locked);
  void setAside(const std::string& why);
  std::filesystem::path lockFile() const;
  void removeStaleTemporaries() const;

  std::filesystem::path file_;
  RegistryReport report_;
  int depth_ = 0;
  std::shared_ptr<const regfile::Store> snapshot_;  // the store as this batch read it
  std::optional<regfile::Store> edited_;            // with this batch's changes, once changed
  std::optional<std::string> unreadable_;           // why the file could not be read
  bool writableChecked_ = false;
  std::vector<Change> changes_;
};

}  // namespace scrivle
