// Cut, copy, paste, select all, undo and redo on a document's text. Cut and paste keep
// the tag colouring right around the edit; each command returns how the text changed so
// the window can mark the document modified and move its size on the calculator.
#pragma once

#include "editor/text_model.h"
#include "platform/clipboard.h"
#include "search/find.h"
#include "settings/parametre.h"

namespace scrivle {

// The selection to the clipboard; an empty selection leaves the clipboard alone.
void copySelection(const TextModel& model, Clipboard& clipboard);

// The selection to the clipboard and out of the text. Nothing happens with an empty
// selection or in a read-only text.
TextChange cutSelection(TextModel& model, Clipboard& clipboard, bool colourOn,
                        const TParametre& settings);

// The clipboard's text over the selection, made plain, then its tags and those around
// it painted; the caret ends after it. Nothing happens with an empty clipboard or in a
// read-only text.
TextChange pasteClipboard(TextModel& model, Clipboard& clipboard, bool colourOn,
                          const TParametre& settings);

// One undo (or redo) step when there is one; none in a read-only text.
TextChange undoStep(TextModel& model);
TextChange redoStep(TextModel& model);

}  // namespace scrivle
