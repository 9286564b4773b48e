#include "app/watcher.h"

#include <algorithm>
#include <set>

#include "platform/locale.h"
#include "run/report.h"

namespace twn {

// --- Cells ----------------------------------------------------------------------------------

std::string_view JobStateText(TJobState state) {
  switch (state) {
    case jsWaiting:
      return "waiting";
    case jsExecuting:
      return "executing";
    default:
      return "nothing";
  }
}

std::string LastRunText(const TJob& job) {
  return job.bHasLastRun ? platform::FormatDateTime(job.LastRun) : "-";
}

std::string NextRunText(const TJob& job) {
  return job.bHasNextRun ? platform::FormatDateTime(job.NextRun) : "Manual";
}

namespace {

// "<what>: <done> of <total> <unit>"; the sums of two sides are taken in 64 bits.
std::string OfText(std::string_view what, int64_t done, int64_t total, std::string_view unit) {
  std::string text(what);
  text += ": " + GroupedNumber(done) + " of " + GroupedNumber(total) + " ";
  text += unit;
  return text;
}

}  // namespace

std::string ProgressText(const TJobSafeProgress& p) {
  switch (p.Stage) {
    case rsScanning:
      return "Scan: " + GroupedNumber(p.FoldersTotal) + " folders, " + GroupedNumber(p.FilesTotal) +
             " files";
    case rsCreatingFolders:
      return OfText("Created", int64_t{p.FoldersCreatedLeft} + p.FoldersCreatedRight,
                    p.FoldersToCreate, "folders");
    case rsCopying:
      // The Kb counts are the low 32 bits of a byte count shifted by 10: read them unsigned,
      // as the progress bar does, so that 2 TiB and more do not show as negative.
      return OfText("Copying", uint32_t(p.KbCopied), uint32_t(p.KbToCopy), "Kb");
    case rsDeleting:
      return OfText("Deleted", int64_t{p.FilesDeletedLeft} + p.FilesDeletedRight, p.FilesToDelete,
                    "files");
    case rsRemovingFolders:
      return OfText("Removed", int64_t{p.FoldersRemovedLeft} + p.FoldersRemovedRight,
                    p.FoldersToRemove, "folders");
    case rsCompleted:
      return "Done";
    case rsTerminated:
      return "Aborted";
    default:
      return "preparing data...";
  }
}

int32_t StateImageIndex(TJobState state) {
  return state == jsWaiting ? 1 : state == jsExecuting ? 2 : 0;
}

std::array<std::string, kJobListColumns> JobRowTexts(const TJob& job) {
  return {job.Data.JobName, LastRunText(job), NextRunText(job),
          std::string(JobStateText(job.State)),
          job.State == jsExecuting ? ProgressText(job.Progress) : std::string()};
}

// --- Counts, status bar and commands -----------------------------------------------------------

TJobCounts CountJobs(const TJobList& jobs) {
  TJobCounts c;
  c.total = int32_t(jobs.size());
  for (const auto& job : jobs) {
    const bool waiting = job->State == jsWaiting, executing = job->State == jsExecuting;
    c.waiting += waiting;
    c.executing += executing;
    if (!job->bSelected) continue;
    ++c.selected;
    c.selectedWaiting += waiting;
    c.selectedExecuting += executing;
  }
  return c;
}

std::string SchedulePhrase(const TJobData& d) {
  switch (d.Frequency) {
    case kFreqMinutes:
      return " runs every " + std::to_string(d.freMinutes) + " minutes";
    case kFreqHours:
      return " runs every " + std::to_string(d.freHours) + " hours";
    case kFreqDaily:
      return " runs once a day at " + platform::FormatLongTime(d.StartTime);
    case kFreqDays:
      return " runs every " + std::to_string(d.freDays) + " days";
    default:
      return " manual run";
  }
}

std::string CountsText(const TJobCounts& c) {
  if (c.total == 0) return "There are no Jobs.";
  // The spacing is the program's own: the colon piece ends in a blank and the executing piece
  // begins with one, so "3 Jobs:  1 executing".
  std::string text = std::to_string(c.total) + " Jobs";
  if (c.executing + c.waiting + c.selected > 0) text += ": ";
  if (c.executing > 0) {
    text += " " + std::to_string(c.executing) + " executing";
    if (c.waiting + c.selected > 0) text += ", ";
  }
  if (c.waiting > 0) {
    text += std::to_string(c.waiting) + " sheduled";
    if (c.selected > 0) text += ", ";
  }
  if (c.selected > 0) text += std::to_string(c.selected) + " selected";
  return text;
}

TCommandStates CommandStates(const TJobCounts& c) {
  const bool one = c.selected == 1;
  const bool execute = c.selected > c.selectedExecuting;
  return {.New = true,
          .Edit = one,
          .Delete = c.selected > c.selectedWaiting + c.selectedExecuting,
          .Duplicate = one,
          .SelectAll = c.total > 0,
          .Execute = execute,
          .Stop = c.selectedWaiting + c.selectedExecuting > 0,
          .VisualRun = one && execute,
          .QuickInfo = one,
          .LogViewer = c.total > 0,
          .CreateShortcut = one,
          .AdjustColumns = true,
          .Options = true,
          .ShowTutorials = true,
          .Close = true};
}

// --- Order ----------------------------------------------------------------------------------

namespace {

template <typename T>
int Three(const T& a, const T& b) {
  return a < b ? -1 : b < a ? 1 : 0;
}

int CompareNames(const TJob& a, const TJob& b) {
  return Three(platform::UpperCase(a.Data.JobName), platform::UpperCase(b.Data.JobName));
}

// A job without the time sorts before one with it.
int CompareTimes(bool has_a, double a, bool has_b, double b) {
  if (has_a != has_b) return has_a ? 1 : -1;
  return has_a ? Three(a, b) : 0;
}

int CompareKey(const TJob& a, const TJob& b, int32_t key) {
  switch (key) {
    case jcLastRun:
      return CompareTimes(a.bHasLastRun, a.LastRun, b.bHasLastRun, b.LastRun);
    case jcNextRun:
      return CompareTimes(a.bHasNextRun, a.NextRun, b.bHasNextRun, b.NextRun);
    case jcState:
      return Three(int32_t(a.State), int32_t(b.State));
    default:
      return CompareNames(a, b);
  }
}

}  // namespace

int CompareJobs(const TJob& a, const TJob& b, int32_t sort_column) {
  if (&a == &b) return 0;
  using Keys = std::array<int32_t, 4>;
  const Keys keys = sort_column == jcLastRun   ? Keys{jcLastRun, jcNextRun, jcState, jcName}
                    : sort_column == jcNextRun ? Keys{jcNextRun, jcLastRun, jcState, jcName}
                    : sort_column == jcState   ? Keys{jcState, jcName, jcLastRun, jcNextRun}
                                               : Keys{jcName, jcLastRun, jcNextRun, jcState};
  for (const int32_t key : keys)
    if (const int c = CompareKey(a, b, key)) return c;
  return Three(a.JobID, b.JobID);
}

bool TJobOrder::operator()(const TJob& a, const TJob& b) const {
  const int c = CompareJobs(a, b, SortColumn);
  return bAscending ? c < 0 : c > 0;
}

std::string ColumnCaption(int32_t column, const TJobOrder& order) {
  if (column < 0 || column >= int32_t(kJobColumnCaptions.size())) return {};
  std::string caption(kJobColumnCaptions[size_t(column)]);
  if (column == order.SortColumn && column < kSortableColumns)
    return (order.bAscending ? "< " : "> ") + caption;
  return caption;
}

// --- Names ----------------------------------------------------------------------------------

std::vector<std::string> SortedJobNames(const TJobList& jobs) {
  std::vector<std::string> names;
  names.reserve(jobs.size());
  for (const auto& job : jobs) names.push_back(job->Data.JobName);
  std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return platform::UpperCase(a) < platform::UpperCase(b);
  });
  return names;
}

