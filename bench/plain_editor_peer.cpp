// The peer of the process-level benchmarks: the least a Qt editor does to show a file
// named on the command line (a QPlainTextEdit holding its bytes, titled with its name).
// scripts/bench.sh starts it and Scrivle in the same X session and compares them. Its
// window opens maximized, as Scrivle's does: both fill the same pixels.
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QPlainTextEdit edit;
  if (argc > 1) {
    QFile f(QString::fromLocal8Bit(argv[1]));
    if (f.open(QIODevice::ReadOnly)) edit.setPlainText(QString::fromLatin1(f.readAll()));
    edit.setWindowTitle(QFileInfo(f).fileName() + QStringLiteral(" - peer"));
  }
  edit.showMaximized();
  return QApplication::exec();
}
