#pragma once
// The rules of the job wizard that are not texts: the proposed name of a new job, the checks
// before saving, the basket's sort order, the enabling and visibility of controls, the number
// boxes' clamp, the folder-pattern box and the filter histories.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/job_data.h"

namespace twn {

// --- Opening --------------------------------------------------------------------------------
/// A job named exactly "New Job" is offered "New Job n" with the smallest n that no name in
/// `names` has (trimmed, upper-cased); any other name is kept.
std::string ProposedJobName(std::string_view name, std::span<const std::string> names);

// --- Saving ---------------------------------------------------------------------------------
struct TWizardProblem {
  std::string Title;
  std::string Text;
  /// The page to show, and whether the name box takes the focus.
  int Page = 0;
  bool FocusName = false;
};
/// The first reason the working copy may not be saved, checked in this order: the name (blank,
/// forbidden characters, a line break), its uniqueness among `names` apart from the name the
/// job had when the wizard opened (`opening_key`, see JobNameKey), a schedule that can never
/// run, a versions folder that cannot be used. The name is taken as it is: the caller trims it
/// first.
std::optional<TWizardProblem> ValidateJob(const TJobData& data, std::span<const std::string> names,
                                          std::string_view opening_key);

// --- The pair window ------------------------------------------------------------------------
struct TPairCheck {
  /// A path that cannot be used: the pair is refused.
  std::string Error;
  /// The same folder on both sides, or one inside the other: the user is asked.
  std::string Warning;
};
/// Checks a pair as entered: an empty path or one that cannot be stored is an error; folders
/// that are the same or nested (as real paths) give a warning.
TPairCheck CheckPair(const TPairItem& pair);
inline constexpr std::string_view kPairWarningTitle = "Confirm folder pair";

// --- The pairs basket -----------------------------------------------------------------------
/// BasketContainer bits.
inline constexpr int32_t kSortAscending = 1;
inline constexpr int32_t kSortLeft = 2;
inline constexpr int32_t kSortFullPath = 4;
/// The header menu's entries, in order.
inline constexpr std::array<std::string_view, 4> kBasketSortMenu = {
    "Sort by full path (ascending)", "Sort by full path (descending)",
    "Sort by last directory (ascending)", "Sort by last directory (descending)"};
/// The mode an entry of the menu of the left or right column sets.
int32_t BasketSortMode(bool left_column, int entry);
/// The entry of that menu that carries the check mark for `mode`; -1 when the mode sorts by
/// the other column.
int CheckedSortEntry(int32_t mode, bool left_column);
/// Sorts the pairs (their Up keys must be current) and returns where each came from: after the
/// call, pairs[i] was at index order[i] before, so a selection can follow its pair.
std::vector<size_t> SortPairs(std::vector<TPairItem>& pairs, int32_t mode);

// --- File filters ---------------------------------------------------------------------------
enum TTriState : int { tsCleared, tsGrey, tsTicked };
/// The attribute boxes in the order archive, read-only, hidden, system, and their bits.
inline constexpr std::array<uint32_t, 4> kAttrBoxBits = {0x20, 0x01, 0x02, 0x04};
/// Ticked: the file must have the bit; cleared: must not; grey: either.
std::array<TTriState, 4> AttrBoxes(uint32_t inc_mask, uint32_t exc_mask);
void AttrMasks(const std::array<TTriState, 4>& boxes, uint32_t& inc_mask, uint32_t& exc_mask);

// --- Scheduling -----------------------------------------------------------------------------
enum class TScheduleNumber { kNone, kMinutes, kHours, kDays };
struct TScheduleView {
  /// The label beside the number box; empty when hidden.
  std::string_view Label;
  TScheduleNumber Number = TScheduleNumber::kNone;
  bool StartTime = false;
  bool RunBefore = false;
};
TScheduleView ScheduleView(int32_t frequency);

/// What a number box holds when it loses the focus: the typed number brought into
/// [min, max]; text that is not a number reads as min.
int32_t ClampTyped(std::string_view text, int32_t min, int32_t max);

// --- Logs -----------------------------------------------------------------------------------
struct TLogControls {
  /// "create new" / "single file" choice.
  bool Mode = false;
  /// "Overwrite" / "Append" choice.
  bool Overwrite = false;
  /// "Max log file size".
  bool MaxSize = false;
};
TLogControls LogControls(const TLogSetting& log);
/// The example file name the page shows for one log kind (new-per-run names carry the stamp of
/// `now`).
std::string ExampleLogName(const TJobData& data, TLogKind kind, platform::TDateTime now);

// --- Folder patterns and histories ----------------------------------------------------------
/// Whether "Add pattern" is enabled for the typed text: not blank once trimmed, none of "/",
/// "\" and ":", no line break, and not in the list yet.
bool CanAddPattern(std::string_view text, const TFolderFilter& filter);
/// Adds the trimmed text, tidies the list and returns the new pattern's index (-1 when the
/// text cannot be added).
int AddTypedPattern(std::string_view text, TFolderFilter& filter);
/// Puts a filter text at the top of its history, drops later entries equal to an earlier one
/// and cuts the list to `limit`. A blank text is not recorded.
void PushHistory(std::vector<std::string>& history, std::string_view text, size_t limit);

}  // namespace twn
