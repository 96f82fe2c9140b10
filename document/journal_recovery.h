// Start-up's side of the journals: every journal in the auto-save folder that no live
// process holds is taken (locked, so that a second instance starting at the same time
// leaves it alone), read and replayed.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "document/journal.h"
#include "platform/locked_file.h"

namespace scrivle::journal {

struct RecoveredText {
  std::filesystem::path journal;
  std::string text;
  DocumentInfo info;
  // The saved file changed since the journal began: the text was rebuilt from the copy
  // of the saved bytes the journal kept, and comes back as a new document.
  bool baseChanged = false;
};

class JournalRecovery {
 public:
  // Takes the journals of dir that nobody holds.
  explicit JournalRecovery(const std::filesystem::path& dir);
  JournalRecovery(const JournalRecovery&) = delete;
  JournalRecovery& operator=(const JournalRecovery&) = delete;

  // The texts rebuilt, in the order of the journals' names.
  const std::vector<RecoveredText>& texts() const { return texts_; }
  // One line per journal that could not be replayed whole, in French; empty when all were.
  const std::vector<std::string>& notes() const { return notes_; }
  // Something to ask about: a text, or a journal that lost something.
  bool found() const { return !texts_.empty() || !doomed_.empty(); }
  // True when an auto-save file's description names a journal replayed here.
  bool replayed(const std::string& journalName) const;
  // Deletes every journal taken (the unreadable ones too) and lets go of them. Journals
  // of another format version are left where they are, for the program that wrote them.
  void removeAll();

 private:
  void take(const std::filesystem::path& path);

  std::vector<RecoveredText> texts_;
  std::vector<std::string> notes_;
  std::vector<std::filesystem::path> doomed_;
  std::vector<LockedFile> locks_;
};

}  // namespace scrivle::journal
