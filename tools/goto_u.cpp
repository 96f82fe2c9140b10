#include "tools/goto_u.h"

#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "document/child_u.h"
#include "editor/editor_view_u.h"
#include "platform/borders_u.h"
#include "platform/dialogs.h"
#include "tools/goto.h"

namespace scrivle {

namespace {

// Control characters are the field's own commands (Ctrl+V, Ctrl+Z...), not typed text.
bool typedTextAccepted(const QString& text) {
  for (const QChar c : text) {
    if (c.unicode() >= 32 && c.unicode() != 127 && !goToKeyAccepted(c.unicode())) return false;
  }
  return true;
}

}  // namespace

TGoToDlg::TGoToDlg(QWidget* parent) : QDialog(parent) {
  setObjectName("GoToDlg");
  setWindowTitle(QStringLiteral("Aller à la ligne..."));

  Bevel1 = new QFrame(this);
  Bevel1->setObjectName("Bevel1");
  Bevel1->setFrameShape(QFrame::Box);
  Bevel1->setFrameShadow(QFrame::Sunken);
  Label1 = new QLabel(QStringLiteral("Numéro de la ligne :"), Bevel1);
  Label1->setObjectName("Label1");
  Edit1 = new QLineEdit(Bevel1);
  Edit1->setObjectName("Edit1");
  Edit1->setToolTip(QStringLiteral("Tapez le numéro de la ligne où vous voulez aller..."));
  Edit1->installEventFilter(this);
  Label1->setBuddy(Edit1);
  Label2 = new QLabel(QStringLiteral("Notez que si vous entrez un nombre trop grand,\n"
                                     "le curseur sera placé sur la dernière ligne..."),
                      Bevel1);
  Label2->setObjectName("Label2");

  auto* inner = new QGridLayout(Bevel1);
  inner->addWidget(Label1, 0, 0);
  inner->addWidget(Edit1, 0, 1);
  inner->addWidget(Label2, 1, 0, 1, 2);

  OKBtn = new QPushButton(QStringLiteral("OK"), this);
  OKBtn->setObjectName("OKBtn");
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton(QStringLiteral("Annuler"), this);
  CancelBtn->setObjectName("CancelBtn");
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(OKBtn);
  buttons->addWidget(CancelBtn);
  buttons->addStretch();

  auto* outer = new QHBoxLayout(this);
  outer->setContentsMargins(8, 8, 8, 8);
  outer->addWidget(Bevel1, 1);
  outer->addLayout(buttons);

  setTabOrder(OKBtn, CancelBtn);
  setTabOrder(CancelBtn, Edit1);

  connect(OKBtn, &QPushButton::clicked, this, [this] {
    OKBtnClick();
    accept();  // the button closes with OK, after the message too
  });
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

  // The client area the layout needs, never smaller than the form's own.
  setFixedSize(sizeHint().expandedTo(QSize(384, 95)));
  setDialogBorder(*this);
}

void TGoToDlg::setTarget(EditorView* editor, Dialogs* dialogs) {
  editor_ = editor;
  dialogs_ = dialogs;
}

int TGoToDlg::showFor(EditorView& editor, Dialogs& dialogs) {
  setTarget(&editor, &dialogs);
  const int result = exec();
  setTarget(nullptr, nullptr);
  return result;
}

void TGoToDlg::FormActivate() {
  if (editor_ == nullptr) return;
  Edit1->setText(QString::fromStdString(goToFieldText(editor_->model())));
}

void TGoToDlg::OKBtnClick() {
  if (editor_ == nullptr || dialogs_ == nullptr) return;
  if (goToLine(editor_->model(), Edit1->text().toStdString(), *dialogs_)) {
    editor_->scrollCaretIntoView();
  }
}

void TGoToDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormActivate();
  // The number is ready to be typed over.
  Edit1->setFocus();
  Edit1->selectAll();
  if (const QScreen* screen = this->screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
}

bool TGoToDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Edit1) {
    if (event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      // Ctrl without Alt makes a command; with Alt (AltGr on Windows) it types.
      const bool command =
          (key->modifiers() & Qt::ControlModifier) && !(key->modifiers() & Qt::AltModifier);
      if (!command && !typedTextAccepted(key->text())) {
        return true;
      }
    } else if (event->type() == QEvent::InputMethod) {
      auto* im = static_cast<QInputMethodEvent*>(event);
      if (!typedTextAccepted(im->commitString())) {
        im->setCommitString(QString());
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

void AllerligneActionExecute(TGoToDlg& dialog, TChild* child, Dialogs& dialogs) {
  if (child == nullptr || child->Richedit == nullptr) return;
  dialog.showFor(*child->Richedit, dialogs);
}

}  // namespace scrivle
