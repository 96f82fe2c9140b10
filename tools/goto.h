// Moving the caret to the start of a line chosen by number. Lines are numbered from 1
// in the dialog and from 0 in the editor; both count screen lines.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "editor/text_model.h"
#include "platform/dialogs.h"

namespace scrivle {

inline constexpr const char* kInvalidLineNumber = "Le texte entré n'est pas valide.";

// The key filter of the number field: Backspace and the digits only.
constexpr bool goToKeyAccepted(char32_t ch) {
  return ch == 8 || (ch >= U'0' && ch <= U'9');
}

// What the field shows when the dialog opens: the caret's line, counted from 1.
std::string goToFieldText(const TextModel& model);

// The field read as a whole decimal number. Empty text, anything but digits (blanks
// around them aside), a sign, or a value beyond the integer range gives nothing: a
// negative number can only come in by paste and has no line to go to.
std::optional<int> parseLineNumber(std::string_view text);

// Where the caret goes for line n: the start of line n - 1, limited to the last line
// (the one holding the end of the text); n = 0 is the start of the caret's own line.
Pos goToLinePosition(const TextModel& model, int n);

// The OK button: moves the caret (empty selection) to the line the field names, or
// shows the invalid-number message and leaves the caret. True when the caret moved.
bool goToLine(TextModel& model, std::string_view fieldText, Dialogs& dialogs);

}  // namespace scrivle
