// The calculator preview, checked on the pixels it draws: what each tag does to the
// image, wrapping, clipping, and the mapping between the strip and the text.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "preview/layout.h"
#include "preview/raster.h"

namespace scrivle {
namespace {

namespace pf = ::preview;

struct Drawn {
  PreviewLayout layout;
  PreviewBitmap image;
};

Drawn draw(const std::string& text, int width = kTi89Width) {
  Drawn d{PreviewLayout(width), {}};
  d.layout.setText(text);
  d.image = renderWholePreview(d.layout);
  return d;
}

// First and last inked column of rows [y0, y1); -1 when blank.
std::pair<int, int> inkColumns(const PreviewBitmap& b, int y0, int y1) {
  int first = -1, last = -1;
  for (int x = 0; x < b.width; ++x) {
    for (int y = y0; y < y1 && y < b.height; ++y) {
      if (b.at(x, y) != 0) {
        if (first < 0) first = x;
        last = x;
        break;
      }
    }
  }
  return {first, last};
}

int darkInRow(const PreviewBitmap& b, int y) {
  int n = 0;
  for (int x = 0; x < b.width; ++x) n += b.at(x, y);
  return n;
}

bool rowFull(const PreviewBitmap& b, int y, int from = 0) {
  for (int x = from; x < b.width; ++x) {
    if (b.at(x, y) == 0) return false;
  }
  return true;
}

TEST(PreviewTags, TagsBookmarksAndLineBreaksTakeNoSpace) {
  const Drawn plain = draw("AB\r\nCD");
  const Drawn tagged = draw("\x0c#UA#UB&C&L\r\n#2C&RD&L");
  EXPECT_EQ(tagged.layout.height(), plain.layout.height());
  ASSERT_EQ(tagged.layout.paragraphs()[0].glyphs.size(), 2u);
  EXPECT_EQ(tagged.layout.paragraphs()[0].glyphs[1].x, pf::cellWidth(pf::FontSize::Normal));
  // Recognition is the editor's: "#u", "&A" and a lone "#" at the end are text.
  EXPECT_EQ(draw("#u&A#").layout.paragraphs()[0].glyphs.size(), 5u);
  // An empty paragraph is one line of the size in force.
  EXPECT_EQ(draw("#3\r\n\r\n").layout.height(), 30);
}

TEST(PreviewPixels, Alignment) {
  for (int width : {kTi89Width, kTi92Width}) {
    for (const char* word : {"AB", "ABC", "HELLO WORLD"}) {
      const Drawn centred = draw(std::string("&C") + word, width);
      const auto [first, last] = inkColumns(centred.image, 0, 8);
      ASSERT_GE(first, 0);
      EXPECT_LE(std::abs(first - (width - 1 - last)), 1) << word << " at " << width;
    }
    // A right-aligned line ends at the edge: its last (inverse) cell is the last column.
    const Drawn right = draw("&R#IAB", width);
    EXPECT_EQ(inkColumns(right.image, 0, 8).second, width - 1);
    EXPECT_EQ(inkColumns(right.image, 0, 8).first, width - 12);
    // Alignment is the paragraph's, wherever its tag stands, and the next one is left.
    const Drawn late = draw("#IAB&R\r\nCD", width);
    EXPECT_EQ(inkColumns(late.image, 0, 8).second, width - 1);
    EXPECT_EQ(inkColumns(late.image, 8, 16).first, 0);
  }
}

TEST(PreviewPixels, Margins) {
  const std::pair<const char*, int> cases[] = {{"&\\", 0}, {"&,", 10}, {"&;", 20}, {"&.", 30}};
  for (const auto& [tag, margin] : cases) {
    const Drawn d = draw(std::string(tag) + "#IXY");
    EXPECT_EQ(inkColumns(d.image, 0, 8).first, margin) << tag;
    // Centring happens in the width the margin leaves.
    const Drawn c = draw(std::string(tag) + "&C#IXY");
    const auto [first, last] = inkColumns(c.image, 0, 8);
    EXPECT_LE(std::abs((first - margin) - (kTi89Width - 1 - last)), 1) << tag;
  }
  // The last margin tag of a paragraph wins.
  EXPECT_EQ(inkColumns(draw("&.&,#IX").image, 0, 8).first, 10);
}

TEST(PreviewPixels, Rules) {
  const Drawn single = draw("&-\r\n");
  int full = 0;
  for (int y = 0; y < single.image.height; ++y) full += rowFull(single.image, y) ? 1 : 0;
  EXPECT_EQ(full, 1);
  const Drawn twice = draw("&=\r\n");
  std::vector<int> rows;
  for (int y = 0; y < twice.image.height; ++y) {
    if (rowFull(twice.image, y)) rows.push_back(y);
  }
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1] - rows[0], 2);  // one pixel apart
  EXPECT_EQ(darkInRow(twice.image, rows[0] + 1), 0);
  // With a margin the rule starts there.
  const Drawn margin = draw("&;&-");
  bool found = false;
  for (int y = 0; y < margin.image.height; ++y) {
    if (rowFull(margin.image, y, 20)) {
      found = true;
      EXPECT_EQ(darkInRow(margin.image, y), kTi89Width - 20);
    }
  }
  EXPECT_TRUE(found);
}

