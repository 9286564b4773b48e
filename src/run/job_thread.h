#pragma once
// The two threads of a run. The worker (TJobThread) scans, compares and plans, carries the plan
// out stage by stage and writes the report into the job's line lists; the watcher
// (TRunJobThread) starts the worker, waits for its end, destroys it and posts WM_JOBFINISHED.
//
// The worker shares with the main thread only the line lists (each under its own lock), the
// stop flag (atomic) and the progress record, which it fills through the host's synchronized
// call while it waits. The scan info is the worker's alone while the run goes on.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "engine/scan_info.h"
#include "model/job_data.h"
#include "run/file_ops.h"
#include "run/job_state.h"
#include "run/line_list.h"
#include "run/progress.h"
#include "run/run_host.h"
#include "run/versions.h"

namespace twn {

/// Progress refreshes inside the loops come at most this often (milliseconds).
inline constexpr uint32_t kRefreshInterval = 100;

class TJobThread final : private TScanObserver, private TCopyObserver {
 public:
  /// What the job lends a run: everything but `data`, the worker's private copy of the job's
  /// definition, stays the job's and must outlive the worker.
  struct TRunShare {
    TJobSafeProgress& progress;
    TScanInfo& scan_info;
    TReportLists lists;
    /// The deletion guard lets this run go on (`twn-cli run --force`, a user who was asked).
    bool force = false;
  };

  TJobThread(TRunHost& host, TNotifyWindow window, int32_t job_id, TRunMode mode,
             const TRunShare& share, std::unique_ptr<TJobData> data);
  /// Waits for the thread if it was started.
  ~TJobThread();
  TJobThread(const TJobThread&) = delete;
  TJobThread& operator=(const TJobThread&) = delete;

  /// Starts the thread (a worker is created suspended).
  void Resume();
  /// Waits until the thread has ended.
  void WaitFor();
  /// The stop request: noticed between folders, plan entries and copy blocks.
  void Terminate() { terminated_.store(true, std::memory_order_relaxed); }

 private:
  void Execute();
  void CompareHalf();
  void SyncHalf();
  /// Runs one stage after its title line; false when a stop ended the run there.
  bool RunStage(std::string_view title, TRunStage stage, void (TJobThread::*body)());
  void CreateFolders();
  void CopyFiles();
  void DeleteFiles();
  void RemoveFolders();
  /// What stands in the way of an entry of the other kind and goes anyway, done first.
  void ClearTheWay(const TItemList& plan, TSideFolders (&folders)[2]);
  /// The entry's operation on that side was done by ClearTheWay.
  bool Done(int32_t i, int side) const;
  /// One deletion or removal with its lines and counters; false when no path could be built.
  bool DeleteEntry(const TItemList& plan, int32_t i, int side, TSideFolders& folders);
  bool RemoveEntry(const TItemList& plan, int32_t i, int side, TSideFolders& folders);
  /// A link's copy with its lines and counters (job_thread_links.cpp); whether it was made.
  bool CopyLink(const std::string& source, const std::string& target, const TCopyEnd& from,
                const TCopyEnd& to, int side);
  /// The entry's operation on that side wrote into its folder (a folder's creation or removal:
  /// into its parent); remembered for the folder times.
  void Touch(const TItemList& plan, int32_t i, int side, bool parent);
  /// The folders the run wrote into take their partners' times, deepest first.
  void CarryFolderTimes();
  void TerminationBlock();
  void WriteScanSummary();
  /// Whether the deletion guard holds the planned run; if so, says why in the logs.
  bool GuardHolds();
  /// False, after an error line, when the job's versions settings cannot be used: the run
  /// then does nothing. Else names the versions folder when versions are kept.
  bool VersionsUsable();
  /// Keeps the target a copy is about to replace, when versions are kept and it exists.
  TKeepOutcome KeepOverwritten(bool exists, const TFolderPath& target, TSideFolders& folders);
  /// Retention of the kept versions, with a line for each one removed.
  void PruneOldVersions();

  // Progress.
  void Refresh();
  void ThrottledRefresh() override;
  void FillProgress(TJobSafeProgress& p) const;
  bool StopRequested() override { return terminated_.load(std::memory_order_relaxed); }
  void ScanProgress(const TScanCounters& counters) override;
  void ScanFinished(const TScanCounters& counters) override;
  void AddFullLogLine(std::string_view line) override { Full(line); }
  void AddErrorLine(std::string_view line) override { FullAndError(line); }

  // Report lines.
  void Full(std::string_view line) { lists_.FullLog.Add(line); }
  void Full(const std::vector<std::string>& lines);
  void FullAndError(std::string_view line);
  void ToAll(const std::vector<std::string>& lines);  // full, summary and error
  /// "<time> - <text>" to the full log, <text> to the operation log.
  void OperationOk(std::string_view text);
  /// "<time> - <text>" and the error line (if any) to the full and error logs, the short text
  /// to the operation log.
  void OperationFailed(std::string_view text, std::string_view error_line,
                       std::string_view operation_text);

  TRunHost& host_;
  const TNotifyWindow window_;
  const int32_t job_id_;
  const TRunMode mode_;
  TJobSafeProgress& progress_;
  TScanInfo& scan_;
  TReportLists lists_;
  std::unique_ptr<TJobData> data_;
  const bool force_;

  std::atomic<bool> terminated_{false};
  TRunStage stage_ = rsStarting;
  uint32_t last_refresh_tick_ = 0;
  TRunCounters counters_;
  /// Per plan entry, a bit per side whose deletion or removal ClearTheWay has done.
  std::vector<uint8_t> done_;
  /// Set for the synchronization half of a job that keeps versions.
  std::unique_ptr<TVersionKeeper> keeper_;
  std::thread thread_;
  /// Per folder group, bit 1 << side: the run wrote into that side's folder.
  std::vector<uint8_t> touched_;
};

/// The watcher of a run. Its thread ends right after posting WM_JOBFINISHED; the job that owns
/// it joins it when it handles that message.
class TRunJobThread {
 public:
  TRunJobThread(TRunHost& host, TNotifyWindow window, int32_t job_id);
  ~TRunJobThread();
  TRunJobThread(const TRunJobThread&) = delete;
  TRunJobThread& operator=(const TRunJobThread&) = delete;

  void SetWorker(std::unique_ptr<TJobThread> worker);
  /// Starts the watcher, which starts the worker.
  void Resume();
  /// Asks the worker to stop if it is still there; after it has ended this does nothing, so a
  /// late stop never reaches a destroyed worker.
  void StopWorker();
  /// Waits until the watcher has ended (it has then posted its message).
  void WaitFor();
  /// The worker has ended and is gone; the message, if any, is posted.
  bool Finished() const { return finished_.load(std::memory_order_acquire); }

 private:
  void Execute();

  TRunHost& host_;
  const TNotifyWindow window_;
  const int32_t job_id_;
  std::mutex worker_mutex_;
  std::unique_ptr<TJobThread> worker_;
  std::atomic<bool> finished_{false};
  std::thread thread_;
};

}  // namespace twn
