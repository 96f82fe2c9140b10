#include "search/find_dialogs_u.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "document/child_u.h"
#include "document/host_u.h"
#include "editor/editor_view_u.h"
#include "platform/borders_u.h"
#include "platform/qtext_u.h"
#include "settings/parametre.h"

namespace scrivle {

// --- dialogs ----------------------------------------------------------------------------

TFindDialog::TFindDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("FindDialog");
  setWindowTitle("Rechercher");
  setModal(false);
  FindText = new QLineEdit(this);
  FindText->setObjectName("FindText");
  MatchCase = new QCheckBox("Respecter la &casse", this);
  MatchCase->setObjectName("MatchCase");
  WholeWord = new QCheckBox("&Mot entier uniquement", this);
  WholeWord->setObjectName("WholeWord");
  FindNextBtn = new QPushButton("&Suivant", this);
  FindNextBtn->setObjectName("FindNextBtn");
  FindNextBtn->setDefault(true);
  CancelBtn = new QPushButton("Annuler", this);
  CancelBtn->setObjectName("CancelBtn");

  auto* label = new QLabel("&Rechercher :", this);
  label->setBuddy(FindText);
  fields_ = new QGridLayout;
  fields_->addWidget(label, 0, 0);
  fields_->addWidget(FindText, 0, 1);
  auto* left = new QVBoxLayout;
  left->addLayout(fields_);
  left->addWidget(WholeWord);
  left->addWidget(MatchCase);
  left->addStretch();
  buttons_ = new QVBoxLayout;
  buttons_->addWidget(FindNextBtn);
  buttons_->addWidget(CancelBtn);
  buttons_->addStretch();
  auto* top = new QHBoxLayout(this);
  top->addLayout(left, 1);
  top->addLayout(buttons_);
  setDialogBorder(*this);

  connect(FindText, &QLineEdit::textChanged, this, &TFindDialog::refreshButtons);
  connect(FindNextBtn, &QPushButton::clicked, this, &TFindDialog::findNext);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  refreshButtons();
}

void TFindDialog::setFindText(std::string_view bytes) {
  FindText->setText(toQString(bytes));
  FindText->selectAll();
}

SearchOptions TFindDialog::options() const {
  SearchOptions o;
  o.findText = fromQString(FindText->text());
  o.matchCase = MatchCase->isChecked();
  o.wholeWord = WholeWord->isChecked();
  return o;
}

void TFindDialog::refreshButtons() {
  // As the system's search boxes do: nothing to look for, nothing to press.
  const bool any = !FindText->text().isEmpty();
  for (auto* b : findChildren<QPushButton*>()) {
    if (b != CancelBtn) b->setEnabled(any);
  }
}

TReplaceDialog::TReplaceDialog(QWidget* parent) : TFindDialog(parent) {
  setObjectName("ReplaceDialog");
  setWindowTitle("Remplacer");
  ReplaceText = new QLineEdit(this);
  ReplaceText->setObjectName("ReplaceText");
  ReplaceBtn = new QPushButton("&Remplacer", this);
  ReplaceBtn->setObjectName("ReplaceBtn");
  ReplaceAllBtn = new QPushButton("Remplacer &tout", this);
  ReplaceAllBtn->setObjectName("ReplaceAllBtn");
  auto* label = new QLabel("Rem&placer par :", this);
  label->setBuddy(ReplaceText);
  fields_->addWidget(label, 1, 0);
  fields_->addWidget(ReplaceText, 1, 1);
  buttons_->insertWidget(1, ReplaceBtn);
  buttons_->insertWidget(2, ReplaceAllBtn);
  setTabOrder(FindText, ReplaceText);
  connect(ReplaceBtn, &QPushButton::clicked, this, &TReplaceDialog::replace);
  connect(ReplaceAllBtn, &QPushButton::clicked, this, &TReplaceDialog::replaceAll);
  refreshButtons();
}

SearchOptions TReplaceDialog::options() const {
  SearchOptions o = TFindDialog::options();
  o.replaceText = fromQString(ReplaceText->text());
  return o;
}

// --- commands ---------------------------------------------------------------------------

SearchCommands::SearchCommands(QWidget* window, DocumentHost& host, QAction* findNext)
    : QObject(window),
      host_(host),
      findNext_(findNext),
      engine_(std::make_unique<FindReplace>(host.dialogs())) {
  FindDialog = new TFindDialog(window);
  ReplaceDialog = new TReplaceDialog(window);
  engine_->onNextChanged = [this](bool enabled, int mode) {
    if (findNext_ != nullptr) {
      findNext_->setEnabled(enabled);
      findNext_->setData(mode);
    }
  };
  connect(FindDialog, &TFindDialog::findNext, this,
          [this] { host_.run([this] { FindDialogFind(); }); });
  connect(ReplaceDialog, &TFindDialog::findNext, this,
          [this] { host_.run([this] { ReplaceDialogFind(); }); });
  connect(ReplaceDialog, &TReplaceDialog::replace, this,
          [this] { host_.run([this] { ReplaceDialogReplace(true); }); });
  connect(ReplaceDialog, &TReplaceDialog::replaceAll, this,
          [this] { host_.run([this] { ReplaceDialogReplace(false); }); });
}

SearchCommands::~SearchCommands() = default;

void SearchCommands::withDocument(
    const std::function<TextChange(TChild&, SearchTarget&)>& command) {
  TChild* child = host_.activeChild();
  if (child == nullptr) return;
  SearchTarget target{child->model(), host_.colourOn(), AppSettings, [child] {
                        child->window()->activateWindow();
                        child->Richedit->setFocus();
                      }};
  const TextChange change = command(*child, target);
  if (change.changed) {
    child->markModified();
    child->addSize(change.sizeDelta);
    child->FormActivate();
  }
}

void SearchCommands::showDialog(TFindDialog* dialog) {
  TChild* child = host_.activeChild();
  if (child == nullptr) return;
  const std::string selected = child->model().selectedText();
  if (!selected.empty()) dialog->setFindText(selected);
  dialog->show();
  dialog->raise();
  dialog->activateWindow();
  dialog->FindText->setFocus();
}

void SearchCommands::ChercherActionExecute() {
  showDialog(FindDialog);
}

void SearchCommands::RemplacerActionExecute() {
  showDialog(ReplaceDialog);
}

void SearchCommands::SuivantActionExecute() {
  withDocument([this](TChild&, SearchTarget& t) {
    return engine_->SuivantActionExecute(*FindDialog, *ReplaceDialog, t);
  });
}

void SearchCommands::FindDialogFind() {
  withDocument([this](TChild&, SearchTarget& t) {
    engine_->FindDialogFind(*FindDialog, t);
    return TextChange{};
  });
}

void SearchCommands::ReplaceDialogFind() {
  withDocument([this](TChild&, SearchTarget& t) {
    engine_->ReplaceDialogFind(*ReplaceDialog, t);
    return TextChange{};
  });
}

void SearchCommands::ReplaceDialogReplace(bool replaceOne) {
  withDocument([this, replaceOne](TChild&, SearchTarget& t) {
    return engine_->ReplaceDialogReplace(*ReplaceDialog, t, replaceOne);
  });
}

}  // namespace scrivle
