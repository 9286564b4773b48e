// Times the Visual run grid on a large comparison, offscreen: a generated tree of N files per
// side (default 100,000), then the model reset after the comparison, each sort, and a full
// scroll through the table page by page with every page painted.
//   twn-visual-bench [files-per-side] [work-folder]
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QtCore/QElapsedTimer>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QTableView>
#include <cstdio>
#include <string>

#include "gui/visualrun/visual_run_models.h"
#include "gui/visualrun/visual_run_window.h"
#include "model/method_presets.h"

namespace {

using twn::gui::VisualRunWindow;

// Files of varied names, sizes and times in folders of 500; every third one differs between
// the sides, every seventh exists on one side only.
bool Generate(const std::string& root, int files) {
  for (const char* side : {"/L", "/R"}) {
    mkdir((root + side).c_str(), 0755);
    for (int i = 0; i < files; ++i) {
      if (i % 7 == (side[1] == 'L' ? 3 : 4)) continue;
      const std::string folder = root + side + "/d" + std::to_string(i / 500);
      if (i % 500 < 7) mkdir(folder.c_str(), 0755);  // EEXIST after the first
      const std::string path = folder + "/f" + std::to_string((i * 7919) % 1000003) + ".dat";
      const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (fd < 0) return false;
      const off_t size = (i % 3 == 0 && side[1] == 'R') ? i % 5000 + 1 : i % 5000;
      const bool ok = ftruncate(fd, size) == 0;
      const timespec times[2] = {{1'600'000'000 + i, 0}, {1'600'000'000 + i, 0}};
      futimens(fd, times);
      close(fd);
      if (!ok) return false;
    }
  }
  return true;
}

double Ms(QElapsedTimer& t) {
  const double ms = double(t.nsecsElapsed()) / 1e6;
  t.restart();
  return ms;
}

void WaitForPhase(VisualRunWindow& w, int phase) {
  while (w.Phase() != phase) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int files = argc > 1 ? std::atoi(argv[1]) : 100'000;
  QTemporaryDir temp(argc > 2 ? QString(argv[2]) + "/twn-visual-bench-XXXXXX" : QString());
  const std::string root = QFile::encodeName(temp.path()).toStdString();
  QElapsedTimer t;
  t.start();
  if (!temp.isValid() || !Generate(root, files)) {
    std::fprintf(stderr, "twn-visual-bench: cannot generate the tree in %s\n", root.c_str());
    return 1;
  }
  std::printf("generate %d files per side: %.0f ms\n", files, Ms(t));

  twn::TSettings settings(root);
  twn::gui::TQtRunHost host;
  twn::TJob job(twn::NewJobID());
  job.Data.JobName = "bench";
  twn::ApplyMethod(job.Data, twn::kMethodMirrorL);
  twn::TPairItem pair;
  pair.L_Path = root + "/L";
  pair.R_Path = root + "/R";
  pair.bSubFLD = true;
  job.Data.Pairs.push_back(pair);

  VisualRunWindow w(job, settings, host, nullptr);
  w.resize(1280, 800);
  w.show();
  t.restart();
  w.RunTag(1);
  WaitForPhase(w, twn::vpCompared);
  const double compare = Ms(t);
  QTableView* grid = w.Grid();
  std::printf("rows: %d\ncompare run and first show: %.0f ms\n", grid->model()->rowCount(),
              compare);

  auto* items = w.findChildren<twn::gui::GridModel*>().value(0);
  items->SetShown(true);
  QApplication::processEvents();
  std::printf("model reset and repaint: %.1f ms\n", Ms(t));

  for (int column : {twn::gcLeftSize, twn::gcLeftSize, twn::gcRightDate, twn::gcLeftName}) {
    emit grid->horizontalHeader()->sectionClicked(column);
    grid->viewport()->repaint();
    std::printf("sort by column %d and repaint: %.1f ms\n", column, Ms(t));
  }

  QScrollBar* bar = grid->verticalScrollBar();
  int pages = 0;
  for (int v = 0; v <= bar->maximum(); v += bar->pageStep(), ++pages) {
    bar->setValue(v);
    grid->viewport()->repaint();
  }
  const double scroll = Ms(t);
  std::printf("full scroll: %d pages in %.0f ms (%.2f ms per page)\n", pages, scroll,
              pages ? scroll / pages : 0.0);
  return 0;
}
