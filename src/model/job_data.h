#pragma once
// TJobData: the persistent definition of one synchronization job, and TPairItem, one folder
// pair of it. Field names are the settings-file keys. The record holds no runtime state; that
// lives in TJob.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "filters/file_filter.h"
#include "filters/folder_filter.h"
#include "platform/fs.h"
#include "platform/time.h"

namespace twn {

/// One folder pair. The Up fields are sort keys derived from the paths by RefreshKeys.
struct TPairItem {
  std::string L_Path;
  std::string L_UpPath;
  std::string L_UpName;
  std::string R_Path;
  std::string R_UpPath;
  std::string R_UpName;
  bool bSubFLD = false;
  /// 1 = both folders existed when last tested.
  int32_t Valid = 0;

  /// Recomputes the four derived keys from L_Path and R_Path.
  void RefreshKeys();
};

// Methods (idxMethod).
inline constexpr int32_t kMethodNone = 0;
inline constexpr int32_t kMethodMirrorL = 1;
inline constexpr int32_t kMethodMirrorR = 2;
inline constexpr int32_t kMethodBackupL = 3;
inline constexpr int32_t kMethodBackupR = 4;
inline constexpr int32_t kMethodUpdate = 5;
inline constexpr int32_t kMethodCustom = 6;
/// Texts of methods 0-6; method 0 (none chosen yet) has no text.
inline constexpr std::array<std::string_view, 7> kMethodTexts = {
    "",
    "Mirror copy files from Left to Right",
    "Mirror copy files from Right to Left",
    "Copy files from Left to Right",
    "Copy files from Right to Left",
    "Update Left and Right (Make Equal)",
    "Custom",
};

/// The text of a job's method: a named method's own, "Custom" for any other value.
inline std::string_view MethodText(int32_t method) {
  const bool named = method >= kMethodMirrorL && method <= kMethodUpdate;
  return kMethodTexts[static_cast<size_t>(named ? method : kMethodCustom)];
}

/// The seven per-class action fields, in the order they are stored and shown.
enum TActionField : int {
  afNewerL,
  afNewerR,
  afEqualDate,
  afEqualL,
  afEqualR,
  afSingleL,
  afSingleR,
};
inline constexpr size_t kActionFieldCount = 7;
/// Number of choices of each action field, "Do nothing" (0) included.
inline constexpr std::array<int32_t, kActionFieldCount> kActionChoiceCounts = {6, 6, 6, 2, 2, 3, 3};
inline constexpr std::string_view kDoNothing = "Do nothing";
/// Choice texts 1-5 of each action field; empty where the field has fewer choices.
inline constexpr std::array<std::array<std::string_view, 5>, kActionFieldCount> kActionTexts = {{
    {"Copy newer files from Left pane to Right pane",
     "Copy older files from Right pane to Left pane", "Delete newer files on Left pane",
     "Delete older files on Right pane",
     "Delete newer files on Left pane and older files on Right pane"},
    {"Copy older files from Left pane to Right pane",
     "Copy newer files from Right pane to Left pane", "Delete older files on Left pane",
     "Delete newer files on Right pane",
     "Delete newer files on Right pane and older files on Left pane"},
    {"Copy files with equal DateTime from Left pane to Right pane",
     "Copy files with equal DateTime from Right pane to Left pane", "Delete files on Left pane",
     "Delete files on Right pane", "Delete files on panes both Right and Left"},
    {"Delete equal files on Left pane"},
    {"Delete equal files on Right pane"},
    {"Copy Left pane singles to Right pane", "Delete single files on Left pane"},
    {"Copy Right pane singles to Left pane", "Delete single files on Right pane"},
}};
/// The text of an action choice: "Do nothing" for 0, empty for a value the field does not have.
std::string_view ActionText(TActionField field, int32_t value);

/// The four empty-folder flags, in the order they are stored and shown.
inline constexpr size_t kEmptyFlagCount = 4;
inline constexpr std::array<std::string_view, kEmptyFlagCount> kEmptyFolderTexts = {
    "Remove empty folders on Left",
    "Remove empty folders on Right",
    "Copy empty folders from Left to Right",
    "Copy empty folders from Right to Left",
};

// Schedule kinds (Frequency) and their list texts.
inline constexpr int32_t kFreqManual = 0;
inline constexpr int32_t kFreqMinutes = 1;
inline constexpr int32_t kFreqHours = 2;
inline constexpr int32_t kFreqDaily = 3;
inline constexpr int32_t kFreqDays = 4;
inline constexpr std::array<std::string_view, 5> kFrequencyTexts = {
    "Manual", "Every few minutes", "Every few hours", "Once a day", "Every few days",
};

// Weekday bits of ExcludeDays.
inline constexpr int32_t kMonday = 1;
inline constexpr int32_t kTuesday = 2;
inline constexpr int32_t kWednesday = 4;
inline constexpr int32_t kThursday = 8;
inline constexpr int32_t kFriday = 16;
inline constexpr int32_t kSaturday = 32;
inline constexpr int32_t kSunday = 64;
inline constexpr int32_t kAllDays = 127;

// The ranges the job editors allow.
inline constexpr int32_t kMinMinutes = 1, kMaxMinutes = 900;
inline constexpr int32_t kMinHours = 1, kMaxHours = 240;
inline constexpr int32_t kMinDays = 1, kMaxDays = 365;
inline constexpr int32_t kMinTimezoneHours = 1, kMaxTimezoneHours = 12;
inline constexpr int32_t kMinLogSize = 100, kMaxLogSize = 100000, kLogSizeStep = 100;
/// The deletion guard: a run that would delete or overwrite more than MaxDeletePercent of one
/// side's files is held. New jobs start at the default; 0 turns the guard off, and a job
/// stored before the guard existed has it off.
inline constexpr int32_t kDefaultMaxDeletePercent = 50;
/// At most this many files deleted or overwritten on a side never hold a run, so that small
/// folders can be mirrored freely.
inline constexpr int64_t kDeleteGuardFloor = 10;
/// The percentage a stored value stands for: below 0 the guard is off, above 100 it is 100 (it
/// then holds only a run that deletes every file of a side). A hand-edited file may hold either.
constexpr int32_t GuardPercent(int32_t stored) {
  return stored < 0 ? 0 : stored > 100 ? 100 : stored;
}
/// The folder at a side's root where replaced and deleted files are kept; scans and watches
/// leave it out.
inline constexpr std::string_view kVersionsFolderName = ".twn-versions";
/// Characters a job name may not hold (it becomes part of file names and command lines).
inline constexpr std::string_view kJobNameForbidden = "\\/:*?\"<>|";

/// The log history keeps at most this many paths; its cleaning ignores one trailing ':'.
inline constexpr size_t kLogHistoryLimit = 200;
inline constexpr char kLogHistorySeparator = ':';

/// Log kinds, in the order full, summary, error.
enum TLogKind : int { lkFull, lkSummary, lkError };
inline constexpr size_t kLogKindCount = 3;

/// The four settings of one log kind, as a value.
struct TLogSetting {
  bool bUse = true;
  bool bCreateNew = false;
  bool bOverwrite = false;
  int32_t MaxSize = 1000;
};

/// A log file that could not be written, and why.
struct TLogFailure {
  std::string Path;
  platform::TError Error = 0;
  bool operator==(const TLogFailure&) const = default;
};

class TJobData {
 public:
  /// A record with the defaults of a new job; StartTime and RunBefore take `now`.
  explicit TJobData(platform::TDateTime now = platform::Now());
  static TJobData Create(platform::TDateTime now = platform::Now()) { return TJobData(now); }

