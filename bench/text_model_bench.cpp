// The editor model against QPlainTextEdit: loading a large text and laying out its first
// screen, one insertion in the middle, colouring many small ranges, and memory per byte.
#include "bench/bench_main.h"
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "editor/text_model.h"

using scrivle::CharStyle;
using scrivle::Pos;
using scrivle::TextModel;

namespace {

constexpr std::size_t kBig = 10 * 1000 * 1000;
constexpr std::size_t kSmall = 10 * 1000;
constexpr std::size_t kStyled = 1000 * 1000;
constexpr int kRanges = 100000;
constexpr int kQtRanges = 10000;  // setCharFormat is far slower; scaled up in the summary
constexpr int kWrap = 80;

// Lines of about sixty characters made of words of varied length, CR LF between them.
std::string makeText(std::size_t size) {
  static const char* const kWords[] = {"le",      "calcul",    "de",    "la",        "fonction",
                                       "x",       "matrice",   "TI-92", "programme", "est",
                                       "une",     "variable",  "texte", "avec",      "Plus",
                                       "dérivée", "intégrale", "et",    "pour",      "89"};
  std::mt19937 rng(42);
  std::uniform_int_distribution<int> pick(0, 19);
  std::uniform_int_distribution<int> width(45, 75);
  std::string s;
  s.reserve(size + 100);
  while (s.size() < size) {
    const std::size_t lineEnd = s.size() + static_cast<std::size_t>(width(rng));
    bool first = true;
    while (s.size() < lineEnd) {
      if (!first) {
        s += ' ';
      }
      s += kWords[pick(rng)];
      first = false;
    }
    s += "\r\n";
  }
  s.resize(size);
  return s;
}

const std::string& bigText() {
  static const std::string t = makeText(kBig);
  return t;
}

double medianMicros(std::vector<double>& samples) {
  if (samples.empty()) {
    return 0;
  }
  std::nth_element(samples.begin(),
                   samples.begin() + static_cast<std::ptrdiff_t>(samples.size() / 2),
                   samples.end());
  return samples[samples.size() / 2];
}

std::map<std::string, double> gFigures;  // name -> figure (ms, or µs for medians)

using Clock = std::chrono::steady_clock;
double since(Clock::time_point t0) {
  return std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
}

// 1) Load and lay out the first screen.
void BM_Load_Model(benchmark::State& state) {
  const std::string& text = bigText();
  double bytesPerByte = 0;
  for (auto _ : state) {
    TextModel m;
    m.setWrapColumns(kWrap);
    m.load(text);
    benchmark::DoNotOptimize(m.lineCount());
    for (Pos i = 0; i < 40; ++i) {
      benchmark::DoNotOptimize(m.lineText(i));
    }
    state.PauseTiming();
    bytesPerByte = static_cast<double>(m.memoryUsage()) / static_cast<double>(m.length());
    state.ResumeTiming();
  }
  state.counters["bytes_per_text_byte"] = bytesPerByte;
  gFigures["memory bytes per text byte (10 MB)"] = bytesPerByte;
}

void BM_Load_QPlainTextEdit(benchmark::State& state) {
  const QString text = QString::fromLatin1(bigText().data(), static_cast<qsizetype>(kBig));
  for (auto _ : state) {
    QPlainTextEdit edit;
    edit.resize(800, 640);
    edit.show();
    edit.setPlainText(text);
    edit.viewport()->repaint();
    benchmark::DoNotOptimize(edit.document()->blockCount());
    state.PauseTiming();
    edit.hide();
    state.ResumeTiming();
  }
}

// 2) One character in the middle, then the line count and the line of the last position.
void insertModel(benchmark::State& state, std::size_t size, const char* figure) {
  TextModel m;
  m.setWrapColumns(kWrap);
  m.load(size == kBig ? bigText() : makeText(size));
  std::vector<double> samples;
  for (auto _ : state) {
    const Pos mid = m.length() / 2;
    const auto t0 = Clock::now();
    m.replace(mid, 0, "x");
    benchmark::DoNotOptimize(m.lineCount());
    benchmark::DoNotOptimize(m.lineFromPos(m.length()));
    const double us = since(t0);
    samples.push_back(us);
    state.SetIterationTime(us / 1e6);
    // Untimed: take it out again, so every insertion meets the same text rather than one
    // paragraph growing by thousands of characters.
    m.replace(mid, 1, "");
  }
  const double med = medianMicros(samples);
  state.counters["median_us"] = med;
  std::sort(samples.begin(), samples.end());
  if (!samples.empty()) {
    state.counters["p99_us"] = samples[samples.size() * 99 / 100];
    state.counters["max_us"] = samples.back();
  }
  gFigures[figure] = med;
}
void BM_Insert_Model_10MB(benchmark::State& state) {
  insertModel(state, kBig, "insert model 10MB");
}
void BM_Insert_Model_10KB(benchmark::State& state) {
  insertModel(state, kSmall, "insert model 10KB");
}

void insertQt(benchmark::State& state, std::size_t size, const char* figure) {
  const std::string bytes = size == kBig ? bigText() : makeText(size);
  QPlainTextEdit edit;
  edit.resize(800, 640);
  edit.show();
  edit.setPlainText(QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size())));
  QTextCursor cursor(edit.document());
  std::vector<double> samples;
  for (auto _ : state) {
    const int mid = edit.document()->characterCount() / 2;
    const auto t0 = Clock::now();
    cursor.setPosition(mid);
    cursor.insertText(QStringLiteral("x"));
    benchmark::DoNotOptimize(edit.document()->blockCount());
    benchmark::DoNotOptimize(edit.document()->lastBlock().blockNumber());
    const double us = since(t0);
    samples.push_back(us);
    state.SetIterationTime(us / 1e6);
    cursor.setPosition(mid);
    cursor.setPosition(mid + 1, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
  }
  const double med = medianMicros(samples);
  state.counters["median_us"] = med;
  gFigures[figure] = med;
}
void BM_Insert_QPlainTextEdit_10MB(benchmark::State& state) {
  insertQt(state, kBig, "insert Qt 10MB");
}
void BM_Insert_QPlainTextEdit_10KB(benchmark::State& state) {
  insertQt(state, kSmall, "insert Qt 10KB");
}

