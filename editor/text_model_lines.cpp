#include "editor/text_model_lines.h"

#include <algorithm>

namespace scrivle {

namespace {
// Block sizes: small enough that walking one block is a few microseconds, large enough
// that a 10 MB text has only a few thousand of them.
constexpr LineIndex::Pos kTargetBlock = 2048;
constexpr LineIndex::Pos kMaxBlock = 4096;
constexpr LineIndex::Pos kMinBlock = 512;
}  // namespace

LineIndex::Pos LineIndex::findCrLf(Pos from, Pos to) const {
  while (from + 1 < to) {
    const Pos cr = store_.findByte('\r', from, to - 1);
    if (cr < 0) {
      return -1;
    }
    if (store_.at(cr + 1) == '\n') {
      return cr;
    }
    from = cr + 1;
  }
  return -1;
}

LineIndex::Pos LineIndex::lineEndFrom(Pos lineStart, Pos paraEnd) const {
  if (wrap_ <= 0 || paraEnd - lineStart <= wrap_) {
    return paraEnd;
  }
  // Break after the last space that still fits; a longer word breaks at the column.
  const Pos space = store_.findByteBack(' ', lineStart, lineStart + wrap_);
  return space >= 0 ? space + 1 : lineStart + wrap_;
}

LineIndex::Pos LineIndex::wrapCount(Pos s, Pos e) const {
  if (wrap_ <= 0 || e - s <= wrap_) {
    return 1;
  }
  Pos count = 1;
  while (e - s > wrap_) {
    s = lineEndFrom(s, e);
    ++count;
  }
  return count;
}

// Calls f(start, end, next) for each paragraph of [from, to): its text is [start, end),
// next is the position after its CR LF. The unterminated paragraph at `to` (possibly
// empty) is reported only withFinal, with next == end. f returns false to stop.
template <typename F>
void LineIndex::forEachParagraph(Pos from, Pos to, bool withFinal, F&& f) const {
  Pos s = from;
  for (;;) {
    const Pos cr = findCrLf(s, to);
    if (cr < 0) {
      break;
    }
    if (!f(s, cr, cr + 2)) {
      return;
    }
    s = cr + 2;
  }
  if (withFinal) {
    f(s, to, to);
  }
}

LineIndex::Stats LineIndex::statsOf(Pos from, Pos to, bool withFinal) const {
  Stats st;
  st.bytes = to - from;
  forEachParagraph(from, to, withFinal, [&](Pos s, Pos e, Pos) {
    ++st.paras;
    st.lines += wrapCount(s, e);
    return true;
  });
  return st;
}

void LineIndex::chunk(Pos from, Pos to, bool withFinal, std::vector<Stats>& out) const {
  Stats cur;
  forEachParagraph(from, to, withFinal, [&](Pos s, Pos e, Pos next) {
    cur.bytes += next - s;
    ++cur.paras;
    cur.lines += wrapCount(s, e);
    // Never close a block right before the empty final paragraph: no empty blocks.
    if (cur.bytes >= kTargetBlock && next < to) {
      out.push_back(cur);
      cur = Stats{};
    }
    return true;
  });
  if (cur.paras > 0 || out.empty()) {
    out.push_back(cur);
  }
}

void LineIndex::rebuild() {
  blocks_.clear();
  chunk(0, store_.size(), true, blocks_);
  buildTree();
}

void LineIndex::setWrapColumns(int columns) {
  columns = std::max(columns, 0);
  if (columns == wrap_) {
    return;
  }
  wrap_ = columns;
  rebuild();
}

void LineIndex::buildTree() {
  const std::size_t n = blocks_.size();
  tree_.assign(n + 1, Stats{});
  total_ = Stats{};
  for (std::size_t i = 1; i <= n; ++i) {
    tree_[i] += blocks_[i - 1];
    total_ += blocks_[i - 1];
    const std::size_t j = i + (i & (~i + 1));
    if (j <= n) {
      tree_[j] += tree_[i];
    }
  }
}

void LineIndex::addToTree(std::size_t block, const Stats& delta) {
  blocks_[block] += delta;
  total_ += delta;
  for (std::size_t i = block + 1; i < tree_.size(); i += i & (~i + 1)) {
    tree_[i] += delta;
  }
}

LineIndex::Stats LineIndex::prefix(std::size_t count) const {
  Stats st;
  for (std::size_t i = count; i > 0; i -= i & (~i + 1)) {
    st += tree_[i];
  }
  return st;
}

// Largest k such that the first k blocks hold at most `value` of the field.
template <typename Field>
LineIndex::Found LineIndex::findBy(Field field, Pos value) const {
  const std::size_t n = blocks_.size();
  std::size_t step = 1;
  while (step * 2 <= n) {
    step *= 2;
  }
  std::size_t k = 0;
  Stats acc;
  for (; step > 0; step /= 2) {
    if (k + step <= n && acc.*field + tree_[k + step].*field <= value) {
      k += step;
      acc += tree_[k];
    }
  }
  if (k >= n) {  // value is the very end: it belongs to the last block
    k = n - 1;
    acc = prefix(k);
  }
  return {k, acc};
}

LineIndex::Found LineIndex::blockOfPos(Pos pos) const {
  return findBy(&Stats::bytes, pos);
}

LineIndex::Pending LineIndex::beforeEdit(Pos start, Pos len) const {
  const Pos size = store_.size();
  Pending p;
  // From the paragraph holding the byte before the edit (a CR there may pair with an
  // inserted LF)...
  if (start > 0) {
    const Pos q = start - 1;
    const Found f = blockOfPos(q);
    Pos lo = f.before.bytes;
    p.ps = lo;
    for (Pos to = q; to > lo;) {
      const Pos lf = store_.findByteBack('\n', lo, to);
      if (lf < 0) {
        break;
      }
      if (lf >= 1 && store_.at(lf - 1) == '\r') {
        p.ps = lf + 1;
        break;
      }
      to = lf;
    }
  }
  // ...to the end of the paragraph holding the byte after it; when that byte is the LF
  // of a CR LF the edit breaks the pair, so the next paragraph joins in.
  const Pos r = start + len;
  p.pe = size;
  if (r < size) {
    const Pos cr = findCrLf(std::max(r - 1, p.ps), size);
    if (cr >= 0) {
      p.pe = cr + 2;
      if (cr + 1 == r) {
        const Pos cr2 = findCrLf(p.pe, size);
        p.pe = cr2 < 0 ? size : cr2 + 2;
      }
    }
  }
  p.toEnd = p.pe == size;
  p.bi = blockOfPos(p.ps).block;
  p.bj = p.toEnd ? blocks_.size() - 1 : blockOfPos(p.pe - 1).block;
  if (p.bi == p.bj) {
    const Stats st = statsOf(p.ps, p.pe, p.toEnd);
    p.oldParas = st.paras;
    p.oldLines = st.lines;
  }
  return p;
}

void LineIndex::replaceBlocks(std::size_t first, std::size_t last, std::vector<Stats>& with) {
  blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(first),
                blocks_.begin() + static_cast<std::ptrdiff_t>(last) + 1);
  blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(first), with.begin(), with.end());
  buildTree();
}

