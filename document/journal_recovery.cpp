#include "document/journal_recovery.h"

#include <algorithm>
#include <system_error>

#include "platform/files.h"

namespace fs = std::filesystem;

namespace scrivle::journal {

namespace {

// The saved text a file base stands for, when the file (or the journal's link to the
// saved bytes) still holds them.
bool readBase(const fs::path& candidate, const fs::path& named, const FileBase& base,
              std::string& text) {
  try {
    const std::string bytes = readFile(candidate);
    if (bytes.size() != base.size || crc32(bytes) != base.crc) {
      return false;
    }
    text = textOfFile(named, bytes);
    return true;
  } catch (...) {
    return false;
  }
}

std::string label(const Contents& c, const fs::path& journal) {
  return c.info.caption.empty() ? fileNamePart(journal) : c.info.caption;
}

}  // namespace

JournalRecovery::JournalRecovery(const fs::path& dir) {
  std::vector<fs::path> found;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->path().extension() == kExtension && it->is_regular_file(ec)) {
      found.push_back(it->path());
    }
  }
  std::sort(found.begin(), found.end());
  for (const fs::path& p : found) {
    take(p);
  }
}

void JournalRecovery::take(const fs::path& path) {
  LockedFile lock = LockedFile::openUnowned(path);
  if (!lock.isOpen()) {
    return;  // a running instance's, or gone meanwhile
  }
  std::string bytes;
  const bool read = lock.readAll(bytes);
  const Contents c = read ? parse(bytes) : Contents{};
  const std::string name = label(c, path);
  if (c.status == Contents::Status::OtherVersion) {
    notes_.push_back(name + " : journal d'une autre version de Scrivle, laissé de côté");
    return;  // not ours to delete
  }
  locks_.push_back(std::move(lock));
  doomed_.push_back(path);
  if (!c.usable()) {
    notes_.push_back(name + " : journal illisible, rien n'a pu être récupéré");
    return;
  }
  RecoveredText r;
  r.journal = path;
  r.info = c.info;
  if (c.snapshot) {
    r.text = *c.snapshot;
  } else {
    fs::path link = path;
    link += ".base";
    const fs::path named = pathFromUtf8(c.fileBase->path);
    if (!readBase(named, named, *c.fileBase, r.text)) {
      if (!readBase(link, named, *c.fileBase, r.text)) {
        notes_.push_back(name +
                         " : le fichier d'origine a changé et le texte n'a pas pu être rebâti");
        return;
      }
      r.baseChanged = true;
      notes_.push_back(name +
                       " : le fichier d'origine a changé depuis ; le texte récupéré est "
                       "ouvert comme un nouveau document");
    }
  }
  const std::size_t applied = replay(r.text, c.edits);
  if (c.status == Contents::Status::DamagedTail || applied < c.edits.size()) {
    notes_.push_back(name +
                     " : la fin du journal est endommagée ; les dernières modifications "
                     "sont perdues");
  }
  texts_.push_back(std::move(r));
}

bool JournalRecovery::replayed(const std::string& journalName) const {
  return !journalName.empty() &&
         std::any_of(texts_.begin(), texts_.end(), [&](const RecoveredText& r) {
           return fileNamePart(r.journal) == journalName;
         });
}

void JournalRecovery::removeAll() {
  std::error_code ec;
  for (const fs::path& p : doomed_) {
    fs::remove(p, ec);
    fs::path link = p;
    link += ".base";
    fs::remove(link, ec);
  }
  doomed_.clear();
  locks_.clear();
}

}  // namespace scrivle::journal
