// The document text of an editor control: bytes, per-byte attributes, selection,
// undo/redo, modified and read-only flags, and the screen-line layout.
//
// One byte is one calculator character. A line break is CR LF and counts two
// positions; a lone CR or a lone LF is an ordinary byte of the text. Positions are
// 0-based. Every position, length and line number given from outside is clamped to
// the text, never trusted.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace scrivle {

using Pos = std::int64_t;

// Colour as 0x00BBGGRR.
using Colour = std::uint32_t;

struct CharStyle {
  Colour colour = 0;  // black
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  bool operator==(const CharStyle&) const = default;
};

class TextModel {
 public:
  TextModel();
  ~TextModel();
  TextModel(const TextModel&) = delete;
  TextModel& operator=(const TextModel&) = delete;

  // --- content ---------------------------------------------------------------
  // Replaces the whole text (stream in). Clears the undo history, puts the caret at 0,
  // every byte takes the default style, and so does the next inserted text. Sets the
  // modified flag like any change of text.
  void load(std::string_view bytes);
  std::string text() const;                    // whole text, byte for byte
  std::string text(Pos start, Pos len) const;  // clamped range; len < 0 gives ""
  Pos length() const;
  unsigned char byteAt(Pos pos) const;  // 0 outside the text

  // --- selection ---------------------------------------------------------------
  // The selection runs from the anchor to the caret. selStart()/selLength() give the
  // normalised range (length >= 0).
  Pos selStart() const;
  Pos selLength() const;
  Pos caret() const;
  Pos anchor() const;
  // Selection from start over a signed count: a negative count selects backwards
  // (caret before the anchor). Clamped to the text.
  void setSel(Pos start, Pos signedLength = 0);
  // Moves the caret; with extend, the anchor stays.
  void moveCaret(Pos pos, bool extend);
  void selectAll();
  std::string selectedText() const;

  // Replaces the selection with text and leaves the caret after it, as one undo step
  // (unless inside a group, which then holds it). New bytes take the insertion style.
  // Works on a read-only text too: read-only only stops user edits (see the view).
  void replaceSelection(std::string_view text);
  // Lower-level edit used by the view and commands: replace [start, start+len). The
  // selection keeps to the text around it (inside the replaced range it goes to the end
  // of the new text).
  void replace(Pos start, Pos len, std::string_view text);

  // --- attributes (never undo steps, never set the modified flag) --------------
  // Sets the style of [start, start+len).
  void setStyle(Pos start, Pos len, const CharStyle& style);
  // Selection style: with a non-empty selection styles it; with an empty one, sets
  // the style of the next inserted text.
  void setSelectionStyle(const CharStyle& style);
  CharStyle styleAt(Pos pos) const;  // the insertion style outside the text
  // Style of the selection's first character, or the insertion style when empty.
  CharStyle selectionStyle() const;
  const CharStyle& insertionStyle() const;
  void setInsertionStyle(const CharStyle& style);
  // Styles of every byte in [start, start+len) as indexes into palette().
  void styleRuns(Pos start, Pos len, std::vector<std::uint8_t>& out) const;
  const std::vector<CharStyle>& palette() const;

  bool selectionHidden() const;
  void setSelectionHidden(bool hidden);

  // --- screen lines ------------------------------------------------------------
  // Paragraphs (separated by CR LF) wrap at this many columns; 0 = no wrapping.
  // A paragraph breaks after the last space that fits, or hard at the column when a
  // word is longer than the line.
  void setWrapColumns(int columns);
  int wrapColumns() const;
  Pos lineCount() const;                 // screen lines, >= 1
  Pos lineFromPos(Pos pos) const;        // clamped
  Pos lineStart(Pos line) const;         // -1 = the caret's line; out of range -> -1
  Pos lineLength(Pos line) const;        // without the break; -1 = caret's; out of range 0
  std::string lineText(Pos line) const;  // without the break, at most 4096 bytes; -1 = caret's
  // Paragraph helpers (what the tag routines call paragraphs).
  Pos paragraphCount() const;
  Pos paragraphOfPos(Pos pos) const;        // clamped; a CR LF belongs to the paragraph it ends
  Pos paragraphStart(Pos paragraph) const;  // out of range -> -1

  // --- search ------------------------------------------------------------------
  // First occurrence of needle starting in [start, start+len) (len < 0: to the end),
  // searching forward. -1 when not found or when needle is empty.
  Pos find(std::string_view needle, Pos start, Pos len, bool wholeWord, bool matchCase) const;
  // Word boundaries used by the view (double click, Ctrl+arrows): the start of the run
  // of word characters ending at pos, the end of the run starting at pos (pos itself
  // when there is none). Word characters and case folding (matchCase false) are those
  // of word_rules.h, for whole-word search as well.
  Pos wordStart(Pos pos) const;
  Pos wordEnd(Pos pos) const;

  // --- undo --------------------------------------------------------------------
  bool canUndo() const;
  bool canRedo() const;
  bool undo();
  bool redo();
  void emptyUndoBuffer();
  // Groups every edit until the matching endGroup into one undo step (nestable).
  void beginGroup();
  void endGroup();
  // Typing: consecutive single-character insertions at the caret merge into one step
  // until the caret moves or another kind of edit happens. A read-only text refuses it.
  void typeText(std::string_view text);

  // --- flags -------------------------------------------------------------------
  bool modified() const;
  void setModified(bool modified);
  bool readOnly() const;
  void setReadOnly(bool readOnly);

  // --- notifications -----------------------------------------------------------
  // Called after each change of text (position, bytes removed, bytes inserted).
  std::function<void(Pos, Pos, Pos)> onTextChanged;
  // Called at once for each change of the text (undo, redo and load included) with the
  // bytes that replaced [pos, pos+removed): these calls replayed in order on the old
  // text give the new one.
  std::function<void(Pos, Pos, std::string_view)> onEdit;
  // Called after a change of attributes over [start, start+len).
  std::function<void(Pos, Pos)> onStyleChanged;
  // Called after the selection moved.
  std::function<void()> onSelectionChanged;

  // Approximate memory held (text, styles, line index, undo history), for the benchmarks.
  std::size_t memoryUsage() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

// Groups edits into one undo step for the lifetime of the object.
class UndoGroup {
 public:
  explicit UndoGroup(TextModel& model) : model_(model) { model_.beginGroup(); }
  ~UndoGroup() { model_.endGroup(); }
  UndoGroup(const UndoGroup&) = delete;
  UndoGroup& operator=(const UndoGroup&) = delete;

 private:
  TextModel& model_;
};

}  // namespace scrivle
