// Button images: the desktop's icon theme where it has one, otherwise a small
// drawing; tag buttons show their tag in the calculator font.
#pragma once

#include <QIcon>
#include <string>
#include <string_view>

namespace scrivle {

QIcon actionIcon(std::string_view actionName);
// The calculator bytes a tag button shows ("" for other buttons).
std::string tagButtonText(std::string_view actionName);

}  // namespace scrivle
