#include "windows/wizard_rules.h"

#include <algorithm>
#include <charconv>
#include <numeric>

#include "app/watcher.h"
#include "model/versions.h"
#include "platform/fs.h"
#include "platform/locale.h"
#include "run/log_files.h"
#include "windows/wizard_summary.h"

namespace twn {

std::string ProposedJobName(std::string_view name, std::span<const std::string> names) {
  if (name != "New Job") return std::string(name);
  return DuplicateName(name, names);
}

std::optional<TWizardProblem> ValidateJob(const TJobData& data, std::span<const std::string> names,
                                          std::string_view opening_key) {
  std::vector<std::string> others;
  for (const std::string& name : names)
    if (JobNameKey(name) != opening_key) others.push_back(name);
  // The name's own checks come before the uniqueness test, as the user reads them.
  if (std::string why = JobNameProblem(data.JobName, {}); !why.empty())
    return TWizardProblem{"Warning: incorrect field", why, kWizardPageJob, true};
  if (std::string why = JobNameProblem(data.JobName, others); !why.empty())
    return TWizardProblem{"Warning: incorrect field", why, kWizardPageJob, true};
  if (!data.CanSchedule())
    return TWizardProblem{"Warning: incorrect scheduling settings",
                          "You can't exclude all days of week", kWizardPageScheduling, false};
  if (std::string why = VersionsProblem(data); !why.empty())
    return TWizardProblem{"Warning: incorrect field", why, kWizardPageMethods, false};
  return std::nullopt;
}

TPairCheck CheckPair(const TPairItem& pair) {
  TPairCheck check;
  for (const auto& [path, side] : {std::pair{&pair.L_Path, "left"}, {&pair.R_Path, "right"}}) {
    if (platform::TrimBlanks(*path).empty()) {
      check.Error = std::string("Please choose the ") + side + " folder.";
      return check;
    }
    if (std::string why = FolderPathProblem(*path); !why.empty()) {
      check.Error = why;
      return check;
    }
  }
  const std::string left = platform::RealPath(pair.L_Path);
  const std::string right = platform::RealPath(pair.R_Path);
  if (left == right) {
    check.Warning =
        "The left and the right folder are the same folder ('" + left + "'). Use this pair anyway?";
  } else if (!platform::PathBelow(left, right).empty() ||
             !platform::PathBelow(right, left).empty()) {
    const bool left_inside = !platform::PathBelow(left, right).empty();
    check.Warning = "Folder '" + (left_inside ? pair.L_Path : pair.R_Path) +
                    "' lies inside folder '" + (left_inside ? pair.R_Path : pair.L_Path) +
                    "': the pair would synchronize a tree into itself, and a run leaves it "
                    "alone unless a folder pattern of the job excludes the inner folder. Use "
                    "this pair anyway?";
  }
  return check;
}

int32_t BasketSortMode(bool left_column, int entry) {
  int32_t mode = left_column ? kSortLeft : 0;
  if (entry == 0 || entry == 1) mode |= kSortFullPath;
  if (entry == 0 || entry == 2) mode |= kSortAscending;
  return mode;
}

int CheckedSortEntry(int32_t mode, bool left_column) {
  if (((mode & kSortLeft) != 0) != left_column) return -1;
  const int base = (mode & kSortFullPath) ? 0 : 2;
  return base + ((mode & kSortAscending) ? 0 : 1);
}

std::vector<size_t> SortPairs(std::vector<TPairItem>& pairs, int32_t mode) {
  const bool left = mode & kSortLeft;
  const bool full = mode & kSortFullPath;
  const bool ascending = mode & kSortAscending;
  auto keys = [&](const TPairItem& p) {
    const std::string& path_s = left ? p.L_UpPath : p.R_UpPath;
    const std::string& path_o = left ? p.R_UpPath : p.L_UpPath;
    const std::string& name_s = left ? p.L_UpName : p.R_UpName;
    const std::string& name_o = left ? p.R_UpName : p.L_UpName;
    static const std::string kNone;
    return full ? std::tie(path_s, path_o, kNone, kNone) : std::tie(name_s, path_s, name_o, path_o);
  };
  std::vector<size_t> order(pairs.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return ascending ? keys(pairs[a]) < keys(pairs[b]) : keys(pairs[b]) < keys(pairs[a]);
  });
  std::vector<TPairItem> sorted;
  sorted.reserve(pairs.size());
  for (size_t from : order) sorted.push_back(std::move(pairs[from]));
  pairs = std::move(sorted);
  return order;
}

std::array<TTriState, 4> AttrBoxes(uint32_t inc_mask, uint32_t exc_mask) {
  std::array<TTriState, 4> boxes{};
  for (size_t i = 0; i < boxes.size(); ++i)
    boxes[i] = (inc_mask & kAttrBoxBits[i])   ? tsTicked
               : (exc_mask & kAttrBoxBits[i]) ? tsCleared
                                              : tsGrey;
  return boxes;
}

void AttrMasks(const std::array<TTriState, 4>& boxes, uint32_t& inc_mask, uint32_t& exc_mask) {
  inc_mask = exc_mask = 0;
  for (size_t i = 0; i < boxes.size(); ++i) {
    if (boxes[i] == tsTicked) inc_mask |= kAttrBoxBits[i];
    if (boxes[i] == tsCleared) exc_mask |= kAttrBoxBits[i];
  }
}

TScheduleView ScheduleView(int32_t frequency) {
  switch (frequency) {
    case kFreqMinutes:
      return {"Minutes", TScheduleNumber::kMinutes, false, true};
    case kFreqHours:
      return {"Hours", TScheduleNumber::kHours, false, true};
    case kFreqDaily:
      return {"", TScheduleNumber::kNone, true, true};
    case kFreqDays:
      return {"Days", TScheduleNumber::kDays, true, true};
    default:
      return {"The profile will not run periodically.", TScheduleNumber::kNone, false, false};
  }
}

int32_t ClampTyped(std::string_view text, int32_t min, int32_t max) {
  text = platform::TrimBlanks(text);
  if (text.empty() ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return min;
  int64_t value = 0;
  // More digits than an int64 holds are far above any range.
  if (std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc()) return max;
  return static_cast<int32_t>(std::clamp<int64_t>(value, min, max));
}

TLogControls LogControls(const TLogSetting& log) {
  TLogControls c;
  c.Mode = log.bUse;
  c.Overwrite = log.bUse && !log.bCreateNew;
  c.MaxSize = c.Overwrite && !log.bOverwrite;
  return c;
}

std::string ExampleLogName(const TJobData& data, TLogKind kind, platform::TDateTime now) {
  const bool new_per_run = data.LogSetting(kind).bCreateNew;
  return LogFileName(data.JobName, kind, new_per_run, new_per_run ? RunStamp(now) : "");
}

bool CanAddPattern(std::string_view text, const TFolderFilter& filter) {
  text = platform::TrimBlanks(text);
  return !text.empty() && text.find_first_of("/\\:") == std::string_view::npos &&
         !HasLineBreak(text) && filter.IndexOfPattern(text) < 0;
}

int AddTypedPattern(std::string_view text, TFolderFilter& filter) {
  if (!CanAddPattern(text, filter)) return -1;
  text = platform::TrimBlanks(text);
  filter.AddPattern(text);
  filter.Normalize();
  return filter.IndexOfPattern(text);
}

void PushHistory(std::vector<std::string>& history, std::string_view text, size_t limit) {
  if (platform::TrimBlanks(text).empty()) return;
  history.insert(history.begin(), std::string(text));
  CleanHistory(history, ';', limit);
}

}  // namespace twn
