#include "compress/zip.h"

#include "document/tifile.h"
#include "platform/dialogs.h"

namespace scrivle {

void ZipFile(const std::filesystem::path& path, Dialogs& dialogs) {
  if (!isCalcExtension(path)) {
    dialogs.message("Vous devez enregistrer le texte au format TI !!!");
    return;
  }
  // The compressor itself is not written yet: nothing is produced.
}

}  // namespace scrivle
