#include "editor/text_model.h"

#include <algorithm>
#include <array>
#include <deque>

#include "editor/text_model_lines.h"
#include "editor/text_model_store.h"
#include "editor/word_rules.h"

namespace scrivle {

namespace {

// Oldest steps are dropped past this many, so a long session cannot eat the memory.
constexpr std::size_t kMaxUndoSteps = 10000;
constexpr std::size_t kMaxPalette = 256;
constexpr Pos kMaxLineText = 4096;

Pos clampPos(Pos p, Pos hi) {
  return std::clamp<Pos>(p, 0, hi);
}

// Horspool search for the first match starting in hay[0, hayLen - m].
struct Needle {
  std::string bytes;  // folded when !matchCase
  std::array<std::size_t, 256> skip{};
  bool fold = false;
  const std::array<unsigned char, 256>& folding = caseFoldTable();

  Needle(std::string_view n, bool matchCase) : bytes(n), fold(!matchCase) {
    if (fold) {
      for (char& c : bytes) {
        c = static_cast<char>(folding[static_cast<unsigned char>(c)]);
      }
    }
    const std::size_t m = bytes.size();
    skip.fill(m);
    for (std::size_t j = 0; j + 1 < m; ++j) {
      skip[static_cast<unsigned char>(bytes[j])] = m - 1 - j;
    }
  }

  unsigned char key(unsigned char c) const { return fold ? folding[c] : c; }

  // Index of the first match in hay starting at or after `from`, or -1.
  Pos search(const unsigned char* hay, std::size_t hayLen, std::size_t from) const {
    const std::size_t m = bytes.size();
    const auto* nd = reinterpret_cast<const unsigned char*>(bytes.data());
    for (std::size_t i = from; i + m <= hayLen;) {
      std::size_t j = m;
      while (j > 0 && key(hay[i + j - 1]) == nd[j - 1]) {
        --j;
      }
      if (j == 0) {
        return static_cast<Pos>(i);
      }
      i += skip[key(hay[i + m - 1])];
    }
    return -1;
  }
};

}  // namespace

struct TextModel::Impl {
  struct Edit {
    Pos pos = 0;
    std::string before;        // text the edit removed
    std::string beforeStyles;  // and its styles
    std::string after;         // text the edit put there
    std::string afterStyles;   // its styles, captured when undone
  };
  struct Step {
    std::vector<Edit> edits;
    Pos anchorBefore = 0;
    Pos caretBefore = 0;
    Pos anchorAfter = 0;
    Pos caretAfter = 0;
  };

  explicit Impl(TextModel* owner) : q(owner) {
    store.assign({});
    lines.rebuild();
  }

  TextModel* q;
  ByteStore store;
  LineIndex lines{store};

  std::vector<CharStyle> palette{CharStyle{}};
  std::vector<bool> freeSlot{false};
  std::size_t lastStyle = 0;
  CharStyle insertion;

  Pos anchor = 0;
  Pos caret = 0;
  bool modified = false;
  bool readOnly = false;
  bool selectionHidden = false;

  std::deque<Step> undo;
  std::deque<Step> redo;
  int groupDepth = 0;
  // Selection when the outermost group began: what undoing the group's step restores,
  // rather than whatever the command selected on its way.
  Pos groupAnchor = 0;
  Pos groupCaret = 0;
  bool groupOpen = false;   // the last undo step is the open group's step
  bool typingOpen = false;  // the last undo step still takes typed characters

  std::vector<std::array<Pos, 3>> textEvents;

  Pos size() const { return store.size(); }

