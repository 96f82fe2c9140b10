// The editor model driven by a byte stream of operations, against a std::string doing the
// same edits. After every step: the text, the selection bounds, the paragraph and screen
// line index (which must equal the index a fresh load of the same text builds), and the
// styles set since the last undo. At the end the whole history is undone and redone.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "editor/text_model.h"
#include "fuzz/targets.h"

namespace scrivle::fuzz {

namespace {

// Reads operation arguments off the input; past its end every read gives zero.
class Reader {
 public:
  explicit Reader(std::string_view data) : data_(data) {}
  bool done() const { return at_ >= data_.size(); }
  unsigned byte() { return at_ < data_.size() ? static_cast<unsigned char>(data_[at_++]) : 0U; }
  // A position or length a little past the text, so that clamping is exercised too.
  Pos upTo(Pos n) {
    return static_cast<Pos>((byte() << 8 | byte()) % static_cast<unsigned>(n + 3));
  }
  // Short texts over a small alphabet rich in what matters: spaces, CR, LF, CR LF.
  std::string text() {
    static constexpr std::string_view kAlphabet = "ab \r\n\r\n\x0c\x80Z";
    const unsigned n = byte() % 12;
    std::string s;
    for (unsigned i = 0; i < n; ++i) {
      const unsigned b = byte();
      s.push_back(b < 200 ? kAlphabet[b % kAlphabet.size()] : static_cast<char>(b));
    }
    return s;
  }

