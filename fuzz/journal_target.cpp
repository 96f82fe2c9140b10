// The journal reader against any bytes: it never fails, what it reads writes back and reads
// back the same, and cutting the input never yields more than the whole did.
#include "document/journal.h"
#include "fuzz/targets.h"

namespace scrivle::fuzz {

using journal::Contents;

namespace {

std::string reencode(const Contents& c) {
  std::string out = journal::encodeHeader();
  out += c.snapshot ? journal::encodeSnapshot(*c.snapshot) : journal::encodeFileBase(*c.fileBase);
  for (const journal::Edit& e : c.edits) {
    out += journal::encodeEdit(e.pos, e.removed, e.inserted);
  }
  out += journal::encodeInfo(c.info);
  return out;
}

}  // namespace

void journalTarget(std::string_view data) {
  const Contents c = journal::parse(data);
  check(c.droppedBytes <= data.size(), "more bytes dropped than read");
  if (auto d = journal::decodeDescription(data)) {
    check(journal::decodeDescription(journal::encodeDescription(*d)) == d,
          "a description does not read back");
  }
  if (!c.usable()) {
    check(c.edits.empty(), "edits without a base");
    return;
  }
  check(c.status == Contents::Status::Whole || c.droppedBytes > 0, "damage without lost bytes");
  const Contents again = journal::parse(reencode(c));
  check(again.status == Contents::Status::Whole, "a re-encoded journal is not whole");
  check(again.snapshot == c.snapshot && again.fileBase == c.fileBase && again.edits == c.edits &&
            again.info == c.info,
        "a re-encoded journal reads differently");
  const Contents half = journal::parse(data.substr(0, data.size() / 2));
  check(half.edits.size() <= c.edits.size(), "a cut journal holds more edits");
  for (std::size_t i = 0; i < half.edits.size(); ++i) {
    check(half.edits[i] == c.edits[i], "a cut journal holds other edits");
  }
  if (c.snapshot) {
    std::string text = *c.snapshot;
    const std::size_t applied = journal::replay(text, c.edits);
    check(applied <= c.edits.size(), "replayed more edits than there are");
  }
}

}  // namespace scrivle::fuzz
