// The journal's cost while typing, against rewriting the whole text every second (what an
// auto-save as frequent as the journal's flushes would cost), in the same run.
//
// (a) time the typing thread spends per keystroke because of the journal: a keystroke in
//     the middle of a 10 KB text with the journal attached, minus the same without it;
// (b) bytes written per second of continuous typing at 10 keys per second, an opened
//     10 KB file. Time is compressed tenfold (a key every 10 ms, a flush delay of 50 ms),
//     which writes the same records as real time with the 500 ms delay.
#include <benchmark/benchmark.h>
#include "bench/bench_main.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "document/journal_writer.h"
#include "editor/text_model.h"
#include "platform/files.h"

using namespace scrivle;  // NOLINT(google-build-using-namespace)
namespace fs = std::filesystem;

namespace {

constexpr std::size_t kTextSize = 10 * 1000;
constexpr int kRuns = 5;
constexpr int kKeysPerSecond = 10;
constexpr int kTypedSeconds = 30;

std::string sampleText() {
  std::mt19937 rng(5);
  std::string s;
  while (s.size() < kTextSize) {
    s += static_cast<char>('a' + rng() % 26);
    if (rng() % 7 == 0) s += ' ';
    if (rng() % 60 == 0) s += "\r\n";
  }
  s.resize(kTextSize);
  return s;
}

fs::path scratch() {
  static const fs::path dir = [] {
    fs::path d =
        fs::temp_directory_path() / ("scrivle-journal-bench-" + std::to_string(::getpid()));
    fs::create_directories(d);
    return d;
  }();
  return dir;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  return v[static_cast<std::size_t>(p * static_cast<double>(v.size() - 1))];
}

// The n-th key of the typing: words, a backspace now and then, a line break.
void typeKey(TextModel& m, int n) {
  if (n % 37 == 36) {
    m.replace(m.caret() - 1, 1, "");
  } else if (n % 61 == 60) {
    m.typeText("\r\n");
  } else {
    m.typeText(n % 6 == 5 ? " " : std::string(1, static_cast<char>('a' + n % 26)));
  }
}

// One run of 2001 keystrokes; µs per keystroke.
std::vector<double> keystrokeTimes(bool journalled) {
  const fs::path file = scratch() / "typing.txt";
  const std::string text = sampleText();
  { std::ofstream(file, std::ios::binary) << text; }
  TextModel m;
  m.load(text);
  m.setSel(static_cast<Pos>(text.size() / 2));
  journal::JournalWriter writer(scratch() / "state");
  if (journalled) {
    writer.currentText = [&m] { return m.text(); };
    m.onEdit = [&writer](Pos p, Pos r, std::string_view s) { writer.recordEdit(p, r, s); };
    writer.startFromFile(file, text, {});
  }
  std::vector<double> us;
  for (int i = 0; i < 2001; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    typeKey(m, i);
    us.push_back(
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
  }
  m.onEdit = nullptr;
  writer.discard();
  return us;
}

struct Figures {
  std::vector<double> plain;  // µs per keystroke, every run pooled
  std::vector<double> journalled;
  std::vector<double> journalBytes;  // bytes per typed second, one per run
  std::vector<double> rewriteBytes;
  std::vector<double> rewriteUs;  // µs per whole-text save
} figures;

void BM_KeystrokePlain(benchmark::State& state) {
  for (auto _ : state) {
    const auto us = keystrokeTimes(false);
    figures.plain.insert(figures.plain.end(), us.begin(), us.end());
  }
}
BENCHMARK(BM_KeystrokePlain)->Iterations(kRuns)->Unit(benchmark::kMillisecond);

void BM_KeystrokeJournalled(benchmark::State& state) {
  for (auto _ : state) {
    const auto us = keystrokeTimes(true);
    figures.journalled.insert(figures.journalled.end(), us.begin(), us.end());
  }
}
BENCHMARK(BM_KeystrokeJournalled)->Iterations(kRuns)->Unit(benchmark::kMillisecond);

// Continuous typing with the journal: bytes that reached the journal per typed second.
void BM_JournalBytes(benchmark::State& state) {
  for (auto _ : state) {
    const fs::path file = scratch() / "essai.txt";
    const std::string text = sampleText();
    { std::ofstream(file, std::ios::binary) << text; }
    TextModel m;
    m.load(text);
    m.setSel(static_cast<Pos>(text.size() / 2));
    journal::JournalWriter::Tuning tuning;
    tuning.delay = std::chrono::milliseconds(50);  // time compressed tenfold
    journal::JournalWriter writer(scratch() / "state", tuning);
    writer.currentText = [&m] { return m.text(); };
    m.onEdit = [&writer](Pos p, Pos r, std::string_view s) { writer.recordEdit(p, r, s); };
    writer.startFromFile(file, text, {});
    auto next = std::chrono::steady_clock::now();
    for (int i = 0; i < kKeysPerSecond * kTypedSeconds; ++i) {
      next += std::chrono::milliseconds(10);
      std::this_thread::sleep_until(next);
      typeKey(m, i);
    }
    writer.flush();
    figures.journalBytes.push_back(static_cast<double>(writer.bytesWritten()) / kTypedSeconds);
    m.onEdit = nullptr;
    writer.discard();
  }
}
BENCHMARK(BM_JournalBytes)->Iterations(kRuns)->Unit(benchmark::kMillisecond);

// The alternative: the same typing, the whole text saved (written, flushed, renamed) once
// per typed second.
void BM_WholeTextEachSecond(benchmark::State& state) {
  for (auto _ : state) {
    const fs::path target = scratch() / "essai.txt.tmp";
    TextModel m;
    m.load(sampleText());
    m.setSel(m.length() / 2);
    double bytes = 0;
    for (int i = 0; i < kKeysPerSecond * kTypedSeconds; ++i) {
      typeKey(m, i);
      if (i % kKeysPerSecond == kKeysPerSecond - 1) {
        const std::string whole = m.text();
        const auto t0 = std::chrono::steady_clock::now();
        writeFileAtomically(target, whole);
        figures.rewriteUs.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0)
                .count());
        bytes += static_cast<double>(fs::file_size(target));
      }
    }
    figures.rewriteBytes.push_back(bytes / kTypedSeconds);
  }
}
BENCHMARK(BM_WholeTextEachSecond)->Iterations(kRuns)->Unit(benchmark::kMillisecond);

