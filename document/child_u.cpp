#include "document/child_u.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QTimer>
#include <algorithm>
#include <exception>
#include <filesystem>
#include <optional>
#include <system_error>

#include "document/host_u.h"
#include "document/journal_writer.h"
#include "document/plaintext.h"
#include "document/tifile.h"
#include "editor/editor_view_u.h"
#include "editor/text_model.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/qtext_u.h"
#include "settings/parametre.h"
#include "tags/colorise.h"
#include "tags/tagkeydown.h"

namespace scrivle {

namespace fs = std::filesystem;

namespace {

constexpr const char* kSaveFilter =
    "Textes Ti-92+ (*.9xt)|*.9xt|Textes Ti-92 (*.92t)|*.92t|Textes Ti-89 (*.89t)|*.89t|"
    "Textes Ti (*.9xt;*.92t;*.89t)|*.9xt;*.92t;*.89t|Textes (*.txt)|*.txt|Tous (*.*)|*.*";

std::string cut8(const std::string& s) {
  return s.substr(0, 8);
}

int filterIndexForExtension(const std::string& ext) {
  if (ext == "92t") return 2;
  if (ext == "89t") return 3;
  if (ext == "txt") return 5;
  return 1;
}

// What a recovered document's caption adds to its name until it is saved.
constexpr const char* kRecoveredMark = " (récupéré)";

}  // namespace

TChild::TChild(DocumentHost& host) : QMdiSubWindow(nullptr), host_(host) {
  setObjectName("Child");
  setAttribute(Qt::WA_DeleteOnClose);
  Richedit = new EditorView(this);
  Richedit->setObjectName("Richedit");
  setWidget(Richedit);
  Richedit->setContextMenu(host_.documentContextMenu());
  Richedit->onKeyDown = [this](int& key, ShiftState shift) { RicheditKeyDown(key, shift); };
  Richedit->onKeyPress = [this](unsigned char& ch) { RicheditKeyPress(ch); };
  connect(Richedit, &EditorView::textEdited, this, &TChild::documentChanged);
  connect(Richedit, &EditorView::pasteReplacedCharacters, this, [this](int n) {
    host_.dialogs().message(replacedCharactersMessage(static_cast<std::size_t>(n)));
  });
  // Every change of the text goes to the journal as it happens, undo and redo included.
  journal_ = std::make_unique<journal::JournalWriter>(autoSaveDir());
  journal_->currentText = [this] { return model().text(); };
  model().onEdit = [this](Pos pos, Pos removed, std::string_view inserted) {
    journal_->recordEdit(pos, removed, inserted);
  };

  Timer = new QTimer(this);
  connect(Timer, &QTimer::timeout, this, &TChild::TimerTimer);
  // FormCreate: the timer follows the setting, but every window is made new or
  // opened right away, which stops it again.
  Timer->setInterval(std::max<std::int32_t>(AppSettings.AutoSaveTime, 1));
  setWindowTitle("Nouveau");
}

TChild::~TChild() {
  // Destroyed without a close (the program is being torn down): the journal stays.
  model().onEdit = nullptr;
}

TextModel& TChild::model() const {
  return Richedit->model();
}

bool TChild::colourOn() const {
  return host_.colourOn();
}

bool TChild::saveEnabled() const {
  return hasFile_ != 0 ? model().modified() : true;
}

fs::path TChild::fullPath() const {
  return pathFromUtf8(directory_) / pathFromUtf8(fileName_);
}

void TChild::setVariableName(const std::string& name) {
  variableName_ = cut8(name);
  journal_->recordInfo(info());
}
void TChild::setFolderName(const std::string& name) {
  folderName_ = cut8(name);
  journal_->recordInfo(info());
}

journal::DocumentInfo TChild::info() const {
  journal::DocumentInfo i;
  i.path = pathToUtf8(fullPath());
  i.hasFile = hasFile_ != 0;
  i.type = hasFile_ != 0 || recoveredType_.empty() ? lowerExtension(pathFromUtf8(fileName_))
                                                   : recoveredType_;
  if (!i.type.empty() && i.type.front() == '.') i.type.erase(0, 1);
  i.folder = folderName_;
  i.name = variableName_;
  i.caption = fileName_;
  return i;
}

void TChild::addSize(std::int32_t delta) {
  size_ += delta;
  emit sizeChanged();
}

bool TChild::captionModified() const {
  return windowTitle().startsWith('*');
}

void TChild::setCaption(const std::string& caption) {
  setWindowTitle(QString::fromStdString(caption));
}

void TChild::applyScrollSetting() {
  Richedit->setVerticalScrollBarOn(AppSettings.scroll != 0);
}

void TChild::resetIdentity() {
  applyScrollSetting();
  directory_ = withTrailingSeparator(AppSettings.SaveDir);
  variableName_ = cut8(AppSettings.DefaultName);
  folderName_ = cut8(AppSettings.DefaultDir);
  size_ = 7;
  hasFile_ = 0;
  plainEncoding_ = PlainEncoding::Bytes;
  lfLineBreaks_ = false;
  recoveredType_.clear();
  temporaryFile_.clear();
  model().setReadOnly(false);
}

void TChild::Nouveau() {
  // The number counts on for the whole run, and skips a name that a recovered document
  // still carries.
  const auto others = host_.children();
  std::string name;
  do {
    name = "Nouveau" + std::to_string(host_.nextDocumentNumber());
  } while (std::any_of(others.begin(), others.end(),
                       [&](TChild* c) { return c != this && c->fileName() == name; }));
  resetIdentity();
  fileName_ = name;
  setCaption(fileName_);
  model().setModified(false);
  journal_->startFromSnapshot(model().text(), info(), false);
  FormActivate();
  Timer->stop();
}

bool TChild::Ouvrir(const fs::path& path) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) {
    closeConfirmed();
    host_.dialogs().message("Le fichier spécifié n'existe pas.");
    return false;
  }
  setCaption(fileNamePart(path));
  directory_ = folderPart(path);
  applyScrollSetting();
  plainEncoding_ = PlainEncoding::Bytes;
  lfLineBreaks_ = false;
  std::size_t replaced = 0;
  if (isCalcExtension(path)) {
    try {
      OuvrirTI(path);
    } catch (...) {
      Nouveau();
      host_.dialogs().message("Le fichier n'a pas pu être ouvert.");
      return true;
    }
  } else {
    PlainText plain = decodePlainText(readFile(path));
    model().load(plain.text);
    plainEncoding_ = plain.encoding;
    lfLineBreaks_ = plain.lfLineBreaks;
    replaced = plain.replaced;
    size_ = static_cast<std::int32_t>(model().length()) + 7;
    folderName_ = cut8(AppSettings.DefaultDir);
    variableName_ = cut8(AppSettings.DefaultName);
  }
  hasFile_ = -1;
  model().setReadOnly(false);
  fileName_ = fileNamePart(path);
  setCaption(fileName_);
  temporaryFile_.clear();
  recoveredType_.clear();
  colorise(model(), 1, model().length(), colourOn(), AppSettings);
  model().setModified(false);
  model().setSel(0, 0);
  journal_->startFromFile(path, model().text(), info());
  Richedit->scrollCaretIntoView();
  FormActivate();
  host_.addRecent(path);
  Timer->stop();
  if (replaced > 0) host_.dialogs().message(replacedCharactersMessage(replaced));
  return true;
}

