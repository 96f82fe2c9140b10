// setenv and unsetenv for the Windows build of the tests, which the C runtime of Windows
// lacks; the Windows build includes this header in every test source (tests/CMakeLists.txt).
// The tests name their private auto-save folder with XDG_STATE_HOME; on Windows the
// program takes that folder from LOCALAPPDATA, so the one stands for the other while set.
#pragma once

#ifdef _WIN32
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

namespace scrivle::test {
inline std::optional<std::wstring>& savedLocalAppData() {
  static std::optional<std::wstring> saved;
  return saved;
}
inline std::wstring wideName(const char* s) {
  return {s, s + std::strlen(s)};  // variable names are ASCII
}
inline bool isStateHome(const char* name) {
  return std::strcmp(name, "XDG_STATE_HOME") == 0;
}
inline void redirectLocalAppData(const wchar_t* value) {
  if (!savedLocalAppData()) {
    const wchar_t* old = _wgetenv(L"LOCALAPPDATA");
    savedLocalAppData() = old != nullptr ? old : L"";
  }
  _wputenv_s(L"LOCALAPPDATA", value);
}
}  // namespace scrivle::test

inline int setenv(const char* name, const wchar_t* value, int overwrite) {
  const std::wstring wide = scrivle::test::wideName(name);
  if (overwrite == 0 && _wgetenv(wide.c_str()) != nullptr) {
    return 0;
  }
  if (scrivle::test::isStateHome(name)) {
    scrivle::test::redirectLocalAppData(value);
  }
  return _wputenv_s(wide.c_str(), value) == 0 ? 0 : -1;
}

inline int setenv(const char* name, const char* value, int overwrite) {
  if (overwrite == 0 && std::getenv(name) != nullptr) {
    return 0;
  }
  if (scrivle::test::isStateHome(name)) {
    scrivle::test::redirectLocalAppData(std::filesystem::path(value).c_str());
  }
  return _putenv_s(name, value) == 0 ? 0 : -1;
}

inline int unsetenv(const char* name) {
  if (scrivle::test::isStateHome(name) && scrivle::test::savedLocalAppData()) {
    _wputenv_s(L"LOCALAPPDATA", scrivle::test::savedLocalAppData()->c_str());
    scrivle::test::savedLocalAppData().reset();
  }
  return _putenv_s(name, "") == 0 ? 0 : -1;
}
#endif  // _WIN32
