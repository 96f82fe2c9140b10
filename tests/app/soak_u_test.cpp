// A long random session on the real main window: typing through the editor's key path,
// tags and titles, replace-all, undo and redo, auto-save ticks, saves as calculator and
// plain files, closing and reopening. After each step the size shown must follow the text;
// after each save the file must hold the editor's text; after each reopen the editor must
// show what was saved.
//
// SCRIVLE_SOAK_STEPS raises the step count (and lifts the time bound) for a long run by
// hand; SCRIVLE_SOAK_SEED replays the session a failure names.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <chrono>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/main_u.h"
#include "document/child_u.h"
#include "document/tifile.h"
#include "editor/editor_view_u.h"
#include "platform/qtext_u.h"
#include "editor/text_model.h"
#include "search/find_dialogs_u.h"
#include "settings/parametre.h"
#include "support/fake_dialogs.h"
#include "support/temp_files.h"
#include "support/temp_settings.h"
#include "tags/insertion.h"

namespace scrivle {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using test::slurp;

unsigned long envNumber(const char* name, unsigned long fallback) {
  const char* v = std::getenv(name);
  return v != nullptr && *v != '\0' ? std::strtoul(v, nullptr, 10) : fallback;
}

// The editor's text as the calculator stores it, and as a reopen shows it again.
std::string calcBytes(const std::string& text) {
  return convertToCalc(text);
}

// Paragraphs that start with the bookmark marker: on the calculator the marker replaces
// the line's own marker byte, so each one counts a byte less than in the plain text.
std::int32_t bookmarks(const std::string& text) {
  std::int32_t n = !text.empty() && text[0] == '\f' ? 1 : 0;
  for (std::size_t at = text.find("\r\n\f"); at != std::string::npos;
       at = text.find("\r\n\f", at + 1)) {
    ++n;
  }
  return n;
}

class Soak {
 public:
  Soak(Tmain& main, test::FakeDialogs& dialogs, fs::path docs, unsigned seed)
      : main_(main), dialogs_(dialogs), docs_(std::move(docs)), rng_(seed) {
    for (const TagCommand& t : kTagCommands) tagActions_.emplace_back(t.action);
    for (const char* a :
         {"Menu1Action", "Menu2Action", "Menu3Action", "Menu4Action", "InserBookAction"}) {
      tagActions_.emplace_back(a);
    }
    doc_ = main_.NouveauActionExecute();
  }

  // One random step, then the checks that hold after any step.
  void step() {
    const int pick = static_cast<int>(rng_() % 100);
    if (pick < 35) {
      typeSome();
    } else if (pick < 52) {
      navigate();
    } else if (pick < 62) {
      tag();
    } else if (pick < 67) {
      replaceAll();
    } else if (pick < 77) {
      note("undo");
      main_.action("DfaireAction")->trigger();
    } else if (pick < 83) {
      note("redo");
      main_.action("RefaireAction")->trigger();
    } else if (pick < 86) {
      autoSaveTick();
    } else if (pick < 95) {
      save();
    } else {
      closeAndReopen();
    }
    if (doc_->model().length() > 20000) {
      // Keeps the text within the calculator's size and each step cheap.
      note("trim");
      doc_->model().setSel(0, doc_->model().length());
      QTest::keyClick(doc_->Richedit, Qt::Key_Delete);
    }
    // The size shown follows every change: a line break counts two, like the file; the
    // bookmark markers the toggle put or took (keys count them as bytes) do not count.
    EXPECT_EQ(doc_->calcSize(), plainTextSize(doc_->model().text()) - uncounted_);
    EXPECT_EQ(dialogs_.pending(), 0U);
  }

  std::string trail() const {
    std::string s;
    for (const std::string& t : trail_) s += t + "; ";
    return s;
  }

 private:
  void note(std::string what) {
    trail_.push_back(std::move(what));
    if (trail_.size() > 12) trail_.pop_front();
  }

  int below(int n) { return n <= 0 ? 0 : static_cast<int>(rng_() % static_cast<unsigned>(n)); }

  void typeSome() {
    static const QString kChars =
        QString::fromUtf8("abcdefghijklmnopqrstuvwxyzABCDEFUVWXYZ0123456789 #&.,;:!?()=+-é");
    const int n = 1 + below(8);
    QString typed;
    for (int i = 0; i < n; ++i) typed += kChars[below(static_cast<int>(kChars.size()))];
    note("type '" + typed.toStdString() + "'");
    for (const QChar ch : typed) {
      if (ch.unicode() < 0x80) {
        QTest::keyClick(doc_->Richedit, ch.toLatin1());
      } else {
        // QTest knows no key for a letter outside ASCII: send the AZERTY key with its text.
        QTest::sendKeyEvent(QTest::Click, doc_->Richedit, Qt::Key_Eacute, QString(ch),
                            Qt::NoModifier);
      }
    }
    switch (below(6)) {
      case 0:
        note("enter");
        QTest::keyClick(doc_->Richedit, Qt::Key_Return);
        break;
      case 1:
        note("backspace");
        QTest::keyClick(doc_->Richedit, Qt::Key_Backspace);
        break;
      case 2:
        note("delete");
        QTest::keyClick(doc_->Richedit, Qt::Key_Delete);
        break;
      default:
        break;
    }
  }

  void navigate() {
    static const Qt::Key kKeys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up,
                                    Qt::Key_Down, Qt::Key_Home,  Qt::Key_End};
    const Qt::Key key = kKeys[below(6)];
    Qt::KeyboardModifiers mods = Qt::NoModifier;
    if (below(3) == 0) mods |= Qt::ShiftModifier;
    if ((key == Qt::Key_Home || key == Qt::Key_End) && below(2) == 0) mods |= Qt::ControlModifier;
    const int times = 1 + below(5);
    note("move " + std::to_string(key) + "x" + std::to_string(times) + " mods " +
         std::to_string(mods.toInt()));
    for (int i = 0; i < times; ++i) QTest::keyClick(doc_->Richedit, key, mods);
  }