 private:
  std::string_view data_;
  std::size_t at_ = 0;
};

struct Reference {
  std::string text;
  std::vector<CharStyle> styles;
};

// Undo brings back styles from its history and a full palette substitutes the default
// style: the reference then starts again from what the model holds.
void takeStyles(const TextModel& model, Reference& ref) {
  std::vector<std::uint8_t> runs;
  model.styleRuns(0, model.length(), runs);
  ref.styles.clear();
  for (const std::uint8_t r : runs) {
    ref.styles.push_back(r < model.palette().size() ? model.palette()[r] : CharStyle{});
  }
}

void replaceIn(Reference& ref, Pos start, Pos len, std::string_view with, const CharStyle& st) {
  const auto n = static_cast<Pos>(ref.text.size());
  start = std::clamp<Pos>(start, 0, n);
  len = std::clamp<Pos>(len, 0, n - start);
  ref.text.replace(static_cast<std::size_t>(start), static_cast<std::size_t>(len), with);
  ref.styles.erase(ref.styles.begin() + start, ref.styles.begin() + start + len);
  ref.styles.insert(ref.styles.begin() + start, with.size(), st);
}

std::size_t count(std::string_view hay, std::string_view needle) {
  std::size_t n = 0;
  for (std::size_t p = hay.find(needle); p != std::string_view::npos; p = hay.find(needle, p + 1)) {
    ++n;
  }
  return n;
}

void checkLines(const TextModel& model, std::string_view text) {
  const Pos n = model.length();
  check(model.paragraphCount() == static_cast<Pos>(count(text, "\r\n")) + 1, "paragraphs");
  TextModel fresh;
  fresh.load(text);
  fresh.setWrapColumns(model.wrapColumns());
  check(fresh.lineCount() == model.lineCount(), "line count equals a fresh layout");
  Pos expectedStart = 0;
  for (Pos line = 0; line < model.lineCount(); ++line) {
    const Pos start = model.lineStart(line);
    const Pos len = model.lineLength(line);
    check(start == fresh.lineStart(line) && len == fresh.lineLength(line),
          "lines equal a fresh layout");
    check(start == expectedStart, "lines follow each other");
    check(model.lineFromPos(start) == line, "a line's start maps back to it");
    if (model.wrapColumns() > 0) {
      check(len <= model.wrapColumns(), "a wrapped line fits its columns");
    }
    expectedStart = start + len;
    if (text.substr(static_cast<std::size_t>(expectedStart), 2) == "\r\n") {
      expectedStart += 2;
    }
  }
  check(expectedStart == n, "the lines cover the text");
}

void checkState(const TextModel& model, const Reference& ref) {
  check(model.text() == ref.text, "text equals the reference");
  const Pos n = model.length();
  check(n == static_cast<Pos>(ref.text.size()), "length");
  check(model.caret() >= 0 && model.caret() <= n && model.anchor() >= 0 && model.anchor() <= n,
        "selection inside the text");
  check(model.selectedText() == ref.text.substr(static_cast<std::size_t>(model.selStart()),
                                                static_cast<std::size_t>(model.selLength())),
        "selected text");
  std::vector<std::uint8_t> runs;
  model.styleRuns(0, n, runs);
  check(runs.size() == static_cast<std::size_t>(n), "one style per byte");
  for (std::size_t i = 0; i < runs.size(); ++i) {
    check(runs[i] < model.palette().size(), "style index inside the palette");
    check(model.palette()[runs[i]] == ref.styles[i], "style equals the reference");
  }
  checkLines(model, ref.text);
}

CharStyle styleFrom(unsigned b) {
  CharStyle st;
  st.colour = (b & 0x0FU) * 0x00111111U;
  st.bold = (b & 0x10U) != 0;
  st.italic = (b & 0x20U) != 0;
  st.underline = (b & 0x40U) != 0;
  st.strikeOut = (b & 0x80U) != 0;
  return st;
}

}  // namespace

void textModelTarget(std::string_view data) {
  Reader in(data);
  TextModel model;
  Reference ref;
  std::string loaded;  // what undoing everything gives back
  int groups = 0;
  for (int step = 0; step < 400 && !in.done(); ++step) {
    const Pos n = model.length();
    switch (in.byte() % 14) {
      case 0: {
        const Pos start = in.upTo(n);
        const Pos len = in.upTo(n);
        const std::string t = in.text();
        replaceIn(ref, start, len, t, model.insertionStyle());
        model.replace(start, len, t);
        break;
      }
      case 1:
      case 2: {
        const std::string t = in.text();
        if (!model.readOnly() && !t.empty()) {
          replaceIn(ref, model.selStart(), model.selLength(), t, model.insertionStyle());
        }
        model.typeText(t);
        break;
      }
      case 3: {
        const std::string t = in.text();
        replaceIn(ref, model.selStart(), model.selLength(), t, model.insertionStyle());
        model.replaceSelection(t);
        break;
      }
      case 4: {
        const Pos start = in.upTo(n);
        const Pos len = in.upTo(n) - (in.byte() & 1U ? n / 2 : 0);
        model.setSel(start, len);
        break;
      }
      case 5: {
        const Pos pos = in.upTo(n);
        model.moveCaret(pos, (in.byte() & 1U) != 0);
        break;
      }
      case 6:
      case 7: {
        const bool isUndo = (in.byte() & 1U) != 0;
        const std::string before = model.text();
        if (isUndo ? model.undo() : model.redo()) {
          const std::string after = model.text();
          check(isUndo ? model.redo() : model.undo(), "an undone step can be redone");
          check(model.text() == before, "undo and redo are inverse");
          check(isUndo ? model.undo() : model.redo(), "a redone step can be undone");
          check(model.text() == after, "redo and undo are inverse");
          ref.text = after;
          takeStyles(model, ref);
        } else {
          check(model.text() == before, "nothing to undo changes nothing");
        }
        break;
      }
      case 8:
        if ((in.byte() & 1U) != 0 && groups < 4) {
          model.beginGroup();
          ++groups;
        } else if (groups > 0) {
          model.endGroup();
          --groups;
        }
        break;
      case 9:
        model.setWrapColumns(static_cast<int>(in.byte() % 24));
        break;
      case 10: {
        const Pos start = in.upTo(n);
        const Pos len = in.upTo(n);
        const CharStyle st = styleFrom(in.byte());
        model.setStyle(start, len, st);
        const Pos s = std::clamp<Pos>(start, 0, n);
        const Pos l = std::clamp<Pos>(len, 0, n - s);
        if (l > 0 && model.styleAt(s) != st) {
          // Only when 256 styles are really in use does the default one stand in.
          check(model.palette().size() == 256 && model.styleAt(s) == CharStyle{},
                "style refused while the palette has room");
          takeStyles(model, ref);
        } else {
          std::fill(ref.styles.begin() + s, ref.styles.begin() + s + l, st);
        }
        break;
      }
      case 11:
        model.setInsertionStyle(styleFrom(in.byte()));
        break;
      case 12: {
        const std::string t = in.text() + in.text() + in.text();
        model.load(t);
        ref = Reference{t, std::vector<CharStyle>(t.size())};
        loaded = t;
        break;
      }
      case 13:
        model.setReadOnly((in.byte() & 1U) != 0);
        break;
      default:
        break;
    }
    checkState(model, ref);
  }
  while (groups-- > 0) {
    model.endGroup();
  }
  int steps = 0;
  while (model.redo()) {
    check(++steps < 10000, "redo ends");
  }
  const std::string last = model.text();
  steps = 0;
  while (model.undo()) {
    check(++steps < 10000, "undo ends");
  }
  check(model.text() == loaded, "undoing everything gives the loaded text back");
  while (model.redo()) {
    check(--steps >= 0, "as many redos as undos");
  }
  check(steps == 0 && model.text() == last, "redoing everything gives the last text back");
}

}  // namespace scrivle::fuzz
