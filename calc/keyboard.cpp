#include "calc/keyboard.h"

#include <array>
#include <utility>

#include "calc/charset.h"

namespace scrivle {
namespace {

// One key of the French AZERTY layout (Windows): the characters it types alone, with
// Shift and with AltGr (0: none).
struct KeyRow {
  int keyCode;
  char32_t plain;
  char32_t shifted;
  char32_t altGr;
};

// Letters and the dead-key letters are added by the code below.
constexpr KeyRow kAzerty[] = {
    // Top row.
    {222, U'²', 0, 0},
    {49, U'&', U'1', 0},
    {50, U'é', U'2', U'~'},
    {51, U'"', U'3', U'#'},
    {52, U'\'', U'4', U'{'},
    {53, U'(', U'5', U'['},
    {54, U'-', U'6', U'|'},
    {55, U'è', U'7', U'`'},
    {56, U'_', U'8', U'\\'},
    {57, U'ç', U'9', U'^'},
    {48, U'à', U'0', U'@'},
    {219, U')', U'°', U']'},
    {187, U'=', U'+', U'}'},
    // Right-hand keys.
    {186, U'$', U'£', U'¤'},
    {192, U'ù', U'%', 0},
    {220, U'*', U'µ', 0},
    {226, U'<', U'>', 0},
    {188, U',', U'?', 0},
    {190, U';', U'.', 0},
    {191, U':', U'/', 0},
    {223, U'!', U'§', 0},
    // Keys that type a control character.
    {vk::Space, U' ', 0, 0},
    {vk::Tab, U'\t', 0, 0},
    {vk::Return, U'\r', 0, 0},
};

// Base letters of the Latin-1 letters 0xC0-0xFF ('.' where there is none: Æ, Ð, ×, Ø,
// Þ, ß and their lower-case forms). The accented ones are typed with a dead key that
// ends on the base letter's key.
constexpr char kLatin1Base[] =
    "AAAAAA.CEEEEIIII.NOOOOO..UUUUY.."
    "aaaaaa.ceeeeiiii.nooooo..uuuuy.y";

std::array<KeyStroke, 256> makeStrokes() {
  std::array<KeyStroke, 256> strokes{};
  // Strokes are keyed by Unicode character, then found by the calculator code whose
  // character it is (the upper half is mostly Latin-1, but not entirely).
  auto strokeOf = [&](char32_t ch) -> KeyStroke* {
    unsigned char code = 0;
    return charset::codeOf(ch, code) && charset::unicodeOf(code).first == ch ? &strokes[code]
                                                                             : nullptr;
  };
  for (unsigned c = 0; c < 256; ++c) {
    strokes[c].typed = static_cast<unsigned char>(c);
  }
  for (char32_t ch = U'a'; ch <= U'z'; ++ch) {
    const int key = static_cast<int>(ch - U'a') + 'A';
    strokeOf(ch)->keyCode = key;
    *strokeOf(ch - U'a' + U'A') = {key, ShiftShift, static_cast<unsigned char>(ch - U'a' + U'A')};
  }
  for (char32_t ch = 0xC0; ch <= 0xFF; ++ch) {
    const char base = kLatin1Base[ch - 0xC0];
    KeyStroke* s = strokeOf(ch);
    if (base != '.' && s != nullptr) {
      s->keyCode = base & ~0x20;  // the letter's key is its capital
    }
  }
  // The keys of their own (é, è, ç, à, ù) override the dead-key path.
  for (const KeyRow& k : kAzerty) {
    const std::pair<char32_t, ShiftState> layers[] = {
        {k.plain, ShiftNone}, {k.shifted, ShiftShift}, {k.altGr, ShiftAltGr}};
    for (const auto& [ch, shift] : layers) {
      if (KeyStroke* s = ch != 0 ? strokeOf(ch) : nullptr) {
        s->keyCode = k.keyCode;
        s->shift = shift;
      }
    }
  }
  return strokes;
}

const std::array<KeyStroke, 256> kStrokes = makeStrokes();

}  // namespace

KeyStroke strokeForTyped(unsigned char code) {
  return kStrokes[code];
}

bool isEditingKey(int keyCode) {
  switch (keyCode) {
    case vk::Back:
    case vk::Tab:
    case vk::Return:
    case vk::Space:
    case vk::Delete:
    case 186:
    case 187:
    case 188:
    case 190:
    case 191:
    case 192:
    case 219:
    case 220:
    case 221:
    case 222:
    case 223:
    case 226:
      return true;
    default:
      return (keyCode >= '0' && keyCode <= '9') || (keyCode >= 'A' && keyCode <= 'Z') ||
             (keyCode >= vk::Numpad0 && keyCode <= vk::Add) ||
             (keyCode >= vk::Subtract && keyCode <= vk::Divide);
  }
}

}  // namespace scrivle
