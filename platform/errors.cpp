#include "platform/errors.h"

#include <new>
#include <system_error>

#include "platform/dialogs.h"

namespace scrivle {

namespace {

std::string displayName(const std::filesystem::path& path) {
  const std::u8string u8 = path.u8string();
  return {u8.begin(), u8.end()};
}

std::string withPath(const char* format, const std::filesystem::path& path) {
  std::string text(format);
  const auto at = text.find("%s");
  if (at != std::string::npos) {
    text.replace(at, 2, displayName(path));
  }
  return text;
}

// Filesystem errors carry an English what(); the box shows a French text chosen from
// the error code instead.
std::string frenchText(const std::filesystem::filesystem_error& e) {
  const std::filesystem::path& p = e.path1();
  const std::error_code code = e.code();
  if (code == std::errc::no_such_file_or_directory) {
    return withPath("Le fichier %s est introuvable", p);
  }
  if (code == std::errc::permission_denied || code == std::errc::operation_not_permitted ||
      code == std::errc::read_only_file_system) {
    return withPath("Accès refusé au fichier %s", p);
  }
  if (code == std::errc::no_space_on_device) {
    return withPath("Espace disque insuffisant pour le fichier %s", p);
  }
  if (code == std::errc::file_exists) {
    return withPath("Le fichier %s existe déjà", p);
  }
  if (p.empty()) {
    return "Erreur d'accès au disque";
  }
  return withPath("Erreur d'accès au fichier %s", p);
}

}  // namespace

ScrivleError cannotCreate(const std::filesystem::path& path) {
  return ScrivleError(withPath("Impossible de créer le fichier %s", path));
}

ScrivleError cannotOpen(const std::filesystem::path& path) {
  return ScrivleError(withPath("Impossible d'ouvrir le fichier %s", path));
}

ScrivleError cannotWrite(const std::filesystem::path& path) {
  return ScrivleError(withPath("Erreur d'écriture dans le fichier %s", path));
}

ScrivleError cannotRead(const std::filesystem::path& path) {
  return ScrivleError(withPath("Erreur de lecture du fichier %s", path));
}

bool runCommand(Dialogs& dialogs, const std::function<void()>& command) {
  std::string text;
  try {
    command();
    return true;
  } catch (const ScrivleError& e) {
    text = e.what();
  } catch (const std::filesystem::filesystem_error& e) {
    text = frenchText(e);
  } catch (const std::bad_alloc&) {
    text = "Mémoire insuffisante";
  } catch (const std::exception& e) {
    // Not one of ours: its text may be in any language, so say what happened in French
    // and keep the original text for a bug report.
    text = std::string("Erreur inattendue : ") + e.what();
  } catch (...) {
    text = "Erreur inattendue";
  }
  // Outside the handlers: the box may run an event loop, and a command that fails
  // while the box is shown must not find a half-unwound exception.
  dialogs.error(text);
  return false;
}

}  // namespace scrivle
