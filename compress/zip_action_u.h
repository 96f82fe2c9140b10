// The "&Zipper" command of the main window.
#pragma once

namespace scrivle {

class DocumentHost;

// Compresses the active document's calculator file. A modified document, or one never
// saved, is saved first (Save As for a new one); a cancelled save stops the command and
// a failed one propagates its error to the dispatcher, so nothing stale is compressed.
void ZipActionExecute(DocumentHost& host);

}  // namespace scrivle
