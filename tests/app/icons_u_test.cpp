#include "app/icons_u.h"

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QImage>
#include <QPixmap>
#include <QResource>
#include <string>

#include "desktop/app_icon_u.h"

namespace scrivle {
namespace {

QImage rgba(const QPixmap& p) {
  return p.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// The tool-bar sizes and the window icon are also held as raw pixels, drawn without
// decoding: each must be stored uncompressed and be the very picture of its PNG
// (scripts/raw-icons.py makes them).
TEST(ActionIcons, RawPixelsAreTheirPngs) {
  int checked = 0;
  for (QDirIterator it(QStringLiteral(":/icons"), {QStringLiteral("*.argb")}, QDir::Files,
                       QDirIterator::Subdirectories);
       it.hasNext();) {
    const QString raw = it.next();
    const QResource resource(raw);
    EXPECT_EQ(resource.compressionAlgorithm(), QResource::NoCompression) << raw.toStdString();
    const QImage png(raw.chopped(5) + QStringLiteral(".png"));
    ASSERT_FALSE(png.isNull()) << raw.toStdString();
    ASSERT_EQ(resource.size(), qint64(png.width()) * png.height() * 4) << raw.toStdString();
    const QImage pixels(resource.data(), png.width(), png.height(), png.width() * 4,
                        QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(pixels, png.convertToFormat(QImage::Format_ARGB32_Premultiplied))
        << raw.toStdString();
    ++checked;
  }
  EXPECT_EQ(checked, 14 * 2 + 5);  // 14 commands in 16 and 24 px, the program's icon in 5
}

// With no icon theme (a bare X display), every command shows the bundled drawing of its
// freedesktop icon, never a letter.
TEST(ActionIcons, WithoutThemeTheBundledSetShows) {
  const QString theme = QIcon::themeName();
  QIcon::setThemeName(QString());
  const std::pair<const char*, const char*> commands[] = {
      {"NouveauAction", "document-new"},      {"OuvrirAction", "document-open"},
      {"EnregistrerAction", "document-save"}, {"ZipAction", "package-x-generic"},
      {"FermerAction", "window-close"},       {"CouperAction", "edit-cut"},
      {"CopierAction", "edit-copy"},          {"CollerAction", "edit-paste"},
      {"DfaireAction", "edit-undo"},          {"RefaireAction", "edit-redo"},
      {"ColorAction", "format-text-color"},   {"Affichertable", "accessories-character-map"},
      {"AfficherBook", "bookmarks"},          {"OptionsAction", "preferences-system"}};
  for (const auto& [action, file] : commands) {
    for (const int size : {16, 24}) {
      const QPixmap expected(QStringLiteral(":/icons/actions/%1-%2.png").arg(file).arg(size));
      ASSERT_FALSE(expected.isNull()) << file;
      EXPECT_EQ(rgba(actionIcon(action).pixmap(size)), rgba(expected)) << action << " " << size;
    }
  }
  QIcon::setThemeName(theme);
}

TEST(ActionIcons, TagButtonsDrawTheirTagInColour) {
  const QImage img = actionIcon("Taille1Action").pixmap(24).toImage();
  int blue = 0;
  for (int y = 0; y < img.height(); ++y) {
    for (int x = 0; x < img.width(); ++x) {
      const QColor c = img.pixelColor(x, y);
      blue += c.alpha() > 128 && c.blue() > 200 && c.red() < 60 ? 1 : 0;
    }
  }
  EXPECT_GT(blue, 5);
}

TEST(ApplicationIcon, EverySizeAndTheThemeFilesCarryTheMark) {
  const QIcon icon = applicationIcon();
  for (const int size : {16, 24, 32, 48, 64}) {
    EXPECT_EQ(icon.pixmap(size).size(), QSize(size, size));
  }
  // The small form is drawn for 16 px, not the large one scaled down.
  EXPECT_EQ(
      icon.pixmap(16).toImage().convertToFormat(QImage::Format_ARGB32),
      QImage(QStringLiteral(":/icons/scrivle-16.png")).convertToFormat(QImage::Format_ARGB32));
  const std::vector<DesktopIcon> files = applicationIconFiles();
  ASSERT_EQ(files.size(), 8u);
  EXPECT_EQ(files.front().themePath, "16x16/apps/scrivle.png");
  EXPECT_EQ(files.back().themePath, "scalable/apps/scrivle.svg");
  for (const DesktopIcon& f : files) {
    EXPECT_NE(f.bytes.find("X-Scrivle-Integration"), std::string::npos) << f.themePath;
  }
}

}  // namespace
}  // namespace scrivle