  std::uint8_t styleIndex(const CharStyle& st) {
    if (palette[lastStyle] == st && !freeSlot[lastStyle]) {
      return static_cast<std::uint8_t>(lastStyle);
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
      for (std::size_t i = 0; i < palette.size(); ++i) {
        if (!freeSlot[i] && palette[i] == st) {
          lastStyle = i;
          return static_cast<std::uint8_t>(i);
        }
      }
      for (std::size_t i = 0; i < palette.size(); ++i) {
        if (freeSlot[i]) {
          palette[i] = st;
          freeSlot[i] = false;
          lastStyle = i;
          return static_cast<std::uint8_t>(i);
        }
      }
      if (palette.size() < kMaxPalette) {
        palette.push_back(st);
        freeSlot.push_back(false);
        lastStyle = palette.size() - 1;
        return static_cast<std::uint8_t>(lastStyle);
      }
      collectPalette();
    }
    // 256 different styles really in use: the default one stands in.
    return 0;
  }

  // Frees the palette entries no byte of the text nor of the undo history uses.
  void collectPalette() {
    bool used[kMaxPalette] = {};
    used[0] = true;
    store.markStyles(used);
    auto mark = [&used](const std::string& s) {
      for (char c : s) {
        used[static_cast<unsigned char>(c)] = true;
      }
    };
    for (const auto* stack : {&undo, &redo}) {
      for (const Step& step : *stack) {
        for (const Edit& e : step.edits) {
          mark(e.beforeStyles);
          mark(e.afterStyles);
        }
      }
    }
    for (std::size_t i = 0; i < palette.size(); ++i) {
      freeSlot[i] = !used[i];
    }
  }

  // The one place the text changes. styles: one per new byte, or empty for the
  // insertion style.
  void apply(Pos pos, Pos len, std::string_view text, std::string_view styles, std::string* removed,
             std::string* removedStyles) {
    const Pos n = size();
    pos = clampPos(pos, n);
    len = clampPos(len, n - pos);
    if (removed != nullptr) {
      removed->clear();
      store.copyText(pos, len, *removed);
    }
    if (removedStyles != nullptr) {
      removedStyles->clear();
      store.copyStyles(pos, len, *removedStyles);
    }
    const std::uint8_t fill = styles.size() == text.size() ? 0 : styleIndex(insertion);
    const LineIndex::Pending pending = lines.beforeEdit(pos, len);
    store.replace(pos, len, text, styles, fill);
    const auto inserted = static_cast<Pos>(text.size());
    lines.afterEdit(pending, inserted - len);
    modified = true;
    textEvents.push_back({pos, len, inserted});
    if (q->onEdit) {
      q->onEdit(pos, len, text);
    }
  }

  void record(Edit&& e, Pos a0, Pos c0, bool typing) {
    redo.clear();
    if (groupDepth > 0 && groupOpen && !undo.empty()) {
      Step& s = undo.back();
      // Typing inside a group still extends its last insertion.
      if (typing && !s.edits.empty() && e.before.empty() &&
          s.edits.back().pos + static_cast<Pos>(s.edits.back().after.size()) == e.pos) {
        s.edits.back().after += e.after;
      } else {
        s.edits.push_back(std::move(e));
      }
      s.anchorAfter = anchor;
      s.caretAfter = caret;
      return;
    }
    if (typing && typingOpen && !undo.empty() && e.before.empty()) {
      Step& s = undo.back();
      Edit& last = s.edits.back();
      if (last.pos + static_cast<Pos>(last.after.size()) == e.pos) {
        last.after += e.after;
        s.anchorAfter = anchor;
        s.caretAfter = caret;
        return;
      }
    }
    Step s;
    s.anchorBefore = groupDepth > 0 ? groupAnchor : a0;
    s.caretBefore = groupDepth > 0 ? groupCaret : c0;
    s.anchorAfter = anchor;
    s.caretAfter = caret;
    s.edits.push_back(std::move(e));
    undo.push_back(std::move(s));
    if (undo.size() > kMaxUndoSteps) {
      undo.pop_front();
    }
    groupOpen = groupDepth > 0;
    typingOpen = typing && groupDepth == 0;
  }

  // Maps a position across the replacement of [start, start+len) by ins bytes.
  static Pos mapPos(Pos p, Pos start, Pos len, Pos ins) {
    if (p <= start) {
      return p;
    }
    if (p >= start + len) {
      return p - len + ins;
    }
    return start + ins;
  }