void TChild::recoverFrom(const fs::path& tmpFile) {
  std::string text = readFile(tmpFile);
  std::optional<journal::DocumentInfo> described;
  try {
    described = journal::decodeDescription(readFile(journal::descriptionOf(tmpFile)));
  } catch (...) {
    // No description (an older auto-save): the document comes back as a new one.
  }
  recoverText(std::move(text), described ? &*described : nullptr,
              stripTmpSuffix(fileNamePart(tmpFile)));
}

void TChild::recoverText(std::string text, const journal::DocumentInfo* info,
                         const std::string& fallbackName) {
  resetIdentity();
  // The recovered text has no file yet: saving asks where, proposing the path, type
  // and names it had.
  fileName_ = fallbackName;
  if (info != nullptr) {
    if (!info->path.empty()) directory_ = folderPart(pathFromUtf8(info->path));
    fileName_ = info->caption.empty() ? fileNamePart(pathFromUtf8(info->path)) : info->caption;
    folderName_ = cut8(info->folder);
    variableName_ = cut8(info->name);
    recoveredType_ = info->type;
  }
  model().load(text);
  size_ = static_cast<std::int32_t>(model().length()) + 7;
  colorise(model(), 1, model().length(), colourOn(), AppSettings);
  model().setSel(0, 0);
  model().emptyUndoBuffer();
  model().setModified(true);
  setCaption("* " + fileName_ + kRecoveredMark);
  // The text exists nowhere else once its journal or auto-save file is removed.
  journal_->startFromSnapshot(std::move(text), this->info(), true);
  FormActivate();
  syncTimer();
}

