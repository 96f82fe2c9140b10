#include "preview/layout.h"

#include <algorithm>
#include <cstring>

#include "tags/vocabulary.h"

namespace scrivle {

namespace pf = ::preview;

namespace {

int heightOf(pf::FontSize size) {
  return pf::cellHeight(size);
}

// Applies a tag to the character state or the paragraph's format.
void applyCharTag(CharState& st, unsigned char letter) {
  switch (letter) {
    case '1':
      st.size = pf::FontSize::Small;
      break;
    case '2':
      st.size = pf::FontSize::Normal;
      break;
    case '3':
      st.size = pf::FontSize::Large;
      break;
    case 'U':
      st.attrs ^= kUnderline;
      break;
    case 'N':
      st.attrs ^= kDotted;
      break;
    case 'V':
      st.attrs ^= kVector;
      break;
    case 'I':
      st.attrs ^= kInverse;
      break;
    case 'S':
      st.attrs ^= kStrike;
      break;
    case 'E':
      st.attrs ^= kExponent;
      break;
    case 'W':
      st.attrs ^= kNoWrap;
      break;
    default:
      break;
  }
}

void applyParaTag(PreviewParagraph& p, unsigned char letter) {
  switch (letter) {
    case '\\':
      p.margin = 0;
      break;
    case ',':
      p.margin = 10;
      break;
    case ';':
      p.margin = 20;
      break;
    case '.':
      p.margin = 30;
      break;
    case 'L':
      p.align = ParaAlign::Left;
      break;
    case 'C':
      p.align = ParaAlign::Centre;
      break;
    case 'R':
      p.align = ParaAlign::Right;
      break;
    case 'P':
      p.kind = ParaKind::Picture;
      break;
    case 'E':
      p.kind = ParaKind::Pretty;
      break;
    case '-':
      p.kind = ParaKind::Rule;
      break;
    case '=':
      p.kind = ParaKind::DoubleRule;
      break;
    default:
      break;
  }
}

struct LineBox {
  int xBase;  // left of the area
  int avail;  // its width
  ParaAlign align;
  bool forceWrap;  // wrap whatever "#W" says
};

// Breaks the paragraph's glyphs into lines from row `top`: at the last space that fits,
// or at the edge inside a word longer than the line; a line where wrapping is off runs
// on. Returns the row after the last line.
int breakLines(PreviewParagraph& p, const LineBox& box, int top, pf::FontSize emptySize) {
  auto& g = p.glyphs;
  const int m = static_cast<int>(g.size());
  int y = top;
  if (m == 0) {
    const int left = box.xBase + (box.align == ParaAlign::Centre  ? (box.avail + 1) / 2
                                  : box.align == ParaAlign::Right ? box.avail
                                                                  : 0);
    p.lines.push_back({y, heightOf(emptySize), 0, 0, p.textLength, p.textLength, left});
    return y + heightOf(emptySize);
  }
  int i = 0;
  while (i < m) {
    const int start = i;
    int x = 0;
    int lastSpace = -1;
    int end = m;
    int next = m;
    for (int j = i; j < m; ++j) {
      const int w = g[j].width;
      const bool wrapOn = box.forceWrap || (g[j].attrs & kNoWrap) == 0;
      if (x + w > box.avail && wrapOn && j > start) {
        if (g[j].code == ' ') {
          end = j;
          next = j + 1;
        } else if (lastSpace > start) {
          end = lastSpace;
          next = lastSpace + 1;
        } else {
          end = j;
          next = j;
        }
        break;
      }
      if (g[j].code == ' ') lastSpace = j;
      g[j].x = x;
      x += w;
    }
    const int lineWidth = g[end - 1].x + g[end - 1].width;
    int left = box.xBase;
    if (box.align == ParaAlign::Centre) {
      left += std::max(0, (box.avail - lineWidth + 1) / 2);
    } else if (box.align == ParaAlign::Right) {
      left += std::max(0, box.avail - lineWidth);
    }
    int height = 0;
    for (int k = start; k < end; ++k) height = std::max(height, heightOf(g[k].size));
    for (int k = start; k < end; ++k) {
      g[k].x += left;
      g[k].y = static_cast<std::int16_t>(
          (g[k].attrs & kExponent) != 0 ? 0 : height - heightOf(g[k].size));
    }
    const int textEnd = next < m ? g[end - 1].offset + 1 : p.textLength;
    p.lines.push_back({y, height, start, end, g[start].offset, textEnd, left});
    y += height;
    i = next;
  }
  return y;
}

}  // namespace

PreviewLayout::PreviewLayout(int width) : width_(std::max(width, 1)) {
  setText({});
}

void PreviewLayout::setWidth(int width) {
  width_ = std::max(width, 1);
  setText(std::string(text_));
}

namespace {

// Splits [s, e) of the text into paragraphs. e is a paragraph boundary or, with toEnd,
// the end of the text (after a final CR LF an empty paragraph follows).
void split(const std::string& t, std::size_t s, std::size_t e, bool toEnd,
           std::vector<PreviewParagraph>& out) {
  std::size_t pos = s;
  while (true) {
    std::size_t q = pos;
    const char* base = t.data();
    bool found = false;
    while (q + 1 < e) {
      const void* cr = std::memchr(base + q, '\r', e - 1 - q);
      if (cr == nullptr) break;
      q = static_cast<std::size_t>(static_cast<const char*>(cr) - base);
      if (base[q + 1] == '\n') {
        found = true;
        break;
      }
      ++q;
    }
    PreviewParagraph p;
    p.start = static_cast<PreviewPos>(pos);
    if (!found) {
      if (toEnd || pos < e) {
        p.length = p.textLength = static_cast<std::int32_t>(e - pos);
        out.push_back(std::move(p));
      }
      return;
    }
    p.length = static_cast<std::int32_t>(q + 2 - pos);
    p.textLength = static_cast<std::int32_t>(q - pos);
    out.push_back(std::move(p));
    pos = q + 2;
    if (pos == e && !toEnd) return;
  }
}

}  // namespace

void PreviewLayout::setText(std::string_view text) {
  text_.assign(text);
  paras_.clear();
  split(text_, 0, text_.size(), true, paras_);
  CharState st;
  for (auto& p : paras_) {
    layParagraph(p, st);
    st = p.out;
  }
  lastLaidOut_ = paras_.size();
  restack(0);
}

void PreviewLayout::edit(PreviewPos pos, PreviewPos removed, std::string_view inserted) {
  const auto n = static_cast<PreviewPos>(text_.size());
  pos = std::clamp<PreviewPos>(pos, 0, n);
  removed = std::clamp<PreviewPos>(removed, 0, n - pos);
  // The paragraphs around the change: one byte either side catches a CR LF made or
  // broken at its edges.
  const std::size_t first = paragraphAt(std::max<PreviewPos>(pos - 1, 0));
  const std::size_t last = paragraphAt(std::min<PreviewPos>(pos + removed + 1, n));
  const bool toEnd = last + 1 == paras_.size();
  const PreviewPos spanStart = paras_[first].start;
  const PreviewPos spanEnd = toEnd ? n : paras_[last].start + paras_[last].length;
  text_.replace(static_cast<std::size_t>(pos), static_cast<std::size_t>(removed), inserted);
  const PreviewPos delta = static_cast<PreviewPos>(inserted.size()) - removed;

  std::vector<PreviewParagraph> fresh;
  split(text_, static_cast<std::size_t>(spanStart), static_cast<std::size_t>(spanEnd + delta),
        toEnd, fresh);
  const std::size_t count = fresh.size();
  CharState st = first > 0 ? paras_[first - 1].out : CharState{};
  for (auto& p : fresh) {
    layParagraph(p, st);
    st = p.out;
  }
  // Swap the new paragraphs in, keeping the vector's storage for the rest.
  const std::size_t oldCount = last - first + 1;
  if (count > oldCount) {
    paras_.insert(paras_.begin() + static_cast<std::ptrdiff_t>(last + 1), count - oldCount,
                  PreviewParagraph{});
  } else if (count < oldCount) {
    paras_.erase(paras_.begin() + static_cast<std::ptrdiff_t>(first + count),
                 paras_.begin() + static_cast<std::ptrdiff_t>(last + 1));
  }
  for (std::size_t k = 0; k < count; ++k) paras_[first + k] = std::move(fresh[k]);
  std::size_t laid = count;
  const std::size_t after = first + count;
  for (std::size_t k = after; k < paras_.size(); ++k) paras_[k].start += delta;
  for (std::size_t k = after; k < paras_.size() && !(paras_[k].in == st); ++k) {
    layParagraph(paras_[k], st);
    st = paras_[k].out;
    ++laid;
  }
  lastLaidOut_ = laid;
  restack(first);
}

void PreviewLayout::restack(std::size_t from) {
  std::int64_t top = from > 0 ? paras_[from - 1].top + paras_[from - 1].height : 0;
  for (std::size_t k = from; k < paras_.size(); ++k) {
    paras_[k].top = top;
    top += paras_[k].height;
  }
}

std::int64_t PreviewLayout::height() const {
  return paras_.back().top + paras_.back().height;
}

void PreviewLayout::layParagraph(PreviewParagraph& p, CharState in) const {
  const auto* s = reinterpret_cast<const unsigned char*>(text_.data()) + p.start;
  const int n = p.textLength;
  p.in = in;
  p.margin = 0;
  p.align = ParaAlign::Left;
  p.kind = ParaKind::Text;
  p.glyphs.clear();
  p.lines.clear();
  p.boxes.clear();
  p.glyphs.reserve(static_cast<std::size_t>(n));
  CharState st = in;
  for (int i = 0; i < n; ++i) {
    const unsigned char c = s[i];
    if (i + 1 < n && isTag(c, s[i + 1])) {
      if (c == kCharTagIntro) {
        applyCharTag(st, s[i + 1]);
      } else {
        applyParaTag(p, s[i + 1]);
      }
      ++i;
      continue;
    }
    if (c == kBookmarkMark) continue;
    const pf::FontSize size = (st.attrs & kExponent) != 0 ? pf::FontSize::Small : st.size;
    p.glyphs.push_back({i, 0, 0, c, pf::glyph(size, c).width, size, st.attrs});
  }
  p.out = st;

  const int margin = std::min<int>(p.margin, width_ - 1);
  const int avail = width_ - margin;
  switch (p.kind) {
    case ParaKind::Text: {
      p.height = breakLines(p, {margin, avail, p.align, false}, 0, st.size);
      break;
    }
    case ParaKind::Rule:
    case ParaKind::DoubleRule: {
      const int block = heightOf(st.size);
      const int w = avail;
      const int x = margin;
      if (p.kind == ParaKind::Rule) {
        p.boxes.push_back({PreviewBox::Fill, x, static_cast<std::int32_t>(block / 2), w, 1});
      } else {
        p.boxes.push_back({PreviewBox::Fill, x, static_cast<std::int32_t>(block / 2 - 1), w, 1});
        p.boxes.push_back({PreviewBox::Fill, x, static_cast<std::int32_t>(block / 2 + 1), w, 1});
      }
      if (p.glyphs.empty()) {
        p.lines.push_back({0, block, 0, 0, p.textLength, p.textLength, margin});
        p.height = block;
      } else {
        p.height = breakLines(p, {margin, avail, p.align, false}, block, st.size);
      }
      break;
    }
    case ParaKind::Picture: {
      // A slot across the width, the picture's name centred in it in the small font.
      for (auto& g : p.glyphs) {
        g.size = pf::FontSize::Small;
        g.attrs = 0;
        g.width = pf::glyph(pf::FontSize::Small, g.code).width;
      }
      const int inner = std::max(avail - 6, 1);
      const int bottom =
          breakLines(p, {margin + 3, inner, ParaAlign::Centre, true}, 3, pf::FontSize::Small);
      p.boxes.push_back({PreviewBox::Frame, static_cast<std::int32_t>(margin), 0,
                         static_cast<std::int32_t>(avail), static_cast<std::int32_t>(bottom + 3)});
      p.height = bottom + 3;
      break;
    }
    case ParaKind::Pretty: {
      // The expression centred, in a frame that hugs it with one blank pixel around.
      const int inner = std::max(avail - 4, 1);
      const int bottom = breakLines(p, {margin + 2, inner, ParaAlign::Centre, false}, 2, st.size);
      int left = width_;
      int right = 0;
      for (const auto& line : p.lines) {
        const int w =
            line.endGlyph > line.firstGlyph
                ? p.glyphs[line.endGlyph - 1].x + p.glyphs[line.endGlyph - 1].width - line.left
                : 0;
        left = std::min(left, line.left);
        right = std::max(right, std::min(line.left + w, width_ - 2));
      }
      p.boxes.push_back({PreviewBox::Frame, static_cast<std::int32_t>(left - 2), 0,
                         static_cast<std::int32_t>(std::max(right - left, 0) + 4),
                         static_cast<std::int32_t>(bottom + 2)});
      p.height = bottom + 2;
      break;
    }
  }
}

std::size_t PreviewLayout::paragraphAt(PreviewPos pos) const {
  auto it = std::upper_bound(paras_.begin(), paras_.end(), pos,
                             [](PreviewPos v, const PreviewParagraph& p) { return v < p.start; });
  if (it == paras_.begin()) return 0;
  return static_cast<std::size_t>(it - paras_.begin()) - 1;
}

std::size_t PreviewLayout::paragraphAtRow(std::int64_t y) const {
  auto it = std::upper_bound(paras_.begin(), paras_.end(), y,
                             [](std::int64_t v, const PreviewParagraph& p) { return v < p.top; });
  if (it == paras_.begin()) return 0;
  return static_cast<std::size_t>(it - paras_.begin()) - 1;
}

PreviewPos PreviewLayout::positionAt(int x, std::int64_t y) const {
  const PreviewParagraph& p = paras_[paragraphAtRow(y)];
  const std::int64_t ry = y - p.top;
  std::size_t li = 0;
  while (li + 1 < p.lines.size() && p.lines[li + 1].top <= ry) ++li;
  const PreviewLine& line = p.lines[li];
  for (int k = line.firstGlyph; k < line.endGlyph; ++k) {
    const PreviewGlyph& g = p.glyphs[static_cast<std::size_t>(k)];
    if (x < g.x + g.width / 2) return p.start + g.offset;
  }
  return p.start + line.textEnd;
}

int modelForFile(std::string_view lowerExtension, std::string_view defaultExt) {
  if (lowerExtension == ".89t") return 89;
  if (lowerExtension == ".92t" || lowerExtension == ".9xt") return 92;
  return defaultExt == "89t" || defaultExt == "89T" ? 89 : 92;
}

}  // namespace scrivle
