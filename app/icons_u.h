// Button images: the desktop's icon theme where it has the icon, otherwise the bundled
// set (Adwaita's symbolic icons, see resources/icons/actions); tag buttons show their
// tag in the calculator font and the tag's colour.
#pragma once

#include <QIcon>
#include <string>
#include <string_view>

namespace scrivle {

QIcon actionIcon(std::string_view actionName);
// The calculator bytes a tag button shows ("" for other buttons).
std::string tagButtonText(std::string_view actionName);

}  // namespace scrivle