void TChild::OuvrirTI(const fs::path& path) {
  folderName_.clear();
  variableName_.clear();
  size_ = 2;
  const TiText t = readTiText(readFile(path));
  folderName_ = t.folder;
  variableName_ = t.name;
  size_ = t.size;
  model().load(t.text);
  emit stateChanged();
}

void TChild::EnregistrerTI() {
  if (variableName_.empty()) variableName_ = cut8(AppSettings.DefaultName);
  if (folderName_.empty()) folderName_ = cut8(AppSettings.DefaultDir);
  writeFileAtomically(fullPath(),
                      writeTiText(fullPath(), folderName_, variableName_, model().text()));
}

void TChild::writeDocument() {
  if (isCalcExtension(fullPath())) {
    EnregistrerTI();
  } else {
    writeFileAtomically(fullPath(), encodePlainText(model().text(), plainEncoding_, lfLineBreaks_));
  }
}

bool TChild::Enregistrer() {
  if (hasFile_ == 0) return EnregistrerSous();
  const bool wasModified = model().modified();
  model().setModified(false);
  try {
    writeDocument();
  } catch (...) {
    // The text is not on disk: it stays modified.
    model().setModified(wasModified);
    throw;
  }
  setCaption(fileName_);
  model().emptyUndoBuffer();
  recoveredType_.clear();
  journal_->startFromFile(fullPath(), model().text(), info());
  FormActivate();
  deleteTemporaryFile();
  emit saved();
  Timer->stop();
  host_.addRecent(fullPath());
  return true;
}

bool TChild::EnregistrerSous() {
  if (QMdiArea* area = mdiArea()) area->setActiveSubWindow(this);
  FileDialogOptions o;
  o.title = "Enregistrer le texte TI sous...";
  o.filter = kSaveFilter;
  // A recovered document proposes the type it had.
  const std::string ext = recoveredType_.empty() ? AppSettings.DefaultExt : recoveredType_;
  o.filterIndex = filterIndexForExtension(ext);
  o.defaultExt = ext;
  o.initialDir = pathFromUtf8(directory_);
  o.fileName = pathToUtf8(pathFromUtf8(fileName_).stem());
  const auto chosen = host_.dialogs().saveFile(o);
  if (!chosen) return false;
  const std::string oldDirectory = directory_;
  const std::string oldFileName = fileName_;
  const std::int32_t oldHasFile = hasFile_;
  fileName_ = fileNamePart(*chosen);
  directory_ = folderPart(*chosen);
  hasFile_ = -1;
  try {
    Enregistrer();
  } catch (...) {
    // Nothing was written: the document keeps the identity it had.
    directory_ = oldDirectory;
    fileName_ = oldFileName;
    hasFile_ = oldHasFile;
    throw;
  }
  if (fileName_ != oldFileName) temporaryFile_.clear();
  setCaption(fileName_);
  return true;
}

void TChild::markModified() {
  if (model().readOnly()) return;
  if (!captionModified()) setWindowTitle("* " + windowTitle());
  // Every modified document is protected by auto-save, saved or not.
  if (AppSettings.AutoSave != 0 && AppSettings.AutoSaveTime > 0 && !Timer->isActive()) {
    Timer->setInterval(AppSettings.AutoSaveTime);
    Timer->start();
  }
  emit modifiedChanged();
}

