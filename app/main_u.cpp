#include "app/main_u.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <optional>
#include <system_error>

#include "app/actions.h"
#include "app/icons_u.h"
#include "app/recent.h"
#include "app/size_box_u.h"
#include "compress/zip_action_u.h"
#include "document/child_u.h"
#include "document/journal_recovery.h"
#include "document/journal_writer.h"
#include "document/tifile.h"
#include "editor/calc_font_u.h"
#include "editor/editor_view_u.h"
#include "editor/text_model.h"
#include "options/setup_u.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/qtext_u.h"
#include "preview/pane_u.h"
#include "registry/registry.h"
#include "search/edit_commands_u.h"
#include "search/find_dialogs_u.h"
#include "settings/parametre.h"
#include "spell/spelling_u.h"
#include "tags/colorise.h"
#include "tags/insertion.h"
#include "tags/titles.h"
#include "tools/goto_u.h"
#include "tools/index_u.h"
#include "tools/tabl_u.h"

namespace scrivle {

namespace fs = std::filesystem;

namespace {

QString qs(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

constexpr const char* kOpenFilter =
    "Textes Ti-92+ (*.9xt)|*.9xt|Textes Ti-92 (*.92t)|*.92t|Textes Ti-89 (*.89t)|*.89t|"
    "Textes Ti (*.9xt;*.92t;*.89t)|*.9xt;*.92t;*.89t|Textes (*.txt)| *.txt|Tous (*.*)| *.*";

// Items that enableall shows or hides with the document state.
const char* const kStateMenuItems[] = {"ReadOnlyAction",    "ZipAction",   "EnregistrersousAction",
                                       "EnregistrerAction", "Toutfermer1", "EnregistrerToutAction",
                                       "FermerAction",      "N7",          "N13",
                                       "AfficherBook"};
const char* const kStateActions[] = {
    "PopUpTags",    "PopUpTitres",  "AfficherBook", "ZipAction",    "EnregistrerAction",
    "DfaireAction", "CopierAction", "CouperAction", "CollerAction", "ColorAction",
    "Menu1Action",  "Menu2Action",  "Menu3Action",  "Menu4Action",  "AllerligneAction"};
const char* const kStateMenus[] = {"&Edition", "&Tags #", "Ta&gs &&", "&Misc."};

bool isStateMenuItem(std::string_view name) {
  for (const char* n : kStateMenuItems) {
    if (name == n) return true;
  }
  return false;
}

}  // namespace

Tmain::Tmain(Dialogs& dialogs, StartRequest request)
    : dialogs_(dialogs), request_(std::move(request)) {
  setObjectName("main");
  setWindowTitle("Scrivle");
  resize(665, 371);
  mdi_ = new QMdiArea(this);
  mdi_->setObjectName("MdiArea");
  setCentralWidget(mdi_);
  connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
    if (auto* c = qobject_cast<TChild*>(w)) updateMenus(c);
    refreshWindowCommands();
    refreshStandardActions();
    // The preview follows the active document; it only empties when none is left.
    const bool any = !mdi_->subWindowList().isEmpty();
    PreviewPane* pane = preview_ != nullptr ? preview_->madePane() : nullptr;
    if (pane != nullptr && (w != nullptr || !any)) {
      pane->setDocument(qobject_cast<TChild*>(w));
    }
  });

  buildActions();
  buildMenus();
  buildToolBars();
  search_ = new SearchCommands(this, *this, action("SuivantAction"));
  // The edit commands filter the name boxes' keys: they need the boxes, and the commands
  // whose shortcuts the boxes leave to the frame.
  editCommands_ = new EditCommands(*this, {editDir_, editName_}, this);
  std::vector<const QAction*> routed;
  for (const char* n : {"CouperAction", "Couper2Action", "CopierAction", "Copier2Action",
                        "CollerAction", "Coller2Action", "SlectionnertoutAction", "DfaireAction",
                        "Dfaire2Action", "Dfaire3Action", "RefaireAction"}) {
    routed.push_back(action(n));
  }
  editCommands_->setRoutedActions(std::move(routed));
  setUpSpelling();
  statusBar()->setObjectName("StatusBar1");
  preview_ = std::make_unique<PreviewDock>(*this, *action("ApercuAction"), dialogs_,
                                           [this] { return activeChild(); });

  // Cut, copy and paste follow the focus, the selections and the clipboard.
  connect(qApp, &QApplication::focusChanged, this, &Tmain::refreshStandardActions);
  connect(QApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
    readClipboard();
    refreshStandardActions();
  });
  readClipboard();
  for (QLineEdit* box : {editDir_, editName_}) {
    connect(box, &QLineEdit::selectionChanged, this, &Tmain::refreshStandardActions);
  }

  // FormCreate.
  action("Affichertable")->setChecked(false);
  enableall(false);
  for (const char* n : {"CascadeAction", "RorganiserAction", "ToutrduireAction",
                        "MosaquehorizontaleAction", "MosaqueverticaleAction", "FermerAction"}) {
    action(n)->setEnabled(false);
  }
  firstActivation_ = true;
}

