// The preview as images and as a pane: the golden images of the sample documents, the
// "/preview" command and its failures, and the pane beside a real frame.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QImage>
#include <QMdiArea>
#include <QMenu>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/main_u.h"
#include "document/child_u.h"
#include "document/tifile.h"
#include "editor/editor_view_u.h"
#include "editor/text_model.h"
#include "preview/export_u.h"
#include "preview/pane_u.h"
#include "preview/source.h"
#include "settings/parametre.h"
#include "support/fake_dialogs.h"
#include "support/main_window_u.h"
#include "support/temp_files.h"
#include "support/temp_registry.h"

namespace scrivle {
namespace {

namespace fs = std::filesystem;

const fs::path kSource = SCRIVLE_SOURCE_DIR;

using test::slurp;

QImage drawFile(const fs::path& file, int model) {
  PreviewLayout layout(screenWidth(model));
  layout.setText(slurp(file));
  return previewImage(renderWholePreview(layout), kPrintInk, kPrintPaper);
}

// The committed images must be what the sample texts give today. After a change of the
// fonts or the layout, regenerate them with
//   build/scrivle /preview tests/data/preview/sample-89.txt docs/preview-89.png 89
//   build/scrivle /preview tests/data/preview/sample-92.txt docs/preview-92.png 92
TEST(PreviewGolden, SampleDocumentsDrawAsTheCommittedImages) {
  for (int model : {89, 92}) {
    const std::string m = std::to_string(model);
    const QImage drawn = drawFile(kSource / "tests/data/preview" / ("sample-" + m + ".txt"), model);
    const QImage golden(
        QString::fromStdString((kSource / "docs" / ("preview-" + m + ".png")).string()));
    ASSERT_FALSE(golden.isNull()) << "docs/preview-" << m << ".png is missing";
    EXPECT_EQ(golden.width(), screenWidth(model));
    ASSERT_EQ(golden.size(), drawn.size()) << model;
    int differ = 0;
    for (int y = 0; y < golden.height(); ++y) {
      for (int x = 0; x < golden.width(); ++x) {
        differ += (golden.pixel(x, y) & 0xFFFFFF) != (drawn.pixel(x, y) & 0xFFFFFF) ? 1 : 0;
      }
    }
    EXPECT_EQ(differ, 0) << "docs/preview-" << m << ".png differs";
  }
}

class PreviewCommand : public ::testing::Test {
 protected:
  int run(std::vector<std::string> args, const std::string& defaultExt = "9xt") {
    err_.str({});
    return runPreviewCommand(args, defaultExt, err_);
  }
  std::string path(const char* name) const { return (dir_ / name).string(); }
  test::TempDir temp_;
  const fs::path dir_ = temp_.path();
  std::ostringstream err_;
};

TEST_F(PreviewCommand, WritesTheWholeStripBlackOnWhiteAtTheFilesWidth) {
  const std::string text = slurp(kSource / "tests/data/preview/sample-92.txt");
  std::ofstream(path("essai.92t"), std::ios::binary)
      << writeTiText("essai.92t", "main", "essai", text);
  std::ofstream(path("essai.89t"), std::ios::binary)
      << writeTiText("essai.89t", "main", "essai", text);
  std::ofstream(path("essai.txt"), std::ios::binary) << text;
  const std::pair<const char*, int> cases[] = {{"essai.92t", 240}, {"essai.89t", 160}};
  for (const auto& [name, width] : cases) {
    ASSERT_EQ(run({path(name), path("out.png")}), 0) << err_.str();
    const QImage image(QString::fromStdString(path("out.png")));
    EXPECT_EQ(image.width(), width) << name;
    PreviewLayout layout(width);
    layout.setText(text);
    EXPECT_EQ(image.height(), layout.height());
    bool both = false;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const QRgb p = image.pixel(x, y) & 0xFFFFFF;
        ASSERT_TRUE(p == 0 || p == 0xFFFFFF) << name << " " << x << "," << y;
        both = both || p == 0;
      }
    }
    EXPECT_TRUE(both);
  }
  // Plain text follows the default extension; a third argument forces the model.
  ASSERT_EQ(run({path("essai.txt"), path("out.png")}, "89t"), 0);
  EXPECT_EQ(QImage(QString::fromStdString(path("out.png"))).width(), 160);
  ASSERT_EQ(run({path("essai.89t"), path("out.png"), "92"}), 0);
  EXPECT_EQ(QImage(QString::fromStdString(path("out.png"))).width(), 240);
}

