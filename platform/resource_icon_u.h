// Icons drawn from PNG files in several sizes, read only when a size is first shown:
// QIcon::addFile decodes every file at once, which start-up cannot afford for sixty
// files of which a tool bar shows one size.
#pragma once

#include <QIcon>
#include <QString>
#include <vector>

namespace scrivle {

// `pattern` names the files with %1 standing for the size in pixels
// (":/icons/actions/edit-cut-%1.png"); `sizes` are the square sizes drawn, ascending.
QIcon resourceIcon(const QString& pattern, std::vector<int> sizes);

}  // namespace scrivle
