// The main window's two modeless search dialogs and the commands around them (Ctrl+F,
// Ctrl+R, F3). The dialogs are made once and only hidden, so they keep their texts and
// boxes between uses; the search always runs down the text, so no direction is offered.
#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>
#include <memory>

#include "search/find.h"

class QAction;
class QCheckBox;
class QGridLayout;
class QLineEdit;
class QVBoxLayout;
class QPushButton;

namespace scrivle {

class DocumentHost;
class TChild;

// The find dialog: search text, match case, whole word, "find next".
class TFindDialog : public QDialog, public SearchDialog {
  Q_OBJECT
 public:
  explicit TFindDialog(QWidget* parent = nullptr);

  QLineEdit* FindText = nullptr;
  QCheckBox* MatchCase = nullptr;
  QCheckBox* WholeWord = nullptr;
  QPushButton* FindNextBtn = nullptr;
  QPushButton* CancelBtn = nullptr;

  // Calculator bytes in and out of the search text.
  void setFindText(std::string_view bytes);
  SearchOptions options() const override;
  void closeDialog() override { hide(); }

 signals:
  void findNext();

 protected:
  void refreshButtons();
  QGridLayout* fields_ = nullptr;
  QVBoxLayout* buttons_ = nullptr;
};

// The replace dialog: search and replace texts, match case, whole word, find next,
// replace, replace all.
class TReplaceDialog : public TFindDialog {
  Q_OBJECT
 public:
  explicit TReplaceDialog(QWidget* parent = nullptr);

  QLineEdit* ReplaceText = nullptr;
  QPushButton* ReplaceBtn = nullptr;
  QPushButton* ReplaceAllBtn = nullptr;

  SearchOptions options() const override;

 signals:
  void replace();
  void replaceAll();
};

// Ctrl+F, Ctrl+R, F3 and the dialogs' buttons, acting on the host's active document
// (with none, everything here does nothing). The dialogs belong to window; findNext is
// the F3 command, enabled once there is something to look for again.
class SearchCommands : public QObject {
  Q_OBJECT
 public:
  SearchCommands(QWidget* window, DocumentHost& host, QAction* findNext);
  ~SearchCommands() override;

  TFindDialog* FindDialog = nullptr;
  TReplaceDialog* ReplaceDialog = nullptr;
  FindReplace& engine() { return *engine_; }

  void ChercherActionExecute();
  void RemplacerActionExecute();
  void SuivantActionExecute();
  void FindDialogFind();
  void ReplaceDialogFind();
  void ReplaceDialogReplace(bool replaceOne);

 private:
  // Runs a command on the current document; the target lives for the call only.
  void withDocument(const std::function<TextChange(TChild&, SearchTarget&)>& command);
  void showDialog(TFindDialog* dialog);

  DocumentHost& host_;
  QPointer<QAction> findNext_;
  std::unique_ptr<FindReplace> engine_;
};

}  // namespace scrivle
