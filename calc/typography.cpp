#include "calc/typography.h"

#include <algorithm>
#include <iterator>

namespace scrivle::typography {
namespace {

constexpr Row kRows[] = {
    {U'\u00AD', ""},      // soft hyphen (the calculator's 0xAD is the negation sign)
    {U'\u00BC', "1/4"},   // ¼ (0xBC-0xBE are ∂ ∫ ∞ on the calculator)
    {U'\u00BD', "1/2"},   // ½
    {U'\u00BE', "3/4"},   // ¾
    {U'\u0152', "OE"},    // Œ
    {U'\u0153', "oe"},    // œ
    {U'\u0178', "Y"},     // Ÿ
    {U'\u02BC', "'"},     // ʼ modifier apostrophe
    {U'\u02C6', "^"},     // ˆ
    {U'\u02DC', "~"},     // ˜
    {U'\u2000', " "},     // en quad
    {U'\u2001', " "},     // em quad
    {U'\u2002', " "},     // en space
    {U'\u2003', " "},     // em space
    {U'\u2004', " "},     // three-per-em space
    {U'\u2005', " "},     // four-per-em space
    {U'\u2006', " "},     // six-per-em space
    {U'\u2007', " "},     // figure space
    {U'\u2008', " "},     // punctuation space
    {U'\u2009', " "},     // thin space
    {U'\u200A', " "},     // hair space
    {U'\u200B', ""},      // zero width space
    {U'\u200C', ""},      // zero width non-joiner
    {U'\u200D', ""},      // zero width joiner
    {U'\u2010', "-"},     // ‐ hyphen
    {U'\u2011', "-"},     // ‑ non-breaking hyphen
    {U'\u2012', "-"},     // ‒ figure dash
    {U'\u2013', "-"},     // – en dash
    {U'\u2014', "-"},     // — em dash
    {U'\u2015', "-"},     // ― horizontal bar
    {U'\u2018', "'"},     // ‘
    {U'\u2019', "'"},     // ’
    {U'\u201A', ","},     // ‚
    {U'\u201B', "'"},     // ‛
    {U'\u201C', "\""},    // “
    {U'\u201D', "\""},    // ”
    {U'\u201E', "\""},    // „
    {U'\u201F', "\""},    // ‟
    {U'\u2022', "*"},     // • bullet
    {U'\u2024', "."},     // ․ one dot leader
    {U'\u2025', ".."},    // ‥ two dot leader
    {U'\u2027', "-"},     // ‧ hyphenation point
    {U'\u202F', " "},     // narrow no-break space (French punctuation)
    {U'\u2030', "o/oo"},  // ‰
    {U'\u2032', "'"},     // ′ prime
    {U'\u2033', "\""},    // ″ double prime
    {U'\u2039', "<"},     // ‹
    {U'\u203A', ">"},     // ›
    {U'\u2044', "/"},     // ⁄ fraction slash
    {U'\u205F', " "},     // medium mathematical space
    {U'\u2060', ""},      // word joiner
    {U'\u20AC', "EUR"},   // €
    {U'\u2122', "TM"},    // ™
    {U'\u2153', "1/3"},   // ⅓
    {U'\u2154', "2/3"},   // ⅔
    {U'\u2215', "/"},     // ∕ division slash
    {U'\u2217', "*"},     // ∗ asterisk operator
    {U'\u3000', " "},     // ideographic space
    {U'\uFB00', "ff"},    // ﬀ
    {U'\uFB01', "fi"},    // ﬁ
    {U'\uFB02', "fl"},    // ﬂ
    {U'\uFB03', "ffi"},   // ﬃ
    {U'\uFB04', "ffl"},   // ﬄ
    {U'\uFEFF', ""},      // zero width no-break space (a byte-order mark inside text)
};

static_assert(std::is_sorted(std::begin(kRows), std::end(kRows),
                             [](const Row& a, const Row& b) { return a.cp < b.cp; }));

}  // namespace

std::span<const Row> rows() {
  return kRows;
}

const char* plainOf(char32_t cp) {
  const auto* it = std::lower_bound(std::begin(kRows), std::end(kRows), cp,
                                    [](const Row& r, char32_t v) { return r.cp < v; });
  return it != std::end(kRows) && it->cp == cp ? it->plain : nullptr;
}

}  // namespace scrivle::typography
