// Scrivle: start-up in the order the windows depend on each other.
#include <QApplication>
#include <QTimer>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/main_u.h"
#include "compress/zip.h"
#include "desktop/app_icon_u.h"
#include "options/setup_u.h"
#include "platform/arguments.h"
#include "platform/dialogs_u.h"
#include "platform/files.h"
#include "platform/font_preload.h"
#include "platform/resource_icon_u.h"
#include "platform/scripted_dialogs.h"
#include "platform/translations_u.h"
#include "preview/export_u.h"
#include "preview/source.h"
#include "tools/index_u.h"
#include "tools/tabl_u.h"

int main(int argc, char** argv) {
  scrivle::writesPastTheSizeLimitFail();
  std::vector<std::string> args = scrivle::programArguments(argc, argv);
  if (args.empty() || args[0] != "/preview") args.resize(std::min<std::size_t>(args.size(), 2));
  const scrivle::StartRequest request = scrivle::parseCommandLine(args);
  if (request.kind == scrivle::StartRequest::Preview) {
    // No window and no display: the image is drawn in memory.
    auto registry = scrivle::openUserRegistry([](const std::string&) {});
    return scrivle::runPreviewCommand(request.previewArgs, scrivle::storedDefaultExt(*registry),
                                      std::cerr);
  }
  // Beside the toolkit's start, which takes longer.
  scrivle::FontConfigPreload fonts;
  QApplication app(argc, argv);
  QApplication::setApplicationName("Scrivle");
  scrivle::installQtTranslations(app);
  QApplication::setWindowIcon(scrivle::applicationIcon());
  scrivle::readStandardIconsWhenShown();

  scrivle::QtDialogs dialogs;
  // Process tests answer the boxes from a script named by the environment.
  const std::unique_ptr<scrivle::Dialogs> scripted = scrivle::ScriptedDialogs::fromEnvironment();
  scrivle::Dialogs& boxes = scripted ? *scripted : dialogs;
  fonts.wait();  // the frame measures its first fonts
  scrivle::Tmain main(boxes, request);
  dialogs.setParent(&main);
  scrivle::Tindex index(&main);
  main.setBookmarksWindow(&index);
  scrivle::TTable table(&main);
  main.setCharacterTable(&table);
  scrivle::TOptions options(&main);  // loads the settings and has the frame apply them
  main.setOptionsDialog(&options);

  if (request.kind == scrivle::StartRequest::Zip) {
    try {
      scrivle::ZipFile(request.path, boxes);
    } catch (...) {
      // Compress-only mode ends quietly whatever happened.
    }
    return 0;
  }
  // Mapped maximized at once, as FormActivate leaves it: one first picture at the final size
  // instead of a small window drawn, then maximized and drawn again.
  main.showMaximized();
  QTimer::singleShot(0, &main, [&main] { main.FormActivate(); });
  return QApplication::exec();
}
