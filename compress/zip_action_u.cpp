#include "compress/zip_action_u.h"

#include "compress/zip.h"
#include "document/child_u.h"
#include "document/host_u.h"

namespace scrivle {

void ZipActionExecute(DocumentHost& host) {
  TChild* child = host.activeChild();
  if (child == nullptr) {
    return;
  }
  if (child->hasFile()) {
    // The caption's "*" is the document's modified mark. What is compressed is the
    // file, so unsaved changes must reach it first.
    if (child->captionModified() && !child->Enregistrer()) {
      return;
    }
  } else if (!child->EnregistrerSous() || !child->hasFile()) {
    return;  // a new document whose Save As was cancelled
  }
  ZipFile(child->fullPath(), host.dialogs());
}

}  // namespace scrivle
