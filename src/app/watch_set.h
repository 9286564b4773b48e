#pragma once
// The change watches of a job list: one TChangeWatch per job that runs when files change,
// opened, closed and reopened as the jobs' definitions change, and told when its job runs.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/change_watch.h"
#include "run/job.h"

namespace twn {

class TWatchSet {
 public:
  explicit TWatchSet(std::vector<std::unique_ptr<TJob>>& jobs) : jobs_(jobs) {}

  TWatchTimes Times;
  /// Non-zero: only this job is watched, whatever its option (twn-cli watch).
  int32_t OnlyJob = 0;

  /// Opens the watches of jobs that want one, closes those of jobs that no longer do (or are
  /// gone), reopens those whose folders changed, and marks the runs that have begun.
  void Sync(TWatchTime now);
  /// Takes the events queued on every watch (never blocks).
  void Read(TWatchTime now);
  /// Numbers of the jobs whose changes have settled; none while `hold`. A job that runs or that
  /// a window holds keeps its changes for later.
  std::vector<int32_t> Due(TWatchTime now, bool hold);
  std::optional<TWatchTime> NextDeadline() const;
  /// A run of `job` has ended and its logs are written.
  void RunFinished(const TJob& job, TWatchTime now);
  /// The descriptors to wait on.
  std::vector<int> Fds() const;
  /// Lines to show or log, each naming its job.
  std::vector<std::string> TakeLines();
  /// The job's watch, if it has one.
  const TChangeWatch* Find(int32_t job_id) const;

 private:
  struct TEntry {
    int32_t job_id = 0;
    std::string name;
    std::string folders;  // what the watch was opened on
    std::unique_ptr<TChangeWatch> watch;
  };
  bool Wanted(const TJob& job) const;
  TJob* JobOf(int32_t job_id) const;
  void NoteRuns();
  void Collect(TEntry& entry);

  std::vector<std::unique_ptr<TJob>>& jobs_;
  std::vector<TEntry> entries_;
  std::vector<std::string> lines_;
};

}  // namespace twn