void printSummary() {
  using bench::addRow;
  using bench::number;
  using bench::times;
  const Figures& f = figures;
  if (f.plain.empty() || f.journalled.empty() || f.journalBytes.empty() || f.rewriteBytes.empty()) {
    return;
  }
  const double plain = median(f.plain);
  const double withJournal = median(f.journalled);
  const double added = std::max(0.0, withJournal - plain);
  const double bytes = median(f.journalBytes);
  const double rewrite = median(f.rewriteBytes);
  const double saveUs = median(f.rewriteUs);
  std::printf(
      "\nSummary\n"
      "  keystroke in 10 KB: %.3f us with the journal, %.3f us without -> %.3f us added "
      "(p99 %.2f vs %.2f us)\n"
      "  typing 10 keys/s: journal %.0f B/s, whole text each second %.0f B/s (%.1fx); one "
      "whole-text save takes %.0f us on the typing thread\n",
      withJournal, plain, added, percentile(f.journalled, 0.99), percentile(f.plain, 0.99), bytes,
      rewrite, rewrite / bytes, saveUs);
  addRow({"typing-thread time a keystroke gains from the journal (10 KB text, median of " +
              std::to_string(kRuns) + " x 2001 keys)",
          number(added, 3) + " µs (" + number(withJournal, 3) + " µs with, " + number(plain, 3) +
              " µs without)",
          "≤ 5 µs",
          "whole text saved every second on the typing thread: " + number(saveUs, 0) +
              " µs per save, per 10 keys",
          "", added <= 5.0});
  addRow(
      {"bytes written per second of continuous typing (10 keys/s, opened 10 KB file, median "
       "of " +
           std::to_string(kRuns) + " runs)",
       number(bytes, 0) + " B/s", "≤ 2 KB/s",
       "whole text rewritten every second: " + number(rewrite, 0) + " B/s", times(rewrite / bytes),
       bytes <= 2048.0});
  std::error_code ec;
  fs::remove_all(scratch(), ec);
}

}  // namespace

int main(int argc, char** argv) {
  return scrivle::bench::runBenchmarks(argc, argv, printSummary);
}
