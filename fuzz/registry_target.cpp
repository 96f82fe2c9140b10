#include "fuzz/targets.h"
#include "registry/reg_codec.h"

namespace scrivle::fuzz {

void registryTarget(std::string_view data) {
  regfile::Store store;
  try {
    store = regfile::parse(data);
  } catch (const regfile::ParseError&) {
    return;
  }
  const std::string text = regfile::format(store);
  regfile::Store back;
  try {
    back = regfile::parse(text);
  } catch (const regfile::ParseError& e) {
    throw Failure(std::string("a written store does not parse: ") + e.what());
  }
  check(back == store, "a written store reads back the same");
  check(regfile::format(back) == text, "writing is stable");
}

}  // namespace scrivle::fuzz
