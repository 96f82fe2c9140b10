#include "document/plaintext.h"

#include <gtest/gtest.h>

#include <string>

#include "calc/charset.h"

namespace scrivle {
namespace {

constexpr const char* kSample = "Café crème αβ ≤ π";

TEST(PlainText, Utf8RoundTripsWithAndWithoutMark) {
  for (const std::string mark : {"", "\xEF\xBB\xBF"}) {
    SCOPED_TRACE(mark.empty() ? "without mark" : "with mark");
    const std::string file = mark + kSample + "\nligne 2\n";
    const PlainText t = decodePlainText(file);
    EXPECT_EQ(t.encoding, mark.empty() ? PlainEncoding::Utf8 : PlainEncoding::Utf8Bom);
    EXPECT_EQ(t.text, "Caf\xE9 cr\xE8me \x80\x81 \x9C \x8C\r\nligne 2\r\n");
    EXPECT_EQ(t.replaced, 0u);
    EXPECT_TRUE(t.lfLineBreaks);
    EXPECT_EQ(encodePlainText(t.text, t.encoding, t.lfLineBreaks), file);
  }
}

TEST(PlainText, CrLfFilesKeepTheirLineBreaks) {
  const std::string file = "\xEF\xBB\xBFé\r\nà\r\n";
  const PlainText t = decodePlainText(file);
  EXPECT_FALSE(t.lfLineBreaks);
  EXPECT_EQ(t.text, "\xE9\r\n\xE0\r\n");
  EXPECT_EQ(encodePlainText(t.text, t.encoding, t.lfLineBreaks), file);
}

TEST(PlainText, CountsCharactersWithoutEquivalent) {
  const PlainText t = decodePlainText("中文 ≈ “ok” €");
  EXPECT_EQ(t.text, "?? ? \"ok\" EUR");
  EXPECT_EQ(t.replaced, 3u);
  EXPECT_EQ(replacedCharactersMessage(3),
            "3 caractères sans équivalent sur la calculatrice ont été remplacés par « ? ».");
  EXPECT_EQ(replacedCharactersMessage(1),
            "1 caractère sans équivalent sur la calculatrice a été remplacé par « ? ».");
}

TEST(PlainText, OtherFilesStayByteForByte) {
  // Latin-1 (not valid UTF-8), pure ASCII, calculator bytes, a truncated sequence.
  for (const std::string& file :
       {std::string("Caf\xE9 cr\xE8me\n"), std::string("plain ascii\n"),
        std::string("\x80\x81\x9C\r\n\x0C"), std::string("ok \xC3"), std::string()}) {
    const PlainText t = decodePlainText(file);
    EXPECT_EQ(t.encoding, PlainEncoding::Bytes);
    EXPECT_EQ(t.text, file);
    EXPECT_EQ(t.replaced, 0u);
    EXPECT_EQ(encodePlainText(t.text, t.encoding, t.lfLineBreaks), file);
  }
  // Overlong forms and encoded surrogates are not UTF-8.
  EXPECT_EQ(detectPlainEncoding("\xC0\xAF"), PlainEncoding::Bytes);
  EXPECT_EQ(detectPlainEncoding("\xED\xA0\x80"), PlainEncoding::Bytes);
  EXPECT_EQ(detectPlainEncoding("\xF0\x9F\x98\x80"), PlainEncoding::Utf8);
  EXPECT_EQ(detectPlainEncoding("\xEF\xBB\xBF"), PlainEncoding::Utf8Bom);
}

}  // namespace
}  // namespace scrivle
