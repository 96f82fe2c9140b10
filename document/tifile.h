// Single-variable text files of the TI-89 / TI-92 / TI-92 Plus (.89t, .92t, .9xt).
//
// Pure functions over bytes: the document window reads and writes the file itself and
// hands the bytes over. The editor's text uses CR LF line breaks; the calculator stores
// a line as a marker byte (0x20, or 0x0C for a bookmark line) and separates lines with a
// lone CR.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "calc/tifile_layout.h"
#include "platform/errors.h"

namespace scrivle {

// Raised for a file that cannot be a text variable (too short, or its size word does
// not describe the bytes it holds). The document window turns it into its own message.
class TiFormatError : public ScrivleError {
 public:
  using ScrivleError::ScrivleError;
};

// Raised when a text cannot be stored: its variable size would not fit in 16 bits.
class TiTooLongError : public ScrivleError {
 public:
  using ScrivleError::ScrivleError;
};

inline constexpr std::size_t kTiHeaderSize = tilayout::kHeaderSize;  // up to the size word
inline constexpr std::size_t kTiMinFileSize = 95;                    // empty text
inline constexpr std::size_t kTiMaxTextBytes = 65530;  // keeps V = n + 5 within 16 bits
inline constexpr std::size_t kTiNameBytes = tilayout::kNameBytes;

// True for ".89t", ".92t" and ".9xt", in any letter case.
bool isCalcExtension(const std::filesystem::path& path);

// The 8-byte signature for the file's extension: "**TI89**", "**TI92**" or "**TI92P*".
// Anything that is not .89t or .92t gets the TI-92 Plus one.
std::string_view signatureFor(const std::filesystem::path& path);

struct TiText {
  std::string folder;     // 8 raw bytes as read, zero padding kept
  std::string name;       // 8 raw bytes as read, zero padding kept
  std::string text;       // CR LF text for the editor
  std::int32_t size = 2;  // size on the calculator: V + 2
};

// Reads a text variable file. Checks only what is needed to read it safely: the file
// holds at least the 95 bytes of an empty text, and its size word V agrees with the
// file length (V + 90 bytes in all). Throws TiFormatError otherwise. The signature,
// type, checksum and the other header fields are not looked at.
TiText readTiText(std::string_view fileBytes);

// The variable's text bytes as stored (first marker through the last text byte) for an
// editor text; a LF that does not end a CR LF pair becomes a space.
std::string convertToCalc(std::string_view text);

// Builds the whole file for an editor text. folder and name are cut to 8 bytes or padded
// with 0x00 (a name read from a file comes back byte for byte). Throws TiTooLongError
// when the converted text exceeds 65530 bytes.
std::string writeTiText(const std::filesystem::path& fileName, std::string_view folder,
                        std::string_view name, std::string_view text);

// The 96-byte file the shell offers as a new calculator text.
std::string emptyTemplate();

// Size on the calculator of a plain text (a line break counts 2): length + 7. A new,
// empty document measures kNewDocumentSize.
inline constexpr std::int32_t kNewDocumentSize = 7;
std::int32_t plainTextSize(std::string_view text);

// What the folder and name boxes show: the bytes before the first zero byte.
std::string nameForBox(std::string_view rawName);

}  // namespace scrivle
