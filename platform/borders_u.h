// The borders a window asks of the window manager, as the desktop should draw them.
#pragma once

#include <Qt>

class QWidget;

namespace scrivle {

// The flags of a dialog border (for boxes that size themselves).
Qt::WindowFlags dialogBorderFlags();

// A dialog: a title bar with the close box, no minimise or maximise button, and a size
// of its own that the person does not change. Call before the window is first shown.
void setDialogBorder(QWidget& window);

// A tool window: a small title bar with only the close box.
void setToolWindowBorder(QWidget& window);

}  // namespace scrivle
