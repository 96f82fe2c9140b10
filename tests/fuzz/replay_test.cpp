// Every seed and every input a fuzzer ever crashed on, through the same checks the
// fuzzers run: what was found once stays fixed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "fuzz/targets.h"

namespace scrivle {
namespace {

namespace fs = std::filesystem;

class FuzzReplay : public testing::TestWithParam<fuzz::Target> {};

TEST_P(FuzzReplay, SeedsAndCrashInputsPass) {
  const fuzz::Target& target = GetParam();
  const fs::path root = fs::path(SCRIVLE_SOURCE_DIR) / "fuzz";
  int inputs = 0;
  for (const char* kind : {"corpus", "crashes"}) {
    const fs::path dir = root / kind / target.name;
    if (!fs::is_directory(dir)) {
      continue;
    }
    for (const auto& entry : fs::directory_iterator(dir)) {
      std::ifstream in(entry.path(), std::ios::binary);
      const std::string data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
      try {
        target.run(data);
      } catch (const std::exception& e) {
        ADD_FAILURE() << entry.path() << ": " << e.what();
      }
      ++inputs;
    }
  }
  EXPECT_GE(inputs, 3) << "the seed corpus of " << target.name << " is missing";
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay, testing::ValuesIn(fuzz::kTargets),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace scrivle
