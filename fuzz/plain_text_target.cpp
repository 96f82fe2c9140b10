// The plain-text reader against any bytes: it never fails, a file it does not take as
// UTF-8 comes back byte for byte, and what it writes for a document reads back as the
// same encoding.
#include "document/plaintext.h"
#include "fuzz/targets.h"

namespace scrivle::fuzz {

void plainTextTarget(std::string_view data) {
  const PlainText t = decodePlainText(data);
  check(detectPlainEncoding(data) == t.encoding, "decoding and detection disagree");
  if (t.encoding == PlainEncoding::Bytes) {
    check(t.text == data, "a byte-for-byte file changed on reading");
    check(t.replaced == 0, "characters replaced in a byte-for-byte file");
    check(encodePlainText(t.text, t.encoding, t.lfLineBreaks) == data,
          "a byte-for-byte file changed on writing");
    return;
  }
  const std::string written = encodePlainText(t.text, t.encoding, t.lfLineBreaks);
  if (t.encoding == PlainEncoding::Utf8Bom) {
    check(detectPlainEncoding(written) == PlainEncoding::Utf8Bom, "the byte-order mark was lost");
  }
  (void)decodePlainText(written);  // what it writes must read again without failing
}

}  // namespace scrivle::fuzz
