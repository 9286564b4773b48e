// The Visual run window in each of its six phases, on a generated pair of folders holding a
// file of every comparison class and folders on one side only; and the preview of the same
// folders mirrored the other way.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>
#include <cstdio>

#include "gui/common/text.h"
#include "gui/host/qt_run_host.h"
#include "gui/tools/screenshot_kit.h"
#include "gui/visualrun/visual_run_window.h"
#include "model/method_presets.h"

namespace twn::shots {

namespace {

void Put(const std::string& path, const std::string& content, int64_t time) {
  const size_t slash = path.rfind('/');
  for (size_t i = 1; i < slash; ++i)
    if (path[i] == '/') mkdir(path.substr(0, i).c_str(), 0755);
  mkdir(path.substr(0, slash).c_str(), 0755);
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return;
  const bool written = write(fd, content.data(), content.size()) == ssize_t(content.size());
  const timespec times[2] = {{time, 0}, {time, 0}};
  futimens(fd, times);
  close(fd);
  if (!written) std::fprintf(stderr, "twn-screenshots: cannot write %s\n", path.c_str());
}

// Every class: singles, newer, older, equal, unequal with the same time, one second apart,
// a name in capitals, and folders on one side only. Mirrored each way, the plan holds every
// copy, overwrite, deletion, folder creation and folder removal of one side.
void MakeTree(const std::string& root, int bulk) {
  const int64_t t = 1'700'000'000;
  const std::string L = root + "/Pictures/Camera", R = root + "/Backup/Pictures/Camera";
  Put(L + "/holiday.jpg", std::string(184'233, 'x'), t);
  Put(L + "/README.TXT", "read me", t);
  Put(R + "/README.TXT", "read me", t + 1);
  Put(L + "/beach.png", std::string(20'480, 'x'), t + 3600);
  Put(R + "/beach.png", std::string(18'002, 'x'), t);
  Put(L + "/notes.txt", "old", t);
  Put(R + "/notes.txt", "newer", t + 86'400);
  Put(L + "/same-time.raw", "abc", t);
  Put(R + "/same-time.raw", "abcdef", t);
  Put(R + "/only-on-the-right.mov", std::string(7'340, 'x'), t);
  Put(L + "/2024/Mountains with a rather long folder name/summit.jpg", "s", t);
  Put(R + "/Old trips/Paris/louvre.jpg", "l", t);
  mkdir((L + "/Empty on the left").c_str(), 0755);
  for (int i = 0; i < bulk; ++i) Put(L + "/bulk/part" + std::to_string(i) + ".bin", "bulk", t);
}

std::unique_ptr<TJob> MakeJob(const std::string& root, int32_t method) {
  auto job = std::make_unique<TJob>(NewJobID());
  job->Data.JobName = "Camera to backup";
  ApplyMethod(job->Data, method);
  TPairItem pair;
  pair.L_Path = root + "/Pictures/Camera";
  pair.R_Path = root + "/Backup/Pictures/Camera";
  pair.bSubFLD = true;
  job->Data.Pairs.push_back(pair);
  return job;
}

bool WaitFor(gui::VisualRunWindow& w, int phase) {
  QElapsedTimer timer;
  timer.start();
  while (w.Phase() != phase && timer.elapsed() < 60'000)
    QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  return w.Phase() == phase;
}

bool RenderVisualRun(const QString& dir) {
  TFixture fixture;
  QTemporaryDir temp;
  const std::string root = gui::PathBytes(temp.path());
  MakeTree(root, 3000);
  auto job = MakeJob(root, kMethodMirrorL);
  gui::TQtRunHost host;
  fixture.Settings().MainLogFolder = root + "/logs";
  gui::VisualRunWindow w(*job, fixture.Settings(), host, nullptr);
  w.resize(1100, 620);
  w.show();
  bool ok = Save(w, dir, "visual_run_1_ready");
  w.RunTag(1);
  ok = Save(w, dir, "visual_run_2_comparing") && ok;
  ok = WaitFor(w, vpCompared) && Save(w, dir, "visual_run_3_compared") && ok;
  w.RunTag(8);
  ok = Save(w, dir, "visual_run_4_preview") && ok;
  w.RunTag(11);
  ok = Save(w, dir, "visual_run_5_synchronizing") && ok;
  ok = WaitFor(w, vpDone) && Save(w, dir, "visual_run_6_complete") && ok;
  return ok;
}

// The same folders mirrored the other way: the actions on the left side.
bool RenderMirrorRight(const QString& dir) {
  TFixture fixture;
  QTemporaryDir temp;
  const std::string root = gui::PathBytes(temp.path());
  MakeTree(root, 0);
  auto job = MakeJob(root, kMethodMirrorR);
  gui::TQtRunHost host;
  gui::VisualRunWindow w(*job, fixture.Settings(), host, nullptr);
  w.resize(1100, 620);
  w.show();
  w.RunTag(1);
  if (!WaitFor(w, vpCompared)) return false;
  w.RunTag(8);
  return Save(w, dir, "visual_run_4_preview_mirror_right");
}

const bool registered = RegisterShot("visual_run", &RenderVisualRun);
const bool registered_actions = RegisterShot("visual_run_mirror_right", &RenderMirrorRight);

}  // namespace

}  // namespace twn::shots
