#include "run/job_thread.h"

#include <cerrno>
#include <utility>

#include "engine/delete_guard.h"
#include "model/versions.h"
#include "platform/time.h"
#include "run/report.h"

namespace twn {

namespace {

std::string ErrorLine(platform::TError error, std::string_view path) {
  return "   *** " + platform::ErrorText(error) + " *** for '" + std::string(path) + "'";
}

std::string KeepErrorLine(const TKeepOutcome& kept) {
  return "   *** Keeping the version: " + platform::ErrorText(kept.error) + " *** for '" +
         kept.version + "'";
}

}  // namespace

TJobThread::TJobThread(TRunHost& host, TNotifyWindow window, int32_t job_id, TRunMode mode,
                       const TRunShare& share, std::unique_ptr<TJobData> data)
    : host_(host),
      window_(window),
      job_id_(job_id),
      mode_(mode),
      progress_(share.progress),
      scan_(share.scan_info),
      lists_(share.lists),
      data_(std::move(data)),
      force_(share.force) {}

TJobThread::~TJobThread() {
  WaitFor();
}

void TJobThread::Resume() {
  if (!thread_.joinable()) thread_ = std::thread([this] { Execute(); });
}

void TJobThread::WaitFor() {
  if (thread_.joinable()) thread_.join();
}

void TJobThread::Execute() {
  switch (mode_) {
    case rmCompareOnly:
      CompareHalf();
      break;
    case rmSyncOnly:
      SyncHalf();
      break;
    case rmCompareAndSync:
      CompareHalf();
      // A whole run is held here; Visual run synchronizes a plan its user has looked at.
      if (!GuardHolds()) SyncHalf();  // after a stopped compare half the plan is empty
      break;
  }
  Refresh();
}

// --- Compare half ---------------------------------------------------------------------------

void TJobThread::CompareHalf() {
  ToAll(HeadLines(data_->JobName, TimeStamp()));
  stage_ = rsStarting;
  scan_.SetTerminated(false);
  scan_.SetHeld(false);
  if (!VersionsUsable()) return;
  scan_.Setup(*data_);
  Full("*** Scanning folders ***");
  stage_ = rsScanning;
  Refresh();
  last_refresh_tick_ = platform::TickCount();
  counters_.ResetScan();
  if (!scan_.ScanPairs(data_->Pairs, *this)) {
    TerminationBlock();
    return;
  }
  WriteScanSummary();
  if (StopRequested()) {
    TerminationBlock();
    return;
  }
  Full("");
  Refresh();
}

void TJobThread::WriteScanSummary() {
  // A pair with a missing root lost its deletions on the other side; say so once per pair.
  for (int32_t pair = 0; pair < scan_.PairCount(); ++pair) {
    if (const std::string line = scan_.MissingRootLine(pair); !line.empty()) FullAndError(line);
  }
  Full("");
  Full(ComparisonLines(ComparisonSummaryOf(scan_.ClassCounters())));
  Full(PlanLines(PlanSummaryOf(scan_.PlanCounters())));
}

bool TJobThread::GuardHolds() {
  if (force_ || scan_.Terminated()) return false;
  const TGuardVerdict v = CheckDeleteGuard(scan_, data_->MaxDeletePercent);
  if (!v.held) return false;
  scan_.SetHeld(true);
  ToAll({"*** Deletion guard: nothing was done: " + v.text + ". To go on anyway: twn-cli run \"" +
             data_->JobName + "\" --force",
         ""});
  return true;
}

bool TJobThread::VersionsUsable() {
  scan_.SetRefused(false);
  if (const std::string why = VersionsProblem(*data_); !why.empty()) {
    // Deleting without the versions the job asks for could lose what it promises to keep.
    scan_.Clear();
    scan_.SetRefused(true);
    ToAll({"*** " + why + ": nothing was done", ""});
    return false;
  }
  if (data_->bKeepVersions) ToAll({VersionsSettingText(*data_), ""});
  return true;
}

void TJobThread::PruneOldVersions() {
  for (const TPruneResult& r : PruneVersions(*data_, platform::Now())) {
    if (r.error == 0)
      Full(TimeStamp() + " - Ok Removing old version: '" + r.path + "'");
    else
      FullAndError(TimeStamp() + " - error Removing old version: " + platform::ErrorText(r.error) +
                   ": '" + r.path + "'");
  }
}

void TJobThread::TerminationBlock() {
  stage_ = rsTerminated;
  scan_.Clear();  // no plan survives a stopped run
  scan_.SetTerminated(true);
  ToAll(TerminationLines(data_->JobName, TimeStamp()));
}

// --- Synchronization half -------------------------------------------------------------------

void TJobThread::SyncHalf() {
  counters_.ResetExecution();
  if (scan_.Refused()) return;
  if (data_->bKeepVersions)
    keeper_ = std::make_unique<TVersionKeeper>(*data_, VersionStamp(platform::Now()));
  // Retention runs after a whole run, also one with nothing to do; a stopped run leaves it.
  if (scan_.Plan().Count() == 0) return PruneOldVersions();
  touched_.assign(scan_.ScanOptions().folder_times ? size_t(scan_.FolderCount()) : 0, 0);
  if (!RunStage("*** Creating New Folders ***", rsCreatingFolders, &TJobThread::CreateFolders))
    return;
  Full(ResultBlockLines(TResultBlock::kCreated, counters_));
  Full("");
  if (!RunStage("*** Copying Files ***", rsCopying, &TJobThread::CopyFiles)) return;
  Full(ResultBlockLines(TResultBlock::kCopied, counters_));
  Full("");
  if (!RunStage("*** Deleting Files ***", rsDeleting, &TJobThread::DeleteFiles)) return;
  Full(ResultBlockLines(TResultBlock::kDeleted, counters_));
  FullAndError("");
  if (!RunStage("*** Removing Folders ***", rsRemovingFolders, &TJobThread::RemoveFolders)) return;
  Full(ResultBlockLines(TResultBlock::kRemoved, counters_));
  CarryFolderTimes();
  Full("");
  PruneOldVersions();
  ToAll(ResultsLines(counters_, TimeStamp()));
  stage_ = rsCompleted;
}

bool TJobThread::RunStage(std::string_view title, TRunStage stage, void (TJobThread::*body)()) {
  Full(title);
  stage_ = stage;
  if (stage != rsRemovingFolders) Refresh();
  (this->*body)();
  if (!StopRequested()) return true;
  TerminationBlock();
  return false;
}

// A file that replaces a folder, or a folder that replaces a file, finds the old entry in its
// way. When the plan deletes or removes that entry anyway, it goes first, so that one run does
// what would otherwise take two; nothing is done that the plan did not hold.
void TJobThread::ClearTheWay(const TItemList& plan, TSideFolders (&folders)[2]) {
  done_.assign(size_t(plan.Count()), 0);
  for (const TWayEntry& e : scan_.InTheWay()) {
    if (plan.IsFile(e.plan_index))
      DeleteEntry(plan, e.plan_index, e.side, folders[e.side]);
    else
      RemoveEntry(plan, e.plan_index, e.side, folders[e.side]);
    done_[size_t(e.plan_index)] |= uint8_t(1u << e.side);
  }
}

bool TJobThread::Done(int32_t i, int side) const {
  return size_t(i) < done_.size() && (done_[size_t(i)] & (1u << side));
}

void TJobThread::CreateFolders() {
  const TItemList plan = scan_.Plan();
  TSideFolders folders[2];
  ClearTheWay(plan, folders);
  bool handled = false;
  for (int32_t i = 0; i < plan.Count(); ++i) {
    if (!plan.IsFolder(i)) continue;
    for (int side : {kLeft, kRight}) {
      if (!WritesOnto(plan.Action(i), side)) continue;
      const TFolderPath folder = plan.FolderPath(i, side);
      const std::string& path = folder.path;
      if (path.empty()) continue;
      handled = true;
      const TForceResult r = ForceFolders({path, folder.root_length}, folders[side]);
      if (!touched_.empty()) scan_.MarkCreated(touched_, plan.Group(i), side);
      if (r.ok) {
        ++counters_.FoldersCreated[side];
        OperationOk("Ok Folder creating: '" + path);
      } else {
        ++counters_.CreateErrors[side];
        // The folder is named too, so the full and error logs say which one failed.
        OperationFailed("error Folder creating: " + platform::ErrorText(r.error) + ": '" + path, "",
                        "error Folder creating: '" + path);
      }
      ThrottledRefresh();
    }
  }
  if (!handled) Full("  No Folders to Create");
}

void TJobThread::CopyFiles() {
  std::vector<char> buffer(kCopyBufferSize);
  const TItemList plan = scan_.Plan();
  TSideFolders folders[2];
  bool handled = false;
  for (int32_t i = 0; i < plan.Count(); ++i) {
    const int side = CopySource(plan.Action(i));
    if (side < 0 || !plan.IsFile(i) || plan.Index(i, side) < 0) continue;
    const TFolderPath from = plan.FilePath(i, side), to = plan.FilePath(i, 1 - side);
    const std::string &source = from.path, &target = to.path;
    if (source.empty() || target.empty()) continue;
    handled = true;
    Touch(plan, i, 1 - side, false);
    const bool link = plan.IsLink(i, side);
    const TKeepOutcome kept = KeepOverwritten(plan.Index(i, 1 - side) >= 0, to, folders[1 - side]);
    if (kept.error) {
      ++counters_.CopyErrors[side];
      const std::string text = std::string(link ? "error Copying link: '" : "error Copying: '") +
                               source + "' -> '" + target;
      OperationFailed(text, KeepErrorLine(kept), text);
      continue;
    }
    if (link) {
      if (!CopyLink(source, target, {{source, from.root_length}, folders[side]},
                    {{target, to.root_length}, folders[1 - side]}, side) &&
          keeper_)
        keeper_->Drop(kept);
      if (StopRequested()) break;
      continue;
    }
    int64_t bytes = plan.FileSize(i, side);
    const TCopyOutcome r = CopyOneFile({{source, from.root_length}, folders[side]},
                                       {{target, to.root_length}, folders[1 - side]}, buffer, bytes,
                                       counters_.BytesDone, *this);
    if ((r.error || r.stopped) && keeper_) keeper_->Drop(kept);
    if (r.stopped) break;  // nothing is written for an abandoned copy
    if (r.error == 0) {
      ++counters_.FilesCopied[side];
      counters_.BytesCopied[side] += bytes;
      OperationOk("Ok Copying: '" + source + "' (" + GroupedNumber(bytes) + " bytes) -> '" +
                  target);
    } else {
      ++counters_.CopyErrors[side];
      const std::string text = "error Copying: '" + source + "' -> '" + target;
      OperationFailed(text, ErrorLine(r.error, r.on_source ? source : target), text);
    }
    if (StopRequested()) break;
  }
  if (!handled) Full("  No Files to Copy");
}

bool TJobThread::DeleteEntry(const TItemList& plan, int32_t i, int side, TSideFolders& folders) {
  const TFolderPath file = plan.FilePath(i, side);
  const std::string& path = file.path;
  if (path.empty()) return false;
  int64_t size = 0;
  Touch(plan, i, side, false);
  const std::string what = plan.IsLink(i, side) ? "Deleting link" : "Deleting";
  TKeepOutcome kept;
  if (keeper_) {
    kept = keeper_->Keep({path, file.root_length}, folders, true);
    size = plan.FileSize(i, side);
  }
  const platform::TError e =
      keeper_ ? kept.error : DeleteOneFile({path, file.root_length}, size, folders);
  if (e == 0) {
    ++counters_.FilesDeleted[side];
    counters_.BytesDeleted[side] += size;
    OperationOk("Ok " + what + ": '" + path);
  } else {
    ++counters_.DeleteErrors[side];
    // A file gone since the scan is its own error, not the version's.
    const bool version_failed = keeper_ && e != ENOENT;
    OperationFailed("error " + what + ": " + path,
                    version_failed ? KeepErrorLine(kept) : ErrorLine(e, path),
                    "error " + what + ": '" + path);
  }
  return true;
}

TKeepOutcome TJobThread::KeepOverwritten(bool exists, const TFolderPath& target,
                                         TSideFolders& folders) {
  if (!keeper_ || !exists) return {};
  TKeepOutcome kept = keeper_->Keep({target.path, target.root_length}, folders, false);
  if (kept.error == ENOENT) kept = {};  // gone since the scan: nothing to keep
  return kept;
}

bool TJobThread::RemoveEntry(const TItemList& plan, int32_t i, int side, TSideFolders& folders) {
  const TFolderPath folder = plan.FolderPath(i, side);
  const std::string& path = folder.path;
  if (path.empty()) return false;
  Touch(plan, i, side, true);
  if (const platform::TError e = RemoveOneFolder({path, folder.root_length}, folders); e == 0) {
    ++counters_.FoldersRemoved[side];
    OperationOk("Ok Folder removing: '" + path);
  } else {
    ++counters_.RemoveErrors[side];
    OperationFailed("error Folder removing: " + platform::ErrorText(e) + ": '" + path, "",
                    "error Folder removing: '" + path);
  }
  return true;
}

void TJobThread::DeleteFiles() {
  const TItemList plan = scan_.Plan();
  TSideFolders folders[2];
  bool handled = false;
  for (int32_t i = 0; i < plan.Count(); ++i) {
    if (!plan.IsFile(i)) continue;
    for (int side : {kLeft, kRight}) {
      if (!DeletesOn(plan.Action(i), side) || plan.Index(i, side) < 0) continue;
      handled |= Done(i, side) || DeleteEntry(plan, i, side, folders[side]);
    }
    ThrottledRefresh();
    if (StopRequested()) break;
  }
  if (!handled) Full("  No Files to Delete");
}

void TJobThread::RemoveFolders() {
  const TItemList plan = scan_.Plan();
  TSideFolders folders[2];
  bool handled = false;
  // Backwards, so that subfolders, listed after their folder, go first.
  for (int32_t i = plan.Count() - 1; i >= 0; --i) {
    if (!plan.IsFolder(i)) continue;
    for (int side : {kLeft, kRight}) {
      if (!RemovesOn(plan.Action(i), side)) continue;
      handled |= Done(i, side) || RemoveEntry(plan, i, side, folders[side]);
      ThrottledRefresh();
    }
  }
  if (!handled) Full("  No Folders to Remove");
}

// --- Progress -------------------------------------------------------------------------------

void TJobThread::Refresh() {
  host_.Synchronize([this] { FillProgress(progress_); });
  if (window_ != kNoNotifyWindow) host_.PostMessage(window_, WM_JOBPROGRESS, job_id_);
}

void TJobThread::ThrottledRefresh() {
  const uint32_t now = platform::TickCount();
  if (now - last_refresh_tick_ <= kRefreshInterval) return;
  last_refresh_tick_ = now;
  Refresh();
}

void TJobThread::ScanProgress(const TScanCounters& counters) {
  for (int side : {kLeft, kRight}) {
    counters_.FoldersScanned[side] = static_cast<int32_t>(counters.folders_scanned[side]);
    counters_.FilesFound[side] = static_cast<int32_t>(counters.files_found[side]);
  }
  ThrottledRefresh();
}

void TJobThread::ScanFinished(const TScanCounters& counters) {
  ScanProgress(counters);
  Refresh();
}

void TJobThread::FillProgress(TJobSafeProgress& p) const {
  const TRunCounters& c = counters_;
  const TPlanCounters& plan = scan_.PlanCounters();
  const auto count = [&plan](int action) { return plan.count[action]; };
  const auto bytes = [&plan](int action, int side) { return int64_t(plan.bytes[action][side]); };
  const int64_t bytes_to_copy = bytes(paCopyToRight, kLeft) + bytes(paCopyToLeft, kRight) +
                                bytes(paOverwriteLeft, kRight) + bytes(paOverwriteRight, kLeft);
  p.Stage = stage_;
  p.FoldersScannedLeft = c.FoldersScanned[kLeft];
  p.FoldersScannedRight = c.FoldersScanned[kRight];
  p.FoldersTotal = scan_.FolderCount();
  p.FilesTotal = scan_.FileCount();
  p.FilesFoundLeft = c.FilesFound[kLeft];
  p.FilesFoundRight = c.FilesFound[kRight];
  p.FoldersToCreate = int32_t(plan.folders_to_create[kLeft] + plan.folders_to_create[kRight]);
  p.FoldersCreatedLeft = c.FoldersCreated[kLeft];
  p.FoldersCreatedRight = c.FoldersCreated[kRight];
  p.CreateErrorsLeft = c.CreateErrors[kLeft];
  p.CreateErrorsRight = c.CreateErrors[kRight];
  p.FoldersToRemove = int32_t(plan.folders_to_remove[kLeft] + plan.folders_to_remove[kRight]);
  p.FoldersRemovedLeft = c.FoldersRemoved[kLeft];
  p.FoldersRemovedRight = c.FoldersRemoved[kRight];
  p.RemoveErrorsLeft = c.RemoveErrors[kLeft];
  p.RemoveErrorsRight = c.RemoveErrors[kRight];
  p.FilesToCopy = int32_t(count(paCopyToRight) + count(paCopyToLeft) + count(paOverwriteLeft) +
                          count(paOverwriteRight));
  p.KbToCopy = Low32(bytes_to_copy >> 10);
  p.KbCopied = Low32(c.BytesDone >> 10);
  p.FilesCopiedLeft = c.FilesCopied[kLeft];
  p.FilesCopiedRight = c.FilesCopied[kRight];
  p.BytesCopiedLeftHigh = High32(c.BytesCopied[kLeft]);
  p.BytesCopiedLeftLow = Low32(c.BytesCopied[kLeft]);
  p.BytesCopiedRightHigh = High32(c.BytesCopied[kRight]);
  p.BytesCopiedRightLow = Low32(c.BytesCopied[kRight]);
  p.CopyErrorsLeft = c.CopyErrors[kLeft];
  p.CopyErrorsRight = c.CopyErrors[kRight];
  p.FilesToDelete = int32_t(count(paDeleteLeft) + count(paDeleteRight) + 2 * count(paDeleteBoth));
  p.FilesDeletedLeft = c.FilesDeleted[kLeft];
  p.FilesDeletedRight = c.FilesDeleted[kRight];
  p.BytesDeletedLeftHigh = High32(c.BytesDeleted[kLeft]);
  p.BytesDeletedLeftLow = Low32(c.BytesDeleted[kLeft]);
  p.BytesDeletedRightHigh = High32(c.BytesDeleted[kRight]);
  p.BytesDeletedRightLow = Low32(c.BytesDeleted[kRight]);
  p.DeleteErrorsLeft = c.DeleteErrors[kLeft];
  p.DeleteErrorsRight = c.DeleteErrors[kRight];
}

// --- Report lines ---------------------------------------------------------------------------

void TJobThread::Full(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) lists_.FullLog.Add(line);
}

