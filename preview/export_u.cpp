#include "preview/export_u.h"

#include <QImageWriter>
#include <QSaveFile>
#include <cstring>

#include "platform/errors.h"
#include "platform/files.h"
#include "preview/source.h"

namespace scrivle {

QImage previewImage(const PreviewBitmap& bitmap, QRgb ink, QRgb paper, int zoom) {
  zoom = std::clamp(zoom, 1, 4);
  QImage image(std::max(bitmap.width, 1), std::max(bitmap.height, 1), QImage::Format_Indexed8);
  image.setColorTable({paper, ink});
  image.fill(0);
  for (int y = 0; y < bitmap.height; ++y) {
    std::memcpy(image.scanLine(y),
                bitmap.pixels.data() + static_cast<std::size_t>(y) * bitmap.width,
                static_cast<std::size_t>(bitmap.width));
  }
  if (zoom == 1) return image;
  return image.scaled(image.width() * zoom, image.height() * zoom, Qt::IgnoreAspectRatio,
                      Qt::FastTransformation);
}

void savePreviewPng(const QImage& image, const std::filesystem::path& path) {
  QSaveFile file(QString::fromStdString(pathToUtf8(path)));
  if (!file.open(QIODevice::WriteOnly)) throw cannotCreate(path);
  QImageWriter writer(&file, "png");
  if (!writer.write(image)) {
    file.cancelWriting();
    throw cannotWrite(path);
  }
  if (!file.commit()) throw cannotWrite(path);
}

int runPreviewCommand(const std::vector<std::string>& args, const std::string& defaultExt,
                      std::ostream& err) {
  const bool modelOk = args.size() < 3 || args[2] == "89" || args[2] == "92";
  if (args.size() < 2 || args.size() > 3 || !modelOk || args[0].empty() || args[1].empty()) {
    err << "Usage : scrivle /preview FICHIER IMAGE.png [89|92]\n";
    return 1;
  }
  try {
    const std::filesystem::path source = pathFromUtf8(args[0]);
    const std::string text = previewTextOfFile(source);
    const int model =
        args.size() == 3 ? std::stoi(args[2]) : modelForFile(lowerExtension(source), defaultExt);
    PreviewLayout layout(screenWidth(model));
    layout.setText(text);
    savePreviewPng(previewImage(renderWholePreview(layout), kPrintInk, kPrintPaper),
                   pathFromUtf8(args[1]));
  } catch (const std::exception& e) {
    err << e.what() << '\n';
    return 1;
  }
  return 0;
}

}  // namespace scrivle
