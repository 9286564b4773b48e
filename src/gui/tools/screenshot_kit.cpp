#include "gui/tools/screenshot_kit.h"
#include "gui/common/text.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>
#include <QtWidgets/QWidget>
#include <cstdio>
#include <map>

namespace twn::shots {

namespace {

TJob& Add(TJobList& jobs, const char* name, TJobState state, int32_t frequency) {
  auto& job = *jobs.emplace_back(std::make_unique<TJob>(int32_t(jobs.size() + 1), 46000.0));
  job.Data.JobName = name;
  job.Data.Frequency = frequency;
  job.State = state;
  job.bHasLastRun = true;
  job.LastRun = 46000.25;
  job.bHasNextRun = frequency != kFreqManual;
  job.NextRun = 46000.5;
  return job;
}

std::map<std::string, TShot>& Shots() {
  static std::map<std::string, TShot> shots;
  return shots;
}

}  // namespace

struct TFixture::TFolder {
  QTemporaryDir dir;
};

TFixture::TFixture() : folder_(std::make_unique<TFolder>()) {
  settings_ = std::make_unique<TSettings>(gui::PathBytes(folder_->dir.path()));
  TJobList& jobs = settings_->Jobs;
  TJob& running = Add(jobs, "Photos to NAS", jsExecuting, kFreqHours);
  running.Progress.Stage = rsCopying;
  running.Progress.KbToCopy = 2'048'000;
  running.Progress.KbCopied = 1'024'512;
  Add(jobs, "Mail archive", jsWaiting, kFreqMinutes).Data.freMinutes = 15;
  Add(jobs, "Documents (USB stick)", jsNothing, kFreqManual).bHasLastRun = false;
  Add(jobs, "Music", jsWaiting, kFreqDaily);
}

TFixture::~TFixture() = default;

bool Save(QWidget& widget, const QString& dir, const QString& name) {
  QApplication::processEvents();
  const QString path = dir + "/" + name + ".png";
  if (!widget.grab().save(path)) {
    std::fprintf(stderr, "twn-screenshots: cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

bool RegisterShot(const char* name, TShot shot) {
  Shots()[name] = std::move(shot);
  return true;
}

TPairItem ShotPair(const char* left, const char* right, bool subfolders, bool valid) {
  TPairItem pair;
  pair.L_Path = left;
  pair.R_Path = right;
  pair.bSubFLD = subfolders;
  pair.Valid = valid ? 1 : 0;
  return pair;
}

}  // namespace twn::shots

// twn-screenshots DIR: renders every registered window with made-up data into DIR/*.png,
// offscreen, so that the layouts can be looked at without a display.
int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: twn-screenshots DIR\n");
    return 2;
  }
  QApplication app(argc, argv);
  const QString dir = QFile::decodeName(argv[1]);
  QDir().mkpath(dir);
  bool ok = true;
  for (const auto& [name, shot] : twn::shots::Shots()) {
    if (shot(dir)) continue;
    std::fprintf(stderr, "twn-screenshots: %s failed\n", name.c_str());
    ok = false;
  }
  return ok ? 0 : 1;
}