// 3) Colour 100 000 two-character ranges spread over 1 MB.
void BM_SetStyle_Model(benchmark::State& state) {
  TextModel m;
  m.load(makeText(kStyled));
  const CharStyle a{0x0000FF, true};
  const CharStyle b{0x008000, false, true};
  const Pos stride = static_cast<Pos>(kStyled) / kRanges;
  for (auto _ : state) {
    for (int i = 0; i < kRanges; ++i) {
      m.setStyle(i * stride, 2, (i & 1) != 0 ? a : b);
    }
  }
}

void BM_SetStyle_QPlainTextEdit(benchmark::State& state) {
  const std::string bytes = makeText(kStyled);
  QPlainTextEdit edit;
  edit.setPlainText(QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size())));
  QTextCharFormat a;
  a.setForeground(QColor(255, 0, 0));
  a.setFontWeight(QFont::Bold);
  QTextCharFormat b;
  b.setForeground(QColor(0, 128, 0));
  b.setFontItalic(true);
  const int length = edit.document()->characterCount() - 1;
  const int stride = length / kQtRanges;
  QTextCursor cursor(edit.document());
  for (auto _ : state) {
    for (int i = 0; i < kQtRanges; ++i) {
      cursor.setPosition(i * stride);
      cursor.setPosition(i * stride + 2, QTextCursor::KeepAnchor);
      cursor.setCharFormat((i & 1) != 0 ? a : b);
    }
  }
}

