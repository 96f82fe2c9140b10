#include "options/setup_u.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <system_error>

#include "desktop/app_icon_u.h"
#include "desktop/desktop.h"
#include "desktop/shell.h"
#include "document/host_u.h"
#include "editor/calc_font_u.h"
#include "editor/editor_view_u.h"
#include "platform/dialogs_u.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/qtext_u.h"
#include "registry/registry.h"
#include "settings/persistence.h"
#include "spell/spelling_u.h"
#include "tags/colorise.h"
#include "tags/tagkeydown.h"

namespace scrivle {

namespace fs = std::filesystem;

namespace {

// Minutes are multiplied into 32-bit milliseconds: this is the largest count that fits.
constexpr int kMaxMinutes = 35791;
constexpr const char* kColourHint = "Cliquez pour changer la couleur...";
constexpr const char* kDefHint = "Cochez pour sauvegarder ces options comme options par défaut";
constexpr const char* kDefBtnHint = "Cliquez pour remettre les options par défaut...";

void hint(QWidget* w, const QString& text) {
  w->setToolTip(text);
  w->setStatusTip(text);
}

template <typename W>
W* named(W* w, const char* name, const QString& hintText = {}) {
  w->setObjectName(name);
  if (!hintText.isEmpty()) hint(w, hintText);
  return w;
}

QColor toQColor(ColorRef c) {
  if ((c & 0x80000000U) != 0) return QApplication::palette().color(QPalette::ButtonText);
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
}

void setCaptionColour(QPushButton* b, ColorRef c) {
  b->setProperty("couleur", QVariant::fromValue<quint32>(c));
  QPalette p = b->palette();
  p.setColor(QPalette::ButtonText, toQColor(c));
  b->setPalette(p);
}

void setCaptionStyle(QPushButton* b, TOptions::Element e, bool on) {
  QFont f = b->font();
  if (e == TOptions::Element::Gras) {
    f.setBold(on);
  } else {
    f.setItalic(on);
  }
  b->setFont(f);
}

// A colour button: its caption is calculator text drawn cell by cell in the calculator
// font, as the editor draws it, in the colour, bold and italic of the style it edits.
class CalcCaptionButton : public QPushButton {
 public:
  explicit CalcCaptionButton(std::string bytes) : bytes_(std::move(bytes)) {
    setText(toQString(bytes_).replace('&', "&&"));  // for the size and for screen readers
    setMinimumHeight(CalcFont::instance().cellHeight() + 8);
  }

 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    CalcFont& calc = CalcFont::instance();
    const int n = static_cast<int>(bytes_.size());
    int x = (width() - (n * calc.cellWidth())) / 2;
    const int y = (height() - calc.cellHeight()) / 2;
    QColor colour = palette().color(QPalette::Active, QPalette::ButtonText);
    if (!isEnabled()) colour.setAlpha(96);  // the style stays readable, faded
    for (char c : bytes_) {
      calc.drawByte(painter, x, y, static_cast<unsigned char>(c), colour, font().bold(),
                    font().italic());
      x += calc.cellWidth();
    }
  }

 private:
  std::string bytes_;
};

// An integer as the dialog reads one: optional sign and decimal digits.
std::optional<int> integerIn(const QLineEdit* edit) {
  bool ok = false;
  const int v = edit->text().trimmed().toInt(&ok, 10);
  return ok ? std::optional<int>(v) : std::nullopt;
}

std::string localPath(const QString& text) {
  return pathToUtf8(QtDialogs::toPath(text));
}

QString fromLocalPath(const std::string& path) {
  return QtDialogs::toQString(pathFromUtf8(path));
}

// The rows of the '&' page: key shown in the name, caption, index into StylesEt.
struct EtRow {
  const char* key;
  const char* caption;
  std::size_t index;
};
constexpr std::array<EtRow, 6> kEtLeft = {{{"0", "&\\", 0},
                                           {"10", "&,", 1},
                                           {"20", "&;", 2},
                                           {"30", "&.", 3},
                                           {"Si", "&-", 9},
                                           {"Do", "&=", 10}}};
constexpr std::array<EtRow, 5> kEtRight = {
    {{"L", "&L", 4}, {"C", "&C", 5}, {"R", "&R", 6}, {"P", "&P", 7}, {"E", "&E", 8}}};

}  // namespace

TOptions::TOptions(QWidget* parent) : QDialog(parent) {
  setObjectName("Options");
  setWindowTitle("Options - Scrivle");
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  host_ = dynamic_cast<DocumentHost*>(parent);
  FormCreate();
}

void TOptions::setVisible(bool visible) {
  if (visible && PageControl1 == nullptr) buildPages();
  QDialog::setVisible(visible);
}

