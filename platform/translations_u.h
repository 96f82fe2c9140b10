// Qt's own texts (dialog buttons, the file dialog, context menus of the line edits) in
// the program's language.
#pragma once

class QCoreApplication;
class QTranslator;

namespace scrivle {

// Installs Qt's French translations (qtbase_fr) from the folder QLibraryInfo reports;
// the translator belongs to `app` (with a child of its own for the few texts the
// catalogue lacks, removed with it). nullptr when they are not installed: Qt's texts
// then stay English.
QTranslator* installQtTranslations(QCoreApplication& app);

}  // namespace scrivle
