#include "editor/calc_font_u.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QImage>
#include <QPainter>

namespace scrivle {
namespace {

// A machine without the fonts silently draws boxes in a proportional face: catch it.
TEST(CalcFont, ResolvesToAFixedPitchFamily) {
  CalcFont& font = CalcFont::instance();
  const QFontInfo info(font.font());
  EXPECT_TRUE(info.fixedPitch()) << info.family().toStdString();
  EXPECT_TRUE(font.isFixedPitch());
  const QString expected = QString::fromLatin1(font.usesCalculatorFace() ? CalcFont::kCalculatorFace
                                                                         : CalcFont::kFallbackFace);
  EXPECT_EQ(info.family(), expected);
  EXPECT_EQ(info.pixelSize(), CalcFont::kPixelSize);
  EXPECT_GT(font.cellWidth(), 4);
  EXPECT_GE(font.cellHeight(), CalcFont::kPixelSize);
  EXPECT_LT(font.ascent(), font.cellHeight());
  if (!font.usesCalculatorFace()) {
    // The face has no glyph for these: they must not come from Qt's font fallback.
    for (unsigned char b : {0x0B, 0x95, 0x96, 0x97, 0x99}) {
      EXPECT_NE(font.sourceOf(b), CalcFont::Source::Font) << int(b);
    }
    EXPECT_EQ(font.sourceOf('A'), CalcFont::Source::Font);
    EXPECT_EQ(font.sourceOf(0x80), CalcFont::Source::Font);  // α
  }
}

TEST(CalcFont, EveryByteInkStaysInsideItsCell) {
  CalcFont& font = CalcFont::instance();
  const int cw = font.cellWidth();
  const int ch = font.cellHeight();
  const int margin = 8;
  int blank = 0;
  for (int style = 0; style < 4; ++style) {
    for (int b = 0; b < 256; ++b) {
      QImage image(cw + 2 * margin, ch + 2 * margin, QImage::Format_ARGB32);
      image.fill(Qt::white);
      {
        QPainter painter(&image);
        font.drawByte(painter, margin, margin, static_cast<unsigned char>(b), Qt::black,
                      (style & 1) != 0, (style & 2) != 0);
      }
      bool inside = false;
      bool outside = false;
      for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
          if (image.pixel(x, y) == QColor(Qt::white).rgb()) continue;
          const bool in = x >= margin && x < margin + cw && y >= margin && y < margin + ch;
          (in ? inside : outside) = true;
        }
      }
      EXPECT_FALSE(outside) << "byte " << b << " style " << style;
      if (!inside) ++blank;
      if (b != ' ') {
        EXPECT_TRUE(inside) << "byte " << b << " draws nothing";
      }
    }
  }
  EXPECT_EQ(blank, 4);  // the space, in each style
}

}  // namespace
}  // namespace scrivle