void LineIndex::afterEdit(const Pending& p, Pos delta) {
  std::vector<Stats> fresh;
  if (p.bi != p.bj) {
    // The edit spans blocks: re-cut them from scratch.
    const Pos from = prefix(p.bi).bytes;
    const Pos to = prefix(p.bj + 1).bytes + delta;
    chunk(from, to, p.bj + 1 == blocks_.size(), fresh);
    replaceBlocks(p.bi, p.bj, fresh);
    return;
  }
  const Stats now = statsOf(p.ps, p.pe + delta, p.toEnd);
  Stats d;
  d.bytes = delta;
  d.paras = now.paras - p.oldParas;
  d.lines = now.lines - p.oldLines;
  addToTree(p.bi, d);

  std::size_t b = p.bi;
  if (blocks_[b].bytes < kMinBlock && blocks_.size() > 1) {
    // Fold a shrunken block into a neighbour; both hold whole paragraphs, so the counts add.
    const std::size_t keep = b + 1 < blocks_.size() ? b : b - 1;
    blocks_[keep] += blocks_[keep + 1];
    blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(keep) + 1);
    buildTree();
    b = keep;
  }
  if (blocks_[b].bytes > kMaxBlock && blocks_[b].paras > 1) {
    const Pos from = prefix(b).bytes;
    chunk(from, from + blocks_[b].bytes, b + 1 == blocks_.size(), fresh);
    if (fresh.size() > 1) {
      replaceBlocks(b, b, fresh);
    }
  }
}

LineIndex::Pos LineIndex::lineFromPos(Pos pos) const {
  const Found f = blockOfPos(pos);
  const Pos from = f.before.bytes;
  const Pos to = from + blocks_[f.block].bytes;
  Pos line = f.before.lines;
  forEachParagraph(from, to, f.block + 1 == blocks_.size(), [&](Pos s, Pos e, Pos next) {
    if (pos < next || next == e) {
      Pos ls = s;
      while (wrap_ > 0 && e - ls > wrap_) {
        const Pos le = lineEndFrom(ls, e);
        if (pos < le) {
          return false;
        }
        ls = le;
        ++line;
      }
      return false;
    }
    line += wrapCount(s, e);
    return true;
  });
  return line;
}

void LineIndex::lineRange(Pos line, Pos& start, Pos& end) const {
  const Found f = findBy(&Stats::lines, line);
  const Pos from = f.before.bytes;
  const Pos to = from + blocks_[f.block].bytes;
  Pos rem = line - f.before.lines;
  start = end = from;
  forEachParagraph(from, to, f.block + 1 == blocks_.size(), [&](Pos s, Pos e, Pos) {
    const Pos count = wrapCount(s, e);
    if (rem >= count) {
      rem -= count;
      return true;
    }
    Pos ls = s;
    for (; rem > 0; --rem) {
      ls = lineEndFrom(ls, e);
    }
    start = ls;
    end = lineEndFrom(ls, e);
    return false;
  });
}

LineIndex::Pos LineIndex::paragraphOfPos(Pos pos) const {
  const Found f = blockOfPos(pos);
  const Pos from = f.before.bytes;
  const Pos to = from + blocks_[f.block].bytes;
  Pos para = f.before.paras;
  forEachParagraph(from, to, f.block + 1 == blocks_.size(), [&](Pos, Pos e, Pos next) {
    if (pos < next || next == e) {
      return false;
    }
    ++para;
    return true;
  });
  return para;
}

LineIndex::Pos LineIndex::paragraphStart(Pos paragraph) const {
  const Found f = findBy(&Stats::paras, paragraph);
  const Pos from = f.before.bytes;
  const Pos to = from + blocks_[f.block].bytes;
  Pos rem = paragraph - f.before.paras;
  Pos result = from;
  forEachParagraph(from, to, f.block + 1 == blocks_.size(), [&](Pos s, Pos, Pos) {
    if (rem == 0) {
      result = s;
      return false;
    }
    --rem;
    return true;
  });
  return result;
}

std::size_t LineIndex::memoryUsage() const {
  return (blocks_.capacity() + tree_.capacity()) * sizeof(Stats) + sizeof(*this);
}

}  // namespace scrivle