void TOptions::buildPages() {
  PageControl1 = named(new QTabWidget(this), "PageControl1");
  PageControl1->setUsesScrollButtons(false);  // every page caption in view, in full:
  PageControl1->setElideMode(Qt::ElideNone);  // the tab bar then sets the least width
  buildTitlesPage();
  DieseTagsPage = buildTagsPage(true);
  EtTagsPage = buildTagsPage(false);
  buildEditingPage();
  buildEnvironmentPage();
  buildUninstallPage();
  PageControl1->addTab(TitlesPage, "Titres customs");
  PageControl1->addTab(DieseTagsPage, "Couleurs tags # ...");
  PageControl1->addTab(EtTagsPage, "Couleurs tags && ...");
  PageControl1->addTab(EditingPage, "Options d'édition");
  PageControl1->addTab(EnvironmentPage, "Options d'environnement");
  PageControl1->addTab(UninstallPage, "Désinstallation");
  const std::array<const char*, 6> pageHints = {"Paramétrisez vos titres !!!",
                                                "Paramètrisez les couleurs des tags # !!!",
                                                "Paramètrisez les couleurs des tags & !!!",
                                                "Paramétrisez Scrivle !!!",
                                                "Paramètrisez Scrivle !!!",
                                                "Désinstallation de Scrivle"};
  for (int i = 0; i < 6; ++i) PageControl1->setTabToolTip(i, pageHints[static_cast<size_t>(i)]);

  OKBtn = named(new QPushButton("OK", this), "OKBtn");
  AppBtn = named(new QPushButton("Appliquer", this), "AppBtn");
  CancelBtn = named(new QPushButton("Annuler", this), "CancelBtn");
  OKBtn->setDefault(true);
  AppBtn->setEnabled(false);
  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  connect(AppBtn, &QPushButton::clicked, this, [this] { run([this] { AppBtnClick(); }); });
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

  auto* bar = new QHBoxLayout;
  bar->addStretch();
  bar->addWidget(OKBtn);
  bar->addWidget(AppBtn);
  bar->addWidget(CancelBtn);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(PageControl1);
  layout->addLayout(bar);
  layout->setSizeConstraint(QLayout::SetFixedSize);  // a fixed dialog border
  PageControl1->setCurrentIndex(0);
}

TOptions::~TOptions() = default;

void TOptions::setHost(DocumentHost* host) {
  host_ = host;
}

Dialogs& TOptions::dialogs() {
  if (host_ != nullptr) return host_->dialogs();
  if (!ownDialogs_) ownDialogs_ = std::make_unique<QtDialogs>(this);
  return *ownDialogs_;
}

bool TOptions::colourOn() const {
  if (host_ != nullptr) return host_->colourOn();
  return isSet(AppSettings.color);
}

void TOptions::run(const std::function<void()>& handler) {
  runCommand(dialogs(), handler);
}

// --- building the pages ------------------------------------------------------------

TOptions::StyleRow TOptions::makeRow(const QString& name, const std::string& caption,
                                     QCheckBox* defaultBox) {
  StyleRow row;
  row.Btn = new CalcCaptionButton(caption);
  row.Btn->setObjectName("Btn" + name);
  hint(row.Btn, kColourHint);
  row.CheckGras = new QCheckBox;
  row.CheckGras->setObjectName("CheckGras" + name);
  hint(row.CheckGras, "Cochez pour avoir le tag en gras");
  row.CheckIta = new QCheckBox;
  row.CheckIta->setObjectName("CheckIta" + name);
  hint(row.CheckIta, "Cochez pour avoir le tag en italique");
  QPushButton* b = row.Btn;
  connect(b, &QPushButton::clicked, this, [this, b] { run([this, b] { ChangeCouleur(b); }); });
  auto styleBox = [this, b, defaultBox](QCheckBox* box, Element element) {
    connect(box, &QCheckBox::clicked, this, [this, b, element, defaultBox](bool on) {
      if (defaultBox != nullptr) {
        ChangeBtnStyleCheck(b, element, defaultBox, on);
      } else {
        ChangeBtnStyle(b, element, on);
      }
    });
  };
  styleBox(row.CheckGras, Element::Gras);
  styleBox(row.CheckIta, Element::Italique);
  return row;
}

void TOptions::buildTitlesPage() {
  TitlesPage = named(new QWidget, "TitlesPage");
  auto* grid = new QGridLayout(TitlesPage);
  for (int i = 0; i < kTitleCount; ++i) {
    const QString n = QString::number(i + 1);
    auto* box = new QGroupBox("Titre " + n);
    box->setObjectName("GroupBox" + n);
    auto* edit = new QLineEdit;
    edit->setObjectName("EditMenu" + n);
    hint(edit, i == 0 ? QString("Nom qui apparaît sur le bouton du titre 1")
                      : "Nom qui apparaît sur le bouton du menu " + n);
    auto* view = new EditorView;
    view->setObjectName("RichEditMenu" + n);
    hint(view, "Ce qui sera inseré pour le titre " + n);
    view->setFixedSize(300, 84);
    view->onKeyDown = [this, i](int& key, ShiftState shift) { RichEditMenuKeyDown(i, key, shift); };
    view->onKeyPress = [this](unsigned char& ch) { EditMenuKeyPress(ch); };
    // A change without a typed character (Delete, a paste) counts as well: otherwise OK
    // would close without applying it.
    connect(view, &EditorView::textEdited, this, [this] {
      modif();
      CheckMenuDef->setChecked(false);
    });
    connect(edit, &QLineEdit::textEdited, this, [this] {
      SkipKeyPress = 0;
      modif();
      CheckMenuDef->setChecked(false);
    });
    auto* v = new QGridLayout(box);
    v->addWidget(new QLabel("Nom :"), 0, 0);
    v->addWidget(edit, 0, 1);
    v->addWidget(view, 1, 0, 1, 2);
    grid->addWidget(box, i / 2, i % 2);
    EditMenu[static_cast<std::size_t>(i)] = edit;
    RichEditMenu[static_cast<std::size_t>(i)] = view;
  }
  CheckMenuDef = named(new QCheckBox("Options par défaut"), "CheckMenuDef", kDefHint);
  BtnMenuDef = named(new QPushButton("Défaut"), "BtnMenuDef", kDefBtnHint);
  connect(CheckMenuDef, &QCheckBox::clicked, this, [this] { Check_DefClick(); });
  connect(BtnMenuDef, &QPushButton::clicked, this, [this] { run([this] { BtnMenuDefClick(); }); });
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(CheckMenuDef);
  bottom->addStretch();
  bottom->addWidget(BtnMenuDef);
  grid->addLayout(bottom, 2, 0, 1, 2);
}

