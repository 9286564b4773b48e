#pragma once
// The Visual run window's phases and what each one shows: buttons and their commands, group
// box and status texts, the statistics panes, the progress lines and the completion table.
// The grid's cells are in visual_run_grid.h.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/scan_info.h"
#include "run/progress.h"

namespace twn {

enum TVisualPhase : int {
  vpReady = 1,
  vpComparing = 2,
  vpCompared = 3,
  vpPreview = 4,
  vpSynchronizing = 5,
  vpDone = 6,
};
inline constexpr int kVisualPhaseCount = 6;

/// What the grid shows.
enum TGridView : int { gvComparison, gvPreview, gvLog };

enum TVisualCommand : int {
  vcNothing,
  vcCompare,
  vcStop,
  vcPreview,
  vcSynchronize,
  vcBackToCompare,
  vcClose,
  vcStopAndClose,
  vcHelp,
  vcQuickInfo,
};

/// The quick-info button's tag in every phase.
inline constexpr int kQuickInfoTag = 20;

/// The buttons, boxes and grid of one phase. A hidden button has tag 0 and no caption.
struct TPhaseLayout {
  std::string_view first_caption;
  int first_tag = 0;
  std::string_view second_caption;
  int second_tag = 0;
  int help_tag = 0;
  int close_tag = 0;
  bool close_is_default = false;  // else the first button is
  std::string_view group_caption;
  TGridView view = gvComparison;
};

/// The layout of a phase 1-6; phase 1's for any other number.
const TPhaseLayout& PhaseLayout(int phase);
TVisualCommand CommandOfTag(int tag);
/// "visual_run_<phase>.html" for a help tag; empty for any other tag.
std::string HelpPageOfTag(int tag);
/// The help context F1 opens in a phase: the same page as its Help button.
constexpr int PhaseHelpContext(int phase) {
  return 26 + phase;
}

/// "Comparison table", "Synchronization preview", "Synchronization log".
std::string_view GridCaption(TGridView view);
/// The one-panel status text of phases 1, 2 and 5; empty for the others.
std::string_view PhaseStatusText(int phase);
inline constexpr std::string_view kTipsText =
    " - To start comparison push the button <Do compare>\n"
    " - To see current job settings push the button <Job quick info>";
inline constexpr std::string_view kVisualRunCaption = "Visual executing";
/// "Visual executing for the job '<name>'".
std::string VisualRunCaption(std::string_view job_name);

/// The two status panels of phase 3: "<KiB> Kb in <files> files" per side.
std::array<std::string, 2> ComparisonTotalsPanels(const TClassCounters& counters);
/// The same over the plan's file entries with a file on each side (phase 4).
std::array<std::string, 2> PlanTotalsPanels(const TPlanCounters& counters);
/// "Synchronization is completed: <n> operation were performed with <e> errors ".
std::string CompletedStatus(int64_t operations, int64_t errors);
/// Errors of every kind on both sides, as the completed status counts them.
int64_t ProgressErrors(const TJobSafeProgress& p);

/// One row of a statistics pane: caption, left and right values.
struct TStatRow {
  std::string caption;
  std::string left;
  std::string right;
};
/// The six rows of the statistics box, the values of the report's comparison results.
std::vector<TStatRow> ComparisonStatRows(const TClassCounters& counters);
/// The six rows of the statistics-of-changes box, the values of the report's plan summary.
std::vector<TStatRow> ChangeStatRows(const TPlanCounters& counters);

/// The six comparison-progress labels: captions alone before any progress (`p` null), else
/// with the record's counts.
std::array<std::string, 6> ScanProgressLabels(const TJobSafeProgress* p);

/// One of the four synchronization progress lines with its gauge.
struct TProgressLine {
  std::string_view caption;  // "Copy:", "Delete:", "Create:", "Remove:"
  std::string text;
  int64_t position = 0;
  int64_t maximum = 0;
};
std::array<TProgressLine, 4> SyncProgressLines(const TJobSafeProgress& p,
                                               const TPlanCounters& plan);

/// The completion table: a caption and the left, right and error columns per row.
struct TCompletionRow {
  std::string_view caption;
  std::string left;
  std::string right;
  std::string errors;
};
inline constexpr std::array<std::string_view, 3> kCompletionColumns = {"on Left pane",
                                                                       "on Right pane", "Errors"};
std::array<TCompletionRow, 4> CompletionRows(const TJobSafeProgress& p);

}  // namespace twn
