// The user's standard folders.
#pragma once

#include <filesystem>

namespace scrivle {

// $HOME; when it is unset or empty, the account's home folder (from the user database,
// on the systems that have one). Empty when neither is known.
std::filesystem::path homeFolder();

// Scrivle's folder for its settings: $XDG_CONFIG_HOME/Scrivle when the variable holds an
// absolute path (a relative one is ignored, as for every XDG base folder), otherwise
// <home>/.config/Scrivle, and <temp>/Scrivle when there is no home folder.
std::filesystem::path configFolder();
// Likewise for the state kept between runs: $XDG_STATE_HOME/Scrivle, or
// <home>/.local/state/Scrivle.
std::filesystem::path stateFolder();

}  // namespace scrivle
