#include "tools/goto.h"

#include <algorithm>
#include <charconv>

namespace scrivle {

std::string goToFieldText(const TextModel& model) {
  return std::to_string(model.lineFromPos(model.selStart()) + 1);
}

std::optional<int> parseLineNumber(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
  int n = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return n;
}

Pos goToLinePosition(const TextModel& model, int n) {
  const Pos lastLine = model.lineFromPos(model.length());
  const Pos line = std::min<Pos>(Pos{n} - 1, lastLine);
  const Pos start = model.lineStart(line);  // -1 asks for the caret's line
  return std::max<Pos>(start, 0);
}

bool goToLine(TextModel& model, std::string_view fieldText, Dialogs& dialogs) {
  const std::optional<int> n = parseLineNumber(fieldText);
  if (!n) {
    dialogs.message(kInvalidLineNumber);
    return false;
  }
  model.setSel(goToLinePosition(model, *n), 0);
  return true;
}

}  // namespace scrivle
