#include "document/journal.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "document/journal_recovery.h"
#include "document/journal_writer.h"
#include "editor/text_model.h"
#include "support/temp_files.h"

namespace fs = std::filesystem;
using namespace scrivle;
using namespace scrivle::journal;

namespace {

using test::slurp;
using test::spit;
using test::TempDir;

// What recovery would rebuild from the journal on disk right now.
std::string replayed(const fs::path& journalPath) {
  const Contents c = parse(slurp(journalPath));
  EXPECT_EQ(c.status, Contents::Status::Whole);
  std::string text = c.snapshot ? *c.snapshot : std::string();
  if (c.fileBase) {
    fs::path link = journalPath;
    link += ".base";
    text = textOfFile(c.fileBase->path, slurp(link));
  }
  EXPECT_EQ(replay(text, c.edits), c.edits.size());
  return text;
}

DocumentInfo sampleInfo() {
  DocumentInfo i;
  i.path = "/home/x/essai.89t";
  i.hasFile = true;
  i.type = "89t";
  i.folder = std::string("main\0\0\0\0", 8);
  i.name = "essai";
  i.caption = "essai.89t";
  return i;
}

// A model wired to a writer, as a document window wires them.
struct Journalled {
  explicit Journalled(const fs::path& dir, JournalWriter::Tuning t = {}) : writer(dir, t) {
    writer.currentText = [this] { return model.text(); };
    model.onEdit = [this](Pos p, Pos r, std::string_view s) { writer.recordEdit(p, r, s); };
  }
  ~Journalled() { model.onEdit = nullptr; }
  TextModel model;
  JournalWriter writer;
};

void randomEdits(TextModel& m, std::mt19937& rng, int count) {
  static const std::string alphabet = "abc \r\n\x80\xFF&#";
  auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n)(rng); };
  for (int k = 0; k < count; ++k) {
    const Pos len = m.length();
    switch (pick(7)) {
      case 0:
      case 1:
      case 2: {  // typing at the caret, often after a caret move
        if (pick(3) == 0) m.setSel(static_cast<Pos>(pick(static_cast<std::size_t>(len))));
        m.typeText(std::string(1, alphabet[pick(alphabet.size() - 1)]));
        break;
      }
      case 3: {
        const auto at = static_cast<Pos>(pick(static_cast<std::size_t>(len)));
        m.replace(at, static_cast<Pos>(pick(4)), std::string(pick(6), 'x'));
        break;
      }
      case 4: {  // a grouped command (a replace-all, a tag insertion)
        UndoGroup g(m);
        for (int i = 0; i < 3; ++i) {
          m.replace(static_cast<Pos>(pick(static_cast<std::size_t>(m.length()))), 1, "TAG");
        }
        break;
      }
      case 5:
        m.undo();
        break;
      case 6:
        m.redo();
        break;
      default:
        m.setSel(static_cast<Pos>(pick(static_cast<std::size_t>(len))), 2);
        m.replaceSelection("");
        break;
    }
  }
}

}  // namespace

// The check sum is the usual CRC-32 (the one zip and PNG use), the same whatever the
// length and however the bytes are split between calls.
TEST(JournalCrc, IsTheUsualCrc32InAnyPieces) {
  EXPECT_EQ(crc32("123456789"), 0xCBF43926U);
  EXPECT_EQ(crc32(""), 0U);
  std::string bytes;
  for (int i = 0; i < 300; ++i) bytes += static_cast<char>(i * 37 + 11);
  std::uint32_t bitByBit = 0xFFFFFFFFU;  // the definition, one bit at a time
  for (const char c : bytes) {
    bitByBit ^= static_cast<unsigned char>(c);
    for (int k = 0; k < 8; ++k)
      bitByBit = (bitByBit & 1U) != 0 ? 0xEDB88320U ^ (bitByBit >> 1) : bitByBit >> 1;
  }
  const std::uint32_t whole = crc32(bytes);
  EXPECT_EQ(whole, ~bitByBit);
  for (std::size_t cut = 0; cut <= 20; ++cut) {
    const std::string_view v(bytes);
    EXPECT_EQ(crc32(v.substr(cut), crc32(v.substr(0, cut))), whole) << cut;
  }
}

