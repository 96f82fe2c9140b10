#include "preview/pixel_font.h"

#include "preview/pixel_font_data.h"

namespace preview {
namespace {

const data::FontData& fontOf(FontSize size) {
  switch (size) {
    case FontSize::Small:
      return data::kSmall;
    case FontSize::Large:
      return data::kLarge;
    case FontSize::Normal:
      break;
  }
  return data::kNormal;  // also for a value outside the enumeration
}

}  // namespace

int cellWidth(FontSize size) {
  return fontOf(size).cellWidth;
}

int cellHeight(FontSize size) {
  return fontOf(size).cellHeight;
}

Glyph glyph(FontSize size, std::uint8_t code) {
  const data::FontData& font = fontOf(size);
  return {font.widths[code], font.rows + static_cast<int>(code) * font.cellHeight};
}

int baseline(FontSize size) {
  return fontOf(size).baseline;
}

int xHeightTop(FontSize size) {
  return fontOf(size).xHeightTop;
}

}  // namespace preview
