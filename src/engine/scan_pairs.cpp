// The scan of every pair. Each side of each pair is a task. The calling thread and up to one
// worker per further core take tasks in order; a task whose predecessors are all in the tables
// is scanned straight into them, any other into a part of its own that the calling thread
// appends when its turn comes. Lines, counters and tables so come out as a scan on one thread
// makes them, and only the calling thread ever talks to the observer.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/scan_info.h"
#include "model/job_data.h"
#include "platform/cores.h"
#include "platform/fs.h"
#include "platform/locale.h"

namespace twn {
namespace {

enum TTaskState : int { kWaiting, kRunning, kDone };

/// The full log's line that opens the scan of a side.
std::string ScanningLine(const std::string& path) {
  return platform::FormatDateTime(platform::Now()) + " - Scanning folder '" + path + "' ";
}

/// How often the calling thread, waiting for a worker, reports progress and asks for a stop.
constexpr auto kWaitStep = std::chrono::milliseconds(50);

}  // namespace

struct TScanInfo::TScanPart {
  explicit TScanPart(const TTableSteps& steps)
      : folders(steps.folders), files(steps.files), pool(steps.pool) {}
  TTable<TFolderEntry> folders;
  TTable<TFileEntry> files;
  TNamePool pool;
};

/// One side of one pair, or a pair that is not scanned because its roots overlap.
struct TScanInfo::TScanTask {
  int32_t pair = 0;
  int side = kLeft;
  const TPairItem* item = nullptr;
  std::string overlap;  // why the pair is not scanned; such a task is never claimed
  std::atomic<int> state{kWaiting};
  // Written by the thread that scans the task, read after its state is kDone.
  bool stopped = false;
  std::string start_line;
  std::vector<std::string> errors;
  std::unique_ptr<TScanPart> part;  // null when scanned straight into the tables
  std::exception_ptr failure;       // out of memory on a worker, thrown again on the caller
  // Progress of a task scanned into a part, for the calling thread's reports.
  std::atomic<int64_t> folders_done{0};
  std::atomic<int64_t> files_done{0};

  const std::string& Path() const { return side == kLeft ? item->L_Path : item->R_Path; }
  bool Claim() {
    int expected = kWaiting;
    return state.compare_exchange_strong(expected, kRunning, std::memory_order_acq_rel);
  }
};

struct TScanInfo::TScanShared {
  std::vector<std::unique_ptr<TScanTask>> tasks;
  size_t appended = 0;  // tasks whose tables are in the scan's own (calling thread only)
  std::atomic<bool> stop{false};
  std::mutex mutex;
  std::condition_variable done;
};

/// After every folder: a task scanned into a part counts for the reports and ends on a stop; a
/// task scanned into the tables counts in the scan's counters, and the calling thread reports
/// and asks the observer.
class TScanInfo::TTaskProgress : public TSideScanner::TProgress {
 public:
  TTaskProgress(TScanInfo& scan, TScanTask& task, TScanShared* shared, TScanObserver* observer,
                bool here)
      : scan_(scan), task_(task), shared_(shared), observer_(observer), here_(here) {}
  bool FolderDone(int64_t files_added) override {
    if (here_) {
      scan_.counters_.folders_scanned[task_.side] += 1;
      scan_.counters_.files_found[task_.side] += files_added;
    } else {
      task_.folders_done.fetch_add(1, std::memory_order_relaxed);
      task_.files_done.fetch_add(files_added, std::memory_order_relaxed);
    }
    if (observer_) return scan_.ReportProgress(shared_, *observer_);
    return !shared_->stop.load(std::memory_order_relaxed);
  }

