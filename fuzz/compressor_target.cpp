#include <array>

#include "compress/zip.h"
#include "fuzz/targets.h"
#include "fuzz/zip_block_decoder.h"

namespace scrivle::fuzz {

namespace {

std::size_t distinctBytes(std::string_view s) {
  std::array<bool, 256> seen{};
  std::size_t n = 0;
  for (const char c : s) {
    bool& b = seen[static_cast<unsigned char>(c)];
    n += b ? 0 : 1;
    b = true;
  }
  return n;
}

std::string decodeOrFail(std::string_view block) {
  try {
    return decodeZipBlock(block);
  } catch (const std::runtime_error& e) {
    throw Failure(std::string("the calculator could not expand the block: ") + e.what());
  }
}

}  // namespace

void compressorTarget(std::string_view data) {
  // The first byte picks how the input is used: a body alone, or a whole source file.
  if (data.empty()) {
    return;
  }
  const bool asFile = (static_cast<unsigned char>(data[0]) & 1U) != 0;
  data.remove_prefix(1);

  if (!asFile) {
    std::string out = "kept";
    try {
      ZipBody(data, out);
    } catch (const ZipRefused&) {
      check(out == "kept", "a refusal leaves the output alone");
      check(data.size() > kZipMaxBody || distinctBytes(data) < 2 || data.size() > 30000,
            "refused a body the format carries");
      return;
    }
    check(out.compare(0, 4, "kept") == 0, "the block is appended");
    check(data.size() <= kZipMaxBody && distinctBytes(data) >= 2, "accepted a bad body");
    check(decodeOrFail(std::string_view(out).substr(4)) == data, "the block expands to the body");
    return;
  }

  std::string zipped;
  try {
    zipped = ZipTiFile(data);
  } catch (const ZipRefused&) {
    return;
  }
  check(data.size() >= kZipMinSource && zipped.size() >= 98, "file too short");
  check(zipped.compare(0, 72, data, 0, 72) == 0, "header kept");
  check(static_cast<unsigned char>(zipped[72]) == 0x1C, "compressed type");
  const std::string_view block = std::string_view(zipped).substr(90, zipped.size() - 98);
  check(decodeOrFail(block) == data.substr(88, data.size() - 90), "the file expands to its body");
}

}  // namespace scrivle::fuzz
