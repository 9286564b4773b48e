// twn-cli schedule: the scheduler tick without a window, until SIGINT or SIGTERM; and twn-cli
// watch, the same for one job that runs whenever its files change.
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "app/scheduler.h"
#include "app/settings.h"
#include "cli/commands.h"
#include "cli/run_session.h"
#include "cli/settings_access.h"
#include "platform/locale.h"
#include "run/queue_host.h"

namespace twn::cli {
namespace {

constexpr std::string_view kScheduleUsage = "twn-cli [--settings DIR] schedule";
constexpr std::string_view kWatchUsage = "twn-cli [--settings DIR] watch JOB";
constexpr TNotifyWindow kScheduleWindow = 1;

void Say(const std::string& text) {
  std::printf("%s %s\n", platform::FormatDateTime(platform::Now()).c_str(), text.c_str());
  std::fflush(stdout);
}

std::string ResultText(const TFinishResult& f) {
  if (f.stopped) return "stopped";
  return f.had_errors ? "finished with errors" : "finished";
}

class ScheduleLoop {
 public:
  /// `only_job` non-zero: that job alone, watched whatever its option.
  ScheduleLoop(TSettings& settings, int32_t only_job)
      : settings_(settings),
        host_([this](TNotifyWindow, uint32_t message, int32_t job_id) {
          if (message == WM_JOBFINISHED) Finished(job_id);
        }),
        starter_(host_, kScheduleWindow),
        scheduler_(settings.Jobs, starter_) {
    scheduler_.MainLogFolder = settings.MainLogFolder;
    scheduler_.Watches.OnlyJob = only_job;
  }

  int Run(const TStopSignals& signals) {
    auto next_tick = std::chrono::steady_clock::now();
    while (!stopping_ || scheduler_.AnyExecuting()) {
      if (signals.Raised() && !stopping_) StopAll();
      const auto now = std::chrono::steady_clock::now();
      if (now >= next_tick) {
        Tick();
        next_tick = now + std::chrono::milliseconds(kTickMilliseconds);
      }
      Wait(std::chrono::duration_cast<std::chrono::milliseconds>(next_tick -
                                                                 std::chrono::steady_clock::now()));
      host_.ServeFor(std::chrono::milliseconds(0));
      scheduler_.ReadWatches();
      SayWatchLines();
    }
    return SaveOrReport(settings_) == kExitOk ? kExitOk : kExitRunErrors;
  }

 private:
  /// Sleeps until a run posts something, a watched folder changes, a signal comes or `wait`
  /// has passed.
  void Wait(std::chrono::milliseconds wait) {
    std::vector<pollfd> fds{{host_.WakeFd(), POLLIN, 0}};
    for (int fd : scheduler_.Watches.Fds()) fds.push_back({fd, POLLIN, 0});
    ::poll(fds.data(), fds.size(), int(std::max<int64_t>(wait.count(), 0)));
  }

  void SayWatchLines() {
    for (const std::string& line : scheduler_.Watches.TakeLines()) Say(line);
  }

  void Tick() {
    const TTickResult r = scheduler_.Tick();
    SayWatchLines();
    for (int32_t id : r.started) Say("started '" + scheduler_.FindJob(id)->Data.JobName + "'");
  }

  void Finished(int32_t job_id) {
    const TFinishResult f = scheduler_.JobFinished(job_id);
    if (!f.job) return;
    Say(ResultText(f) + " '" + f.job->Data.JobName + "'");
    // Last run and log history are kept at once, so a crash later loses nothing of this run.
    SaveOrReport(settings_);
  }

  void StopAll() {
    stopping_ = true;
    scheduler_.bTickSuspended = true;
    Say("stopping");
    for (const auto& job : settings_.Jobs) job->Stop();
  }

  TSettings& settings_;
  TQueueHost host_;
  TThreadJobStarter starter_;
  TScheduler scheduler_;
  bool stopping_ = false;
};

}  // namespace

int CmdSchedule(const Context& ctx, Args args) {
  if (!args.empty()) return UsageError("schedule takes no arguments", kScheduleUsage);
  std::signal(SIGXFSZ, SIG_IGN);  // a full disk is an error line of the run, not the end
  TSettings settings(SettingsFolderOf(ctx));
  // Held for the scheduler's whole life: it saves the file after every run.
  platform::TInstanceLock lock;
  if (const int status = LockForWriting(settings.Folder(), lock)) return status;
  if (const int status = LoadOrReport(settings)) return status;
  const TStopSignals signals;  // before the first line, which tells a caller it may signal
  Say("scheduling " + std::to_string(settings.Jobs.size()) + " jobs of " + settings.FilePath() +
      "; Ctrl+C stops");
  return ScheduleLoop(settings, 0).Run(signals);
}

int CmdWatch(const Context& ctx, Args args) {
  if (args.size() != 1) return UsageError("watch needs one job name", kWatchUsage);
  std::signal(SIGXFSZ, SIG_IGN);
  TSettings settings(SettingsFolderOf(ctx));
  platform::TInstanceLock lock;
  if (const int status = LockForWriting(settings.Folder(), lock)) return status;
  int index = -1;
  if (const int status = LoadJobOrReport(settings, args[0], index)) return status;
  const TJob& job = *settings.Jobs[size_t(index)];
  const TStopSignals signals;
  Say("watching '" + job.Data.JobName + "' of " + settings.FilePath() + "; Ctrl+C stops");
  return ScheduleLoop(settings, job.JobID).Run(signals);
}

}  // namespace twn::cli
