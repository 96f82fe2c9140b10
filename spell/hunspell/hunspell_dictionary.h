// The Hunspell engine behind spell::Dictionary. Built as a library of its own
// (scrivle_hunspell) so that the core never links Hunspell; without Hunspell at build
// time, openHunspell always gives nullptr and spelling stays off.
#pragma once

#include <memory>

#include "spell/dictionary.h"
#include "spell/languages.h"

namespace scrivle::spell {

// False when this build has no Hunspell.
bool hunspellBuiltIn();
// nullptr when the files cannot be read.
std::unique_ptr<Dictionary> openHunspell(const DictionaryFiles& files);

}  // namespace scrivle::spell
