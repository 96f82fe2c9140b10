#include "platform/borders_u.h"

#include <QLayout>
#include <QWidget>

namespace scrivle {

// Naming the title and close hints (with CustomizeWindowHint) tells the window manager
// exactly which buttons there are; without them a window falls back to "all functions".
Qt::WindowFlags dialogBorderFlags() {
  return Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
         Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
}

void setDialogBorder(QWidget& window) {
  window.setWindowFlags(dialogBorderFlags());
  // A dialog that has fixed its own size keeps it; the others take their layout's.
  QLayout* layout = window.layout();
  if (layout != nullptr && window.minimumSize() != window.maximumSize()) {
    layout->setSizeConstraint(QLayout::SetFixedSize);
  }
}

void setToolWindowBorder(QWidget& window) {
  window.setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
}

}  // namespace scrivle
