// Tag colouring and the key-down routine against a QPlainTextEdit with a
// QSyntaxHighlighter doing the same scan, in the same run. Both sides run the same number
// of times; the summary takes the medians.
//
// (a) whole-document colouring of 1 MB with a tag every 8 bytes;
// (b) one keystroke (key-down routine plus the edit) in the middle of 10 KB and 10 MB.
#include <benchmark/benchmark.h>
#include "bench/bench_main.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QSyntaxHighlighter>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "editor/editor_view_u.h"
#include "editor/text_model.h"
#include "settings/parametre.h"
#include "tags/colorise.h"
#include "tags/tagkeydown.h"
#include "tags/vocabulary.h"

using namespace scrivle;  // NOLINT(google-build-using-namespace)

namespace {

constexpr std::size_t kColourSize = 1000 * 1000;
constexpr std::size_t kSmall = 10 * 1000;
constexpr std::size_t kLarge = 10 * 1000 * 1000;
constexpr int kColourRuns = 9;
constexpr int kKeystrokes = 2001;

const TParametre& settings() {
  static const TParametre p = defaultSettings("/nonexistent");
  return p;
}

// Chunks of 8 bytes, each holding one tag or marker; a line break every 8 chunks.
std::string makeTaggedText(std::size_t size) {
  static const char* const kTags[] = {"#U", "#1", "&C", "#2", "&=", "#E", "&E", "&\\", "\fx"};
  std::mt19937 rng(3);
  std::string s;
  s.reserve(size + 8);
  for (std::size_t chunk = 0; s.size() < size; ++chunk) {
    for (int i = 0; i < 6; ++i) s += static_cast<char>('a' + rng() % 26);
    if (chunk % 8 == 7) s[s.size() - 2] = ' ';
    s += kTags[rng() % 9];
    if (chunk % 8 == 7) s.replace(s.size() - 4, 2, "\r\n");
  }
  s.resize(size);
  return s;
}

// Tags painted in a model: runs of styled bytes cut into tags (a marker is one byte).
long countPainted(const TextModel& m) {
  std::vector<std::uint8_t> runs;
  m.styleRuns(0, m.length(), runs);
  const std::vector<CharStyle>& pal = m.palette();
  long tags = 0;
  for (Pos i = 0; i < m.length(); ++i) {
    if (pal[runs[static_cast<std::size_t>(i)]] == kPlainStyle) continue;
    ++tags;
    if (m.byteAt(i) != kBookmarkMark) ++i;
  }
  return tags;
}

QString toQt(const std::string& calc) {
  QString out;
  out.reserve(static_cast<qsizetype>(calc.size()));
  for (std::size_t i = 0; i < calc.size(); ++i) {
    if (calc[i] == '\r' && i + 1 < calc.size() && calc[i + 1] == '\n') {
      out += QChar('\n');
      ++i;
    } else {
      out += QChar(static_cast<char16_t>(static_cast<unsigned char>(calc[i])));
    }
  }
  return out;
}

class TagHighlighter : public QSyntaxHighlighter {
 public:
  explicit TagHighlighter(QTextDocument* doc) : QSyntaxHighlighter(doc) {
    charFormat_.setForeground(QColor(0, 0, 255));
    paraFormat_.setForeground(QColor(255, 0, 0));
    markFormat_.setForeground(QColor(0, 255, 255));
  }
  long tags = 0;

 protected:
  void highlightBlock(const QString& text) override {
    const QChar* d = text.constData();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
      const char16_t c = d[i].unicode();
      if (c == 0x0C) {
        setFormat(static_cast<int>(i), 1, markFormat_);
        ++tags;
      } else if ((c == '#' || c == '&') && i + 1 < n && d[i + 1].unicode() < 256 &&
                 isTag(static_cast<unsigned char>(c),
                       static_cast<unsigned char>(d[i + 1].unicode()))) {
        setFormat(static_cast<int>(i), 2, c == '#' ? charFormat_ : paraFormat_);
        ++tags;
      }
    }
  }

 private:
  QTextCharFormat charFormat_;
  QTextCharFormat paraFormat_;
  QTextCharFormat markFormat_;
};

