// The bookmarks window: lists the active document's bookmarks and moves the caret
// to the one picked.
#pragma once

#include <QDialog>

#include "tools/bookmarks.h"

class QListWidget;

namespace scrivle {

class EditorView;

class Tindex : public QDialog {
  Q_OBJECT
 public:
  explicit Tindex(QWidget* parent = nullptr);

  QListWidget* ListBox = nullptr;
  BookmarkWindowGeometry geometry = bookmarkGeometryFor("9xt");

  // Builds the list for editor and sizes the window (without showing it).
  void FormShow(EditorView& editor);
  // Shows the window modally over editor's document.
  void showFor(EditorView& editor);
  void ListBoxDblClick();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  EditorView* editor_ = nullptr;
};

}  // namespace scrivle
