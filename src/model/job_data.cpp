#include "model/job_data.h"

#include <unordered_set>

#include "platform/locale.h"

namespace twn {

void CleanHistory(std::vector<std::string>& list, char separator, size_t limit) {
  // A set of the keys seen so far keeps this linear: settings files may carry long lists.
  std::unordered_set<std::string> seen;
  std::vector<std::string> kept;
  kept.reserve(list.size());
  for (std::string& entry : list) {
    if (kept.size() >= limit) break;
    std::string key = platform::UpperCase(platform::TrimBlanks(entry));
    if (!key.empty() && key.back() == separator) key.pop_back();
    if (seen.insert(std::move(key)).second) kept.push_back(std::move(entry));
  }
  list = std::move(kept);
}

std::string_view ActionText(TActionField field, int32_t value) {
  if (field < 0 || static_cast<size_t>(field) >= kActionFieldCount) return {};
  if (value == 0) return kDoNothing;
  if (value < 0 || value >= kActionChoiceCounts[field]) return {};
  return kActionTexts[field][value - 1];
}

void TPairItem::RefreshKeys() {
  L_UpPath = platform::UpperCase(L_Path);
  L_UpName = platform::LastComponent(L_UpPath);
  R_UpPath = platform::UpperCase(R_Path);
  R_UpName = platform::LastComponent(R_UpPath);
}

TJobData::TJobData(platform::TDateTime now) : StartTime(now), RunBefore(now) {
  FileFilter.FLT_DateTimeA = now;
  FileFilter.FLT_DateTimeB = now;
}

void TJobData::Assign(const TJobData& source) {
  // Every member is a value (strings, vectors of records, filters with value semantics), so
  // the copy is deep by construction.
  if (this != &source) *this = source;
}

bool TJobData::HasWork() const {
  bool any = false;
  for (int32_t action : Actions()) any = any || action != 0;
  for (bool flag : EmptyFlags()) any = any || flag;
  return any && HasPairs();
}

bool TJobData::CanSchedule() const {
  // Only the seven weekday bits can ever be tested, so stray higher bits must not hide an
  // all-days exclusion.
  return Frequency == kFreqManual || (ExcludeDays & kAllDays) != kAllDays;
}

void TJobData::AddLogFile(const std::string& path, bool atEnd) {
  if (path.empty()) return;
  if (atEnd)
    LogHistory.push_back(path);
  else
    LogHistory.insert(LogHistory.begin(), path);
  CleanHistory(LogHistory, kLogHistorySeparator, kLogHistoryLimit);
}

void TJobData::RemoveDeadLogs() {
  std::erase_if(LogHistory, [](const std::string& entry) {
    return !platform::FileExists(std::string(platform::TrimBlanks(entry)));
  });
}

platform::TError TJobData::DeleteLog(int index) {
  if (index < 0 || static_cast<size_t>(index) >= LogHistory.size()) return 0;
  const std::string path(platform::TrimBlanks(LogHistory[index]));
  platform::TError error = 0;
  if (platform::FileExists(path)) {
    platform::SetAttributes(path, platform::kAttrNormal);
    error = platform::DeleteFile(path);
  }
  LogHistory.erase(LogHistory.begin() + index);
  return error;
}

void TJobData::RefreshPairKeys() {
  for (TPairItem& pair : Pairs) {
    pair.RefreshKeys();
    pair.Valid = 1;
  }
}

std::array<int32_t, kActionFieldCount> TJobData::Actions() const {
  return {idxNewerL, idxNewerR, idxEqualDate, idxEqualL, idxEqualR, idxSingleL, idxSingleR};
}

std::array<bool, kEmptyFlagCount> TJobData::EmptyFlags() const {
  return {Empty_RemoveL, Empty_RemoveR, Empty_CopyL, Empty_CopyR};
}

TLogSetting TJobData::LogSetting(TLogKind kind) const {
  switch (kind) {
    case lkSummary:
      return {LogSummary_bUse, LogSummary_bCreateNew, LogSummary_bOverwrite, LogSummary_MaxSize};
    case lkError:
      return {LogError_bUse, LogError_bCreateNew, LogError_bOverwrite, LogError_MaxSize};
    case lkFull:
      break;
  }
  return {LogFull_bUse, LogFull_bCreateNew, LogFull_bOverwrite, LogFull_MaxSize};
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

bool HasEdgeBlanks(std::string_view text) {
  return platform::TrimBlanks(text).size() != text.size();
}

std::string JobNameKey(std::string_view name) {
  return platform::UpperCase(platform::TrimBlanks(name));
}

std::string JobNameProblem(std::string_view name, std::span<const std::string> other_names) {
  // A blank name would give log files named "_full.log" and a job no command line can name.
  if (platform::TrimBlanks(name).empty()) return "Please type a name for the job.";
  if (HasLineBreak(name)) return "A job name cannot hold a line break";
  if (HasEdgeBlanks(name)) return "A job name cannot begin or end with a blank";
  if (name.find_first_of(kJobNameForbidden) != std::string_view::npos)
    return "Don't use symbols \\/:*?\"<>| in job name";
  const std::string wanted = JobNameKey(name);
  for (const std::string& other : other_names)
    if (JobNameKey(other) == wanted)
      return "Job should have unique name. Please type another name.";
  return {};
}

std::string FolderPathProblem(std::string_view path) {
  if (HasLineBreak(path)) return "A folder path cannot hold a line break";
  if (HasEdgeBlanks(path)) return "A folder path cannot begin or end with a blank";
  return {};
}

}  // namespace twn
