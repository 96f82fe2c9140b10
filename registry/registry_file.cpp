#include "registry/registry_file.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/arguments.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/locked_file.h"

namespace fs = std::filesystem;

namespace scrivle {

namespace {

std::string display(const fs::path& path) {
  const std::u8string u8 = path.u8string();
  return {u8.begin(), u8.end()};
}

std::string utcStamp() {
  using namespace std::chrono;
  const auto now = floor<seconds>(system_clock::now());
  const auto day = floor<days>(now);
  const year_month_day ymd{day};
  const hh_mm_ss hms{now - day};
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d%02u%02u-%02d%02d%02d", static_cast<int>(ymd.year()),
                static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                static_cast<int>(hms.hours().count()), static_cast<int>(hms.minutes().count()),
                static_cast<int>(hms.seconds().count()));
  return buf;
}

// The last store parsed, for whichever instance reads the same bytes next: start-up asks
// the store a dozen questions in separate batches, and the file rarely changes between.
// Reading the bytes is cheap; parsing them is what is saved.
struct ParsedStore {
  fs::path file;
  std::string bytes;
  std::shared_ptr<const regfile::Store> store;
};
std::mutex& parsedMutex() {
  static std::mutex m;
  return m;
}
ParsedStore& parsed() {
  static ParsedStore p;
  return p;
}

}  // namespace

fs::path storeLocation() {
  if (const std::string env = environmentValue("SCRIVLE_REGISTRY"); !env.empty()) {
    return pathFromUtf8(env);
  }
  return configFolder() / "registry.reg";
}

namespace regfile {

void apply(Store& store, const Change& change) {
  switch (change.kind) {
    case Change::Kind::Set:
      store.set(change.root, change.key, change.name, change.value);
      break;
    case Change::Kind::RemoveValue:
      store.removeValue(change.root, change.key, change.name);
      break;
    case Change::Kind::RemoveKey:
      store.removeTree(change.root, change.key);
      break;
    case Change::Kind::CreateKey:
      store.create(change.root, change.key);
      break;
  }
}

}  // namespace regfile

FileRegistry::FileRegistry(fs::path file, RegistryReport report)
    : file_(std::move(file)), report_(std::move(report)) {}

fs::path FileRegistry::lockFile() const {
  fs::path lock = file_;
  lock += ".lock";
  return lock;
}

template <typename F>
auto FileRegistry::inBatch(F&& work) {
  beginBatch();
  try {
    if constexpr (std::is_void_v<decltype(work())>) {
      work();
      commitBatch();
    } else {
      auto result = work();
      commitBatch();
      return result;
    }
  } catch (...) {
    abandon();
    throw;
  }
}

void FileRegistry::abandon() {
  if (depth_ > 0 && --depth_ == 0) {
    changes_.clear();
    snapshot_.reset();
    edited_.reset();
  }
}

void FileRegistry::beginBatch() {
  if (depth_++ > 0) {
    return;
  }
  unreadable_.reset();
  writableChecked_ = false;
  changes_.clear();
  snapshot_ = readStore(false);
}

void FileRegistry::commitBatch() {
  if (depth_ == 0 || --depth_ > 0) {
    return;
  }
  std::vector<Change> changes = std::move(changes_);
  changes_.clear();
  snapshot_.reset();
  edited_.reset();
  if (changes.empty()) {
    return;
  }
  const LockedFile lock = LockedFile::waitFor(lockFile());
  if (!lock.isOpen()) {
    throw RegistryError(RegistryError::Kind::Write, cannotCreate(lockFile()).what());
  }
  // Another program may have written since this batch began: its values stay.
  unreadable_.reset();
  const std::shared_ptr<const regfile::Store> before = readStore(true);
  if (unreadable_) {
    throw RegistryError(RegistryError::Kind::Write, *unreadable_);
  }
  auto store = std::make_shared<regfile::Store>(*before);
  for (const Change& c : changes) {
    regfile::apply(*store, c);
  }
  // Changes that leave the store as it was (a start writes the same App Paths and recent
  // files again) cost no rewrite, with its two flushes to the disk.
  if (*store == *before) {
    return;
  }
  removeStaleTemporaries();
  try {
    writeFileAtomically(file_, regfile::format(*store));
  } catch (const ScrivleError& e) {
    throw RegistryError(RegistryError::Kind::Write, e.what());
  }
}

std::shared_ptr<const regfile::Store> FileRegistry::readStore(bool locked) {
  static const auto empty = std::make_shared<const regfile::Store>();
  std::error_code ec;
  if (!fs::exists(file_, ec)) {
    if (ec && ec != std::errc::no_such_file_or_directory) {
      unreadable_ = cannotOpen(file_).what();
    }
    return empty;
  }
  // Readers lock too: on Windows a file held open cannot be replaced.
  LockedFile lock;
  if (!locked && fs::exists(file_.parent_path().empty() ? "." : file_.parent_path(), ec)) {
    lock = LockedFile::waitFor(lockFile());
  }
  std::string bytes;
  try {
    bytes = readFile(file_);
  } catch (const ScrivleError& e) {
    if (!fs::exists(file_, ec)) {
      return empty;
    }
    unreadable_ = e.what();
    return empty;
  }
  {
    const std::lock_guard<std::mutex> guard(parsedMutex());
    const ParsedStore& p = parsed();
    if (p.store && p.file == file_ && p.bytes == bytes) {
      return p.store;
    }
  }
  std::shared_ptr<const regfile::Store> store;
  try {
    store = std::make_shared<const regfile::Store>(regfile::parse(bytes));
  } catch (const regfile::ParseError& e) {
    setAside(e.what());
    return empty;
  }
  const std::lock_guard<std::mutex> guard(parsedMutex());
  parsed() = {file_, std::move(bytes), store};
  return store;
}

