// The go-to-line dialog: a number field, OK and Annuler. Shown modally over the active
// document; OK moves that document's caret.
#pragma once

#include <QDialog>
#include <QPointer>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace scrivle {

class Dialogs;
class EditorView;
class TChild;

class TGoToDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TGoToDlg(QWidget* parent = nullptr);

  QFrame* Bevel1 = nullptr;
  QLabel* Label1 = nullptr;
  QLineEdit* Edit1 = nullptr;
  QLabel* Label2 = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;

  // The editor the next showing reads and moves, and where the invalid-number message
  // goes. The editor may disappear meanwhile: the dialog then does nothing.
  void setTarget(EditorView* editor, Dialogs* dialogs);
  // Shows the dialog modally over editor; returns the dialog's result.
  int showFor(EditorView& editor, Dialogs& dialogs);

  // Fills the field with the caret's line (run each time the dialog is shown).
  void FormActivate();
  // Moves the caret, or shows the message; the button then closes the dialog.
  void OKBtnClick();

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPointer<EditorView> editor_;
  Dialogs* dialogs_ = nullptr;
};

// Tmain.AllerligneActionExecute: the dialog, modally, over the active document (none:
// nothing happens).
void AllerligneActionExecute(TGoToDlg& dialog, TChild* child, Dialogs& dialogs);

}  // namespace scrivle
