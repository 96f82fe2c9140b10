// What sets the systems the program is built for apart, as constants: code outside
// platform/ tests these (if constexpr, or plainly) instead of preprocessor conditions,
// so that both branches are compiled, and checked, on every system.
#pragma once

namespace scrivle::os {

#ifdef _WIN32
inline constexpr bool kWindows = true;
// Between the folders of a list such as $DICPATH or $PATH.
inline constexpr char kPathListSeparator = ';';
#else
inline constexpr bool kWindows = false;
inline constexpr char kPathListSeparator = ':';
#endif

}  // namespace scrivle::os