void TJobThread::FullAndError(std::string_view line) {
  lists_.FullLog.Add(line);
  lists_.ErrorLog.Add(line);
}

void TJobThread::ToAll(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    lists_.FullLog.Add(line);
    lists_.SummaryLog.Add(line);
    lists_.ErrorLog.Add(line);
  }
}

void TJobThread::OperationOk(std::string_view text) {
  Full(TimeStamp() + " - " + std::string(text));
  lists_.OperationLog.Add(text);
}

void TJobThread::OperationFailed(std::string_view text, std::string_view error_line,
                                 std::string_view operation_text) {
  FullAndError(TimeStamp() + " - " + std::string(text));
  if (!error_line.empty()) FullAndError(error_line);
  lists_.OperationLog.Add(operation_text);
}

// --- Watcher --------------------------------------------------------------------------------

TRunJobThread::TRunJobThread(TRunHost& host, TNotifyWindow window, int32_t job_id)
    : host_(host), window_(window), job_id_(job_id) {}

TRunJobThread::~TRunJobThread() {
  WaitFor();
}

void TRunJobThread::SetWorker(std::unique_ptr<TJobThread> worker) {
  std::lock_guard lock(worker_mutex_);
  worker_ = std::move(worker);
}

void TRunJobThread::Resume() {
  if (!thread_.joinable()) thread_ = std::thread([this] { Execute(); });
}

void TRunJobThread::StopWorker() {
  std::lock_guard lock(worker_mutex_);
  if (worker_) worker_->Terminate();
}

void TRunJobThread::WaitFor() {
  if (thread_.joinable()) thread_.join();
}

void TRunJobThread::Execute() {
  TJobThread* worker = nullptr;
  {
    std::lock_guard lock(worker_mutex_);
    worker = worker_.get();
  }
  if (worker) {
    worker->Resume();
    worker->WaitFor();
  }
  {
    std::lock_guard lock(worker_mutex_);
    worker_.reset();
  }
  if (window_ != kNoNotifyWindow) host_.PostMessage(window_, WM_JOBFINISHED, job_id_);
  finished_.store(true, std::memory_order_release);
}

}  // namespace twn
