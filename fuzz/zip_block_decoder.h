// An independent decoder of compressed blocks, written from the calculator's side of the
// format: the tests and the compressor's fuzz target prove with it that what is written
// expands back.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "compress/zip.h"

namespace scrivle::fuzz {

namespace zipdetail {

inline unsigned byteAt(std::string_view s, std::size_t i) {
  return static_cast<unsigned char>(s.at(i));
}
inline unsigned be16(std::string_view s, std::size_t i) {
  return (byteAt(s, i) << 8) | byteAt(s, i + 1);
}

// Decodes a block as the calculator does: rebuild the tree in preorder from the shape
// bits and the leaf list, then read N codes from offset D. Checks every fixed field and
// that nothing but zero padding follows the last code.
class BlockDecoder {
 public:
  explicit BlockDecoder(std::string_view block) : block_(block) {}

  std::string decode() {
    if (block_.size() < 10 || block_.size() % 2 != 0 || block_.size() > kZipBlockCapacity) {
      throw std::runtime_error("bad block length");
    }
    if (byteAt(block_, 0) != 0 || byteAt(block_, 1) != 1 || be16(block_, 6) != 0) {
      throw std::runtime_error("bad fixed bytes");
    }
    const std::size_t leaves = be16(block_, 2);
    const std::size_t dataOffset = be16(block_, 4);
    if (dataOffset != 10 + leaves + (2 * leaves + 6) / 8) {
      throw std::runtime_error("bad D");
    }
    symbols_ = block_.substr(10, leaves);
    bit_ = (10 + leaves) * 8;
    const int root = readNode();
    if (nextSymbol_ != leaves || bit_ != (10 + leaves) * 8 + 2 * leaves - 1) {
      throw std::runtime_error("shape does not match the leaf count");
    }
    checkZeroUpTo(dataOffset * 8);
    std::string out;
    const std::size_t count = be16(block_, 8);
    for (std::size_t i = 0; i < count; ++i) {
      int node = root;
      while (nodes_[node].symbol < 0) {
        node = readBit() ? nodes_[node].right : nodes_[node].left;
      }
      out.push_back(static_cast<char>(nodes_[node].symbol));
    }
    // The block ends at the byte holding the last code bit, plus one byte to be even.
    const std::size_t used = (bit_ + 7) / 8;
    if (block_.size() != used + used % 2) {
      throw std::runtime_error("block longer or shorter than its codes");
    }
    checkZeroUpTo(block_.size() * 8);
    return out;
  }

 private:
  struct Node {
    int left = -1;
    int right = -1;
    int symbol = -1;
  };

  bool readBit() {
    if (bit_ >= block_.size() * 8) {
      throw std::runtime_error("read past the block");
    }
    const bool b = ((byteAt(block_, bit_ / 8) >> (bit_ % 8)) & 1U) != 0;
    ++bit_;
    return b;
  }
  int readNode() {
    if (nodes_.size() > 511) {
      throw std::runtime_error("tree too large");
    }
    const int id = static_cast<int>(nodes_.size());
    nodes_.emplace_back();
    if (readBit()) {
      const int left = readNode();
      const int right = readNode();
      nodes_[id].left = left;
      nodes_[id].right = right;
    } else {
      if (nextSymbol_ >= symbols_.size()) {
        throw std::runtime_error("more leaves than symbols");
      }
      nodes_[id].symbol = static_cast<int>(byteAt(symbols_, nextSymbol_++));
    }
    return id;
  }
  void checkZeroUpTo(std::size_t endBit) {
    for (std::size_t b = bit_; b < endBit; ++b) {
      if (((byteAt(block_, b / 8) >> (b % 8)) & 1U) != 0) {
        throw std::runtime_error("padding bit set");
      }
    }
    bit_ = endBit;
  }

  std::string_view block_;
  std::string_view symbols_;
  std::size_t nextSymbol_ = 0;
  std::size_t bit_ = 0;
  std::vector<Node> nodes_;
};

}  // namespace zipdetail

// The bytes a block expands to; throws std::runtime_error for a block the calculator
// would refuse or misread.
inline std::string decodeZipBlock(std::string_view block) {
  return zipdetail::BlockDecoder(block).decode();
}

}  // namespace scrivle::fuzz
