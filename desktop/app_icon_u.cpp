#include "desktop/app_icon_u.h"

#include <QFile>

#include "platform/resource_icon_u.h"

namespace scrivle {
namespace {

constexpr int kSizes[] = {16, 24, 32, 48, 64, 128, 256};

QString pngResource(int size) {
  return QStringLiteral(":/icons/scrivle-%1.png").arg(size);
}

std::string resourceBytes(const QString& name) {
  QFile f(name);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll().toStdString();
}

}  // namespace

QIcon applicationIcon() {
  // Up to 64 px: the window manager receives every size when a window shows, and 128 or
  // 256 px would send a quarter of a megabyte to the X server at start-up.
  return resourceIcon(QStringLiteral(":/icons/scrivle-%1.png"), {16, 24, 32, 48, 64});
}

std::vector<DesktopIcon> applicationIconFiles() {
  std::vector<DesktopIcon> files;
  for (const int s : kSizes) {
    files.push_back(
        {std::to_string(s) + "x" + std::to_string(s) + "/apps/" + std::string(kIconName) + ".png",
         resourceBytes(pngResource(s))});
  }
  files.push_back({"scalable/apps/" + std::string(kIconName) + ".svg",
                   resourceBytes(QStringLiteral(":/icons/scrivle.svg"))});
  return files;
}

}  // namespace scrivle