PreviewPane* Tmain::previewPane() const {
  return preview_->pane();
}

Tmain::~Tmain() {
  // The document windows go with the frame; no refresh may run on a half-destroyed one.
  disconnect(mdi_, nullptr, this, nullptr);
  disconnect(qApp, nullptr, this, nullptr);
  disconnect(QApplication::clipboard(), nullptr, this, nullptr);
  for (TChild* c : children()) {
    c->disconnect(this);
    c->Richedit->disconnect(this);
  }
}

QAction* Tmain::action(const std::string& name) const {
  auto it = actions_.find(name);
  if (it != actions_.end()) return it->second;
  auto jt = menuItems_.find(name);
  return jt == menuItems_.end() ? nullptr : jt->second;
}

QMenu* Tmain::menu(const std::string& caption) const {
  auto it = menus_.find(caption);
  return it == menus_.end() ? nullptr : it->second;
}

bool Tmain::run(const std::function<void()>& command) {
  return runCommand(dialogs_, command);
}

void Tmain::bind(const std::string& name, std::function<void()> handler) {
  QAction* a = action(name);
  if (a == nullptr) return;
  connect(a, &QAction::triggered, this, [this, h = std::move(handler)] { run(h); });
}

QAction* Tmain::menuProxy(const std::string& name) {
  // A menu item that the document state hides while the same command's tool-bar
  // button stays: Qt hides an action everywhere, so the menu gets its own item.
  QAction* target = action(name);
  auto* proxy = new QAction(target->icon(), target->text(), this);
  proxy->setObjectName(target->objectName() + "Item");
  proxy->setStatusTip(target->statusTip());
  proxy->setShortcut(target->shortcut());
  proxy->setShortcutContext(Qt::WidgetShortcut);  // the real action owns the shortcut
  proxy->setCheckable(target->isCheckable());
  auto sync = [proxy, target] {
    proxy->setEnabled(target->isEnabled());
    proxy->setChecked(target->isChecked());
    proxy->setText(target->text());
  };
  sync();
  connect(target, &QAction::changed, proxy, sync);
  connect(proxy, &QAction::triggered, target, [target] { target->trigger(); });
  menuProxies_.emplace(name, proxy);
  return proxy;
}

QAction* Tmain::menuItem(const std::string& name) const {
  auto it = menuProxies_.find(name);
  return it == menuProxies_.end() ? nullptr : it->second;
}

QMenu* Tmain::createPopupMenu() {
  auto* popup = new QMenu(this);
  popup->setObjectName("PopupMenuToolBar");
  popup->addAction(action("PopUpFichier"));
  popup->addAction(action("PopUpTags"));
  popup->addAction(action("PopUpTitres"));
  return popup;
}

void Tmain::setFlatButtons(bool flat) {
  for (QToolBar* bar : {toolBar1_, toolBar2_, toolBar3_}) {
    for (QToolButton* b : bar->findChildren<QToolButton*>()) b->setAutoRaise(flat);
  }
}

void Tmain::refreshStandardActions() {
  QWidget* focus = QApplication::focusWidget();
  bool selection = false;
  if (auto* editor = qobject_cast<EditorView*>(focus)) {
    selection = editor->model().selLength() > 0;
  } else if (auto* line = qobject_cast<QLineEdit*>(focus)) {
    selection = line->hasSelectedText();
  }
  const bool editable = documentState();
  action("CopierAction")->setEnabled(editable && selection);
  action("CouperAction")->setEnabled(editable && selection);
  action("CollerAction")->setEnabled(editable && clipboardHasText_);
}

void Tmain::readClipboard() {
  // Asked once per change of the clipboard, not at every keystroke.
  const QMimeData* mime = QApplication::clipboard()->mimeData();
  clipboardHasText_ =
      mime != nullptr && (mime->hasText() || mime->hasFormat("application/x-scrivle-calc"));
}

void Tmain::refreshWindowCommands() {
  const bool any = !mdi_->subWindowList().isEmpty();
  for (const char* n : {"CascadeAction", "RorganiserAction", "ToutrduireAction",
                        "MosaquehorizontaleAction", "MosaqueverticaleAction"}) {
    action(n)->setEnabled(any);
  }
  action("FermerAction")->setEnabled(activeChild() != nullptr);
}

namespace {

QString sizeText(std::int32_t size) {
  return QStringLiteral("Taille sur TI : %1 octets").arg(size);
}

}  // namespace