TEST_F(PreviewCommand, FailsCleanlyWithAFrenchMessageAndNoImage) {
  std::ofstream(path("old.png"), std::ios::binary) << "ancienne image";
  std::ofstream(path("abime.89t"), std::ios::binary) << "**TI89** trop court";
  std::ofstream(path("essai.txt"), std::ios::binary) << "texte";
  fs::create_directories(dir_ / "dossier.89t");
  struct Case {
    std::vector<std::string> args;
    const char* message;
  };
  const Case cases[] = {
      {{path("absent.89t"), path("old.png")}, "n'existe pas"},
      {{path("dossier.89t"), path("old.png")}, "Impossible d'ouvrir le fichier"},
      {{path("abime.89t"), path("old.png")}, "n'est pas un texte de calculatrice"},
      {{path("essai.txt"), path("old.png"), "91"}, "Usage"},
      {{path("essai.txt")}, "Usage"},
      {{path("essai.txt"), path("absent/out.png")}, "Impossible de créer le fichier"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(run(c.args), 1) << c.message;
    EXPECT_NE(err_.str().find(c.message), std::string::npos) << err_.str();
    EXPECT_EQ(slurp(path("old.png")), "ancienne image");
  }
  // Nothing but the files the test made.
  int files = 0;
  for (const auto& e : fs::recursive_directory_iterator(dir_)) files += e.is_regular_file() ? 1 : 0;
  EXPECT_EQ(files, 3);
}

TEST(PreviewImage, ZoomIsWholeAndCrisp) {
  PreviewLayout layout(kTi89Width);
  layout.setText("#UAb&C");
  const PreviewBitmap b = renderWholePreview(layout);
  const QImage one = previewImage(b, kPrintInk, kPrintPaper, 1);
  const QImage three = previewImage(b, kPrintInk, kPrintPaper, 3);
  ASSERT_EQ(three.size(), one.size() * 3);
  for (int y = 0; y < three.height(); ++y) {
    for (int x = 0; x < three.width(); ++x) {
      ASSERT_EQ(three.pixel(x, y), one.pixel(x / 3, y / 3)) << x << "," << y;
    }
  }
}

TEST(PreviewSettingsStore, ReadsBackAndIgnoresNonsense) {
  test::TempRegistry temp;
  auto registry = openUserRegistry({});
  EXPECT_EQ(loadPreviewSettings(*registry), PreviewSettings{});
  savePreviewSettings(*registry, {89, 4, true});
  EXPECT_EQ(loadPreviewSettings(*registry), (PreviewSettings{89, 4, true}));
  registry->write(RegRoot::CurrentUser, kApercuKey, "Zoom", RegValue::ofDword(9));
  registry->write(RegRoot::CurrentUser, kApercuKey, "Modele", RegValue::ofString("89"));
  EXPECT_EQ(loadPreviewSettings(*registry), (PreviewSettings{0, 2, true}));
  EXPECT_EQ(storedDefaultExt(*registry), "9xt");
  registry->write(RegRoot::CurrentUser, "\\Software\\Scrivle\\Options", "DefaultExt",
                  RegValue::ofString("89t"));
  EXPECT_EQ(storedDefaultExt(*registry), "89t");
}

// A hidden preview costs a start nothing: the dock is made when first shown, with the
// document then active; one left open is made, shown, with the window.
class PreviewDockTest : public test::MainWindowFixture {};

TEST_F(PreviewDockTest, MadeWhenFirstShownWithTheActiveDocument) {
  EXPECT_EQ(main_->findChild<QDockWidget*>("Apercu"), nullptr);
  EXPECT_FALSE(main_->action("ApercuAction")->isChecked());
  TChild* first = main_->NouveauActionExecute();
  TChild* second = main_->NouveauActionExecute();
  EXPECT_EQ(main_->findChild<QDockWidget*>("Apercu"), nullptr);
  // Another window stores a zoom meanwhile: the pane made now shows it.
  savePreviewSettings(*openUserRegistry({}), {89, 3, false});

  main_->action("ApercuAction")->trigger();
  auto* dock = main_->findChild<QDockWidget*>("Apercu");
  ASSERT_NE(dock, nullptr);
  EXPECT_TRUE(dock->isVisible());
  PreviewPane* pane = main_->previewPane();
  EXPECT_EQ(pane->settings().zoom, 3);
  EXPECT_EQ(pane->model(), 89);
  EXPECT_EQ(pane->document(), second);
  EXPECT_TRUE(pane->isEnabled());
  main_->findChild<QMdiArea*>()->setActiveSubWindow(first);
  EXPECT_EQ(pane->document(), first);

  main_->action("ApercuAction")->trigger();
  EXPECT_FALSE(dock->isVisible());
  EXPECT_EQ(main_->findChildren<QDockWidget*>("Apercu").size(), 1);

  // Left open: the next window makes it at once, shown.
  main_->action("ApercuAction")->trigger();
  test::closeQuietly(main_);
  main_ = std::make_unique<Tmain>(dialogs_);
  main_->show();
  auto* again = main_->findChild<QDockWidget*>("Apercu");
  ASSERT_NE(again, nullptr);
  EXPECT_TRUE(again->isVisible());
  EXPECT_TRUE(main_->action("ApercuAction")->isChecked());
}

class PreviewPaneTest : public test::MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    pane_ = main_->previewPane();
  }
  QImage shown() {
    QApplication::processEvents();
    return pane_->strip()->viewport()->grab().toImage();
  }
  PreviewPane* pane_ = nullptr;
};