TEST(PreviewPixels, InverseUnderlineStrikeAndVector) {
  // Inverse: a dark run as wide as the text, its spacing included; light ink inside.
  const Drawn inv = draw("x#IABC#Iy");
  const int cw = pf::cellWidth(pf::FontSize::Normal);
  int dark = 0;
  for (int x = cw; x < 4 * cw; ++x)
    dark += inv.image.at(x, pf::cellHeight(pf::FontSize::Normal) - 1);
  EXPECT_EQ(dark, 3 * cw);
  EXPECT_EQ(inv.image.at(4 * cw + cw - 1, 7), 0);  // the spacing after it is paper again
  // A space under "#I" is a solid block.
  const Drawn block = draw("#I  ");
  for (int y = 0; y < 8; ++y) EXPECT_EQ(darkInRow(block.image, y), 2 * cw) << y;

  // Underline: the cell's bottom row, whole; dotted: every other pixel of it.
  const Drawn under = draw("#UAB#U");
  EXPECT_EQ(darkInRow(under.image, 7), 2 * cw);
  const Drawn dotted = draw("#NAB#N");
  EXPECT_EQ(darkInRow(dotted.image, 7), cw);
  // Strike-through: a full row through the middle of the cell.
  const Drawn strike = draw("#S  #S");
  EXPECT_EQ(darkInRow(strike.image, 4), 2 * cw);
  // Vector: a line over the text with barbs above and below it near the right end.
  const Drawn vec = draw("#V  #V");
  EXPECT_EQ(darkInRow(vec.image, 1), 2 * cw - 1);
  EXPECT_EQ(vec.image.at(2 * cw - 3, 0), 1);
  EXPECT_EQ(vec.image.at(2 * cw - 3, 2), 1);
}

TEST(PreviewPixels, SizesAndExponent) {
  // "#I" spaces make each cell solid: column 0 is dark over 6 + 8 + 10 rows, column 5
  // over the two larger lines, column 7 over the largest only.
  const Drawn d = draw("#I#1 \r\n#2 \r\n#3 ");
  EXPECT_EQ(d.layout.height(), 24);
  auto darkRows = [&](int x) {
    int n = 0;
    for (int y = 0; y < d.image.height; ++y) n += d.image.at(x, y);
    return n;
  };
  EXPECT_EQ(darkRows(0), 24);
  EXPECT_EQ(darkRows(5), 18);
  EXPECT_EQ(darkRows(7), 10);
  // A line is as tall as its tallest cell, and smaller cells sit on its bottom.
  const Drawn mixed = draw("#I#1 #3 ");
  EXPECT_EQ(mixed.layout.height(), 10);
  EXPECT_EQ(mixed.image.at(0, 3), 0);
  EXPECT_EQ(mixed.image.at(0, 4), 1);
  // An exponent is small and raised to the line's top.
  const Drawn exp = draw("#I#3 #E #E");
  EXPECT_EQ(exp.layout.height(), 10);
  const int ex = pf::cellWidth(pf::FontSize::Large);
  EXPECT_EQ(exp.image.at(ex, 0), 1);
  EXPECT_EQ(exp.image.at(ex, 6), 0);
  EXPECT_EQ(exp.layout.paragraphs()[0].glyphs[1].width, pf::glyph(pf::FontSize::Small, ' ').width);
}

