#include "platform/dialogs.h"

namespace scrivle {

std::vector<FilterEntry> parseFilter(const std::string& filter) {
  std::vector<FilterEntry> entries;
  std::vector<std::string> parts;
  std::string current;
  for (char c : filter) {
    if (c == '|') {
      parts.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  parts.push_back(current);
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    FilterEntry e;
    e.description = parts[i];
    std::string pat;
    auto flush = [&] {
      auto b = pat.find_first_not_of(' ');
      auto eidx = pat.find_last_not_of(' ');
      if (b != std::string::npos) e.patterns.push_back(pat.substr(b, eidx - b + 1));
      pat.clear();
    };
    for (char c : parts[i + 1]) {
      if (c == ';') {
        flush();
      } else {
        pat += c;
      }
    }
    flush();
    entries.push_back(std::move(e));
  }
  return entries;
}

}  // namespace scrivle
