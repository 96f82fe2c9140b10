// The options dialog. Creating it loads the settings.
#pragma once

#include <QDialog>

namespace scrivle {

class TOptions : public QDialog {
  Q_OBJECT
 public:
  explicit TOptions(QWidget* parent = nullptr);
  // Loads every setting into AppSettings (first-run defaults until the settings
  // store exists) and pushes them into the open windows.
  void FormCreate();
};

}  // namespace scrivle