double ms(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// The colouring runs are timed in thread CPU time, the single keystrokes on the wall
// clock (see ThreadCpuClock); the same clock on both sides.
using RunClock = bench::ThreadCpuClock;

// Notes one run's milliseconds under `side` and gives them to the benchmark.
void note(benchmark::State& state, const char* side, RunClock::time_point t0) {
  const double t = std::chrono::duration<double, std::milli>(RunClock::now() - t0).count();
  bench::addSample(side, t);
  state.SetIterationTime(t / 1000);
}

struct Figures {
  long tagsModel = 0;
  long tagsQt = 0;
  double keySmall = 0;  // µs, median
  double keyLarge = 0;
  double qtKeySmall = 0;
  double qtKeyLarge = 0;
} figures;

void BM_ColoriseModel(benchmark::State& state) {
  TextModel m;
  m.load(makeTaggedText(kColourSize));
  for (auto _ : state) {
    const auto t0 = RunClock::now();
    colorise(m, 1, m.length(), true, settings());
    note(state, "colour model", t0);
  }
  figures.tagsModel = countPainted(m);
  state.counters["tags"] = static_cast<double>(figures.tagsModel);
}
BENCHMARK(BM_ColoriseModel)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(kColourRuns);

// The same call on the model of a real editor view (style notices reach the view).
void BM_ColoriseView(benchmark::State& state) {
  EditorView view;
  view.resize(640, 480);
  view.model().load(makeTaggedText(kColourSize));
  for (auto _ : state) {
    const auto t0 = RunClock::now();
    colorise(view.model(), 1, view.model().length(), true, settings());
    note(state, "colour view", t0);
  }
}
BENCHMARK(BM_ColoriseView)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(kColourRuns);

void BM_HighlighterQt(benchmark::State& state) {
  QPlainTextEdit edit;
  edit.setPlainText(toQt(makeTaggedText(kColourSize)));
  TagHighlighter h(edit.document());
  for (auto _ : state) {
    h.tags = 0;
    const auto t0 = RunClock::now();
    h.rehighlight();
    note(state, "colour qt", t0);
  }
  figures.tagsQt = h.tags;
  state.counters["tags"] = static_cast<double>(h.tags);
}
BENCHMARK(BM_HighlighterQt)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(kColourRuns);

// Typing letters in the middle: key-down routine, then the edit the control makes.
double keystrokeMedian(std::size_t size) {
  TextModel m;
  m.load(makeTaggedText(size));
  colorise(m, 1, m.length(), true, settings());
  m.setSel(m.length() / 2, 0);
  std::int32_t skip = 0;
  std::vector<double> us;
  for (int i = 0; i < kKeystrokes; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    int key = 'A';
    TagKeyDown(m, key, ShiftNone, skip, true, settings());
    m.typeText("a");
    us.push_back(ms(std::chrono::steady_clock::now() - t0) * 1000);
  }
  return bench::median(us);
}

double qtKeystrokeMedian(std::size_t size) {
  QPlainTextEdit edit;
  edit.setPlainText(toQt(makeTaggedText(size)));
  TagHighlighter h(edit.document());
  h.rehighlight();
  QTextCursor cursor(edit.document());
  cursor.setPosition(edit.document()->characterCount() / 2);
  std::vector<double> us;
  for (int i = 0; i < kKeystrokes; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    cursor.insertText(QStringLiteral("a"));
    us.push_back(ms(std::chrono::steady_clock::now() - t0) * 1000);
  }
  return bench::median(us);
}

void BM_KeystrokeSmall(benchmark::State& state) {
  for (auto _ : state) figures.keySmall = keystrokeMedian(kSmall);
}
BENCHMARK(BM_KeystrokeSmall)->Iterations(1)->Unit(benchmark::kMillisecond);
void BM_KeystrokeLarge(benchmark::State& state) {
  for (auto _ : state) figures.keyLarge = keystrokeMedian(kLarge);
}
BENCHMARK(BM_KeystrokeLarge)->Iterations(1)->Unit(benchmark::kMillisecond);
void BM_QtKeystrokeSmall(benchmark::State& state) {
  for (auto _ : state) figures.qtKeySmall = qtKeystrokeMedian(kSmall);
}
BENCHMARK(BM_QtKeystrokeSmall)->Iterations(1)->Unit(benchmark::kMillisecond);
void BM_QtKeystrokeLarge(benchmark::State& state) {
  for (auto _ : state) figures.qtKeyLarge = qtKeystrokeMedian(kLarge);
}
BENCHMARK(BM_QtKeystrokeLarge)->Iterations(1)->Unit(benchmark::kMillisecond);

void printSummary() {
  using bench::addRow;
  using bench::number;
  using bench::times;
  const Figures& f = figures;
  const double colourModel = bench::medianOf("colour model");
  const double colourView = bench::medianOf("colour view");
  const double colourQt = bench::medianOf("colour qt");
  std::printf("\nSummary (medians)\n");
  if (colourModel > 0 && colourView > 0 && colourQt > 0) {
    std::printf(
        "  colouring 1 MB, tag every 8 bytes: model %.2f ms, editor view %.2f ms, "
        "QPlainTextEdit+QSyntaxHighlighter %.1f ms -> %.1fx faster (view: %.1fx); "
        "tags painted %ld vs %ld%s\n",
        colourModel, colourView, colourQt, colourQt / colourModel, colourQt / colourView,
        f.tagsModel, f.tagsQt, f.tagsModel == f.tagsQt ? " (same)" : " (DIFFERENT)");
    // Differing tag counts mean the two sides did not do the same work: never "met".
    const bool same = f.tagsModel == f.tagsQt;
    const bool alike = bench::sameRuns({"colour model", "colour view", "colour qt"});
    addRow(
        {"colour a 1 MB text with a tag every 8 bytes (the call opening and \"Afficher en "
         "couleurs\" use; median of " +
             std::to_string(bench::runsOf("colour model")) + " runs each)",
         number(colourModel, 2) + " ms (" + number(colourView, 2) + " ms on a live view), " +
             number(static_cast<double>(f.tagsModel), 0) + " tags",
         "≤ 30 ms, ≥ 5× faster",
         "QPlainTextEdit + QSyntaxHighlighter " + number(colourQt) + " ms, " +
             number(static_cast<double>(f.tagsQt), 0) + " tags" +
             (same ? "" : " (DIFFERENT COUNT)"),
         times(colourQt / colourModel),
         same && alike && std::max(colourModel, colourView) <= 30 && colourQt / colourModel >= 5});
  }
  if (f.keySmall > 0 && f.keyLarge > 0 && f.qtKeySmall > 0 && f.qtKeyLarge > 0) {
    std::printf(
        "  keystroke (TagKeyDown + edit), median: 10 KB %.2f us, 10 MB %.2f us, "
        "large/small %.2f\n",
        f.keySmall, f.keyLarge, f.keyLarge / f.keySmall);
    std::printf(
        "  QPlainTextEdit keystroke with the highlighter, median: 10 KB %.2f us, "
        "10 MB %.2f us -> ours %.1fx / %.1fx faster\n",
        f.qtKeySmall, f.qtKeyLarge, f.qtKeySmall / f.keySmall, f.qtKeyLarge / f.keyLarge);
    addRow({"one keystroke: tag routine + edit (median of " + std::to_string(kKeystrokes) +
                " keystrokes each)",
            number(f.keySmall, 2) + " µs (10 KB), " + number(f.keyLarge, 2) +
                " µs (10 MB), 10 MB/10 KB " + number(f.keyLarge / f.keySmall, 2),
            "≤ 30 µs, 10 MB/10 KB ≤ 2",
            "QPlainTextEdit with the highlighter " + number(f.qtKeySmall) + " µs / " +
                number(f.qtKeyLarge) + " µs",
            times(f.qtKeySmall / f.keySmall) + " / " + times(f.qtKeyLarge / f.keyLarge),
            std::max(f.keySmall, f.keyLarge) <= 30 && f.keyLarge / f.keySmall <= 2});
  }
}

}  // namespace

int main(int argc, char** argv) {
  return scrivle::bench::runBenchmarks(argc, argv, printSummary);
}
