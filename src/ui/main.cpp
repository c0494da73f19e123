// The program entry: the application, the main window, the message loop.

#include <QApplication>
#include <QIcon>

#include "ui/MainWindow.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("packwright"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icon.png")));
  pw::TfrmMain window;
  window.show();
  // An archive named on the command line is opened as if typed into the path box.
  const QStringList args = QApplication::arguments();
  if (args.size() > 1) window.OpenFromCommandLine(args.at(1));
  return QApplication::exec();
}
