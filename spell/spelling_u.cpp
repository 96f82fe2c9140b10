#include "spell/spelling_u.h"

#include <QAction>
#include <QMenu>
#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

#include "editor/editor_view_u.h"
#include "platform/files.h"
#include "platform/qtext_u.h"
#include "platform/threads.h"
#include "registry/registry.h"
#include "settings/parametre.h"
#include "spell/correction.h"
#include "spell/hunspell/hunspell_dictionary.h"
#include "spell/words.h"

namespace scrivle {

namespace fs = std::filesystem;

namespace {

// A background slice stops past this much work, so the person's keys wait at most ~5 ms.
constexpr qint64 kSliceNs = 4'000'000;
// How often the pass looks whether the dictionary has been read.
constexpr int kLoadPollMs = 20;
// The dictionary is read this long after a view was first drawn: the window reaches the
// screen first, with the display server and the window manager given the processor.
constexpr int kDictionaryDelayMs = 250;
// Paragraphs longer than this are checked a few words at a time by the background pass.
constexpr std::size_t kQuickParagraph = 512;
// A pass (which forgets the paragraph states no longer in any text) after this many edits,
// or when the paragraphs kept hold this many bytes.
constexpr std::size_t kEditsBeforePrune = 2000;
constexpr std::size_t kMaxCachedBytes = 8U << 20U;
// A change touching more paragraphs than this goes to the background pass.
constexpr Pos kQuickParagraphs = 16;
// Unknown words a long touched paragraph may hold and still be checked at once.
constexpr std::size_t kQuickUnknownWords = 24;

struct Range {
  Pos start;
  Pos end;  // without the line break
};

Range paragraphRange(const TextModel& m, Pos p) {
  const Pos start = m.paragraphStart(p);
  const Pos next = m.paragraphStart(p + 1);
  return {start, next < 0 ? m.length() : next - 2};
}

std::string paragraphBytes(const TextModel& m, Pos p) {
  const Range r = paragraphRange(m, p);
  return m.text(r.start, r.end - r.start);
}

std::set<std::string> readPersonalList() {
  std::ifstream in(spell::personalListPath(), std::ios::binary);
  if (!in) return {};
  std::ostringstream s;
  s << in.rdbuf();
  return spell::parseWordList(s.str());
}

}  // namespace

Spelling::Spelling(Hooks hooks, QObject* parent) : QObject(parent), hooks_(std::move(hooks)) {
  if (spell::hunspellBuiltIn()) {
    found_ = hooks_.findDictionaries ? hooks_.findDictionaries() : spell::findDictionaries();
  }
  checker_.setPersonalWords(readPersonalList());
  slicer_.setInterval(0);
  connect(&slicer_, &QTimer::timeout, this, &Spelling::slice);
}

Spelling::~Spelling() {
  clearMenu();
  for (const auto& v : views_) {
    if (!v) continue;
    v->wavyUnderlines = nullptr;
    v->onContextMenu = nullptr;
  }
}

void Spelling::loadSettings() {
  if (settingsLoaded_) return;
  settingsLoaded_ = true;
  try {
    auto registry = openUserRegistry([this](const std::string& text) {
      if (hooks_.message) hooks_.message(text);
    });
    const RegistryBatch batch(*registry);  // the store read once for both values
    settings_ = spell::loadSpellSettings(*registry);
  } catch (const std::exception&) {  // NOLINT(bugprone-empty-catch): the defaults stand
  }
  if (!found_.empty() &&
      std::none_of(found_.begin(), found_.end(),
                   [&](const spell::DictionaryFiles& f) { return f.code == settings_.language; })) {
    settings_.language = std::string(found_.front().code);
  }
}

QString Spelling::unavailableReason() const {
  if (!spell::hunspellBuiltIn()) {
    return QStringLiteral("Orthographe indisponible : Scrivle a été construit sans Hunspell");
  }
  if (found_.empty()) {
    return QStringLiteral(
        "Orthographe indisponible : aucun dictionnaire français ou anglais trouvé "
        "(paquets hunspell-fr, hunspell-en-us)");
  }
  if (loadFailed_) {
    return QStringLiteral("Orthographe indisponible : le dictionnaire ne peut pas être lu");
  }
  return {};
}

void Spelling::save() {
  try {
    auto registry = openUserRegistry([this](const std::string& text) {
      if (hooks_.message) hooks_.message(text);
    });
    spell::saveSpellSettings(*registry, settings_);
  } catch (const std::exception& e) {
    if (hooks_.message) hooks_.message(e.what());
  }
}

void Spelling::setEnabled(bool on) {
  settings_.enabled = on;
  save();
  if (enabled()) startPass();
  refreshViews();
}

void Spelling::setLanguage(const std::string& code) {
  if (code == settings_.language || spell::findLanguage(code) == nullptr) return;
  settings_.language = code;
  save();
  checker_.setDictionary(nullptr);
  loadedLanguage_.clear();
  if (loading_.valid()) loading_.wait();  // the dictionary of the language left is dropped
  loadFailed_ = false;
  if (enabled()) startPass();
  refreshViews();
}

bool Spelling::ensureDictionary(bool wait) {
  if (checker_.hasDictionary() && loadedLanguage_ == settings_.language) return true;
  if (loadFailed_) return false;
  if (!loading_.valid() || loadingLanguage_ != settings_.language) {
    const auto f = std::find_if(found_.begin(), found_.end(), [&](const spell::DictionaryFiles& d) {
      return d.code == settings_.language;
    });
    if (f == found_.end()) {
      loadFailed_ = true;
      return false;
    }
    // Reading a dictionary takes a tenth of a second or more: not on the person's time.
    loadingLanguage_ = settings_.language;
    loading_ = std::async(std::launch::async, [files = *f]() -> std::unique_ptr<spell::Dictionary> {
      lowerThisThreadsPriority();  // what the person does comes first
      try {
        return spell::openHunspell(files);
      } catch (const std::exception&) {
        return nullptr;
      }
    });
  }
  if (!wait && loading_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
    return false;
  }
  std::unique_ptr<spell::Dictionary> d = loading_.get();
  if (!d) {
    loadFailed_ = true;
    return false;
  }
  checker_.setDictionary(std::move(d));
  loadedLanguage_ = loadingLanguage_;
  return true;
}

void Spelling::attach(EditorView* view) {
  loadSettings();
  views_.emplace_back(view);
  view->wavyUnderlines = [this, view](Pos from, Pos to, std::vector<std::pair<Pos, Pos>>& out) {
    underlines(view, from, to, out);
  };
  view->onContextMenu = [this, view](QMenu& menu, Pos pos) { fillMenu(view, menu, pos); };
  connect(view, &EditorView::textReplaced, this,
          [this, view](qint64 pos, qint64, qint64 inserted) { touched(view, pos, inserted); });
  connect(view, &QObject::destroyed, this, [this] {
    std::erase_if(views_, [](const QPointer<EditorView>& v) { return v.isNull(); });
    passView_ = 0;
    passParagraph_ = 0;
  });
  if (enabled()) startPass();
}

void Spelling::refreshViews() {
  for (const auto& v : views_) {
    if (v) v->refreshUnderlines();
  }
}

void Spelling::startPass() {
  if (!enabled()) return;
  passView_ = 0;
  passParagraph_ = 0;
  passWords_.clear();
  passWord_ = 0;
  checker_.beginUse();
  if (!drawn_ && !checker_.hasDictionary()) {
    passWaiting_ = true;
    return;
  }
  passWaiting_ = false;
  slicer_.start();
}

void Spelling::releasePass() {
  if (!passWaiting_) return;
  passWaiting_ = false;
  slicer_.start();
}

void Spelling::finishPass() {
  releasePass();
  while (slicer_.isActive()) {
    if (enabled()) ensureDictionary(true);
    slice();
  }
}

void Spelling::slice() {
  if (!enabled() || loadFailed_) {
    slicer_.stop();
    return;
  }
  if (!ensureDictionary(false)) {
    slicer_.setInterval(kLoadPollMs);  // still being read
    return;
  }
  if (slicer_.interval() != 0) slicer_.setInterval(0);
  QElapsedTimer clock;
  clock.start();
  bool changed = false;
  while (clock.nsecsElapsed() < kSliceNs) {
    if (passView_ >= views_.size()) {
      checker_.pruneUnused();
      editsSincePrune_ = 0;
      slicer_.stop();
      break;
    }
    EditorView* view = views_[passView_];
    if (view == nullptr || passParagraph_ >= view->model().paragraphCount()) {
      if (changed && view != nullptr) view->refreshUnderlines();
      changed = false;
      ++passView_;
      passParagraph_ = 0;
      continue;
    }
    const std::string bytes = paragraphBytes(view->model(), passParagraph_);
    if (bytes.size() > kQuickParagraph && checker_.cached(bytes) == nullptr) {
      // A long paragraph: its words a few at a time, then the paragraph from their verdicts.
      if (passWords_.empty()) {
        std::vector<spell::Word> words;
        spell::splitWords(bytes, words);
        for (spell::Word& w : words) {
          if (!checker_.knows(w.utf8)) passWords_.push_back(std::move(w.utf8));
        }
        passWord_ = 0;
      }
      while (passWord_ < passWords_.size() && clock.nsecsElapsed() < kSliceNs) {
        checker_.correct(passWords_[passWord_++]);
      }
      if (passWord_ < passWords_.size()) break;
      passWords_.clear();
      passWord_ = 0;
    }
    changed = checker_.cached(bytes) == nullptr || changed;
    checker_.paragraph(bytes);
    ++passParagraph_;
  }
  if (changed && passView_ < views_.size() && views_[passView_]) {
    views_[passView_]->refreshUnderlines();
  }
}

void Spelling::touched(EditorView* view, Pos pos, Pos inserted) {
  if (!enabled() || !checker_.hasDictionary()) return;
  const TextModel& m = view->model();
  const Pos first = m.paragraphOfPos(pos);
  const Pos last = m.paragraphOfPos(pos + inserted);
  if (last - first > kQuickParagraphs) {
    startPass();
    return;
  }
  for (Pos p = first; p <= last; ++p) {
    const std::string bytes = paragraphBytes(m, p);
    if (bytes.size() > kQuickParagraph && checker_.cached(bytes) == nullptr) {
      std::vector<spell::Word> words;
      spell::splitWords(bytes, words);
      const auto unknown = std::count_if(words.begin(), words.end(), [&](const spell::Word& w) {
        return !checker_.knows(w.utf8);
      });
      // A long paragraph's new words now, the paragraph itself by the pass: each state of
      // it kept would cost its whole length.
      if (static_cast<std::size_t>(unknown) <= kQuickUnknownWords) {
        for (const spell::Word& w : words) checker_.correct(w.utf8);
      }
      if (!slicer_.isActive()) startPass();
      continue;
    }
    checker_.paragraph(bytes);
  }
  // Every state a paragraph goes through while typed is kept until a pass prunes them.
  ++editsSincePrune_;
  if ((editsSincePrune_ > kEditsBeforePrune || checker_.cachedBytes() > kMaxCachedBytes) &&
      !slicer_.isActive()) {
    startPass();
  }
}

void Spelling::underlines(EditorView* view, Pos from, Pos to,
                          std::vector<std::pair<Pos, Pos>>& out) {
  if (!enabled()) return;
  if (!drawn_) {
    // The first drawing of a view: the dictionary is read once it has reached the screen.
    drawn_ = true;
    QTimer::singleShot(kDictionaryDelayMs, this, &Spelling::releasePass);
  }
  if (!checker_.hasDictionary()) return;
  const TextModel& m = view->model();
  const Pos count = m.paragraphCount();
  for (Pos p = m.paragraphOfPos(from); p < count; ++p) {
    const Range r = paragraphRange(m, p);
    if (r.start >= to) break;
    const std::string bytes = m.text(r.start, r.end - r.start);
    const std::vector<spell::Misspelling>* words = checker_.cached(bytes);
    if (words == nullptr) {
      if (bytes.size() > kQuickParagraph) {
        if (!slicer_.isActive()) startPass();
        continue;
      }
      words = &checker_.paragraph(bytes);
    }
    for (const spell::Misspelling& w : *words) {
      const Pos s = r.start + w.start;
      if (s < to && s + w.length > from) out.emplace_back(s, w.length);
    }
  }
}

void Spelling::menuClosing() {
  // The item chosen is triggered after the menu hides: its removal waits for the loop.
  QTimer::singleShot(0, this, &Spelling::clearMenu);
}

void Spelling::clearMenu() {
  for (QAction* a : items_) {
    if (menu_) menu_->removeAction(a);
    a->deleteLater();
  }
  items_.clear();
}

void Spelling::fillMenu(EditorView* view, QMenu& menu, Pos pos) {
  clearMenu();
  if (!enabled() || !ensureDictionary(true)) return;
  const TextModel& m = view->model();
  const Pos p = m.paragraphOfPos(pos);
  const Range r = paragraphRange(m, p);
  const std::string bytes = m.text(r.start, r.end - r.start);
  const std::vector<spell::Misspelling>& words = checker_.paragraph(bytes);
  auto hit = std::find_if(words.begin(), words.end(), [&](const spell::Misspelling& w) {
    return pos >= r.start + w.start && pos < r.start + w.start + w.length;
  });
  if (hit == words.end()) {
    // The menu key with the caret right after the word.
    hit = std::find_if(words.begin(), words.end(), [&](const spell::Misspelling& w) {
      return pos == r.start + w.start + w.length;
    });
  }
  if (hit == words.end()) return;
  const std::string word = hit->word;
  const Pos start = r.start + hit->start;
  const Pos length = hit->length;
  const std::string old =
      bytes.substr(static_cast<std::size_t>(hit->start), static_cast<std::size_t>(length));

  menu_ = &menu;
  connect(&menu, &QMenu::aboutToHide, this, &Spelling::menuClosing, Qt::UniqueConnection);
  QAction* before = menu.actions().isEmpty() ? nullptr : menu.actions().first();
  auto add = [&](QAction* a) {
    menu.insertAction(before, a);
    items_.push_back(a);
  };
  const QPointer<EditorView> target(view);
  const std::vector<std::string> suggestions = checker_.suggestions(word);
  for (const std::string& s : suggestions) {
    auto* a = new QAction(toQString(s).replace('&', QStringLiteral("&&")), &menu);
    a->setObjectName("SuggestionItem");
    a->setEnabled(!m.readOnly());
    connect(a, &QAction::triggered, this, [this, target, start, length, old, s] {
      if (!target || target->model().text(start, length) != old || !hooks_.edit) return;
      hooks_.edit([&](TextModel& edited) {
        if (&edited != &target->model()) return 0;
        return spell::replaceWord(edited, start, length, s, hooks_.colourOn && hooks_.colourOn(),
                                  AppSettings);
      });
    });
    add(a);
  }
  if (suggestions.empty()) {
    auto* none = new QAction(QStringLiteral("(aucune suggestion)"), &menu);
    none->setEnabled(false);
    add(none);
  }
  auto* addWord = new QAction(QStringLiteral("Ajouter au dictionnaire"), &menu);
  addWord->setObjectName("AjouterDicoItem");
  connect(addWord, &QAction::triggered, this, [this, word] {
    checker_.addPersonal(word);
    try {
      const fs::path path = spell::personalListPath();
      std::error_code ec;
      fs::create_directories(path.parent_path(), ec);
      writeFileAtomically(path, spell::formatWordList(checker_.personalWords()));
    } catch (const std::exception& e) {
      if (hooks_.message) hooks_.message(e.what());
    }
    refreshViews();
  });
  add(addWord);
  auto* ignore = new QAction(QStringLiteral("Ignorer"), &menu);
  ignore->setObjectName("IgnorerItem");
  connect(ignore, &QAction::triggered, this, [this, word] {
    checker_.ignore(word);
    refreshViews();
  });
  add(ignore);
  auto* sep = new QAction(&menu);
  sep->setSeparator(true);
  add(sep);
}

}  // namespace scrivle
