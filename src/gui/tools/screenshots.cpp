// twn-screenshots DIR: renders the windows with a few made-up jobs (one running, some waiting,
// one manual) and the help viewer into DIR/*.png, offscreen, so that the layout can be looked at
// without a display.
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>
#include <QtWidgets/QStatusBar>
#include <QtWidgets/QTableView>
#include <QtWidgets/QTextBrowser>
#include <cstdio>

#include "app/main_commands.h"
#include "gui/help/help_center.h"
#include "gui/host/qt_run_host.h"
#include "gui/main/job_list_model.h"
#include "gui/main/main_window.h"

namespace {

twn::TJob& Add(twn::TJobList& jobs, const char* name, twn::TJobState state, int32_t frequency) {
  auto& job = *jobs.emplace_back(std::make_unique<twn::TJob>(int32_t(jobs.size() + 1), 46000.0));
  job.Data.JobName = name;
  job.Data.Frequency = frequency;
  job.State = state;
  job.bHasLastRun = true;
  job.LastRun = 46000.25;
  job.bHasNextRun = frequency != twn::kFreqManual;
  job.NextRun = 46000.5;
  return job;
}

void AddFixtureJobs(twn::TJobList& jobs) {
  twn::TJob& running = Add(jobs, "Photos to NAS", twn::jsExecuting, twn::kFreqHours);
  running.Progress.Stage = twn::rsCopying;
  running.Progress.KbToCopy = 2'048'000;
  running.Progress.KbCopied = 1'024'512;
  Add(jobs, "Mail archive", twn::jsWaiting, twn::kFreqMinutes).Data.freMinutes = 15;
  Add(jobs, "Documents (USB stick)", twn::jsNothing, twn::kFreqManual).bHasLastRun = false;
  Add(jobs, "Music", twn::jsWaiting, twn::kFreqDaily);
}

bool Save(QWidget& widget, const QString& path) {
  QApplication::processEvents();
  if (!widget.grab().save(path)) {
    std::fprintf(stderr, "twn-screenshots: cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: twn-screenshots DIR\n");
    return 2;
  }
  QApplication app(argc, argv);
  const QString dir = QFile::decodeName(argv[1]);
  QDir().mkpath(dir);
  QTemporaryDir settings_dir;
  twn::TSettings settings(QFile::encodeName(settings_dir.path()).toStdString());
  AddFixtureJobs(settings.Jobs);
  twn::gui::TQtRunHost host;
  twn::gui::MainWindow window(settings, host);
  window.SetMaySave(false);
  window.ShowAtStart();  // a first start: columns fitted to their texts
  window.resize(1000, 430);
  bool ok = true;
  window.JobList()->selectRow(1);  // one selected job: two panels
  ok &= Save(window, dir + "/main_window.png");
  window.JobList()->selectAll();  // several: one panel with the counts
  window.Run(twn::cmShowTutorials);
  ok &= Save(window, dir + "/main_window_no_tutorials.png");
  window.JobList()->clearSelection();
  ok &= Save(*window.statusBar(), dir + "/status_bar_counts.png");
  window.JobList()->selectRow(0);
  ok &= Save(*window.statusBar(), dir + "/status_bar_one_job.png");

  // The help viewer on the main window's page, from the pages copied beside this program.
  twn::gui::HelpCenter help(QCoreApplication::applicationDirPath());
  if (!help.ShowTopic(&window, "main_window.html")) {
    std::fprintf(stderr, "twn-screenshots: no help pages beside the program\n");
    return 1;
  }
  ok &= Save(*help.Viewer()->window(), dir + "/help_viewer.png");
  return ok ? 0 : 1;
}
