// The common entry of the benchmark programs: a headless Qt application (the
// comparisons use Qt widgets), Google Benchmark with the program's own reporter,
// then the program's summary of figures, targets and ratios.
#pragma once

#include <QApplication>
#include <benchmark/benchmark.h>

namespace scrivle::bench {

template <typename Reporter, typename Summary>
int runBenchmarks(int argc, char** argv, Summary printSummary) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  Reporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  printSummary();
  return 0;
}

}  // namespace scrivle::bench