void Tmain::updateMenus(TChild* source) {
  // The frame always shows the active document: one saved or reloaded while another is
  // active (through "Tout enregistrer" or a close question) refreshes the active one.
  TChild* c = activeChild();
  if (c == nullptr) c = source;
  if (c == nullptr) return;
  editName_->setText(toQString(nameForBox(c->variableName())));
  editDir_->setText(toQString(nameForBox(c->folderName())));
  editTaille_->setShownText(sizeText(c->calcSize()));
  action("EnregistrerAction")->setEnabled(c->saveEnabled());
  action("DfaireAction")->setEnabled(c->model().canUndo());
  const bool ro = c->model().readOnly();
  action("ReadOnlyAction")->setChecked(ro);
  editDir_->setReadOnly(ro);
  editName_->setReadOnly(ro);
}

void Tmain::showSize(TChild* source) {
  if (activeChild() != source && children().size() > 1) return;
  // Every keystroke comes here.
  editTaille_->setShownText(sizeText(source->calcSize()));
}

void Tmain::documentMarkedModified(TChild* source) {
  QAction* save = action("EnregistrerAction");
  if (!save->isEnabled()) {
    save->setEnabled(true);
    action("EnregistrerToutAction")->setEnabled(true);
  }
  // Marked before the change reaches the text: the change will be undoable.
  if (!source->model().canUndo()) action("DfaireAction")->setEnabled(true);
}

void Tmain::documentClosed(TChild* source) {
  // The last document takes the frame back to the no-document state.
  const auto kids = children();
  const bool last =
      std::all_of(kids.begin(), kids.end(), [source](TChild* c) { return c == source; });
  if (last) enableall(false);
  QTimer::singleShot(0, this, [this] {
    refreshSaveAll();
    refreshWindowCommands();
  });
}

void Tmain::AfficherBookExecute() {
  TChild* c = activeChild();
  if (c == nullptr || index_ == nullptr) return;
  index_->geometry = bookmarkGeometryFor(AppSettings.DefaultExt);
  index_->showFor(*c->Richedit);
}

void Tmain::setBookmarksWindow(Tindex* index) {
  index_ = index;
}

Tindex* Tmain::bookmarksWindow() const {
  return index_;
}

void Tmain::setOptionsDialog(TOptions* options) {
  options_ = options;
}

void Tmain::setCharacterTable(TTable* table) {
  table_ = table;
  if (table_ == nullptr) return;
  // Closed by its own close box, the table unchecks the command that shows it.
  QAction* show = action("Affichertable");
  connect(table_, &TTable::closed, show, [show] { show->setChecked(false); });
}

QRect Tmain::documentArea() const {
  const QWidget* area = mdi_->viewport();
  return {area->mapToGlobal(QPoint(0, 0)), area->size()};
}