  // An undoable edit; selectAfter puts an empty selection after the new text, otherwise
  // the selection follows the text around it.
  void edit(Pos start, Pos len, std::string_view text, bool typing, bool selectAfter) {
    const Pos n = size();
    start = clampPos(start, n);
    len = clampPos(len, n - start);
    if (len == 0 && text.empty()) {
      return;
    }
    const Pos a0 = anchor;
    const Pos c0 = caret;
    Edit e;
    e.pos = start;
    apply(start, len, text, {}, &e.before, &e.beforeStyles);
    e.after = std::string(text);
    const auto ins = static_cast<Pos>(text.size());
    if (selectAfter) {
      anchor = caret = start + ins;
    } else {
      anchor = mapPos(anchor, start, len, ins);
      caret = mapPos(caret, start, len, ins);
    }
    if (!typing) {
      typingOpen = false;
    }
    record(std::move(e), a0, c0, typing);
  }

  // Undo (toBefore) or redo one edit.
  void swap(Edit& e, bool toBefore) {
    if (toBefore) {
      apply(e.pos, static_cast<Pos>(e.after.size()), e.before, e.beforeStyles, nullptr,
            &e.afterStyles);
    } else {
      apply(e.pos, static_cast<Pos>(e.before.size()), e.after, e.afterStyles, nullptr,
            &e.beforeStyles);
    }
  }

  void setSelection(Pos a, Pos c) {
    const Pos n = size();
    a = clampPos(a, n);
    c = clampPos(c, n);
    if (a != anchor || c != caret) {
      typingOpen = false;
    }
    anchor = a;
    caret = c;
  }

  // Reports the changes made by the operation that began with the selection (a0, c0).
  void flush(Pos a0, Pos c0) {
    std::vector<std::array<Pos, 3>> events;
    events.swap(textEvents);
    if (q->onTextChanged) {
      for (const auto& ev : events) {
        q->onTextChanged(ev[0], ev[1], ev[2]);
      }
    }
    if ((anchor != a0 || caret != c0) && q->onSelectionChanged) {
      q->onSelectionChanged();
    }
  }

  Pos find(std::string_view needleText, Pos start, Pos len, bool wholeWord, bool matchCase) const {
    const auto m = static_cast<Pos>(needleText.size());
    const Pos n = size();
    if (m == 0) {
      return -1;
    }
    start = clampPos(start, n);
    const Pos stop = len < 0 ? n : start + std::min(len, n - start);  // starts < stop
    const Needle needle(needleText, matchCase);
    const auto g = static_cast<Pos>(store.frontSize());
    Pos from = start;
    while (from < stop && from + m <= n) {
      const Pos hit = nextMatch(needle, from, stop, g);
      if (hit < 0) {
        return -1;
      }
      if (!wholeWord || isWholeWord(hit, m)) {
        return hit;
      }
      from = hit + 1;
    }
    return -1;
  }

  bool isWholeWord(Pos at, Pos m) const {
    if (at > 0 && isWordByte(store.at(at - 1))) {
      return false;
    }
    return at + m >= size() || !isWordByte(store.at(at + m));
  }

