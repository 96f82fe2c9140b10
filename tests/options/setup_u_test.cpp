// The options dialog on the real main window and the real registry store (a file under
// a temporary folder), with scripted answers for every box.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/main_u.h"
#include "desktop/desktop.h"
#include "document/child_u.h"
#include "editor/editor_view_u.h"
#include "options/setup_u.h"
#include "registry/registry_file.h"
#include "settings/parametre.h"
#include "support/fake_dialogs.h"
#include "support/temp_files.h"
#include "tags/vocabulary.h"
#include "tools/index_u.h"

namespace scrivle {
namespace {

namespace fs = std::filesystem;
using test::FakeDialogs;
using test::slurp;
constexpr ColorRef kGreen = 0x00008000;

class OptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir_ / "cwd");
    std::ofstream(dir_ / "cwd" / "Scrivle.exe") << "x";
    oldCwd_ = fs::current_path();
    fs::current_path(dir_ / "cwd");
    setenv("SCRIVLE_REGISTRY", (dir_ / "registry.reg").c_str(), 1);
    setenv("XDG_STATE_HOME", (dir_ / "state").c_str(), 1);
    setenv("XDG_DATA_HOME", (dir_ / "data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);
    setenv("XDG_TEMPLATES_DIR", (dir_ / "templates").c_str(), 1);
    unsetenv("SCRIVLE_AUTOSAVE_TIME");
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    dialogs_ = std::make_unique<FakeDialogs>();
    main_ = std::make_unique<Tmain>(*dialogs_);
    main_->setBookmarksWindow(new Tindex(main_.get()));
    options_ = new TOptions(main_.get());  // loads the settings: a first run
    options_->setHost(main_.get());
  }
  void TearDown() override {
    for (TChild* c : main_->children()) c->model().setModified(false);
    main_.reset();
    dialogs_.reset();
    QLocale::setDefault(QLocale::c());
    fs::current_path(oldCwd_);
    for (const char* v :
         {"SCRIVLE_REGISTRY", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_TEMPLATES_DIR"}) {
      unsetenv(v);
    }
  }

  TOptions& show() {
    options_->hide();
    options_->show();
    return *options_;
  }
  // Clicks as a person would: on the page that holds the button.
  void click(QAbstractButton* b) {
    for (int i = 0; i < options_->PageControl1->count(); ++i) {
      if (options_->PageControl1->widget(i)->isAncestorOf(b)) {
        options_->PageControl1->setCurrentIndex(i);
      }
    }
    QApplication::processEvents();  // lays the page out
    // Near the left edge: a wide box only reacts on its mark and its text.
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(std::min(8, b->width() / 2), b->height() / 2));
  }
  std::optional<RegValue> stored(RegRoot root, std::string_view key, std::string_view name) {
    FileRegistry fresh(dir_ / "registry.reg");
    return fresh.read(root, key, name);
  }

  test::TempDir temp_;
  const fs::path dir_ = temp_.path();
  fs::path oldCwd_;
  std::unique_ptr<FakeDialogs> dialogs_;
  std::unique_ptr<Tmain> main_;
  TOptions* options_ = nullptr;
};

// The dialog opens at the same place each time: centred at first, then where it was
// last closed (also after the person moved it).
TEST_F(OptionsTest, OpensAtTheSamePlaceEachTime) {
  TOptions& o = show();
  const QPoint first = o.pos();
  const QRect screen = o.screen()->availableGeometry();
  EXPECT_LE((o.frameGeometry().center() - screen.center()).manhattanLength(), 4);
  o.hide();
  o.show();
  EXPECT_EQ(o.pos(), first);
  const QPoint moved = first + QPoint(-30, 25);
  o.move(moved);
  o.hide();
  o.show();
  EXPECT_EQ(o.pos(), moved);
  o.hide();
}

TEST_F(OptionsTest, OkWithoutChangesWritesNothingAndApplyWritesTheControls) {
  EXPECT_EQ(AppSettings.DefaultExt, "9xt");
  const std::string before = slurp(dir_ / "registry.reg");
  TOptions& o = show();
  EXPECT_EQ(o.windowTitle(), "Options - Scrivle");
  EXPECT_EQ(o.EditTimer->text(), "5");
  EXPECT_FALSE(o.AppBtn->isEnabled());
  EXPECT_TRUE(o.Check_Def->isChecked());
  click(o.OKBtn);
  EXPECT_FALSE(o.isVisible());
  EXPECT_EQ(slurp(dir_ / "registry.reg"), before);

  show();
  click(o.RadioExt[0]);
  o.EditMenu[2]->clear();
  o.EditDefaultName->clear();
  QTest::keyClicks(o.EditDefaultName, "abcdefghijk");  // eight bytes at most
  EXPECT_TRUE(o.AppBtn->isEnabled());
  click(o.AppBtn);
  EXPECT_FALSE(o.AppBtn->isEnabled());
  EXPECT_EQ(AppSettings.DefaultExt, "89t");
  EXPECT_EQ(AppSettings.DefaultName, "abcdefgh");
  EXPECT_EQ(stored(RegRoot::CurrentUser, "\\Software\\Scrivle\\Options", "DefaultExt"),
            RegValue::ofString("89t"));
  EXPECT_EQ(main_->bookmarksWindow()->geometry.width, 328);
  // An empty title name keeps the caption "Titre 3", at Apply and at every activation
  // after it, so that its button and menu item never vanish.
  EXPECT_EQ(main_->action("Menu3Action")->text(), "Titre 3");
  EXPECT_EQ(main_->action("Menu3Action")->toolTip(), "Titre 3");
  main_->FormActivate();
  EXPECT_EQ(main_->action("Menu3Action")->text(), "Titre 3");
  EXPECT_EQ(main_->action("Menu3Action")->statusTip(), "Titre 3");
}

TEST_F(OptionsTest, ColourPagesDefaultsAndSameForAll) {
  main_->show();
  TChild* doc = main_->NouveauActionExecute();
  doc->model().load("#U&L x");
  TOptions& o = show();
  TOptions::StyleRow& u = o.RowsDiese[3];  // '#U'
  ASSERT_EQ(u.Btn->objectName(), "Btn_U");
  EXPECT_FALSE(u.Btn->isEnabled());  // "Tous identiques" is on
  EXPECT_TRUE(o.Row_All.Btn->isEnabled());
  click(o.Check_All);
  EXPECT_TRUE(u.Btn->isEnabled());
  EXPECT_FALSE(o.Row_All.Btn->isEnabled());
  EXPECT_FALSE(o.Check_Def->isChecked());

  // A '&' colour unchecks its page's box; the bookmark colour unchecks none.
  click(o.Check__All);  // '&' tags take their own rows
  o.Check__Def->setChecked(true);
  dialogs_->expectColour(kGreen);
  click(o.RowsEt[4].Btn);  // '&L'
  EXPECT_EQ(TOptions::captionColour(o.RowsEt[4].Btn), kGreen);
  EXPECT_FALSE(o.Check__Def->isChecked());
  o.Check_Def->setChecked(true);
  dialogs_->expectColour(kGreen);
  click(o.RowBook.Btn);
  EXPECT_TRUE(o.Check_Def->isChecked());
  dialogs_->expectColour(std::nullopt);  // cancelled: nothing changes
  click(u.Btn);
  EXPECT_EQ(TOptions::captionColour(u.Btn), clBlue);

  dialogs_->expectColour(kGreen);
  click(u.Btn);
  click(u.CheckGras);
  EXPECT_TRUE(u.Btn->font().bold());
  click(o.AppBtn);
  EXPECT_EQ(AppSettings.StylesDiese[3].Couleur, kGreen);
  EXPECT_TRUE(isSet(AppSettings.StylesDiese[3].Gras));
  EXPECT_EQ(AppSettings.StyleBookmark.Couleur, kGreen);
  EXPECT_EQ(doc->model().styleAt(1).colour, kGreen);  // the open document re-coloured
  EXPECT_TRUE(doc->model().styleAt(1).bold);
  EXPECT_EQ(doc->model().styleAt(3).colour, kGreen);  // '&L'

  // "Défaut" then Apply with the box still checked: every '#' tag blue and plain.
  click(o.Btn_Def);
  EXPECT_TRUE(o.Check_All->isChecked());
  EXPECT_FALSE(u.Btn->isEnabled());
  EXPECT_TRUE(o.Check_Def->isChecked());
  click(o.AppBtn);
  for (const TStyleTag& t : AppSettings.StylesDiese) {
    EXPECT_EQ(t.Couleur, clBlue);
    EXPECT_EQ(t.CouleurPropre, clBlue);
    EXPECT_FALSE(isSet(t.Gras) || isSet(t.Italique));
  }
  EXPECT_TRUE(isSet(AppSettings.TousDiese.idem));
  EXPECT_EQ(doc->model().styleAt(1).colour, clBlue);
  EXPECT_FALSE(doc->model().styleAt(1).bold);
}

TEST_F(OptionsTest, NumberFieldsSaveFolderAndTitleEditors) {
  TOptions& o = show();
  o.EditRecentNb->clear();
  QTest::keyClicks(o.EditRecentNb, "x7");
  EXPECT_EQ(o.EditRecentNb->text(), "7");
  o.EditRecentNb->clear();
  o.EditTimer->clear();
  QTest::keyClicks(o.EditTimer, "999999");
  EXPECT_EQ(o.EditTimer->text(), "9999");  // never more minutes than 32 bits hold
  o.EditTimer->setText("0");
  dialogs_->expectMessage("La valeur du nombre de fichiers récents est ignorée, car non entière");
  o.AppBtnClick();
  EXPECT_EQ(o.EditRecentNb->text(), "4");
  EXPECT_EQ(AppSettings.Nb, 4);
  EXPECT_EQ(AppSettings.AutoSaveTime, 0);

  AppSettings.AutoSaveTime = 90000;
  show();
  EXPECT_EQ(o.EditTimer->text(), "1,5");
  dialogs_->expectMessage(
      "La valeur du nombre de minutes pour l'enregistrement automatique est ignorée, car non "
      "entière");
  const std::string missing = (dir_ / "absent" / "sous").string();
  o.EditSaveDir->setText(QString::fromStdString(missing));
  dialogs_->expectConfirm(Answer::No, "Voulez-vous que Scrivle crée le répertoire " + missing);
  const std::string saveDir = AppSettings.SaveDir;
  o.AppBtnClick();
  EXPECT_EQ(AppSettings.AutoSaveTime, 90000);
  EXPECT_EQ(o.EditTimer->text(), "1,5");
  EXPECT_EQ(AppSettings.SaveDir, saveDir);
  EXPECT_EQ(o.EditSaveDir->text().toStdString(), missing);

  // The title editors type tags as a document does.
  show();
  EditorView* t = o.RichEditMenu[0];
  t->model().load("");
  o.CheckMenuDef->setChecked(true);
  o.AppBtn->setEnabled(false);
  t->setFocus();
  QTest::keyClicks(t, "#U");
  EXPECT_EQ(t->model().text(), "#U");
  EXPECT_EQ(t->model().styleAt(0).colour, clBlue);
  EXPECT_TRUE(o.AppBtn->isEnabled());
  EXPECT_FALSE(o.CheckMenuDef->isChecked());
  click(o.BtnMenuDef);
  EXPECT_EQ(t->model().text(), kBuiltInTitles[0].texte);
  EXPECT_TRUE(o.CheckMenuDef->isChecked());
}

TEST_F(OptionsTest, ApplyRefreshesTheRecentSubmenusState) {
  QMenu* recent = main_->findChild<QMenu*>("Recents");
  ASSERT_NE(recent, nullptr);
  AppSettings.mru[0] = (dir_ / "a.txt").string();
  TOptions& o = show();
  o.EditRecentNb->setText("0");
  o.AppBtnClick();
  EXPECT_FALSE(recent->isEnabled());  // nothing left to show: greyed
  show();
  o.EditRecentNb->setText("3");
  o.AppBtnClick();
  EXPECT_TRUE(recent->isEnabled());
  ASSERT_FALSE(recent->actions().isEmpty());
  EXPECT_TRUE(recent->actions().at(0)->isVisible());
}

TEST_F(OptionsTest, AssociationRegistersAndUninstallRemovesEverything) {
  TOptions& o = show();
  EXPECT_FALSE(o.CheckMenuOuvrir->isEnabled());
  click(o.CheckAsso89);
  EXPECT_TRUE(o.CheckMenuOuvrir->isEnabled());
  click(o.CheckMenuOuvrir);
  click(o.CheckMenuNouveau);
  click(o.AppBtn);
  EXPECT_EQ(stored(RegRoot::ClassesRoot, "\\.89t", ""), RegValue::ofString("TI-Text"));
  EXPECT_TRUE(stored(RegRoot::ClassesRoot, "\\.9xt\\ShellNew", "Data"));
  // The desktop's own files exist on Linux only; on Windows the classes above are the
  // association, and no file is written.
  const bool desktopFiles = desktopIntegrationSupported();
  const fs::path icons = dir_ / "data" / "icons" / "hicolor";
  EXPECT_EQ(fs::exists(dir_ / "data" / "applications" / "scrivle.desktop"), desktopFiles);
  EXPECT_EQ(fs::exists(dir_ / "templates" / "Texte TI.9xt"), desktopFiles);
  if (desktopFiles) {
    EXPECT_GT(fs::file_size(icons / "48x48" / "apps" / "scrivle.png"), 100u);
    EXPECT_GT(fs::file_size(icons / "scalable" / "apps" / "scrivle.svg"), 100u);
    EXPECT_NE(slurp(dir_ / "data" / "applications" / "scrivle.desktop").find("\nIcon=scrivle\n"),
              std::string::npos);
  } else {
    EXPECT_FALSE(fs::exists(dir_ / "data"));
  }

  // The next start derives the flags back.
  TOptions again(main_.get());
  EXPECT_TRUE(isSet(AppSettings.Asso89) && isSet(AppSettings.MenuOuvrir) &&
              isSet(AppSettings.MenuNouveau));
  EXPECT_FALSE(isSet(AppSettings.Asso92) || isSet(AppSettings.MenuZipper));

  click(o.BtnUninst);
  EXPECT_FALSE(stored(RegRoot::CurrentUser, "\\Software\\Scrivle\\Options", "flat"));
  EXPECT_FALSE(stored(RegRoot::ClassesRoot, "\\.89t", ""));
  EXPECT_FALSE(fs::exists(dir_ / "data" / "applications" / "scrivle.desktop"));
  EXPECT_FALSE(fs::exists(dir_ / "templates" / "Texte TI.9xt"));
  EXPECT_FALSE(fs::exists(icons / "48x48" / "apps" / "scrivle.png"));
  EXPECT_FALSE(fs::exists(icons / "scalable" / "apps" / "scrivle.svg"));
  EXPECT_TRUE(fs::exists(dir_ / "cwd"));  // InstallDir is not empty: it stays
}

// Every page drawn, colour buttons showing their colour. With SCRIVLE_SCREENSHOT_DIR set
// (run under Xvfb with QT_QPA_PLATFORM=xcb for the real window system) the pages are
// also saved there for a person to look at.
TEST_F(OptionsTest, PagesDrawAndColourButtonsPreviewTheirStyle) {
  TOptions& o = show();
  const char* out = std::getenv("SCRIVLE_SCREENSHOT_DIR");
  for (int i = 0; i < o.PageControl1->count(); ++i) {
    o.PageControl1->setCurrentIndex(i);
    QApplication::processEvents();
    const QImage page = o.grab().toImage();
    ASSERT_FALSE(page.isNull());
    if (out != nullptr) page.save(QString("%1/options-%2.png").arg(out).arg(i + 1));
  }
  // Pixels of the caption's own colour: the button previews its style.
  auto countNear = [](QPushButton* b, QColor c) {
    const QImage img = b->grab().toImage();
    int n = 0;
    for (int y = 0; y < img.height(); ++y) {
      for (int x = 0; x < img.width(); ++x) {
        const QColor p = img.pixelColor(x, y);
        n += std::abs(p.red() - c.red()) + std::abs(p.green() - c.green()) +
                         std::abs(p.blue() - c.blue()) <
                     60
                 ? 1
                 : 0;
      }
    }
    return n;
  };
  o.PageControl1->setCurrentIndex(1);
  QApplication::processEvents();
  EXPECT_GT(countNear(o.Row_All.Btn, Qt::blue), 0);
  o.PageControl1->setCurrentIndex(2);
  QApplication::processEvents();
  EXPECT_GT(countNear(o.Row__All.Btn, Qt::red), 0);
  EXPECT_EQ(countNear(o.Row__All.Btn, Qt::blue), 0);
}

// At the size the dialog opens with, no page caption is cut short.
TEST_F(OptionsTest, EveryTabCaptionShowsInFull) {
  TOptions& o = show();
  QApplication::processEvents();
  const QTabBar* bar = o.PageControl1->tabBar();
  const QFontMetrics fm(bar->font());
  ASSERT_EQ(bar->count(), 6);
  for (int i = 0; i < bar->count(); ++i) {
    QString text = bar->tabText(i);
    text.replace(QStringLiteral("&&"), QStringLiteral("&"));
    EXPECT_GE(bar->tabRect(i).width(), fm.horizontalAdvance(text)) << text.toStdString();
    EXPECT_LE(bar->tabRect(i).right(), o.PageControl1->width()) << text.toStdString();
  }
}

// Apply has the frame put the settings into the open windows: scroll bars, flat buttons,
// the auto-save timers of the documents with unsaved changes only, and the new tag styles
// in the coloured documents.
TEST_F(OptionsTest, ApplyPutsTheSettingsIntoTheOpenWindows) {
  main_->show();
  TChild* plain = main_->NouveauActionExecute();
  TChild* typed = main_->NouveauActionExecute();
  typed->model().replaceSelection("#1x");  // modified, not coloured yet
  ASSERT_NE(typed->model().styleAt(0), charStyleOf(AppSettings.StylesDiese[0]));
  ASSERT_TRUE(main_->colourOn());
  ASSERT_TRUE(isSet(AppSettings.AutoSave));
  const bool scroll = plain->Richedit->verticalScrollBarOn();
  auto* button = main_->findChild<QToolBar*>("PageScroller2")->findChild<QToolButton*>();
  ASSERT_NE(button, nullptr);
  const bool flat = button->autoRaise();

  TOptions& o = show();
  click(o.CheckEnvirScroll);
  click(o.CheckEnvirFlat);
  click(o.CheckTimer);  // auto-save off
  click(o.Check_All);   // every '#' tag as the family: the styles changed
  click(o.AppBtn);
  for (TChild* c : {plain, typed}) {
    EXPECT_NE(c->Richedit->verticalScrollBarOn(), scroll);
    EXPECT_FALSE(c->Timer->isActive());
  }
  EXPECT_NE(button->autoRaise(), flat);
  EXPECT_EQ(typed->model().styleAt(0), charStyleOf(AppSettings.StylesDiese[0]));

  click(o.CheckTimer);  // auto-save on again
  click(o.AppBtn);
  EXPECT_TRUE(typed->Timer->isActive());
  EXPECT_FALSE(plain->Timer->isActive());  // nothing to protect
  o.hide();
}

}  // namespace
}  // namespace scrivle