 private:
  TScanInfo& scan_;
  TScanTask& task_;
  TScanShared* shared_;
  TScanObserver* observer_;
  bool here_;
};

void TScanInfo::MarkUnseen(int32_t folder, std::string_view why, TScanObserver& observer) {
  folders_[folder].blocked = kUnseen;
  ++scan_errors_;
  observer.AddErrorLine(ScanErrorLine(why));
}

void TScanInfo::FlushErrors(std::vector<std::string>& lines, TScanObserver& observer) {
  scan_errors_ += static_cast<int32_t>(lines.size());
  for (const std::string& line : lines) observer.AddErrorLine(line);
  lines.clear();
}

bool TScanInfo::ReportProgress(TScanShared* shared, TScanObserver& observer) {
  TScanCounters counters = counters_;
  if (shared) {
    for (size_t k = shared->appended; k < shared->tasks.size(); ++k) {
      const TScanTask& t = *shared->tasks[k];
      counters.folders_scanned[t.side] += t.folders_done.load(std::memory_order_relaxed);
      counters.files_found[t.side] += t.files_done.load(std::memory_order_relaxed);
    }
  }
  observer.ScanProgress(counters);
  if (!observer.StopRequested()) return true;
  if (shared) shared->stop = true;
  return false;
}

bool TScanInfo::ScanSide(int32_t pair, std::string_view path, int side, bool subfolders,
                         TScanObserver& observer) {
  TPairItem item;
  (side == kLeft ? item.L_Path : item.R_Path) = path;
  TScanTask task;
  task.pair = pair;
  task.side = side;
  task.item = &item;
  item.bSubFLD = subfolders;
  TSideScanner scanner(folder_specs_, scan_options_, &skips_);
  return ScanHere(scanner, task, nullptr, observer);
}

bool TScanInfo::ScanHere(TSideScanner& scanner, TScanTask& task, TScanShared* shared,
                         TScanObserver& observer) {
  TTaskProgress progress(*this, task, shared, &observer, true);
  const bool done =
      scanner.Scan(Tables(), task.pair, task.Path(), task.side, task.item->bSubFLD, progress);
  FlushErrors(scanner.Errors(), observer);
  return done;
}

void TScanInfo::ScanIntoPart(TSideScanner& scanner, TScanTask& task, TScanShared& shared,
                             TScanObserver* observer) {
  try {
    task.start_line = ScanningLine(task.Path());
    task.part = std::make_unique<TScanPart>(steps_);
    TSideTables tables{task.part->folders, task.part->files, task.part->pool};
    TTaskProgress progress(*this, task, &shared, observer, false);
    task.stopped =
        !scanner.Scan(tables, task.pair, task.Path(), task.side, task.item->bSubFLD, progress);
    task.errors = std::move(scanner.Errors());
  } catch (...) {
    task.failure = std::current_exception();
    task.part.reset();
  }
  scanner.Errors().clear();
  {
    const std::lock_guard lock(shared.mutex);
    task.state.store(kDone, std::memory_order_release);
  }
  shared.done.notify_all();
}

void TScanInfo::ScanWorker(TScanShared& shared) {
  TSideScanner scanner(folder_specs_, scan_options_, &skips_);
  for (size_t k = 1; k < shared.tasks.size(); ++k) {
    if (shared.stop.load(std::memory_order_relaxed)) return;
    if (shared.tasks[k]->Claim()) ScanIntoPart(scanner, *shared.tasks[k], shared, nullptr);
  }
}

bool TScanInfo::AppendPart(TScanTask& task, TScanObserver& observer) {
  if (task.failure) std::rethrow_exception(task.failure);
  if (task.stopped) return false;
  observer.AddFullLogLine(task.start_line);
  const int32_t folder_base = folders_.Count();
  const uint64_t pool_base = pool_.Fill();
  pool_.MoveAppend(task.part->pool);
  MoveAppend(folders_, task.part->folders, [&](TFolderEntry& e) {
    e.parent += folder_base;
    e.insertion += folder_base;
    e.path_offset += pool_base;
    e.rel_offset += pool_base;
  });
  MoveAppend(files_, task.part->files, [&](TFileEntry& f) {
    f.folder += folder_base;
    f.name_offset += pool_base;
  });
  task.part.reset();
  counters_.folders_scanned[task.side] += task.folders_done;
  counters_.files_found[task.side] += task.files_done;
  FlushErrors(task.errors, observer);
  return true;
}

void TScanInfo::WaitForTask(TScanTask& task, TScanShared& shared, TScanObserver& observer) {
  {
    std::unique_lock lock(shared.mutex);
    shared.done.wait_for(lock, kWaitStep,
                         [&] { return task.state.load(std::memory_order_acquire) == kDone; });
  }
  ReportProgress(&shared, observer);
}

int TScanInfo::ScanThreads(std::span<const TPairItem> pairs, size_t tasks) const {
  size_t threads = scan_threads_ > 0 ? static_cast<size_t>(scan_threads_) : platform::UsableCores();
  if (scan_threads_ <= 0) {
    for (const TPairItem& p : pairs)
      if (platform::OnSlowFileSystem(p.L_Path) || platform::OnSlowFileSystem(p.R_Path)) threads = 1;
  }
  return static_cast<int>(std::clamp<size_t>(tasks, 1, threads));
}

bool TScanInfo::ScanPairs(std::span<const TPairItem> pairs) {
  TScanObserver quiet;
  return ScanPairs(pairs, quiet);
}

bool TScanInfo::ScanPairs(std::span<const TPairItem> pairs, TScanObserver& observer) {
  TScanShared shared;
  for (size_t p = 0; p < pairs.size(); ++p) {
    const std::string why = PairOverlapProblem(pairs[p], folder_specs_);
    for (int side : {kLeft, kRight}) {
      if (!why.empty() && side == kRight) break;
      auto task = std::make_unique<TScanTask>();
      task->pair = static_cast<int32_t>(p);
      task->side = side;
      task->item = &pairs[p];
      task->overlap = why;
      if (!why.empty()) task->state = kDone;
      shared.tasks.push_back(std::move(task));
    }
  }
  std::vector<std::jthread> workers;
  // Declared after the workers, so ended first: every worker stops after its folder.
  const struct TStopAll {
    std::atomic<bool>& stop;
    ~TStopAll() { stop = true; }
  } stop_all{shared.stop};
  const int threads = ScanThreads(pairs, shared.tasks.size());
  for (int w = 1; w < threads; ++w) workers.emplace_back([this, &shared] { ScanWorker(shared); });

  TSideScanner scanner(folder_specs_, scan_options_, &skips_);
  while (shared.appended < shared.tasks.size()) {
    TScanTask& task = *shared.tasks[shared.appended];
    if (!task.overlap.empty()) {
      // One root inside the other would sync a tree into itself: the pair is left alone.
      MarkUnseen(AddRootFolder(Tables(), task.pair, task.item->L_Path, kLeft),
                 "Folder pair: " + task.overlap, observer);
      folders_[AddRootFolder(Tables(), task.pair, task.item->R_Path, kRight)].blocked = kUnseen;
    } else if (task.Claim()) {
      observer.AddFullLogLine(ScanningLine(task.Path()));
      if (!ScanHere(scanner, task, &shared, observer)) return false;
    } else if (task.state.load(std::memory_order_acquire) == kDone) {
      if (!AppendPart(task, observer)) return false;
    } else {
      // A worker has it: take a later task meanwhile, or wait.
      auto later = std::find_if(shared.tasks.begin() + shared.appended + 1, shared.tasks.end(),
                                [](const auto& t) { return t->Claim(); });
      if (later != shared.tasks.end())
        ScanIntoPart(scanner, **later, shared, &observer);
      else
        WaitForTask(task, shared, observer);
      if (shared.stop) return false;
      continue;
    }
    ++shared.appended;
  }
  observer.ScanFinished(counters_);
  LinkFolders();
  CompareFiles();
  BuildItems();
  PlanActions();
  BuildPlan();
  return true;
}

}  // namespace twn
