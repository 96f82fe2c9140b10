#include "tools/index_u.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QVBoxLayout>

#include "editor/calc_font_u.h"
#include "editor/editor_view_u.h"
#include "platform/borders_u.h"
#include "platform/qtext_u.h"

namespace scrivle {

Tindex::Tindex(QWidget* parent) : QDialog(parent) {
  setObjectName("index");
  setToolWindowBorder(*this);
  setWindowTitle("Marque-pages");
  setModal(true);
  ListBox = new QListWidget(this);
  ListBox->setObjectName("ListBox");
  ListBox->setCursor(Qt::PointingHandCursor);
  ListBox->setToolTip("Double-clic ou entrée pour aller au bookmark");
  ListBox->setFont(CalcFont::instance().font(11));
  ListBox->setUniformItemSizes(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(ListBox);
  resize(492, 196);
  move(253, 169);
  connect(ListBox, &QListWidget::itemDoubleClicked, this, [this] { ListBoxDblClick(); });
}

void Tindex::FormShow(EditorView& editor) {
  editor_ = &editor;
  ListBox->clear();
  for (const std::string& e : bookmarkEntries(editor.model(), geometry.NameWidth)) {
    auto* item = new QListWidgetItem(toQString(e), ListBox);
    item->setData(Qt::UserRole, QByteArray(e.data(), static_cast<int>(e.size())));
    item->setSizeHint(QSize(0, 16));
  }
  const bool scroll = ListBox->count() > geometry.mostEntries;
  resize(scroll ? geometry.widthWithScrollBar : geometry.width, geometry.height);
}

void Tindex::showFor(EditorView& editor) {
  FormShow(editor);
  // Nothing picked yet: Enter alone closes the window and leaves the caret where it is.
  ListBox->setCurrentItem(nullptr);
  ListBox->clearSelection();
  exec();
  editor_ = nullptr;
}

void Tindex::ListBoxDblClick() {
  QListWidgetItem* item = ListBox->currentItem();
  EditorView* editor = editor_;
  accept();
  if (item == nullptr || editor == nullptr || !item->isSelected()) return;
  const QByteArray raw = item->data(Qt::UserRole).toByteArray();
  const Pos line = bookmarkLineOf(
      std::string_view(raw.constData(), static_cast<std::size_t>(raw.size())), geometry.NameWidth);
  if (line < 0) return;
  const Pos start = editor->model().lineStart(line);
  if (start < 0) return;
  editor->model().setSel(start + 1, 0);
  editor->scrollCaretIntoView();
}

void Tindex::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    ListBoxDblClick();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace scrivle
