#pragma once
// TJob: a job as the program holds it while running — its definition together with its number,
// list state and schedule. The scheduler relies on ComputeNextRun and UpdateState.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/scan_info.h"
#include "model/job_data.h"
#include "platform/time.h"
#include "run/job_state.h"
#include "run/line_list.h"
#include "run/progress.h"
#include "run/run_host.h"

namespace twn {

class TRunJobThread;

/// A new job number: one more than the last one handed out, so the first is 1 and none is
/// reused while the program runs.
int32_t NewJobID();
/// Starts the numbering afresh (tests only).
void ResetJobIDs();

class TJob {
 public:
  /// A job with the given number; NextRun, LastRun and the definition's dates take `now`.
  explicit TJob(int32_t job_id, platform::TDateTime now = platform::Now());
  /// A job is destroyed only after its run-finished message; a run still going is stopped and
  /// waited for, which needs the host to go on serving its synchronized calls.
  ~TJob();
  // Copies go through Assign, which leaves out the runtime parts on purpose.
  TJob(const TJob&) = delete;
  TJob& operator=(const TJob&) = delete;

  /// Copies the number, state, run mode, redraw flag, command-line flag, definition (deep) and
  /// the last run; not the next run, the finished flag, the row marks or the delete mark.
  void Assign(const TJob& source);

  int32_t PairCount() const { return static_cast<int32_t>(Data.Pairs.size()); }
  bool HasWork() const { return Data.HasWork() && Data.HasPairs(); }

  /// Sets bHasNextRun and NextRun from the schedule as of `now`.
  void ComputeNextRun(platform::TDateTime now = platform::Now());
  /// Derives State from the schedule; a running job stays jsExecuting.
  void UpdateState();

  bool bRunFromCommandLine = false;
  /// The next run goes on even when the deletion guard would hold it; the run clears it.
  bool bForceRun = false;
  /// A window works with this job (Visual run, the wizard): the scheduler does not start it.
  bool bHeldByWindow = false;
  TJobData Data;
  int32_t JobID = 0;
  TRunMode RunMode = rmCompareAndSync;
  TJobState State = jsNothing;
  bool bFinished = true;
  bool bChanged = true;
  bool bSelected = false;
  bool bFocused = false;
  bool bHasNextRun = false;
  platform::TDateTime NextRun = 0;
  bool bMarkedForDelete = false;
  platform::TDateTime LastRun = 0;
  bool bHasLastRun = false;

  // --- Runs ------------------------------------------------------------------------------
  /// Starts a run unless one is going on (then nothing changes and the answer is false). The
  /// worker gets a private copy of the definition; `window` receives WM_JOBPROGRESS and
  /// WM_JOBFINISHED through `host` (kNoNotifyWindow: no messages).
  bool Start(TRunHost& host, TNotifyWindow window, TRunMode mode);
  /// Asks the worker to stop; returns at once. Does nothing when no worker is left.
  void Stop();
  /// A run has been started and not yet reset.
  bool Running() const { return RunThread != nullptr; }
  /// After the run-finished message: drops the threads (both have ended by then) and makes the
  /// job idle again.
  void ResetAfterRun();
  /// The last run had errors creating folders, copying or deleting files, on either side, or
  /// could not see or reach what it was to synchronize (an unreadable folder, overlapping
  /// roots, a missing root it did not create), or was held by the deletion guard.
  bool HadErrors() const;
  /// Lines in the operation log.
  int32_t OperationCount() const { return static_cast<int32_t>(OperationLog.Count()); }
  /// Writes the finished run's full, summary and error log files into `log_folder` and records
  /// the paths written in `target`'s log history (`target` is this job but for a Visual run's
  /// copy). Returns the files that could not be written, which are not recorded.
  std::vector<TLogFailure> WriteLogs(TJob& target, const std::string& log_folder) const;

  /// The watcher of the run in progress; it owns the worker until the worker has ended.
  std::unique_ptr<TRunJobThread> RunThread;
  TLineList FullLog;
  TLineList SummaryLog;
  TLineList ErrorLog;
  TLineList OperationLog;
  TJobSafeProgress Progress;
  TScanInfo ScanInfo;

 private:
  void NextIntervalRun(platform::TDateTime now);
  void NextDailyRun(platform::TDateTime now);
  void SkipExcludedDays();
};

}  // namespace twn
