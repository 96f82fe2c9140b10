#include "editor/calc_font_u.h"

#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QTransform>
#include <algorithm>
#include <cmath>

#include "calc/charset.h"

namespace scrivle {

namespace {

// Fonts in a "fonts" folder beside the program: the Windows package carries the fallback
// face there, since Windows has none of its own.
void loadFontsBesideProgram() {
  const QDir dir(QCoreApplication::applicationDirPath() + QStringLiteral("/fonts"));
  if (!dir.exists()) {
    return;
  }
  const QStringList names =
      dir.entryList({QStringLiteral("*.ttf"), QStringLiteral("*.otf")}, QDir::Files);
  for (const QString& name : names) {
    QFontDatabase::addApplicationFont(dir.filePath(name));
  }
}

bool supportsAll(const QRawFont& raw, const QString& text) {
  if (!raw.isValid() || text.isEmpty()) {
    return false;
  }
  for (uint cp : text.toUcs4()) {
    if (!raw.supportsCharacter(cp)) {
      return false;
    }
  }
  return true;
}

// Letters whose usual drawing is slanted (ℯ, ⅇ, ⅈ, the mathematical italics).
bool drawnSlanted(char32_t cp) {
  return cp == 0x212F || cp == 0x2147 || cp == 0x2148 || (cp >= 0x1D434 && cp <= 0x1D49B) ||
         (cp >= 0x1D608 && cp <= 0x1D66F);
}

QFont plainFont(const QString& family, bool noMerging) {
  QFont f(family);
  f.setPixelSize(CalcFont::kPixelSize);
  f.setStyleHint(QFont::TypeWriter);
  f.setKerning(false);
  if (noMerging) {
    f.setStyleStrategy(QFont::NoFontMerging);
  }
  return f;
}

}  // namespace

CalcFont& CalcFont::instance() {
  static CalcFont font;
  return font;
}

CalcFont::CalcFont() {
  loadFontsBesideProgram();
  calculatorFace_ = QFontDatabase::families().contains(QString::fromLatin1(kCalculatorFace));
  family_ = QString::fromLatin1(calculatorFace_ ? kCalculatorFace : kFallbackFace);
  const QFontMetrics metrics(font());
  cellWidth_ = std::max(1, metrics.horizontalAdvance(QLatin1Char('M')));
  cellHeight_ = std::max(1, metrics.height());
  ascent_ = metrics.ascent();
}

QFont CalcFont::font(int pixelSize) const {
  QFont f(family_);
  f.setPixelSize(pixelSize);
  f.setStyleHint(QFont::TypeWriter);
  f.setFixedPitch(true);
  f.setKerning(false);
  // A glyph missing from the face must not be drawn from a font of another width.
  f.setStyleStrategy(QFont::NoFontMerging);
  return f;
}

QString CalcFont::familyName() const {
  return QFontInfo(font()).family();
}

bool CalcFont::isFixedPitch() const {
  return QFontInfo(font()).fixedPitch();
}

QFont CalcFont::styled(bool bold, bool italic) const {
  QFont f = font();
  f.setBold(bold);
  f.setItalic(italic);
  return f;
}

const CalcFont::Plan& CalcFont::planOf(unsigned char b) const {
  if (!planned_[b]) {
    plan(b, plans_[b]);
    planned_[b] = true;
  }
  return plans_[b];
}

void CalcFont::plan(unsigned char b, Plan& p) const {
  if (!raw_.isValid()) raw_ = QRawFont::fromFont(font());
  const QRawFont& raw = raw_;
  if (calculatorFace_) {
    p.text = QString(QChar(static_cast<char16_t>(b)));
    if (supportsAll(raw, p.text)) {
      p.source = Source::Font;
      p.single = p.text.toUcs4().size() == 1;
      return;
    }
  }
  const std::u32string glyph = charset::glyphTextOf(b);
  p.text = QString::fromUcs4(glyph.data(), static_cast<qsizetype>(glyph.size()));
  if (supportsAll(raw, p.text)) {
    p.source = Source::Font;
    p.single = p.text.toUcs4().size() == 1;
    return;
  }
  const char32_t cp = glyph.empty() ? U'?' : glyph.front();
  // A styled letter (mathematical E, i, script e) is drawn as the plain letter.
  const QString plain = p.text.normalized(QString::NormalizationForm_KD);
  if (plain != p.text && plain.size() == 1 && plain.at(0).isLetterOrNumber() &&
      supportsAll(raw, plain)) {
    p.source = Source::Substitute;
    p.text = plain;
    p.italic = drawnSlanted(cp);
    return;
  }
  p.codePoint = cp;
  QStringList candidates = {QStringLiteral("DejaVu Sans"), QStringLiteral("DejaVu Serif")};
  candidates += QFontDatabase::families();
  for (const QString& family : candidates) {
    const QRawFont other = QRawFont::fromFont(plainFont(family, true));
    if (other.isValid() && other.supportsCharacter(static_cast<uint>(cp))) {
      p.source = Source::Fallback;
      p.fallbackFamily = family;
      return;
    }
  }
  p.source = Source::Drawn;
}

void CalcFont::render(QPainter& painter, unsigned char b, const QColor& colour, bool bold,
                      bool italic) const {
  const Plan& p = planOf(b);
  painter.setPen(colour);
  switch (p.source) {
    case Source::Font:
    case Source::Substitute:
      if (p.single) {
        // One glyph of the face, placed as drawText places it, without shaping: pixel for
        // pixel the same picture at a fraction of the cost.
        const bool slanted = italic || p.italic;
        QRawFont& raw = styledRaw_[(bold ? 1 : 0) + (slanted ? 2 : 0)];
        if (!raw.isValid()) raw = QRawFont::fromFont(styled(bold, slanted));
        const QList<quint32> indexes = raw.glyphIndexesForString(p.text);
        if (indexes.size() == 1 && indexes.front() != 0) {
          QGlyphRun run;
          run.setRawFont(raw);
          run.setGlyphIndexes(indexes);
          run.setPositions({QPointF(0, ascent_)});
          painter.drawGlyphRun(QPointF(0, 0), run);
          return;
        }
      }
      painter.setFont(styled(bold, italic || p.italic));
      painter.drawText(QPointF(0, ascent_), p.text);
      return;
    case Source::Fallback: {
      QFont f = plainFont(p.fallbackFamily, true);
      f.setBold(bold);
      const QRawFont raw = QRawFont::fromFont(f);
      const QList<quint32> indexes = raw.glyphIndexesForString(QString::fromUcs4(&p.codePoint, 1));
      if (indexes.isEmpty()) {
        break;
      }
      QPainterPath path = raw.pathForGlyph(indexes.front());
      if (italic) {
        path = QTransform().shear(-0.2, 0).map(path);
      }
      const QRectF box = path.boundingRect();
      if (box.isEmpty()) {
        return;
      }
      const qreal room = 1.0;
      const qreal scale = std::min(
          {1.0, (cellWidth_ - 2 * room) / box.width(), (cellHeight_ - 2 * room) / box.height()});
      // Centred across; on its own baseline when it fits, else centred down too.
      const qreal dx = cellWidth_ / 2.0 - scale * box.center().x();
      qreal dy = ascent_;
      if (dy + scale * box.top() < room || dy + scale * box.bottom() > cellHeight_ - room) {
        dy = cellHeight_ / 2.0 - scale * box.center().y();
      }
      QTransform t;
      t.translate(dx, dy);
      t.scale(scale, scale);
      painter.setPen(Qt::NoPen);
      painter.setBrush(colour);
      painter.drawPath(t.map(path));
      return;
    }
    case Source::Drawn:
      break;
  }
  // Nothing draws it: an outlined box, as the calculator does for unknown codes.
  painter.setBrush(Qt::NoBrush);
  QPen pen(colour);
  pen.setWidthF(bold ? 2.0 : 1.0);
  painter.setPen(pen);
  const int w = std::max(2, cellWidth_ - 4);
  const int h = std::max(2, ascent_ - 4);
  painter.drawRect(QRectF(2.5, 3.5, w - 1, h - 1));
}

const CalcFont::Glyph& CalcFont::cachedGlyph(unsigned char b, const QColor& colour, bool bold,
                                             bool italic, qreal dpr) {
  const auto dprKey = static_cast<quint64>(std::lround(std::clamp(dpr, 0.25, 8.0) * 64));
  const quint64 key = static_cast<quint64>(b) | (static_cast<quint64>(bold) << 8) |
                      (static_cast<quint64>(italic) << 9) |
                      (static_cast<quint64>(colour.rgba()) << 10) | (dprKey << 42);
  auto it = cache_.constFind(key);
  if (it != cache_.constEnd()) {
    return *it;
  }
  if (cache_.size() > 8192) {
    cache_.clear();
  }

  QImage image(static_cast<int>(std::ceil(cellWidth_ * dpr)),
               static_cast<int>(std::ceil(cellHeight_ * dpr)), QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(dpr);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    // The image is the cell: whatever a glyph draws beyond it is cut off here.
    painter.setClipRect(QRect(0, 0, cellWidth_, cellHeight_));
    render(painter, b, colour, bold, italic);
  }
  Glyph g;
  g.blank = true;
  for (int y = 0; y < image.height() && g.blank; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    g.blank = std::all_of(line, line + image.width(), [](QRgb p) { return qAlpha(p) == 0; });
  }
  g.pixmap = QPixmap::fromImage(image);
  return *cache_.insert(key, g);
}

QPixmap CalcFont::glyph(unsigned char b, const QColor& colour, bool bold, bool italic, qreal dpr) {
  return cachedGlyph(b, colour, bold, italic, dpr).pixmap;
}

void CalcFont::drawByte(QPainter& painter, int x, int y, unsigned char b, const QColor& colour,
                        bool bold, bool italic) {
  const qreal dpr = painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0;
  const Glyph& g = cachedGlyph(b, colour, bold, italic, dpr);
  // Spaces are a good part of a text, and drawing nothing still costs a blend.
  if (!g.blank) {
    painter.drawPixmap(QPoint(x, y), g.pixmap);
  }
}

void CalcFont::drawByte(QPainter& painter, int x, int y, unsigned char b) {
  drawByte(painter, x, y, b, painter.pen().color(), painter.font().bold(), painter.font().italic());
}

}  // namespace scrivle
