#include "platform/translations_u.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstring>

namespace scrivle {
namespace {

// The few texts of Qt 6.4 that qtbase_fr lacks (the file dialog's type column names
// folders with a disambiguation the catalogue does not have).
class MissingQtTexts : public QTranslator {
 public:
  using QTranslator::QTranslator;
  bool isEmpty() const override { return false; }
  QString translate(const char* context, const char* source, const char* /*disambiguation*/,
                    int /*n*/) const override {
    if (context == nullptr || source == nullptr ||
        std::strcmp(context, "QAbstractFileIconProvider") != 0) {
      return {};
    }
    if (std::strcmp(source, "Folder") == 0) return QStringLiteral("Dossier");
    if (std::strcmp(source, "Drive") == 0) return QStringLiteral("Lecteur");
    if (std::strcmp(source, "File") == 0) return QStringLiteral("Fichier");
    return {};
  }
};

}  // namespace

QTranslator* installQtTranslations(QCoreApplication& app) {
  auto* translator = new QTranslator(&app);
  if (!translator->load(QStringLiteral("qtbase_fr"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return nullptr;
  }
  // The supplement is asked first (the last installed is), the catalogue after it.
  auto* missing = new MissingQtTexts(translator);
  QCoreApplication::installTranslator(translator);
  QCoreApplication::installTranslator(missing);
  return translator;
}

}  // namespace scrivle
