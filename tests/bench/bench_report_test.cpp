// The benchmark programs' report rows: number formatting, the --report flag taken out of
// argv before Google Benchmark sees it, and a TSV that keeps one row per line.
#include "bench/bench_report.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/temp_files.h"

namespace scrivle::bench {
namespace {

TEST(BenchReport, NumbersGroupThousandsAndRatiosDropDecimalsAbove100) {
  EXPECT_EQ(number(999.0, 0), "999");
  EXPECT_EQ(number(1000.0, 0), "1 000");
  EXPECT_EQ(number(3753.25, 1), "3 753.2");
  EXPECT_EQ(number(1234567.0, 0), "1 234 567");
  EXPECT_EQ(number(-12345.0, 0), "-12 345");
  EXPECT_EQ(number(0.304, 2), "0.30");
  EXPECT_EQ(times(16.04), "16.0×");
  EXPECT_EQ(times(4610.4), "4 610×");
}

TEST(BenchReport, MedianOfOddAndEvenCountsAndSidesMeasuredAlike) {
  EXPECT_EQ(median({}), 0);
  EXPECT_EQ(median({9, 1, 5}), 5);
  EXPECT_EQ(median({8, 1, 2, 4}), 3);  // unsorted; mean of the two middle values
  samples().clear();
  for (double v : {5.0, 1.0, 3.0, 2.0, 4.0}) addSample("ours", v);
  for (double v : {50.0, 10.0, 30.0, 20.0}) addSample("theirs", v);
  EXPECT_EQ(medianOf("ours"), 3);
  EXPECT_EQ(runsOf("theirs"), 4U);
  EXPECT_EQ(medianOf("nobody"), 0);
  EXPECT_FALSE(sameRuns({"ours", "theirs"}));  // 5 runs against 4
  addSample("theirs", 40);
  EXPECT_TRUE(sameRuns({"ours", "theirs"}));
  EXPECT_FALSE(sameRuns({"ours", "theirs"}, 6));  // fewer runs than asked for
  samples().clear();
}

TEST(BenchReport, ReportFlagIsTakenOutOfArgvAndOtherArgumentsKeepTheirOrder) {
  std::string a0 = "prog", a1 = "--benchmark_filter=X", a2 = "--report=/tmp/r.tsv", a3 = "--v=2";
  char* argv[] = {a0.data(), a1.data(), a2.data(), a3.data(), nullptr};
  int argc = 4;
  EXPECT_EQ(takeReportPath(argc, argv), "/tmp/r.tsv");
  ASSERT_EQ(argc, 3);
  EXPECT_STREQ(argv[1], "--benchmark_filter=X");
  EXPECT_STREQ(argv[2], "--v=2");
  EXPECT_EQ(argv[3], nullptr);
#ifndef _WIN32
  // Without the flag the environment names the file; with neither there is no report.
  char* argvNone[] = {a0.data(), nullptr};
  int argcNone = 1;
  ::setenv("SCRIVLE_BENCH_REPORT", "/tmp/env.tsv", 1);
  EXPECT_EQ(takeReportPath(argcNone, argvNone), "/tmp/env.tsv");
  ::unsetenv("SCRIVLE_BENCH_REPORT");
  EXPECT_EQ(takeReportPath(argcNone, argvNone), "");
  EXPECT_EQ(argcNone, 1);
#endif
  EXPECT_EQ(programName("build/bench/zip_bench"), "zip_bench");
  EXPECT_EQ(programName("zip_bench"), "zip_bench");
}

TEST(BenchReport, TsvHasAHeaderAndOneLinePerRowEvenWithTabsOrBreaksInACell) {
  rows().clear();
  addRow({"load\t10 MB", "30.0 ms", "≤ 150 ms", "Qt\n480 ms", "16.0×", true});
  addRow({"memory", "2.09 bytes", "≤ 3", "", "", false});
  const test::TempDir temp;
  const auto path = temp.path() / "report.tsv";
  ASSERT_TRUE(writeReport(path.string(), "text_model_bench"));
  EXPECT_EQ(test::slurp(path),
            "program\tfigure\tmeasured\ttarget\tmet\talternative\tratio\n"
            "text_model_bench\tload 10 MB\t30.0 ms\t≤ 150 ms\tyes\tQt 480 ms\t16.0×\n"
            "text_model_bench\tmemory\t2.09 bytes\t≤ 3\tno\t\t\n");
  std::filesystem::remove(path);
  EXPECT_FALSE(writeReport((path / "no" / "such" / "dir.tsv").string(), "x"));
  rows().clear();
}

}  // namespace
}  // namespace scrivle::bench
