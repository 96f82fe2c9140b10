#include "tags/titles.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "tags/colorise.h"
#include "tags/insertion.h"
#include "tags/tagkeydown.h"
#include "tags/vocabulary.h"

namespace scrivle {

bool titleInserts(const TextModel& model, const TMenuPerso& title) {
  return !title.texte.empty() && !model.readOnly();
}

int InserMenu(TextModel& model, const TMenuPerso& title, bool colourOn,
              const TParametre& settings) {
  if (!titleInserts(model, title)) return 0;
  const Pos l = model.selLength();
  const Pos s = model.selStart();
  const auto titleLength = static_cast<Pos>(title.texte.size());
  const Pos cursor = std::clamp<Pos>(title.Curseur, 0, titleLength);

  UndoGroup group(model);
  // Decolours the tags the insertion breaks and makes the selection plain.
  int key = 'A';
  std::int32_t skip = 0;
  TagKeyDown(model, key, ShiftNone, skip, colourOn, settings);

  model.setSelectionHidden(true);
  const auto at = static_cast<std::size_t>(cursor);
  std::string text = title.texte.substr(0, at);
  text += model.selectedText();
  text.append(title.texte, at);
  const CharStyle before = model.insertionStyle();
  model.setInsertionStyle(kPlainStyle);
  model.replaceSelection(text);
  model.setInsertionStyle(before);
  model.setStyle(s, titleLength + l, kPlainStyle);
  model.setSelectionHidden(false);
  // From the character before the title, so a tag it completes is painted too.
  colorise(model, s, s + titleLength + l, colourOn, settings);
  model.setSel(s + cursor, l);
  return static_cast<int>(titleLength);
}

int InserBook(TextModel& model, bool colourOn, const TParametre& settings) {
  return insertag2(model, kBookmarkMark, charStyleOf(settings.StyleBookmark), colourOn, settings);
}

}  // namespace scrivle
