// Test helpers for painted text: one mark per byte of the model.
#pragma once

#include <string>

#include "editor/text_model.h"
#include "settings/parametre.h"

namespace scrivle::test {

// '.' plain, 'b' blue, 'r' red, 'a' aqua (default tag and marker styles), '*' anything else.
inline std::string marks(const TextModel& m) {
  std::string out;
  for (Pos i = 0; i < m.length(); ++i) {
    const CharStyle s = m.styleAt(i);
    char c = '*';
    if (!s.bold && !s.italic && !s.underline && !s.strikeOut) {
      if (s.colour == 0) c = '.';
      if (s.colour == clBlue) c = 'b';
      if (s.colour == clRed) c = 'r';
      if (s.colour == clAqua) c = 'a';
    }
    out += c;
  }
  return out;
}

inline TParametre tagSettings() {
  return defaultSettings("/nonexistent");
}

}  // namespace scrivle::test
