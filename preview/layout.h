// The calculator screen's layout of a text: paragraphs of lines of positioned glyphs,
// each with the attributes the character tags gave it, plus the rules and frames the
// paragraph tags ask for. The whole text is one tall strip as wide as the screen; every
// glyph remembers the text position it came from, so that a click or the caret can be
// mapped between the text and the strip.
//
// Edits are laid out again paragraph by paragraph: the edited paragraphs, then the
// following ones only while the character attributes in force at their start differ
// from what they were laid out with.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "preview/pixel_font.h"

namespace scrivle {

using PreviewPos = std::int64_t;

inline constexpr int kTi89Width = 160;
inline constexpr int kTi89Height = 100;
inline constexpr int kTi92Width = 240;
inline constexpr int kTi92Height = 128;

// The character attributes the "#" tags toggle.
enum PreviewAttr : std::uint8_t {
  kUnderline = 1,
  kDotted = 2,
  kVector = 4,
  kInverse = 8,
  kStrike = 16,
  kExponent = 32,
  kNoWrap = 64,  // "#W" turned automatic wrapping off
};

// What is in force at a point of the text: the size chosen by "#1".."#3" and the
// toggled attributes.
struct CharState {
  ::preview::FontSize size = ::preview::FontSize::Normal;
  std::uint8_t attrs = 0;
  bool operator==(const CharState&) const = default;
};

enum class ParaKind : std::uint8_t { Text, Rule, DoubleRule, Picture, Pretty };
enum class ParaAlign : std::uint8_t { Left, Centre, Right };

struct PreviewGlyph {
  std::int32_t offset;  // in the paragraph
  std::int32_t x;
  std::int16_t y;  // top of the cell, from the line's top
  std::uint8_t code;
  std::uint8_t width;
  ::preview::FontSize size;  // the font drawn (small for an exponent)
  std::uint8_t attrs;
};

struct PreviewLine {
  std::int32_t top;  // from the paragraph's top
  std::int32_t height;
  std::int32_t firstGlyph;  // [firstGlyph, endGlyph) of the paragraph's glyphs
  std::int32_t endGlyph;
  std::int32_t textStart;  // paragraph offsets the line covers
  std::int32_t textEnd;
  std::int32_t left;  // where the line starts on the screen (empty lines too)
};

// A rule (a filled rectangle) or a frame (its outline), in paragraph coordinates.
struct PreviewBox {
  enum Kind : std::uint8_t { Fill, Frame } kind;
  std::int32_t x, y, w, h;
};

struct PreviewParagraph {
  PreviewPos start = 0;         // text position of its first byte
  std::int32_t length = 0;      // bytes, its CR LF included
  std::int32_t textLength = 0;  // without the CR LF
  std::int64_t top = 0;         // in the strip
  std::int32_t height = 0;
  CharState in, out;  // in force at its start and after it
  std::uint8_t margin = 0;
  ParaAlign align = ParaAlign::Left;
  ParaKind kind = ParaKind::Text;
  std::vector<PreviewGlyph> glyphs;
  std::vector<PreviewLine> lines;
  std::vector<PreviewBox> boxes;
};

class PreviewLayout {
 public:
  explicit PreviewLayout(int width = kTi92Width);

  int width() const { return width_; }
  // Lays everything out again at another screen width.
  void setWidth(int width);

  // Replaces the whole text and lays it out.
  void setText(std::string_view text);
  // The text had [pos, pos + removed) replaced by `inserted`: updates the copy and lays
  // out again what the change touches. Positions are clamped to the text.
  void edit(PreviewPos pos, PreviewPos removed, std::string_view inserted);

  const std::string& text() const { return text_; }
  const std::vector<PreviewParagraph>& paragraphs() const { return paras_; }
  std::int64_t height() const;  // of the whole strip, at least one line

  // The paragraph holding a text position (a CR LF belongs to the paragraph it ends).
  std::size_t paragraphAt(PreviewPos pos) const;
  // The paragraph at a strip row (clamped to the strip).
  std::size_t paragraphAtRow(std::int64_t y) const;
  // The text position nearest to a point of the strip: the glyph under it (before or
  // after it by the nearer half), the end of the line past its end.
  PreviewPos positionAt(int x, std::int64_t y) const;

  // How many paragraphs the last setText/edit laid out (for the tests and benchmarks).
  std::size_t lastLaidOut() const { return lastLaidOut_; }

 private:
  void layParagraph(PreviewParagraph& p, CharState in) const;
  void restack(std::size_t from);

  int width_;
  std::string text_;
  std::vector<PreviewParagraph> paras_;
  std::size_t lastLaidOut_ = 0;
};

// The model the extension names: 89 for ".89t", 92 for ".92t" and ".9xt", and for any
// other file the default extension ("89t", "92t" or "9xt") decides.
int modelForFile(std::string_view lowerExtension, std::string_view defaultExt);
inline int screenWidth(int model) {
  return model == 89 ? kTi89Width : kTi92Width;
}
inline int screenHeight(int model) {
  return model == 89 ? kTi89Height : kTi92Height;
}

}  // namespace scrivle
