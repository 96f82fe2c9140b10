#include "document/tifile.h"

#include <algorithm>
#include <cstring>

#include "calc/tifile_layout.h"
#include "platform/files.h"

namespace scrivle {

namespace {

constexpr unsigned char kCR = 0x0D;
constexpr unsigned char kLF = 0x0A;
constexpr unsigned char kFF = 0x0C;
constexpr unsigned char kSpace = 0x20;
// The text's data: a 2-byte cursor, then the first line's marker.
constexpr std::size_t kMarkerOffset = tilayout::kDataOffset + 2;
// Bytes around the variable data: the 90 up to the first marker, then the marker, the
// 0x00 0xE0 end pair and the checksum.
constexpr std::size_t kFileOverhead = 95;

void putLe16(std::string& out, std::size_t at, unsigned value) {
  out[at] = static_cast<char>(value & 0xFFU);
  out[at + 1] = static_cast<char>((value >> 8) & 0xFFU);
}

void putLe32(std::string& out, std::size_t at, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) {
    out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFFU);
  }
}

void appendName(std::string& out, std::string_view name) {
  const std::string_view cut = name.substr(0, std::min(name.size(), kTiNameBytes));
  out.append(cut);
  out.append(kTiNameBytes - cut.size(), '\0');
}

// The common 86-byte header: signature, folder, comment, one variable entry at 82.
std::string header(std::string_view signature, std::string_view folder, std::string_view name,
                   std::string_view comment, unsigned char byte74) {
  std::string out;
  out.append(signature);
  out.append("\x01\x00", 2);
  appendName(out, folder);
  out.append(comment);
  out.append(40 - comment.size(), '\0');
  out.append("\x01\x00\x52\x00\x00\x00", 6);
  appendName(out, name);
  out.push_back(static_cast<char>(tilayout::kTextType));
  out.push_back('\0');  // attribute
  out.push_back(static_cast<char>(byte74));
  out.push_back('\0');
  out.append(4, '\0');  // file length, filled in at the end
  out.append("\xA5\x5A\x00\x00\x00\x00", 6);
  return out;
}

// Adds V, the end pair and the checksum behind `out` (header + cursor + marker + text).
void finish(std::string& out) {
  out.append("\x00\xE0", 2);
  const std::size_t v = out.size() - tilayout::kDataOffset;
  out[tilayout::kVarSizeOffset] =
      static_cast<char>((v >> 8) & 0xFFU);  // big-endian, unlike the rest
  out[tilayout::kVarSizeOffset + 1] = static_cast<char>(v & 0xFFU);
  unsigned sum = 0;
  for (std::size_t i = tilayout::kVarSizeOffset; i < out.size(); ++i) {
    sum += static_cast<unsigned char>(out[i]);
  }
  out.append(2, '\0');
  putLe16(out, out.size() - 2, sum & 0xFFFFU);
  putLe32(out, tilayout::kFileLengthOffset, static_cast<std::uint32_t>(out.size()));
}

}  // namespace

bool isCalcExtension(const std::filesystem::path& path) {
  const std::string ext = lowerExtension(path);
  return ext == ".89t" || ext == ".92t" || ext == ".9xt";
}

std::string_view signatureFor(const std::filesystem::path& path) {
  const std::string ext = lowerExtension(path);
  if (ext == ".89t") {
    return "**TI89**";
  }
  if (ext == ".92t") {
    return "**TI92**";
  }
  return "**TI92P*";
}

