// Measures the window with a large archive: opening it (listing included), drawing the first page, and
// scrolling page by page to the end of the list, with the offscreen platform. Prints milliseconds.

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTreeView>
#include <cstdio>

#include "ui/MainWindow.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) return 2;
  pw::TfrmMain window;
  window.resize(1200, 800);
  window.show();
  QApplication::processEvents();
  auto* list = window.findChild<QTreeView*>("vstDataList");
  QElapsedTimer timer;
  timer.start();
  window.OpenFromCommandLine(QString::fromLocal8Bit(argv[1]));
  const qint64 open = timer.elapsed();
  timer.restart();
  list->viewport()->grab();
  const qint64 firstPaint = timer.elapsed();
  // Page by page to the end, painting each page: the worst single step is what a user feels.
  QScrollBar* bar = list->verticalScrollBar();
  qint64 worst = 0, total = 0;
  int pages = 0;
  while (bar->value() < bar->maximum()) {
    QElapsedTimer step;
    step.start();
    bar->setValue(bar->value() + bar->pageStep());
    list->viewport()->grab();
    const qint64 ms = step.elapsed();
    worst = std::max(worst, ms);
    total += ms;
    ++pages;
  }
  timer.restart();
  list->scrollToTop();
  list->scrollToBottom();
  list->viewport()->grab();
  const qint64 jump = timer.elapsed();
  std::printf(
      "rows %d  open %lld ms  first paint %lld ms  %d pages scrolled in %lld ms (worst page %lld ms)  "
      "jump to end %lld ms\n",
      list->model()->rowCount(), static_cast<long long>(open), static_cast<long long>(firstPaint), pages,
      static_cast<long long>(total), static_cast<long long>(worst), static_cast<long long>(jump));
  return 0;
}