void FileRegistry::setAside(const std::string& why) {
  fs::path aside = file_;
  aside += ".damaged-" + utcStamp();
  std::error_code ec;
  for (int n = 2; fs::exists(aside, ec); ++n) {
    aside = file_;
    aside += ".damaged-" + utcStamp() + "-" + std::to_string(n);
  }
  fs::rename(file_, aside, ec);
  std::string text =
      "Le fichier des réglages de Scrivle « " + display(file_) + " » est illisible (" + why + ").";
  if (ec) {
    unreadable_ = text;  // left in place: writing over it would lose it
    text +=
        " Il n'a pas pu être mis de côté : les réglages par défaut sont utilisés "
        "et ne seront pas enregistrés.";
  } else {
    text += " Il a été mis de côté sous le nom « " + display(aside) +
            " » et les réglages par défaut sont repris.";
  }
  if (report_) {
    report_(text);
  }
}

// Only a writer holding the lock creates the save's temporary file, so under the lock
// any such file left beside the store is the remains of a killed writer.
void FileRegistry::removeStaleTemporaries() const {
  const fs::path real = resolveLinks(file_);
  std::string prefix = fileNamePart(saveTempName(real));
  prefix.resize(prefix.size() - 6);  // the random part
  std::error_code ec;
  for (fs::directory_iterator it(real.parent_path().empty() ? "." : real.parent_path(), ec), end;
       !ec && it != end; it.increment(ec)) {
    const std::string name = fileNamePart(it->path());
    if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0) {
      std::error_code ignored;
      fs::remove(it->path(), ignored);
    }
  }
}

void FileRegistry::checkWritable() {
  if (writableChecked_) {
    return;
  }
  if (unreadable_) {
    throw RegistryError(RegistryError::Kind::Write, *unreadable_);
  }
  std::error_code ec;
  if (!file_.parent_path().empty()) {
    fs::create_directories(file_.parent_path(), ec);
  }
  const LockedFile lock = LockedFile::waitFor(lockFile());
  if (!lock.isOpen()) {
    throw RegistryError(RegistryError::Kind::Write, cannotCreate(file_).what());
  }
  const fs::path real = resolveLinks(file_);
  if (fs::exists(real, ec) && !isWritable(real)) {
    throw RegistryError(RegistryError::Kind::Write, cannotCreate(file_).what());
  }
  writableChecked_ = true;
}

const regfile::Store& FileRegistry::current() {
  if (unreadable_) {
    throw RegistryError(RegistryError::Kind::Read, *unreadable_);
  }
  return edited_ ? *edited_ : *snapshot_;
}

void FileRegistry::change(Change c) {
  checkWritable();
  if (!edited_) {
    edited_ = *snapshot_;  // the shared store stays as the file holds it
  }
  regfile::apply(*edited_, c);
  changes_.push_back(std::move(c));
}

bool FileRegistry::keyExists(RegRoot root, std::string_view key) {
  return inBatch([&] { return current().find(root, key) != nullptr; });
}

std::optional<RegValue> FileRegistry::read(RegRoot root, std::string_view key,
                                           std::string_view name) {
  return inBatch([&]() -> std::optional<RegValue> {
    const regfile::StoredKey* k = current().find(root, key);
    const regfile::StoredValue* v = k != nullptr ? regfile::Store::findValue(*k, name) : nullptr;
    if (v == nullptr) {
      return std::nullopt;
    }
    return v->value;
  });
}

void FileRegistry::write(RegRoot root, std::string_view key, std::string_view name,
                         const RegValue& value) {
  inBatch([&] { change({Change::Kind::Set, root, trimKeyPath(key), std::string(name), value}); });
}

void FileRegistry::createKey(RegRoot root, std::string_view key) {
  inBatch([&] { change({Change::Kind::CreateKey, root, trimKeyPath(key), {}, {}}); });
}

bool FileRegistry::deleteValue(RegRoot root, std::string_view key, std::string_view name) {
  return inBatch([&] {
    const regfile::StoredKey* k = current().find(root, key);
    if (k == nullptr || regfile::Store::findValue(*k, name) == nullptr) {
      return false;
    }
    change({Change::Kind::RemoveValue, root, trimKeyPath(key), std::string(name), {}});
    return true;
  });
}

bool FileRegistry::deleteKey(RegRoot root, std::string_view key) {
  return inBatch([&] {
    if (trimKeyPath(key).empty() || current().find(root, key) == nullptr) {
      return false;  // a root cannot be deleted
    }
    change({Change::Kind::RemoveKey, root, trimKeyPath(key), {}, {}});
    return true;
  });
}

std::vector<std::string> FileRegistry::valueNames(RegRoot root, std::string_view key) {
  return inBatch([&] {
    std::vector<std::string> names;
    if (const regfile::StoredKey* k = current().find(root, key)) {
      for (const regfile::StoredValue& v : k->values) {
        names.push_back(v.name);
      }
    }
    return names;
  });
}

std::vector<std::string> FileRegistry::subKeys(RegRoot root, std::string_view key) {
  return inBatch([&] { return current().subKeys(root, key); });
}

regfile::Store FileRegistry::snapshot() {
  return inBatch([&] { return current(); });
}

}  // namespace scrivle
