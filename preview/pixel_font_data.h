// The glyph tables of the preview fonts. pixel_font_data.cpp is written by
// tools/fontgen/fontgen.py; read them through preview/pixel_font.h.
#pragma once

#include <cstdint>

namespace preview::data {

struct FontData {
  int cellWidth;
  int cellHeight;
  int baseline;                // cell row holding the bottom of the capitals
  int xHeightTop;              // first cell row of a lowercase x
  const std::uint8_t* widths;  // 256 advances
  const std::uint8_t* rows;    // 256 glyphs of cellHeight rows, bit 7 = leftmost pixel
};

extern const FontData kSmall;
extern const FontData kNormal;
extern const FontData kLarge;

}  // namespace preview::data