  void tag() {
    const std::string& name =
        tagActions_[static_cast<std::size_t>(below(static_cast<int>(tagActions_.size())))];
    note(name);
    const Pos before = doc_->model().length();
    main_.action(name)->trigger();
    // The bookmark toggle leaves the size alone; every other change counts its bytes.
    if (name == "InserBookAction") uncounted_ += doc_->model().length() - before;
  }

  // Replace all, from the start, of a piece of the text the find box can hold.
  void replaceAll() {
    const std::string text = doc_->model().text();
    if (text.empty()) return;
    const std::size_t at = static_cast<std::size_t>(below(static_cast<int>(text.size())));
    std::string find = text.substr(at, 1 + static_cast<std::size_t>(below(3)));
    for (char ch : find) {
      if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F) return;
    }
    std::string replacement;
    for (int i = below(4); i > 0; --i) replacement += static_cast<char>('a' + below(26));
    if (replacement == find) replacement += "z";
    note("replace '" + find + "' by '" + replacement + "'");
    main_.action("Remplacer2")->trigger();
    auto* dialog = main_.findChild<TReplaceDialog*>();
    dialog->FindText->setText(toQString(find));
    dialog->ReplaceText->setText(toQString(replacement));
    doc_->model().setSel(0, 0);
    QTest::mouseClick(dialog->ReplaceAllBtn, Qt::LeftButton);
    dialog->hide();
  }

  void autoSaveTick() {
    note("auto-save");
    doc_->TimerTimer();
    EXPECT_EQ(slurp(doc_->temporaryFile()), doc_->model().text());
  }

  void save() {
    calc_ = !calc_;
    const fs::path target = docs_ / (calc_ ? "soak.89t" : "soak.txt");
    note("save as " + target.filename().string());
    dialogs_.expectSave(target);
    main_.action("EnregistrersousAction")->trigger();
    ASSERT_EQ(doc_->fullPath(), target);
    EXPECT_FALSE(doc_->model().modified());
    EXPECT_FALSE(doc_->captionModified());
    const std::string bytes = slurp(target);
    const std::string text = doc_->model().text();
    if (calc_) {
      const TiText t = readTiText(bytes);
      EXPECT_EQ(calcBytes(t.text), calcBytes(text));
      EXPECT_EQ(t.size, plainTextSize(text) - bookmarks(text));
    } else {
      EXPECT_EQ(bytes, text);
    }
  }

  void closeAndReopen() {
    note("close and reopen");
    const bool hadFile = doc_->hasFile();
    const fs::path path = doc_->fullPath();
    if (doc_->model().modified() || doc_->captionModified()) {
      dialogs_.expectConfirm(Answer::No);
    }
    doc_->close();
    QApplication::processEvents();
    ASSERT_TRUE(main_.children().empty());
    uncounted_ = 0;
    if (!hadFile) {
      doc_ = main_.NouveauActionExecute();
      return;
    }
    const std::string bytes = slurp(path);
    doc_ = main_.openInNewWindow(path);
    ASSERT_NE(doc_, nullptr);
    EXPECT_FALSE(doc_->model().modified());
    if (isCalcExtension(path)) {
      const TiText t = readTiText(bytes);
      EXPECT_EQ(doc_->model().text(), t.text);
      EXPECT_EQ(doc_->calcSize(), t.size);
      uncounted_ = bookmarks(t.text);
    } else {
      EXPECT_EQ(doc_->model().text(), bytes);
      EXPECT_EQ(doc_->calcSize(), plainTextSize(bytes));
    }
    doc_->Richedit->setFocus();
  }

  Tmain& main_;
  test::FakeDialogs& dialogs_;
  fs::path docs_;
  std::mt19937 rng_;
  std::vector<std::string> tagActions_;
  TChild* doc_ = nullptr;
  bool calc_ = false;
  std::int32_t uncounted_ = 0;  // bookmark markers the size shown leaves out
  std::deque<std::string> trail_;
};

TEST(SoakTest, LongRandomSessionKeepsEditorFilesAndSizesInStep) {
  const test::TempSettings settings;  // every save writes the recent files

  const auto seed = static_cast<unsigned>(envNumber("SCRIVLE_SOAK_SEED", 20240611));
  const bool byHand = std::getenv("SCRIVLE_SOAK_STEPS") != nullptr;
  const unsigned long steps = envNumber("SCRIVLE_SOAK_STEPS", 30000);
  // The default run is bounded in time too, so that the sanitizer build stays near a minute.
  const auto deadline = Clock::now() + std::chrono::seconds(byHand ? 86400 : 45);

  test::FakeDialogs dialogs;
  {
    Tmain main(dialogs);
    main.show();
    main.FormActivate();
    Soak soak(main, dialogs, settings.docs(), seed);
    unsigned long done = 0;
    const auto start = Clock::now();
    for (; done < steps && Clock::now() < deadline; ++done) {
      soak.step();
      if (::testing::Test::HasFailure()) {
        ADD_FAILURE() << "replay with SCRIVLE_SOAK_SEED=" << seed
                      << " SCRIVLE_SOAK_STEPS=" << done + 1 << "; last steps: " << soak.trail();
        break;
      }
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("soak: %lu steps in %.1f s (seed %u)\n", done, seconds, seed);
    for (TChild* c : main.children()) c->model().setModified(false);
  }
}

}  // namespace
}  // namespace scrivle
