// Icons whose pictures are made only when a size is first shown: from PNG files in
// several sizes (QIcon::addFile decodes every file at once, which start-up cannot afford
// for sixty files of which a tool bar shows one size), or drawn by the program.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStyle>
#include <functional>
#include <vector>

namespace scrivle {

// `pattern` names the files with %1 standing for the size in pixels
// (":/icons/actions/edit-cut-%1.png"); `sizes` are the square sizes drawn, ascending.
QIcon resourceIcon(const QString& pattern, std::vector<int> sizes);
// An icon of one square size drawn by `draw` when first shown (kept under `key`).
QIcon drawnIcon(const QString& key, int side, std::function<QPixmap()> draw);

// Gives the application a style that is the one it has (the desktop's, or the one asked
// for on the command line) except that the standard icons Qt's frames ask for as they are
// built (the overflow arrows of the menu bar and tool bars, the buttons of a document
// window's title bar) are read when first drawn. The first picture Qt reads from its
// resources makes it open every image-format plugin (and libjpeg) to ask whether one of
// them reads PNG: a cost the start-up would otherwise pay for pictures it may never show.
void readStandardIconsWhenShown();
// That style around `base`, which it takes.
QStyle* styleReadingStandardIconsWhenShown(QStyle* base);

}  // namespace scrivle
