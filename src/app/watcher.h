#pragma once
// TWatcher: the job list's view model. Every text, count, enable rule and order the job list
// window shows is computed here, so that twn-cli and the tests see the same.
//
// The selection lives in the jobs' bSelected marks rather than in row numbers: a sort moves the
// jobs and their marks move with them, and a job added or deleted needs no renumbering. The
// window copies its selection into the marks (SelectRows) before it asks for anything that
// depends on it, and takes it back (SelectedRows) after a sort.
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/settings.h"
#include "run/job.h"

namespace twn {

using TJobList = std::vector<std::unique_ptr<TJob>>;

enum TJobListColumn : int32_t {
  jcName = 0,
  jcLastRun = 1,
  jcNextRun = 2,
  jcState = 3,
  jcProgress = 4,  // not sortable
};
inline constexpr std::array<std::string_view, kJobListColumns> kJobColumnCaptions = {
    "Job name", "Last run", "Next run", "State", "Progress"};
inline constexpr int32_t kSortableColumns = 4;

// --- Cells ----------------------------------------------------------------------------------
std::string_view JobStateText(TJobState state);
/// The date and time of the last run, or "-".
std::string LastRunText(const TJob& job);
/// The date and time of the next run, or "Manual".
std::string NextRunText(const TJob& job);
/// What the progress record says about a run by its stage ("Copying: 1 024 of 2 048 Kb").
std::string ProgressText(const TJobSafeProgress& progress);
/// 0 idle, 1 waiting, 2 executing.
int32_t StateImageIndex(TJobState state);
/// The texts of a row in column order; Progress is empty unless the job is executing.
std::array<std::string, kJobListColumns> JobRowTexts(const TJob& job);

// --- Counts, status bar and commands -----------------------------------------------------------
struct TJobCounts {
  int32_t total = 0;
  int32_t waiting = 0;
  int32_t executing = 0;
  int32_t selected = 0;
  int32_t selectedWaiting = 0;
  int32_t selectedExecuting = 0;
};
TJobCounts CountJobs(const TJobList& jobs);

/// " runs every 5 minutes", " runs once a day at 08:30:00", " manual run", ...
std::string SchedulePhrase(const TJobData& data);
/// The status text for several or no selected jobs: "3 Jobs:  1 executing, 2 selected".
std::string CountsText(const TJobCounts& counts);

struct TCommandStates {
  bool New{}, Edit{}, Delete{}, Duplicate{}, SelectAll{}, Execute{}, Stop{}, VisualRun{},
      QuickInfo{}, LogViewer{}, CreateShortcut{}, AdjustColumns{}, Options{}, ShowTutorials{},
      Close{};
};
TCommandStates CommandStates(const TJobCounts& counts);

// --- Order ----------------------------------------------------------------------------------
/// Three-way comparison of two jobs by the keys of a sort column (any other column sorts by
/// name); the job number settles every tie, so the order is total.
int CompareJobs(const TJob& a, const TJob& b, int32_t sort_column);
/// Strict weak order for std::sort.
struct TJobOrder {
  int32_t SortColumn = jcName;
  bool bAscending = true;
  bool operator()(const TJob& a, const TJob& b) const;
  bool operator()(const std::unique_ptr<TJob>& a, const std::unique_ptr<TJob>& b) const {
    return (*this)(*a, *b);
  }
};
/// A column's header: "< " (ascending) or "> " before the caption of the sort column.
std::string ColumnCaption(int32_t column, const TJobOrder& order);

// --- Names ----------------------------------------------------------------------------------
/// The names sorted by their upper-case forms: the order of the job pick lists.
std::vector<std::string> SortedJobNames(const TJobList& jobs);
/// The source name, a blank and the smallest number from 1 that no job has yet (names compared
/// trimmed and upper-cased): "Backup 1", or "Backup 2" when "Backup 1" exists.
std::string DuplicateName(std::string_view source, const TJobList& jobs);
/// The same rule over a list of names.
std::string DuplicateName(std::string_view source, std::span<const std::string> names);

// --- Questions ------------------------------------------------------------------------------
struct TQuestion {
  std::string Title;
  std::string Text;
};
TQuestion EditQuestion(std::string_view job_name);
TQuestion DeleteQuestion(int32_t selected);
TQuestion VisualRunQuestion(std::string_view job_name);
/// Whether a run the deletion guard holds goes on; `held_text` is the guard's verdict text.
TQuestion GuardQuestion(std::string_view job_name, std::string_view held_text);

// --- Column widths ----------------------------------------------------------------------------
inline constexpr int32_t kMinColumnWidth = 50;
inline constexpr int32_t kMinProgressWidth = 100;
inline constexpr int32_t kMaxColumnWidth = 800;
/// A width brought within the column's limits.
int32_t ClampColumnWidth(int32_t column, int32_t width);
/// Adjust columns: the client width shared out equally, within each column's limits.
std::array<int32_t, kJobListColumns> AdjustedColumnWidths(int32_t client_width);

// --- The view model ---------------------------------------------------------------------------
class TWatcher {
 public:
  explicit TWatcher(TJobList& jobs) : jobs_(jobs) {}

  /// Off while the list is rebuilt: rows then produce no text.
  bool Updating() const { return updating_; }
  void SetUpdating(bool on) { updating_ = on; }
  /// A row's texts; none while not updating or for a row that is no job.
  bool RowTexts(int32_t row, std::array<std::string, kJobListColumns>& texts) const;

  /// The window's selection into the jobs' marks (rows outside the list are ignored).
  void SelectRows(std::span<const int32_t> rows);
  std::vector<int32_t> SelectedRows() const;
  void ClearMarks();
  /// Select all, or deselect all when every row is selected already.
  void SelectAll();
  /// The one selected job, or null when not exactly one is selected.
  TJob* SingleSelected() const;

  /// Counts the jobs and builds the status texts; run before every status bar refresh.
  void Recount();
  const TJobCounts& Counts() const { return counts_; }
  const std::string& JobNameText() const { return jobNameText_; }
  const std::string& StatusText() const { return statusText_; }
  /// Two panels (job name, schedule) when exactly one job is selected, else one.
  bool TwoPanels() const { return counts_.selected == 1; }
  TCommandStates Commands() const { return CommandStates(counts_); }

  /// Sorts the jobs; their marks move with them.
  void Sort(const TJobOrder& order);
  /// A header click: the sort column clicked again turns the direction round, another sortable
  /// column becomes the sort column. False (nothing done) for Progress or an empty list.
  bool ColumnClick(int32_t column, TJobOrder& order);
  /// Stop: every selected job becomes manual and its run, if any, is asked to stop.
  void StopSelected();
  /// Delete, first half: marks the selected jobs that are not waiting for their time and asks
  /// their runs to stop; returns how many were marked. A waiting job is left unmarked, so that
  /// it is never deleted later without a question.
  int32_t MarkSelectedForDelete();
  /// Delete, second half: removes the marked jobs that have no run left and returns how many;
  /// a job is destroyed only after its run has ended and been handled.
  int32_t RemoveMarkedIdle();
  /// True while a job marked for deletion still has a run.
  bool MarkedStillRunning() const;
  /// Appends a job as the only selected one and sorts; returns the row it sorts to.
  int32_t AddJob(std::unique_ptr<TJob> job, const TJobOrder& order);

 private:
  TJobList& jobs_;
  bool updating_ = false;
  TJobCounts counts_;
  std::string jobNameText_;
  std::string statusText_;
};

}  // namespace twn
