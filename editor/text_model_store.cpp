#include "editor/text_model_store.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace scrivle {

namespace {
// Room left free after a load or a growth: enough for a burst of typing without a
// reallocation, small enough to keep the whole model under three bytes per text byte.
constexpr std::size_t kMinGap = 64 * 1024;
}  // namespace

void ByteStore::Free::operator()(void* p) const {
  std::free(p);
}

ByteStore::Bytes ByteStore::allocate(std::size_t size, bool zeroed) {
  void* p = zeroed ? std::calloc(size, 1) : std::malloc(size);
  if (p == nullptr) {
    throw std::bad_alloc();
  }
  return Bytes(static_cast<unsigned char*>(p));
}

void ByteStore::assign(std::string_view bytes) {
  const std::size_t n = bytes.size();
  const std::size_t cap = n + std::max(kMinGap, n / 32);
  text_.reset();
  style_.reset();
  text_ = allocate(cap, false);
  // Style 0 everywhere: calloc hands out fresh zero pages without touching them, which
  // halves the cost of loading a large text.
  style_ = allocate(cap, true);
  if (n > 0) {
    std::memcpy(text_.get(), bytes.data(), n);
  }
  cap_ = cap;
  gapStart_ = n;
  gapEnd_ = cap;
}

void ByteStore::moveGap(std::size_t pos) {
  const std::size_t gap = gapEnd_ - gapStart_;
  if (pos < gapStart_) {
    const std::size_t count = gapStart_ - pos;
    std::memmove(text_.get() + pos + gap, text_.get() + pos, count);
    std::memmove(style_.get() + pos + gap, style_.get() + pos, count);
  } else if (pos > gapStart_) {
    const std::size_t count = pos - gapStart_;
    std::memmove(text_.get() + gapStart_, text_.get() + gapEnd_, count);
    std::memmove(style_.get() + gapStart_, style_.get() + gapEnd_, count);
  }
  gapStart_ = pos;
  gapEnd_ = pos + gap;
}

void ByteStore::reserveGap(std::size_t needed) {
  if (gapEnd_ - gapStart_ >= needed) {
    return;
  }
  const std::size_t used = cap_ - (gapEnd_ - gapStart_);
  const std::size_t want = used + needed;
  const std::size_t cap = want + std::max(kMinGap, want / 4);
  Bytes text = allocate(cap, false);
  Bytes style = allocate(cap, false);
  const std::size_t tail = cap_ - gapEnd_;
  if (gapStart_ > 0) {
    std::memcpy(text.get(), text_.get(), gapStart_);
    std::memcpy(style.get(), style_.get(), gapStart_);
  }
  if (tail > 0) {
    std::memcpy(text.get() + cap - tail, text_.get() + gapEnd_, tail);
    std::memcpy(style.get() + cap - tail, style_.get() + gapEnd_, tail);
  }
  text_ = std::move(text);
  style_ = std::move(style);
  gapEnd_ = cap - tail;
  cap_ = cap;
}

void ByteStore::replace(Pos pos, Pos len, std::string_view bytes, std::string_view styles,
                        std::uint8_t fill) {
  auto p = static_cast<std::size_t>(pos);
  auto removed = static_cast<std::size_t>(len);
  // Grow first: if that fails, nothing has changed yet.
  reserveGap(bytes.size() > removed ? bytes.size() - removed : 0);
  moveGap(p);
  gapEnd_ += removed;  // the removed bytes join the gap
  if (!bytes.empty()) {
    std::memcpy(text_.get() + gapStart_, bytes.data(), bytes.size());
    if (styles.size() == bytes.size()) {
      std::memcpy(style_.get() + gapStart_, styles.data(), bytes.size());
    } else {
      std::memset(style_.get() + gapStart_, fill, bytes.size());
    }
    gapStart_ += bytes.size();
  }
}

void ByteStore::copyText(Pos pos, Pos len, std::string& out) const {
  auto p = static_cast<std::size_t>(pos);
  auto e = p + static_cast<std::size_t>(len);
  if (p < gapStart_) {
    const std::size_t upto = std::min(e, gapStart_);
    out.append(reinterpret_cast<const char*>(text_.get() + p), upto - p);
    p = upto;
  }
  if (p < e) {
    const std::size_t gap = gapEnd_ - gapStart_;
    out.append(reinterpret_cast<const char*>(text_.get() + p + gap), e - p);
  }
}

void ByteStore::copyStyles(Pos pos, Pos len, std::string& out) const {
  const std::size_t old = out.size();
  out.resize(old + static_cast<std::size_t>(len));
  copyStyles(pos, len, reinterpret_cast<std::uint8_t*>(out.data() + old));
}

void ByteStore::copyStyles(Pos pos, Pos len, std::uint8_t* out) const {
  auto p = static_cast<std::size_t>(pos);
  auto e = p + static_cast<std::size_t>(len);
  if (p < gapStart_) {
    const std::size_t upto = std::min(e, gapStart_);
    std::memcpy(out, style_.get() + p, upto - p);
    out += upto - p;
    p = upto;
  }
  if (p < e) {
    std::memcpy(out, style_.get() + p + (gapEnd_ - gapStart_), e - p);
  }
}

void ByteStore::fillStyle(Pos pos, Pos len, std::uint8_t style) {
  auto p = static_cast<std::size_t>(pos);
  auto e = p + static_cast<std::size_t>(len);
  if (p < gapStart_) {
    const std::size_t upto = std::min(e, gapStart_);
    std::memset(style_.get() + p, style, upto - p);
    p = upto;
  }
  if (p < e) {
    std::memset(style_.get() + p + (gapEnd_ - gapStart_), style, e - p);
  }
}

ByteStore::Pos ByteStore::findByte(unsigned char b, Pos from, Pos to) const {
  auto p = static_cast<std::size_t>(from);
  auto e = static_cast<std::size_t>(to);
  if (p >= e) {
    return -1;
  }
  if (p < gapStart_) {
    const std::size_t upto = std::min(e, gapStart_);
    const void* hit = std::memchr(text_.get() + p, b, upto - p);
    if (hit != nullptr) {
      return static_cast<Pos>(static_cast<const unsigned char*>(hit) - text_.get());
    }
    p = upto;
  }
  if (p < e) {
    const std::size_t gap = gapEnd_ - gapStart_;
    const void* hit = std::memchr(text_.get() + p + gap, b, e - p);
    if (hit != nullptr) {
      return static_cast<Pos>(static_cast<const unsigned char*>(hit) - text_.get() - gap);
    }
  }
  return -1;
}

ByteStore::Pos ByteStore::findByteBack(unsigned char b, Pos from, Pos to) const {
  auto p = static_cast<std::size_t>(from);
  auto e = static_cast<std::size_t>(to);
  const std::size_t gap = gapEnd_ - gapStart_;
  // Back half first, then the front half.
  while (e > p && e > gapStart_) {
    --e;
    if (text_[e + gap] == b) {
      return static_cast<Pos>(e);
    }
  }
  while (e > p) {
    --e;
    if (text_[e] == b) {
      return static_cast<Pos>(e);
    }
  }
  return -1;
}

void ByteStore::markStyles(bool* used) const {
  // Runs of equal styles are the rule, so only look up when the byte changes.
  auto scan = [used](const std::uint8_t* s, std::size_t n) {
    int last = -1;
    for (std::size_t i = 0; i < n; ++i) {
      if (s[i] != last) {
        last = s[i];
        used[last] = true;
      }
    }
  };
  scan(style_.get(), gapStart_);
  scan(style_.get() + gapEnd_, cap_ - gapEnd_);
}

}  // namespace scrivle
