#include "document/journal_writer.h"

#include <algorithm>
#include <random>
#include <system_error>

#include "platform/files.h"

namespace fs = std::filesystem;

namespace scrivle::journal {

namespace {

fs::path freshJournalPath(const fs::path& dir) {
  static std::atomic<unsigned> counter{0};
  static const unsigned salt = std::random_device{}();
  return dir /
         ("scrivle-" + std::to_string(currentProcessId()) + "-" + std::to_string(salt % 100000) +
          "-" + std::to_string(++counter) + std::string(kExtension));
}

fs::path withSuffix(const fs::path& p, const char* suffix) {
  fs::path out = p;
  out += suffix;
  return out;
}

}  // namespace

JournalWriter::JournalWriter(fs::path dir) : JournalWriter(std::move(dir), Tuning{}) {}

JournalWriter::JournalWriter(fs::path dir, Tuning tuning)
    : dir_(std::move(dir)), path_(freshJournalPath(dir_)), tuning_(tuning) {
  thread_ = std::thread([this] { run(); });
}

JournalWriter::~JournalWriter() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void JournalWriter::push(Op op, bool urgent) {
  bool wake = false;
  {
    std::lock_guard lock(mutex_);
    if (queue_.empty()) {
      firstPending_ = std::chrono::steady_clock::now();
      wake = true;
    }
    // Typing: an insertion right after the queued one joins it.
    auto* edit = std::get_if<EditOp>(&op);
    auto* last = queue_.empty() ? nullptr : std::get_if<EditOp>(&queue_.back());
    if (edit != nullptr && last != nullptr && edit->removed == 0 && last->removed == 0 &&
        edit->pos == last->pos + last->inserted.size()) {
      last->inserted += edit->inserted;
    } else {
      queue_.push_back(std::move(op));
    }
    if (edit != nullptr && ++pendingEdits_ == tuning_.maxPending) {
      wake = true;
    }
    if (urgent) {
      urgent_ = true;
      wake = true;
    }
  }
  if (wake) {
    wake_.notify_one();
  }
}

void JournalWriter::startFromSnapshot(std::string text, DocumentInfo info, bool writeNow) {
  started_ = true;
  textLength_ = text.size();
  recordBytes_ = 0;
  info_ = info;
  {
    std::lock_guard lock(mutex_);
    queue_.clear();  // the new base holds every change queued so far
    pendingEdits_ = 0;
  }
  push(Start{std::move(text), {}, std::move(info), writeNow}, true);
}

void JournalWriter::startFromFile(fs::path file, std::string text, DocumentInfo info) {
  started_ = true;
  textLength_ = text.size();
  recordBytes_ = 0;
  info_ = info;
  {
    std::lock_guard lock(mutex_);
    queue_.clear();
    pendingEdits_ = 0;
  }
  push(Start{std::move(text), std::move(file), std::move(info), false}, true);
}

void JournalWriter::recordEdit(std::int64_t pos, std::int64_t removed, std::string_view inserted) {
  if (!started_ || pos < 0 || removed < 0) {
    return;
  }
  const auto upos = static_cast<std::uint64_t>(pos);
  const auto uremoved = static_cast<std::uint64_t>(removed);
  textLength_ = textLength_ - std::min(textLength_, uremoved) + inserted.size();
  recordBytes_ += editRecordSize(upos, uremoved, inserted.size());
  const bool due = recordBytes_ > tuning_.maxRecords ||
                   recordBytes_ > std::max<std::uint64_t>(textLength_, tuning_.minRewrite) ||
                   rewriteWanted_.load(std::memory_order_relaxed);
  if (due && currentText) {
    recordBytes_ = 0;
    rewriteWanted_ = false;
    std::string text = currentText();
    textLength_ = text.size();
    {
      std::lock_guard lock(mutex_);
      queue_.clear();  // the copy holds them
      pendingEdits_ = 0;
    }
    push(Rewrite{std::move(text), info_}, false);
    return;
  }
  push(EditOp{upos, uremoved, std::string(inserted)}, false);
}

void JournalWriter::recordInfo(DocumentInfo info) {
  if (!started_ || info == info_) {
    return;
  }
  info_ = info;
  push(InfoOp{std::move(info)}, false);
}

void JournalWriter::discard() {
  started_ = false;
  {
    std::lock_guard lock(mutex_);
    queue_.clear();
    pendingEdits_ = 0;
  }
  push(Discard{}, true);
}

void JournalWriter::flush() {
  std::unique_lock lock(mutex_);
  const std::uint64_t ticket = ++flushAsked_;
  urgent_ = true;
  wake_.notify_one();
  done_.wait(lock, [&] { return flushDone_ >= ticket; });
}

void JournalWriter::run() {
  std::unique_lock lock(mutex_);
  const auto busy = [&] { return stop_ || urgent_ || !queue_.empty(); };
  for (;;) {
    if (prepareDue_) {
      if (!wake_.wait_until(lock, prepareAt_, busy)) {
        lock.unlock();
        prepareBase();
        lock.lock();
        continue;
      }
    } else {
      wake_.wait(lock, busy);
    }
    if (!stop_ && !urgent_ && pendingEdits_ < tuning_.maxPending) {
      // Let the typing of the next moment join this write.
      wake_.wait_until(lock, firstPending_ + tuning_.delay,
                       [&] { return stop_ || urgent_ || pendingEdits_ >= tuning_.maxPending; });
    }
    std::vector<Op> ops;
    ops.swap(queue_);
    pendingEdits_ = 0;
    urgent_ = false;
    const std::uint64_t ticket = flushAsked_;
    const bool stopping = stop_;
    lock.unlock();
    process(ops);
    lock.lock();
    flushDone_ = std::max(flushDone_, ticket);
    done_.notify_all();
    if (stopping && queue_.empty()) {
      return;
    }
  }
}

void JournalWriter::removeFile() {
  std::error_code ec;
  if (file_.isOpen()) {
    // Removed while still locked: a recovery that opened it meanwhile then finds the
    // name gone and leaves it.
    fs::remove(path_, ec);
    file_.close();
  }
  fs::remove(withSuffix(path_, ".base"), ec);
}

bool JournalWriter::writeFresh(const std::string& text, const fs::path& file,
                               const DocumentInfo& info) {
  std::error_code ec;
  fs::create_directories(dir_, ec);
  std::string bytes = encodeHeader();
  const fs::path link = withSuffix(path_, ".base");
  fs::remove(link, ec);
  bool referred = false;
  if (!file.empty() && makeHardLink(resolveLinks(file), link)) {
    // The link keeps the saved bytes even when a later save replaces the file, so that a
    // journal whose file was changed elsewhere can still be replayed. It only stands
    // for the base when it holds exactly the text of the document: as checked ahead when
    // the file is still in the state it was checked in, read again otherwise.
    if (prepared_ && fileIdentity(link) == prepared_->identity) {
      bytes += encodeFileBase(prepared_->record);
      referred = true;
    } else {
      try {
        const std::string saved = readFile(link);
        if (textOfFile(file, saved) == text) {
          bytes += encodeFileBase({pathToUtf8(file), saved.size(), crc32(saved)});
          referred = true;
        }
      } catch (...) {
      }
    }
    if (!referred) {
      fs::remove(link, ec);
    }
  }
  if (!referred) {
    bytes += encodeSnapshot(text);
  }
  bytes += encodeInfo(info);
  const fs::path fresh = withSuffix(path_, ".new");
  LockedFile f = LockedFile::create(fresh);
  if (!f.isOpen() || !f.append(bytes) || !f.dataSync()) {
    f.close();
    fs::remove(fresh, ec);
    return false;
  }
  if (!replaceLocked(fresh, path_, file_)) {
    f.close();
    fs::remove(fresh, ec);
    return false;
  }
  bytesWritten_ += bytes.size();
  file_ = std::move(f);
  return true;
}

void JournalWriter::forgetPrepared() {
  prepared_.reset();
  prepareDue_ = false;
  basePrepared_ = false;
}

void JournalWriter::prepareBase() {
  prepareDue_ = false;
  if (!base_ || base_->file.empty()) {
    return;
  }
  try {
    const fs::path real = resolveLinks(base_->file);
    const std::optional<FileIdentity> before = fileIdentity(real);
    if (!before) {
      return;
    }
    const std::string saved = readFile(real);
    // Written to while read: the first change reads it again.
    if (fileIdentity(real) != before || textOfFile(base_->file, saved) != base_->text) {
      return;
    }
    prepared_ = Prepared{*before, {pathToUtf8(base_->file), saved.size(), crc32(saved)}};
    basePrepared_ = true;
  } catch (...) {
  }
}

void JournalWriter::process(std::vector<Op>& ops) {
  std::string appended;
  bool ok = true;
  auto ensureFile = [&]() -> bool {
    if (file_.isOpen()) {
      return true;
    }
    if (!base_) {
      return false;
    }
    if (!writeFresh(base_->text, base_->file, workerInfo_)) {
      ok = false;
      return false;
    }
    base_.reset();  // the journal holds it now
    forgetPrepared();
    return true;
  };
  auto writeAppended = [&] {
    if (!appended.empty() && file_.isOpen()) {
      if (file_.append(appended)) {
        bytesWritten_ += appended.size();
      } else {
        ok = false;
      }
    }
    appended.clear();
  };
  for (Op& op : ops) {
    if (auto* s = std::get_if<Start>(&op)) {
      writeAppended();
      removeFile();
      workerInfo_ = s->info;
      base_ = std::move(*s);
      forgetPrepared();
      prepareDue_ = !base_->file.empty() && !base_->writeNow;
      prepareAt_ = std::chrono::steady_clock::now() + tuning_.prepareAfter;
      if (base_->writeNow) {
        ensureFile();
      }
    } else if (auto* e = std::get_if<EditOp>(&op)) {
      if (ensureFile()) {
        appended += encodeEdit(e->pos, e->removed, e->inserted);
      }
    } else if (auto* i = std::get_if<InfoOp>(&op)) {
      workerInfo_ = i->info;
      if (file_.isOpen()) {
        appended += encodeInfo(i->info);
      } else {
        ensureFile();  // a renamed document is a changed one
      }
    } else if (std::get_if<Discard>(&op) != nullptr) {
      appended.clear();
      removeFile();
      base_.reset();
      forgetPrepared();
    } else if (auto* r = std::get_if<Rewrite>(&op)) {
      appended.clear();
      workerInfo_ = r->info;
      base_.reset();
      forgetPrepared();
      if (!writeFresh(r->text, {}, r->info)) {
        ok = false;
      }
    }
  }
  writeAppended();
  if (file_.isOpen() && !file_.dataSync()) {
    ok = false;
  }
  failing_ = !ok;
  if (!ok) {
    // A half-written record may sit at the end: the next change rewrites the journal whole.
    rewriteWanted_ = true;
  }
}

}  // namespace scrivle::journal
