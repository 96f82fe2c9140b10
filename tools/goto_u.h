// The go-to-line dialog.
#pragma once

#include <QDialog>

namespace scrivle {

class TGoToDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TGoToDlg(QWidget* parent = nullptr) : QDialog(parent) { setObjectName("GoToDlg"); }
};

}  // namespace scrivle