void Tmain::buildActions() {
  for (const ActionDef& d : actionTable()) {
    auto* a = new QAction(qs(d.caption), this);
    a->setObjectName(qs(d.name));
    a->setProperty("category", qs(d.category));
    a->setStatusTip(qs(d.hint));
    a->setToolTip(d.hint.empty() ? qs(d.caption).remove('&') : qs(d.hint));
    if (!d.shortcut.empty()) {
      // The table spells keys in English: read as such, without a lookup of each name in
      // the translations, as the native form does.
      a->setShortcut(QKeySequence(qs(d.shortcut), QKeySequence::PortableText));
      a->setShortcutContext(Qt::WindowShortcut);
    }
    a->setCheckable((d.flags & ActionDef::Checkable) != 0);
    a->setChecked((d.flags & ActionDef::Checked) != 0);
    a->setEnabled((d.flags & ActionDef::Disabled) == 0);
    const QIcon icon = actionIcon(d.name);
    if (!icon.isNull()) a->setIcon(icon);
    addAction(a);  // shortcuts work even for actions in no menu
    actions_.emplace(std::string(d.name), a);
  }
  for (const MenuItemDef& d : menuItemTable()) {
    auto* a = new QAction(qs(d.caption), this);
    a->setObjectName(qs(d.name));
    a->setStatusTip(qs(d.hint));
    if (!d.shortcut.empty()) {
      a->setShortcut(QKeySequence(qs(d.shortcut), QKeySequence::PortableText));
    }
    addAction(a);
    menuItems_.emplace(std::string(d.name), a);
  }

  bind("NouveauAction", [this] { NouveauActionExecute(); });
  bind("OuvrirAction", [this] { OuvrirActionExecute(); });
  bind("EnregistrerAction", [this] { EnregistrerActionExecute(); });
  bind("EnregistrersousAction", [this] { EnregistrersousActionExecute(); });
  bind("EnregistrerToutAction", [this] { EnregistrerToutActionExecute(); });
  bind("FermerAction", [this] { FermerActionExecute(); });
  bind("Toutfermer1", [this] { CloseAll(); });
  bind("Quitter2", [this] { Quitter2Click(); });
  bind("CascadeAction", [this] { CascadeActionExecute(); });
  bind("RorganiserAction", [this] { RorganiserActionExecute(); });
  bind("ToutrduireAction", [this] { ToutrduireActionExecute(); });
  bind("MosaquehorizontaleAction", [this] { horizontaleActionExecute(); });
  bind("MosaqueverticaleAction", [this] { MosaqueverticaleActionExecute(); });
  bind("ReadOnlyAction", [this] { ReadOnlyActionExecute(); });
  bind("PopUpFichier", [this] { PopUpFichierExecute(); });
  bind("PopUpTags", [this] { PopUpTagsExecute(); });
  bind("PopUpTitres", [this] { PopUpTitresExecute(); });
  bind("AfficherBook", [this] { AfficherBookExecute(); });
  bind("ColorAction", [this] { ColorActionExecute(); });
  bind("Affichertable", [this] { AffichertableExecute(); });
  bind("AllerligneAction", [this] { AllerligneActionExecute(); });
  bind("ZipAction", [this] { ZipActionExecute(*this); });
  bind("OptionsAction", [this] {
    if (options_ != nullptr) options_->exec();
  });
  bind("CouperAction", [this] { editCommands_->CouperActionExecute(); });
  bind("Couper2Action", [this] { editCommands_->CouperActionExecute(); });
  bind("CopierAction", [this] { editCommands_->CopierActionExecute(); });
  bind("Copier2Action", [this] { editCommands_->CopierActionExecute(); });
  bind("CollerAction", [this] { editCommands_->CollerActionExecute(); });
  bind("Coller2Action", [this] { editCommands_->CollerActionExecute(); });
  bind("SlectionnertoutAction", [this] { editCommands_->SlectionnertoutActionExecute(); });
  bind("DfaireAction", [this] { editCommands_->DfaireActionExecute(); });
  bind("Dfaire2Action", [this] { editCommands_->DfaireActionExecute(); });
  bind("Dfaire3Action", [this] { editCommands_->DfaireActionExecute(); });
  bind("RefaireAction", [this] { editCommands_->RefaireActionExecute(); });
  bind("ChercherAction", [this] { search_->ChercherActionExecute(); });
  bind("Remplacer2", [this] { search_->RemplacerActionExecute(); });
  bind("SuivantAction", [this] { search_->SuivantActionExecute(); });
  for (const auto& c : kTagCommands) {
    const std::string name(c.action);
    bind(name, [this, name] {
      changeByProgram(
          [&](TextModel& m) { return runTagCommand(m, name, colourOn(), AppSettings); });
    });
  }
  bind("InserBookAction", [this] {
    // On the calculator the marker takes the place of the line's own marker byte, so the
    // size does not change (the file written afterwards says so too).
    changeByProgram([this](TextModel& m) {
      InserBook(m, colourOn(), AppSettings);
      return 0;
    });
  });
  for (int i = 1; i <= 4; ++i) {
    bind("Menu" + std::to_string(i) + "Action", [this, i] { InserMenu(i); });
  }
}

void Tmain::AffichertableExecute() {
  // The action's check mark has already been inverted by the toolkit.
  if (table_ != nullptr) scrivle::AffichertableExecute(*table_, *action("Affichertable"));
}

void Tmain::AllerligneActionExecute() {
  TChild* c = activeChild();
  if (c == nullptr) return;
  // Made on first use: most runs never go to a line.
  if (goToDlg_ == nullptr) goToDlg_ = new TGoToDlg(this);
  scrivle::AllerligneActionExecute(*goToDlg_, c, dialogs_);
}

bool Tmain::colourOn() const {
  return action("ColorAction")->isChecked();
}

void Tmain::setColourOn(bool on) {
  action("ColorAction")->setChecked(on);
}

void Tmain::changeByProgram(const std::function<int(TextModel&)>& change) {
  TChild* c = activeChild();
  if (c == nullptr || c->model().readOnly()) return;
  c->markModified();
  c->addSize(change(c->model()));
  c->FormActivate();
}

void Tmain::InserMenu(int title) {
  TChild* c = activeChild();
  if (c == nullptr) return;
  const TMenuPerso t = AppSettings.Titres[static_cast<std::size_t>(title - 1)];
  if (!titleInserts(c->model(), t)) return;
  changeByProgram([&](TextModel& m) { return scrivle::InserMenu(m, t, colourOn(), AppSettings); });
}

void Tmain::ColorActionExecute() {
  // The toolkit has already inverted the check mark.
  const bool on = colourOn();
  for (TChild* c : children()) {
    TextModel& m = c->model();
    if (on) {
      colorise(m, 1, m.length(), true, AppSettings);
    } else {
      decolourAll(m);
    }
  }
}

