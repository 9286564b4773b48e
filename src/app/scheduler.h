#pragma once
// The scheduler: a tick every 200 ms that turns ended runs into new next runs, keeps every job's
// state in line with its schedule and starts the jobs whose time has come; and the handling of
// a run's end (logs written, after-run actions of a command-line run). The host supplies the
// timer and acts on what the tick and the run-finished handling report.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/watch_set.h"
#include "platform/time.h"
#include "run/job.h"
#include "run/run_host.h"

namespace twn {

inline constexpr int kTickMilliseconds = 200;

/// Starts a job's run in the whole-run mode; the real one starts the job's threads.
class TJobStarter {
 public:
  virtual ~TJobStarter() = default;
  /// Returns whether a run was started (false while one is already going on).
  virtual bool Start(TJob& job) = 0;
};

/// Starts runs through the job's own threads, reporting to `window` through `host`.
class TThreadJobStarter final : public TJobStarter {
 public:
  TThreadJobStarter(TRunHost& host, TNotifyWindow window) : host_(host), window_(window) {}
  bool Start(TJob& job) override { return job.Start(host_, window_, rmCompareAndSync); }

 private:
  TRunHost& host_;
  TNotifyWindow window_;
};

struct TTickResult {
  /// A run started or a next run was recomputed: the list wants re-sorting.
  bool changed = false;
  /// Numbers of the jobs started by this tick, in list order.
  std::vector<int32_t> started;
  /// Numbers of the jobs whose rows want redrawing.
  std::vector<int32_t> redraw;
};

/// What the host should do after a run has ended.
struct TFinishResult {
  TJob* job = nullptr;  // none when no job had that number
  bool stopped = false;
  bool had_errors = false;
  bool show_log = false;
  bool minimize = false;
  bool close = false;
};

using TClock = std::function<platform::TDateTime()>;

class TScheduler {
 public:
  TScheduler(
      std::vector<std::unique_ptr<TJob>>& jobs, TJobStarter& starter,
      TClock clock = [] { return platform::Now(); });

  TTickResult Tick();
  /// The run of the job with this number has ended (WM_JOBFINISHED). `log_viewer_visible` keeps
  /// a second log viewer from being asked for.
  TFinishResult JobFinished(int32_t job_id, bool log_viewer_visible = false);

  bool HoldsScheduler() const;
  TJob* FindJob(int32_t job_id) const;
  /// True while any job is executing.
  bool AnyExecuting() const;

  bool bTickSuspended = false;
  TCommandLine CommandLine;
  /// The watches of jobs that run when files change; the host waits on their descriptors and
  /// calls Tick (or ReadWatches) when one is readable.
  TWatchSet Watches;
  /// Reads the watches' events between ticks.
  void ReadWatches() { Watches.Read(TWatchClock::now()); }
  std::string MainLogFolder;

 private:
  bool TickJob(TJob& job, bool hold, TTickResult& result);
  void StartChanged(bool hold, TTickResult& result);

  std::vector<std::unique_ptr<TJob>>& jobs_;
  TJobStarter& starter_;
  TClock clock_;
};

}  // namespace twn