bool TChild::hasUnsavedChanges() const {
  // A changed folder or variable name marks only the caption.
  return model().modified() || captionModified();
}

void TChild::syncTimer() {
  if (AppSettings.AutoSave != 0 && AppSettings.AutoSaveTime > 0 && model().modified()) {
    Timer->setInterval(AppSettings.AutoSaveTime);
    if (!Timer->isActive()) Timer->start();
  } else {
    Timer->stop();
  }
}

void TChild::FormActivate() {
  emit stateChanged();
}

void TChild::RicheditKeyDown(int& keyCode, ShiftState shift) {
  if (model().readOnly()) return;
  const int delta = TagKeyDown(model(), keyCode, shift, SkipKeyPress, colourOn(), AppSettings);
  addSize(delta);
  if (isEditingKey(keyCode)) markModified();
}

void TChild::RicheditKeyPress(unsigned char& ch) {
  if (SkipKeyPress != 0) ch = 0;
  SkipKeyPress = 0;
}

fs::path TChild::temporaryFile() {
  if (temporaryFile_.empty()) {
    const fs::path dir = autoSaveDir();
    temporaryFile_ = uniqueTempName(dir, fileName_, [this](const fs::path& p) {
      for (TChild* c : host_.children()) {
        if (c != this && c->temporaryFile_ == p) return true;
      }
      return false;
    });
  }
  return temporaryFile_;
}

void TChild::deleteTemporaryFile() {
  if (temporaryFile_.empty()) return;
  std::error_code ec;
  fs::remove(temporaryFile_, ec);
  fs::remove(journal::descriptionOf(temporaryFile_), ec);
}

void TChild::TimerTimer() {
  if (inTimer_) return;  // an error box of the previous tick is still open
  inTimer_ = true;
  std::exception_ptr failure;
  try {
    ensureAutoSaveDir();
    writeFileAtomically(temporaryFile(), model().text());
    // Beside the text, what recovery needs to give the document back whole.
    journal::DocumentInfo described = info();
    described.journal = fileNamePart(journal_->path());
    writeFileAtomically(journal::descriptionOf(temporaryFile()),
                        journal::encodeDescription(described));
  } catch (...) {
    failure = std::current_exception();
  }
  // A failure is shown once; the ticks after it retry quietly until one succeeds, so a
  // full disk does not stop the typing with the same box every few minutes.
  if (!failure) {
    autoSaveFailing_ = false;
    // Nothing left unsaved: no further tick until the next change starts the timer.
    if (!hasUnsavedChanges()) Timer->stop();
  } else if (!autoSaveFailing_) {
    autoSaveFailing_ = true;
    host_.run([&failure] { std::rethrow_exception(failure); });
  }
  inTimer_ = false;
}

bool TChild::FormCloseQuery() {
  bool mayClose = true;
  // A changed folder or variable name marks only the caption: ask for it too.
  if (hasUnsavedChanges()) {
    // The person sees the document the question is about.
    if (QMdiArea* area = mdiArea()) area->setActiveSubWindow(this);
    const Answer a = host_.dialogs().confirm(
        "Voulez-vous enregistrer les modifications dans " + fileName_ + "?", true);
    if (a == Answer::Cancel) {
      mayClose = false;
    } else if (a == Answer::Yes) {
      // A cancelled or failed save keeps the window: the person asked to keep the text.
      bool saved = false;
      host_.run([&] { saved = Enregistrer(); });
      mayClose = saved;
    }
  }
  deleteTemporaryFile();
  return mayClose;
}

void TChild::closeConfirmed() {
  closeConfirmed_ = true;
  close();
}

void TChild::closeEvent(QCloseEvent* event) {
  if (!closeConfirmed_ && !FormCloseQuery()) {
    event->ignore();
    return;
  }
  Timer->stop();
  QMdiSubWindow::closeEvent(event);
  if (event->isAccepted()) {
    closeConfirmed_ = true;
    journal_->discard();
    // However it closes (also a failed open that was never asked), the frame hears of it.
    emit closed();
  }
}

}  // namespace scrivle
