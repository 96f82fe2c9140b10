#include "calc/charset.h"

#include "calc/typography.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace scrivle::charset {
namespace {

constexpr char32_t kReplacement = U'\uFFFD';
constexpr char32_t kCombiningOverline = U'\u0305';
constexpr char32_t kCombiningMacron = U'\u0304';
constexpr unsigned char kXBar = 0x9A;
constexpr unsigned char kYBar = 0x9B;

struct Entry {
  unsigned char code;
  char32_t cp;
};

// Codes whose character differs from the code point of the same number (everything
// else, 0x00-0x0A, 0x0C, 0x0D, ASCII and most of 0xA0-0xFF, is itself). 0x9A and 0x9B
// are listed by their first code point; the overline follows.
constexpr Entry kSpecial[] = {
    // Calculator symbols in the control range.
    {0x0B, U'\u2934'},  // ⤴
    {0x0E, U'\u2693'},  // ⚓
    {0x0F, U'\u2713'},  // ✓ check mark
    {0x10, U'\u25FE'},  // ◾
    {0x11, U'\u25C2'},  // ◂
    {0x12, U'\u25B8'},  // ▸
    {0x13, U'\u25B4'},  // ▴
    {0x14, U'\u25BE'},  // ▾
    {0x15, U'\u2190'},  // ←
    {0x16, U'\u2192'},  // → store arrow
    {0x17, U'\u2191'},  // ↑
    {0x18, U'\u2193'},  // ↓
    {0x19, U'\u25C0'},  // ◀
    {0x1A, U'\u25B6'},  // ▶
    {0x1B, U'\u2B06'},  // ⬆
    {0x1C, U'\u222A'},  // ∪
    {0x1D, U'\u2229'},  // ∩
    {0x1E, U'\u2282'},  // ⊂
    {0x1F, U'\u2208'},  // ∈
    {0x7F, U'\u25C6'},  // ◆
    // Greek.
    {0x80, U'\u03B1'},  // α
    {0x81, U'\u03B2'},  // β
    {0x82, U'\u0393'},  // Γ
    {0x83, U'\u03B3'},  // γ
    {0x84, U'\u0394'},  // Δ
    {0x85, U'\u03B4'},  // δ
    {0x86, U'\u03B5'},  // ε
    {0x87, U'\u03B6'},  // ζ
    {0x88, U'\u03B8'},  // θ
    {0x89, U'\u03BB'},  // λ
    {0x8A, U'\u03BE'},  // ξ
    {0x8B, U'\u03A0'},  // Π
    {0x8C, U'\u03C0'},  // π
    {0x8D, U'\u03C1'},  // ρ
    {0x8E, U'\u03A3'},  // Σ
    {0x8F, U'\u03C3'},  // σ
    {0x90, U'\u03C4'},  // τ
    {0x91, U'\u03C6'},  // φ
    {0x92, U'\u03C8'},  // ψ
    {0x93, U'\u03A9'},  // Ω
    {0x94, U'\u03C9'},  // ω
    // Mathematical symbols.
    {0x95, U'\U0001D5A4'},  // exponent E (mathematical sans-serif capital E)
    {0x96, U'\u212F'},      // ℯ base of natural logarithms
    {0x97, U'\U0001D5C2'},  // imaginary i (mathematical sans-serif small i)
    {0x98, U'\u02B3'},      // ʳ radian mark
    {0x99, U'\u22BA'},      // ⊺ transpose
    {kXBar, U'x'},          // x̄ (x + combining overline)
    {kYBar, U'y'},          // ȳ (y + combining overline)
    {0x9C, U'\u2264'},      // ≤
    {0x9D, U'\u2260'},      // ≠
    {0x9E, U'\u2265'},      // ≥
    {0x9F, U'\u2220'},      // ∠
    // Where the upper half departs from Latin-1.
    {0xA0, U'\u2026'},  // …
    {0xA8, U'\u221A'},  // √
    {0xAD, U'\u2212'},  // − negation
    {0xB8, U'\u207A'},  // ⁺
    {0xBC, U'\u2202'},  // ∂
    {0xBD, U'\u222B'},  // ∫
    {0xBE, U'\u221E'},  // ∞
};

constexpr std::array<char32_t, 256> makeTable() {
  std::array<char32_t, 256> t{};
  for (unsigned i = 0; i < 256; ++i) {
    t[i] = i;
  }
  for (const Entry& e : kSpecial) {
    t[e.code] = e.cp;
  }
  return t;
}
constexpr std::array<char32_t, 256> kTable = makeTable();

// Visible stand-ins for the codes the calculator does not draw as a symbol of its own.
// Chosen among the symbols of DejaVu Sans Mono (Debian's fixed-pitch face), which has
// none of the Control Pictures block.
constexpr Entry kGlyph[] = {
    {0x00, U'\u2395'},   // ⎕ nothing
    {0x01, U'\u25AF'},   // ▯ unnamed control codes
    {0x02, U'\u25AF'},   //
    {0x03, U'\u25AF'},   //
    {0x04, U'\u25AF'},   //
    {0x05, U'\u25AF'},   //
    {0x06, U'\u25AF'},   //
    {0x07, U'\u25AF'},   //
    {0x08, U'\u232B'},   // ⌫ backspace
    {0x09, U'\u21E5'},   // ⇥ tab
    {0x0A, U'\u21B4'},   // ↴ line feed
    {0x0C, U'\u2691'},   // ⚑ form feed: the bookmark marker
    {0x0D, U'\u21B5'},   // ↵ carriage return
    {kYBar, U'\u0233'},  // ȳ has a precomposed form; x̄ does not and keeps its letter
};

constexpr std::array<char32_t, 256> makeGlyphs() {
  std::array<char32_t, 256> t = kTable;
  for (const Entry& e : kGlyph) {
    t[e.code] = e.cp;
  }
  return t;
}
constexpr std::array<char32_t, 256> kGlyphs = makeGlyphs();

// Other spellings of the same characters met in text from elsewhere.
constexpr Entry kAlias[] = {
    {0x20, U'\u00A0'},   // no-break space
    {0x96, U'\u2147'},   // ⅇ double-struck italic e
    {0x97, U'\u2148'},   // ⅈ double-struck italic i
    {0x99, U'\u1D40'},   // ᵀ modifier capital T
    {kYBar, U'\u0233'},  // ȳ precomposed
};

using Reverse = std::vector<std::pair<char32_t, unsigned char>>;

const Reverse& reverseTable() {
  static const Reverse table = [] {
    Reverse r;
    r.reserve(256 + std::size(kAlias));
    for (unsigned i = 0; i < 256; ++i) {
      if (i != kXBar && i != kYBar) {  // their letters stand for themselves alone
        r.emplace_back(kTable[i], static_cast<unsigned char>(i));
      }
    }
    for (const Entry& e : kAlias) {
      r.emplace_back(e.cp, e.code);
    }
    std::sort(r.begin(), r.end());
    return r;
  }();
  return table;
}

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Strict UTF-8 decoding (no overlongs, no surrogates, nothing past U+10FFFF). Each
// maximal ill-formed part becomes one U+FFFD, as Unicode recommends.
std::u32string decodeUtf8(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  const std::size_t n = s.size();
  std::size_t i = 0;
  while (i < n) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      out += b;
      ++i;
      continue;
    }
    int need = 0;
    char32_t cp = 0;
    unsigned char lo = 0x80;
    unsigned char hi = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
      need = 1;
      cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      need = 2;
      cp = b & 0x0F;
      lo = b == 0xE0 ? 0xA0 : 0x80;
      hi = b == 0xED ? 0x9F : 0xBF;
    } else if (b >= 0xF0 && b <= 0xF4) {
      need = 3;
      cp = b & 0x07;
      lo = b == 0xF0 ? 0x90 : 0x80;
      hi = b == 0xF4 ? 0x8F : 0xBF;
    } else {
      out += kReplacement;
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    bool ok = true;
    for (int k = 0; k < need; ++k, ++j) {
      const auto c = j < n ? static_cast<unsigned char>(s[j]) : 0;
      if (j >= n || c < (k == 0 ? lo : 0x80) || c > (k == 0 ? hi : 0xBF)) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (c & 0x3F);
    }
    out += ok ? cp : kReplacement;
    i = j;
  }
  return out;
}

}  // namespace

