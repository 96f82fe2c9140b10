// Keeps one document's journal on disk. The window calls it on every change of the
// text; the calls only queue the change and return (a few hundred nanoseconds), and a
// thread of the writer's own writes the queue and flushes it to the disk at most
// `delay` after the first change it holds, or at once when `maxPending` changes wait.
//
// The journal file exists only while the document has changes that no save holds: it
// is created by the first change after an open or a save, removed by the next clean
// save and by discard(). It is kept locked while this process lives; a crash releases
// the lock, which is how recovery tells a journal left behind from a live one.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <variant>
#include <vector>

#include "document/journal.h"
#include "platform/locked_file.h"

namespace scrivle::journal {

class JournalWriter {
 public:
  struct Tuning {
    std::chrono::milliseconds delay{500};
    std::size_t maxPending = 200;
    // The journal is rewritten as a copy of the text once its records outgrow both the
    // text and minRewrite bytes, or maxRecords bytes whatever the text's size.
    std::uint64_t minRewrite = 4096;
    std::uint64_t maxRecords = std::uint64_t{1} << 20;
    // An opened or saved file is read and checked this long after the start when no
    // change came first, so that the first change does not read the whole file again:
    // after the window's first picture, before someone is likely to type.
    std::chrono::milliseconds prepareAfter{300};
  };

  // dir: the auto-save folder (created when the first journal is written).
  explicit JournalWriter(std::filesystem::path dir);
  JournalWriter(std::filesystem::path dir, Tuning tuning);
  ~JournalWriter();  // writes what is queued; the file stays (only discard removes it)
  JournalWriter(const JournalWriter&) = delete;
  JournalWriter& operator=(const JournalWriter&) = delete;

  // A new base: the text as it is now. A new or recovered document's text is copied in
  // the journal; an opened or saved one is referred to by its file (path, size, CRC)
  // when that file still holds exactly this text, copied otherwise. Any journal of the
  // previous base is removed. writeNow writes the journal at once rather than at the
  // first change (a recovered text exists nowhere else).
  void startFromSnapshot(std::string text, DocumentInfo info, bool writeNow);
  void startFromFile(std::filesystem::path file, std::string text, DocumentInfo info);
  // A change of the text: [pos, pos+removed) replaced by inserted. Ignored before start.
  void recordEdit(std::int64_t pos, std::int64_t removed, std::string_view inserted);
  // The document's names or path changed.
  void recordInfo(DocumentInfo info);
  // The document was saved or closed: the journal goes; nothing is recorded until the
  // next start.
  void discard();
  // Blocks until everything recorded so far is on the disk (or failed to get there).
  void flush();

  // The current text, asked for (on the caller's thread) when the journal is due for a
  // rewrite. Without it the journal only grows.
  std::function<std::string()> currentText;

  const std::filesystem::path& path() const { return path_; }
  std::uint64_t bytesWritten() const { return bytesWritten_.load(); }
  // The last write or flush failed (a full disk); the next change rewrites the journal.
  bool failing() const { return failing_.load(); }
  // The file of the current base was read and checked ahead of the first change.
  bool basePrepared() const { return basePrepared_.load(); }

 private:
  struct Start {
    std::string text;
    std::filesystem::path file;  // empty: copy the text
    DocumentInfo info;
    bool writeNow = false;
  };
  struct EditOp {
    std::uint64_t pos;
    std::uint64_t removed;
    std::string inserted;
  };
  struct InfoOp {
    DocumentInfo info;
  };
  struct Discard {};
  // A file base checked ahead, with the state of the file it was checked in.
  struct Prepared {
    FileIdentity identity;
    FileBase record;
  };
  struct Rewrite {
    std::string text;
    DocumentInfo info;
  };
  using Op = std::variant<Start, EditOp, InfoOp, Discard, Rewrite>;

  void push(Op op, bool urgent);
  void run();
  // Worker side.
  void process(std::vector<Op>& ops);
  bool writeFresh(const std::string& text, const std::filesystem::path& file,
                  const DocumentInfo& info);
  void removeFile();
  void prepareBase();
  void forgetPrepared();

  const std::filesystem::path dir_;
  const std::filesystem::path path_;
  const Tuning tuning_;

  // Caller's side (the UI thread).
  bool started_ = false;
  std::uint64_t textLength_ = 0;
  std::uint64_t recordBytes_ = 0;
  DocumentInfo info_;

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  std::vector<Op> queue_;
  std::size_t pendingEdits_ = 0;
  bool urgent_ = false;
  bool stop_ = false;
  std::chrono::steady_clock::time_point firstPending_;
  std::uint64_t flushAsked_ = 0;
  std::uint64_t flushDone_ = 0;

  // Worker's side.
  LockedFile file_;
  std::optional<Start> base_;         // the base of a journal not written yet
  std::optional<Prepared> prepared_;  // base_'s file, checked ahead
  bool prepareDue_ = false;
  std::chrono::steady_clock::time_point prepareAt_;
  DocumentInfo workerInfo_;
  std::atomic<std::uint64_t> bytesWritten_{0};
  std::atomic<bool> failing_{false};
  std::atomic<bool> rewriteWanted_{false};
  std::atomic<bool> basePrepared_{false};

  std::thread thread_;
};

}  // namespace scrivle::journal
