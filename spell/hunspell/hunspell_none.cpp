// Built instead of hunspell_dictionary.cpp when Hunspell is not found.
#include "spell/hunspell/hunspell_dictionary.h"

namespace scrivle::spell {

bool hunspellBuiltIn() {
  return false;
}

std::unique_ptr<Dictionary> openHunspell(const DictionaryFiles&) {
  return nullptr;
}

}  // namespace scrivle::spell