QWidget* TOptions::buildTagsPage(bool diese) {
  const QString sep = diese ? "_" : "__";
  const char sign = diese ? '#' : '&';
  auto* page = new QWidget;
  page->setObjectName(diese ? "DieseTagsPage" : "EtTagsPage");
  QCheckBox* def =
      named(new QCheckBox("Options par défaut"), diese ? "Check_Def" : "Check__Def", kDefHint);
  auto& labels = diese ? labelsDiese_ : labelsEt_;
  auto* grid = new QGridLayout(page);
  auto addGroup = [&](int column, auto fill) {
    auto* box = new QGroupBox;
    auto* g = new QGridLayout(box);
    for (const char* text : {"Gras", "Italique"}) {
      auto* l = new QLabel(text);
      labels.push_back(l);
      g->addWidget(l, 0, text[0] == 'G' ? 1 : 2);
    }
    fill(g);
    g->setRowStretch(g->rowCount(), 1);  // rows from the top in both boxes
    grid->addWidget(box, 0, column);
  };
  auto addRow = [](QGridLayout* g, int line, const StyleRow& row) {
    g->addWidget(row.Btn, line, 0);
    g->addWidget(row.CheckGras, line, 1, Qt::AlignHCenter);
    g->addWidget(row.CheckIta, line, 2, Qt::AlignHCenter);
  };
  if (diese) {
    for (int half = 0; half < 2; ++half) {
      addGroup(half, [&](QGridLayout* g) {
        for (int k = 0; k < 5; ++k) {
          const std::size_t i = (static_cast<std::size_t>(half) * 5) + static_cast<std::size_t>(k);
          const std::string key(kDieseTagOrder[i]);
          RowsDiese[i] =
              makeRow(sep + QString::fromStdString(key), std::string(1, sign) + key, def);
          addRow(g, k + 1, RowsDiese[i]);
        }
      });
    }
  } else {
    addGroup(0, [&](QGridLayout* g) {
      int line = 1;
      for (const EtRow& r : kEtLeft) {
        RowsEt[r.index] = makeRow(sep + r.key, r.caption, def);
        addRow(g, line++, RowsEt[r.index]);
      }
    });
    addGroup(1, [&](QGridLayout* g) {
      int line = 1;
      for (const EtRow& r : kEtRight) {
        RowsEt[r.index] = makeRow(sep + r.key, r.caption, def);
        addRow(g, line++, RowsEt[r.index]);
      }
    });
  }

  StyleRow family = makeRow(sep + "All", std::string(1, sign) + "???", def);
  family.CheckGras->setText("Gras");
  family.CheckIta->setText("Italique");
  hint(family.CheckGras,
       diese ? "Cochez pour avoir les tags # en gras" : "Cochez pour avoir les tags & en gras");
  hint(family.CheckIta, diese ? "Cochez pour avoir les tags # en italique"
                              : "Cochez pour avoir les tags & en italique");
  // The same hint on both pages, '#' included, as the form has it.
  QCheckBox* all = named(new QCheckBox("Tous identiques"), diese ? "Check_All" : "Check__All",
                         "Cochez pour avoir tous les tags # identiques");
  QPushButton* defBtn =
      named(new QPushButton("Défaut"), diese ? "Btn_Def" : "Btn__Def", kDefBtnHint);
  auto* familyLine = new QHBoxLayout;
  familyLine->addWidget(all);
  familyLine->addWidget(family.Btn);
  familyLine->addWidget(family.CheckGras);
  familyLine->addWidget(family.CheckIta);
  familyLine->addStretch();
  auto* defLine = new QHBoxLayout;
  defLine->addWidget(def);
  defLine->addStretch();
  defLine->addWidget(defBtn);
  grid->addLayout(familyLine, 1, 0, 1, 2);
  grid->addLayout(defLine, 2, 0, 1, 2);

  connect(def, &QCheckBox::clicked, this, [this] { Check_DefClick(); });
  if (diese) {
    Row_All = family;
    Check_All = all;
    Check_Def = def;
    Btn_Def = defBtn;

  } else {
    Row__All = family;
    Check__All = all;
    Check__Def = def;
    Btn__Def = defBtn;
  }
  connect(all, &QCheckBox::clicked, this, [this, diese] { Check_AllClick(diese); });
  connect(defBtn, &QPushButton::clicked, this, [this, diese] { Btn_DefClick(diese); });
  return page;
}