TEST(PreviewPixels, WrapsAtSpacesWithinTheScreen) {
  std::mt19937 rng(7);
  std::string text;
  for (int i = 0; i < 400; ++i) {
    text += std::string(1 + rng() % 9, static_cast<char>('a' + rng() % 26));
    text += (i % 37 == 36) ? "\r\n" : (i % 11 == 10 ? " #3" : (i % 13 == 12 ? " #2" : " "));
  }
  for (int width : {kTi89Width, kTi92Width}) {
    const Drawn d = draw(text, width);
    for (const auto& p : d.layout.paragraphs()) {
      for (std::size_t li = 0; li < p.lines.size(); ++li) {
        const auto& line = p.lines[li];
        if (line.endGlyph == line.firstGlyph) continue;
        const auto& last = p.glyphs[static_cast<std::size_t>(line.endGlyph - 1)];
        EXPECT_LE(last.x + last.width, width);
        if (li + 1 == p.lines.size()) continue;
        // Broken at a space, and the next word would not have fitted.
        const auto& after = p.glyphs[static_cast<std::size_t>(line.endGlyph)];
        EXPECT_EQ(after.code, ' ');
        int next = 0;
        for (int k = line.endGlyph + 1;
             k < p.lines[li + 1].endGlyph && p.glyphs[static_cast<std::size_t>(k)].code != ' ';
             ++k) {
          next += p.glyphs[static_cast<std::size_t>(k)].width;
        }
        EXPECT_GT(last.x + last.width + after.width + next, width);
      }
    }
  }
  // A word longer than the line is cut at the edge.
  const Drawn longWord = draw(std::string(30, 'M'));
  ASSERT_EQ(longWord.layout.paragraphs()[0].lines.size(), 2u);
  EXPECT_EQ(longWord.layout.paragraphs()[0].lines[0].endGlyph, kTi89Width / 6);
}

TEST(PreviewPixels, NoWrapRunsPastTheEdgeAndIsClipped) {
  const std::string words = "un deux trois quatre cinq six sept huit neuf dix onze douze";
  const Drawn wrapped = draw(words);
  const Drawn clipped = draw("#W" + words + "#W\r\n" + words);
  EXPECT_GT(wrapped.layout.paragraphs()[0].lines.size(), 1u);
  ASSERT_EQ(clipped.layout.paragraphs()[0].lines.size(), 1u);
  EXPECT_EQ(clipped.image.width, kTi89Width);
  EXPECT_GT(inkColumns(clipped.image, 0, 8).second, kTi89Width - 8);
  const auto& g = clipped.layout.paragraphs()[0].glyphs;
  EXPECT_GT(g.back().x, kTi89Width);
  // Wrapping comes back on after the second "#W".
  EXPECT_EQ(clipped.layout.paragraphs()[1].lines.size(),
            wrapped.layout.paragraphs()[0].lines.size());
}

TEST(PreviewPixels, AttributesHoldAcrossLineBreaksUntilToggled) {
  const Drawn d = draw("#U#3ab\r\ncd#U\r\nef#2\r\ngh");
  // Underlined bottom rows of the first two lines (size 3), not of the third.
  EXPECT_EQ(darkInRow(d.image, 9), 16);
  EXPECT_EQ(darkInRow(d.image, 19), 16);
  EXPECT_EQ(d.layout.paragraphs()[2].height, 10);
  EXPECT_EQ(d.layout.paragraphs()[3].height, 8);
  EXPECT_EQ(darkInRow(d.image, 29), 0);
  // Inverse across a break: both lines dark behind their text.
  const Drawn inv = draw("#I \r\n #I\r\n ");
  EXPECT_EQ(darkInRow(inv.image, 3), 6);
  EXPECT_EQ(darkInRow(inv.image, 11), 6);
  EXPECT_EQ(darkInRow(inv.image, 19), 0);
}