std::string DuplicateName(std::string_view source, const TJobList& jobs) {
  std::vector<std::string> names;
  for (const auto& job : jobs) names.push_back(job->Data.JobName);
  return DuplicateName(source, names);
}

std::string DuplicateName(std::string_view source, std::span<const std::string> names) {
  std::set<std::string> taken;
  for (const std::string& name : names) taken.insert(JobNameKey(name));
  for (int64_t n = 1;; ++n) {
    std::string name = std::string(source) + " " + std::to_string(n);
    if (!taken.count(JobNameKey(name))) return name;
  }
}

// --- Questions ------------------------------------------------------------------------------

TQuestion EditQuestion(std::string_view job_name) {
  return {"Confirm Job editing", "The Job '" + std::string(job_name) +
                                     "' is either sheduled or executing. Do you really want to "
                                     "stop it for editing?"};
}

TQuestion DeleteQuestion(int32_t selected) {
  if (selected == 1) return {"Confirm job deleting", "Do you really want to delete selected Job?"};
  return {"Confirm job deleting", "You have " + std::to_string(selected) +
                                      " selected jobs. Do you really want to delete them?"};
}

TQuestion VisualRunQuestion(std::string_view job_name) {
  return {"Confirm Job detailed executing",
          "The Job '" + std::string(job_name) +
              "' is either sheduled or executing. Do you really want to stop it for detailed "
              "executing?"};
}

