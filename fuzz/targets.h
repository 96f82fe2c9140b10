// Fuzz targets over everything that reads outside input. Each takes raw bytes and checks
// a property; a broken property throws Failure, which libFuzzer reports as a crash (an
// uncaught exception) and the replay test as a failed case. The same functions run in
// the fuzzers and in core_tests, over the seed corpora and every saved crash input.
#pragma once

#include <array>
#include <stdexcept>
#include <string>
#include <string_view>

namespace scrivle::fuzz {

class Failure : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

inline void check(bool ok, const char* what) {
  if (!ok) {
    throw Failure(what);
  }
}

// Reads a calculator text file; whatever reads must write back and read again to the
// same text, byte for byte when the variable holds no stray line feed.
void calcFileTarget(std::string_view data);
// Compresses a body; the block must decode (as the calculator does) to the body.
void compressorTarget(std::string_view data);
// Parses a registry store file; what parses must format and parse back to the same store.
void registryTarget(std::string_view data);
// Runs the bytes as a sequence of editor operations against a plain string.
void textModelTarget(std::string_view data);
// Lays a text out for the calculator preview and edits it; an edit must lay out as the
// whole new text would.
void previewLayoutTarget(std::string_view data);
// Reads a document journal (and an auto-save description); what reads must re-encode to
// the same records, and a cut journal never holds more than the whole.
void journalTarget(std::string_view data);
// Reads plain-text file bytes (UTF-8 or calculator bytes) and writes them back.
void plainTextTarget(std::string_view data);

struct Target {
  const char* name;  // also the folder name of its corpus and of its crash inputs
  void (*run)(std::string_view);
};

inline constexpr std::array<Target, 7> kTargets = {{{"calc_file", calcFileTarget},
                                                    {"compressor", compressorTarget},
                                                    {"registry", registryTarget},
                                                    {"text_model", textModelTarget},
                                                    {"preview_layout", previewLayoutTarget},
                                                    {"journal", journalTarget},
                                                    {"plain_text", plainTextTarget}}};

}  // namespace scrivle::fuzz
