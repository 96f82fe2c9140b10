// The main frame: MDI area, menus and tool bars built from the action table, the
// folder/name/size boxes, start-up's first activation and the window commands. It hosts
// the documents (DocumentHost) and owns every command's enabling: it pulls the active
// document's state when the active window changes or a document signals a change.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "document/host_u.h"

class QAction;
class QLineEdit;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace scrivle {

class Dialogs;
class EditCommands;
class PreviewDock;
class PreviewPane;
class SearchCommands;
class SizeBox;
class Spelling;
class TChild;
class TGoToDlg;
class TOptions;
class TTable;
class TextModel;
class Tindex;

class Tmain : public QMainWindow, public DocumentHost {
  Q_OBJECT

 public:
  // dialogs: the boxes to use (the real Qt ones in the program, a scripted fake in
  // tests). The frame does not own it.
  explicit Tmain(Dialogs& dialogs, StartRequest request = {});
  ~Tmain() override;

  // DocumentHost.
  Dialogs& dialogs() override { return dialogs_; }
  bool run(const std::function<void()>& command) override;
  std::vector<TChild*> children() const override;  // the frame's child order
  TChild* activeChild() const override;
  int nextDocumentNumber() override { return ++newDocumentCounter_; }
  void addRecent(const std::filesystem::path& path) override;
  bool colourOn() const override;
  void setColourOn(bool on) override;
  QMenu* documentContextMenu() const override { return popupMenu1_; }
  QRect documentArea() const override;
  Spelling* spelling() const override { return spelling_; }
  bool applySettings(bool restyle) override;

  QAction* action(const std::string& name) const;
  QMenu* menu(const std::string& caption) const;
  QMdiArea* mdiArea() const { return mdi_; }
  // The folder, name and size boxes of the tool bar.
  QLineEdit* editDir() const { return editDir_; }
  QLineEdit* editName() const { return editName_; }
  SizeBox* editTaille() const { return editTaille_; }
  PreviewPane* previewPane() const;  // the calculator preview (a dock), made if it was not

  // The windows made at start-up beside the frame (not owned).
  void setBookmarksWindow(Tindex* index);
  Tindex* bookmarksWindow() const;
  void setCharacterTable(TTable* table);
  void setOptionsDialog(TOptions* options);

  void AffichertableExecute();
  void AllerligneActionExecute();

  // Start-up: first activation work (maximise, recovery, command line); later
  // activations only refresh the title buttons.
  void FormActivate();
  void enableall(bool state);
  bool documentState() const;

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
  // A command that changes the active document's text by program: marks it
  // modified, runs change (which returns the size change), refreshes the fields.
  // Does nothing without a document or on a read-only one.
  void changeByProgram(const std::function<int(TextModel&)>& change);
  // The menu item of a command that the document state hides (its own QAction).
  QAction* menuItem(const std::string& name) const;
  void setFlatButtons(bool flat);
  // Cut, copy and paste as the toolkit offers them: cut and copy while the focused text
  // field has a selection, paste while the clipboard holds text. Follows the focus, the
  // selections and the clipboard.
  void refreshStandardActions();
  // The active document's names, size and state in the boxes and the commands (source:
  // the document shown when none is active).
  void updateMenus(TChild* source = nullptr);
  QMenu* createPopupMenu() override;

  void RecentClick(int k);
  // Captions and visibility of the nine recent-file items from the settings.
  void refreshRecentMenu();
  // The four title commands' captions from the settings ("Titre N" for an empty name, so
  // that a command never loses its button and menu item).
  void refreshTitleCaptions();
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
  void refreshWindowCommands();
  void readClipboard();
  void showSize(TChild* source);
  void documentMarkedModified(TChild* source);
  void documentClosed(TChild* source);

  Dialogs& dialogs_;
  StartRequest request_;
  QMdiArea* mdi_ = nullptr;
  std::map<std::string, QAction*, std::less<>> actions_;
  std::map<std::string, QMenu*, std::less<>> menus_;
  std::map<std::string, QAction*, std::less<>> menuItems_;    // plain menu items
  std::map<std::string, QAction*, std::less<>> menuProxies_;  // state-dependent menu items
  QToolBar* toolBar1_ = nullptr;                              // tags
  QToolBar* toolBar2_ = nullptr;                              // file and edit
  QToolBar* toolBar3_ = nullptr;                              // titles and boxes
  QMenu* recentMenu_ = nullptr;
  std::vector<QAction*> recentActions_;
  QLineEdit* editDir_ = nullptr;
  QLineEdit* editName_ = nullptr;
  SizeBox* editTaille_ = nullptr;
  QMenu* popupMenu1_ = nullptr;
  QPointer<Tindex> index_;
  QPointer<TTable> table_;
  QPointer<TGoToDlg> goToDlg_;  // made on first use
  QPointer<TOptions> options_;
  std::unique_ptr<PreviewDock> preview_;
  SearchCommands* search_ = nullptr;
  EditCommands* editCommands_ = nullptr;
  Spelling* spelling_ = nullptr;
  bool firstActivation_ = true;
  bool quitting_ = false;
  bool clipboardHasText_ = false;
  int newDocumentCounter_ = 0;
};

}  // namespace scrivle
