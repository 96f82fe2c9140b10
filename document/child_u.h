// A document window: one editor, its auto-save timer, and the document's identity
// on disk and on the calculator. It knows the frame only as a DocumentHost and tells it
// what changed through its signals; the frame does all the enabling.
#pragma once

#include <QMdiSubWindow>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "calc/keyboard.h"
#include "document/journal.h"
#include "document/plaintext.h"

class QTimer;

namespace scrivle {

namespace journal {
class JournalWriter;
}
class EditorView;
class TextModel;
class DocumentHost;

class TChild : public QMdiSubWindow {
  Q_OBJECT

 public:
  explicit TChild(DocumentHost& host);
  ~TChild() override;

  EditorView* Richedit = nullptr;
  QTimer* Timer = nullptr;
  std::int32_t SkipKeyPress = 0;

  TextModel& model() const;
  // Colour display of the main window ("Afficher en couleurs").
  bool colourOn() const;
  // What the frame's save command does for this document: a document without a file can
  // always be saved, one with a file when it is modified.
  bool saveEnabled() const;

  // Document identity.
  const std::string& directory() const { return directory_; }  // ends in a separator
  const std::string& fileName() const { return fileName_; }
  std::filesystem::path fullPath() const;
  bool hasFile() const { return hasFile_ != 0; }
  PlainEncoding plainEncoding() const { return plainEncoding_; }
  const std::string& variableName() const { return variableName_; }
  const std::string& folderName() const { return folderName_; }
  void setVariableName(const std::string& name);
  void setFolderName(const std::string& name);
  std::int32_t calcSize() const { return size_; }
  void addSize(std::int32_t delta);
  bool captionModified() const;

  void Nouveau();
  // Returns false when the file does not exist (the window is then closed).
  bool Ouvrir(const std::filesystem::path& path);
  // Opens an auto-saved text as a new, unsaved and modified document, with the path,
  // type and calculator names kept beside it when there.
  void recoverFrom(const std::filesystem::path& tmpFile);
  // The same for a text rebuilt from a journal (or any recovered text): info gives back
  // what the document had (nullptr: a new document named fallbackName). Takes no
  // "NouveauN" number; the caption says that the text was recovered.
  void recoverText(std::string text, const journal::DocumentInfo* info,
                   const std::string& fallbackName);
  // What recovery needs to give this document back (path, type, calculator names).
  journal::DocumentInfo info() const;
  journal::JournalWriter& journal() { return *journal_; }
  // Both return true when the text was written; false when the person cancelled.
  // Errors propagate.
  bool Enregistrer();
  bool EnregistrerSous();
  // Marks the document modified (caption "* ", auto-save timer); nothing on a read-only
  // document.
  void markModified();
  // Asks the frame to show the document's names, size and state again.
  void FormActivate();
  // The close question; true when the window may close.
  bool FormCloseQuery();
  void TimerTimer();
  void RicheditKeyDown(int& keyCode, ShiftState shift);
  void RicheditKeyPress(unsigned char& ch);
  void OuvrirTI(const std::filesystem::path& path);
  void EnregistrerTI();

  // The auto-save file of this document (chosen once per file name).
  std::filesystem::path temporaryFile();
  void deleteTemporaryFile();
  // Closes without asking (after the frame asked every question).
  void closeConfirmed();
  // Applies the auto-save settings to the timer: it runs only while the document has
  // changes that are not saved.
  void syncTimer();

 signals:
  void documentChanged();
  // The names, size, modified or read-only state changed: the frame shows them again.
  void stateChanged();
  // The size on the calculator changed (at every keystroke).
  void sizeChanged();
  // markModified ran (before the change it announces reaches the text).
  void modifiedChanged();
  // The text was written to its file.
  void saved();
  // The window has closed.
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void setCaption(const std::string& caption);
  bool hasUnsavedChanges() const;
  void applyScrollSetting();
  void writeDocument();
  void resetIdentity();

  DocumentHost& host_;
  std::string directory_;
  std::string fileName_;
  std::int32_t hasFile_ = 0;
  std::string variableName_;
  std::string folderName_;
  std::int32_t size_ = 7;
  std::filesystem::path temporaryFile_;
  bool closeConfirmed_ = false;
  bool inTimer_ = false;
  bool autoSaveFailing_ = false;  // the failure was shown; later ticks retry quietly
  std::string recoveredType_;     // a recovered document's file type, for its save dialog
  // How a plain-text file was read, so that saving writes it back the same way.
  PlainEncoding plainEncoding_ = PlainEncoding::Bytes;
  bool lfLineBreaks_ = false;
  std::unique_ptr<journal::JournalWriter> journal_;
};

}  // namespace scrivle
