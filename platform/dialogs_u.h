// The boxes and file dialogs on Qt. File dialogs are Qt's own widgets (never the
// desktop's), so they behave the same on every desktop, under Xvfb and in tests.
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "platform/dialogs.h"

namespace scrivle {

class QtDialogs : public Dialogs {
 public:
  explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}

  void setParent(QWidget* parent) { parent_ = parent; }

  void message(const std::string& text) override;
  Answer confirm(const std::string& text, bool withCancel) override;
  void error(const std::string& text) override;
  std::vector<std::filesystem::path> openFiles(const FileDialogOptions& options) override;
  std::optional<std::filesystem::path> saveFile(const FileDialogOptions& options) override;
  std::optional<std::uint32_t> chooseColour(std::uint32_t initial) override;
  std::optional<std::filesystem::path> chooseFolder(const std::string& title,
                                                    const std::filesystem::path& start) override;

  // "Description|pattern;pattern|..." -> Qt name filters "Description (pattern pattern)",
  // shown without their last group (the dialog hides it); "*.*" matches every name.
  static QStringList nameFilters(const std::string& filter);
  // Appends ".ext" when the file name has no extension.
  static std::filesystem::path withDefaultExt(const std::filesystem::path& path,
                                              const std::string& ext);

  static QString toQString(const std::filesystem::path& path);
  static std::filesystem::path toPath(const QString& path);

 private:
  QWidget* boxOwner() const;

  QPointer<QWidget> parent_;
};

}  // namespace scrivle
