#include "platform/resource_icon_u.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>
#include <memory>

namespace scrivle {
namespace {

QImage rgba(const QPixmap& p) {
  return p.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage painted(const QIcon& icon, QIcon::Mode mode) {
  QImage image(24, 24, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  icon.paint(&p, QRect(2, 4, 20, 16), Qt::AlignCenter, mode);
  return image;
}

// The icons read when first drawn are the style's own pictures: every size, mode and
// direction, drawn or painted; the other standard icons pass through untouched.
TEST(StandardIconsWhenShown, DrawTheStylesOwnPictures) {
  const std::unique_ptr<QStyle> plain(QStyleFactory::create(QStringLiteral("Fusion")));
  const std::unique_ptr<QStyle> deferring(
      styleReadingStandardIconsWhenShown(QStyleFactory::create(QStringLiteral("Fusion"))));
  ASSERT_TRUE(plain && deferring);
  for (const QStyle::StandardPixmap which :
       {QStyle::SP_TitleBarMenuButton, QStyle::SP_TitleBarMinButton, QStyle::SP_TitleBarMaxButton,
        QStyle::SP_TitleBarCloseButton, QStyle::SP_TitleBarNormalButton,
        QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton,
        QStyle::SP_MessageBoxWarning}) {
    for (const Qt::LayoutDirection direction : {Qt::LeftToRight, Qt::RightToLeft}) {
      QStyleOption option;
      option.direction = direction;
      const QIcon expected = plain->standardIcon(which, &option);
      const QIcon icon = deferring->standardIcon(which, &option);
      const std::string what =
          std::to_string(which) + (direction == Qt::LeftToRight ? " ltr" : " rtl");
      ASSERT_FALSE(expected.isNull()) << what;
      EXPECT_FALSE(icon.isNull()) << what;
      EXPECT_EQ(icon.availableSizes(), expected.availableSizes()) << what;
      for (const int size : {8, 16, 20, 32}) {
        EXPECT_EQ(icon.actualSize(QSize(size, size)), expected.actualSize(QSize(size, size)))
            << what << " " << size;
        EXPECT_EQ(rgba(icon.pixmap(size)), rgba(expected.pixmap(size))) << what << " " << size;
        EXPECT_EQ(rgba(icon.pixmap(QSize(size, size), 2.0)),
                  rgba(expected.pixmap(QSize(size, size), 2.0)))
            << what << " " << size << " at 2×";
      }
      for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled}) {
        EXPECT_EQ(painted(icon, mode), painted(expected, mode)) << what;
      }
    }
  }
}

// An icon kept after its style is gone (the application's style replaced) draws nothing
// instead of reading a style that no longer exists.
TEST(StandardIconsWhenShown, OutlivingTheStyleDrawsNothing) {
  auto deferring = std::unique_ptr<QStyle>(
      styleReadingStandardIconsWhenShown(QStyleFactory::create(QStringLiteral("Fusion"))));
  const QIcon icon = deferring->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton);
  deferring.reset();
  EXPECT_TRUE(icon.pixmap(16).isNull());
}

}  // namespace
}  // namespace scrivle
