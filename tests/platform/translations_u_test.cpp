#include "platform/translations_u.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <fstream>
#include <memory>

#include "platform/dialogs_u.h"

namespace scrivle {
namespace {

QString plain(QString text) {
  return text.remove(QLatin1Char('&'));
}

// Qt's translations for the duration of one test.
class QtInFrench : public testing::Test {
 protected:
  void SetUp() override {
    translator_ = installQtTranslations(*QCoreApplication::instance());
    ASSERT_NE(translator_, nullptr) << "qtbase_fr.qm missing (qt6-translations-l10n)";
  }
  void TearDown() override {
    if (translator_ != nullptr) {
      QCoreApplication::removeTranslator(translator_);
      delete translator_;
    }
  }
  QTranslator* translator_ = nullptr;
};

// What the dialog lists, as "name:type", sorted.
QStringList listedNames(QFileDialog* dialog) {
  auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
  QStringList names;
  if (view == nullptr || view->model() == nullptr) return names;
  const QModelIndex root = view->rootIndex();
  for (int r = 0; r < view->model()->rowCount(root); ++r) {
    const QModelIndex name = view->model()->index(r, 0, root);
    names << name.data().toString() + QLatin1Char(':') +
                 view->model()->index(r, 2, root).data().toString();
  }
  names.sort();
  return names;
}

TEST_F(QtInFrench, FileDialogSpeaksFrenchAndTousListsNamesWithoutDot) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  std::ofstream(QtDialogs::toPath(dir.filePath(QStringLiteral("LISEZMOI")))) << "x";
  std::ofstream(QtDialogs::toPath(dir.filePath(QStringLiteral("cours.89t")))) << "x";
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("classe")));

  QStringList buttons;
  QString nameLabel;
  QStringList withTous;
  QStringList with89t;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    for (QAbstractButton* b : dialog->findChild<QDialogButtonBox*>()->buttons()) {
      buttons << plain(b->text());
    }
    nameLabel = plain(dialog->findChild<QLabel*>(QStringLiteral("fileNameLabel"))->text());
    // The listing fills in the background: wait for it, within bounds.
    auto waitFor = [&](qsizetype rows, const QString& absent) {
      QElapsedTimer t;
      t.start();
      QStringList names = listedNames(dialog);
      while ((names.size() != rows || names.join('|').contains(absent)) && t.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        names = listedNames(dialog);
      }
      return names;
    };
    withTous = waitFor(3, QStringLiteral("\n"));
    dialog->selectNameFilter(dialog->nameFilters().at(0));
    with89t = waitFor(2, QStringLiteral("LISEZMOI"));
    dialog->reject();
  });
  QtDialogs dialogs;
  FileDialogOptions o;
  o.title = "Ouvrir";
  o.filter = "Textes Ti-89 (*.89t)|*.89t|Tous (*.*)|*.*";
  o.filterIndex = 2;
  o.initialDir = QtDialogs::toPath(dir.path());
  EXPECT_TRUE(dialogs.openFiles(o).empty());

  EXPECT_TRUE(buttons.contains(QStringLiteral("Annuler"))) << buttons.join('|').toStdString();
  EXPECT_TRUE(buttons.contains(QStringLiteral("Ouvrir"))) << buttons.join('|').toStdString();
  EXPECT_EQ(nameLabel, QStringLiteral("Nom de fichier :"));
#ifdef _WIN32
  // On Windows the type column is the shell's own description, in the system's language
  // (an English Wine says "File Folder"), never Qt's untranslated "Folder".
  const QString folder =
      QFileIconProvider().type(QFileInfo(dir.filePath(QStringLiteral("classe"))));
  EXPECT_NE(folder, QStringLiteral("Folder"));
#else
  const QString folder = QStringLiteral("Dossier");
#endif
  ASSERT_EQ(withTous.size(), 3);
  EXPECT_EQ(withTous[0], QStringLiteral("LISEZMOI:") + withTous[0].section(':', 1));
  EXPECT_EQ(withTous[1], QStringLiteral("classe:") + folder);
  EXPECT_TRUE(withTous[2].startsWith(QStringLiteral("cours.89t:")));
  ASSERT_EQ(with89t.size(), 2);
  EXPECT_EQ(with89t[0], QStringLiteral("classe:") + folder);
  EXPECT_TRUE(with89t[1].startsWith(QStringLiteral("cours.89t:")));
}

TEST_F(QtInFrench, LineEditContextMenuIsFrench) {
  QLineEdit edit(QStringLiteral("texte"));
  const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
  QStringList texts;
  for (QAction* a : menu->actions()) {
    if (!a->isSeparator()) texts << plain(a->text()).section(QLatin1Char('\t'), 0, 0);
  }
  EXPECT_TRUE(texts.contains(QStringLiteral("Annuler"))) << texts.join('|').toStdString();
  EXPECT_TRUE(texts.contains(QStringLiteral("Couper"))) << texts.join('|').toStdString();
  EXPECT_TRUE(texts.contains(QStringLiteral("Coller"))) << texts.join('|').toStdString();
  EXPECT_FALSE(texts.contains(QStringLiteral("Cut")));
}

}  // namespace
}  // namespace scrivle
