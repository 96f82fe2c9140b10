#include "document/plaintext.h"

#include "calc/charset.h"

namespace scrivle {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// True when `s` is well-formed UTF-8 (no overlongs, surrogates or values past U+10FFFF);
// `multiByte` tells whether any character took more than one byte.
bool validUtf8(std::string_view s, bool& multiByte) {
  multiByte = false;
  const std::size_t n = s.size();
  std::size_t i = 0;
  while (i < n) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      ++i;
      continue;
    }
    int need = 0;
    unsigned char lo = 0x80;
    unsigned char hi = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
      need = 1;
    } else if (b >= 0xE0 && b <= 0xEF) {
      need = 2;
      lo = b == 0xE0 ? 0xA0 : 0x80;
      hi = b == 0xED ? 0x9F : 0xBF;
    } else if (b >= 0xF0 && b <= 0xF4) {
      need = 3;
      lo = b == 0xF0 ? 0x90 : 0x80;
      hi = b == 0xF4 ? 0x8F : 0xBF;
    } else {
      return false;
    }
    if (n - i <= static_cast<std::size_t>(need)) return false;
    for (int k = 1; k <= need; ++k) {
      const auto c = static_cast<unsigned char>(s[i + k]);
      if (c < (k == 1 ? lo : 0x80) || c > (k == 1 ? hi : 0xBF)) return false;
    }
    multiByte = true;
    i += static_cast<std::size_t>(need) + 1;
  }
  return true;
}

}  // namespace

PlainEncoding detectPlainEncoding(std::string_view fileBytes) {
  if (fileBytes.substr(0, kBom.size()) == kBom) return PlainEncoding::Utf8Bom;
  bool multiByte = false;
  return validUtf8(fileBytes, multiByte) && multiByte ? PlainEncoding::Utf8 : PlainEncoding::Bytes;
}

PlainText decodePlainText(std::string_view fileBytes) {
  PlainText r;
  r.encoding = detectPlainEncoding(fileBytes);
  if (r.encoding == PlainEncoding::Bytes) {
    r.text.assign(fileBytes);
    return r;
  }
  if (r.encoding == PlainEncoding::Utf8Bom) fileBytes.remove_prefix(kBom.size());
  const std::string bytes = charset::fromUtf8(fileBytes, &r.replaced);
  r.text.reserve(bytes.size() + bytes.size() / 16);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) {
      r.text += '\r';
      r.lfLineBreaks = true;
    }
    r.text += bytes[i];
  }
  return r;
}

std::string encodePlainText(std::string_view text, PlainEncoding encoding, bool lfLineBreaks) {
  if (encoding == PlainEncoding::Bytes) return std::string(text);
  std::string joined;
  joined.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (lfLineBreaks && text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    joined += text[i];
  }
  std::string out = encoding == PlainEncoding::Utf8Bom ? std::string(kBom) : std::string();
  return out + charset::toUtf8(joined);
}

std::string replacedCharactersMessage(std::size_t count) {
  if (count == 1) {
    return "1 caractère sans équivalent sur la calculatrice a été remplacé par « ? ».";
  }
  return std::to_string(count) +
         " caractères sans équivalent sur la calculatrice ont été remplacés par « ? ».";
}

}  // namespace scrivle
