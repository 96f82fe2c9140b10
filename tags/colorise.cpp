#include "tags/colorise.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "tags/vocabulary.h"

namespace scrivle {
namespace {

// The style of every tag for one run, so the scan does no lookup of its own: entry
// [letter] for '#' tags, [256 + letter] for '&' tags.
std::array<CharStyle, 512> styleTable(const TParametre& settings) {
  std::array<CharStyle, 512> table{};
  for (int c = 0; c < 256; ++c) {
    const auto letter = static_cast<unsigned char>(c);
    if (const TStyleTag* s = StyleOf(settings, kCharTagIntro, letter)) {
      table[letter] = charStyleOf(*s);
    }
    if (const TStyleTag* s = StyleOf(settings, kParaTagIntro, letter)) {
      table[256 + letter] = charStyleOf(*s);
    }
  }
  return table;
}

// Views get one style notification for the painted span instead of one per tag.
class BatchedStyleNotice {
 public:
  explicit BatchedStyleNotice(TextModel& model)
      : model_(model), saved_(std::exchange(model.onStyleChanged, nullptr)) {}
  ~BatchedStyleNotice() {
    model_.onStyleChanged = std::move(saved_);
    if (model_.onStyleChanged && last_ >= first_) {
      model_.onStyleChanged(first_, last_ - first_);
    }
  }
  BatchedStyleNotice(const BatchedStyleNotice&) = delete;
  BatchedStyleNotice& operator=(const BatchedStyleNotice&) = delete;

  void touched(Pos start, Pos len) {
    if (last_ < first_) first_ = start;
    last_ = start + len;
  }

 private:
  TextModel& model_;
  std::function<void(Pos, Pos)> saved_;
  Pos first_ = 0;
  Pos last_ = -1;
};

}  // namespace

void colorise(TextModel& model, Pos first, Pos last, bool colourOn, const TParametre& settings) {
  if (!colourOn) return;
  const Pos length = model.length();
  first = std::max<Pos>(first, 1);
  last = std::min(last, length);
  if (first > last) return;

  // One copy of the range plus the character after it (a tag may begin at `last`).
  const Pos from = first - 1;
  const std::string bytes = model.text(from, last - from + 1);
  const auto scanned = static_cast<std::size_t>(last - from);
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();

  const std::array<CharStyle, 512> styles = styleTable(settings);
  const CharStyle bookmark = charStyleOf(settings.StyleBookmark);
  const bool wasHidden = model.selectionHidden();
  bool hidden = false;
  BatchedStyleNotice notice(model);
  auto paint = [&](std::size_t i, Pos len, const CharStyle& style) {
    if (!hidden) {
      model.setSelectionHidden(true);
      hidden = true;
    }
    const Pos pos = from + static_cast<Pos>(i);
    model.setStyle(pos, len, style);
    notice.touched(pos, len);
  };

  for (std::size_t i = 0; i < scanned; ++i) {
    const unsigned char c = p[i];
    if (c == kBookmarkMark) {
      paint(i, 1, bookmark);
    } else if (c == kCharTagIntro || c == kParaTagIntro) {
      // The letter may sit just past `last`; it is never past the copy.
      if (i + 1 < size) {
        const unsigned char letter = p[i + 1];
        if (isTag(c, letter)) {
          paint(i, 2, styles[(c == kParaTagIntro ? 256U : 0U) + letter]);
        }
      }
    }
  }
  if (hidden) model.setSelectionHidden(wasHidden);
}

void decolourAll(TextModel& model) {
  const bool wasHidden = model.selectionHidden();
  model.setSelectionHidden(true);
  model.setStyle(0, model.length(), kPlainStyle);
  model.setInsertionStyle(kPlainStyle);
  model.setSelectionHidden(wasHidden);
}

}  // namespace scrivle
