// The editor's calculator font. Every byte is drawn in one cell of a fixed grid: with
// the face "Handheld Mono 12x16" when it is installed (byte b is its glyph b), otherwise
// with DejaVu Sans Mono drawing the code's Unicode equivalent. Characters that face has
// no glyph for get one of ours, drawn inside the cell, so that no fallback font of
// another width ever breaks the grid.
#pragma once

#include <QColor>
#include <QFont>
#include <QHash>
#include <QPixmap>
#include <QRawFont>
#include <QString>
#include <array>
#include <bitset>

class QPainter;

namespace scrivle {

class CalcFont {
 public:
  static constexpr const char* kCalculatorFace = "Handheld Mono 12x16";
  static constexpr const char* kFallbackFace = "DejaVu Sans Mono";
  static constexpr int kPixelSize = 16;

  // How the glyph of a byte is obtained.
  enum class Source {
    Font,        // the editor font's own glyph
    Substitute,  // the font's glyph of a plain letter standing for a styled one (𝖤 -> E)
    Fallback,    // another installed font's glyph, scaled into the cell
    Drawn,       // none anywhere: a box of our own
  };

  static CalcFont& instance();

  QFont font(int pixelSize = kPixelSize) const;
  int cellWidth() const { return cellWidth_; }
  int cellHeight() const { return cellHeight_; }
  int ascent() const { return ascent_; }
  bool usesCalculatorFace() const { return calculatorFace_; }
  QString familyName() const;  // the family the font resolved to
  bool isFixedPitch() const;

  // Draws byte b in the cell whose top-left corner is (x, y), in the painter's pen
  // colour and with the bold/italic of the painter's font.
  void drawByte(QPainter& painter, int x, int y, unsigned char b);
  void drawByte(QPainter& painter, int x, int y, unsigned char b, const QColor& colour, bool bold,
                bool italic);
  // The cell-sized glyph image (transparent background), cached.
  QPixmap glyph(unsigned char b, const QColor& colour, bool bold, bool italic, qreal dpr = 1.0);
  Source sourceOf(unsigned char b) const { return planOf(b).source; }

 private:
  CalcFont();
  struct Plan {
    Source source = Source::Font;
    QString text;            // what the editor font draws (Font / Substitute)
    bool italic = false;     // Substitute drawn slanted (ℯ)
    QString fallbackFamily;  // Fallback
    char32_t codePoint = 0;  // Fallback
    bool single = false;     // one character: drawn as the face's glyph, without shaping
  };
  QFont styled(bool bold, bool italic) const;
  // How byte b is drawn, worked out the first time it is asked for: most texts use a few
  // dozen codes, and looking through the installed faces for the others is slow.
  const Plan& planOf(unsigned char b) const;
  void plan(unsigned char b, Plan& p) const;
  void render(QPainter& p, unsigned char b, const QColor& colour, bool bold, bool italic) const;
  struct Glyph {
    QPixmap pixmap;
    bool blank = false;  // nothing to draw (a space): the cell keeps its background
  };
  const Glyph& cachedGlyph(unsigned char b, const QColor& colour, bool bold, bool italic,
                           qreal dpr);

  bool calculatorFace_ = false;
  QString family_;
  int cellWidth_ = 0;
  int cellHeight_ = 0;
  int ascent_ = 0;
  mutable std::array<Plan, 256> plans_{};
  mutable std::bitset<256> planned_;
  mutable QRawFont raw_;                       // the editor face, for the plans
  mutable std::array<QRawFont, 4> styledRaw_;  // by bold + 2 * italic, made when first drawn
  QHash<quint64, Glyph> cache_;
};

}  // namespace scrivle
