#include "platform/dialogs_u.h"

#include <QColorDialog>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "platform/borders_u.h"
#include "platform/files.h"

namespace scrivle {

namespace {

QString fromUtf8(const std::string& text) {
  return QString::fromStdString(text);
}

void prepareFileDialog(QFileDialog& dialog, const FileDialogOptions& options) {
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  if (!options.title.empty()) {
    dialog.setWindowTitle(fromUtf8(options.title));
  }
  const QStringList filters = QtDialogs::nameFilters(options.filter);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    const int index = options.filterIndex;
    dialog.selectNameFilter(filters.at(index >= 1 && index <= filters.size() ? index - 1 : 0));
  }
  if (!options.defaultExt.empty()) {
    dialog.setDefaultSuffix(fromUtf8(options.defaultExt));
  }
  if (!options.initialDir.empty()) {
    dialog.setDirectory(QtDialogs::toQString(options.initialDir));
  }
  if (!options.fileName.empty()) {
    dialog.selectFile(fromUtf8(options.fileName));
  }
}

// A message box placed and sized for the person reading it: centred on its main window
// when that is on screen, on the screen otherwise; its lines are not broken (a long file
// name stays whole) unless the text is wider than the screen, which then bounds it.
class Box : public QMessageBox {
 public:
  Box(Icon icon, const QString& title, const QString& text, StandardButtons buttons, QWidget* owner)
      : QMessageBox(icon, title, text, buttons, owner, dialogBorderFlags()) {}

 protected:
  void showEvent(QShowEvent* event) override {
    QMessageBox::showEvent(event);  // the toolkit's own sizing first
    fitText();
    centre();
    sized_ = true;
  }
  bool event(QEvent* event) override {
    // Once shown, the size chosen here stays: QMessageBox would wrap the text again, so
    // its handler is passed over on purpose.
    if (sized_ && event->type() == QEvent::LayoutRequest) {
      return QDialog::event(event);  // NOLINT(bugprone-parent-virtual-call)
    }
    return QMessageBox::event(event);
  }

 private:
  void fitText() {
    auto* label = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    const QScreen* s = screen();
    if (label == nullptr || s == nullptr || layout() == nullptr) return;
    const int room = s->availableGeometry().width() - (frameGeometry().width() - width());
    label->setWordWrap(false);
    layout()->activate();
    int w = std::max(width(), layout()->totalMinimumSize().width());
    if (w > room) {
      label->setWordWrap(true);
      w = room;
    }
    layout()->activate();
    const int h = layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(w)
                                                : layout()->totalMinimumSize().height();
    setFixedSize(w, std::max(h, layout()->totalMinimumSize().height()));
  }
  void centre() {
    const QScreen* s = screen();
    if (s == nullptr) return;
    const QRect screenArea = s->availableGeometry();
    const QWidget* owner = parentWidget();
    const QRect over =
        owner != nullptr && owner->isVisible() ? owner->window()->frameGeometry() : screenArea;
    QRect frame = frameGeometry();
    frame.moveCenter(over.center());
    // Wholly on the screen.
    frame.moveLeft(std::clamp(frame.left(), screenArea.left(),
                              std::max(screenArea.left(), screenArea.right() - frame.width() + 1)));
    frame.moveTop(std::clamp(frame.top(), screenArea.top(),
                             std::max(screenArea.top(), screenArea.bottom() - frame.height() + 1)));
    move(frame.topLeft());
  }

  bool sized_ = false;
};

}  // namespace

QString QtDialogs::toQString(const std::filesystem::path& path) {
#ifdef _WIN32
  return QString::fromStdWString(path.native());
#else
  return QFile::decodeName(QByteArray::fromStdString(path.native()));
#endif
}

std::filesystem::path QtDialogs::toPath(const QString& path) {
#ifdef _WIN32
  return {path.toStdWString()};
#else
  return {QFile::encodeName(path).toStdString()};
#endif
}

QStringList QtDialogs::nameFilters(const std::string& filter) {
  QStringList out;
  for (const FilterEntry& entry : parseFilter(filter)) {
    QStringList patterns;
    for (const std::string& p : entry.patterns) {
      // "*.*" means every file, as on Windows: names without a dot included.
      patterns << (p == "*.*" ? QStringLiteral("*") : fromUtf8(p));
    }
    if (patterns.isEmpty()) {
      patterns << QStringLiteral("*");
    }
    patterns.removeDuplicates();
    // The dialog shows the caption as written ("Tous (*.*)") and hides the group of
    // patterns Qt matches with, which always comes last.
    out << QStringLiteral("%1 (%2)").arg(fromUtf8(entry.description).trimmed(),
                                         patterns.join(QLatin1Char(' ')));
  }
  return out;
}

