// The main frame: MDI area, menus and tool bars built from the action table, the
// folder/name/size boxes, start-up's first activation and the window commands.
#pragma once

#include <QMainWindow>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/command_line.h"

class QAction;
class QLineEdit;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace scrivle {

class Dialogs;
class TextModel;
class TChild;

class Tmain : public QMainWindow {
  Q_OBJECT

 public:
  // dialogs: the boxes to use (the real Qt ones in the program, a scripted fake in
  // tests). The frame does not own it.
  explicit Tmain(Dialogs& dialogs, StartRequest request = {});
  ~Tmain() override;

  Dialogs& dialogs() { return dialogs_; }
  QAction* action(const std::string& name) const;
  QMenu* menu(const std::string& caption) const;
  QMdiArea* mdiArea() const { return mdi_; }
  QLineEdit* EditDir = nullptr;
  QLineEdit* EditName = nullptr;
  QLineEdit* EditTaille = nullptr;
  QMenu* PopupMenu1 = nullptr;
  class Tindex* index = nullptr;      // the bookmarks window, set at start-up
  class TTable* table = nullptr;      // the character table, set at start-up
  class TGoToDlg* goToDlg = nullptr;  // the go-to-line dialog, set at start-up
  class TOptions* Options = nullptr;  // the options dialog, set at start-up
  class PreviewPane* preview = nullptr;  // the calculator preview pane (a dock)
  class Spelling* spelling() const;   // spell checking of the document views
  void AffichertableExecute();
  void AllerligneActionExecute();

  // Document windows in the frame's child order (creation order).
  std::vector<TChild*> children() const;
  TChild* activeChild() const;
  int nextDocumentNumber() { return ++newDocumentCounter_; }

  // Start-up: first activation work (maximise, recovery, command line); later
  // activations only refresh the title buttons.
  void FormActivate();
  void enableall(bool state);
  bool documentState() const;

  // Calls a command through the dispatcher: any error is shown in the error box.
  bool run(const std::function<void()>& command);

  // Commands.
  TChild* NouveauActionExecute();
  void OuvrirActionExecute();
  void EnregistrerActionExecute();
  void EnregistrersousActionExecute();
  void EnregistrerToutActionExecute();
  void FermerActionExecute();
  bool CloseAll();
  void CascadeActionExecute();
  void RorganiserActionExecute();
  void ToutrduireActionExecute();
  void horizontaleActionExecute();
  void MosaqueverticaleActionExecute();
  void Quitter2Click();
  void ReadOnlyActionExecute();
  void PopUpFichierExecute();
  void PopUpTagsExecute();
  void PopUpTitresExecute();
  void EditDirKeyDown(int keyCode);
  void EditNameKeyDown(int keyCode);
  void AfficherBookExecute();
  void ColorActionExecute();
  void InserMenu(int title);
  bool colourOn() const;
  // A command that changes the active document's text by program: marks it
  // modified, runs change (which returns the size change), refreshes the fields.
  // Does nothing without a document or on a read-only one.
  void changeByProgram(const std::function<int(TextModel&)>& change);
  // The menu item of a command that the document state hides (its own QAction).
  QAction* menuItem(const std::string& name) const;
  void setFlatButtons(bool flat);
  void refreshStandardActions();
  QMenu* createPopupMenu() override;

  // Puts a path at the head of the recent files.
  void InserRecent(const std::filesystem::path& path);
  void RecentClick(int k);
  // Captions and visibility of the nine recent-file items from the settings.
  void refreshRecentMenu();
  // Opens a file in a new document window (command line, recent files).
  TChild* openInNewWindow(const std::filesystem::path& path);
  // Refreshes "Tout enregistrer" from the documents' modified marks.
  void refreshSaveAll();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildActions();
  void buildMenus();
  void buildToolBars();
  void setUpSpelling();
  void bind(const std::string& name, std::function<void()> handler);
  void recoverTemporaryFiles(bool& recovered);
  void tile(Qt::Orientation orientation);
  TChild* createChild();
  QAction* menuProxy(const std::string& name);

  Dialogs& dialogs_;
  StartRequest request_;
  QMdiArea* mdi_ = nullptr;
  std::map<std::string, QAction*, std::less<>> actions_;
  std::map<std::string, QMenu*, std::less<>> menus_;
  std::map<std::string, QAction*, std::less<>> menuItems_;    // plain menu items
  std::map<std::string, QAction*, std::less<>> menuProxies_;  // state-dependent menu items
  QToolBar* toolBar1_ = nullptr;                            // tags
  QToolBar* toolBar2_ = nullptr;                            // file and edit
  QToolBar* toolBar3_ = nullptr;                            // titles and boxes
  QMenu* recentMenu_ = nullptr;
  std::vector<QAction*> recentActions_;
  class SearchCommands* search_ = nullptr;
  class EditCommands* editCommands_ = nullptr;
  class Spelling* spelling_ = nullptr;
  bool firstActivation_ = true;
  bool quitting_ = false;
  int newDocumentCounter_ = 0;
};

}  // namespace scrivle
