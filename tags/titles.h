// Titles (ready-made blocks of tags and text) and the bookmark toggle.
#pragma once

#include "editor/text_model.h"
#include "settings/parametre.h"

namespace scrivle {

// Inserts the title at the selection, with the selected text placed at the title's
// Curseur offset (clamped into the title) and selected again; with nothing selected the
// caret ends at that offset. Tags broken at the edges lose their colour, the title's tags
// are painted when colour display is on. Returns the change of the size on the calculator
// (the title's length). An empty title, or a read-only text, does nothing and returns 0:
// the caller must not mark the document modified then (see titleInserts).
int InserMenu(TextModel& model, const TMenuPerso& title, bool colourOn, const TParametre& settings);
bool titleInserts(const TextModel& model, const TMenuPerso& title);

// Ctrl+B: the bookmark marker put at, or taken from, the start of the caret's paragraph.
// Returns +1 when a marker was put, -1 when one was taken, 0 when read-only. The size on
// the calculator does not change: the marker stands in place of the line's own marker byte.
int InserBook(TextModel& model, bool colourOn, const TParametre& settings);

}  // namespace scrivle
