#include "spell/correction.h"

#include "tags/colorise.h"

namespace scrivle::spell {

int replaceWord(TextModel& model, Pos start, Pos length, std::string_view word, bool colourOn,
                const TParametre& settings) {
  if (start < 0 || length <= 0 || start + length > model.length() || word.empty()) return 0;
  const CharStyle insertion = model.insertionStyle();
  {
    UndoGroup step(model);
    model.setInsertionStyle(model.styleAt(start));
    model.replace(start, length, word);
    model.setInsertionStyle(insertion);
  }
  const auto size = static_cast<Pos>(word.size());
  // 1-based indexes: a tag may start right before the word or right after it.
  colorise(model, start, start + size + 1, colourOn, settings);
  model.setSel(start + size);
  return static_cast<int>(size - length);
}

}  // namespace scrivle::spell
