// Compression of a calculator text file into a compressed variable (type 0x1C, "ZIP"),
// expanded on the calculator itself: a static Huffman code whose every byte and bit is
// fixed by the calculator-side decoder.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/errors.h"

namespace scrivle {

class Dialogs;

// A source the compressed format cannot carry. The text is the French explanation the
// information box shows; nothing has been written when it is raised.
class ZipRefused : public ScrivleError {
 public:
  using ScrivleError::ScrivleError;
};

inline constexpr std::size_t kZipMaxBody = 64000;        // N is at most this
inline constexpr std::size_t kZipBlockCapacity = 64001;  // the decoder's block buffer
inline constexpr std::size_t kZipPrefixSize = 90;        // header, size word, 0x07 0xFF
inline constexpr std::size_t kZipMinSource = 90;         // header + size word + checksum

// Appends the compressed block of body to output (layout: 0x00 0x01, L, D, 0x00 0x00, N,
// the L leaf bytes in preorder, the tree shape bits, then the codes of the N bytes,
// LSB-first, the block padded to an even length). Throws ZipRefused, leaving output
// unchanged, for a body longer than 64000 bytes, one with fewer than two distinct byte
// values, or one whose block would not fit in 64001 bytes.
void ZipBody(std::string_view body, std::string& output);

// The whole compressed file for the bytes of a calculator text file: the source's header
// with the type 0x1C, both size fields, 0x07 0xFF, the block, the "ZIP" trailer and the
// checksum. Throws ZipRefused for a source shorter than 90 bytes and for what ZipBody
// refuses.
std::string ZipTiFile(std::string_view source);

// "Compression : A -> B\r\n\r\nTaux de compression : R %" where A and B are the variable
// sizes on the calculator (size word included) and R has two decimals.
std::string zipStatistics(std::size_t sourceSize, std::size_t zippedSize,
                          std::string_view decimalSeparator);

// The decimal separator of the user's locale (from the C library's current locale).
std::string localeDecimalSeparator();

// The compressed file beside the source: its last character replaced by "y"
// (essai.89t -> essai.89y, essai.9XT -> essai.9Xy).
std::filesystem::path zipOutputPath(const std::filesystem::path& source);

// Compresses the calculator text file at path into the file beside it named by
// zipOutputPath, replacing it. Wrong extensions and refused sources get an information
// box and write nothing; the statistics are shown, then, when the result is not smaller
// than the source, the question whether to delete it. File errors propagate as
// ScrivleError. The source is only read. An empty decimalSeparator means the locale's.
void ZipFile(const std::filesystem::path& path, Dialogs& dialogs,
             std::string_view decimalSeparator = {});

}  // namespace scrivle
