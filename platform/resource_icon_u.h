// Icons whose pictures are made only when a size is first shown: from PNG files in
// several sizes (QIcon::addFile decodes every file at once, which start-up cannot afford
// for sixty files of which a tool bar shows one size), or drawn by the program.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>
#include <functional>
#include <vector>

namespace scrivle {

// `pattern` names the files with %1 standing for the size in pixels
// (":/icons/actions/edit-cut-%1.png"); `sizes` are the square sizes drawn, ascending.
QIcon resourceIcon(const QString& pattern, std::vector<int> sizes);
// An icon of one square size drawn by `draw` when first shown (kept under `key`).
QIcon drawnIcon(const QString& key, int side, std::function<QPixmap()> draw);

}  // namespace scrivle
