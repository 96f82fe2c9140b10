// The calculator preview's layout against QTextDocument laying out the same text turned
// into the equivalent HTML, in the same run and at the same width.
//
// (a) full layout of a 64 KB calculator text with a tag every 8 bytes: ours (the tags
//     read from the text) against QTextDocument (the HTML parsed and laid out), median of 9;
// (b) one keystroke in the middle of that text and of a 1 KB one: the edit laid out and
//     the visible screen drawn as the pane draws it (zoom ×2), median of 2001.
#include <benchmark/benchmark.h>
#include "bench/bench_main.h"

#include <QAbstractTextDocumentLayout>
#include <QTextDocument>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "preview/export_u.h"
#include "preview/layout.h"
#include "preview/raster.h"

using namespace scrivle;  // NOLINT(google-build-using-namespace)

namespace {

constexpr std::size_t kLarge = 64 * 1024;
constexpr std::size_t kSmall = 1024;
constexpr int kRuns = 9;

// Chunks of 8 bytes (six letters or a space, then a tag); a line break every 16 chunks.
// The toggles come in pairs inside a paragraph, as an author writes them.
std::string makeCalcText(std::size_t size) {
  static const char* const kOpen[] = {"#U", "#I", "#S", "#N", "#V", "#E", "#3", "#1"};
  static const char* const kClose[] = {"#U", "#I", "#S", "#N", "#V", "#E", "#2", "#2"};
  static const char* const kPara[] = {"&C", "&R", "&,", "&;", "&.", "&L", "&\\", "&E"};
  std::mt19937 rng(5);
  std::string s;
  s.reserve(size + 16);
  int open = -1;
  for (std::size_t chunk = 0; s.size() < size; ++chunk) {
    for (int i = 0; i < 6; ++i) s += (i == 5) ? ' ' : static_cast<char>('a' + rng() % 26);
    const std::size_t inPara = chunk % 16;
    if (inPara == 0) {
      s += kPara[rng() % 8];
    } else if (inPara == 15) {
      if (open >= 0) {
        s += kClose[open];
        open = -1;
      } else {
        s += "#2";
      }
      s += "\r\n";
    } else if (open < 0) {
      open = static_cast<int>(rng() % 8);
      s += kOpen[open];
    } else {
      s += kClose[open];
      open = -1;
    }
  }
  s.resize(size);
  return s;
}

// The same text as HTML: a <p> per paragraph with its alignment and margin, a <span>
// per run of attributes (font size, underline, strike-through, inverse as colours,
// exponent as superscript).
std::string toHtml(const std::string& text, int width) {
  std::string html = "<html><body style=\"font-family:monospace\">";
  PreviewLayout layout(width);
  layout.setText(text);
  for (const auto& p : layout.paragraphs()) {
    const char* align = p.align == ParaAlign::Centre  ? "center"
                        : p.align == ParaAlign::Right ? "right"
                                                      : "left";
    html += "<p align=\"" + std::string(align) +
            "\" style=\"margin:0; margin-left:" + std::to_string(p.margin) + "px\">";
    int attrs = -1;
    int size = -1;
    for (const auto& g : p.glyphs) {
      if (g.attrs != attrs || static_cast<int>(g.size) != size) {
        if (attrs >= 0) html += (attrs & kExponent) != 0 ? "</sup></span>" : "</span>";
        attrs = g.attrs;
        size = static_cast<int>(g.size);
        std::string style = "font-size:" + std::to_string(4 + 2 * size) + "px;";
        std::string deco;
        if ((attrs & (kUnderline | kDotted)) != 0) deco += " underline";
        if ((attrs & kVector) != 0) deco += " overline";
        if ((attrs & kStrike) != 0) deco += " line-through";
        if (!deco.empty()) style += "text-decoration:" + deco + ";";
        if ((attrs & kInverse) != 0) style += "background-color:#000; color:#fff;";
        if ((attrs & kNoWrap) != 0) style += "white-space:nowrap;";
        html += "<span style=\"" + style + "\">";
        if ((attrs & kExponent) != 0) html += "<sup>";
      }
      const unsigned char c = g.code;
      if (c == '<') {
        html += "&lt;";
      } else if (c == '>') {
        html += "&gt;";
      } else if (c == '&') {
        html += "&amp;";
      } else if (c >= 32 && c < 127) {
        html += static_cast<char>(c);
      } else {
        html += "&#" + std::to_string(c) + ";";
      }
    }
    if (attrs >= 0) html += (attrs & kExponent) != 0 ? "</sup></span>" : "</span>";
    html += "</p>";
  }
  html += "</body></html>";
  return html;
}

double msSince(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

struct Figures {
  double ours = 0;  // ms, median
  double qt = 0;
  double keySmall = 0;  // µs, median
  double keyLarge = 0;
  std::int64_t oursHeight = 0;
  double qtHeight = 0;
} figures;

double oursFullLayout(const std::string& text) {
  std::vector<double> t;
  for (int i = 0; i < kRuns; ++i) {
    PreviewLayout layout(kTi92Width);
    const auto t0 = std::chrono::steady_clock::now();
    layout.setText(text);
    t.push_back(msSince(t0));
    figures.oursHeight = layout.height();
  }
  return median(t);
}

double qtFullLayout(const std::string& html) {
  const QString source = QString::fromStdString(html);
  std::vector<double> t;
  for (int i = 0; i < kRuns; ++i) {
    QTextDocument doc;
    doc.setDocumentMargin(0);
    const auto t0 = std::chrono::steady_clock::now();
    doc.setHtml(source);
    doc.setTextWidth(kTi92Width);
    figures.qtHeight = doc.documentLayout()->documentSize().height();
    t.push_back(msSince(t0));
  }
  return median(t);
}

// Typing in the middle then taking it back, each one keystroke: the layout updated and the
// screen under the caret drawn and zoomed as the pane paints it.
double keystrokeMedian(std::size_t size) {
  PreviewLayout layout(kTi92Width);
  layout.setText(makeCalcText(size));
  PreviewPos pos = static_cast<PreviewPos>(size / 2);
  while (layout.text()[static_cast<std::size_t>(pos)] == '#' ||
         layout.text()[static_cast<std::size_t>(pos - 1)] == '#' ||
         layout.text()[static_cast<std::size_t>(pos - 1)] == '&') {
    ++pos;
  }
  PreviewBitmap screen;
  std::vector<double> us;
  for (int i = 0; i < 2001; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    if (i % 2 == 0) {
      layout.edit(pos, 0, "k");
    } else {
      layout.edit(pos, 1, {});
    }
    const auto& p = layout.paragraphs()[layout.paragraphAt(pos)];
    const std::int64_t top = std::max<std::int64_t>(p.top - kTi92Height / 2, 0);
    renderPreview(layout, top, kTi92Height, screen);
    const QImage image = previewImage(screen, 0xFF1B2014, 0xFFC4CFA1, 2);
    benchmark::DoNotOptimize(image.constBits());
    us.push_back(msSince(t0) * 1000);
  }
  return median(us);
}

void BM_PreviewLayoutOurs(benchmark::State& state) {
  const std::string text = makeCalcText(kLarge);
  for (auto _ : state) figures.ours = oursFullLayout(text);
}
BENCHMARK(BM_PreviewLayoutOurs)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_PreviewLayoutQTextDocument(benchmark::State& state) {
  const std::string html = toHtml(makeCalcText(kLarge), kTi92Width);
  for (auto _ : state) figures.qt = qtFullLayout(html);
}
BENCHMARK(BM_PreviewLayoutQTextDocument)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_PreviewKeystroke1K(benchmark::State& state) {
  for (auto _ : state) figures.keySmall = keystrokeMedian(kSmall);
}
BENCHMARK(BM_PreviewKeystroke1K)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_PreviewKeystroke64K(benchmark::State& state) {
  for (auto _ : state) figures.keyLarge = keystrokeMedian(kLarge);
}
BENCHMARK(BM_PreviewKeystroke64K)->Iterations(1)->Unit(benchmark::kMillisecond);

void printSummary() {
  using bench::addRow;
  using bench::number;
  using bench::times;
  const Figures& f = figures;
  std::printf("\nSummary\n");
  if (f.ours > 0 && f.qt > 0) {
    std::printf(
        "  full layout of 64 KB, tag every 8 bytes, median of %d: ours %.3f ms (%lld rows), "
        "QTextDocument %.1f ms (%.0f px) -> %.1fx faster\n",
        kRuns, f.ours, static_cast<long long>(f.oursHeight), f.qt, f.qtHeight, f.qt / f.ours);
    addRow({"preview: full layout of a 64 KB calculator text, a tag every 8 bytes, median of 9",
            number(f.ours, 3) + " ms", "≤ 5 ms, ≥ 10× faster",
            "the same text as HTML laid out by QTextDocument at 240 px " + number(f.qt) + " ms",
            times(f.qt / f.ours), f.ours <= 5 && f.qt / f.ours >= 10});
  }
  if (f.keySmall > 0 && f.keyLarge > 0) {
    std::printf(
        "  keystroke in the middle (layout + visible screen), median of 2001: "
        "1 KB %.1f us, 64 KB %.1f us, 64 KB/1 KB %.2f\n",
        f.keySmall, f.keyLarge, f.keyLarge / f.keySmall);
    addRow(
        {"preview: one keystroke in the middle, layout updated and visible screen drawn, "
         "median of 2001",
         number(f.keyLarge, 1) + " µs (64 KB), " + number(f.keySmall, 1) +
             " µs (1 KB), 64 KB/1 KB " + number(f.keyLarge / f.keySmall, 2),
         "≤ 1 ms, 64 KB/1 KB ≤ 2", "", "", f.keyLarge <= 1000 && f.keyLarge / f.keySmall <= 2});
  }
}

}  // namespace

int main(int argc, char** argv) {
  return scrivle::bench::runBenchmarks(argc, argv, printSummary);
}
