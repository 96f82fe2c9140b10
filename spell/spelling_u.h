// Spell checking of the editor views: the dictionary of the chosen language, the wavy
// underlines each view asks for while painting, the suggestions of its context menu,
// and a background pass that checks whole documents in slices of at most 5 ms.
//
// Checking follows the edits: a change rechecks the paragraphs it touched at once, the
// others keep their verdict (kept under their bytes). Nothing here changes a text except
// an accepted suggestion, which goes through the frame's edit hook.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "editor/text_model.h"
#include "spell/checker.h"
#include "spell/languages.h"

class QAction;
class QMenu;

namespace scrivle {

class EditorView;

class Spelling : public QObject {
  Q_OBJECT

 public:
  struct Hooks {
    // Runs a change of the active document by program (returns the change of size).
    std::function<void(const std::function<int(TextModel&)>&)> edit;
    std::function<bool()> colourOn;
    std::function<void(const std::string&)> message;  // UTF-8
    // Where the dictionaries are; spell::findDictionaries() when empty (tests set it).
    std::function<std::vector<spell::DictionaryFiles>()> findDictionaries;
  };
  // Finds the dictionaries and reads the personal list; the dictionary itself is loaded
  // when a view first needs it.
  Spelling(Hooks hooks, QObject* parent = nullptr);
  ~Spelling() override;
  // Reads the settings (once; attach() does it too): after the options dialog has
  // loaded the others, so that a damaged store is reported there.
  void loadSettings();

  // A dictionary was found and this build has Hunspell.
  bool available() const { return !found_.empty(); }
  // Why the command is off, for its hint; empty when available.
  QString unavailableReason() const;
  // The languages found, in the order of spell::languages().
  const std::vector<spell::DictionaryFiles>& found() const { return found_; }

  bool enabled() const { return settings_.enabled && available(); }
  // Both save the settings at once.
  void setEnabled(bool on);
  const std::string& language() const { return settings_.language; }
  void setLanguage(const std::string& code);

  // Underlines and suggestions for the view from now on (until it is destroyed).
  void attach(EditorView* view);

  spell::Checker& checker() { return checker_; }
  // Finishes any background pass now (tests, benchmarks), waiting for the dictionary.
  void finishPass();
  // A pass is under way, or waits for a view to be drawn before reading the dictionary.
  bool passRunning() const { return slicer_.isActive() || passWaiting_; }

  // The context-menu items of the last menu, for tests.
  const std::vector<QAction*>& menuItems() const { return items_; }

 private:
  struct Pending {
    QPointer<EditorView> view;
    Pos paragraph = 0;
  };

  // The dictionary of the language chosen, read by a worker thread; without `wait`, false
  // while it is still being read.
  bool ensureDictionary(bool wait);
  void save();
  void startPass();
  void releasePass();
  void slice();
  void touched(EditorView* view, Pos pos, Pos inserted);
  void underlines(EditorView* view, Pos from, Pos to, std::vector<std::pair<Pos, Pos>>& out);
  void fillMenu(EditorView* view, QMenu& menu, Pos pos);
  void menuClosing();
  void clearMenu();
  void refreshViews();

  Hooks hooks_;
  spell::SpellSettings settings_;
  std::vector<spell::DictionaryFiles> found_;
  std::string loadedLanguage_;
  std::future<std::unique_ptr<spell::Dictionary>> loading_;
  std::string loadingLanguage_;
  bool loadFailed_ = false;
  bool settingsLoaded_ = false;
  spell::Checker checker_;
  std::vector<QPointer<EditorView>> views_;
  // The background pass: which view and paragraph come next, and the words of a long
  // paragraph checked so far.
  QTimer slicer_;
  // Reading a dictionary costs more than everything else at start-up: until a view has
  // been drawn once, a pass waits instead of starting, so the first picture never waits.
  bool drawn_ = false;
  bool passWaiting_ = false;
  std::size_t passView_ = 0;
  Pos passParagraph_ = 0;
  std::vector<std::string> passWords_;
  std::size_t passWord_ = 0;
  std::size_t editsSincePrune_ = 0;
  QPointer<QMenu> menu_;
  std::vector<QAction*> items_;
};

}  // namespace scrivle