// Keeps the console output and notes each benchmark's mean time for the summary.
class Reporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      if (r.run_type == Run::RT_Iteration && !r.error_occurred) {
        const double ms = r.GetAdjustedRealTime() *
                          benchmark::GetTimeUnitMultiplier(benchmark::kMillisecond) /
                          benchmark::GetTimeUnitMultiplier(r.time_unit);
        gFigures[r.benchmark_name()] = ms;
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

double figure(const std::string& prefix) {
  for (const auto& [name, value] : gFigures) {
    if (name.rfind(prefix, 0) == 0) {
      return value;
    }
  }
  return 0;
}

void printSummary() {
  using scrivle::bench::addRow;
  using scrivle::bench::number;
  using scrivle::bench::times;
  std::printf("\n=== TextModel vs QPlainTextEdit ===\n");
  const double loadM = figure("BM_Load_Model");
  const double loadQ = figure("BM_Load_QPlainTextEdit");
  if (loadM > 0 && loadQ > 0) {
    std::printf(
        "load 10 MB + first screen : model %.1f ms (target <= 150), Qt %.1f ms, Qt/model "
        "= %.1fx (target >= 5)\n",
        loadM, loadQ, loadQ / loadM);
    addRow({"load 10 MB plain text + lay out the first screen", number(loadM) + " ms",
            "≤ 150 ms, ≥ 5× faster", "QPlainTextEdit " + number(loadQ) + " ms",
            times(loadQ / loadM), loadM <= 150 && loadQ / loadM >= 5});
  }
  const double i10m = figure("insert model 10MB");
  const double i10k = figure("insert model 10KB");
  const double q10m = figure("insert Qt 10MB");
  const double q10k = figure("insert Qt 10KB");
  if (i10m > 0 && i10k > 0 && q10m > 0) {
    std::printf(
        "insert middle, median     : model 10MB %.2f us (target <= 20), 10KB %.2f us, "
        "10MB/10KB = %.2f (target <= 2); Qt 10MB %.2f us, 10KB %.2f us, Qt/model(10MB) "
        "= %.1fx\n",
        i10m, i10k, i10m / i10k, q10m, q10k, q10m / i10m);
    addRow({"insert one character in the middle of 10 MB, then line count and last line "
            "(median)",
            number(i10m, 2) + " µs (10 KB: " + number(i10k, 2) + " µs, 10 MB/10 KB " +
                number(i10m / i10k, 2) + ")",
            "≤ 20 µs, 10 MB/10 KB ≤ 2",
            "QPlainTextEdit " + number(q10m) + " µs (10 KB: " + number(q10k) + " µs)",
            times(q10m / i10m), i10m <= 20 && i10m / i10k <= 2});
  }
  const double styleM = figure("BM_SetStyle_Model");
  const double styleQ = figure("BM_SetStyle_QPlainTextEdit");
  if (styleM > 0 && styleQ > 0) {
    const double scaled = styleQ * kRanges / kQtRanges;
    std::printf(
        "setStyle 100k x 2 over 1MB: model %.2f ms (target <= 20); Qt %.1f ms for %d "
        "ranges, scaled x%d = %.0f ms, Qt/model = %.0fx\n",
        styleM, styleQ, kQtRanges, kRanges / kQtRanges, scaled, scaled / styleM);
    addRow({"style 100 000 two-character ranges over 1 MB", number(styleM, 2) + " ms",
            "≤ 20 ms",
            "QPlainTextEdit " + number(scaled, 0) + " ms (" + number(kQtRanges, 0) +
                " ranges ×" + std::to_string(kRanges / kQtRanges) + ")",
            times(scaled / styleM), styleM <= 20});
  }
  const double mem = figure("memory bytes per text byte");
  if (mem > 0) {
    std::printf("memory                    : %.2f bytes per text byte (target <= 3)\n", mem);
    addRow({"memory per text byte, 10 MB document", number(mem, 2) + " bytes", "≤ 3", "", "",
            mem <= 3});
  }
}

}  // namespace

BENCHMARK(BM_Load_Model)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Load_QPlainTextEdit)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Insert_Model_10MB)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(20000);
BENCHMARK(BM_Insert_Model_10KB)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(20000);
BENCHMARK(BM_Insert_QPlainTextEdit_10MB)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(2000);
BENCHMARK(BM_Insert_QPlainTextEdit_10KB)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(2000);
BENCHMARK(BM_SetStyle_Model)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetStyle_QPlainTextEdit)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
  return scrivle::bench::runBenchmarks<Reporter>(argc, argv, printSummary);
}