TEST(Journal, ReplayGivesTheLiveTextAfterRandomEditsUndoAndRedo) {
  // Small rewrite thresholds exercise the compact rewrites along the way; huge ones keep
  // every edit as a record.
  for (const std::uint64_t minRewrite : {std::uint64_t{64}, std::uint64_t{1} << 40}) {
    for (unsigned seed = 1; seed <= 12; ++seed) {
      TempDir dir;
      JournalWriter::Tuning t;
      t.minRewrite = minRewrite;
      t.maxRecords = minRewrite;
      Journalled doc(dir.path(), t);
      doc.model.load("start\r\ntext");
      doc.writer.startFromSnapshot(doc.model.text(), sampleInfo(), false);
      std::mt19937 rng(seed);
      for (int round = 0; round < 5; ++round) {
        randomEdits(doc.model, rng, 60);
        doc.writer.flush();
        ASSERT_EQ(replayed(doc.writer.path()), doc.model.text())
            << "seed " << seed << " round " << round << " minRewrite " << minRewrite;
      }
    }
  }
}

TEST(Journal, AnOpenedFileIsReferredToNotCopied) {
  TempDir dir;
  const fs::path doc = dir.path() / "essai.txt";
  const std::string saved(50000, 'z');
  spit(doc, saved);
  Journalled j(dir.path() / "state");
  j.model.load(saved);
  j.writer.startFromFile(doc, saved, sampleInfo());
  j.model.setSel(10);
  j.model.typeText("a");
  j.model.typeText("b");
  j.writer.flush();
  const std::string bytes = slurp(j.writer.path());
  EXPECT_LT(bytes.size(), 400U);  // a reference and a record, no copy of 50 000 bytes
  const Contents c = parse(bytes);
  ASSERT_TRUE(c.fileBase.has_value());
  EXPECT_EQ(c.fileBase->size, saved.size());
  EXPECT_EQ(c.fileBase->crc, crc32(saved));
  EXPECT_EQ(c.info, sampleInfo());
  EXPECT_EQ(replayed(j.writer.path()), j.model.text());
}

// The opened file is read and checked ahead of the first change. The journal trusts
// that check only while the file is as it was checked: one rewritten in place or replaced
// since then is read again, and the journal copies the text it no longer holds.
TEST(Journal, AFileCheckedAheadIsReadAgainWhenItChangedSince) {
  enum class Then { Untouched, RewrittenInPlace, Replaced };
  for (Then then : {Then::Untouched, Then::RewrittenInPlace, Then::Replaced}) {
    SCOPED_TRACE(static_cast<int>(then));
    TempDir dir;
    const fs::path doc = dir.path() / "essai.txt";
    const std::string saved = "base text " + std::string(5000, 'z');
    spit(doc, saved);
    JournalWriter::Tuning t;
    t.prepareAfter = std::chrono::milliseconds(0);
    Journalled j(dir.path() / "state", t);
    j.model.load(saved);
    j.writer.startFromFile(doc, saved, sampleInfo());
    for (int i = 0; i < 500 && !j.writer.basePrepared(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ASSERT_TRUE(j.writer.basePrepared());
    std::string other = saved;
    other[0] = 'B';  // the same size
    if (then == Then::RewrittenInPlace) {
      std::ofstream(doc, std::ios::binary | std::ios::in).write(other.data(), 1);
      fs::last_write_time(doc, fs::last_write_time(doc) + std::chrono::seconds(2));
    } else if (then == Then::Replaced) {
      spit(dir.path() / "other", other);
      fs::rename(dir.path() / "other", doc);
    }
    j.model.setSel(0);
    j.model.typeText("my ");
    j.writer.flush();
    const Contents c = parse(slurp(j.writer.path()));
    EXPECT_EQ(c.fileBase.has_value(), then == Then::Untouched);
    EXPECT_EQ(c.snapshot.has_value(), then != Then::Untouched);
    if (c.fileBase) {
      EXPECT_EQ(c.fileBase->crc, crc32(saved));
    }
    EXPECT_EQ(replayed(j.writer.path()), "my " + saved);
  }
}

TEST(Journal, NothingIsWrittenBeforeTheFirstChangeAndASaveOrDiscardRemovesIt) {
  TempDir dir;
  const fs::path doc = dir.path() / "essai.txt";
  spit(doc, "abc");
  Journalled j(dir.path() / "state");
  j.model.load("abc");
  j.writer.startFromFile(doc, "abc", sampleInfo());
  j.writer.flush();
  EXPECT_FALSE(fs::exists(j.writer.path()));
  j.model.typeText("x");
  j.writer.flush();
  EXPECT_TRUE(fs::exists(j.writer.path()));
  // A clean save: the journal of the old base goes, the next one starts at the next change.
  spit(doc, j.model.text());
  j.writer.startFromFile(doc, j.model.text(), sampleInfo());
  j.writer.flush();
  EXPECT_FALSE(fs::exists(j.writer.path()));
  j.model.typeText("y");
  j.writer.discard();
  j.model.typeText("z");  // after a close nothing more is recorded
  j.writer.flush();
  EXPECT_TRUE(fs::is_empty(dir.path() / "state"));
}

TEST(Journal, ChangesReachTheDiskWithinTheDelayOrAfterMaxPendingChanges) {
  TempDir dir;
  {
    JournalWriter::Tuning t;
    t.delay = std::chrono::milliseconds(300);
    Journalled j(dir.path(), t);
    j.writer.startFromSnapshot("", sampleInfo(), false);
    j.model.typeText("q");
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < until &&
           (!fs::exists(j.writer.path()) || parse(slurp(j.writer.path())).edits.empty())) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(replayed(j.writer.path()), "q");
  }
  {
    JournalWriter::Tuning t;
    t.delay = std::chrono::hours(1);  // only the count can trigger the write
    t.maxPending = 50;
    Journalled j(dir.path(), t);
    j.writer.startFromSnapshot("", sampleInfo(), false);
    // Twice the count: the writer may take the first few changes along with the start,
    // and what follows must still reach the disk by the count alone.
    for (int i = 0; i < 100; ++i) {
      j.model.setSel(0);  // not coalesced: separate changes
      j.model.typeText("w");
    }
    const auto persisted = [&] {
      return fs::exists(j.writer.path()) ? parse(slurp(j.writer.path())).edits.size() : 0;
    };
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < until && persisted() < 50) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    const std::string text = replayed(j.writer.path());
    EXPECT_GE(text.size(), 50U);
    EXPECT_EQ(text, std::string(text.size(), 'w'));
  }
}