void TOptions::buildEditingPage() {
  EditingPage = named(new QWidget, "EditingPage");
  auto* v = new QVBoxLayout(EditingPage);
  auto modifOn = [this](QLineEdit* e) {
    connect(e, &QLineEdit::textEdited, this, [this] { Check_DefClick(); });
  };
  auto modifOnBox = [this](QCheckBox* b) {
    connect(b, &QCheckBox::clicked, this, [this] { Check_DefClick(); });
  };

  auto* defaults = new QGroupBox("Options par défaut");
  auto* g = new QGridLayout(defaults);
  EditDefaultDir = named(new QLineEdit, "EditDefaultDir",
                         "Répertoire par défaut d'un nouveau fichier (aussi utilisé lors de "
                         "l'enregistrement s'il n'y a pas de répertoire spécifié)");
  EditDefaultName = named(new QLineEdit, "EditDefaultName",
                          "Nom par défaut d'un nouveau fichier (aussi utilisé lors de "
                          "l'enregistrement s'il n'y a pas de nom spécifié)");
  for (QLineEdit* e : {EditDefaultDir, EditDefaultName}) {
    limitCalcLength(e, 8);
    modifOn(e);
  }
  g->addWidget(new QLabel("Répertoire par défaut :"), 0, 0);
  g->addWidget(EditDefaultDir, 0, 1);
  g->addWidget(new QLabel("Nom par défaut :"), 1, 0);
  g->addWidget(EditDefaultName, 1, 1);

  auto* book = new QGroupBox("Bookmarks");
  auto* gb = new QGridLayout(book);
  RowBook = makeRow("Book", std::string(1, '\x0C'), nullptr);
  hint(RowBook.CheckGras, "Cochez pour avoir les bookmarks en gras");
  hint(RowBook.CheckIta, "Cochez pour avoir les bookmarks en italique");
  gb->addWidget(new QLabel("Gras"), 0, 1);
  gb->addWidget(new QLabel("Italique"), 0, 2);
  gb->addWidget(RowBook.Btn, 1, 0);
  gb->addWidget(RowBook.CheckGras, 1, 1, Qt::AlignHCenter);
  gb->addWidget(RowBook.CheckIta, 1, 2, Qt::AlignHCenter);

  auto* top = new QHBoxLayout;
  top->addWidget(defaults);
  top->addWidget(book);
  v->addLayout(top);

  auto* inser = new QGroupBox("Insetion des tags");
  auto* vi = new QVBoxLayout(inser);
  CheckInserMode1 = named(new QCheckBox("Insérer les tags # une seule fois"), "CheckInserMode1",
                          "Cochez pour n'insérer que #1 au lieu de #1#2 quand il n'y a pas de "
                          "texte sélectionné");
  CheckInserMode2 =
      named(new QCheckBox("Insérer les tags && de manière commutative"), "CheckInserMode2",
            "Cochez pour insérer les tags & en commutant (efface le tag s'il y est déjà)");
  vi->addWidget(CheckInserMode1);
  vi->addWidget(CheckInserMode2);
  v->addWidget(inser);

  auto* spelling = new QGroupBox("Orthographe");
  auto* hs = new QHBoxLayout(spelling);
  ComboLangue = named(new QComboBox, "ComboLangue",
                      "Langue du dictionnaire pour la vérification de l'orthographe");
  connect(ComboLangue, &QComboBox::activated, this, [this] { modif(); });
  hs->addWidget(new QLabel("Langue :"));
  hs->addWidget(ComboLangue);
  hs->addStretch();
  v->addWidget(spelling);

  CheckTimer = named(new QCheckBox("Enregistrement automatique toutes les"), "CheckTimer",
                     "Cochez pour activer l'enregistrement automatique");
  EditTimer = named(new QLineEdit, "EditTimer", "Nombre de minutes entre chaque enregistrement");
  // Digits only, and never more minutes than 32-bit milliseconds can hold.
  EditTimer->setValidator(new QRegularExpressionValidator(
      QRegularExpression("^([0-9]{0,4}|[0-2][0-9]{4}|3[0-4][0-9]{3}|35[0-6][0-9]{2}|357[0-8][0-9]|"
                         "3579[01])$"),
      EditTimer));
  EditTimer->setMaxLength(5);
  EditTimer->setFixedWidth(60);
  auto* timer = new QHBoxLayout;
  timer->addWidget(CheckTimer);
  timer->addWidget(EditTimer);
  timer->addWidget(new QLabel("minutes."));
  timer->addStretch();
  v->addLayout(timer);

  CheckTrait = named(new QCheckBox("Trait vertical (limite de l'écran TI)"), "CheckTrait");
  CheckTableCar = named(new QCheckBox("Table de caractères partielle"), "CheckTableCar");
  CheckTrait->hide();
  CheckTableCar->hide();
  v->addWidget(CheckTrait);
  v->addWidget(CheckTableCar);
  v->addStretch();
  modifOn(EditTimer);
  for (QCheckBox* b : {CheckInserMode1, CheckInserMode2, CheckTimer, CheckTrait, CheckTableCar}) {
    modifOnBox(b);
  }
}

