// The command line and the environment as the program sees them: UTF-8 strings on every
// system.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace scrivle {

// The arguments after the program's name, each in UTF-8. On Windows they come from the
// wide command line (the narrow argv there is in the ANSI code page, which cannot hold
// every file name); elsewhere argv already is UTF-8 and is taken as it is.
std::vector<std::string> programArguments(int argc, char** argv);

// An environment variable in UTF-8 ("" when unset); on Windows read in its wide form.
std::string environmentValue(const char* name);

#ifdef _WIN32
std::string utf8FromWide(std::wstring_view wide);
std::wstring wideFromUtf8(std::string_view utf8);
#endif

}  // namespace scrivle