TEST(Journal, ATornOrDamagedTailIsDroppedAtTheLastWholeRecord) {
  std::string bytes = encodeHeader() + encodeSnapshot("hello") + encodeInfo(sampleInfo()) +
                      encodeEdit(5, 0, " world") + encodeEdit(0, 1, "H");
  const std::size_t whole = bytes.size();
  bytes += encodeEdit(11, 0, "!");
  for (std::size_t cut = whole; cut < bytes.size(); ++cut) {
    const Contents c = parse(std::string_view(bytes).substr(0, cut));
    EXPECT_EQ(c.status, cut == whole ? Contents::Status::Whole : Contents::Status::DamagedTail);
    EXPECT_EQ(c.droppedBytes, cut - whole);
    ASSERT_EQ(c.edits.size(), 2U);
    std::string text = *c.snapshot;
    replay(text, c.edits);
    EXPECT_EQ(text, "Hello world");
  }
  // A flipped bit inside the second edit: only the first survives.
  std::string damaged = bytes;
  damaged[whole - 3] ^= 0x10;
  const Contents c = parse(damaged);
  EXPECT_EQ(c.status, Contents::Status::DamagedTail);
  EXPECT_EQ(c.edits.size(), 1U);
  // Torn inside the base: nothing to rebuild.
  EXPECT_EQ(parse(bytes.substr(0, 20)).status, Contents::Status::NoBase);
  EXPECT_EQ(parse("not a journal").status, Contents::Status::NotJournal);
  // An edit that does not fit its base stops the replay there.
  std::string text = "ab";
  EXPECT_EQ(replay(text, {{1, 1, "X"}, {5, 0, "far"}, {0, 0, "never"}}), 1U);
  EXPECT_EQ(text, "aX");
}

