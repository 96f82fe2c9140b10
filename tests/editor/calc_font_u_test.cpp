#include "editor/calc_font_u.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QtMath>
#include <string>

#include "calc/charset.h"

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

// A character the face has is drawn as its glyph, without going through text shaping: the
// picture must be the one the face's own text drawing gives, in every style and at every
// device pixel ratio, for every byte drawn that way.
TEST(CalcFont, FaceGlyphsMatchTheFacesTextDrawing) {
  CalcFont& font = CalcFont::instance();
  const QColor colour(0, 0, 255);
  int compared = 0;
  for (const qreal dpr : {1.0, 2.0}) {
    for (int style = 0; style < 4; ++style) {
      const bool bold = (style & 1) != 0;
      const bool italic = (style & 2) != 0;
      QFont face = font.font();
      face.setBold(bold);
      face.setItalic(italic);
      for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        if (font.sourceOf(byte) != CalcFont::Source::Font) continue;
        QString text;
        if (font.usesCalculatorFace()) {
          text = QString(QChar(static_cast<char16_t>(b)));
        } else {
          const std::u32string glyph = charset::glyphTextOf(byte);
          text = QString::fromUcs4(glyph.data(), static_cast<qsizetype>(glyph.size()));
        }
        QImage expected(qCeil(font.cellWidth() * dpr), qCeil(font.cellHeight() * dpr),
                        QImage::Format_ARGB32_Premultiplied);
        expected.setDevicePixelRatio(dpr);
        expected.fill(Qt::transparent);
        {
          QPainter painter(&expected);
          painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
          painter.setClipRect(QRect(0, 0, font.cellWidth(), font.cellHeight()));
          painter.setPen(colour);
          painter.setFont(face);
          painter.drawText(QPointF(0, font.ascent()), text);
        }
        const QImage drawn = font.glyph(byte, colour, bold, italic, dpr)
                                 .toImage()
                                 .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        EXPECT_EQ(drawn, expected) << "byte " << b << " style " << style << " dpr " << dpr;
        ++compared;
      }
    }
  }
  EXPECT_GT(compared, 4 * 2 * 150);
}

// Cells with nothing to draw are skipped: every byte drawn in a cell must still look
// exactly like its glyph laid over the background, spaces included.
TEST(CalcFont, DrawByteLaysEachGlyphOverTheCellsBackground) {
  CalcFont& font = CalcFont::instance();
  const QColor colour(20, 90, 200);
  const QColor background(250, 240, 200);
  int skippedCells = 0;
  for (int style = 0; style < 4; ++style) {
    const bool bold = (style & 1) != 0;
    const bool italic = (style & 2) != 0;
    for (int b = 0; b < 256; ++b) {
      const auto byte = static_cast<unsigned char>(b);
      QImage drawn(font.cellWidth(), font.cellHeight(), QImage::Format_RGB32);
      drawn.fill(background);
      QImage expected = drawn;
      {
        QPainter painter(&drawn);
        font.drawByte(painter, 0, 0, byte, colour, bold, italic);
      }
      const QPixmap glyph = font.glyph(byte, colour, bold, italic);
      {
        QPainter painter(&expected);
        painter.drawPixmap(0, 0, glyph);
      }
      ASSERT_EQ(drawn, expected) << "byte " << b << " style " << style;
      const QImage alpha = glyph.toImage().convertToFormat(QImage::Format_Alpha8);
      bool empty = true;
      for (int y = 0; y < alpha.height() && empty; ++y) {
        for (int x = 0; x < alpha.width() && empty; ++x) empty = qAlpha(alpha.pixel(x, y)) == 0;
      }
      skippedCells += empty ? 1 : 0;
    }
  }
  EXPECT_GE(skippedCells, 4);  // the space at least, in each style
}

}  // namespace
}  // namespace scrivle
