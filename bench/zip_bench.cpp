// The calculator's Huffman compressor on a full-size text body (64000 bytes of French
// course notes with tags and bookmarks), beside zlib's deflate at level 6 on the same
// bytes: time and size of each.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_main.h"
#include "compress/zip.h"
#include "document/tifile.h"

namespace {

// A body as a saved text holds it: cursor word, lines of the calculator's text (CR and a
// marker between lines), the 0x00 0xE0 end pair.
const std::string& body() {
  static const std::string b = [] {
    // Accented letters are the calculator's codes (0xE9 = e acute, and so on).
    const std::string vocabulary =
        "le la les de des une est fonction d\xE9riv\xE9\x65 int\xE9grale limite vecteur "
        "matrice \xE9quation courbe suite r\xE9sultat donc avec pour on a x f(x) = 2 + \xE0 "
        "th\xE9or\xE8me propri\xE9t\xE9 calcul exercice solution o\xF9 si";
    std::vector<std::string> words;
    for (std::size_t at = 0; at < vocabulary.size();) {
      const std::size_t space = std::min(vocabulary.find(' ', at), vocabulary.size());
      words.push_back(vocabulary.substr(at, space - at));
      at = space + 1;
    }
    const int kWordCount = static_cast<int>(words.size());
    std::mt19937 rng(6);
    std::uniform_int_distribution<int> pick(0, kWordCount - 1);
    std::uniform_int_distribution<int> width(30, 70);
    std::uniform_int_distribution<int> percent(0, 99);
    std::string text;
    int line = 0;
    while (text.size() < 70000) {
      if (line % 25 == 0) {
        text += "\x0C#3Chapitre " + std::to_string(line / 25 + 1) + "\r\n";
      }
      const std::size_t end = text.size() + static_cast<std::size_t>(width(rng));
      while (text.size() < end) {
        const int p = percent(rng);
        const std::string& word = words[pick(rng)];
        text += p < 5 ? "#U" + word + "#U" : p < 8 ? "#G" + word + "#G" : word;
        text += ' ';
      }
      text += "\r\n";
      ++line;
    }
    std::string calc = std::string("\x00\x01", 2) + scrivle::convertToCalc(text);
    calc.resize(scrivle::kZipMaxBody - 2);
    calc += std::string("\x00\xE0", 2);
    return calc;
  }();
  return b;
}

std::map<std::string, double> gSizes;

// Both sides compress the same body the same number of times; the summary takes the
// median of each.
constexpr int kRuns = 51;
using Clock = scrivle::bench::ThreadCpuClock;  // thread CPU time, on both sides
void note(benchmark::State& state, const char* side, Clock::time_point t0) {
  const double us = std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
  scrivle::bench::addSample(side, us);
  state.SetIterationTime(us / 1e6);
}

void BM_ZipBody(benchmark::State& state) {
  const std::string& in = body();
  std::string out;
  out.reserve(scrivle::kZipBlockCapacity);
  for (auto _ : state) {
    out.clear();
    const auto t0 = Clock::now();
    scrivle::ZipBody(in, out);
    benchmark::DoNotOptimize(out.data());
    note(state, "zip", t0);
  }
  gSizes["zip"] = static_cast<double>(out.size());
  state.counters["bytes_out"] = static_cast<double>(out.size());
}

void BM_Deflate6(benchmark::State& state) {
  const std::string& in = body();
  std::vector<Bytef> out(compressBound(static_cast<uLong>(in.size())));
  uLongf size = 0;
  for (auto _ : state) {
    size = static_cast<uLongf>(out.size());
    const auto t0 = Clock::now();
    compress2(out.data(), &size, reinterpret_cast<const Bytef*>(in.data()),
              static_cast<uLong>(in.size()), 6);
    benchmark::DoNotOptimize(out.data());
    note(state, "deflate", t0);
  }
  gSizes["deflate"] = static_cast<double>(size);
  state.counters["bytes_out"] = static_cast<double>(size);
}

void printSummary() {
  using scrivle::bench::number;
  const double zip = scrivle::bench::medianOf("zip");
  const double deflate = scrivle::bench::medianOf("deflate");
  if (zip <= 0 || deflate <= 0) return;
  const double n = static_cast<double>(body().size());
  std::printf(
      "\n=== ZipBody vs zlib deflate level 6, %.0f-byte text body, median of %zu runs ===\n", n,
      scrivle::bench::runsOf("zip"));
  std::printf("ZipBody : %8.1f us (target <= 2000), %6.0f bytes (%.1f%% of the body)\n", zip,
              gSizes["zip"], 100 * gSizes["zip"] / n);
  std::printf("deflate : %8.1f us, %6.0f bytes (%.1f%% of the body)\n", deflate, gSizes["deflate"],
              100 * gSizes["deflate"] / n);
  std::printf("deflate/ZipBody time = %.1fx, ZipBody/deflate size = %.2fx\n", deflate / zip,
              gSizes["zip"] / gSizes["deflate"]);
  scrivle::bench::addRow({"`ZipBody` on a " + number(n, 0) + "-byte text body (median of " +
                              std::to_string(scrivle::bench::runsOf("zip")) + " runs each)",
                          number(zip, 0) + " µs, " + number(gSizes["zip"], 0) + " bytes (" +
                              number(100 * gSizes["zip"] / n) + " %)",
                          "≤ 2 ms",
                          "zlib deflate level 6: " + number(deflate, 0) + " µs, " +
                              number(gSizes["deflate"], 0) + " bytes (" +
                              number(100 * gSizes["deflate"] / n) + " %)",
                          scrivle::bench::times(deflate / zip) + " faster, " +
                              number(gSizes["zip"] / gSizes["deflate"], 2) + "× larger",
                          scrivle::bench::sameRuns({"zip", "deflate"}) && zip <= 2000});
}

}  // namespace

BENCHMARK(BM_ZipBody)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(kRuns);
BENCHMARK(BM_Deflate6)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(kRuns);

int main(int argc, char** argv) {
  return scrivle::bench::runBenchmarks(argc, argv, printSummary);
}
