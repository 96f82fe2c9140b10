#include "search/edit_commands_u.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>

#include "document/child_u.h"
#include "document/host_u.h"
#include "document/plaintext.h"
#include "editor/editor_view_u.h"
#include "platform/clipboard.h"
#include "platform/dialogs.h"
#include "search/edit_commands.h"
#include "settings/parametre.h"

namespace scrivle {
namespace {

void applyChange(TChild& child, const TextChange& change) {
  if (!change.changed) return;
  child.markModified();
  child.addSize(change.sizeDelta);
  child.FormActivate();
}

}  // namespace

EditCommands::EditCommands(DocumentHost& host, std::vector<QLineEdit*> boxes, QObject* parent)
    : QObject(parent), host_(host), boxes_(std::move(boxes)) {
  for (QLineEdit* box : boxes_) {
    if (box != nullptr) box->installEventFilter(this);
  }
}

QLineEdit* EditCommands::focusedBox() const {
  for (QLineEdit* box : boxes_) {
    if (box != nullptr && box->hasFocus()) return box;
  }
  return nullptr;
}

TChild* EditCommands::document() const {
  return host_.activeChild();
}

bool EditCommands::isRoutedKey(const QKeyEvent* key) const {
  // The box's own undo and redo keys too: undo never acts on a box.
  if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)) return true;
  const QKeySequence pressed(key->keyCombination());
  for (const QAction* a : routed_) {
    if (a != nullptr && !a->shortcut().isEmpty() && a->shortcut() == pressed) return true;
  }
  return false;
}

bool EditCommands::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (isRoutedKey(key)) {
      // Left unaccepted, the override lets the main window's shortcut fire; a key press
      // that still arrives belongs to a disabled command and does nothing.
      key->ignore();
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

void EditCommands::CouperActionExecute() {
  if (QLineEdit* box = focusedBox()) {
    box->cut();
    return;
  }
  if (TChild* c = document()) {
    applyChange(*c,
                cutSelection(c->model(), *c->Richedit->clipboard(), host_.colourOn(), AppSettings));
  }
}

void EditCommands::CopierActionExecute() {
  if (QLineEdit* box = focusedBox()) {
    box->copy();
    return;
  }
  if (TChild* c = document()) copySelection(c->model(), *c->Richedit->clipboard());
}

void EditCommands::CollerActionExecute() {
  if (QLineEdit* box = focusedBox()) {
    box->paste();
    return;
  }
  if (TChild* c = document()) {
    Clipboard& clipboard = *c->Richedit->clipboard();
    applyChange(*c, pasteClipboard(c->model(), clipboard, host_.colourOn(), AppSettings));
    c->Richedit->scrollCaretIntoView();
    if (const std::size_t n = clipboard.replacedInLastText(); n > 0) {
      host_.dialogs().message(replacedCharactersMessage(n));
    }
  }
}

void EditCommands::SlectionnertoutActionExecute() {
  if (QLineEdit* box = focusedBox()) {
    box->selectAll();
    return;
  }
  if (TChild* c = document()) c->model().selectAll();
}

void EditCommands::DfaireActionExecute() {
  if (TChild* c = document()) applyChange(*c, undoStep(c->model()));
}

void EditCommands::RefaireActionExecute() {
  if (TChild* c = document()) applyChange(*c, redoStep(c->model()));
}

}  // namespace scrivle
