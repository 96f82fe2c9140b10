// Drawing a laid-out strip into a bitmap of the screen's width: one byte per pixel,
// 1 for ink and 0 for paper. The views colour it; exports write it as black on white.
#pragma once

#include <cstdint>
#include <vector>

#include "preview/layout.h"

namespace scrivle {

struct PreviewBitmap {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // row after row
  void reset(int w, int h);
  std::uint8_t at(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }
};

// Draws the strip's rows [top, top + rows) into `out` (which becomes width × rows).
void renderPreview(const PreviewLayout& layout, std::int64_t top, int rows, PreviewBitmap& out);
// The whole strip.
PreviewBitmap renderWholePreview(const PreviewLayout& layout);

}  // namespace scrivle