void Tmain::buildMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName("MainMenu1");
  for (const MenuDef& m : scrivle::menuBar()) {
    QMenu* menu = bar->addMenu(qs(m.caption));
    menu->setObjectName(qs(m.caption));
    menu->menuAction()->setStatusTip(qs(m.hint));
    menus_.emplace(std::string(m.caption), menu);
    for (std::string_view e : m.entries) {
      if (e.starts_with('-')) {
        QAction* sep = menu->addSeparator();
        if (e.size() > 1) {
          sep->setObjectName(qs(e.substr(1)));
          menuProxies_.emplace(std::string(e.substr(1)), sep);
        }
      } else if (e == ">Recents") {
        recentMenu_ = menu->addMenu("&Récents");
        recentMenu_->setObjectName("Recents");
        recentMenu_->menuAction()->setStatusTip("Fichiers récents");
        recentMenu_->menuAction()->setVisible(false);  // filled by the recent files
        for (int k = 1; k <= 9; ++k) {
          QAction* item = recentMenu_->addAction(QStringLiteral("&%1").arg(k));
          item->setObjectName(QStringLiteral("Recent%1").arg(k));
          item->setVisible(false);
          connect(item, &QAction::triggered, this,
                  [this, k] { run([this, k] { RecentClick(k); }); });
          recentActions_.push_back(item);
        }
      } else if (isStateMenuItem(e)) {
        menu->addAction(menuProxy(std::string(e)));
      } else if (QAction* a = action(std::string(e))) {
        menu->addAction(a);
      }
    }
  }
  menu("&Aide")->menuAction()->setEnabled(false);

  // The window menu lists the open documents after its own items.
  QMenu* windows = menu("Fe&nêtre");
  auto* listSep = windows->addSeparator();
  listSep->setVisible(false);
  connect(windows, &QMenu::aboutToShow, this, [this, windows, listSep] {
    const auto acts = windows->actions();
    bool after = false;
    for (QAction* a : acts) {
      if (after) {
        windows->removeAction(a);
        a->deleteLater();
      }
      if (a == listSep) after = true;
    }
    const auto kids = children();
    listSep->setVisible(!kids.empty());
    int i = 1;
    for (TChild* c : kids) {
      const QString text = i < 10 ? QStringLiteral("&%1 %2").arg(i).arg(c->windowTitle())
                                  : QStringLiteral("%1 %2").arg(i).arg(c->windowTitle());
      QAction* a = windows->addAction(text);
      a->setCheckable(true);
      a->setChecked(c == activeChild());
      connect(a, &QAction::triggered, this, [this, c] { mdi_->setActiveSubWindow(c); });
      ++i;
    }
  });

  popupMenu1_ = new QMenu(this);
  popupMenu1_->setObjectName("PopupMenu1");
  popupMenu1_->addAction(action("CouperAction"));
  popupMenu1_->addAction(action("CopierAction"));
  popupMenu1_->addAction(action("CollerAction"));
}

void Tmain::buildToolBars() {
  auto fill = [this](QToolBar* bar, const std::vector<std::string_view>& items) {
    for (std::string_view n : items) {
      if (n == "|") {
        bar->addSeparator();
      } else if (QAction* a = action(std::string(n))) {
        bar->addAction(a);
      }
    }
  };
  toolBar2_ = addToolBar("Fichier / Edition");
  toolBar2_->setObjectName("PageScroller2");
  fill(toolBar2_, fileToolBar());
  toolBar1_ = addToolBar("Tags");
  toolBar1_->setObjectName("PageScroller1");
  fill(toolBar1_, tagToolBar());
  addToolBarBreak();
  toolBar3_ = addToolBar("Titres / Taille sur TI");
  toolBar3_->setObjectName("PageScroller3");
  for (int i = 1; i <= 4; ++i) {
    QAction* a = action("Menu" + std::to_string(i) + "Action");
    toolBar3_->addAction(a);
    if (auto* b = qobject_cast<QToolButton*>(toolBar3_->widgetForAction(a))) {
      b->setToolButtonStyle(Qt::ToolButtonTextOnly);
      b->setFixedSize(55, 28);
    }
    toolBar3_->addSeparator();
  }
  const QFont calcFont = CalcFont::instance().font(16);
  editDir_ = new QLineEdit(toolBar3_);
  editDir_->setObjectName("EditDir");
  editDir_->setToolTip("Nom du répertoire sur la TI dans lequel sera le fichier");
  editDir_->setStatusTip(editDir_->toolTip());
  editName_ = new QLineEdit(toolBar3_);
  editName_->setObjectName("EditName");
  editName_->setToolTip("Nom du fichier sur TI");
  editName_->setStatusTip(editName_->toolTip());
  for (QLineEdit* e : {editDir_, editName_}) {
    e->setFont(calcFont);
    limitCalcLength(e, 8);
    e->setFixedWidth(QFontMetrics(calcFont).horizontalAdvance(QString(10, 'W')));
  }
  connect(editDir_, &QLineEdit::textEdited, this, [this] { EditDirKeyDown(0); });
  connect(editName_, &QLineEdit::textEdited, this, [this] { EditNameKeyDown(0); });
  editTaille_ = new SizeBox(toolBar3_);
  editTaille_->setObjectName("EditTaille");
  editTaille_->setToolTip("Taille approximative sur la TI");
  editTaille_->setStatusTip(editTaille_->toolTip());
  // As wide as the size of a plain text of tens of megabytes, no wider (the tool bar
  // holds it at the window's first width), and drawn over what the tool bar painted
  // once: it is redrawn at every keystroke.
  editTaille_->setAttribute(Qt::WA_OpaquePaintEvent);
  editTaille_->setFixedWidth(
      QFontMetrics(editTaille_->font()).horizontalAdvance("Taille sur TI : 00000000 octets") +
      2 * editTaille_->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, editTaille_) +
      8);
  toolBar3_->addWidget(editDir_);
  toolBar3_->addWidget(editName_);
  toolBar3_->addWidget(editTaille_);
}