TEST(Journal, RecoveryReportsADamagedJournalAndKeepsWhatIsWhole) {
  TempDir dir;
  std::string bytes = encodeHeader() + encodeSnapshot("hello") + encodeInfo(sampleInfo()) +
                      encodeEdit(5, 0, "!") + encodeEdit(0, 0, ">");
  spit(dir.path() / "a.journal", bytes.substr(0, bytes.size() - 2));
  spit(dir.path() / "b.journal", "garbage");
  JournalRecovery r(dir.path());
  ASSERT_EQ(r.texts().size(), 1U);
  EXPECT_EQ(r.texts()[0].text, "hello!");
  EXPECT_EQ(r.texts()[0].info, sampleInfo());
  ASSERT_EQ(r.notes().size(), 2U);
  EXPECT_EQ(r.notes()[0],
            "essai.89t : la fin du journal est endommagée ; les dernières modifications sont "
            "perdues");
  EXPECT_EQ(r.notes()[1], "b.journal : journal illisible, rien n'a pu être récupéré");
  r.removeAll();
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(Journal, AnotherVersionsJournalIsRefusedAndLeftAlone) {
  TempDir dir;
  const std::string bytes = encodeHeader(kVersion + 1) + encodeSnapshot("future");
  EXPECT_EQ(parse(bytes).status, Contents::Status::OtherVersion);
  EXPECT_TRUE(parse(bytes).edits.empty());
  spit(dir.path() / "x.journal", bytes);
  JournalRecovery r(dir.path());
  EXPECT_FALSE(r.found());
  ASSERT_EQ(r.notes().size(), 1U);
  EXPECT_EQ(r.notes()[0], "x.journal : journal d'une autre version de Scrivle, laissé de côté");
  r.removeAll();
  EXPECT_EQ(slurp(dir.path() / "x.journal"), bytes);
}

TEST(Journal, ARunningInstancesJournalIsNeverTaken) {
  TempDir dir;
  auto live = std::make_unique<Journalled>(dir.path());
  live->writer.startFromSnapshot("", sampleInfo(), false);
  live->model.typeText("mine");
  live->writer.flush();
  {
    JournalRecovery other(dir.path());  // another instance starting now
    EXPECT_FALSE(other.found());
    other.removeAll();
  }
  EXPECT_TRUE(fs::exists(live->writer.path()));
  // Its owner dies without closing the document: the lock goes with it.
  const fs::path left = live->writer.path();
  live.reset();
  JournalRecovery first(dir.path());
  ASSERT_EQ(first.texts().size(), 1U);
  EXPECT_EQ(first.texts()[0].text, "mine");
  {
    JournalRecovery second(dir.path());  // two instances starting together
    EXPECT_FALSE(second.found());
  }
  first.removeAll();
  EXPECT_FALSE(fs::exists(left));
}

TEST(Journal, ABaseChangedElsewhereComesBackFromTheKeptBytesAndIsReported) {
  TempDir dir;
  const fs::path doc = dir.path() / "essai.txt";
  spit(doc, "base text");
  fs::path journalPath;
  {
    Journalled j(dir.path() / "state");
    j.model.load("base text");
    DocumentInfo info = sampleInfo();
    info.caption = "essai.txt";
    j.writer.startFromFile(doc, "base text", info);
    j.model.setSel(0);
    j.model.typeText("my ");
    j.writer.flush();
    journalPath = j.writer.path();
  }
  // Another editor saves over it (a new file renamed over the old one).
  spit(dir.path() / "other", "changed by someone else");
  fs::rename(dir.path() / "other", doc);
  JournalRecovery r(dir.path() / "state");
  ASSERT_EQ(r.texts().size(), 1U);
  EXPECT_EQ(r.texts()[0].text, "my base text");
  EXPECT_TRUE(r.texts()[0].baseChanged);
  ASSERT_EQ(r.notes().size(), 1U);
  EXPECT_NE(r.notes()[0].find("essai.txt : le fichier d'origine a changé"), std::string::npos);
  r.removeAll();
  EXPECT_EQ(slurp(doc), "changed by someone else");  // never merged into it
  EXPECT_TRUE(fs::is_empty(dir.path() / "state"));
}

TEST(Journal, DescriptionsRoundTripAndRefuseDamage) {
  DocumentInfo i = sampleInfo();
  i.journal = "scrivle-1-2-3.journal";
  const std::string bytes = encodeDescription(i);
  EXPECT_EQ(decodeDescription(bytes), i);
  for (std::size_t k = 0; k < bytes.size(); ++k) {
    std::string bad = bytes;
    bad[k] ^= 0x01;
    EXPECT_FALSE(decodeDescription(bad).has_value()) << k;
    EXPECT_FALSE(decodeDescription(bytes.substr(0, k)).has_value()) << k;
  }
  EXPECT_EQ(descriptionOf("/s/essai.89t.tmp"), fs::path("/s/essai.89t.tmp.desc"));
}
