// The preview as an image: the pane's colours or black on white, at a whole zoom, and
// the "/preview" command that writes a file's whole strip as a PNG.
#pragma once

#include <QImage>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "preview/raster.h"

namespace scrivle {

inline constexpr QRgb kPrintInk = 0xFF000000;
inline constexpr QRgb kPrintPaper = 0xFFFFFFFF;

// Each pixel becomes a zoom × zoom square (zoom 1 to 4), never smoothed.
QImage previewImage(const PreviewBitmap& bitmap, QRgb ink, QRgb paper, int zoom = 1);

// Writes a PNG through a temporary file beside `path` that replaces it only once
// complete: a failure leaves no partial image. Throws ScrivleError.
void savePreviewPng(const QImage& image, const std::filesystem::path& path);

// "/preview FILE OUT.png [89|92]" (args without the "/preview"): writes FILE's whole
// preview at 1:1, black on white. Returns the exit code; messages go to `err` in French.
// defaultExt decides the model of a file that is not a calculator text.
int runPreviewCommand(const std::vector<std::string>& args, const std::string& defaultExt,
                      std::ostream& err);

}  // namespace scrivle
