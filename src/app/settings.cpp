#include "app/settings.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <filesystem>

#include "app/settings_fields.h"
#include "model/kel_ini.h"
#include "platform/locale.h"

namespace twn {
namespace {

using platform::TDateTime;
using settings_fields::DateTimeNow;
using settings_fields::Flag;
using settings_fields::Float;
using settings_fields::Integer;
using settings_fields::ReadFields;
using settings_fields::Text;
using settings_fields::TField;
using settings_fields::TKeyName;
using settings_fields::WriteFields;

// The six keys of a window's placement; '*' is the window's name.
constexpr TField<TWindowPlacement> kPlacementFields[] = {
    Flag("b_*_moved", &TWindowPlacement::bMoved, false),
    Integer("w_*_State", &TWindowPlacement::State, 1),
    Integer("w_*_Top", &TWindowPlacement::Top, 0),
    Integer("w_*_Left", &TWindowPlacement::Left, -1),
    Integer("w_*_Width", &TWindowPlacement::Width, -1),
    Integer("w_*_Height", &TWindowPlacement::Height, -1),
};

// A font's four keys; '*' is the side, L or R. The defaults depend on the window and the side,
// so they are the values the font is given before reading, not the rows'.
constexpr TField<TFontSetting> kFontFields[] = {
    Text("FontName*", &TFontSetting::Name),
    Integer("FontSize*", &TFontSetting::Size),
    Integer("FontColor*", &TFontSetting::Color),
    Integer("FontStyle*", &TFontSetting::Style),
};

// A file filter's keys, in a job section and in a predefined filter's (whose FilterName comes
// first and has a default of its own). The include spec reads as empty, not as a new filter's.
constexpr TField<TFileFilter> kFileFilterFields[] = {
    Text("FLT_Include", &TFileFilter::FLT_Include, ""),
    Text("FLT_Exclude", &TFileFilter::FLT_Exclude, ""),
    Flag("FLT_bUseExclude", &TFileFilter::FLT_bUseExclude, false),
    Flag("FLT_bUseDate", &TFileFilter::FLT_bUseDate, false),
    Flag("FLT_bUseSize", &TFileFilter::FLT_bUseSize, false),
    Flag("FLT_bUseAttr", &TFileFilter::FLT_bUseAttr, false),
    DateTimeNow("FLT_DateTimeA", &TFileFilter::FLT_DateTimeA),
    DateTimeNow("FLT_DateTimeB", &TFileFilter::FLT_DateTimeB),
    Integer("FLT_DatePos", &TFileFilter::FLT_DatePos, 0),
    Integer("FLT_SizeA", &TFileFilter::FLT_SizeA, 0),
    Integer("FLT_SizeB", &TFileFilter::FLT_SizeB, 0),
    Integer("FLT_SizeDegreeA", &TFileFilter::FLT_SizeDegreeA, 0),
    Integer("FLT_SizeDegreeB", &TFileFilter::FLT_SizeDegreeB, 0),
    Integer("FLT_SizePos", &TFileFilter::FLT_SizePos, 0),
    Integer("FLT_Attr_IncMask", &TFileFilter::FLT_Attr_IncMask, 0),
    Integer("FLT_Attr_ExcMask", &TFileFilter::FLT_Attr_ExcMask, 0),
};

// A job section's first key; a job without one is "untitled", not a new job's "New Job".
constexpr TField<TJobData> kJobNameField[] = {Text("JobName", &TJobData::JobName, "untitled")};

constexpr TField<TJob> kLastRunFields[] = {
    Flag("bHasLastRun", &TJob::bHasLastRun, false),
    Float("LastRun", &TJob::LastRun, 0),
};

// The job's rules, actions, schedule and log settings, between its folder patterns and its
// log history.
constexpr TField<TJobData> kJobFields[] = {
    Flag("bRulesSize", &TJobData::bRulesSize, true),
    Flag("bRulesTime", &TJobData::bRulesTime, true),
    Flag("bRulesAttr", &TJobData::bRulesAttr, false),
    Flag("bRulesNTFS", &TJobData::bRulesNTFS, true),
    Flag("bRulesDaylight", &TJobData::bRulesDaylight, true),
    Flag("bRulesTimezone", &TJobData::bRulesTimezone, false),
    Integer("RulesTimezone", &TJobData::RulesTimezone, 1),
    Integer("idxMethod", &TJobData::idxMethod, 0),
    Flag("Empty_RemoveL", &TJobData::Empty_RemoveL, false),
    Flag("Empty_RemoveR", &TJobData::Empty_RemoveR, false),
    Flag("Empty_CopyL", &TJobData::Empty_CopyL, false),
    Flag("Empty_CopyR", &TJobData::Empty_CopyR, false),
    Integer("idxNewerL", &TJobData::idxNewerL, 0),
    Integer("idxNewerR", &TJobData::idxNewerR, 0),
    Integer("idxEqualDate", &TJobData::idxEqualDate, 0),
    Integer("idxEqualL", &TJobData::idxEqualL, 0),
    Integer("idxEqualR", &TJobData::idxEqualR, 0),
    Integer("idxSingleL", &TJobData::idxSingleL, 0),
    Integer("idxSingleR", &TJobData::idxSingleR, 0),
    Integer("Frequency", &TJobData::Frequency, 0),
    Integer("freMinutes", &TJobData::freMinutes, 1),
    Integer("freHours", &TJobData::freHours, 1),
    Integer("freDays", &TJobData::freDays, 1),
    Integer("ExcludeDays", &TJobData::ExcludeDays, 0),
    DateTimeNow("StartTime", &TJobData::StartTime),
    Flag("bRunBefore", &TJobData::bRunBefore, false),
    DateTimeNow("RunBefore", &TJobData::RunBefore),
    Flag("LogFull_bUse", &TJobData::LogFull_bUse, true),
    Flag("LogFull_bCreateNew", &TJobData::LogFull_bCreateNew, false),
    Flag("LogFull_bOverwrite", &TJobData::LogFull_bOverwrite, false),
    Integer("LogFull_MaxSize", &TJobData::LogFull_MaxSize, 1000),
    Flag("LogSummary_bUse", &TJobData::LogSummary_bUse, true),
    Flag("LogSummary_bCreateNew", &TJobData::LogSummary_bCreateNew, false),
    Flag("LogSummary_bOverwrite", &TJobData::LogSummary_bOverwrite, false),
    Integer("LogSummary_MaxSize", &TJobData::LogSummary_MaxSize, 1000),
    Flag("LogError_bUse", &TJobData::LogError_bUse, true),
    Flag("LogError_bCreateNew", &TJobData::LogError_bCreateNew, false),
    Flag("LogError_bOverwrite", &TJobData::LogError_bOverwrite, false),
    Integer("LogError_MaxSize", &TJobData::LogError_MaxSize, 1000),
    // Older files lack the key: their jobs keep running without the guard, as they always did.
    Integer("MaxDeletePercent", &TJobData::MaxDeletePercent, 0),
    Flag("bRunOnChange", &TJobData::bRunOnChange, false),
    // Likewise without versions: nothing is kept that was not kept before.
    Flag("bKeepVersions", &TJobData::bKeepVersions, false),
    Text("VersionsFolder", &TJobData::VersionsFolder, ""),
    Integer("KeepVersions", &TJobData::KeepVersions, 10),
    Integer("KeepDays", &TJobData::KeepDays, 30),
    // Likewise: links stay passed over and folder times as the run leaves them.
    Flag("bCopyLinks", &TJobData::bCopyLinks, false),
    Flag("bFolderTimes", &TJobData::bFolderTimes, false),
};

// Written after the pair count, read with the rest of the job.
constexpr TField<TJobData> kContentField[] = {Flag("bContent", &TJobData::bContent, false)};

// One pair's keys; '*' is the pair's number.
constexpr TField<TPairItem> kPairFields[] = {
    Text("L_Path*", &TPairItem::L_Path, ""),
    Text("R_Path*", &TPairItem::R_Path, ""),
    Flag("bSubFLD*", &TPairItem::bSubFLD, false),
};

// MainSection: these, the column widths, the sort order and the window placements.
constexpr TField<TSettings> kMainFields[] = {
    Integer("MainTop", &TSettings::MainTop, -1),
    Integer("MainLeft", &TSettings::MainLeft, -1),
    Integer("MainWidth", &TSettings::MainWidth, -1),
    Integer("MainHeight", &TSettings::MainHeight, -1),
    Integer("MainWindowState", &TSettings::MainWindowState, 0),
    Flag("bShowTutorials", &TSettings::bShowTutorials, true),
    // Off until the file is read (see the member), on when the file has no say.
    Flag("bAutosizeColumns", &TSettings::bAutosizeColumns, true),
};
constexpr std::string_view kColumnWidthKey = "ColumnWidth_";
constexpr int32_t kColumnWidthDefault = 100;
constexpr TField<TSettings> kSortFields[] = {
    Integer("SortColumn", &TSettings::SortColumn, 0),
    Flag("bAscending", &TSettings::bAscending, true),
};
constexpr struct {
  std::string_view Name;
  TWindowPlacement TSettings::*Member;
} kPlacements[] = {
    {"QuickInfo", &TSettings::QuickInfo}, {"LogViewer", &TSettings::LogViewer},
    {"VisualRun", &TSettings::VisualRun}, {"FolderTree", &TSettings::FolderTree},
    {"AddPair", &TSettings::AddPair},
};

// TreesSection and WizardSection before their fonts; FilterSection before its counts.
constexpr TField<TSettings> kTreesFields[] = {
    Integer("TreesContainer", &TSettings::TreesContainer, 0),
    Integer("VerticalSplitter", &TSettings::VerticalSplitter, 500),
};
constexpr TField<TSettings> kWizardFields[] = {
    Integer("BasketContainer", &TSettings::BasketContainer, 5),
};
constexpr TField<TSettings> kFilterFields[] = {
    Integer("MaxHistoryItems", &TSettings::MaxHistoryItems, 20),
};

void ReadPlacement(const TKelIni& ini, int s, std::string_view name, TWindowPlacement& w) {
  ReadFields(ini, s, kPlacementFields, w, 0, name);
  w.State = w.State == 3 ? 3 : 1;  // maximized or normal, nothing else
}

void ReadFont(const TKelIni& ini, int s, std::string_view side, TFontSetting& font,
              const TFontSetting& def) {
  font = def;
  settings_fields::ReadFieldsOver(ini, s, kFontFields, font, side);
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

void ReadPairs(const TKelIni& ini, int s, TJobData& d) {
  d.Pairs.clear();
  const int count = ini.ReadInteger(s, "PairsCount", 0);
  for (const int n : NumbersPresent(ini, s, "L_Path", count)) {
    TPairItem pair;
    ReadFields(ini, s, kPairFields, pair, 0, TKeyName("", n));
    if (!pair.L_Path.empty() && !pair.R_Path.empty()) d.Pairs.push_back(std::move(pair));
  }
  d.RefreshPairKeys();
}

void WritePairs(TKelIni& ini, int s, const TJobData& d) {
  ini.WriteInteger(s, "PairsCount", static_cast<int32_t>(d.Pairs.size()));
  WriteFields(ini, s, kContentField, d);
  for (size_t i = 0; i < d.Pairs.size(); ++i)
    WriteFields(ini, s, kPairFields, d.Pairs[i], TKeyName("", int(i + 1)));
}

void ReadJob(const TKelIni& ini, int s, TJob& job, TDateTime now) {
  TJobData& d = job.Data;
  ReadFields(ini, s, kJobNameField, d, now);
  ReadFields(ini, s, kLastRunFields, job, now);
  if (job.LastRun == 0) job.bHasLastRun = false;
  ReadFields(ini, s, kFileFilterFields, d.FileFilter, now);
  ReadFolderPatterns(ini, s, d.FolderFilter);
  ReadFields(ini, s, kJobFields, d, now);
  // Cleaning once after reading gives what adding the entries one by one would.
  d.LogHistory = ReadList(ini, s, "LogHistoryCount", "Logfile");
  CleanHistory(d.LogHistory, kLogHistorySeparator, kLogHistoryLimit);
  ReadFields(ini, s, kContentField, d, now);
  ReadPairs(ini, s, d);
}

void WriteJob(TKelIni& ini, int s, const TJob& job) {
  const TJobData& d = job.Data;
  WriteFields(ini, s, kJobNameField, d);
  WriteFields(ini, s, kLastRunFields, job);
  WriteFields(ini, s, kFileFilterFields, d.FileFilter);
  WriteFolderPatterns(ini, s, d.FolderFilter);
  WriteFields(ini, s, kJobFields, d);
  WriteList(ini, s, "LogHistoryCount", "Logfile", d.LogHistory);
  WritePairs(ini, s, d);
}

void ReadColumnWidths(const TKelIni& ini, int s, std::array<int32_t, kJobListColumns>& widths) {
  for (size_t i = 0; i < widths.size(); ++i)
    widths[i] = ini.ReadInteger(s, TKeyName(kColumnWidthKey, int(i + 1)), kColumnWidthDefault);
}

void WriteColumnWidths(TKelIni& ini, int s, const std::array<int32_t, kJobListColumns>& widths) {
  for (size_t i = 0; i < widths.size(); ++i)
    ini.WriteInteger(s, TKeyName(kColumnWidthKey, int(i + 1)), widths[i]);
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
  ReadFields(ini, s, kMainFields, *this, now);
  ReadColumnWidths(ini, s, ColumnWidth);
  ReadFields(ini, s, kSortFields, *this, now);
  for (const auto& [name, member] : kPlacements) ReadPlacement(ini, s, name, this->*member);

  s = ini.FindSection("TreesSection");
  ReadFields(ini, s, kTreesFields, *this, now);
  ReadFont(ini, s, "L", TreesFontL, {"Tahoma", 8, 32768, 1});
  ReadFont(ini, s, "R", TreesFontR, {"Tahoma", 8, 8388608, 1});

  s = ini.FindSection("FilterSection");
  ReadFields(ini, s, kFilterFields, *this, now);
  DefFileFilters.clear();
  const int file_count = SectionsToRead(ini, ini.ReadInteger(s, "DefinedFileCount", 0));
  for (int n = 1; n <= file_count; ++n) {
    const TKeyName name("DefFileFilter_", n);
    const int f = ini.FindSection(name);
    TFileFilter& filter = DefFileFilters.emplace_back();
    filter.FilterName = ini.ReadString(f, "FilterName", name);
    ReadFields(ini, f, kFileFilterFields, filter, now);
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
  ReadFields(ini, s, kWizardFields, *this, now);
  ReadFont(ini, s, "L", WizardFontL, {"Tahoma", 9, 32768, 1});
  ReadFont(ini, s, "R", WizardFontR, {"Tahoma", 9, 8388608, 1});

  Jobs.clear();
  const int32_t job_count = ini.ReadInteger(ini.FindSection("JobSection"), "JobCount", 0);
  for (const int n : JobNumbers(ini, job_count))
    ReadJob(ini, ini.FindSection(TKeyName("Job_", n)), AddJob(now), now);
}

void TSettings::WriteTo(TKelIni& ini) const {
  int s = ini.AddSection("MainSection");
  WriteFields(ini, s, kMainFields, *this);
  WriteColumnWidths(ini, s, ColumnWidth);
  WriteFields(ini, s, kSortFields, *this);
  for (const auto& [name, member] : kPlacements)
    WriteFields(ini, s, kPlacementFields, this->*member, name);

  s = ini.AddSection("TreesSection");
  WriteFields(ini, s, kTreesFields, *this);
  WriteFields(ini, s, kFontFields, TreesFontL, "L");
  WriteFields(ini, s, kFontFields, TreesFontR, "R");

  s = ini.AddSection("FilterSection");
  WriteFields(ini, s, kFilterFields, *this);
  ini.WriteInteger(s, "DefinedFileCount", static_cast<int32_t>(DefFileFilters.size()));
  ini.WriteInteger(s, "DefinedFolderCount", static_cast<int32_t>(DefFolderFilters.size()));
  for (size_t i = 0; i < DefFileFilters.size(); ++i) {
    s = ini.AddSection(TKeyName("DefFileFilter_", int(i + 1)));
    ini.WriteString(s, "FilterName", DefFileFilters[i].FilterName);
    WriteFields(ini, s, kFileFilterFields, DefFileFilters[i]);
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
  WriteFields(ini, s, kWizardFields, *this);
  WriteFields(ini, s, kFontFields, WizardFontL, "L");
  WriteFields(ini, s, kFontFields, WizardFontR, "R");

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