void TOptions::buildEnvironmentPage() {
  EnvironmentPage = named(new QWidget, "EnvironmentPage");
  auto* grid = new QGridLayout(EnvironmentPage);
  auto modifOnBox = [this](QCheckBox* b) {
    connect(b, &QCheckBox::clicked, this, [this] { Check_DefClick(); });
  };

  auto* asso = new QGroupBox("Associations des fichiers TI-textes");
  auto* va = new QVBoxLayout(asso);
  CheckAsso89 = named(new QCheckBox("Textes 89 (.89t)"), "CheckAsso89",
                      "Cochez pour associer Scrivle avec les fichiers .89t");
  CheckAsso92 = named(new QCheckBox("Textes 92 (.92t)"), "CheckAsso92",
                      "Cochez pour associer Scrivle avec les fichiers .92t");
  CheckAsso9x = named(new QCheckBox("Textes 92+ (.9xt)"), "CheckAsso9x",
                      "Cochez pour associer Scrivle avec les fichiers .9xt");
  for (QCheckBox* b : {CheckAsso89, CheckAsso92, CheckAsso9x}) {
    va->addWidget(b);
    connect(b, &QCheckBox::clicked, this, [this] { IsAsso(); });
  }

  auto* menus = new QGroupBox("Menus contextuels");
  auto* vm = new QVBoxLayout(menus);
  CheckMenuOuvrir = named(new QCheckBox("Ouvrir"), "CheckMenuOuvrir",
                          "Cochez pour pouvoir ouvrir les fichiers associés avec Scrivle");
  CheckMenuZipper = named(new QCheckBox("Zipper"), "CheckMenuZipper",
                          "Cochez pour pouvoir zipper les fichiers associés avec Scrivle");
  // Shown here, with the other shell entries, so that the new-file entry can be turned
  // on and off.
  CheckMenuNouveau = named(new QCheckBox("Nouveau fichier TI-texte"), "CheckMenuNouveau");
  for (QCheckBox* b : {CheckMenuOuvrir, CheckMenuZipper, CheckMenuNouveau}) {
    vm->addWidget(b);
    modifOnBox(b);
  }

  RadioGroupExt = named(new QGroupBox("Extension par défaut"), "RadioGroupExt",
                        "Extension par défaut (pour l'enregistrement)");
  auto* he = new QHBoxLayout(RadioGroupExt);
  const std::array<const char*, 3> exts = {".89t", ".92t", ".9xt"};
  for (std::size_t i = 0; i < 3; ++i) {
    RadioExt[i] = new QRadioButton(exts[i]);
    he->addWidget(RadioExt[i]);
    connect(RadioExt[i], &QRadioButton::clicked, this, [this] { Check_DefClick(); });
  }

  auto* envir = new QGroupBox("Environnement");
  auto* ve = new QGridLayout(envir);
  CheckEnvirFlat = named(new QCheckBox("Boutons \"flat\""), "CheckEnvirFlat");
  CheckEnvirScroll = named(new QCheckBox("Barre de défilement"), "CheckEnvirScroll");
  CheckRecent = named(new QCheckBox("Sous-menu \"Récents\""), "CheckRecent");
  EditRecentNb = named(new QLineEdit, "EditRecentNb",
                       "Nombre de fichiers dans le sous-menu \"Récents\" (jusqu'à 9)");
  EditRecentNb->setMaxLength(1);
  EditRecentNb->setValidator(
      new QRegularExpressionValidator(QRegularExpression("^[0-9]?$"), EditRecentNb));
  EditRecentNb->setFixedWidth(30);
  connect(EditRecentNb, &QLineEdit::textEdited, this, [this] { Check_DefClick(); });
  ve->addWidget(CheckEnvirFlat, 0, 0, 1, 2);
  ve->addWidget(CheckEnvirScroll, 1, 0, 1, 2);
  ve->addWidget(CheckRecent, 2, 0);
  ve->addWidget(EditRecentNb, 2, 1);

  auto* start = new QGroupBox("Au démarrage :");
  auto* vs = new QVBoxLayout(start);
  CheckNew = named(new QCheckBox("Ouvrir un nouveau texte"), "CheckNew");
  CheckColor = named(new QCheckBox("Activer l'option \"Texte coloré\""), "CheckColor");
  vs->addWidget(CheckNew);
  vs->addWidget(CheckColor);
  for (QCheckBox* b : {CheckEnvirFlat, CheckEnvirScroll, CheckRecent, CheckNew, CheckColor}) {
    modifOnBox(b);
  }

  EditSaveDir =
      named(new QLineEdit, "EditSaveDir",
            "Tapez le répertoire par défaut pour l'ouverture et l'enregistrement des fichiers");
  connect(EditSaveDir, &QLineEdit::textEdited, this, [this] { Check_DefClick(); });
  BtnSaveDir = named(new QPushButton("Parcourir..."), "BtnSaveDir",
                     "Parcourir pour définir le répertoire par défaut");
  connect(BtnSaveDir, &QPushButton::clicked, this, [this] { run([this] { BtnSaveDirClick(); }); });
  auto* dir = new QHBoxLayout;
  dir->addWidget(EditSaveDir);
  dir->addWidget(BtnSaveDir);

  grid->addWidget(asso, 0, 0);
  grid->addWidget(menus, 0, 1);
  grid->addWidget(RadioGroupExt, 1, 0, 1, 2);
  grid->addWidget(envir, 2, 0);
  grid->addWidget(start, 2, 1);
  grid->addWidget(new QLabel("Répertoire d'enregistrement par défaut :"), 3, 0, 1, 2);
  grid->addLayout(dir, 4, 0, 1, 2);
}

void TOptions::buildUninstallPage() {
  UninstallPage = named(new QWidget, "UninstallPage");
  auto* v = new QVBoxLayout(UninstallPage);
  BtnUninst = named(new QPushButton("Désinstallation"), "BtnUninst",
                    "Effacez les clés de la bae de registre créées par Scrivle");
  connect(BtnUninst, &QPushButton::clicked, this, [this] { run([this] { BtnUninstClick(); }); });
  v->addStretch();
  v->addWidget(BtnUninst, 0, Qt::AlignHCenter);
  v->addWidget(
      new QLabel("En cliquant sur ce bouton, vous effacerez toutes les clés créées\n"
                 "par Scrivle dans la base de registre. Vous perdrez donc toute\n"
                 "votre configuration."));
  v->addWidget(new QLabel("Vous devrez néanmoins effacer les fichiers manuellement..."));
  v->addStretch();
}

// --- loading, showing, applying ----------------------------------------------------

void TOptions::FormCreate() {
  std::error_code ec;
  const fs::path cwd = fs::current_path(ec);
  const SettingsMessage show = [this](const std::string& text) { dialogs().message(text); };
  registry_ = openUserRegistry(show);
  const fs::path exe = QtDialogs::toPath(QCoreApplication::applicationFilePath());
  const SettingsLoad load = loadSettings(*registry_, AppSettings, cwd, exe, show);
  if (host_ != nullptr) {
    host_->setColourOn(isSet(AppSettings.color));
    if (load.recentsLoaded) host_->addRecent(pathFromUtf8(AppSettings.mru[0]));
  }
  // The end-to-end tests shorten the auto-save interval from the environment, in memory.
  if (const char* ms = std::getenv("SCRIVLE_AUTOSAVE_TIME")) {
    char* end = nullptr;
    const long v = std::strtol(ms, &end, 10);
    if (end != ms && v > 0 && v < 100000000) {
      AppSettings.AutoSaveTime = static_cast<std::int32_t>(v);
    }
  }
  if (load.complete) {
    const RegistryBatch batch(*registry_);  // one reading of the store for every question
    deriveShellFlags(*registry_, AppSettings);
  }
  StylesChanged = false;
  run([this] { applyToWindows(); });
}