  // First match starting in [from, stop); the text is the two halves around the gap.
  Pos nextMatch(const Needle& needle, Pos from, Pos stop, Pos g) const {
    const auto m = static_cast<Pos>(needle.bytes.size());
    const Pos n = size();
    const Pos hayEnd = std::min(n, stop + m - 1);  // a match must start before stop
    // Wholly in the front half.
    if (from < g) {
      const Pos end = std::min(g, hayEnd);
      const Pos hit = needle.search(store.front(), static_cast<std::size_t>(end),
                                    static_cast<std::size_t>(from));
      if (hit >= 0) {
        return hit;
      }
    }
    // Across the gap.
    const Pos seamFrom = std::max({from, g - m + 1, Pos{0}});
    const Pos seamTo = std::min(hayEnd, g + m - 1);
    if (seamFrom < g && seamTo - seamFrom >= m) {
      std::string seam;
      store.copyText(seamFrom, seamTo - seamFrom, seam);
      const Pos hit =
          needle.search(reinterpret_cast<const unsigned char*>(seam.data()), seam.size(), 0);
      if (hit >= 0 && seamFrom + hit < g) {
        return seamFrom + hit;
      }
    }
    // Wholly in the back half.
    const Pos backFrom = std::max(from, g);
    if (backFrom < hayEnd) {
      const Pos hit = needle.search(store.back(), static_cast<std::size_t>(hayEnd - g),
                                    static_cast<std::size_t>(backFrom - g));
      if (hit >= 0) {
        return g + hit;
      }
    }
    return -1;
  }
};

TextModel::TextModel() : d_(std::make_unique<Impl>(this)) {}
TextModel::~TextModel() = default;

// --- content -------------------------------------------------------------------

void TextModel::load(std::string_view bytes) {
  const Pos a0 = d_->anchor;
  const Pos c0 = d_->caret;
  const Pos old = d_->size();
  d_->store.assign(bytes);
  d_->palette.assign(1, CharStyle{});
  d_->freeSlot.assign(1, false);
  d_->lastStyle = 0;
  d_->insertion = CharStyle{};
  d_->lines.rebuild();
  d_->anchor = d_->caret = 0;
  d_->modified = true;
  emptyUndoBuffer();
  d_->textEvents.push_back({0, old, static_cast<Pos>(bytes.size())});
  if (onEdit) {
    onEdit(0, old, bytes);
  }
  d_->flush(a0, c0);
}

std::string TextModel::text() const {
  return text(0, length());
}

std::string TextModel::text(Pos start, Pos len) const {
  const Pos n = d_->size();
  start = clampPos(start, n);
  len = clampPos(len, n - start);
  std::string out;
  out.reserve(static_cast<std::size_t>(len));
  d_->store.copyText(start, len, out);
  return out;
}

Pos TextModel::length() const {
  return d_->size();
}

unsigned char TextModel::byteAt(Pos pos) const {
  return pos >= 0 && pos < d_->size() ? d_->store.at(pos) : 0;
}

// --- selection -------------------------------------------------------------------

Pos TextModel::selStart() const {
  return std::min(d_->anchor, d_->caret);
}
Pos TextModel::selLength() const {
  return d_->anchor > d_->caret ? d_->anchor - d_->caret : d_->caret - d_->anchor;
}
Pos TextModel::caret() const {
  return d_->caret;
}
Pos TextModel::anchor() const {
  return d_->anchor;
}

void TextModel::setSel(Pos start, Pos signedLength) {
  const Pos n = d_->size();
  const Pos a0 = d_->anchor;
  const Pos c0 = d_->caret;
  start = clampPos(start, n);
  signedLength = std::clamp<Pos>(signedLength, -n, n);  // no overflow below
  d_->setSelection(start, start + signedLength);
  d_->flush(a0, c0);
}

void TextModel::moveCaret(Pos pos, bool extend) {
  const Pos a0 = d_->anchor;
  const Pos c0 = d_->caret;
  pos = clampPos(pos, d_->size());
  d_->setSelection(extend ? d_->anchor : pos, pos);
  d_->flush(a0, c0);
}

void TextModel::selectAll() {
  const Pos a0 = d_->anchor;
  const Pos c0 = d_->caret;
  d_->setSelection(0, d_->size());
  d_->flush(a0, c0);
}

std::string TextModel::selectedText() const {
  return text(selStart(), selLength());
}

void TextModel::replaceSelection(std::string_view text) {
  const Pos a0 = d_->anchor;
  const Pos c0 = d_->caret;
  d_->edit(selStart(), selLength(), text, false, true);
  d_->flush(a0, c0);
}

void TextModel::replace(Pos start, Pos len, std::string_view text) {
  const Pos a0 = d_->anchor;
  const Pos c0 = d_->caret;
  d_->edit(start, len, text, false, false);
  d_->flush(a0, c0);
}

void TextModel::typeText(std::string_view text) {
  if (d_->readOnly || text.empty()) {
    return;
  }
  const Pos a0 = d_->anchor;
  const Pos c0 = d_->caret;
  d_->edit(selStart(), selLength(), text, true, true);
  d_->flush(a0, c0);
}

// --- attributes -------------------------------------------------------------------

void TextModel::setStyle(Pos start, Pos len, const CharStyle& style) {
  const Pos n = d_->size();
  start = clampPos(start, n);
  len = clampPos(len, n - start);
  if (len == 0) {
    return;
  }
  d_->store.fillStyle(start, len, d_->styleIndex(style));
  if (onStyleChanged) {
    onStyleChanged(start, len);
  }
}

void TextModel::setSelectionStyle(const CharStyle& style) {
  if (selLength() > 0) {
    setStyle(selStart(), selLength(), style);
  } else {
    d_->insertion = style;
  }
}

CharStyle TextModel::styleAt(Pos pos) const {
  if (pos < 0 || pos >= d_->size()) {
    return d_->insertion;
  }
  return d_->palette[d_->store.styleAt(pos)];
}

CharStyle TextModel::selectionStyle() const {
  return selLength() > 0 ? styleAt(selStart()) : d_->insertion;
}

const CharStyle& TextModel::insertionStyle() const {
  return d_->insertion;
}
void TextModel::setInsertionStyle(const CharStyle& style) {
  d_->insertion = style;
}

void TextModel::styleRuns(Pos start, Pos len, std::vector<std::uint8_t>& out) const {
  const Pos n = d_->size();
  start = clampPos(start, n);
  len = clampPos(len, n - start);
  out.resize(static_cast<std::size_t>(len));
  d_->store.copyStyles(start, len, out.data());
}

const std::vector<CharStyle>& TextModel::palette() const {
  return d_->palette;
}

bool TextModel::selectionHidden() const {
  return d_->selectionHidden;
}
void TextModel::setSelectionHidden(bool hidden) {
  d_->selectionHidden = hidden;
}

// --- screen lines -------------------------------------------------------------------

void TextModel::setWrapColumns(int columns) {
  d_->lines.setWrapColumns(columns);
}
int TextModel::wrapColumns() const {
  return d_->lines.wrapColumns();
}
Pos TextModel::lineCount() const {
  return d_->lines.lineCount();
}

Pos TextModel::lineFromPos(Pos pos) const {
  return d_->lines.lineFromPos(clampPos(pos, d_->size()));
}

Pos TextModel::lineStart(Pos line) const {
  if (line == -1) {
    line = lineFromPos(d_->caret);
  }
  if (line < 0 || line >= lineCount()) {
    return -1;
  }
  Pos start = 0;
  Pos end = 0;
  d_->lines.lineRange(line, start, end);
  return start;
}

Pos TextModel::lineLength(Pos line) const {
  if (line == -1) {
    line = lineFromPos(d_->caret);
  }
  if (line < 0 || line >= lineCount()) {
    return 0;
  }
  Pos start = 0;
  Pos end = 0;
  d_->lines.lineRange(line, start, end);
  return end - start;
}

std::string TextModel::lineText(Pos line) const {
  if (line == -1) {
    line = lineFromPos(d_->caret);
  }
  if (line < 0 || line >= lineCount()) {
    return {};
  }
  Pos start = 0;
  Pos end = 0;
  d_->lines.lineRange(line, start, end);
  return text(start, std::min(end - start, kMaxLineText));
}

Pos TextModel::paragraphCount() const {
  return d_->lines.paragraphCount();
}

Pos TextModel::paragraphOfPos(Pos pos) const {
  return d_->lines.paragraphOfPos(clampPos(pos, d_->size()));
}

Pos TextModel::paragraphStart(Pos paragraph) const {
  if (paragraph < 0 || paragraph >= paragraphCount()) {
    return -1;
  }
  return d_->lines.paragraphStart(paragraph);
}

// --- search -------------------------------------------------------------------------

Pos TextModel::find(std::string_view needle, Pos start, Pos len, bool wholeWord,
                    bool matchCase) const {
  return d_->find(needle, start, len, wholeWord, matchCase);
}

Pos TextModel::wordStart(Pos pos) const {
  pos = clampPos(pos, d_->size());
  while (pos > 0 && isWordByte(d_->store.at(pos - 1))) {
    --pos;
  }
  return pos;
}

Pos TextModel::wordEnd(Pos pos) const {
  const Pos n = d_->size();
  pos = clampPos(pos, n);
  while (pos < n && isWordByte(d_->store.at(pos))) {
    ++pos;
  }
  return pos;
}

// --- undo -------------------------------------------------------------------------

bool TextModel::canUndo() const {
  return !d_->undo.empty();
}
bool TextModel::canRedo() const {
  return !d_->redo.empty();
}

bool TextModel::undo() {
  if (d_->undo.empty()) {
    return false;
  }
  const Pos a0 = d_->anchor;
  const Pos c0 = d_->caret;
  d_->typingOpen = false;
  d_->groupOpen = false;  // edits still to come in an open group start a new step
  Impl::Step step = std::move(d_->undo.back());
  d_->undo.pop_back();
  for (auto it = step.edits.rbegin(); it != step.edits.rend(); ++it) {
    d_->swap(*it, true);
  }
  d_->setSelection(step.anchorBefore, step.caretBefore);
  d_->groupAnchor = d_->anchor;  // an open group goes on from here
  d_->groupCaret = d_->caret;
  d_->redo.push_back(std::move(step));
  d_->flush(a0, c0);
  return true;
}

bool TextModel::redo() {
  if (d_->redo.empty()) {
    return false;
  }
  const Pos a0 = d_->anchor;
  const Pos c0 = d_->caret;
  d_->typingOpen = false;
  d_->groupOpen = false;
  Impl::Step step = std::move(d_->redo.back());
  d_->redo.pop_back();
  for (Impl::Edit& e : step.edits) {
    d_->swap(e, false);
  }
  d_->setSelection(step.anchorAfter, step.caretAfter);
  d_->groupAnchor = d_->anchor;
  d_->groupCaret = d_->caret;
  d_->undo.push_back(std::move(step));
  d_->flush(a0, c0);
  return true;
}

void TextModel::emptyUndoBuffer() {
  d_->undo.clear();
  d_->redo.clear();
  d_->typingOpen = false;
  d_->groupOpen = false;
}

void TextModel::beginGroup() {
  if (d_->groupDepth++ == 0) {
    d_->groupOpen = false;
    d_->typingOpen = false;
    d_->groupAnchor = d_->anchor;
    d_->groupCaret = d_->caret;
  }
}

void TextModel::endGroup() {
  if (d_->groupDepth == 0) {
    return;  // unmatched: ignore rather than corrupt the count
  }
  if (--d_->groupDepth == 0) {
    d_->groupOpen = false;
    d_->typingOpen = false;
  }
}

// --- flags --------------------------------------------------------------------------

bool TextModel::modified() const {
  return d_->modified;
}
void TextModel::setModified(bool modified) {
  d_->modified = modified;
}
bool TextModel::readOnly() const {
  return d_->readOnly;
}
void TextModel::setReadOnly(bool readOnly) {
  d_->readOnly = readOnly;
}

std::size_t TextModel::memoryUsage() const {
  std::size_t bytes = sizeof(Impl) + 2 * d_->store.capacity() + d_->lines.memoryUsage() +
                      d_->palette.capacity() * sizeof(CharStyle);
  for (const auto* stack : {&d_->undo, &d_->redo}) {
    for (const Impl::Step& step : *stack) {
      bytes += sizeof(Impl::Step) + step.edits.capacity() * sizeof(Impl::Edit);
      for (const Impl::Edit& e : step.edits) {
        bytes += e.before.capacity() + e.beforeStyles.capacity() + e.after.capacity() +
                 e.afterStyles.capacity();
      }
    }
  }
  return bytes;
}

}  // namespace scrivle
