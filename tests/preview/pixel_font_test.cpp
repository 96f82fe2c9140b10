#include "preview/pixel_font.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "calc/charset.h"

namespace preview {
namespace {

constexpr FontSize kSizes[] = {FontSize::Small, FontSize::Normal, FontSize::Large};

std::string nameOf(FontSize size, int code) {
  std::ostringstream s;
  s << "size " << static_cast<int>(size) << " code 0x" << std::hex << code;
  return s.str();
}

std::vector<std::uint8_t> rowsOf(FontSize size, int code) {
  const Glyph g = glyph(size, static_cast<std::uint8_t>(code));
  return {g.rows, g.rows + cellHeight(size)};
}

// Columns (0 = left) that hold ink in any row; -1 when the glyph is blank.
std::pair<int, int> inkColumns(FontSize size, int code) {
  std::uint8_t any = 0;
  for (const std::uint8_t row : rowsOf(size, code)) {
    any |= row;
  }
  if (any == 0) {
    return {-1, -1};
  }
  int first = 0;
  while ((any & (0x80 >> first)) == 0) {
    ++first;
  }
  int last = 7;
  while ((any & (0x80 >> last)) == 0) {
    --last;
  }
  return {first, last};
}

std::pair<int, int> inkRows(FontSize size, int code) {
  const std::vector<std::uint8_t> rows = rowsOf(size, code);
  int first = -1;
  int last = -1;
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    if (rows[r] != 0) {
      first = first < 0 ? r : first;
      last = r;
    }
  }
  return {first, last};
}

TEST(PixelFont, CellsOfTheThreeSizes) {
  EXPECT_EQ(cellWidth(FontSize::Small), 4);
  EXPECT_EQ(cellHeight(FontSize::Small), 6);
  EXPECT_EQ(cellWidth(FontSize::Normal), 6);
  EXPECT_EQ(cellHeight(FontSize::Normal), 8);
  EXPECT_EQ(cellWidth(FontSize::Large), 8);
  EXPECT_EQ(cellHeight(FontSize::Large), 10);
  // A size outside the enumeration reads as the normal font rather than past a table.
  EXPECT_EQ(cellWidth(static_cast<FontSize>(0)), 6);
  EXPECT_EQ(glyph(static_cast<FontSize>(9), 'A').rows, glyph(FontSize::Normal, 'A').rows);
}

TEST(PixelFont, EveryCodeHasAGlyphInsideItsCell) {
  for (const FontSize size : kSizes) {
    for (int code = 0; code < 256; ++code) {
      SCOPED_TRACE(nameOf(size, code));
      const Glyph g = glyph(size, static_cast<std::uint8_t>(code));
      ASSERT_NE(g.rows, nullptr);
      EXPECT_GE(g.width, 1);
      EXPECT_LE(g.width, cellWidth(size));
      if (size != FontSize::Small) {
        EXPECT_EQ(g.width, cellWidth(size)) << "sizes 2 and 3 are fixed";
      }
      // No ink right of the advance (which also keeps it inside the cell).
      const auto [first, last] = inkColumns(size, code);
      EXPECT_LT(last, static_cast<int>(g.width));
      if (code != ' ') {
        EXPECT_GE(first, 0) << "only the space is blank";
      }
    }
  }
  EXPECT_EQ(inkColumns(FontSize::Small, ' ').first, -1);
  EXPECT_EQ(inkColumns(FontSize::Normal, ' ').first, -1);
  EXPECT_EQ(inkColumns(FontSize::Large, ' ').first, -1);
}

TEST(PixelFont, CodesWithDistinctCharactersHaveDistinctGlyphs) {
  for (const FontSize size : kSizes) {
    std::map<std::vector<std::uint8_t>, int> seen;
    for (int code = 0; code < 256; ++code) {
      const auto [it, fresh] = seen.emplace(rowsOf(size, code), code);
      if (fresh) {
        continue;
      }
      const auto a = scrivle::charset::unicodeOf(static_cast<unsigned char>(it->second));
      const auto b = scrivle::charset::unicodeOf(static_cast<unsigned char>(code));
      EXPECT_FALSE(a.first != b.first || a.second != b.second)
          << nameOf(size, code) << " is drawn like code 0x" << std::hex << it->second;
    }
  }
}

TEST(PixelFont, LettersAndDigitsKeepASpacingColumnAndStandOnTheBaseline) {
  const std::string latin = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  // Greek beta Gamma Delta theta pi Sigma Omega; the small alpha keeps its four columns.
  const std::string greek = "\x81\x82\x84\x88\x8C\x8E\x93";
  for (const FontSize size : kSizes) {
    for (const char c : latin + greek + (size == FontSize::Small ? "" : "\x80")) {
      const int code = static_cast<unsigned char>(c);
      SCOPED_TRACE(nameOf(size, code));
      const Glyph g = glyph(size, static_cast<std::uint8_t>(code));
      EXPECT_LT(inkColumns(size, code).second, g.width - 1) << "touches the next glyph";
      const auto [top, bottom] = inkRows(size, code);
      EXPECT_GE(bottom, baseline(size));
    }
    // Capitals reach the top row and end on the baseline; descenders go below it.
    EXPECT_EQ(inkRows(size, 'H'), std::make_pair(0, baseline(size)));
    EXPECT_EQ(inkRows(size, 'x'), std::make_pair(xHeightTop(size), baseline(size)));
    for (const char c : std::string("gjpqy")) {
      EXPECT_GT(inkRows(size, c).second, baseline(size)) << c << " in " << nameOf(size, c);
    }
  }
}

TEST(PixelFont, SizesGrowAndTheSmallFontIsProportional) {
  for (const char c : std::string("AHgx8")) {
    EXPECT_LT(inkRows(FontSize::Small, c).second - inkRows(FontSize::Small, c).first,
              inkRows(FontSize::Normal, c).second - inkRows(FontSize::Normal, c).first);
    EXPECT_LT(inkRows(FontSize::Normal, c).second - inkRows(FontSize::Normal, c).first,
              inkRows(FontSize::Large, c).second - inkRows(FontSize::Large, c).first);
  }
  EXPECT_LT(glyph(FontSize::Small, '.').width, glyph(FontSize::Small, 'M').width);
  EXPECT_LT(glyph(FontSize::Small, '!').width, glyph(FontSize::Small, 'W').width);
  EXPECT_EQ(inkColumns(FontSize::Small, '.').first, 0) << "proportional ink starts at the left";
  EXPECT_GE(glyph(FontSize::Small, ' ').width, 2);
}

// The generated tables hold what handmade.txt draws: a glyph edited there without running
// the generator again fails here.
TEST(PixelFont, HandDrawnGlyphsMatchTheirSource) {
  std::ifstream in(std::string(SCRIVLE_SOURCE_DIR) + "/tools/fontgen/handmade.txt");
  ASSERT_TRUE(in) << "tools/fontgen/handmade.txt";
  std::string line;
  int checked = 0;
  while (std::getline(in, line)) {
    if (line.rfind("glyph ", 0) != 0) {
      continue;
    }
    std::istringstream header(line.substr(6));
    int sizeNumber = 0;
    int code = 0;
    header >> sizeNumber >> std::hex >> code;
    const auto size = static_cast<FontSize>(sizeNumber);
    SCOPED_TRACE(nameOf(size, code));
    std::vector<std::uint8_t> drawn;
    for (int r = 0; r < cellHeight(size); ++r) {
      ASSERT_TRUE(std::getline(in, line));
      std::uint8_t bits = 0;
      for (int c = 0; c < static_cast<int>(line.size()) && c < 8; ++c) {
        if (line[c] == '#') {
          bits |= 0x80 >> c;
        }
      }
      drawn.push_back(bits);
    }
    if (size == FontSize::Small) {  // proportional: the ink is moved to the left edge
      std::uint8_t any = 0;
      for (const std::uint8_t b : drawn) {
        any |= b;
      }
      while (any != 0 && (any & 0x80) == 0) {
        any <<= 1;
        for (std::uint8_t& b : drawn) {
          b <<= 1;
        }
      }
    }
    EXPECT_EQ(rowsOf(size, code), drawn);
    ++checked;
  }
  EXPECT_GT(checked, 60);
}

}  // namespace
}  // namespace preview