void TOptions::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormShow();
  // Centred the first time, then where it was closed: the same place each time (moving
  // to the centre again would shift it by the title bar the system adds).
  if (place_) {
    move(*place_);
  } else if (const QScreen* screen = this->screen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

void TOptions::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  if (!event->spontaneous()) place_ = pos();
}

void TOptions::showRow(const StyleRow& row, ColorRef colour, Flag bold, Flag italic) {
  setCaptionColour(row.Btn, colour);
  setCaptionStyle(row.Btn, Element::Gras, isSet(bold));
  setCaptionStyle(row.Btn, Element::Italique, isSet(italic));
  row.CheckGras->setChecked(isSet(bold));
  row.CheckIta->setChecked(isSet(italic));
}

void TOptions::FormShow() {
  const TParametre& s = AppSettings;
  ComboLangue->clear();
  if (Spelling* spelling = host_ != nullptr ? host_->spelling() : nullptr) {
    for (const spell::DictionaryFiles& f : spelling->found()) {
      const spell::Language* l = spell::findLanguage(f.code);
      ComboLangue->addItem(
          QString::fromUtf8(l->caption.data(), static_cast<int>(l->caption.size())),
          QString::fromLatin1(f.code.data(), static_cast<int>(f.code.size())));
      if (f.code == spelling->language()) ComboLangue->setCurrentIndex(ComboLangue->count() - 1);
    }
  }
  ComboLangue->setEnabled(ComboLangue->count() > 0);
  showRow(RowBook, s.StyleBookmark.Couleur, s.StyleBookmark.Gras, s.StyleBookmark.Italique);
  showFamily(true, false);
  showFamily(false, false);
  CheckEnvirFlat->setChecked(isSet(s.flat));
  CheckEnvirScroll->setChecked(isSet(s.scroll));
  CheckColor->setChecked(isSet(s.color));
  CheckAsso89->setChecked(isSet(s.Asso89));
  CheckAsso92->setChecked(isSet(s.Asso92));
  CheckAsso9x->setChecked(isSet(s.Asso9x));
  CheckMenuOuvrir->setChecked(isSet(s.MenuOuvrir));
  CheckMenuZipper->setChecked(isSet(s.MenuZipper));
  CheckMenuNouveau->setChecked(isSet(s.MenuNouveau));
  EditDefaultDir->setText(truncateToCalcBytes(toQString(s.DefaultDir), 8));
  EditDefaultName->setText(truncateToCalcBytes(toQString(s.DefaultName), 8));
  const int ext = s.DefaultExt == "89t" ? 0 : s.DefaultExt == "92t" ? 1 : 2;
  RadioExt[static_cast<std::size_t>(ext)]->setChecked(true);
  CheckRecent->setChecked(isSet(s.enabled));
  EditRecentNb->setText(QString::number(s.Nb));
  for (std::size_t i = 0; i < kTitleCount; ++i) {
    EditMenu[i]->setText(toQString(s.Titres[i].nom));
    RichEditMenu[i]->model().load(s.Titres[i].texte);
    RichEditMenu[i]->model().setSel(s.Titres[i].Curseur);
  }
  EditSaveDir->setText(fromLocalPath(s.SaveDir));
  CheckInserMode1->setChecked(isSet(s.InserModDiese));
  CheckInserMode2->setChecked(isSet(s.InserModEt));
  CheckTrait->setChecked(isSet(s.Line));
  CheckNew->setChecked(isSet(s.StartNew));
  CheckTableCar->setChecked(isSet(s.TablePart));
  CheckTimer->setChecked(isSet(s.AutoSave));
  EditTimer->setText(minutesText(s.AutoSaveTime));
  setFamilyEnabled(true);
  setFamilyEnabled(false);
  IsAsso();
  StylesChanged = false;
  for (EditorView* view : RichEditMenu) {
    TextModel& m = view->model();
    if (colourOn()) {
      colorise(m, 1, m.length(), true, AppSettings);
    } else {
      decolourAll(m);
    }
  }
  CheckMenuDef->setChecked(isSet(s.MenuDefaut));
  Check_Def->setChecked(isSet(s.TagsDefautDiese));
  Check__Def->setChecked(isSet(s.TagsDefautEt));
  AppBtn->setEnabled(false);
}

namespace {

// One tag family's part of the settings: '#' (diese) or '&'.
TStyleTous& familyStyle(TParametre& s, bool diese) {
  return diese ? s.TousDiese : s.TousEt;
}

std::span<TStyleTag> tagStyles(TParametre& s, bool diese) {
  if (diese) return s.StylesDiese;
  return s.StylesEt;
}

}  // namespace

TOptions::FamilyPage TOptions::family(bool diese) {
  if (diese) return {RowsDiese, Row_All, Check_All, Check_Def, labelsDiese_};
  return {RowsEt, Row__All, Check__All, Check__Def, labelsEt_};
}

void TOptions::showFamily(bool diese, bool defaults) {
  // The settings as they are, or the family's default styles ("Défaut").
  const FamilyPage page = family(diese);
  const TStyleTous& all = familyStyle(AppSettings, diese);
  const std::span<TStyleTag> tags = tagStyles(AppSettings, diese);
  if (defaults) {
    showRow(page.all, all.DefCouleur, all.DefGras, all.DefItalique);
  } else {
    showRow(page.all, all.Couleur, all.Gras, all.Italique);
  }
  for (std::size_t i = 0; i < page.rows.size(); ++i) {
    const TStyleTag& t = tags[i];
    if (defaults) {
      showRow(page.rows[i], t.DefCouleur, t.DefGras, t.DefItalique);
    } else {
      showRow(page.rows[i], t.CouleurPropre, t.GrasPropre, t.ItaliquePropre);
    }
  }
  page.same->setChecked(isSet(defaults ? all.DefIdem : all.idem));
}

