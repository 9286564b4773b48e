// The main window (with and without the tutorials panel, the status bar with one and with two
// panels, a running job's progress) and the help viewer.
#include <QtCore/QCoreApplication>
#include <QtWidgets/QStatusBar>
#include <QtWidgets/QTableView>
#include <QtWidgets/QTextBrowser>

#include "app/main_commands.h"
#include "gui/help/help_center.h"
#include "gui/host/qt_run_host.h"
#include "gui/main/main_window.h"
#include "gui/tools/screenshot_kit.h"

namespace twn::shots {

namespace {

bool RenderMainWindow(const QString& dir) {
  TFixture fixture;
  gui::TQtRunHost host;
  gui::MainWindow window(fixture.Settings(), host);
  window.SetMaySave(false);
  window.ShowAtStart();  // a first start: columns fitted to their texts
  window.resize(1000, 430);
  bool ok = true;
  window.JobList()->selectRow(1);  // one selected job: two panels
  ok &= Save(window, dir, "main_window");
  window.JobList()->selectAll();  // several: one panel with the counts
  window.Run(cmShowTutorials);
  ok &= Save(window, dir, "main_window_no_tutorials");
  window.JobList()->clearSelection();
  ok &= Save(*window.statusBar(), dir, "status_bar_counts");
  window.JobList()->selectRow(0);
  ok &= Save(*window.statusBar(), dir, "status_bar_one_job");

  // The help viewer on the main window's page, from the pages copied beside this program.
  gui::HelpCenter help(QCoreApplication::applicationDirPath());
  if (!help.ShowTopic(&window, "main_window.html")) {
    std::fprintf(stderr, "twn-screenshots: no help pages beside the program\n");
    return false;
  }
  return Save(*help.Viewer()->window(), dir, "help_viewer") && ok;
}

const bool registered = RegisterShot("main_window", &RenderMainWindow);

}  // namespace

}  // namespace twn::shots
