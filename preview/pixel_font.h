// preview/pixel_font.h  (toolkit-free)
#pragma once

#include <cstdint>

namespace preview {
enum class FontSize : std::uint8_t { Small = 1, Normal = 2, Large = 3 };
struct Glyph {
  std::uint8_t width;
  const std::uint8_t* rows;
};                              // rows: cellHeight rows, bit 7 = leftmost
int cellWidth(FontSize size);   // 4, 6, 8
int cellHeight(FontSize size);  // 6, 8, 10
Glyph glyph(FontSize size, std::uint8_t code);
}  // namespace preview
