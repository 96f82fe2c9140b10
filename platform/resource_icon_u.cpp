#include "platform/resource_icon_u.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPixmapCache>
#include <QPointer>
#include <QProxyStyle>
#include <QResource>
#include <QStyle>
#include <QStyleOption>
#include <QSysInfo>
#include <functional>
#include <optional>
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

// A standard icon of `style`, asked for when first drawn or measured.
class DeferredStandardIcon : public QIconEngine {
 public:
  DeferredStandardIcon(QStyle* style, QStyle::StandardPixmap which, const QStyleOption* option)
      : style_(style), which_(which) {
    if (option != nullptr) direction_ = option->direction;
  }

  QIconEngine* clone() const override { return new DeferredStandardIcon(*this); }

  // `rect` is already fitted to the icon's size: filled with the picture of that size, as
  // Qt's own icons do.
  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    const qreal dpr = painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1.0;
    painter->drawPixmap(rect, icon().pixmap(rect.size(), dpr, mode, state));
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return icon().pixmap(size, 1.0, mode, state);
  }
  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                       qreal scale) override {
    if (scale <= 0) scale = 1;
    const QSize logical(qRound(size.width() / scale), qRound(size.height() / scale));
    return icon().pixmap(logical, scale, mode, state);
  }
  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return icon().actualSize(size, mode, state);
  }
  QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
    return icon().availableSizes(mode, state);
  }
  // Only icons that every style has are deferred: asking whether one is empty must not
  // read it.
  bool isNull() override { return false; }
  QString key() const override { return QStringLiteral("ScrivleDeferredStandardIcon"); }

 private:
  const QIcon& icon() {
    if (!loaded_) {
      loaded_ = true;
      if (style_ != nullptr) {
        QStyleOption option;
        if (direction_) option.direction = *direction_;
        icon_ = style_->standardIcon(which_, direction_ ? &option : nullptr);
      }
    }
    return icon_;
  }

  QPointer<QStyle> style_;
  QStyle::StandardPixmap which_;
  std::optional<Qt::LayoutDirection> direction_;
  bool loaded_ = false;
  QIcon icon_;
};

class StandardIconsWhenShown : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;

  QIcon standardIcon(StandardPixmap which, const QStyleOption* option,
                     const QWidget* widget) const override {
    switch (which) {
      case SP_TitleBarMenuButton:
      case SP_TitleBarMinButton:
      case SP_TitleBarMaxButton:
      case SP_TitleBarCloseButton:
      case SP_TitleBarNormalButton:
      case SP_ToolBarHorizontalExtensionButton:
      case SP_ToolBarVerticalExtensionButton:
        return QIcon(new DeferredStandardIcon(baseStyle(), which, option));
      default:
        return QProxyStyle::standardIcon(which, option, widget);
    }
  }
};

}  // namespace

QStyle* styleReadingStandardIconsWhenShown(QStyle* base) {
  return new StandardIconsWhenShown(base);
}

void readStandardIconsWhenShown() {
  // The proxy takes the style it wraps; the application keeps the proxy.
  QApplication::setStyle(styleReadingStandardIconsWhenShown(QApplication::style()));
}

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
