// Errors raised by commands. The message is the French text shown in the
// application-wide error box.
#pragma once

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>

namespace scrivle {

class ScrivleError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "Impossible de créer le fichier %s"
[[nodiscard]] ScrivleError cannotCreate(const std::filesystem::path& path);
// "Impossible d'ouvrir le fichier %s"
[[nodiscard]] ScrivleError cannotOpen(const std::filesystem::path& path);
// "Erreur d'écriture dans le fichier %s"
[[nodiscard]] ScrivleError cannotWrite(const std::filesystem::path& path);
// "Erreur de lecture du fichier %s"
[[nodiscard]] ScrivleError cannotRead(const std::filesystem::path& path);

class Dialogs;

// Runs a command; any error it raises (a ScrivleError, a std::exception, or anything
// else) is shown in the error box with its French text. Returns false when it failed.
bool runCommand(Dialogs& dialogs, const std::function<void()>& command);

}  // namespace scrivle
