#include "registry/registry.h"

#include <array>
#include <cstdlib>

#include "registry/registry_file.h"
#include "registry/registry_win.h"

namespace scrivle {

namespace {

// Windows-1252 0x80-0x9F; the undefined bytes keep their own number.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

RegistryBatch::~RegistryBatch() {
  if (open_) {
    try {
      registry_.commitBatch();
    } catch (...) {  // NOLINT(bugprone-empty-catch): nowhere to report it while unwinding
    }
  }
}

void RegistryBatch::commit() {
  open_ = false;
  registry_.commitBatch();
}

std::unique_ptr<Registry> openUserRegistry(RegistryReport report) {
  const char* redirected = std::getenv("SCRIVLE_REGISTRY");
  if (redirected == nullptr || *redirected == '\0') {
    if (std::unique_ptr<Registry> system = makeSystemRegistry()) {
      return system;
    }
  }
  return std::make_unique<FileRegistry>(storeLocation(), std::move(report));
}

std::string trimKeyPath(std::string_view key) {
  while (!key.empty() && key.front() == '\\') {
    key.remove_prefix(1);
  }
  while (!key.empty() && key.back() == '\\') {
    key.remove_suffix(1);
  }
  std::string path;
  path.reserve(key.size());
  for (const char c : key) {
    if (c != '\\' || path.back() != '\\') {  // never empty here: key starts with a name
      path.push_back(c);
    }
  }
  return path;
}

std::string foldCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    c = lower(c);
  }
  return out;
}

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) {
      return false;
    }
  }
  return true;
}

char16_t ansiToUtf16(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : static_cast<char16_t>(byte);
}

char ansiFromUtf16(char32_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit < 0x100)) {
    return static_cast<char>(unit);
  }
  for (std::size_t i = 0; i < kHigh.size(); ++i) {
    if (kHigh[i] == unit) {
      return static_cast<char>(0x80 + i);
    }
  }
  return '?';
}

std::string ansiToUtf8(std::string_view ansi) {
  std::string out;
  out.reserve(ansi.size());
  for (const char c : ansi) {
    const char32_t u = ansiToUtf16(static_cast<unsigned char>(c));
    if (u < 0x80) {
      out += static_cast<char>(u);
    } else if (u < 0x800) {
      out += static_cast<char>(0xC0 | (u >> 6));
      out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (u >> 12));
      out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (u & 0x3F));
    }
  }
  return out;
}

}  // namespace scrivle
