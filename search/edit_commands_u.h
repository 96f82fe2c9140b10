// The "Edition" commands cut, copy, paste, select all, undo and redo as the main window
// runs them: cut, copy, paste and select all act on the folder or name box when it has
// the focus, on the current document otherwise; undo and redo always on the document.
// The two boxes leave the shortcuts of these commands to the main window.
#pragma once

#include <QObject>
#include <vector>

class QAction;
class QKeyEvent;
class QLineEdit;

namespace scrivle {

class DocumentHost;
class TChild;

class EditCommands : public QObject {
  Q_OBJECT
 public:
  // boxes: the folder and name boxes, which cut, copy, paste and select all serve while
  // one has the focus. The commands act on the host's active document otherwise.
  EditCommands(DocumentHost& host, std::vector<QLineEdit*> boxes, QObject* parent = nullptr);

  // The commands whose shortcuts the boxes leave to the window (besides their own undo
  // and redo keys, which never act on a box).
  void setRoutedActions(std::vector<const QAction*> actions) { routed_ = std::move(actions); }

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

  DocumentHost& host_;
  std::vector<QLineEdit*> boxes_;
  std::vector<const QAction*> routed_;
};

}  // namespace scrivle
