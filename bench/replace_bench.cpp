// Replace-all of 100 000 matches in a 1 MB coloured text, through the call the replace-all
// button makes, against the same replacements done with QTextDocument::find and
// QTextCursor::insertText in one edit block. Both results are compared first.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/bench_main.h"
#include "editor/editor_view_u.h"
#include "platform/dialogs.h"
#include "search/find.h"
#include "settings/parametre.h"
#include "tags/colorise.h"

using namespace scrivle;  // NOLINT: a benchmark program

namespace {

constexpr int kMatches = 100000;
const char* const kFind = "calc";
const char* const kReplace = "calcul";

// 100 000 units of ten bytes: tags, words and a line break every eighth unit, each unit
// holding the search text once.
std::string makeText() {
  static const char* const kUnits[] = {"#Ucalc ab ", "x calc #N ", "&Lcalc yz ",  "calc 12 #1",
                                       "ab #Ecalc ", "e=calc+1 ",  "\fcalc qrs ", "calcAB #W "};
  std::string t;
  t.reserve(kMatches * 11);
  for (int i = 0; i < kMatches; ++i) {
    t += kUnits[i % 8];
    if (i % 8 == 7) t += "\r\n";
  }
  return t;
}

class NoBoxes : public Dialogs {
 public:
  void message(const std::string& t) override { throw std::runtime_error(t); }
  Answer confirm(const std::string& t, bool) override { throw std::runtime_error(t); }
  void error(const std::string& t) override { throw std::runtime_error(t); }
  std::vector<std::filesystem::path> openFiles(const FileDialogOptions&) override { return {}; }
  std::optional<std::filesystem::path> saveFile(const FileDialogOptions&) override { return {}; }
  std::optional<std::uint32_t> chooseColour(std::uint32_t) override { return {}; }
  std::optional<std::filesystem::path> chooseFolder(const std::string&,
                                                    const std::filesystem::path&) override {
    return {};
  }
};

class Dialog : public SearchDialog {
 public:
  SearchOptions options() const override { return {kFind, kReplace, true, false}; }
  void closeDialog() override {}
};

const TParametre& settings() {
  static const TParametre p = defaultSettings("/nonexistent");
  return p;
}

// The editor's own model, so the view's notifications are paid for as in the program.
std::string replaceWithModel(EditorView& view, double* seconds) {
  TextModel& m = view.model();
  m.load(makeText());
  colorise(m, 1, m.length(), true, settings());
  m.setSel(0, 0);
  NoBoxes boxes;
  FindReplace engine(boxes);
  Dialog dialog;
  SearchTarget target{m, true, settings(), {}};
  const auto t0 = bench::ThreadCpuClock::now();
  engine.ReplaceDialogReplace(dialog, target, false);
  const auto t1 = bench::ThreadCpuClock::now();
  if (seconds != nullptr) *seconds = std::chrono::duration<double>(t1 - t0).count();
  return m.text();
}

std::string replaceWithQt(double* seconds) {
  const std::string bytes = makeText();
  QTextDocument doc;
  doc.setPlainText(QString::fromLatin1(bytes.data(), static_cast<int>(bytes.size())));
  const QString find = QString::fromLatin1(kFind);
  const QString rep = QString::fromLatin1(kReplace);
  const auto t0 = bench::ThreadCpuClock::now();
  QTextCursor edit(&doc);
  edit.beginEditBlock();
  QTextCursor hit = doc.find(find, 0, QTextDocument::FindCaseSensitively);
  while (!hit.isNull()) {
    hit.insertText(rep);
    hit = doc.find(find, hit, QTextDocument::FindCaseSensitively);
  }
  edit.endEditBlock();
  const auto t1 = bench::ThreadCpuClock::now();
  if (seconds != nullptr) *seconds = std::chrono::duration<double>(t1 - t0).count();
  return doc.toPlainText().toLatin1().toStdString();
}

// QTextDocument keeps no CR and turns line breaks into paragraph separators.
std::string comparable(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    if (c != '\r') out += c;
  }
  return out;
}

// Both sides run the same number of times, timed in thread CPU time; the summary takes
// the median of each.
constexpr int kRuns = 5;
void note(const std::string& side, double seconds) {
  bench::addSample(side, seconds * 1000);
}

void BM_ReplaceAll_Model(benchmark::State& state) {
  EditorView view;
  view.resize(800, 600);
  for (auto _ : state) {
    double s = 0;
    benchmark::DoNotOptimize(replaceWithModel(view, &s));
    state.SetIterationTime(s);
    note("model", s);
  }
}

void BM_ReplaceAll_QTextDocument(benchmark::State& state) {
  for (auto _ : state) {
    double s = 0;
    benchmark::DoNotOptimize(replaceWithQt(&s));
    state.SetIterationTime(s);
    note("qt", s);
  }
}

BENCHMARK(BM_ReplaceAll_Model)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(kRuns);
BENCHMARK(BM_ReplaceAll_QTextDocument)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(kRuns);

// Both ways must give the same text before either is timed.
bool sameResult() {
  EditorView view;
  const std::string ours = comparable(replaceWithModel(view, nullptr));
  const std::string qt = replaceWithQt(nullptr);
  std::size_t n = 0;
  for (std::size_t p = 0; (p = ours.find(kReplace, p)) != std::string::npos; p += 6) ++n;
  std::printf("same text as QTextDocument: %s (%zu bytes, %zu replacements)\n",
              ours == qt ? "yes" : "NO", ours.size(), n);
  return ours == qt;
}

void printSummary() {
  const double model = bench::medianOf("model");
  const double qt = bench::medianOf("qt");
  if (model <= 0 || qt <= 0) return;
  const bool alike = bench::sameRuns({"model", "qt"});
  std::printf(
      "\n=== replace-all, %d matches in 1 MB, colours on, median of %zu / %zu runs ===\n"
      "model %.1f ms (target <= 150), QTextDocument %.1f ms, QTextDocument/model = %.1fx "
      "(target >= 10)\n",
      kMatches, bench::runsOf("model"), bench::runsOf("qt"), model, qt, qt / model);
  bench::addRow(
      {"replace all: " + bench::number(kMatches, 0) +
           " matches in a 1 MB coloured text, through the replace-all button's call "
           "(median of " +
           std::to_string(bench::runsOf("model")) + " runs each)",
       bench::number(model) + " ms", "≤ 150 ms, ≥ 10× faster",
       "QTextDocument::find + insertText in one edit block " + bench::number(qt) + " ms, same text",
       bench::times(qt / model), alike && model <= 150 && qt / model >= 10});
}

}  // namespace

int main(int argc, char** argv) {
  return bench::runBenchmarks(argc, argv, printSummary, sameResult);
}
