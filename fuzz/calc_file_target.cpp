#include <algorithm>

#include "document/tifile.h"
#include "fuzz/targets.h"

namespace scrivle::fuzz {

namespace {

// A line feed that does not follow a carriage return cannot be stored: the writer turns
// it into a space, so such a text changes once, then stays.
bool hasLoneLineFeed(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
      return true;
    }
  }
  return false;
}

}  // namespace

void calcFileTarget(std::string_view data) {
  TiText first;
  try {
    first = readTiText(data);
  } catch (const TiFormatError&) {
    return;
  }
  check(first.folder.size() == kTiNameBytes && first.name.size() == kTiNameBytes,
        "folder and name are 8 raw bytes");
  check(first.size == static_cast<std::int32_t>(data.size()) - 88, "size is V + 2");

  std::string written;
  try {
    written = writeTiText("fuzz.89t", first.folder, first.name, first.text);
  } catch (const TiTooLongError&) {
    check(convertToCalc(first.text).size() - 1 > kTiMaxTextBytes, "refused a text that fits");
    return;
  }
  const TiText again = readTiText(written);
  check(again.folder == first.folder && again.name == first.name, "names survive");
  const std::string stored = written.substr(90, written.size() - 94);
  check(stored == convertToCalc(first.text), "the file holds the converted text");
  check(again.size == static_cast<std::int32_t>(written.size()) - 88, "written size word");
  if (!hasLoneLineFeed(first.text)) {
    check(again.text == first.text, "text survives a save");
  }
  const std::string twice = writeTiText("fuzz.9xt", again.folder, again.name, again.text);
  check(readTiText(twice).text == again.text, "a saved text is stable");
  check(std::equal(written.begin() + 8, written.end(), twice.begin() + 8),
        "only the signature depends on the extension");
}

}  // namespace scrivle::fuzz
