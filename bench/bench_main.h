// The common entry of the benchmark programs: a headless Qt application (the
// comparisons use Qt widgets), Google Benchmark with the program's own reporter, then the
// program's summary. The summary also records its headline figures as rows, which
// `--report=<file>` (or $SCRIVLE_BENCH_REPORT) writes out as TSV for scripts/bench.sh.
#pragma once

#include <benchmark/benchmark.h>
#include <QApplication>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <string>

#include "bench/bench_report.h"

namespace scrivle::bench {

// The calling thread's CPU time as a clock: what a run costs, without the time other
// processes of a shared machine hold the cores. Reading it is a system call, dearer than
// steady_clock, so single edits of a microsecond or less keep the wall clock.
struct ThreadCpuClock {
  using duration = std::chrono::nanoseconds;
  using rep = duration::rep;
  using period = duration::period;
  using time_point = std::chrono::time_point<ThreadCpuClock>;
  static constexpr bool is_steady = true;
  static time_point now() noexcept {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return time_point(std::chrono::seconds(ts.tv_sec) + std::chrono::nanoseconds(ts.tv_nsec));
  }
};

// `check` runs before the timings (e.g. both sides give the same result); false stops the
// program with status 1, so a wrong result is never reported as a figure.
template <typename Reporter = benchmark::ConsoleReporter>
int runBenchmarks(int argc, char** argv, const std::function<void()>& summary,
                  const std::function<bool()>& check = {}) {
  const std::string report = takeReportPath(argc, argv);
  const std::string program = programName(argv[0]);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);
  if (check && !check()) return 1;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  Reporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  summary();
  if (!report.empty() && !writeReport(report, program)) {
    std::fprintf(stderr, "%s: cannot write the report to %s\n", program.c_str(), report.c_str());
    return 1;
  }
  return 0;
}

}  // namespace scrivle::bench
