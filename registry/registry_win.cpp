#include "registry/registry_win.h"

#ifdef _WIN32

#include "platform/windows_api.h"

namespace scrivle {

namespace {

HKEY rootKey(RegRoot root) {
  switch (root) {
    case RegRoot::LocalMachine:
      return HKEY_LOCAL_MACHINE;
    case RegRoot::ClassesRoot:
      return HKEY_CLASSES_ROOT;
    case RegRoot::CurrentUser:
    default:
      return HKEY_CURRENT_USER;
  }
}

// Strings are Windows-1252 bytes everywhere in the settings (see ansiToUtf16): they go
// through the wide functions with that table rather than the ANSI ones, which would use
// the system's own code page. Every byte string then comes back as it was written (a
// UTF-8 path included) on any system, and as the Linux store holds it.
std::wstring wide(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  for (const char c : bytes) {
    out += static_cast<wchar_t>(ansiToUtf16(static_cast<unsigned char>(c)));
  }
  return out;
}

std::string narrow(std::wstring_view units) {
  std::string out;
  out.reserve(units.size());
  for (const wchar_t u : units) {
    out += ansiFromUtf16(static_cast<char32_t>(u));
  }
  return out;
}

[[noreturn]] void fail(RegistryError::Kind kind, std::string_view key, LONG code) {
  throw RegistryError(
      kind, "Erreur " + std::to_string(code) + " du registre sur la clé " + std::string(key));
}

// Closes the key when leaving the scope.
class OpenKey {
 public:
  OpenKey() = default;
  ~OpenKey() {
    if (key_ != nullptr) {
      RegCloseKey(key_);
    }
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  LONG open(RegRoot root, std::string_view key, REGSAM access) {
    const std::wstring path = wide(trimKeyPath(key));
    return RegOpenKeyExW(rootKey(root), path.c_str(), 0, access, &key_);
  }
  LONG create(RegRoot root, std::string_view key, REGSAM access) {
    const std::wstring path = wide(trimKeyPath(key));
    return RegCreateKeyExW(rootKey(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                           nullptr, &key_, nullptr);
  }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

bool WinRegistry::keyExists(RegRoot root, std::string_view key) {
  OpenKey k;
  return k.open(root, key, KEY_READ) == ERROR_SUCCESS;
}

std::optional<RegValue> WinRegistry::read(RegRoot root, std::string_view key,
                                          std::string_view name) {
  OpenKey k;
  LONG rc = k.open(root, key, KEY_QUERY_VALUE);
  if (rc == ERROR_FILE_NOT_FOUND) {
    return std::nullopt;
  }
  if (rc != ERROR_SUCCESS) {
    fail(RegistryError::Kind::Read, key, rc);
  }
  const std::wstring valueName = wide(name);
  DWORD type = 0;
  DWORD size = 0;
  std::string buffer;
  for (;;) {
    rc = RegQueryValueExW(k.get(), valueName.c_str(), nullptr, &type,
                          buffer.empty() ? nullptr : reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (rc == ERROR_FILE_NOT_FOUND) {
      return std::nullopt;
    }
    if (rc == ERROR_MORE_DATA || (rc == ERROR_SUCCESS && buffer.size() < size)) {
      buffer.assign(size + 2, '\0');  // room for a zero the value may lack
      size = static_cast<DWORD>(buffer.size());
      continue;
    }
    if (rc != ERROR_SUCCESS) {
      fail(RegistryError::Kind::Read, key, rc);
    }
    break;
  }
  buffer.resize(size);
  RegValue v{static_cast<RegType>(type), 0, {}};
  if (v.type == RegType::Dword) {
    if (buffer.size() != 4) {
      fail(RegistryError::Kind::Read, key, ERROR_INVALID_DATA);
    }
    for (int i = 3; i >= 0; --i) {
      v.dword = (v.dword << 8) | static_cast<unsigned char>(buffer[static_cast<std::size_t>(i)]);
    }
  } else {
    if (v.isString()) {
      std::wstring units(buffer.size() / 2, L'\0');
      for (std::size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<wchar_t>(static_cast<unsigned char>(buffer[2 * i]) |
                                        (static_cast<unsigned char>(buffer[2 * i + 1]) << 8));
      }
      if (!units.empty() && units.back() == L'\0') {
        units.pop_back();
      }
      v.data = narrow(units);
    } else {
      v.data = std::move(buffer);
    }
  }
  return v;
}

void WinRegistry::write(RegRoot root, std::string_view key, std::string_view name,
                        const RegValue& value) {
  OpenKey k;
  LONG rc = k.create(root, key, KEY_SET_VALUE);
  if (rc != ERROR_SUCCESS) {
    fail(RegistryError::Kind::Write, key, rc);
  }
  std::string bytes;
  if (value.type == RegType::Dword) {
    for (int i = 0; i < 4; ++i) {
      bytes += static_cast<char>((value.dword >> (8 * i)) & 0xFF);
    }
  } else {
    if (value.isString()) {
      for (const wchar_t u : wide(value.data) + L'\0') {
        bytes += static_cast<char>(u & 0xFF);
        bytes += static_cast<char>((u >> 8) & 0xFF);
      }
    } else {
      bytes = value.data;
    }
  }
  const std::wstring valueName = wide(name);
  rc =
      RegSetValueExW(k.get(), valueName.c_str(), 0, static_cast<DWORD>(value.type),
                     reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
  if (rc != ERROR_SUCCESS) {
    fail(RegistryError::Kind::Write, key, rc);
  }
}

void WinRegistry::createKey(RegRoot root, std::string_view key) {
  OpenKey k;
  const LONG rc = k.create(root, key, KEY_READ);
  if (rc != ERROR_SUCCESS) {
    fail(RegistryError::Kind::Write, key, rc);
  }
}

bool WinRegistry::deleteValue(RegRoot root, std::string_view key, std::string_view name) {
  OpenKey k;
  LONG rc = k.open(root, key, KEY_SET_VALUE);
  if (rc == ERROR_FILE_NOT_FOUND) {
    return false;
  }
  if (rc != ERROR_SUCCESS) {
    fail(RegistryError::Kind::Write, key, rc);
  }
  const std::wstring valueName = wide(name);
  rc = RegDeleteValueW(k.get(), valueName.c_str());
  if (rc == ERROR_FILE_NOT_FOUND) {
    return false;
  }
  if (rc != ERROR_SUCCESS) {
    fail(RegistryError::Kind::Write, key, rc);
  }
  return true;
}

bool WinRegistry::deleteKey(RegRoot root, std::string_view key) {
  const std::string path = trimKeyPath(key);
  if (path.empty()) {
    return false;  // a root cannot be deleted
  }
  const LONG rc = RegDeleteTreeW(rootKey(root), wide(path).c_str());
  if (rc == ERROR_FILE_NOT_FOUND) {
    return false;
  }
  if (rc != ERROR_SUCCESS) {
    fail(RegistryError::Kind::Write, key, rc);
  }
  return true;
}

std::vector<std::string> WinRegistry::valueNames(RegRoot root, std::string_view key) {
  std::vector<std::string> names;
  OpenKey k;
  if (k.open(root, key, KEY_QUERY_VALUE) != ERROR_SUCCESS) {
    return names;
  }
  DWORD longest = 0;
  RegQueryInfoKeyW(k.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longest,
                   nullptr, nullptr, nullptr);
  std::wstring buffer(longest + 2, L'\0');
  for (DWORD i = 0;; ++i) {
    DWORD size = static_cast<DWORD>(buffer.size());
    const LONG rc =
        RegEnumValueW(k.get(), i, buffer.data(), &size, nullptr, nullptr, nullptr, nullptr);
    if (rc != ERROR_SUCCESS) {
      break;
    }
    names.push_back(narrow({buffer.data(), size}));
  }
  return names;
}

std::vector<std::string> WinRegistry::subKeys(RegRoot root, std::string_view key) {
  std::vector<std::string> names;
  OpenKey k;
  if (k.open(root, key, KEY_ENUMERATE_SUB_KEYS) != ERROR_SUCCESS) {
    return names;
  }
  for (DWORD i = 0;; ++i) {
    wchar_t buffer[256];  // the system's limit for a key name is 255 characters
    DWORD size = 256;
    const LONG rc = RegEnumKeyExW(k.get(), i, buffer, &size, nullptr, nullptr, nullptr, nullptr);
    if (rc != ERROR_SUCCESS) {
      break;
    }
    names.push_back(narrow({buffer, size}));
  }
  return names;
}

std::unique_ptr<Registry> makeSystemRegistry() {
  return std::make_unique<WinRegistry>();
}

}  // namespace scrivle

#else

namespace scrivle {

std::unique_ptr<Registry> makeSystemRegistry() {
  return nullptr;
}

}  // namespace scrivle

#endif  // _WIN32
