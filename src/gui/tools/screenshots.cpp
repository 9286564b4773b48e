// twn-screenshots DIR: renders the main window with a few made-up jobs to DIR/main_window.png
// and the help viewer to DIR/help_viewer.png, offscreen, so that the layout can be looked at
// without a display.
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtWidgets/QApplication>
#include <QtWidgets/QTableView>
#include <QtWidgets/QTextBrowser>
#include <cstdio>

#include "gui/help/help_center.h"
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

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: twn-screenshots DIR\n");
    return 2;
  }
  QApplication app(argc, argv);
  const QString dir = QFile::decodeName(argv[1]);
  QDir().mkpath(dir);
  twn::TJobList jobs;
  AddFixtureJobs(jobs);
  twn::gui::MainWindow window(jobs, twn::TJobOrder{});
  window.resize(860, 300);
  window.show();
  window.JobList()->selectRow(1);
  QApplication::processEvents();
  const QString path = dir + "/main_window.png";
  if (!window.grab().save(path)) {
    std::fprintf(stderr, "twn-screenshots: cannot write %s\n", qPrintable(path));
    return 1;
  }
  std::printf("%s\n", qPrintable(path));

  // The help viewer on the main window's page, from the pages copied beside this program.
  twn::gui::HelpCenter help(QCoreApplication::applicationDirPath());
  const QString helpPath = dir + "/help_viewer.png";
  if (!help.ShowTopic(&window, "main_window.html")) {
    std::fprintf(stderr, "twn-screenshots: no help pages beside the program\n");
    return 1;
  }
  QApplication::processEvents();
  if (!help.Viewer()->window()->grab().save(helpPath)) {
    std::fprintf(stderr, "twn-screenshots: cannot write %s\n", qPrintable(helpPath));
    return 1;
  }
  std::printf("%s\n", qPrintable(helpPath));
  return 0;
}
