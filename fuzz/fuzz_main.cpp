// libFuzzer entry for one target, chosen by name at build time.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "fuzz/targets.h"

namespace {

void (*gRun)(std::string_view) = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  for (const scrivle::fuzz::Target& t : scrivle::fuzz::kTargets) {
    if (std::string_view(t.name) == SCRIVLE_FUZZ_TARGET) {
      gRun = t.run;
    }
  }
  if (gRun == nullptr) {
    std::fprintf(stderr, "no fuzz target named %s\n", SCRIVLE_FUZZ_TARGET);
    std::abort();
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  gRun(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
