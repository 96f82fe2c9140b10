// Scrivle's own icon: the window icon of every window, and the files the desktop
// integration installs into the user's hicolor icon theme.
#pragma once

#include <QIcon>
#include <vector>

#include "desktop/desktop.h"

namespace scrivle {

// The window icon: the small form at 16 and 24 px, the scalable one at 32 to 64 px.
QIcon applicationIcon();

// The hicolor theme files ("48x48/apps/scrivle.png", "scalable/apps/scrivle.svg"...)
// with their bytes, as compiled into the program.
std::vector<DesktopIcon> applicationIconFiles();

}  // namespace scrivle