std::vector<TChild*> Tmain::children() const {
  std::vector<TChild*> out;
  for (QMdiSubWindow* w : mdi_->subWindowList(QMdiArea::CreationOrder)) {
    if (auto* c = qobject_cast<TChild*>(w)) out.push_back(c);
  }
  return out;
}

TChild* Tmain::activeChild() const {
  QMdiSubWindow* w = mdi_->activeSubWindow();
  if (w == nullptr) w = mdi_->currentSubWindow();
  return qobject_cast<TChild*>(w);
}

bool Tmain::documentState() const {
  return menu("&Edition")->menuAction()->isVisible();
}

void Tmain::enableall(bool state) {
  if (documentState() == state) return;
  for (const char* n : kStateMenuItems) {
    auto it = menuProxies_.find(n);
    if (it != menuProxies_.end()) it->second->setVisible(state);
  }
  for (const char* n : kStateActions) action(n)->setEnabled(state);
  action("EnregistrerToutAction")->setEnabled(false);
  toolBar1_->setVisible(state);
  toolBar3_->setVisible(state);
  for (QLineEdit* e : {editName_, editDir_, static_cast<QLineEdit*>(editTaille_)}) {
    e->setVisible(state);
  }
  for (const char* m : kStateMenus) menu(m)->menuAction()->setVisible(state);
  refreshStandardActions();
}

void Tmain::setUpSpelling() {
  Spelling::Hooks hooks;
  hooks.edit = [this](const std::function<int(TextModel&)>& change) { changeByProgram(change); };
  hooks.colourOn = [this] { return colourOn(); };
  hooks.message = [this](const std::string& text) { dialogs_.message(text); };
  spelling_ = new Spelling(std::move(hooks), this);
  QAction* a = action("OrthographeAction");
  a->setEnabled(spelling_->available());
  a->setChecked(spelling_->available());
  if (!spelling_->available()) {
    a->setStatusTip(spelling_->unavailableReason());
    a->setToolTip(spelling_->unavailableReason());
  }
  bind("OrthographeAction", [this, a] { spelling_->setEnabled(a->isChecked()); });
}

TChild* Tmain::createChild() {
  auto* child = new TChild(*this);
  connect(child, &TChild::stateChanged, this, [this, child] { updateMenus(child); });
  connect(child, &TChild::sizeChanged, this, [this, child] { showSize(child); });
  connect(child, &TChild::modifiedChanged, this, [this, child] { documentMarkedModified(child); });
  connect(child, &TChild::saved, this, &Tmain::refreshSaveAll);
  connect(child, &TChild::closed, this, [this, child] { documentClosed(child); });
  connect(child->Richedit, &EditorView::caretMoved, this, &Tmain::refreshStandardActions);
  spelling_->attach(child->Richedit);
  mdi_->addSubWindow(child);
  child->showMaximized();
  return child;
}

TChild* Tmain::NouveauActionExecute() {
  enableall(true);
  TChild* child = createChild();
  child->Nouveau();
  return child;
}

TChild* Tmain::openInNewWindow(const fs::path& path) {
  enableall(true);
  TChild* child = createChild();
  return child->Ouvrir(path) ? child : nullptr;
}

void Tmain::OuvrirActionExecute() {
  FileDialogOptions o;
  o.title = "Ouvrir un texte TI...";
  o.filter = kOpenFilter;
  o.filterIndex = 4;
  o.defaultExt = "9xt";
  o.initialDir = pathFromUtf8(AppSettings.SaveDir);
  const auto files = dialogs_.openFiles(o);
  if (files.empty()) return;
  enableall(true);
  for (const fs::path& f : files) {
    TChild* child = createChild();
    run([&] { child->Ouvrir(f); });
  }
}

void Tmain::EnregistrerActionExecute() {
  if (TChild* c = activeChild()) c->Enregistrer();
}

void Tmain::EnregistrersousActionExecute() {
  if (TChild* c = activeChild()) c->EnregistrerSous();
}

void Tmain::EnregistrerToutActionExecute() {
  for (TChild* c : children()) {
    std::error_code ec;
    if (c->captionModified() || !fs::exists(c->fullPath(), ec)) {
      if (!run([c] { c->Enregistrer(); })) break;
    }
  }
}

