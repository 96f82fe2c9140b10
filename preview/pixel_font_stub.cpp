// Stand-in glyphs until the calculator pixel fonts land: every printable code is a box
// one column narrower and one row shorter than its cell (the spacing), the space and
// the control codes are blank. Same interface, same cell sizes.
#include <array>

#include "preview/pixel_font.h"

namespace preview {
namespace {

template <int W, int H>
struct Boxes {
  std::array<std::uint8_t, H> box{};
  std::array<std::uint8_t, H> blank{};
  constexpr Boxes() {
    const std::uint8_t full = static_cast<std::uint8_t>(0xFF << (8 - (W - 1)));
    const std::uint8_t sides = static_cast<std::uint8_t>(0x80 | (0x80 >> (W - 2)));
    for (int r = 0; r < H - 1; ++r) box[r] = (r == 0 || r == H - 2) ? full : sides;
  }
};

constexpr Boxes<4, 6> kSmall{};
constexpr Boxes<6, 8> kNormal{};
constexpr Boxes<8, 10> kLarge{};

}  // namespace

int cellWidth(FontSize size) {
  return size == FontSize::Small ? 4 : size == FontSize::Large ? 8 : 6;
}
int cellHeight(FontSize size) {
  return size == FontSize::Small ? 6 : size == FontSize::Large ? 10 : 8;
}

Glyph glyph(FontSize size, std::uint8_t code) {
  const bool blank = code <= 32;
  const auto width = static_cast<std::uint8_t>(cellWidth(size));
  switch (size) {
    case FontSize::Small:
      return {width, blank ? kSmall.blank.data() : kSmall.box.data()};
    case FontSize::Large:
      return {width, blank ? kLarge.blank.data() : kLarge.box.data()};
    default:
      return {width, blank ? kNormal.blank.data() : kNormal.box.data()};
  }
}

}  // namespace preview
