#include "preview/raster.h"

#include <algorithm>

namespace scrivle {

namespace pf = ::preview;

void PreviewBitmap::reset(int w, int h) {
  width = std::max(w, 0);
  height = std::max(h, 0);
  pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
}

namespace {

class Canvas {
 public:
  Canvas(PreviewBitmap& b, std::int64_t top) : b_(b), top_(top) {}
  // y in strip rows.
  void set(int x, std::int64_t y, std::uint8_t v) {
    const std::int64_t ry = y - top_;
    if (x < 0 || x >= b_.width || ry < 0 || ry >= b_.height) return;
    b_.pixels[static_cast<std::size_t>(ry) * static_cast<std::size_t>(b_.width) +
              static_cast<std::size_t>(x)] = v;
  }
  void row(int x, std::int64_t y, int w, std::uint8_t v) {
    const std::int64_t ry = y - top_;
    if (ry < 0 || ry >= b_.height) return;
    const int x0 = std::max(x, 0);
    const int x1 = std::min(x + w, b_.width);
    if (x1 <= x0) return;
    std::fill_n(b_.pixels.begin() + static_cast<std::ptrdiff_t>(ry * b_.width + x0), x1 - x0, v);
  }

 private:
  PreviewBitmap& b_;
  std::int64_t top_;
};

void drawGlyph(Canvas& c, const PreviewGlyph& g, std::int64_t y0, bool endsVector) {
  const int ch = pf::cellHeight(g.size);
  const bool inverse = (g.attrs & kInverse) != 0;
  const std::uint8_t ink = inverse ? 0 : 1;
  if (inverse) {
    for (int r = 0; r < ch; ++r) c.row(g.x, y0 + r, g.width, 1);
  }
  const pf::Glyph gl = pf::glyph(g.size, g.code);
  const int w = std::min<int>(g.width, 8);
  if (gl.rows != nullptr) {
    for (int r = 0; r < ch; ++r) {
      const std::uint8_t bits = gl.rows[r];
      if (bits == 0) continue;
      for (int k = 0; k < w; ++k) {
        if ((bits & (0x80 >> k)) != 0) c.set(g.x + k, y0 + r, ink);
      }
    }
  }
  if ((g.attrs & kUnderline) != 0) c.row(g.x, y0 + ch - 1, g.width, ink);
  if ((g.attrs & kDotted) != 0) {
    for (int k = 0; k < g.width; ++k) {
      if (((g.x + k) & 1) == 0) c.set(g.x + k, y0 + ch - 1, ink);
    }
  }
  if ((g.attrs & kStrike) != 0) c.row(g.x, y0 + ch / 2, g.width, ink);
  if ((g.attrs & kVector) != 0) {
    if (endsVector) {
      // The arrowhead: the line stops short of the spacing, two barbs one column back.
      c.row(g.x, y0 + 1, g.width - 1, ink);
      c.set(g.x + g.width - 3, y0, ink);
      c.set(g.x + g.width - 3, y0 + 2, ink);
    } else {
      c.row(g.x, y0 + 1, g.width, ink);
    }
  }
}

}  // namespace

void renderPreview(const PreviewLayout& layout, std::int64_t top, int rows, PreviewBitmap& out) {
  out.reset(layout.width(), rows);
  Canvas c(out, top);
  const auto& paras = layout.paragraphs();
  const std::int64_t bottom = top + rows;
  for (std::size_t k = layout.paragraphAtRow(top); k < paras.size() && paras[k].top < bottom; ++k) {
    const PreviewParagraph& p = paras[k];
    for (const PreviewBox& b : p.boxes) {
      const std::int64_t y = p.top + b.y;
      if (b.kind == PreviewBox::Fill) {
        for (int r = 0; r < b.h; ++r) c.row(b.x, y + r, b.w, 1);
      } else if (b.w > 0 && b.h > 0) {
        c.row(b.x, y, b.w, 1);
        c.row(b.x, y + b.h - 1, b.w, 1);
        for (int r = 0; r < b.h; ++r) {
          c.set(b.x, y + r, 1);
          c.set(b.x + b.w - 1, y + r, 1);
        }
      }
    }
    for (const PreviewLine& line : p.lines) {
      const std::int64_t ly = p.top + line.top;
      if (ly >= bottom) break;
      if (ly + line.height <= top) continue;
      for (int i = line.firstGlyph; i < line.endGlyph; ++i) {
        const PreviewGlyph& g = p.glyphs[static_cast<std::size_t>(i)];
        if (g.x >= out.width) break;
        const bool endsVector = (g.attrs & kVector) != 0 &&
                                (i + 1 == line.endGlyph ||
                                 (p.glyphs[static_cast<std::size_t>(i) + 1].attrs & kVector) == 0);
        drawGlyph(c, g, ly + g.y, endsVector);
      }
    }
  }
}

PreviewBitmap renderWholePreview(const PreviewLayout& layout) {
  PreviewBitmap b;
  renderPreview(layout, 0, static_cast<int>(std::min<std::int64_t>(layout.height(), 1 << 24)), b);
  return b;
}

}  // namespace scrivle