TQuestion GuardQuestion(std::string_view job_name, std::string_view held_text) {
  return {"Confirm deleting", "The Job '" + std::string(job_name) +
                                  "' asks before synchronizing: " + std::string(held_text) +
                                  ". Do you really want to synchronize?"};
}

// --- Column widths ----------------------------------------------------------------------------

int32_t ClampColumnWidth(int32_t column, int32_t width) {
  const int32_t least = column == jcProgress ? kMinProgressWidth : kMinColumnWidth;
  return std::clamp(width, least, kMaxColumnWidth);
}

std::array<int32_t, kJobListColumns> AdjustedColumnWidths(int32_t client_width) {
  std::array<int32_t, kJobListColumns> widths{};
  for (size_t i = 0; i < widths.size(); ++i)
    widths[i] = ClampColumnWidth(int32_t(i), client_width / int32_t(widths.size()));
  return widths;
}

// --- The view model ---------------------------------------------------------------------------

bool TWatcher::RowTexts(int32_t row, std::array<std::string, kJobListColumns>& texts) const {
  if (!updating_ || row < 0 || size_t(row) >= jobs_.size()) return false;
  texts = JobRowTexts(*jobs_[size_t(row)]);
  return true;
}

void TWatcher::SelectRows(std::span<const int32_t> rows) {
  ClearMarks();
  for (const int32_t row : rows)
    if (row >= 0 && size_t(row) < jobs_.size()) jobs_[size_t(row)]->bSelected = true;
}

std::vector<int32_t> TWatcher::SelectedRows() const {
  std::vector<int32_t> rows;
  for (size_t i = 0; i < jobs_.size(); ++i)
    if (jobs_[i]->bSelected) rows.push_back(int32_t(i));
  return rows;
}

void TWatcher::ClearMarks() {
  for (const auto& job : jobs_) job->bSelected = job->bFocused = false;
}

void TWatcher::SelectAll() {
  const bool all =
      std::all_of(jobs_.begin(), jobs_.end(), [](const auto& job) { return job->bSelected; });
  for (const auto& job : jobs_) job->bSelected = !all;
}

TJob* TWatcher::SingleSelected() const {
  TJob* found = nullptr;
  for (const auto& job : jobs_) {
    if (!job->bSelected) continue;
    if (found) return nullptr;
    found = job.get();
  }
  return found;
}

void TWatcher::Recount() {
  counts_ = CountJobs(jobs_);
  jobNameText_.clear();
  if (const TJob* job = counts_.selected == 1 ? SingleSelected() : nullptr) {
    jobNameText_ = job->Data.JobName;
    statusText_ = SchedulePhrase(job->Data);
  } else {
    statusText_ = CountsText(counts_);
  }
}

void TWatcher::Sort(const TJobOrder& order) {
  const bool was = updating_;
  updating_ = false;
  std::sort(jobs_.begin(), jobs_.end(), order);
  updating_ = was;
}

bool TWatcher::ColumnClick(int32_t column, TJobOrder& order) {
  if (jobs_.empty() || column < 0 || column >= kSortableColumns) return false;
  if (column == order.SortColumn) order.bAscending = !order.bAscending;
  order.SortColumn = column;
  Sort(order);
  return true;
}

void TWatcher::StopSelected() {
  for (const auto& job : jobs_) {
    if (!job->bSelected) continue;
    job->bChanged = true;
    job->Data.Frequency = kFreqManual;
    job->State = jsNothing;
    job->bHasNextRun = false;
    job->Stop();
  }
}

int32_t TWatcher::MarkSelectedForDelete() {
  int32_t marked = 0;
  for (const auto& job : jobs_) {
    job->bMarkedForDelete = job->bSelected && job->State != jsWaiting;
    if (!job->bMarkedForDelete) continue;
    job->Stop();
    ++marked;
  }
  return marked;
}

int32_t TWatcher::RemoveMarkedIdle() {
  const auto removable = [](const auto& job) { return job->bMarkedForDelete && !job->Running(); };
  const auto first = std::remove_if(jobs_.begin(), jobs_.end(), removable);
  const auto removed = int32_t(jobs_.end() - first);
  jobs_.erase(first, jobs_.end());
  return removed;
}

bool TWatcher::MarkedStillRunning() const {
  return std::any_of(jobs_.begin(), jobs_.end(),
                     [](const auto& job) { return job->bMarkedForDelete && job->Running(); });
}

int32_t TWatcher::AddJob(std::unique_ptr<TJob> job, const TJobOrder& order) {
  ClearMarks();
  job->bSelected = job->bFocused = true;
  const TJob* added = jobs_.emplace_back(std::move(job)).get();
  Sort(order);
  const auto at =
      std::find_if(jobs_.begin(), jobs_.end(), [added](const auto& j) { return j.get() == added; });
  return int32_t(at - jobs_.begin());
}

}  // namespace twn
