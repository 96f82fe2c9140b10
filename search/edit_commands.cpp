#include "search/edit_commands.h"

#include <cstdint>
#include <string>

#include "calc/keyboard.h"
#include "tags/colorise.h"
#include "tags/tagkeydown.h"
#include "tags/vocabulary.h"

namespace scrivle {
namespace {

// What the key routine does before a keystroke edits the selection.
void tagKeyBefore(TextModel& model, int key, bool colourOn, const TParametre& settings) {
  std::int32_t skip = 0;
  TagKeyDown(model, key, ShiftNone, skip, colourOn, settings);
}

TextChange changeSince(const TextModel& model, Pos lengthBefore) {
  return {true, static_cast<int>(model.length() - lengthBefore)};
}

}  // namespace

void copySelection(const TextModel& model, Clipboard& clipboard) {
  if (model.selLength() > 0) clipboard.setText(model.selectedText());
}

TextChange cutSelection(TextModel& model, Clipboard& clipboard, bool colourOn,
                        const TParametre& settings) {
  // With nothing selected the key routine would treat the cut as a Backspace and paint
  // a tag that no removal forms.
  if (model.readOnly() || model.selLength() == 0) return {};
  const Pos before = model.length();
  tagKeyBefore(model, vk::Back, colourOn, settings);
  clipboard.setText(model.selectedText());
  model.replaceSelection({});
  return changeSince(model, before);
}

TextChange pasteClipboard(TextModel& model, Clipboard& clipboard, bool colourOn,
                          const TParametre& settings) {
  if (model.readOnly()) return {};
  const std::string text = clipboard.text();
  if (text.empty()) return {};
  const Pos before = model.length();
  tagKeyBefore(model, 'A', colourOn, settings);
  const bool wasHidden = model.selectionHidden();
  model.setSelectionHidden(true);
  model.replaceSelection(text);
  const auto len = static_cast<Pos>(text.size());
  const Pos c = model.caret();
  // Whatever look the text had where it came from, or the typing style at the caret,
  // it arrives plain.
  model.setStyle(c - len, len, kPlainStyle);
  model.setInsertionStyle(kPlainStyle);
  model.setSel(c, 0);
  model.setSelectionHidden(wasHidden);
  colorise(model, c - len - 1, c + 1, colourOn, settings);
  return changeSince(model, before);
}

TextChange undoStep(TextModel& model) {
  if (model.readOnly()) return {};  // as the editor's own Ctrl+Z
  const Pos before = model.length();
  if (!model.undo()) return {};
  return changeSince(model, before);
}

TextChange redoStep(TextModel& model) {
  if (model.readOnly()) return {};
  const Pos before = model.length();
  if (!model.redo()) return {};
  return changeSince(model, before);
}

}  // namespace scrivle