TiText readTiText(std::string_view fileBytes) {
  const std::size_t length = fileBytes.size();
  if (length < kTiMinFileSize) {
    throw TiFormatError("Le fichier est trop court pour être un texte TI.");
  }
  const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(fileBytes[i]); };
  const std::size_t v =
      byteAt(tilayout::kVarSizeOffset) * 256U + byteAt(tilayout::kVarSizeOffset + 1);
  // The text's end is found from the file length; a size word that disagrees means a
  // truncated file, trailing garbage, or not a text variable at all.
  if (v + tilayout::kDataOffset + 2 != length) {  // and the checksum
    throw TiFormatError("La taille du texte TI ne correspond pas à celle du fichier.");
  }

  TiText result;
  result.folder = std::string(fileBytes.substr(tilayout::kFolderOffset, kTiNameBytes));
  result.name = std::string(fileBytes.substr(tilayout::kNameOffset, kTiNameBytes));
  result.size = static_cast<std::int32_t>(v + 2);

  std::string& text = result.text;
  text.reserve(length - kFileOverhead + length / 16);
  unsigned char previous = byteAt(kMarkerOffset);
  if (previous == kFF) {
    text.push_back(static_cast<char>(kFF));
  }
  const std::size_t end = length - 4;  // before 0x00 0xE0 and the checksum
  // Only the byte after a CR can change: everything up to the next CR is copied as it is.
  bool afterCR = previous == kCR;
  for (std::size_t i = kMarkerOffset + 1; i < end;) {
    if (afterCR) {
      const unsigned char b = byteAt(i++);
      if (b == kFF) {
        text.push_back(static_cast<char>(kLF));
        text.push_back(static_cast<char>(kFF));
      } else if (b == kSpace) {
        text.push_back(static_cast<char>(kLF));
      } else {
        text.push_back(static_cast<char>(b));
      }
      afterCR = b == kCR;
      continue;
    }
    const char* from = fileBytes.data() + i;
    const auto* cr = static_cast<const char*>(std::memchr(from, kCR, end - i));
    const std::size_t stop =
        cr != nullptr ? static_cast<std::size_t>(cr - fileBytes.data()) + 1 : end;
    text.append(from, stop - i);
    afterCR = cr != nullptr;
    i = stop;
  }
  return result;
}

std::string convertToCalc(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 1);
  std::size_t i = 0;
  if (!text.empty() && static_cast<unsigned char>(text[0]) == kFF) {
    out.push_back(static_cast<char>(kFF));
    i = 1;
  } else {
    out.push_back(static_cast<char>(kSpace));
  }
  for (; i < text.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b != kLF) {
      out.push_back(static_cast<char>(b));
      continue;
    }
    const bool afterCR = static_cast<unsigned char>(out.back()) == kCR;
    const bool beforeFF = i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) == kFF;
    if (!(afterCR && beforeFF)) {
      out.push_back(static_cast<char>(kSpace));
    }
  }
  return out;
}

std::string writeTiText(const std::filesystem::path& fileName, std::string_view folder,
                        std::string_view name, std::string_view text) {
  const std::string data = convertToCalc(text);
  const std::size_t n = data.size() - 1;  // the first marker is not text
  if (n > kTiMaxTextBytes) {
    throw TiTooLongError("Le texte est trop long pour être enregistré au format TI (" +
                         std::to_string(n) + " octets, " + std::to_string(kTiMaxTextBytes) +
                         " au plus).");
  }
  std::string out = header(signatureFor(fileName), folder, name, {}, 0x00);
  out.reserve(n + kFileOverhead);
  out.append("\x00\x00\x00\x01", 4);  // V placeholder, cursor
  out.append(data);
  finish(out);
  return out;
}

std::string emptyTemplate() {
  static constexpr std::string_view kComment = "Nouveau texte pour TI-89, TI-92, TI-92+.";
  static_assert(kComment.size() == 40);
  std::string out = header("**TI92**", "main", "nouveau", kComment, 0xFF);
  out.append("\x00\x00\x00\x01\x20\x00", 6);  // V placeholder, cursor, marker, one 0x00
  finish(out);
  return out;
}

std::int32_t plainTextSize(std::string_view text) {
  return static_cast<std::int32_t>(text.size()) + kNewDocumentSize;
}

std::string nameForBox(std::string_view rawName) {
  return std::string(rawName.substr(0, rawName.find('\0')));
}

}  // namespace scrivle
