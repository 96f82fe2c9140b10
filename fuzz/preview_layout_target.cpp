// The calculator preview's layout: the bytes are a text followed by a few edits. After
// every edit the layout laid out paragraph by paragraph must equal a layout of the whole
// new text, no line may start outside the screen or run past it while wrapping is on,
// and every point of the strip must map back to a position inside the text.
#include <algorithm>
#include <cstdint>

#include "fuzz/targets.h"
#include "preview/layout.h"
#include "preview/raster.h"

namespace scrivle::fuzz {

namespace {

bool sameParagraph(const PreviewParagraph& a, const PreviewParagraph& b) {
  if (a.start != b.start || a.length != b.length || a.top != b.top || a.height != b.height ||
      !(a.in == b.in) || !(a.out == b.out) || a.lines.size() != b.lines.size() ||
      a.boxes.size() != b.boxes.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.lines.size(); ++i) {
    const PreviewLine &x = a.lines[i], &y = b.lines[i];
    if (x.top != y.top || x.height != y.height || x.firstGlyph != y.firstGlyph ||
        x.endGlyph != y.endGlyph || x.textEnd != y.textEnd || x.left != y.left) {
      return false;
    }
    for (int k = x.firstGlyph; k < x.endGlyph; ++k) {
      const auto &g = a.glyphs[static_cast<std::size_t>(k)],
                 &h = b.glyphs[static_cast<std::size_t>(k)];
      if (g.offset != h.offset || g.x != h.x || g.y != h.y || g.code != h.code ||
          g.attrs != h.attrs || g.size != h.size) {
        return false;
      }
    }
  }
  return true;
}

void checkLayout(const PreviewLayout& layout) {
  const auto& paras = layout.paragraphs();
  check(!paras.empty(), "a layout has a paragraph");
  for (const auto& p : paras) {
    check(!p.lines.empty(), "every paragraph has a line");
    for (const auto& line : p.lines) {
      for (int k = line.firstGlyph; k < line.endGlyph; ++k) {
        const auto& g = p.glyphs[static_cast<std::size_t>(k)];
        check(g.x >= 0, "no glyph left of the screen");
        if (k == line.firstGlyph || (g.attrs & kNoWrap) != 0) continue;
        check(g.x + g.width <= layout.width(), "a wrapped line stays on the screen");
      }
    }
  }
}

bool sameLayout(const PreviewLayout& a, const PreviewLayout& b) {
  if (a.text() != b.text() || a.paragraphs().size() != b.paragraphs().size()) return false;
  for (std::size_t i = 0; i < a.paragraphs().size(); ++i) {
    if (!sameParagraph(a.paragraphs()[i], b.paragraphs()[i])) return false;
  }
  return true;
}

}  // namespace

void previewLayoutTarget(std::string_view data) {
  // First byte: the width; then the text up to a 0xFF byte; then edits of 4 bytes
  // (position, removed count, inserted count, inserted byte pattern).
  if (data.empty()) return;
  const int width = 8 + static_cast<unsigned char>(data[0]);
  data.remove_prefix(1);
  const std::size_t cut = data.find('\xFF');
  const std::string_view text = data.substr(0, cut);
  std::string_view edits =
      cut == std::string_view::npos ? std::string_view{} : data.substr(cut + 1);

  PreviewLayout layout(width);
  layout.setText(text);
  checkLayout(layout);
  static const char kPieces[] =
      "#U#1#3#W&C&R&,&.&-&=&P&E \r\n\x0c"
      "ab#I#2#N#V#S#E";
  while (edits.size() >= 4) {
    const auto len = static_cast<PreviewPos>(layout.text().size());
    const PreviewPos pos = len == 0 ? 0 : static_cast<unsigned char>(edits[0]) * 97 % (len + 1);
    const PreviewPos removed = static_cast<unsigned char>(edits[1]) % 5;
    const std::size_t count = static_cast<unsigned char>(edits[2]) % 6;
    const std::size_t from = static_cast<unsigned char>(edits[3]) % (sizeof kPieces - 1);
    std::string inserted;
    for (std::size_t i = 0; i < count; ++i) inserted += kPieces[(from + i) % (sizeof kPieces - 1)];
    edits.remove_prefix(4);
    layout.edit(pos, removed, inserted);
    PreviewLayout whole(width);
    whole.setText(layout.text());
    check(sameLayout(layout, whole), "an edit lays out as the whole text would");
    checkLayout(layout);
  }
  const auto len = static_cast<PreviewPos>(layout.text().size());
  for (std::int64_t y = 0; y < layout.height(); y += 3) {
    for (int x = -2; x < width + 2; x += 7) {
      const PreviewPos p = layout.positionAt(x, y);
      check(p >= 0 && p <= len, "a point maps into the text");
    }
  }
  PreviewBitmap bitmap;
  renderPreview(layout, 0, static_cast<int>(std::min<std::int64_t>(layout.height(), 4096)), bitmap);
}

}  // namespace scrivle::fuzz