std::filesystem::path QtDialogs::withDefaultExt(const std::filesystem::path& path,
                                                const std::string& ext) {
  if (ext.empty() || path.empty() || path.has_extension()) {
    return path;
  }
  std::filesystem::path result = path;
  result += pathFromUtf8("." + ext);
  return result;
}

QWidget* QtDialogs::boxOwner() const {
  // A main window that is not on screen (start-up, compress-only mode) would place the
  // box where it would be: such a box belongs to the screen.
  return parent_ != nullptr && parent_->isVisible() ? parent_.data() : nullptr;
}

void QtDialogs::message(const std::string& text) {
  Box box(QMessageBox::NoIcon, QStringLiteral("Scrivle"), fromUtf8(text), QMessageBox::Ok,
          boxOwner());
  box.exec();
}

Answer QtDialogs::confirm(const std::string& text, bool withCancel) {
  Box box(QMessageBox::Question, QStringLiteral("Confirmation"), fromUtf8(text),
          QMessageBox::NoButton, boxOwner());
  QPushButton* yes = box.addButton(QStringLiteral("&Oui"), QMessageBox::YesRole);
  QPushButton* no = box.addButton(QStringLiteral("&Non"), QMessageBox::NoRole);
  QPushButton* cancel =
      withCancel ? box.addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole) : nullptr;
  box.setDefaultButton(yes);
  box.setEscapeButton(cancel != nullptr ? cancel : no);
  box.exec();
  const QAbstractButton* clicked = box.clickedButton();
  if (clicked == yes) {
    return Answer::Yes;
  }
  if (clicked == no) {
    return Answer::No;
  }
  return withCancel ? Answer::Cancel : Answer::No;
}

void QtDialogs::error(const std::string& text) {
  Box box(QMessageBox::Critical, QStringLiteral("Scrivle"), fromUtf8(text), QMessageBox::Ok,
          boxOwner());
  box.exec();
}

std::vector<std::filesystem::path> QtDialogs::openFiles(const FileDialogOptions& options) {
  QFileDialog dialog(parent_);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFiles);
  prepareFileDialog(dialog, options);
  std::vector<std::filesystem::path> result;
  if (dialog.exec() != QDialog::Accepted) {
    return result;
  }
  for (const QString& f : dialog.selectedFiles()) {
    result.push_back(toPath(f));
  }
  return result;
}

std::optional<std::filesystem::path> QtDialogs::saveFile(const FileDialogOptions& options) {
  QFileDialog dialog(parent_);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  prepareFileDialog(dialog, options);
  // The document window decides what to do with an existing file.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (dialog.exec() != QDialog::Accepted) {
    return std::nullopt;
  }
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) {
    return std::nullopt;
  }
  return withDefaultExt(toPath(files.first()), options.defaultExt);
}

std::optional<std::uint32_t> QtDialogs::chooseColour(std::uint32_t initial) {
  const QColor start(static_cast<int>(initial & 0xFFU), static_cast<int>((initial >> 8) & 0xFFU),
                     static_cast<int>((initial >> 16) & 0xFFU));
  QColorDialog dialog(start, parent_);
  dialog.setOption(QColorDialog::DontUseNativeDialog);
  if (dialog.exec() != QDialog::Accepted) {
    return std::nullopt;
  }
  const QColor c = dialog.selectedColor();
  if (!c.isValid()) {
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(c.red()) | (static_cast<std::uint32_t>(c.green()) << 8) |
         (static_cast<std::uint32_t>(c.blue()) << 16);
}

std::optional<std::filesystem::path> QtDialogs::chooseFolder(const std::string& title,
                                                             const std::filesystem::path& start) {
  QFileDialog dialog(parent_, fromUtf8(title), toQString(start));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  dialog.setFileMode(QFileDialog::Directory);
  if (dialog.exec() != QDialog::Accepted) {
    return std::nullopt;
  }
  const QStringList dirs = dialog.selectedFiles();
  if (dirs.isEmpty()) {
    return std::nullopt;
  }
  return toPath(dirs.first());
}

}  // namespace scrivle
