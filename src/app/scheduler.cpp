#include "app/scheduler.h"

#include <algorithm>

namespace twn {

TScheduler::TScheduler(std::vector<std::unique_ptr<TJob>>& jobs, TJobStarter& starter, TClock clock)
    : Watches(jobs), jobs_(jobs), starter_(starter), clock_(std::move(clock)) {}

bool TScheduler::HoldsScheduler() const {
  const bool marked = std::any_of(jobs_.begin(), jobs_.end(),
                                  [](const auto& job) { return job->bRunFromCommandLine; });
  return CommandLineHoldsScheduler(CommandLine, marked);
}

TJob* TScheduler::FindJob(int32_t job_id) const {
  for (const auto& job : jobs_)
    if (job->JobID == job_id) return job.get();
  return nullptr;
}

bool TScheduler::AnyExecuting() const {
  return std::any_of(jobs_.begin(), jobs_.end(),
                     [](const auto& job) { return job->State == jsExecuting; });
}

TTickResult TScheduler::Tick() {
  TTickResult result;
  if (bTickSuspended) return result;
  const bool hold = HoldsScheduler();
  const TWatchTime now = TWatchClock::now();
  Watches.Sync(now);
  Watches.Read(now);
  for (const auto& job : jobs_) {
    if (TickJob(*job, hold, result)) result.changed = true;
  }
  StartChanged(hold, result);
  return result;
}

void TScheduler::StartChanged(bool hold, TTickResult& result) {
  for (int32_t id : Watches.Due(TWatchClock::now(), hold)) {
    TJob* job = FindJob(id);
    if (job && starter_.Start(*job) && job->State == jsExecuting) {
      result.started.push_back(id);
      result.redraw.push_back(id);
      result.changed = true;
    }
  }
}

bool TScheduler::TickJob(TJob& job, bool hold, TTickResult& result) {
  bool changed = false;
  if (job.bFinished) {
    job.ComputeNextRun(clock_());
    job.bFinished = false;
    changed = true;
  }
  job.UpdateState();
  // The clock is read afresh for every job, so a job due during a long tick is not missed.
  const bool other = Watches.OnlyJob != 0 && job.JobID != Watches.OnlyJob;
  const bool due =
      !hold && !other && !job.bHeldByWindow && job.State == jsWaiting && clock_() > job.NextRun;
  if (due || (hold && job.bRunFromCommandLine)) {
    if (starter_.Start(job) && job.State == jsExecuting) {
      result.started.push_back(job.JobID);
      changed = true;
    }
  }
  if (job.bChanged || job.State == jsExecuting) {
    result.redraw.push_back(job.JobID);
    job.bChanged = false;
  }
  return changed;
}

TFinishResult TScheduler::JobFinished(int32_t job_id, bool log_viewer_visible) {
  TFinishResult r;
  TJob* job = FindJob(job_id);
  if (!job) return r;  // deleted meanwhile
  r.job = job;
  r.stopped = job->ScanInfo.Terminated();
  if (r.stopped) CommandLine.bCommandLineActive = false;
  const bool from_command_line = job->bRunFromCommandLine;
  job->ResetAfterRun();
  job->WriteLogs(*job, MainLogFolder);
  Watches.RunFinished(*job, TWatchClock::now());
  job->bFinished = true;
  r.had_errors = job->HadErrors();
  if (!from_command_line) return r;
  const TCommandLine& cl = CommandLine;
  r.show_log = ((r.had_errors && cl.bShowLogOnErrors) || cl.bAlwaysShowLog) && !log_viewer_visible;
  if (!cl.bCommandLineActive) return r;
  r.minimize = cl.bMinimizeAfterRun;
  r.close = cl.bCloseAfterRun;
  return r;
}

}  // namespace twn
