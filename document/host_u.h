// What a document window, a tool window or a dialog may ask of the frame that holds the
// documents. The frame implements it; nothing outside app/ knows the frame itself. The
// frame in turn listens to the documents' signals and owns every command's enabling.
#pragma once

#include <QRect>
#include <filesystem>
#include <functional>
#include <vector>

class QMenu;

namespace scrivle {

class Dialogs;
class Spelling;
class TChild;

class DocumentHost {
 public:
  // The boxes to use (the real Qt ones in the program, a scripted fake in tests).
  virtual Dialogs& dialogs() = 0;
  // Calls a command through the dispatcher: any error is shown in the error box, and the
  // answer is then false.
  virtual bool run(const std::function<void()>& command) = 0;

  // Document windows in creation order, and the one the commands act on (none: nullptr).
  virtual std::vector<TChild*> children() const = 0;
  virtual TChild* activeChild() const = 0;
  // The number of the next "NouveauN": counts on for the whole run.
  virtual int nextDocumentNumber() = 0;
  // Puts a path at the head of the recent files.
  virtual void addRecent(const std::filesystem::path& path) = 0;

  // Colour display ("Afficher en couleurs").
  virtual bool colourOn() const = 0;
  virtual void setColourOn(bool on) = 0;
  // The editor's context menu (cut, copy, paste); not owned by the document.
  virtual QMenu* documentContextMenu() const = 0;
  // The document area on the screen, where tool windows first open beside the text.
  virtual QRect documentArea() const = 0;
  // Spell checking of the documents; nullptr when there is none.
  virtual Spelling* spelling() const = 0;

  // Puts the settings record into every window (recent files, titles, auto-save timers,
  // scroll bars, tool bars); restyle: the tag styles changed, so coloured documents are
  // painted again. Returns true when they were.
  virtual bool applySettings(bool restyle) = 0;

 protected:
  DocumentHost() = default;
  DocumentHost(const DocumentHost&) = default;
  DocumentHost& operator=(const DocumentHost&) = default;
  ~DocumentHost() = default;
};

}  // namespace scrivle
