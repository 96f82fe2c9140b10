// The "Edition" commands cut, copy, paste, select all, undo and redo as the main window
// runs them: cut, copy, paste and select all act on the folder or name box when it has
// the focus, on the current document otherwise; undo and redo always on the document.
// The two boxes leave the shortcuts of these commands to the main window.
#pragma once

#include <QObject>
#include <functional>

class QKeyEvent;
class QLineEdit;

namespace scrivle {

class TChild;
class Tmain;

class EditCommands : public QObject {
  Q_OBJECT
 public:
  EditCommands(Tmain& main, std::function<TChild*()> currentDocument);

  void CouperActionExecute();
  void CopierActionExecute();
  void CollerActionExecute();
  void SlectionnertoutActionExecute();
  void DfaireActionExecute();
  void RefaireActionExecute();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The folder or name box with the focus, if any.
  QLineEdit* focusedBox() const;
  TChild* document() const;
  bool isRoutedKey(const QKeyEvent* key) const;

  Tmain& main_;
  std::function<TChild*()> currentDocument_;
};

}  // namespace scrivle