TEST(PreviewPixels, PictureAndPrettyPrintFrames) {
  const Drawn pic = draw("&,&Pphoto\r\n");
  const auto& p = pic.layout.paragraphs()[0];
  ASSERT_EQ(p.boxes.size(), 1u);
  EXPECT_EQ(p.boxes[0].x, 10);
  EXPECT_EQ(p.boxes[0].w, kTi89Width - 10);
  for (const auto& g : p.glyphs) EXPECT_EQ(g.size, pf::FontSize::Small);
  EXPECT_TRUE(rowFull(pic.image, 0, 10));
  const Drawn pretty = draw("&Ex^2#3+1");
  const auto& q = pretty.layout.paragraphs()[0];
  ASSERT_EQ(q.boxes.size(), 1u);
  // Centred: the frame's blank columns either side differ by one at most.
  EXPECT_LE(std::abs(q.boxes[0].x - (kTi89Width - q.boxes[0].x - q.boxes[0].w)), 1);
  EXPECT_EQ(q.height, 10 + 4);
}

TEST(PreviewMapping, PointsMapToTheNearestCharacter) {
  PreviewLayout layout(kTi89Width);
  layout.setText("&C#UAB#U\r\nxyz");
  const auto& g = layout.paragraphs()[0].glyphs;
  EXPECT_EQ(layout.positionAt(g[0].x + 1, 2), 4);  // left half of "A"
  EXPECT_EQ(layout.positionAt(g[0].x + 4, 2), 5);  // right half: after it
  EXPECT_EQ(layout.positionAt(0, 2), 4);
  EXPECT_EQ(layout.positionAt(kTi89Width - 1, 2), 8);  // past the end: the paragraph's end
  EXPECT_EQ(layout.positionAt(7, 9), 11);
  EXPECT_EQ(layout.positionAt(500, 5000), 13);
  EXPECT_EQ(layout.paragraphAt(9), 0u);  // the CR LF belongs to the paragraph it ends
  EXPECT_EQ(layout.paragraphAt(10), 1u);
}

TEST(PreviewIncremental, EditsLayOutOnlyWhatTheyTouch) {
  std::string text;
  for (int i = 0; i < 200; ++i) text += "#Upara#U " + std::to_string(i) + " du texte\r\n";
  PreviewLayout layout(kTi92Width);
  layout.setText(text);
  layout.edit(900, 0, "z");
  EXPECT_LE(layout.lastLaidOut(), 2u);
  // A toggle that changes the state at the start of what follows lays out until the
  // state is the same again.
  layout.edit(900, 0, "#I");
  EXPECT_GT(layout.lastLaidOut(), 100u);
  PreviewLayout whole(kTi92Width);
  whole.setText(layout.text());
  EXPECT_EQ(layout.height(), whole.height());
  EXPECT_EQ(whole.paragraphs().back().in.attrs, layout.paragraphs().back().in.attrs);
  // Joining two paragraphs by deleting a CR, then splitting one with CR LF.
  const PreviewPos cr = static_cast<PreviewPos>(layout.text().find('\r'));
  layout.edit(cr, 1, "");
  EXPECT_EQ(layout.paragraphs().size(), whole.paragraphs().size() - 1);
  layout.edit(cr, 0, "\r");
  EXPECT_EQ(layout.paragraphs().size(), whole.paragraphs().size());
  EXPECT_EQ(layout.text(), whole.text());
}

TEST(PreviewModel, ExtensionDecidesThenTheDefault) {
  EXPECT_EQ(modelForFile(".89t", "9xt"), 89);
  EXPECT_EQ(modelForFile(".92t", "89t"), 92);
  EXPECT_EQ(modelForFile(".9xt", "89t"), 92);
  EXPECT_EQ(modelForFile(".txt", "89t"), 89);
  EXPECT_EQ(modelForFile("", "92t"), 92);
  EXPECT_EQ(screenWidth(89), 160);
  EXPECT_EQ(screenHeight(92), 128);
}

}  // namespace
}  // namespace scrivle
