// Where things sit in a single-variable calculator file (.89t, .92t, .9xt, and the
// compressed texts made from them): the 86-byte header every such file starts with, then
// the variable's size word, its data and a checksum.
#pragma once

#include <cstddef>

namespace scrivle::tilayout {

inline constexpr std::size_t kFolderOffset = 10;  // the folder name, 8 bytes, zero padded
inline constexpr std::size_t kNameOffset = 64;    // the variable's name, likewise
inline constexpr std::size_t kNameBytes = 8;
inline constexpr std::size_t kTypeOffset = 72;        // the variable's type byte
inline constexpr std::size_t kFileLengthOffset = 76;  // the whole file, 32 bits little-endian
inline constexpr std::size_t kHeaderSize = 86;
// The variable's size V, 16 bits big-endian (unlike the rest); the checksum, the low 16
// bits of the sum of the bytes from here to the data's end, follows the V data bytes.
inline constexpr std::size_t kVarSizeOffset = kHeaderSize;
inline constexpr std::size_t kDataOffset = kVarSizeOffset + 2;

inline constexpr unsigned char kTextType = 0x0B;

}  // namespace scrivle::tilayout
