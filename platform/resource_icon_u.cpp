#include "platform/resource_icon_u.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPixmapCache>
#include <QResource>
#include <QStyle>
#include <QStyleOption>
#include <QSysInfo>
#include <functional>
#include <utility>

namespace scrivle {
namespace {

// An icon whose pictures are made when a size is first shown, and kept in the pixmap
// cache under `key` (with %1 standing for the size).
class LazyIconEngine : public QIconEngine {
 public:
  using Source = std::function<QPixmap(int side)>;
  LazyIconEngine(QString key, std::vector<int> sizes, Source source)
      : key_(std::move(key)), sizes_(std::move(sizes)), source_(std::move(source)) {}

  QIconEngine* clone() const override { return new LazyIconEngine(key_, sizes_, source_); }

  QList<QSize> availableSizes(QIcon::Mode /*mode*/, QIcon::State /*state*/) override {
    QList<QSize> list;
    for (const int s : sizes_) list << QSize(s, s);
    return list;
  }

  QSize actualSize(const QSize& size, QIcon::Mode /*mode*/, QIcon::State /*state*/) override {
    const int s = sideFor(size);
    const int fit = std::min({s, size.width(), size.height()});
    return {fit, fit};
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State /*state*/) override {
    const int side = sideFor(size);
    const QString key = key_.arg(side);
    QPixmap pm;
    if (!QPixmapCache::find(key, &pm)) {
      pm = source_(side);
      QPixmapCache::insert(key, pm);
    }
    if (pm.width() > size.width() || pm.height() > size.height()) {
      pm = pm.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    if (mode != QIcon::Normal && qApp != nullptr && QApplication::style() != nullptr) {
      QStyleOption option;
      option.palette = QApplication::palette();
      const QPixmap generated = QApplication::style()->generatedIconPixmap(mode, pm, &option);
      if (!generated.isNull()) pm = generated;
    }
    return pm;
  }

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    const qreal dpr = painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1.0;
    QPixmap pm = pixmap(rect.size() * dpr, mode, state);
    pm.setDevicePixelRatio(dpr);
    painter->drawPixmap(rect, pm);
  }

  QString key() const override { return QStringLiteral("ScrivleLazyIconEngine"); }

 private:
  // The smallest size drawn that covers `size`, else the largest.
  int sideFor(const QSize& size) const {
    const int want = std::max(size.width(), size.height());
    for (const int s : sizes_) {
      if (s >= want) return s;
    }
    return sizes_.back();
  }

  QString key_;
  std::vector<int> sizes_;
  Source source_;
};

// The picture of `png`, from its raw pixels beside it (".argb", see scripts/raw-icons.py)
// when the program holds them uncompressed: decoding a PNG costs a start far more.
QPixmap loadPng(const QString& png, int side) {
  if constexpr (QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
    if (png.endsWith(QLatin1String(".png"))) {
      const QResource raw(png.chopped(4) + QLatin1String(".argb"));
      if (raw.isValid() && raw.compressionAlgorithm() == QResource::NoCompression &&
          raw.size() == qint64(side) * side * 4) {
        const QImage image(raw.data(), side, side, side * 4, QImage::Format_ARGB32_Premultiplied);
        return QPixmap::fromImage(image);
      }
    }
  }
  return QPixmap(png);
}

}  // namespace

QIcon resourceIcon(const QString& pattern, std::vector<int> sizes) {
  if (sizes.empty()) return {};
  return QIcon(new LazyIconEngine(
      pattern, std::move(sizes), [pattern](int side) { return loadPng(pattern.arg(side), side); }));
}

QIcon drawnIcon(const QString& key, int side, std::function<QPixmap()> draw) {
  return QIcon(new LazyIconEngine(QStringLiteral("scrivle-drawn:") + key + QStringLiteral("-%1"),
                                  {side}, [draw = std::move(draw)](int) { return draw(); }));
}

}  // namespace scrivle
