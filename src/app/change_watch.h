#pragma once
// Watch mode: a job's folders on both sides watched for changes, and a run started once they
// have settled. TChangeWatch is one job's watch; it is given the time on every call, so tests
// drive it without waiting on a real clock for anything but the kernel's events.
//
// A change starts a burst; the run is due `quiet` after the last change of the burst, but no
// later than `longest` after its first. While the job runs, the paths changed are kept; once it
// has ended, those the run wrote itself are dropped and any other one starts a new burst, so a
// user's change made during a run gets one more run and the run's own changes get none.
#include <chrono>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "filters/file_spec_processor.h"
#include "model/job_data.h"
#include "platform/inotify.h"

namespace twn {

class TScanInfo;

using TWatchClock = std::chrono::steady_clock;
using TWatchTime = TWatchClock::time_point;

struct TWatchTimes {
  static constexpr std::chrono::milliseconds kQuiet{2000};
  static constexpr std::chrono::milliseconds kLongest{30000};
  static constexpr std::chrono::milliseconds kRecheck{3000};
  std::chrono::milliseconds quiet = kQuiet;
  std::chrono::milliseconds longest = kLongest;
  /// How often a side that has gone is looked for.
  std::chrono::milliseconds recheck = kRecheck;
  /// More watches than this fail as the kernel's limit does (0: only the kernel's limit).
  int32_t watch_limit = 0;
};

class TChangeWatch {
 public:
  explicit TChangeWatch(const TJobData& job, TWatchTimes times = {});

  /// Opens the watches of every folder of both sides.
  void Start(TWatchTime now);
  /// The descriptor to wait on; -1 once the watch has fallen back to the schedule.
  int Fd() const { return inotify_.Valid() ? inotify_.Fd() : -1; }
  /// Takes every event queued now (never blocks).
  void Read(TWatchTime now);
  /// A run should start now (never while one is going on or a side is gone).
  bool Due(TWatchTime now);
  /// When Due next wants asking; none while nothing is pending.
  std::optional<TWatchTime> NextDeadline() const;
  void RunStarted();
  /// The run has ended; `written` holds every path it created, replaced or deleted.
  void RunFinished(const std::set<std::string>& written, TWatchTime now);
  bool Running() const { return running_; }
  bool FellBack() const { return fell_back_; }
  int32_t FolderCount() const { return int32_t(folders_.size()); }
  /// The lines to show or log since the last call.
  std::vector<std::string> TakeLines();

 private:
  struct TRoot {
    std::string path;
    bool subfolders = true;
    dev_t device = 0;  // 0: never seen
  };
  bool AddTree(const std::string& path, bool subfolders, bool is_root);
  void DropBelow(const std::string& path);
  void Event(const platform::TWatchEvent& e, TWatchTime now);
  void Changed(const std::string& path, TWatchTime now);
  void FallBack(platform::TError error);
  void SideGone(const std::string& why, TWatchTime now);
  void LookForSides(TWatchTime now);
  bool WatchAll(TWatchTime now);
  void Say(std::string line) { lines_.push_back(std::move(line)); }
  /// A versions folder of the job: never watched.
  bool Skipped(const std::string& path) const;

  TWatchTimes times_;
  std::vector<TRoot> roots_;
  std::vector<std::string> skipped_;
  TFileSpecProcessor folder_specs_;
  platform::TInotify inotify_;
  struct TFolder {
    std::string path;
    bool subfolders;
    bool is_root;
  };
  std::unordered_map<int, TFolder> folders_;
  bool fell_back_ = false;
  bool gone_ = false;
  TWatchTime next_look_{};
  bool pending_ = false;
  TWatchTime first_{}, last_{};
  bool running_ = false;
  std::set<std::string> during_run_;
  bool overflow_during_run_ = false;
  std::vector<std::string> lines_;
};

/// The paths a finished run's plan wrote or removed on either side.
std::set<std::string> PathsWrittenByPlan(const TScanInfo& scan);

}  // namespace twn
