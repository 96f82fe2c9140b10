// The system registry, through advapi32. The settings' strings are Windows-1252 bytes:
// they are stored as the UTF-16 that code page gives them, whatever the system's own
// code page, so that any byte string (a UTF-8 path too) reads back unchanged.
#pragma once

#include <memory>

#include "registry/registry.h"

namespace scrivle {

#ifdef _WIN32
class WinRegistry : public Registry {
 public:
  bool keyExists(RegRoot root, std::string_view key) override;
  std::optional<RegValue> read(RegRoot root, std::string_view key, std::string_view name) override;
  void write(RegRoot root, std::string_view key, std::string_view name,
             const RegValue& value) override;
  void createKey(RegRoot root, std::string_view key) override;
  bool deleteValue(RegRoot root, std::string_view key, std::string_view name) override;
  bool deleteKey(RegRoot root, std::string_view key) override;
  std::vector<std::string> valueNames(RegRoot root, std::string_view key) override;
  std::vector<std::string> subKeys(RegRoot root, std::string_view key) override;
};
#endif

// The system registry (a WinRegistry) on Windows; null on the systems that have none.
std::unique_ptr<Registry> makeSystemRegistry();

}  // namespace scrivle