TEST_F(PreviewPaneTest, FollowsTheActiveDocumentLive) {
  ASSERT_NE(pane_, nullptr);
  EXPECT_FALSE(pane_->isEnabled());
  main_->action("ApercuAction")->trigger();
  auto* dock = main_->findChild<QDockWidget*>("Apercu");
  ASSERT_NE(dock, nullptr);
  EXPECT_EQ(dock->windowTitle(), QString::fromUtf8("Aperçu"));
  EXPECT_TRUE(dock->isVisible());
  EXPECT_EQ(main_->dockWidgetArea(dock), Qt::RightDockWidgetArea);

  TChild* c = main_->NouveauActionExecute();
  EXPECT_TRUE(pane_->isEnabled());
  EXPECT_EQ(pane_->document(), c);
  c->Richedit->setFocus();
  QTest::keyClicks(c->Richedit, "abc");
  const QImage before = shown();
  EXPECT_EQ(pane_->exportImage().height(), 8 * pane_->settings().zoom);
  // Typing "#I" in front makes the line inverse: the pane's pixels change at once.
  c->model().setSel(0, 0);
  QTest::keyClicks(c->Richedit, "#I");
  EXPECT_EQ(c->model().text(), "#Iabc");
  EXPECT_NE(shown(), before);
  // Undo, paste-like replacements and program inserts go through the same path.
  c->model().replace(0, 2, "\r\n\r\n");
  EXPECT_EQ(pane_->exportImage().height(), 3 * 8 * pane_->settings().zoom);

  // Closing the last document empties and disables the pane.
  dialogs_.expectConfirm(Answer::No);
  c->close();
  QApplication::processEvents();
  EXPECT_FALSE(pane_->isEnabled());
  EXPECT_EQ(pane_->document(), nullptr);
}

TEST_F(PreviewPaneTest, AHiddenPaneLaysOutOnlyWhenShown) {
  // Hidden (as it starts by default): activating a document costs no layout.
  TChild* a = main_->NouveauActionExecute();
  a->model().load("#Ipremier#I\r\n&-\r\ndocument\r\nplus long");
  TChild* b = main_->NouveauActionExecute();
  b->model().load("second\r\ndocument");
  main_->mdiArea()->setActiveSubWindow(a);
  QApplication::processEvents();
  EXPECT_EQ(pane_->document(), a);
  EXPECT_LE(pane_->strip()->layout().paragraphs().size(), 1U);
  // Shown: the active document's whole text, as a layout of its own gives it.
  main_->action("ApercuAction")->trigger();
  PreviewLayout expected(kTi92Width);
  expected.setText(a->model().text());
  EXPECT_EQ(pane_->strip()->layout().paragraphs().size(), expected.paragraphs().size());
  EXPECT_EQ(pane_->strip()->layout().height(), expected.height());
  // While shown, the other one is laid out at once.
  main_->mdiArea()->setActiveSubWindow(b);
  QApplication::processEvents();
  expected.setText(b->model().text());
  EXPECT_EQ(pane_->strip()->layout().text(), b->model().text());
  EXPECT_EQ(pane_->strip()->layout().height(), expected.height());
}

