// Headline figures of a benchmark program as rows (figure, measured value, target, the
// alternative measured in the same run, ratio, target met), and their TSV report for
// scripts/bench.sh. Standard library only, so the formatting can be tested on its own.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace scrivle::bench {

// One headline figure beside the alternative measured in the same run.
struct Row {
  std::string figure;       // what is measured, as the README words it
  std::string measured;     // value with its unit
  std::string target;       // e.g. "≤ 150 ms, ≥ 5× faster"
  std::string alternative;  // what the alternative is, and its value
  std::string ratio;        // alternative / ours, e.g. "16.0×"; empty when there is none
  bool met = false;
};

inline std::vector<Row>& rows() {
  static std::vector<Row> all;
  return all;
}

inline void addRow(Row row) {
  rows().push_back(std::move(row));
}

// Timed runs of each side of a comparison under its name, so that both sides are reduced
// by the same statistic over the same number of runs.
inline std::map<std::string, std::vector<double>>& samples() {
  static std::map<std::string, std::vector<double>> all;
  return all;
}

inline void addSample(const std::string& side, double value) {
  samples()[side].push_back(value);
}

// The middle value; for an even count the mean of the two middle ones. 0 when empty.
inline double median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

inline std::size_t runsOf(const std::string& side) {
  const auto it = samples().find(side);
  return it == samples().end() ? 0 : it->second.size();
}

inline double medianOf(const std::string& side) {
  const auto it = samples().find(side);
  return it == samples().end() ? 0 : median(it->second);
}

// True when every named side has the same number of runs, at least `minimum`: a row
// comparing sides measured differently is never reported as met.
inline bool sameRuns(const std::vector<std::string>& sides, std::size_t minimum = 5) {
  if (sides.empty()) return false;
  const std::size_t n = runsOf(sides.front());
  if (n < minimum) return false;
  return std::all_of(sides.begin(), sides.end(),
                     [n](const std::string& s) { return runsOf(s) == n; });
}

// `decimals` decimals, thousands grouped by a space as the README writes them ("3 753.2").
inline std::string number(double value, int decimals = 1) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
  const std::string_view s = buf;
  const std::size_t sign = s[0] == '-' ? 1 : 0;
  const std::size_t intEnd = std::min(s.find('.'), s.size());
  const std::size_t digits = intEnd - sign;
  std::string out(s.substr(0, sign));
  for (std::size_t i = 0; i < digits; ++i) {
    if (i > 0 && digits >= 4 && (digits - i) % 3 == 0) out += ' ';
    out += s[sign + i];
  }
  out += s.substr(intEnd);
  return out;
}

// A speed-up: one decimal below 100, none above ("16.0×", "4 610×").
inline std::string times(double ratio) {
  return number(ratio, ratio < 100 ? 1 : 0) + "×";
}

// Takes `--report=<file>` out of argv (Google Benchmark would reject it); without it, the
// SCRIVLE_BENCH_REPORT environment variable names the file. Empty: no report.
inline std::string takeReportPath(int& argc, char** argv) {
  static constexpr std::string_view kFlag = "--report=";
  std::string path;
  int out = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg.substr(0, kFlag.size()) == kFlag) {
      path = arg.substr(kFlag.size());
    } else {
      argv[out++] = argv[i];
    }
  }
  if (out < argc) argv[out] = nullptr;
  argc = out;
  if (path.empty()) {
    if (const char* env = std::getenv("SCRIVLE_BENCH_REPORT")) path = env;
  }
  return path;
}

// A cell of the TSV: tabs and line breaks would split rows or columns.
inline std::string cell(std::string s) {
  for (char& c : s) {
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  }
  return s;
}

// Header line, then one line per row: program, figure, measured, target, met, alternative,
// ratio. Returns false when the file cannot be written.
inline bool writeReport(const std::string& path, const std::string& program) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << "program\tfigure\tmeasured\ttarget\tmet\talternative\tratio\n";
  for (const Row& r : rows()) {
    out << cell(program) << '\t' << cell(r.figure) << '\t' << cell(r.measured) << '\t'
        << cell(r.target) << '\t' << (r.met ? "yes" : "no") << '\t' << cell(r.alternative) << '\t'
        << cell(r.ratio) << '\n';
  }
  out.flush();
  return static_cast<bool>(out);
}

inline std::string programName(const char* argv0) {
  const std::string_view path = argv0;
  const std::size_t slash = path.find_last_of("/\\");
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace scrivle::bench