  /// Deep copy of every field; nothing is shared with the source afterwards.
  void Assign(const TJobData& source);

  bool HasPairs() const { return !Pairs.empty(); }
  /// Some action or empty-folder flag is set, and there is a pair to work on.
  bool HasWork() const;
  /// False for a scheduled job that excludes every weekday and so can never run.
  bool CanSchedule() const;

  /// Records a written log file first (atEnd false) or last; an empty path is ignored.
  void AddLogFile(const std::string& path, bool atEnd);
  /// Drops every history entry whose file (path trimmed of blanks) does not exist.
  void RemoveDeadLogs();
  /// For 0 <= index < count: deletes the file (read-only or not) if it exists and removes the
  /// entry either way. Returns the error of the deletion, 0 when it succeeded, there was no
  /// file, or the index is out of range (then nothing happens).
  platform::TError DeleteLog(int index);
  /// Recomputes the derived keys of every pair and marks each pair valid.
  void RefreshPairKeys();

  /// The seven action fields in TActionField order, and the four empty-folder flags.
  std::array<int32_t, kActionFieldCount> Actions() const;
  std::array<bool, kEmptyFlagCount> EmptyFlags() const;
  /// The settings of one log kind.
  TLogSetting LogSetting(TLogKind kind) const;

  std::string JobName = "New Job";
  std::vector<TPairItem> Pairs;
  bool bContent = false;
  TFileFilter FileFilter;
  TFolderFilter FolderFilter;
  bool bRulesSize = true;
  bool bRulesTime = true;
  bool bRulesAttr = false;
  bool bRulesNTFS = true;
  bool bRulesDaylight = true;
  bool bRulesTimezone = false;
  int32_t RulesTimezone = 1;
  int32_t idxMethod = kMethodNone;
  int32_t idxNewerL = 0;
  int32_t idxNewerR = 0;
  int32_t idxEqualDate = 0;
  int32_t idxEqualL = 0;
  int32_t idxEqualR = 0;
  int32_t idxSingleL = 0;
  int32_t idxSingleR = 0;
  bool Empty_RemoveL = false;
  bool Empty_RemoveR = false;
  bool Empty_CopyL = false;
  bool Empty_CopyR = false;
  int32_t Frequency = kFreqManual;
  int32_t freMinutes = 1;
  int32_t freHours = 1;
  int32_t freDays = 1;
  int32_t ExcludeDays = 0;
  platform::TDateTime StartTime = 0;
  bool bRunBefore = false;
  platform::TDateTime RunBefore = 0;
  bool LogFull_bUse = true;
  bool LogFull_bCreateNew = false;
  bool LogFull_bOverwrite = false;
  int32_t LogFull_MaxSize = 1000;
  bool LogSummary_bUse = true;
  bool LogSummary_bCreateNew = false;
  bool LogSummary_bOverwrite = false;
  int32_t LogSummary_MaxSize = 1000;
  bool LogError_bUse = true;
  bool LogError_bCreateNew = false;
  bool LogError_bOverwrite = false;
  int32_t LogError_MaxSize = 1000;
  /// The deletion guard's percentage; 0 is off (see GuardPercent).
  int32_t MaxDeletePercent = kDefaultMaxDeletePercent;
  /// Run when files change: the scheduler watches both sides and runs soon after a change.
  bool bRunOnChange = false;
  /// Deleted and overwritten files are kept as versions (model/versions.h).
  bool bKeepVersions = false;
  /// Where they go: empty for a folder at the root of each side, else an absolute path.
  std::string VersionsFolder;
  int32_t KeepVersions = 10;
  int32_t KeepDays = 30;
  /// Symbolic links are copied as links (never followed); off, they are passed over. New jobs
  /// have it on, a job stored before the option existed has it off.
  bool bCopyLinks = true;
  /// After a run, the folders it changed take their partners' last-write times. Defaults as
  /// bCopyLinks.
  bool bFolderTimes = true;
  /// Paths of the log files written, most recent first.
  std::vector<std::string> LogHistory;
};

/// Cleans a history list in place: entries are keyed by their text trimmed of blanks,
/// upper-cased (a-z) and stripped of one trailing `separator`; of entries with equal keys only
/// the first stays; then the list is cut to `limit` entries.
void CleanHistory(std::vector<std::string>& list, char separator, size_t limit);

/// Whether the text holds a carriage return or a line feed. Such a value cannot be stored in
/// the settings file (it would end its line and could add keys), so it is refused where it is
/// entered.
bool HasLineBreak(std::string_view text);

/// Whether the text begins or ends with a blank, a tab or another character the settings file
/// trims from its values on reading: such a value would read back as a different one.
bool HasEdgeBlanks(std::string_view text);

/// The key job names are compared by: trimmed and upper-cased.
std::string JobNameKey(std::string_view name);
/// Why a job name cannot be used, or an empty text when it can: a line break; a blank at
/// either end; one of the characters \/:*?"<>|; a name equal to one of `other_names` (both
/// trimmed and upper-cased).
std::string JobNameProblem(std::string_view name, std::span<const std::string> other_names);

/// Why a folder path cannot be stored as entered, or an empty text when it can: a line break
/// or a blank at either end (it would read back as another folder).
std::string FolderPathProblem(std::string_view path);

}  // namespace twn
