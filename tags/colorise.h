// Painting tags and bookmark markers in their styles. The editor keeps no list of tags:
// colours are byte attributes of the text, set whenever the text changes.
#pragma once

#include "editor/text_model.h"
#include "settings/parametre.h"

namespace scrivle {

// Paints every tag and marker that begins at the 1-based indexes first..last inclusive
// (index i is position i - 1); a whole text is 1..length. Indexes outside the text are
// skipped. Other characters keep whatever colour they had. Keeps the selection, never
// adds an undo step, and does nothing when colour display is off.
void colorise(TextModel& model, Pos first, Pos last, bool colourOn, const TParametre& settings);

// Colour display turned off: the whole text black and plain, selection kept.
void decolourAll(TextModel& model);

}  // namespace scrivle