void Tmain::FermerActionExecute() {
  if (TChild* c = activeChild()) c->close();
}

bool Tmain::CloseAll() {
  // Every document is asked, last to first; one that stays open spares none of the others.
  bool all = true;
  const auto kids = children();
  for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
    if (!(*it)->close()) all = false;
  }
  return all;
}

void Tmain::refreshSaveAll() {
  QAction* all = action("EnregistrerToutAction");
  all->setEnabled(false);
  for (TChild* c : children()) {
    if (c->captionModified()) all->setEnabled(true);
  }
}

void Tmain::addRecent(const fs::path& path) {
  run([&] {
    auto registry = openUserRegistry([this](const std::string& text) { dialogs_.message(text); });
    inserRecent(AppSettings, pathToUtf8(path), *registry);
  });
  refreshRecentMenu();
}

void Tmain::refreshRecentMenu() {
  const auto items = recentItems(AppSettings);
  bool any = false;
  for (std::size_t k = 0; k < items.size(); ++k) {
    QAction* a = recentActions_[k];
    QString caption = QString::fromStdString(items[k].caption);
    // Only the "&K " prefix is an accelerator; an "&" inside the path is text.
    caption = caption.left(3) + caption.mid(3).replace("&", "&&");
    a->setText(caption);
    a->setVisible(items[k].visible);
    any = any || items[k].visible;
  }
  recentMenu_->menuAction()->setVisible(AppSettings.enabled != 0);
  recentMenu_->setEnabled(any);
}

void Tmain::RecentClick(int k) {
  if (k < 1 || k > static_cast<int>(AppSettings.mru.size())) return;
  const std::string path = AppSettings.mru[static_cast<std::size_t>(k - 1)];
  if (path.empty()) return;
  enableall(true);
  TChild* child = createChild();
  child->Ouvrir(pathFromUtf8(path));
}

void Tmain::CascadeActionExecute() {
  mdi_->cascadeSubWindows();
}

void Tmain::ToutrduireActionExecute() {
  for (TChild* c : children()) c->showMinimized();
}

void Tmain::RorganiserActionExecute() {
  // Lines the minimised windows up along the bottom edge, left to right.
  int x = 0;
  const QSize area = mdi_->viewport()->size();
  int y = area.height();
  for (TChild* c : children()) {
    if (!c->isMinimized()) continue;
    const QSize s = c->size();
    if (x + s.width() > area.width() && x > 0) {
      x = 0;
      y -= s.height();
    }
    c->move(x, y - s.height());
    x += s.width();
  }
}

void Tmain::tile(Qt::Orientation orientation) {
  std::vector<TChild*> open;
  for (TChild* c : children()) {
    if (!c->isMinimized()) open.push_back(c);
  }
  if (open.empty()) return;
  const QRect area = mdi_->viewport()->rect();
  const int n = static_cast<int>(open.size());
  for (int i = 0; i < n; ++i) {
    TChild* c = open[static_cast<std::size_t>(i)];
    c->showNormal();
    if (orientation == Qt::Horizontal) {
      // Horizontal tiling: full-width windows stacked from top to bottom.
      const int h = area.height() / n;
      c->setGeometry(0, i * h, area.width(), i == n - 1 ? area.height() - i * h : h);
    } else {
      const int w = area.width() / n;
      c->setGeometry(i * w, 0, i == n - 1 ? area.width() - i * w : w, area.height());
    }
  }
}

void Tmain::horizontaleActionExecute() {
  tile(Qt::Horizontal);
}
void Tmain::MosaqueverticaleActionExecute() {
  tile(Qt::Vertical);
}

void Tmain::Quitter2Click() {
  close();
}

void Tmain::ReadOnlyActionExecute() {
  // The action's check mark has already been inverted by the toolkit.
  const bool ro = action("ReadOnlyAction")->isChecked();
  if (TChild* c = activeChild()) c->model().setReadOnly(ro);
  editDir_->setReadOnly(ro);
  editName_->setReadOnly(ro);
}

void Tmain::PopUpFichierExecute() {
  toolBar2_->setVisible(!toolBar2_->isVisible());
  action("PopUpFichier")->setChecked(toolBar2_->isVisible());
}

void Tmain::PopUpTagsExecute() {
  toolBar1_->setVisible(!toolBar1_->isVisible());
  action("PopUpTags")->setChecked(toolBar1_->isVisible());
}

void Tmain::PopUpTitresExecute() {
  toolBar3_->setVisible(!toolBar3_->isVisible());
  action("PopUpTitres")->setChecked(toolBar3_->isVisible());
}

void Tmain::EditDirKeyDown(int /*keyCode*/) {
  if (TChild* c = activeChild()) {
    c->setFolderName(fromQString(editDir_->text()));
    c->markModified();
  }
}