Equivalent unicodeOf(unsigned char code) {
  if (code == kXBar || code == kYBar) {
    return {kTable[code], kCombiningOverline};
  }
  return {kTable[code], 0};
}

char32_t glyphOf(unsigned char code) {
  return kGlyphs[code];
}

std::u32string glyphTextOf(unsigned char code) {
  if (code == kXBar || code == kYBar) {
    return {kTable[code], kCombiningOverline};
  }
  return {kGlyphs[code]};
}

bool codeOf(char32_t cp, unsigned char& code) {
  const Reverse& r = reverseTable();
  const auto it = std::lower_bound(r.begin(), r.end(), cp,
                                   [](const auto& entry, char32_t v) { return entry.first < v; });
  if (it == r.end() || it->first != cp) {
    return false;
  }
  code = it->second;
  return true;
}

std::string toUtf8(std::string_view calcBytes) {
  std::string out;
  out.reserve(calcBytes.size() * 2);
  for (const char c : calcBytes) {
    const Equivalent e = unicodeOf(static_cast<unsigned char>(c));
    appendUtf8(out, e.first);
    if (e.second != 0) {
      appendUtf8(out, e.second);
    }
  }
  return out;
}

std::string fromUtf8(std::string_view utf8, std::size_t* replaced) {
  return fromUtf32(decodeUtf8(utf8), replaced);
}

std::u32string toUtf32(std::string_view calcBytes) {
  std::u32string out;
  out.reserve(calcBytes.size());
  for (const char c : calcBytes) {
    const Equivalent e = unicodeOf(static_cast<unsigned char>(c));
    out += e.first;
    if (e.second != 0) {
      out += e.second;
    }
  }
  return out;
}

std::string fromUtf32(std::u32string_view text, std::size_t* replaced) {
  std::size_t missing = 0;
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t cp = text[i];
    if ((cp == U'x' || cp == U'y') && i + 1 < text.size() &&
        (text[i + 1] == kCombiningOverline || text[i + 1] == kCombiningMacron)) {
      out += static_cast<char>(cp == U'x' ? kXBar : kYBar);
      ++i;
      continue;
    }
    unsigned char code = 0;
    if (codeOf(cp, code)) {
      out += static_cast<char>(code);
    } else if (const char* plain = typography::plainOf(cp)) {
      out += plain;
    } else {
      out += '?';
      ++missing;
    }
  }
  if (replaced != nullptr) {
    *replaced = missing;
  }
  return out;
}

}  // namespace scrivle::charset
