// The calculator screen's three pixel fonts, covering all 256 calculator codes. Each
// glyph's ink stays inside its cell and the cell includes the spacing, so text is drawn
// by placing cells side by side. Size 1 (small) is proportional, like the calculator's
// own small font; sizes 2 and 3 are fixed. Made from the public-domain misc-fixed fonts
// and hand-drawn glyphs (tools/fontgen).
#pragma once

#include <cstdint>

namespace preview {

enum class FontSize : std::uint8_t { Small = 1, Normal = 2, Large = 3 };

struct Glyph {
  std::uint8_t width;        // advance in pixels, spacing included (<= cellWidth)
  const std::uint8_t* rows;  // cellHeight(size) rows, one byte each, bit 7 = leftmost pixel
};

int cellWidth(FontSize size);                   // 4, 6, 8
int cellHeight(FontSize size);                  // 6, 8, 10
Glyph glyph(FontSize size, std::uint8_t code);  // every one of the 256 calculator codes

// Where the letters stand in the cell, for the lines drawn with the text: the row holding
// the bottom of the capitals (4, 6, 7; the rows below it take the descenders) and the
// first row of a lowercase x (1, 2, 2).
int baseline(FontSize size);
int xHeightTop(FontSize size);

}  // namespace preview
