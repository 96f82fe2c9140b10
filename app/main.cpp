// Scrivle: start-up in the order the windows depend on each other.
#include <QApplication>
#include <QTimer>
#include <csignal>
#include <memory>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/main_u.h"
#include "platform/translations_u.h"
#include "compress/zip.h"
#include "desktop/app_icon_u.h"
#include "platform/dialogs_u.h"
#include "platform/scripted_dialogs.h"
#include "settings/setup_u.h"
#include "tools/goto_u.h"
#include "tools/index_u.h"
#include "tools/tabl_u.h"

int main(int argc, char** argv) {
#ifdef SIGXFSZ
  // Past a file-size limit a write must fail with an error the save reports, not end the
  // program with every open document.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  QApplication app(argc, argv);
  QApplication::setApplicationName("Scrivle");
  scrivle::installQtTranslations(app);
  QApplication::setWindowIcon(scrivle::applicationIcon());
  std::vector<std::string> args;
  for (int i = 1; i < argc && i <= 2; ++i) args.emplace_back(argv[i]);
  const scrivle::StartRequest request = scrivle::parseCommandLine(args);

  scrivle::QtDialogs dialogs;
  // Process tests answer the boxes from a script named by the environment.
  const std::unique_ptr<scrivle::Dialogs> scripted = scrivle::ScriptedDialogs::fromEnvironment();
  scrivle::Dialogs& boxes = scripted ? *scripted : dialogs;
  scrivle::Tmain main(boxes, request);
  dialogs.setParent(&main);
  scrivle::Tindex index(&main);
  main.index = &index;
  scrivle::TTable table(&main);
  main.table = &table;
  scrivle::TOptions options(&main);  // loads the settings
  options.setMainWindow(&main);
  main.Options = &options;
  scrivle::TGoToDlg goToDlg(&main);
  main.goToDlg = &goToDlg;

  if (request.kind == scrivle::StartRequest::Zip) {
    try {
      scrivle::ZipFile(request.path, boxes);
    } catch (...) {
      // Compress-only mode ends quietly whatever happened.
    }
    return 0;
  }
  main.show();
  QTimer::singleShot(0, &main, [&main] { main.FormActivate(); });
  return QApplication::exec();
}
