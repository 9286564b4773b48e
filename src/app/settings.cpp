#include "app/settings.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>

#include "model/kel_ini.h"
#include "platform/locale.h"

namespace twn {
namespace {

using platform::TDateTime;

// A key or section name put together without the heap: "L_Path" 2, {"LogFull", "_bUse"}.
class TKeyName {
 public:
  TKeyName(std::initializer_list<std::string_view> parts) {
    for (std::string_view part : parts) Append(part);
  }
  TKeyName(std::string_view name, int number) {
    Append(name);
    size_ = size_t(std::to_chars(buf_ + size_, buf_ + sizeof buf_, number).ptr - buf_);
  }
  operator std::string_view() const { return std::string_view(buf_, size_); }

 private:
  void Append(std::string_view part) {
    const size_t n = std::min(part.size(), sizeof buf_ - 16 - size_);
    std::memcpy(buf_ + size_, part.data(), n);
    size_ += n;
  }
  char buf_[80];
  size_t size_ = 0;
};

// Flags are 0 or 1; anything else (a 2, a word, no key) is the key's default.
bool ReadFlag(const TKelIni& ini, int s, std::string_view key, bool def) {
  switch (ini.ReadInteger(s, key, 2)) {
    case 0:
      return false;
    case 1:
      return true;
    default:
      return def;
  }
}

void WriteFlag(TKelIni& ini, int s, std::string_view key, bool value) {
  ini.WriteInteger(s, key, value ? 1 : 0);
}

// "b_QuickInfo_moved", "w_QuickInfo_State", ...
TKeyName PlacementKey(std::string_view kind, std::string_view window, std::string_view field) {
  return TKeyName({kind, "_", window, "_", field});
}

void ReadPlacement(const TKelIni& ini, int s, std::string_view name, TWindowPlacement& w) {
  w.bMoved = ReadFlag(ini, s, PlacementKey("b", name, "moved"), false);
  w.State = ini.ReadInteger(s, PlacementKey("w", name, "State"), 1) == 3 ? 3 : 1;
  w.Top = ini.ReadInteger(s, PlacementKey("w", name, "Top"), 0);
  w.Left = ini.ReadInteger(s, PlacementKey("w", name, "Left"), -1);
  w.Width = ini.ReadInteger(s, PlacementKey("w", name, "Width"), -1);
  w.Height = ini.ReadInteger(s, PlacementKey("w", name, "Height"), -1);
}

void WritePlacement(TKelIni& ini, int s, std::string_view name, const TWindowPlacement& w) {
  WriteFlag(ini, s, PlacementKey("b", name, "moved"), w.bMoved);
  ini.WriteInteger(s, PlacementKey("w", name, "State"), w.State);
  ini.WriteInteger(s, PlacementKey("w", name, "Top"), w.Top);
  ini.WriteInteger(s, PlacementKey("w", name, "Left"), w.Left);
  ini.WriteInteger(s, PlacementKey("w", name, "Width"), w.Width);
  ini.WriteInteger(s, PlacementKey("w", name, "Height"), w.Height);
}

void ReadFont(const TKelIni& ini, int s, std::string_view side, TFontSetting& font) {
  const TFontSetting def = font;
  font.Name = ini.ReadString(s, TKeyName({"FontName", side}), def.Name);
  font.Size = ini.ReadInteger(s, TKeyName({"FontSize", side}), def.Size);
  font.Color = ini.ReadInteger(s, TKeyName({"FontColor", side}), def.Color);
  font.Style = ini.ReadInteger(s, TKeyName({"FontStyle", side}), def.Style);
}

void WriteFont(TKelIni& ini, int s, std::string_view side, const TFontSetting& font) {
  ini.WriteString(s, TKeyName({"FontName", side}), font.Name);
  ini.WriteInteger(s, TKeyName({"FontSize", side}), font.Size);
  ini.WriteInteger(s, TKeyName({"FontColor", side}), font.Color);
  ini.WriteInteger(s, TKeyName({"FontStyle", side}), font.Style);
}

void ReadFileFilter(const TKelIni& ini, int s, TFileFilter& f, TDateTime now) {
  f.FLT_Include = ini.ReadString(s, "FLT_Include", "");
  f.FLT_Exclude = ini.ReadString(s, "FLT_Exclude", "");
  f.FLT_bUseExclude = ReadFlag(ini, s, "FLT_bUseExclude", false);
  f.FLT_bUseDate = ReadFlag(ini, s, "FLT_bUseDate", false);
  f.FLT_bUseSize = ReadFlag(ini, s, "FLT_bUseSize", false);
  f.FLT_bUseAttr = ReadFlag(ini, s, "FLT_bUseAttr", false);
  f.FLT_DateTimeA = ini.ReadFloat(s, "FLT_DateTimeA", now);
  f.FLT_DateTimeB = ini.ReadFloat(s, "FLT_DateTimeB", now);
  f.FLT_DatePos = ini.ReadInteger(s, "FLT_DatePos", 0);
  f.FLT_SizeA = ini.ReadInteger(s, "FLT_SizeA", 0);
  f.FLT_SizeB = ini.ReadInteger(s, "FLT_SizeB", 0);
  f.FLT_SizeDegreeA = ini.ReadInteger(s, "FLT_SizeDegreeA", 0);
  f.FLT_SizeDegreeB = ini.ReadInteger(s, "FLT_SizeDegreeB", 0);
  f.FLT_SizePos = ini.ReadInteger(s, "FLT_SizePos", 0);
  f.FLT_Attr_IncMask = static_cast<uint32_t>(ini.ReadInteger(s, "FLT_Attr_IncMask", 0));
  f.FLT_Attr_ExcMask = static_cast<uint32_t>(ini.ReadInteger(s, "FLT_Attr_ExcMask", 0));
}

void WriteFileFilter(TKelIni& ini, int s, const TFileFilter& f) {
  ini.WriteString(s, "FLT_Include", f.FLT_Include);
  ini.WriteString(s, "FLT_Exclude", f.FLT_Exclude);
  WriteFlag(ini, s, "FLT_bUseExclude", f.FLT_bUseExclude);
  WriteFlag(ini, s, "FLT_bUseDate", f.FLT_bUseDate);
  WriteFlag(ini, s, "FLT_bUseSize", f.FLT_bUseSize);
  WriteFlag(ini, s, "FLT_bUseAttr", f.FLT_bUseAttr);
  ini.WriteFloat(s, "FLT_DateTimeA", f.FLT_DateTimeA);
  ini.WriteFloat(s, "FLT_DateTimeB", f.FLT_DateTimeB);
  ini.WriteInteger(s, "FLT_DatePos", f.FLT_DatePos);
  ini.WriteString(s, "FLT_SizeA", std::to_string(f.FLT_SizeA));
  ini.WriteString(s, "FLT_SizeB", std::to_string(f.FLT_SizeB));
  ini.WriteInteger(s, "FLT_SizeDegreeA", f.FLT_SizeDegreeA);
  ini.WriteInteger(s, "FLT_SizeDegreeB", f.FLT_SizeDegreeB);
  ini.WriteInteger(s, "FLT_SizePos", f.FLT_SizePos);
  ini.WriteInteger(s, "FLT_Attr_IncMask", static_cast<int32_t>(f.FLT_Attr_IncMask));
  ini.WriteInteger(s, "FLT_Attr_ExcMask", static_cast<int32_t>(f.FLT_Attr_ExcMask));
}

// The number an entry's name ends with ("7" of "L_Path7"), written as the program writes it:
// decimal, no leading zero, at least 1; 0 for anything else.
int EntryNumber(std::string_view digits) {
  int n = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
  const bool ok = ec == std::errc() && end == digits.data() + digits.size() && digits[0] != '0';
  return ok && n >= 1 ? n : 0;
}

void SortUnique(std::vector<int>& numbers) {
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
}

// The numbers n from 1 to `count` for which the section has the key prefix + n ("L_Path7"),
// ascending. Going by the keys present instead of counting up to `count` reads the same
// entries (a missing one is dropped anyway), and a damaged count cannot take forever.
std::vector<int> NumbersPresent(const TKelIni& ini, int s, std::string_view prefix, int count) {
  std::vector<int> numbers;
  for (const std::string_view name : ini.KeysWithPrefix(s, prefix)) {
    const int n = EntryNumber(name.substr(prefix.size()));
    if (n >= 1 && n <= count) numbers.push_back(n);
  }
  SortUnique(numbers);
  return numbers;
}

// A job or predefined filter needs its own section header, so a count is never taken beyond
// the headers the file had: a damaged count cannot make millions of objects.
int SectionsToRead(const TKelIni& ini, int32_t count) {
  return std::min<int>(count, ini.HeaderCount());
}

// The jobs to read, ascending: 1 to the count (a missing section gives a job with defaults)
// and every further "Job_<n>" section present. A job section beyond a missing or too small
// count is a job all the same; dropping it would lose it at the next save.
std::vector<int> JobNumbers(const TKelIni& ini, int32_t count) {
  std::vector<int> numbers;
  const int counted = SectionsToRead(ini, count);
  for (int n = 1; n <= counted; ++n) numbers.push_back(n);
  constexpr std::string_view kPrefix = "Job_";
  for (int s = 0; s < ini.SectionCount(); ++s) {
    const std::string_view name = ini.SectionName(s);
    if (name.size() > kPrefix.size() && platform::SameText(name.substr(0, kPrefix.size()), kPrefix))
      if (const int n = EntryNumber(name.substr(kPrefix.size())); n > counted) numbers.push_back(n);
  }
  SortUnique(numbers);
  return numbers;
}

void ReadFolderPatterns(const TKelIni& ini, int s, TFolderFilter& f) {
  f.ClearPatterns();
  const int count = ini.ReadInteger(s, "FolderFilterCount", 0);
  for (const int n : NumbersPresent(ini, s, "FolderFilter_", count))
    f.AddPattern(ini.ReadString(s, TKeyName("FolderFilter_", n), ""));
  f.Normalize();
}

void WriteFolderPatterns(TKelIni& ini, int s, const TFolderFilter& f) {
  ini.WriteInteger(s, "FolderFilterCount", f.Count());
  for (int n = 1; n <= f.Count(); ++n)
    ini.WriteString(s, TKeyName("FolderFilter_", n), f.Patterns()[size_t(n - 1)]);
}

// A numbered list under a count key; empty entries are skipped.
std::vector<std::string> ReadList(const TKelIni& ini, int s, std::string_view count_key,
                                  std::string_view entry_prefix) {
  std::vector<std::string> list;
  const int count = ini.ReadInteger(s, count_key, 0);
  for (const int n : NumbersPresent(ini, s, entry_prefix, count)) {
    std::string entry = ini.ReadString(s, TKeyName(entry_prefix, n), "");
    if (!entry.empty()) list.push_back(std::move(entry));
  }
  return list;
}

void WriteList(TKelIni& ini, int s, std::string_view count_key, std::string_view entry_prefix,
               const std::vector<std::string>& list) {
  ini.WriteInteger(s, count_key, static_cast<int32_t>(list.size()));
  for (size_t i = 0; i < list.size(); ++i)
    ini.WriteString(s, TKeyName(entry_prefix, int(i + 1)), list[i]);
}

void ReadLogSetting(const TKelIni& ini, int s, std::string_view kind, bool& use, bool& create_new,
                    bool& overwrite, int32_t& max_size) {
  use = ReadFlag(ini, s, TKeyName({kind, "_bUse"}), true);
  create_new = ReadFlag(ini, s, TKeyName({kind, "_bCreateNew"}), false);
  overwrite = ReadFlag(ini, s, TKeyName({kind, "_bOverwrite"}), false);
  max_size = ini.ReadInteger(s, TKeyName({kind, "_MaxSize"}), 1000);
}

void WriteLogSetting(TKelIni& ini, int s, std::string_view kind, bool use, bool create_new,
                     bool overwrite, int32_t max_size) {
  WriteFlag(ini, s, TKeyName({kind, "_bUse"}), use);
  WriteFlag(ini, s, TKeyName({kind, "_bCreateNew"}), create_new);
  WriteFlag(ini, s, TKeyName({kind, "_bOverwrite"}), overwrite);
  ini.WriteInteger(s, TKeyName({kind, "_MaxSize"}), max_size);
}

void ReadPairs(const TKelIni& ini, int s, TJobData& d) {
  d.Pairs.clear();
  const int count = ini.ReadInteger(s, "PairsCount", 0);
  for (const int n : NumbersPresent(ini, s, "L_Path", count)) {
    TPairItem pair;
    pair.L_Path = ini.ReadString(s, TKeyName("L_Path", n), "");
    pair.R_Path = ini.ReadString(s, TKeyName("R_Path", n), "");
    pair.bSubFLD = ReadFlag(ini, s, TKeyName("bSubFLD", n), false);
    if (!pair.L_Path.empty() && !pair.R_Path.empty()) d.Pairs.push_back(std::move(pair));
  }
  d.RefreshPairKeys();
}

void WritePairs(TKelIni& ini, int s, const TJobData& d) {
  ini.WriteInteger(s, "PairsCount", static_cast<int32_t>(d.Pairs.size()));
  WriteFlag(ini, s, "bContent", d.bContent);
  for (size_t i = 0; i < d.Pairs.size(); ++i) {
    const int n = int(i + 1);
    ini.WriteString(s, TKeyName("L_Path", n), d.Pairs[i].L_Path);
    ini.WriteString(s, TKeyName("R_Path", n), d.Pairs[i].R_Path);
    WriteFlag(ini, s, TKeyName("bSubFLD", n), d.Pairs[i].bSubFLD);
  }
}

void ReadRulesAndActions(const TKelIni& ini, int s, TJobData& d) {
  d.bRulesSize = ReadFlag(ini, s, "bRulesSize", true);
  d.bRulesTime = ReadFlag(ini, s, "bRulesTime", true);
  d.bRulesAttr = ReadFlag(ini, s, "bRulesAttr", false);
  d.bRulesNTFS = ReadFlag(ini, s, "bRulesNTFS", true);
  d.bRulesDaylight = ReadFlag(ini, s, "bRulesDaylight", true);
  d.bRulesTimezone = ReadFlag(ini, s, "bRulesTimezone", false);
  d.RulesTimezone = ini.ReadInteger(s, "RulesTimezone", 1);
  d.idxMethod = ini.ReadInteger(s, "idxMethod", 0);
  d.Empty_RemoveL = ReadFlag(ini, s, "Empty_RemoveL", false);
  d.Empty_RemoveR = ReadFlag(ini, s, "Empty_RemoveR", false);
  d.Empty_CopyL = ReadFlag(ini, s, "Empty_CopyL", false);
  d.Empty_CopyR = ReadFlag(ini, s, "Empty_CopyR", false);
  d.idxNewerL = ini.ReadInteger(s, "idxNewerL", 0);
  d.idxNewerR = ini.ReadInteger(s, "idxNewerR", 0);
  d.idxEqualDate = ini.ReadInteger(s, "idxEqualDate", 0);
  d.idxEqualL = ini.ReadInteger(s, "idxEqualL", 0);
  d.idxEqualR = ini.ReadInteger(s, "idxEqualR", 0);
  d.idxSingleL = ini.ReadInteger(s, "idxSingleL", 0);
  d.idxSingleR = ini.ReadInteger(s, "idxSingleR", 0);
}

void WriteRulesAndActions(TKelIni& ini, int s, const TJobData& d) {
  WriteFlag(ini, s, "bRulesSize", d.bRulesSize);
  WriteFlag(ini, s, "bRulesTime", d.bRulesTime);
  WriteFlag(ini, s, "bRulesAttr", d.bRulesAttr);
  WriteFlag(ini, s, "bRulesNTFS", d.bRulesNTFS);
  WriteFlag(ini, s, "bRulesDaylight", d.bRulesDaylight);
  WriteFlag(ini, s, "bRulesTimezone", d.bRulesTimezone);
  ini.WriteInteger(s, "RulesTimezone", d.RulesTimezone);
  ini.WriteInteger(s, "idxMethod", d.idxMethod);
  WriteFlag(ini, s, "Empty_RemoveL", d.Empty_RemoveL);
  WriteFlag(ini, s, "Empty_RemoveR", d.Empty_RemoveR);
  WriteFlag(ini, s, "Empty_CopyL", d.Empty_CopyL);
  WriteFlag(ini, s, "Empty_CopyR", d.Empty_CopyR);
  ini.WriteInteger(s, "idxNewerL", d.idxNewerL);
  ini.WriteInteger(s, "idxNewerR", d.idxNewerR);
  ini.WriteInteger(s, "idxEqualDate", d.idxEqualDate);
  ini.WriteInteger(s, "idxEqualL", d.idxEqualL);
  ini.WriteInteger(s, "idxEqualR", d.idxEqualR);
  ini.WriteInteger(s, "idxSingleL", d.idxSingleL);
  ini.WriteInteger(s, "idxSingleR", d.idxSingleR);
}

void ReadScheduleAndLogs(const TKelIni& ini, int s, TJobData& d, TDateTime now) {
  d.Frequency = ini.ReadInteger(s, "Frequency", 0);
  d.freMinutes = ini.ReadInteger(s, "freMinutes", 1);
  d.freHours = ini.ReadInteger(s, "freHours", 1);
  d.freDays = ini.ReadInteger(s, "freDays", 1);
  d.ExcludeDays = ini.ReadInteger(s, "ExcludeDays", 0);
  d.StartTime = ini.ReadFloat(s, "StartTime", now);
  d.bRunBefore = ReadFlag(ini, s, "bRunBefore", false);
  d.RunBefore = ini.ReadFloat(s, "RunBefore", now);
  ReadLogSetting(ini, s, "LogFull", d.LogFull_bUse, d.LogFull_bCreateNew, d.LogFull_bOverwrite,
                 d.LogFull_MaxSize);
  ReadLogSetting(ini, s, "LogSummary", d.LogSummary_bUse, d.LogSummary_bCreateNew,
                 d.LogSummary_bOverwrite, d.LogSummary_MaxSize);
  ReadLogSetting(ini, s, "LogError", d.LogError_bUse, d.LogError_bCreateNew, d.LogError_bOverwrite,
                 d.LogError_MaxSize);
  // Cleaning once after reading gives what adding the entries one by one would.
  d.LogHistory = ReadList(ini, s, "LogHistoryCount", "Logfile");
  CleanHistory(d.LogHistory, kLogHistorySeparator, kLogHistoryLimit);
}

void WriteScheduleAndLogs(TKelIni& ini, int s, const TJobData& d) {
  ini.WriteInteger(s, "Frequency", d.Frequency);
  ini.WriteInteger(s, "freMinutes", d.freMinutes);
  ini.WriteInteger(s, "freHours", d.freHours);
  ini.WriteInteger(s, "freDays", d.freDays);
  ini.WriteInteger(s, "ExcludeDays", d.ExcludeDays);
  ini.WriteFloat(s, "StartTime", d.StartTime);
  WriteFlag(ini, s, "bRunBefore", d.bRunBefore);
  ini.WriteFloat(s, "RunBefore", d.RunBefore);
  WriteLogSetting(ini, s, "LogFull", d.LogFull_bUse, d.LogFull_bCreateNew, d.LogFull_bOverwrite,
                  d.LogFull_MaxSize);
  WriteLogSetting(ini, s, "LogSummary", d.LogSummary_bUse, d.LogSummary_bCreateNew,
                  d.LogSummary_bOverwrite, d.LogSummary_MaxSize);
  WriteLogSetting(ini, s, "LogError", d.LogError_bUse, d.LogError_bCreateNew, d.LogError_bOverwrite,
                  d.LogError_MaxSize);
  WriteList(ini, s, "LogHistoryCount", "Logfile", d.LogHistory);
}

void ReadJob(const TKelIni& ini, int s, TJob& job, TDateTime now) {
  TJobData& d = job.Data;
  d.JobName = ini.ReadString(s, "JobName", "untitled");
  job.bHasLastRun = ReadFlag(ini, s, "bHasLastRun", false);
  job.LastRun = ini.ReadFloat(s, "LastRun", 0);
  if (job.LastRun == 0) job.bHasLastRun = false;
  ReadFileFilter(ini, s, d.FileFilter, now);
  ReadFolderPatterns(ini, s, d.FolderFilter);
  ReadRulesAndActions(ini, s, d);
  ReadScheduleAndLogs(ini, s, d, now);
  d.bContent = ReadFlag(ini, s, "bContent", false);
  ReadPairs(ini, s, d);
}

void WriteJob(TKelIni& ini, int s, const TJob& job) {
  const TJobData& d = job.Data;
  ini.WriteString(s, "JobName", d.JobName);
  WriteFlag(ini, s, "bHasLastRun", job.bHasLastRun);
  ini.WriteFloat(s, "LastRun", job.LastRun);
  WriteFileFilter(ini, s, d.FileFilter);
  WriteFolderPatterns(ini, s, d.FolderFilter);
  WriteRulesAndActions(ini, s, d);
  WriteScheduleAndLogs(ini, s, d);
  WritePairs(ini, s, d);
}

int32_t HistoryLimit(int32_t max_items) {
  return std::max<int32_t>(max_items, 0);
}

}  // namespace

TSettings::TSettings(std::string folder)
    : MainLogFolder(platform::IncludeTrailingSeparator(folder) + "Logs"),
      folder_(std::move(folder)) {}

std::string TSettings::FilePath() const {
  return platform::IncludeTrailingSeparator(folder_) + std::string(kSettingsFileName);
}

platform::TError TSettings::LoadSettings(TDateTime now) {
  TKelIni ini;
  const platform::TError error = ini.LoadFromFile(FilePath());
  ReadFrom(ini, now);
  return error == ENOENT ? 0 : error;
}

platform::TError TSettings::SaveSettings() const {
  // A first save creates the folder.
  std::error_code ec;
  std::filesystem::create_directories(folder_, ec);
  if (ec) return ec.value();
  TKelIni ini;
  WriteTo(ini);
  return ini.SaveToFile(FilePath());
}

void TSettings::ReadFrom(const TKelIni& ini, TDateTime now) {
  int s = ini.FindSection("MainSection");
  MainTop = ini.ReadInteger(s, "MainTop", -1);
  MainLeft = ini.ReadInteger(s, "MainLeft", -1);
  MainWidth = ini.ReadInteger(s, "MainWidth", -1);
  MainHeight = ini.ReadInteger(s, "MainHeight", -1);
  MainWindowState = ini.ReadInteger(s, "MainWindowState", 0);
  bShowTutorials = ReadFlag(ini, s, "bShowTutorials", true);
  bAutosizeColumns = ReadFlag(ini, s, "bAutosizeColumns", true);
  for (size_t i = 0; i < kJobListColumns; ++i)
    ColumnWidth[i] = ini.ReadInteger(s, TKeyName("ColumnWidth_", int(i + 1)), 100);
  SortColumn = ini.ReadInteger(s, "SortColumn", 0);
  bAscending = ReadFlag(ini, s, "bAscending", true);
  ReadPlacement(ini, s, "QuickInfo", QuickInfo);
  ReadPlacement(ini, s, "LogViewer", LogViewer);
  ReadPlacement(ini, s, "VisualRun", VisualRun);
  ReadPlacement(ini, s, "FolderTree", FolderTree);
  ReadPlacement(ini, s, "AddPair", AddPair);

  s = ini.FindSection("TreesSection");
  TreesContainer = ini.ReadInteger(s, "TreesContainer", 0);
  VerticalSplitter = ini.ReadInteger(s, "VerticalSplitter", 500);
  TreesFontL = {"Tahoma", 8, 32768, 1};
  TreesFontR = {"Tahoma", 8, 8388608, 1};
  ReadFont(ini, s, "L", TreesFontL);
  ReadFont(ini, s, "R", TreesFontR);

  s = ini.FindSection("FilterSection");
  MaxHistoryItems = ini.ReadInteger(s, "MaxHistoryItems", 20);
  DefFileFilters.clear();
  const int file_count = SectionsToRead(ini, ini.ReadInteger(s, "DefinedFileCount", 0));
  for (int n = 1; n <= file_count; ++n) {
    const TKeyName name("DefFileFilter_", n);
    const int f = ini.FindSection(name);
    TFileFilter& filter = DefFileFilters.emplace_back();
    filter.FilterName = ini.ReadString(f, "FilterName", name);
    ReadFileFilter(ini, f, filter, now);
  }
  DefFolderFilters.clear();
  const int folder_count = SectionsToRead(ini, ini.ReadInteger(s, "DefinedFolderCount", 0));
  for (int n = 1; n <= folder_count; ++n) {
    const TKeyName name("DefFolderFilter_", n);
    const int f = ini.FindSection(name);
    TFolderFilter& filter = DefFolderFilters.emplace_back();
    filter.FilterName = ini.ReadString(f, "FilterName", name);
    ReadFolderPatterns(ini, f, filter);
  }

  const size_t limit = size_t(HistoryLimit(MaxHistoryItems));
  FileFilterIncHistory =
      ReadList(ini, ini.FindSection("FileFilterIncHistory"), "FileFilterCount", "FileFilter_");
  CleanHistory(FileFilterIncHistory, kFilterHistorySeparator, limit);
  FileFilterExcHistory =
      ReadList(ini, ini.FindSection("FileFilterExcHistory"), "FileFilterCount", "FileFilter_");
  CleanHistory(FileFilterExcHistory, kFilterHistorySeparator, limit);

  s = ini.FindSection("LogViewerHistory");
  MainLogFolder =
      ini.ReadString(s, "MainLogFolder", platform::IncludeTrailingSeparator(folder_) + "Logs");
  SearchHistory = ReadList(ini, s, "SearchListCount", "Search_");
  CleanHistory(SearchHistory, kSearchHistorySeparator, kSearchHistoryLimit);
  if (SearchHistory.empty()) SearchHistory.emplace_back(kSearchHistoryDefault);

  s = ini.FindSection("WizardSection");
  BasketContainer = ini.ReadInteger(s, "BasketContainer", 5);
  WizardFontL = {"Tahoma", 9, 32768, 1};
  WizardFontR = {"Tahoma", 9, 8388608, 1};
  ReadFont(ini, s, "L", WizardFontL);
  ReadFont(ini, s, "R", WizardFontR);

  Jobs.clear();
  const int32_t job_count = ini.ReadInteger(ini.FindSection("JobSection"), "JobCount", 0);
  for (const int n : JobNumbers(ini, job_count))
    ReadJob(ini, ini.FindSection(TKeyName("Job_", n)), AddJob(now), now);
}

void TSettings::WriteTo(TKelIni& ini) const {
  int s = ini.AddSection("MainSection");
  ini.WriteInteger(s, "MainTop", MainTop);
  ini.WriteInteger(s, "MainLeft", MainLeft);
  ini.WriteInteger(s, "MainWidth", MainWidth);
  ini.WriteInteger(s, "MainHeight", MainHeight);
  ini.WriteInteger(s, "MainWindowState", MainWindowState);
  WriteFlag(ini, s, "bShowTutorials", bShowTutorials);
  WriteFlag(ini, s, "bAutosizeColumns", bAutosizeColumns);
  for (size_t i = 0; i < kJobListColumns; ++i)
    ini.WriteInteger(s, TKeyName("ColumnWidth_", int(i + 1)), ColumnWidth[i]);
  ini.WriteInteger(s, "SortColumn", SortColumn);
  WriteFlag(ini, s, "bAscending", bAscending);
  WritePlacement(ini, s, "QuickInfo", QuickInfo);
  WritePlacement(ini, s, "LogViewer", LogViewer);
  WritePlacement(ini, s, "VisualRun", VisualRun);
  WritePlacement(ini, s, "FolderTree", FolderTree);
  WritePlacement(ini, s, "AddPair", AddPair);

  s = ini.AddSection("TreesSection");
  ini.WriteInteger(s, "TreesContainer", TreesContainer);
  ini.WriteInteger(s, "VerticalSplitter", VerticalSplitter);
  WriteFont(ini, s, "L", TreesFontL);
  WriteFont(ini, s, "R", TreesFontR);

  s = ini.AddSection("FilterSection");
  ini.WriteInteger(s, "MaxHistoryItems", MaxHistoryItems);
  ini.WriteInteger(s, "DefinedFileCount", static_cast<int32_t>(DefFileFilters.size()));
  ini.WriteInteger(s, "DefinedFolderCount", static_cast<int32_t>(DefFolderFilters.size()));
  for (size_t i = 0; i < DefFileFilters.size(); ++i) {
    s = ini.AddSection(TKeyName("DefFileFilter_", int(i + 1)));
    ini.WriteString(s, "FilterName", DefFileFilters[i].FilterName);
    WriteFileFilter(ini, s, DefFileFilters[i]);
  }
  for (size_t i = 0; i < DefFolderFilters.size(); ++i) {
    s = ini.AddSection(TKeyName("DefFolderFilter_", int(i + 1)));
    ini.WriteString(s, "FilterName", DefFolderFilters[i].FilterName);
    WriteFolderPatterns(ini, s, DefFolderFilters[i]);
  }

  WriteList(ini, ini.AddSection("FileFilterIncHistory"), "FileFilterCount", "FileFilter_",
            FileFilterIncHistory);
  WriteList(ini, ini.AddSection("FileFilterExcHistory"), "FileFilterCount", "FileFilter_",
            FileFilterExcHistory);
  s = ini.AddSection("LogViewerHistory");
  ini.WriteString(s, "MainLogFolder", MainLogFolder);
  WriteList(ini, s, "SearchListCount", "Search_", SearchHistory);

  s = ini.AddSection("WizardSection");
  ini.WriteInteger(s, "BasketContainer", BasketContainer);
  WriteFont(ini, s, "L", WizardFontL);
  WriteFont(ini, s, "R", WizardFontR);

  ini.WriteInteger(ini.AddSection("JobSection"), "JobCount", static_cast<int32_t>(Jobs.size()));
  for (size_t i = 0; i < Jobs.size(); ++i)
    WriteJob(ini, ini.AddSection(TKeyName("Job_", int(i + 1))), *Jobs[i]);
}

int TSettings::FindJob(std::string_view name) const {
  for (size_t i = 0; i < Jobs.size(); ++i)
    if (platform::SameText(Jobs[i]->Data.JobName, name)) return int(i);
  return -1;
}

std::vector<std::string> TSettings::JobNames() const {
  std::vector<std::string> names;
  names.reserve(Jobs.size());
  for (const auto& job : Jobs) names.push_back(job->Data.JobName);
  return names;
}

TJob& TSettings::AddJob(TDateTime now) {
  return *Jobs.emplace_back(std::make_unique<TJob>(NewJobID(), now));
}

}  // namespace twn
