// Gap buffer holding the bytes of a text and one style byte per text byte. Both arrays
// share the same gap, so an edit at the caret moves nothing but the bytes between the old
// and the new edit point.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace scrivle {

class ByteStore {
 public:
  using Pos = std::int64_t;

  // Replaces everything; every byte gets style 0.
  void assign(std::string_view bytes);

  Pos size() const { return static_cast<Pos>(cap_ - (gapEnd_ - gapStart_)); }

  // Callers guarantee 0 <= pos < size().
  unsigned char at(Pos pos) const {
    auto p = static_cast<std::size_t>(pos);
    return text_[p < gapStart_ ? p : p + (gapEnd_ - gapStart_)];
  }
  std::uint8_t styleAt(Pos pos) const {
    auto p = static_cast<std::size_t>(pos);
    return style_[p < gapStart_ ? p : p + (gapEnd_ - gapStart_)];
  }

  // Replaces [pos, pos+len) with bytes. styles holds one byte per inserted byte, or is
  // empty, in which case every new byte gets fillStyle. Range already clamped.
  void replace(Pos pos, Pos len, std::string_view bytes, std::string_view styles,
               std::uint8_t fillStyle);

  void copyText(Pos pos, Pos len, std::string& out) const;    // appends
  void copyStyles(Pos pos, Pos len, std::string& out) const;  // appends
  void copyStyles(Pos pos, Pos len, std::uint8_t* out) const;
  void fillStyle(Pos pos, Pos len, std::uint8_t style);

  // First position of byte b in [from, to), or -1.
  Pos findByte(unsigned char b, Pos from, Pos to) const;
  // Last position of byte b in [from, to), or -1.
  Pos findByteBack(unsigned char b, Pos from, Pos to) const;

  // The two contiguous halves of the text: [0, gapStart) and [gapStart, size()).
  const unsigned char* front() const { return text_.get(); }
  std::size_t frontSize() const { return gapStart_; }
  const unsigned char* back() const { return text_.get() + gapEnd_; }
  std::size_t backSize() const { return cap_ - gapEnd_; }

  // Sets used[i] for every style index i that some byte of the text carries.
  void markStyles(bool* used) const;

  std::size_t capacity() const { return cap_; }

 private:
  void moveGap(std::size_t pos);
  void reserveGap(std::size_t needed);

  struct Free {
    void operator()(void* p) const;
  };
  using Bytes = std::unique_ptr<unsigned char[], Free>;
  static Bytes allocate(std::size_t size, bool zeroed);

  Bytes text_;
  Bytes style_;
  std::size_t cap_ = 0;
  std::size_t gapStart_ = 0;
  std::size_t gapEnd_ = 0;
};

}  // namespace scrivle