TEST_F(PreviewPaneTest, AClickMovesTheCaretAndFocusesTheEditor) {
  main_->action("ApercuAction")->trigger();
  TChild* c = main_->NouveauActionExecute();
  c->model().load("premier\r\n#Usecond#U\r\ntroisieme");
  c->model().setSel(0, 0);
  QApplication::processEvents();
  PreviewStrip* strip = pane_->strip();
  const int zoom = pane_->settings().zoom;
  // The third character of the second line ("c" of "second").
  const QPoint at(PreviewStrip::kGutter + (2 * 6 + 2) * zoom, (8 + 4) * zoom);
  strip->setFocus();
  QTest::mouseClick(strip->viewport(), Qt::LeftButton, {}, at);
  EXPECT_EQ(c->model().caret(), 11 + 2);
  EXPECT_TRUE(c->Richedit->hasFocus() || QApplication::focusWidget() == c->Richedit);
  // Past a line's end: its end.
  QTest::mouseClick(strip->viewport(), Qt::LeftButton, {},
                    QPoint(PreviewStrip::kGutter + 150 * zoom, 2 * zoom));
  EXPECT_EQ(c->model().caret(), 7);
}

TEST_F(PreviewPaneTest, ExportsTheWholeStripAtTheZoomBlackOnWhite) {
  main_->action("ApercuAction")->trigger();
  TChild* c = main_->NouveauActionExecute();
  // Edits made while the pane is hidden show once it is shown again.
  main_->action("ApercuAction")->trigger();
  c->model().load("&C#Ititre#I\r\n&-\r\nfin");
  main_->action("ApercuAction")->trigger();
  const fs::path target = dir_ / "apercu.png";
  dialogs_.expectSave(target);
  emit pane_->strip()->exportRequested();
  const QImage image(QString::fromStdString(target.string()));
  ASSERT_FALSE(image.isNull());
  PreviewLayout layout(kTi92Width);
  layout.setText(c->model().text());
  const int zoom = pane_->settings().zoom;
  EXPECT_EQ(image.size(), QSize(kTi92Width * zoom, static_cast<int>(layout.height()) * zoom));
  EXPECT_EQ(image, previewImage(renderWholePreview(layout), kPrintInk, kPrintPaper, zoom)
                       .convertToFormat(image.format()));
  EXPECT_EQ(dialogs_.lastFileOptions().fileName, "Nouveau1.png");
}

TEST_F(PreviewPaneTest, SavingUnderACalculatorNameSwitchesTheModel) {
  main_->action("ApercuAction")->trigger();
  TChild* c = main_->NouveauActionExecute();
  c->model().load("texte");
  EXPECT_EQ(pane_->model(), 92);
  dialogs_.expectSave(dir_ / "essai.89t");
  main_->action("EnregistrersousAction")->trigger();
  EXPECT_EQ(c->fileName(), "essai.89t");
  EXPECT_EQ(pane_->model(), 89);
  EXPECT_EQ(pane_->strip()->layout().width(), kTi89Width);
}

TEST_F(PreviewPaneTest, ModelZoomAndVisibilityAreStoredAndPerDocument) {
  main_->action("ApercuAction")->trigger();
  TChild* a = main_->NouveauActionExecute();
  EXPECT_EQ(pane_->model(), 92);  // default extension "9xt"
  auto* modelBox = pane_->findChild<QComboBox*>("PreviewModel");
  auto* zoomBox = pane_->findChild<QComboBox*>("PreviewZoom");
  ASSERT_NE(modelBox, nullptr);
  ASSERT_NE(zoomBox, nullptr);
  modelBox->setCurrentIndex(1);
  EXPECT_EQ(pane_->model(), 89);
  EXPECT_EQ(pane_->strip()->layout().width(), 160);
  zoomBox->setCurrentIndex(2);
  EXPECT_EQ(pane_->strip()->zoom(), 3);
  auto registry = openUserRegistry({});
  EXPECT_EQ(loadPreviewSettings(*registry), (PreviewSettings{89, 3, true}));
  // Another document keeps its own choice once it made one; the first keeps TI-89.
  TChild* b = main_->NouveauActionExecute();
  modelBox->setCurrentIndex(2);
  EXPECT_EQ(pane_->model(), 92);
  main_->mdiArea()->setActiveSubWindow(a);
  QApplication::processEvents();
  EXPECT_EQ(pane_->document(), a);
  EXPECT_EQ(pane_->model(), 89);
  (void)b;
  main_->action("ApercuAction")->trigger();
  EXPECT_FALSE(loadPreviewSettings(*registry).visible);
}

}  // namespace
}  // namespace scrivle