void Tmain::EditNameKeyDown(int /*keyCode*/) {
  if (TChild* c = activeChild()) {
    c->setVariableName(fromQString(editName_->text()));
    c->markModified();
  }
}

void Tmain::recoverTemporaryFiles(bool& recovered) {
  recovered = false;
  std::vector<fs::path> found;
  std::error_code ec;
  const fs::path dir = autoSaveDir();
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->path().extension() == ".tmp") found.push_back(it->path());
  }
  // Journals left by a program that ended without closing its documents.
  journal::JournalRecovery journals(dir);
  if (found.empty() && !journals.found()) return;
  std::sort(found.begin(), found.end());
  const bool yes =
      dialogs_.confirm("Des fichiers temporaires ont été retrouvés. Voulez-vous les récupérer ?",
                       false) == Answer::Yes;
  std::vector<TChild*> rebuilt;
  if (yes) {
    for (const journal::RecoveredText& r : journals.texts()) {
      TChild* child = createChild();
      child->recoverText(r.text, &r.info, r.info.caption);
      rebuilt.push_back(child);
    }
  }
  // The journals go once their texts are safe in the new documents' own journals.
  for (TChild* c : rebuilt) c->journal().flush();
  journals.removeAll();
  for (const fs::path& f : found) {
    const auto described = [&]() -> std::optional<journal::DocumentInfo> {
      try {
        return journal::decodeDescription(readFile(journal::descriptionOf(f)));
      } catch (...) {
        return std::nullopt;
      }
    }();
    // A journal replayed above holds a later state of the same document.
    const bool superseded = described && journals.replayed(described->journal);
    if (yes && !superseded) {
      TChild* child = createChild();
      // A file that cannot be read is reported, kept, and ends the start-up work.
      if (!run([&] { child->recoverFrom(f); })) {
        child->closeConfirmed();
        recovered = true;
        return;
      }
      child->journal().flush();
    }
    fs::remove(f, ec);
    fs::remove(journal::descriptionOf(f), ec);
  }
  if (yes) {
    enableall(true);
    refreshSaveAll();  // the recovered documents are modified
    if (!journals.notes().empty()) {
      std::string text = "Certaines modifications n'ont pas pu être récupérées telles quelles :";
      for (const std::string& n : journals.notes()) text += "\n" + n;
      dialogs_.message(text);
    }
    recovered = true;
  }
}

bool Tmain::applySettings(bool restyle) {
  const TParametre& s = AppSettings;
  // The open and save dialogs read SaveDir and DefaultExt when they open.
  refreshRecentMenu();
  refreshTitleCaptions();
  if (index_ != nullptr) index_->geometry = bookmarkGeometryFor(s.DefaultExt);
  const std::vector<TChild*> kids = children();
  try {
    for (TChild* c : kids) c->syncTimer();
  } catch (...) {
    // An error ends this loop silently.
  }
  bool restyled = false;
  if (restyle && colourOn()) {
    for (TChild* c : kids) {
      TextModel& m = c->model();
      colorise(m, 1, m.length(), true, s);
    }
    restyled = true;
  }
  try {
    for (TChild* c : kids) c->Richedit->setVerticalScrollBarOn(isSet(s.scroll));
  } catch (...) {
    // An error ends this loop silently.
  }
  setFlatButtons(isSet(s.flat));
  return restyled;
}

void Tmain::refreshTitleCaptions() {
  for (int i = 1; i <= 4; ++i) {
    QAction* a = action("Menu" + std::to_string(i) + "Action");
    const std::string& name = AppSettings.Titres[static_cast<std::size_t>(i - 1)].nom;
    const QString caption = name.empty() ? "Titre " + QString::number(i) : toQString(name);
    a->setText(caption);
    a->setToolTip(caption);
    a->setStatusTip(caption);
  }
}

void Tmain::FormActivate() {
  refreshTitleCaptions();
  if (!firstActivation_) return;
  firstActivation_ = false;
  spelling_->loadSettings();
  action("OrthographeAction")->setChecked(spelling_->enabled());
  showMaximized();
  bool recovered = false;
  recoverTemporaryFiles(recovered);
  if (recovered) return;
  switch (request_.kind) {
    case StartRequest::New:
      run([this] { NouveauActionExecute(); });
      break;
    case StartRequest::Open:
      run([this] { openInNewWindow(request_.path); });
      break;
    default:
      if (AppSettings.StartNew != 0) run([this] { NouveauActionExecute(); });
      break;
  }
}

void Tmain::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

bool Tmain::eventFilter(QObject* watched, QEvent* event) {
  return QMainWindow::eventFilter(watched, event);
}

void Tmain::closeEvent(QCloseEvent* event) {
  // Every question first, in the frame's child order; one refusal and nothing closes.
  for (TChild* c : children()) {
    if (!c->FormCloseQuery()) {
      event->ignore();
      return;
    }
  }
  for (TChild* c : children()) c->closeConfirmed();
  event->accept();
}

}  // namespace scrivle
