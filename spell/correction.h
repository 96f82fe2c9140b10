// Putting a suggested word in place of a misspelt one.
#pragma once

#include <string_view>

#include "editor/text_model.h"
#include "settings/parametre.h"

namespace scrivle::spell {

// Replaces the bytes [start, start+length) with `word` as one undo step. The new letters
// take the style of the word they replace, the tags around keep theirs (and a tag the
// new letters happen to complete is painted). Returns the change of size in bytes; 0,
// and nothing done, when the range is not inside the text or `word` is empty.
int replaceWord(TextModel& model, Pos start, Pos length, std::string_view word, bool colourOn,
                const TParametre& settings);

}  // namespace scrivle::spell