void TOptions::applyToTags(bool diese) {
  const FamilyPage page = family(diese);
  TStyleTous& all = familyStyle(AppSettings, diese);
  all.Couleur = captionColour(page.all.Btn);
  all.Gras = toFlag(page.all.CheckGras->isChecked());
  all.Italique = toFlag(page.all.CheckIta->isChecked());
  all.idem = toFlag(page.same->isChecked());
  const std::span<TStyleTag> tags = tagStyles(AppSettings, diese);
  for (std::size_t i = 0; i < page.rows.size(); ++i) {
    TStyleTag& t = tags[i];
    const StyleRow& row = page.rows[i];
    t.CouleurPropre = t.Couleur = captionColour(row.Btn);
    t.GrasPropre = t.Gras = toFlag(row.CheckGras->isChecked());
    t.ItaliquePropre = t.Italique = toFlag(row.CheckIta->isChecked());
  }
}

void TOptions::AppBtnClick() {
  TParametre& s = AppSettings;
  AppBtn->setEnabled(false);
  if (Spelling* spelling = host_ != nullptr ? host_->spelling() : nullptr;
      spelling != nullptr && ComboLangue->currentIndex() >= 0) {
    spelling->setLanguage(ComboLangue->currentData().toString().toStdString());
  }
  s.MenuDefaut = toFlag(CheckMenuDef->isChecked());
  s.TagsDefautDiese = toFlag(Check_Def->isChecked());
  s.TagsDefautEt = toFlag(Check__Def->isChecked());
  const ColorRef book = captionColour(RowBook.Btn);
  s.StyleBookmark.Couleur = s.StyleBookmark.CouleurPropre = book;
  s.StyleBookmark.Gras = s.StyleBookmark.GrasPropre = toFlag(RowBook.CheckGras->isChecked());
  s.StyleBookmark.Italique = s.StyleBookmark.ItaliquePropre = toFlag(RowBook.CheckIta->isChecked());
  // Each tag takes its own row; the same-for-all rule then gives the family style to the
  // effective copies while the own copies keep the rows.
  applyToTags(true);
  applyToTags(false);
  applySameForAll(s);

  s.flat = toFlag(CheckEnvirFlat->isChecked());
  s.scroll = toFlag(CheckEnvirScroll->isChecked());
  s.color = toFlag(CheckColor->isChecked());
  s.Asso89 = toFlag(CheckAsso89->isChecked());
  s.Asso92 = toFlag(CheckAsso92->isChecked());
  s.Asso9x = toFlag(CheckAsso9x->isChecked());
  s.DefaultDir = fromQString(EditDefaultDir->text());
  s.DefaultName = fromQString(EditDefaultName->text());
  s.DefaultExt = RadioExt[0]->isChecked() ? "89t" : RadioExt[1]->isChecked() ? "92t" : "9xt";
  for (std::size_t i = 0; i < kTitleCount; ++i) {
    s.Titres[i].nom = fromQString(EditMenu[i]->text());
    s.Titres[i].texte = RichEditMenu[i]->model().text();
    s.Titres[i].Curseur = static_cast<std::int32_t>(RichEditMenu[i]->model().selStart());
  }
  std::error_code ec;
  s.InstallDir = pathToUtf8(fs::current_path(ec));
  s.MenuOuvrir = toFlag(CheckMenuOuvrir->isChecked());
  s.MenuZipper = toFlag(CheckMenuZipper->isChecked());

  const QString dirText = EditSaveDir->text();
  const fs::path dir = QtDialogs::toPath(dirText);
  if (!dirText.isEmpty() && fs::is_directory(dir, ec)) {
    s.SaveDir = localPath(dirText);
  } else if (dialogs().confirm(
                 "Voulez-vous que Scrivle crée le répertoire " + dirText.toStdString(), false) ==
             Answer::Yes) {
    if (fs::create_directory(dir, ec) && !ec) s.SaveDir = localPath(dirText);
  }

  s.InserModDiese = toFlag(CheckInserMode1->isChecked());
  s.InserModEt = toFlag(CheckInserMode2->isChecked());
  s.Line = toFlag(CheckTrait->isChecked());
  s.enabled = toFlag(CheckRecent->isChecked());
  if (const auto nb = integerIn(EditRecentNb)) {
    s.Nb = static_cast<std::uint8_t>(*nb & 0xFF);
  } else {
    dialogs().message("La valeur du nombre de fichiers récents est ignorée, car non entière");
    EditRecentNb->setText(QString::number(s.Nb));
  }
  s.MenuNouveau = toFlag(CheckMenuNouveau->isChecked());
  s.StartNew = toFlag(CheckNew->isChecked());
  s.AutoSave = toFlag(CheckTimer->isChecked());
  if (const auto minutes = integerIn(EditTimer)) {
    const int bounded = std::clamp(*minutes, -kMaxMinutes, kMaxMinutes);
    s.AutoSaveTime = bounded * 60 * 1000;
    if (bounded != *minutes) EditTimer->setText(QString::number(bounded));
  } else {
    dialogs().message(
        "La valeur du nombre de minutes pour l'enregistrement automatique est ignorée, car non "
        "entière");
    EditTimer->setText(minutesText(s.AutoSaveTime));
  }
  s.TablePart = toFlag(CheckTableCar->isChecked());
  saveAndRegister();
}

