// The program entry: the application, the main window, the message loop.

#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <csignal>

#include "ui/MainWindow.h"

namespace {

int gSignalPipe[2] = {-1, -1};

void OnTerminate(int) {
  const char byte = 1;
  [[maybe_unused]] ssize_t written = ::write(gSignalPipe[0], &byte, 1);
}

// A terminate or interrupt signal (logout, Ctrl+C in a terminal) closes the window the normal way, so the
// settings are still written.
void CloseOnTerminate(QWidget* window) {
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, gSignalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(gSignalPipe[1], QSocketNotifier::Read, window);
  QObject::connect(notifier, &QSocketNotifier::activated, window, [window] {
    char byte;
    [[maybe_unused]] ssize_t got = ::read(gSignalPipe[1], &byte, 1);
    window->close();
  });
  struct sigaction action {};
  action.sa_handler = OnTerminate;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &action, nullptr);
  ::sigaction(SIGINT, &action, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("packwright"));
  int result;
  {
    pw::TfrmMain window(pw::TfrmMain::DefaultSettingsPath());
    CloseOnTerminate(&window);
    window.show();
    // An archive named on the command line is opened as if typed into the path box.
    const QStringList args = QApplication::arguments();
    if (args.size() > 1) window.OpenFromCommandLine(args.at(1));
    result = QApplication::exec();
  }
  return result;
}