void TOptions::saveAndRegister() {
  const SettingsMessage show = [this](const std::string& text) { dialogs().message(text); };
  if (!saveSettings(*registry_, AppSettings, show)) return;
  try {
    registerShell(*registry_, AppSettings);
  } catch (const RegistryError& e) {
    show(e.what());
    return;
  }
  if (desktopIntegrationSupported()) {
    // The desktop mirrors what the registry now holds; a file that cannot be written
    // there does not undo the settings just applied.
    try {
      syncDesktopIntegration(
          readShellState(*registry_, AppSettings.InstallDir), DesktopFolders::fromEnvironment(),
          QtDialogs::toPath(QCoreApplication::applicationFilePath()), applicationIconFiles());
    } catch (const std::exception& e) {
      show(e.what());
    }
  }
  applyToWindows();
}

void TOptions::OKBtnClick() {
  if (AppBtn->isEnabled()) run([this] { AppBtnClick(); });
  accept();
}

void TOptions::modif() {
  AppBtn->setEnabled(true);
}

void TOptions::Check_DefClick() {
  modif();
}

void TOptions::applyToWindows() {
  if (host_ == nullptr) return;
  try {
    // Once painted again, the documents carry the new styles.
    if (host_->applySettings(StylesChanged)) StylesChanged = false;
  } catch (...) {
    StylesChanged = false;
    throw;
  }
}

// --- handlers ---------------------------------------------------------------------

ColorRef TOptions::captionColour(const QPushButton* button) {
  return button->property("couleur").value<quint32>();
}

QString TOptions::minutesText(std::int32_t milliseconds) {
  QLocale locale;
  locale.setNumberOptions(QLocale::OmitGroupSeparator);
  return locale.toString(static_cast<double>(milliseconds) / 60000.0, 'f',
                         QLocale::FloatingPointShortest);
}

void TOptions::ChangeCouleur(QPushButton* button) {
  const auto colour = dialogs().chooseColour(captionColour(button));
  if (!colour) return;
  setCaptionColour(button, *colour);
  modif();
  StylesChanged = true;
  if (DieseTagsPage->isAncestorOf(button)) Check_Def->setChecked(false);
  if (EtTagsPage->isAncestorOf(button)) Check__Def->setChecked(false);
}

void TOptions::ChangeBtnStyle(QPushButton* button, Element element, bool on) {
  modif();
  StylesChanged = true;
  setCaptionStyle(button, element, on);
}

void TOptions::ChangeBtnStyleCheck(QPushButton* button, Element element, QCheckBox* box, bool on) {
  ChangeBtnStyle(button, element, on);
  box->setChecked(false);
}

void TOptions::setFamilyEnabled(bool diese) {
  const FamilyPage page = family(diese);
  const bool same = page.same->isChecked();
  auto enable = [](const StyleRow& row, bool on) {
    row.Btn->setEnabled(on);
    row.CheckGras->setEnabled(on);
    row.CheckIta->setEnabled(on);
  };
  for (const StyleRow& r : page.rows) enable(r, !same);
  for (QLabel* l : page.labels) l->setEnabled(!same);
  enable(page.all, same);
}

void TOptions::Check_AllClick(bool diese) {
  modif();
  setFamilyEnabled(diese);
  family(diese).byDefault->setChecked(false);
  StylesChanged = true;  // the open documents take the new rule on Apply
}

void TOptions::IsAsso() {
  modif();
  const bool any = CheckAsso89->isChecked() || CheckAsso92->isChecked() || CheckAsso9x->isChecked();
  CheckMenuOuvrir->setEnabled(any);
  CheckMenuZipper->setEnabled(any);
  CheckMenuNouveau->setEnabled(any);
}

void TOptions::RichEditMenuKeyDown(int title, int& key, ShiftState shift) {
  // Titles are edited with the keys and live colouring of a document; the size change
  // the routine reports means nothing here.
  TextModel& model = RichEditMenu[static_cast<std::size_t>(title)]->model();
  (void)TagKeyDown(model, key, shift, SkipKeyPress, colourOn(), AppSettings);
}

void TOptions::EditMenuKeyPress(unsigned char& ch) {
  if (SkipKeyPress != 0) ch = 0;
  SkipKeyPress = 0;
  modif();
  CheckMenuDef->setChecked(false);
}

void TOptions::BtnSaveDirClick() {
  const auto folder = dialogs().chooseFolder(
      "Sélectionnez le répertoire que vous voulez utilisez par défaut pour vos fichiers",
      QtDialogs::toPath(EditSaveDir->text()));
  if (!folder) return;
  EditSaveDir->setText(QtDialogs::toQString(*folder));
  modif();
}

void TOptions::BtnMenuDefClick() {
  modif();
  for (std::size_t i = 0; i < kTitleCount; ++i) {
    EditMenu[i]->setText(toQString(AppSettings.Titres[i].Defnom));
    TextModel& m = RichEditMenu[i]->model();
    m.load(AppSettings.Titres[i].Deftexte);
    colorise(m, 1, m.length(), colourOn(), AppSettings);
  }
  CheckMenuDef->setChecked(true);
}

void TOptions::Btn_DefClick(bool diese) {
  showFamily(diese, true);
  setFamilyEnabled(diese);
  family(diese).byDefault->setChecked(true);
  StylesChanged = true;
  modif();
}

void TOptions::BtnUninstClick() {
  uninstallScrivle(*registry_, AppSettings);
  if (desktopIntegrationSupported())
    removeDesktopIntegration(DesktopFolders::fromEnvironment(), applicationIconFiles());
}

}  // namespace scrivle
