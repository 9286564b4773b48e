#include "app/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <tuple>
#include <utility>

#include "app/settings_folder.h"
#include "model/kel_ini.h"
#include "support/fault_support.h"
#include "support/test_support.h"

namespace twn {
namespace {

constexpr platform::TDateTime kNow = 46000.5;

// Every value differs from what a new record holds, so a field the file does not carry comes
// back changed.
void FillEveryField(TSettings& s) {
  s.MainTop = 11, s.MainLeft = 12, s.MainWidth = 13, s.MainHeight = 14, s.MainWindowState = 2;
  s.bShowTutorials = false, s.bAutosizeColumns = true;
  s.ColumnWidth = {51, 52, 53, 54, 55};
  s.SortColumn = 3, s.bAscending = false;
  int base = 0;
  for (TWindowPlacement* w : {&s.QuickInfo, &s.LogViewer, &s.VisualRun, &s.FolderTree, &s.AddPair})
    *w = {true, 3, base += 10, base + 1, base + 2, base + 3};
  s.TreesContainer = 15, s.VerticalSplitter = 700;
  s.TreesFontL = {"Mono L", 10, 255, 2};
  s.TreesFontR = {"Mono R", 11, 65280, 4};
  s.MaxHistoryItems = 7;
  TFileFilter& f = s.DefFileFilters.emplace_back();
  f = {"Documents", "*.doc;*.odt", "~*", true, true, true, true,
       45000.25,    45100.75,      2,    30,   20,   1,    2,
       3,           0x21,          0x02};
  TFolderFilter& g = s.DefFolderFilters.emplace_back();
  g.FilterName = "Build folders";
  g.AddPattern("build");
  g.AddPattern("obj");
  s.FileFilterIncHistory = {"*.txt", "*.doc;"};
  s.FileFilterExcHistory = {"*.bak"};
  s.SearchHistory = {"error", "copy"};
  s.MainLogFolder = "/var/log/twn \xc3\xa9";
  s.BasketContainer = 2;
  s.WizardFontL = {"Sans L", 12, 1, 1};
  s.WizardFontR = {"Sans R", 13, 2, 8};

  TJob& job = s.AddJob(kNow);
  TJobData& d = job.Data;
  d.JobName = "Photos \xc3\xa9t\xc3\xa9";
  job.bHasLastRun = true, job.LastRun = 45999.125;
  d.FileFilter = f;
  d.FileFilter.FilterName.clear();
  d.FolderFilter.AddPattern("cache");
  d.bRulesSize = false, d.bRulesTime = false, d.bRulesAttr = true, d.bRulesNTFS = false;
  d.bRulesDaylight = false, d.bRulesTimezone = true, d.RulesTimezone = 5;
  d.idxMethod = 6, d.idxNewerL = 1, d.idxNewerR = 2, d.idxEqualDate = 3, d.idxEqualL = 1;
  d.idxEqualR = 1, d.idxSingleL = 2, d.idxSingleR = 2;
  d.Empty_RemoveL = d.Empty_RemoveR = d.Empty_CopyL = d.Empty_CopyR = true;
  d.Frequency = 4, d.freMinutes = 5, d.freHours = 6, d.freDays = 7, d.ExcludeDays = 96;
  d.StartTime = 0.3125, d.bRunBefore = true, d.RunBefore = 46100;
  d.LogFull_bUse = false, d.LogFull_bCreateNew = true, d.LogFull_bOverwrite = true;
  d.LogFull_MaxSize = 200;
  d.LogSummary_bUse = false, d.LogSummary_bCreateNew = true, d.LogSummary_bOverwrite = true;
  d.LogSummary_MaxSize = 300;
  d.LogError_bUse = false, d.LogError_bCreateNew = true, d.LogError_bOverwrite = true;
  d.LogError_MaxSize = 400;
  d.MaxDeletePercent = 30;
  d.bRunOnChange = true;
  d.bKeepVersions = true, d.VersionsFolder = "/keep", d.KeepVersions = 3, d.KeepDays = 4;
  d.bCopyLinks = d.bFolderTimes = false;
  d.LogHistory = {"/logs/a_full.log", "/logs/b_full.log"};
  d.bContent = true;
  d.Pairs.push_back({"/home/me/Fotos", "", "", "/mnt/usb/Fotos", "", "", true, 1});
  d.Pairs.push_back({"/home/me/\xc3\xa9", "", "", "/mnt/usb/x y", "", "", false, 1});
  s.AddJob(kNow).Data.JobName = "Second";
}

// Every field of the records the file holds, as one comparable value; records without an
// operator== of their own are taken field by field.
auto SettingsFields(const TSettings& s) {
  return std::tie(s.MainTop, s.MainLeft, s.MainWidth, s.MainHeight, s.MainWindowState,
                  s.bShowTutorials, s.bAutosizeColumns, s.ColumnWidth, s.SortColumn, s.bAscending,
                  s.QuickInfo, s.LogViewer, s.VisualRun, s.FolderTree, s.AddPair, s.TreesContainer,
                  s.VerticalSplitter, s.TreesFontL, s.TreesFontR, s.MaxHistoryItems,
                  s.DefFileFilters, s.DefFolderFilters, s.FileFilterIncHistory,
                  s.FileFilterExcHistory, s.SearchHistory, s.MainLogFolder, s.BasketContainer,
                  s.WizardFontL, s.WizardFontR);
}

auto JobFields(const TJob& job) {
  const TJobData& d = job.Data;
  std::vector<std::tuple<std::string, std::string, bool>> pairs;
  for (const TPairItem& p : d.Pairs) pairs.emplace_back(p.L_Path, p.R_Path, p.bSubFLD);
  return std::make_tuple(
      job.bHasLastRun, job.LastRun, d.JobName, d.FileFilter, d.FolderFilter, d.bRulesSize,
      d.bRulesTime, d.bRulesAttr, d.bRulesNTFS, d.bRulesDaylight, d.bRulesTimezone, d.RulesTimezone,
      d.idxMethod, d.Empty_RemoveL, d.Empty_RemoveR, d.Empty_CopyL, d.Empty_CopyR, d.idxNewerL,
      d.idxNewerR, d.idxEqualDate, d.idxEqualL, d.idxEqualR, d.idxSingleL, d.idxSingleR,
      d.Frequency, d.freMinutes, d.freHours, d.freDays, d.ExcludeDays, d.StartTime, d.bRunBefore,
      d.RunBefore, d.LogFull_bUse, d.LogFull_bCreateNew, d.LogFull_bOverwrite, d.LogFull_MaxSize,
      d.LogSummary_bUse, d.LogSummary_bCreateNew, d.LogSummary_bOverwrite, d.LogSummary_MaxSize,
      d.LogError_bUse, d.LogError_bCreateNew, d.LogError_bOverwrite, d.LogError_MaxSize,
      d.MaxDeletePercent, d.bRunOnChange, d.bKeepVersions, d.VersionsFolder, d.KeepVersions,
      d.KeepDays, d.bCopyLinks, d.bFolderTimes, d.LogHistory, d.bContent, std::move(pairs));
}

// The positions in two such values whose fields are equal (`equal`) or differ.
template <class Tuple>
std::vector<size_t> FieldsWhere(bool equal, const Tuple& a, const Tuple& b) {
  std::vector<size_t> positions;
  [&]<size_t... I>(std::index_sequence<I...>) {
    const auto note = [&](size_t i, bool same) {
      if (same == equal) positions.push_back(i);
    };
    (note(I, std::get<I>(a) == std::get<I>(b)), ...);
  }
  (std::make_index_sequence<std::tuple_size_v<Tuple>>());
  return positions;
}

std::string SavedText(const TSettings& s) {
  TKelIni ini;
  s.WriteTo(ini);
  return std::string(ini.BuildText());
}

TSettings ReadText(std::string_view text) {
  TKelIni ini;
  ini.LoadFromText(text);
  TSettings s("/cfg");
  s.ReadFrom(ini, kNow);
  return s;
}

// The key names of one section of a written text, in order, separated by blanks.
std::string KeysOf(const std::string& text, const std::string& section) {
  std::string keys;
  size_t pos = text.find("[" + section + "]\r\n");
  if (pos == std::string::npos) return keys;
  pos = text.find('\n', pos) + 1;
  while (pos < text.size() && text[pos] != '\r' && text[pos] != '[') {
    keys += (keys.empty() ? "" : " ") + text.substr(pos, text.find('=', pos) - pos);
    pos = text.find('\n', pos) + 1;
  }
  return keys;
}

// Catches a field that a table leaves out: it would be neither written nor read, so the file
// alone looks consistent, but the record loaded back differs.
TEST(Settings, EveryFieldOfEveryRecordSurvivesSaveAndLoad) {
  test::TempDir dir;
  TSettings first(dir.path());
  FillEveryField(first);
  const TJob fresh_job(0, kNow);
  ASSERT_EQ(FieldsWhere(true, SettingsFields(first), SettingsFields(TSettings(dir.path()))),
            std::vector<size_t>{});
  ASSERT_EQ(FieldsWhere(true, JobFields(*first.Jobs[0]), JobFields(fresh_job)),
            std::vector<size_t>{});
  for (int i = 2; i < 1000; ++i) first.AddJob(kNow).Data.JobName = "Job " + std::to_string(i);
  ASSERT_EQ(first.SaveSettings(), 0);

  TSettings second(dir.path());
  ASSERT_EQ(second.LoadSettings(kNow), 0);
  EXPECT_EQ(FieldsWhere(false, SettingsFields(second), SettingsFields(first)),
            std::vector<size_t>{});
  ASSERT_EQ(second.Jobs.size(), 1000u);
  for (size_t i = 0; i < first.Jobs.size(); ++i)
    EXPECT_EQ(FieldsWhere(false, JobFields(*second.Jobs[i]), JobFields(*first.Jobs[i])),
              std::vector<size_t>{})
        << "job " << i;
  const std::string text = test::ReadFile(first.FilePath());
  EXPECT_EQ(test::ListNames(dir.path()), std::vector<std::string>{"TWN.ini"})
      << "a temporary file was left";
  ASSERT_EQ(second.SaveSettings(), 0);
  EXPECT_EQ(test::ReadFile(second.FilePath()), text);

  EXPECT_EQ(second.FindJob("JOB 42"), 42);
  EXPECT_EQ(second.FindJob("Job 1000"), -1);
  const TJobData& d = second.Jobs[0]->Data;
  EXPECT_EQ(d.Pairs[1].L_UpPath, "/HOME/ME/\xc3\xa9");
  EXPECT_EQ(d.Pairs[0].R_UpName, "FOTOS");
  EXPECT_EQ(d.Pairs[0].Valid, 1);
  EXPECT_EQ(second.Jobs[1]->JobID, second.Jobs[0]->JobID + 1);
}

// Other programs and older files know the keys by these names and in this order.
TEST(Settings, SectionsAndKeysInWrittenOrder) {
  TSettings s("/cfg");
  FillEveryField(s);
  const std::string text = SavedText(s);
  std::string headers;
  for (size_t pos = 0; (pos = text.find("\r\n[", pos)) != std::string::npos; pos += 3)
    headers += text.substr(pos + 3, text.find(']', pos) - pos - 3) + " ";
  EXPECT_EQ(text.substr(0, 14), "[MainSection]\r");
  EXPECT_EQ(headers,
            "TreesSection FilterSection DefFileFilter_1 DefFolderFilter_1 FileFilterIncHistory "
            "FileFilterExcHistory LogViewerHistory WizardSection JobSection Job_1 Job_2 ");

  const std::string main = KeysOf(text, "MainSection");
  EXPECT_EQ(std::count(main.begin(), main.end(), ' '), 43);
  EXPECT_TRUE(
      main.starts_with("MainTop MainLeft MainWidth MainHeight MainWindowState "
                       "bShowTutorials bAutosizeColumns ColumnWidth_1 ColumnWidth_2 "
                       "ColumnWidth_3 ColumnWidth_4 ColumnWidth_5 SortColumn bAscending "
                       "b_QuickInfo_moved "))
      << main;
  EXPECT_TRUE(main.ends_with(" w_AddPair_Height")) << main;
  EXPECT_EQ(KeysOf(text, "Job_1"),
            "JobName bHasLastRun LastRun FLT_Include FLT_Exclude FLT_bUseExclude FLT_bUseDate "
            "FLT_bUseSize FLT_bUseAttr FLT_DateTimeA FLT_DateTimeB FLT_DatePos FLT_SizeA FLT_SizeB "
            "FLT_SizeDegreeA FLT_SizeDegreeB FLT_SizePos FLT_Attr_IncMask FLT_Attr_ExcMask "
            "FolderFilterCount FolderFilter_1 bRulesSize bRulesTime bRulesAttr bRulesNTFS "
            "bRulesDaylight bRulesTimezone RulesTimezone idxMethod Empty_RemoveL Empty_RemoveR "
            "Empty_CopyL Empty_CopyR idxNewerL idxNewerR idxEqualDate idxEqualL idxEqualR "
            "idxSingleL idxSingleR Frequency freMinutes freHours freDays ExcludeDays StartTime "
            "bRunBefore RunBefore LogFull_bUse LogFull_bCreateNew LogFull_bOverwrite "
            "LogFull_MaxSize LogSummary_bUse LogSummary_bCreateNew LogSummary_bOverwrite "
            "LogSummary_MaxSize LogError_bUse LogError_bCreateNew LogError_bOverwrite "
            "LogError_MaxSize MaxDeletePercent bRunOnChange bKeepVersions VersionsFolder "
            "KeepVersions KeepDays "
            "bCopyLinks bFolderTimes "
            "LogHistoryCount Logfile1 Logfile2 PairsCount "
            "bContent L_Path1 "
            "R_Path1 bSubFLD1 L_Path2 R_Path2 bSubFLD2");
  EXPECT_TRUE(KeysOf(text, "DefFileFilter_1").starts_with("FilterName "));
  EXPECT_EQ(KeysOf(text, "TreesSection"),
            "TreesContainer VerticalSplitter FontNameL FontSizeL FontColorL FontStyleL FontNameR "
            "FontSizeR FontColorR FontStyleR");
}

// A missing file is a first start; an unreadable one is reported so that nobody saves over it.
// Either way the program starts with the defaults.
TEST(Settings, MissingOrUnreadableFileGivesDefaults) {
  test::TempDir dir;
  test::MakeDirs(dir / "dir/TWN.ini");
  // A link loop stands in for missing read permission, which root does not have to respect.
  test::MakeDirs(dir / "loop");
  std::filesystem::create_symlink(dir / "loop/TWN.ini", dir / "loop/TWN.ini");
  test::WriteFile(dir / "locked/TWN.ini", "[JobSection]\r\nJobCount=1\r\n");
  ASSERT_EQ(::chmod((dir / "locked/TWN.ini").c_str(), 0), 0);
  const struct {
    const char* folder;
    int error;
  } cases[] = {{"new", 0}, {"dir", EISDIR}, {"loop", ELOOP}, {"locked", EACCES}};
  for (const auto& c : cases) {
    if (c.error == EACCES && ::geteuid() == 0) continue;  // root reads files whatever their mode
    TSettings s(dir / c.folder);
    EXPECT_EQ(s.LoadSettings(kNow), c.error) << c.folder;
    EXPECT_TRUE(s.Jobs.empty()) << c.folder;
    EXPECT_EQ(s.MainLogFolder, dir / c.folder + "/Logs");
  }
  ASSERT_EQ(TSettings(dir / "new").SaveSettings(), 0) << "the first save creates the folder";
  EXPECT_TRUE(std::filesystem::is_regular_file(dir / "new/TWN.ini"));
  EXPECT_NE(TSettings(dir / "dir").SaveSettings(), 0) << "a folder named TWN.ini stays";
  EXPECT_TRUE(std::filesystem::is_directory(dir / "dir/TWN.ini"));
  EXPECT_NE(TSettings(dir / "new/TWN.ini/sub").SaveSettings(), 0);
}

TEST(Settings, ReadingFallsBackKeyByKey) {
  TSettings s = ReadText(
      "[MainSection]\r\nbShowTutorials=2\r\nbAscending=yes\r\nw_QuickInfo_State=2\r\n"
      "w_LogViewer_State=3\r\nColumnWidth_2=0x20\r\n"
      "[JobSection]\r\nJobCount=3\r\n"
      "[Job_1]\r\nJobName=  spaced name  \r\nbHasLastRun=1\r\nLastRun=0\r\nbRulesSize=2\r\n"
      "bRulesAttr=yes\r\nPairsCount=3\r\nL_Path1=/a\r\nR_Path1=/b\r\nbSubFLD1=1\r\n"
      "L_Path2=/only-left\r\nL_Path3=/c\r\nR_Path3=/d\r\nFolderFilterCount=4\r\n"
      "FolderFilter_1=zeta\r\nFolderFilter_2=   \r\nFolderFilter_3=Alpha\r\n"
      "LogHistoryCount=3\r\nLogfile1=/l/a.log\r\nLogfile2=/L/A.LOG:\r\nLogfile3=/l/b.log\r\n"
      "StartTime=abc\r\nFrequency=99\r\nFLT_SizeA=5000000000\r\nFLT_SizeB=0x20\r\n"
      "[Job_1]\r\nidxMethod=2\r\n");
  EXPECT_TRUE(s.bShowTutorials);
  EXPECT_TRUE(s.bAscending);
  EXPECT_EQ(s.QuickInfo.State, 1);
  EXPECT_EQ(s.LogViewer.State, 3);
  EXPECT_EQ(s.ColumnWidth[1], 32);
  ASSERT_EQ(s.Jobs.size(), 3u);
  const TJob& job = *s.Jobs[0];
  EXPECT_EQ(job.Data.JobName, "spaced name");
  EXPECT_FALSE(job.bHasLastRun);
  EXPECT_TRUE(job.Data.bRulesSize);
  EXPECT_FALSE(job.Data.bRulesAttr);
  EXPECT_EQ(job.Data.idxMethod, 2) << "keys of a repeated header belong to the first";
  EXPECT_EQ(job.Data.Frequency, 99) << "out-of-range values are taken as read";
  EXPECT_EQ(job.Data.StartTime, kNow);
  EXPECT_EQ(job.Data.FileFilter.FLT_SizeA, 5'000'000'000) << "a size beyond 32 bits";
  EXPECT_EQ(job.Data.FileFilter.FLT_SizeB, 32);
  ASSERT_EQ(job.Data.Pairs.size(), 2u);
  EXPECT_TRUE(job.Data.Pairs[0].bSubFLD);
  EXPECT_EQ(job.Data.FolderFilter.Patterns(), (std::vector<std::string>{"Alpha", "zeta"}));
  EXPECT_EQ(job.Data.LogHistory, (std::vector<std::string>{"/l/a.log", "/l/b.log"}));
  EXPECT_FALSE(job.Data.bRunOnChange) << "a file older than watch mode";
  // The missing sections give jobs with all defaults.
  EXPECT_EQ(s.Jobs[1]->Data.JobName, "untitled");
  EXPECT_TRUE(s.Jobs[2]->Data.Pairs.empty());
  EXPECT_TRUE(s.Jobs[2]->Data.LogFull_bUse);
  EXPECT_EQ(s.Jobs[2]->Data.LogError_MaxSize, 1000);

  // Renumbered on save: pairs 1 and 2, three job sections.
  const std::string text = SavedText(s);
  EXPECT_NE(text.find("PairsCount=2\r\nbContent=0\r\nL_Path1=/a\r\nR_Path1=/b\r\nbSubFLD1=1\r\n"
                      "L_Path2=/c\r\nR_Path2=/d\r\nbSubFLD2=0\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("[Job_3]"), std::string::npos);
}

TEST(Settings, DamagedCountsStayBounded) {
  const TSettings s = ReadText(
      "[JobSection]\r\nJobCount=2000000000\r\n[FilterSection]\r\nDefinedFileCount=99999999\r\n"
      "[Job_1]\r\nPairsCount=2147483647\r\nL_Path1=/a\r\nR_Path1=/b\r\n"
      "L_Path2000000000=/c\r\nR_Path2000000000=/d\r\nL_Path02=/e\r\nR_Path02=/f\r\n"
      "LogHistoryCount=-4\r\nLogfile1=/l\r\n"
      "[Job_1]\r\nJobName=merged\r\n");
  // Four headers in the file: no more jobs and filters than that, whatever the counts say.
  EXPECT_EQ(s.Jobs.size(), 4u);
  EXPECT_EQ(s.DefFileFilters.size(), 4u);
  const TJobData& d = s.Jobs[0]->Data;
  EXPECT_EQ(d.JobName, "merged");
  ASSERT_EQ(d.Pairs.size(), 2u) << "only keys numbered as written count";
  EXPECT_EQ(d.Pairs[1].R_Path, "/d");
  EXPECT_TRUE(d.LogHistory.empty());
}

TEST(Settings, EveryJobSectionIsReadWhateverTheCount) {
  const struct {
    std::string text;
    std::vector<std::string> names;
  } cases[] = {
      {"[JobSection]\r\nJobCount=1\r\n[Job_1]\r\nJobName=One\r\n[Job_2]\r\nJobName=Two\r\n",
       {"One", "Two"}},
      {"[Job_2]\r\nJobName=Two\r\n[Job_1]\r\nJobName=One\r\n", {"One", "Two"}},
      {"[JobSection]\r\nJobCount=-3\r\n[Job_10]\r\nJobName=Ten\r\n[Job_9]\r\nJobName=Nine\r\n",
       {"Nine", "Ten"}},
      {"[JobSection]\r\nJobCount=3\r\n[Job_1]\r\nJobName=One\r\n[Job_3]\r\nJobName=Three\r\n",
       {"One", "untitled", "Three"}},
      {"[Job_01]\r\nJobName=a\r\n[Job_x]\r\nJobName=b\r\n[Jobs_1]\r\nJobName=c\r\n[Job_]\r\n"
       "[Job_0]\r\n[Job_-1]\r\n",
       {}},
  };
  for (const auto& c : cases) {
    const TSettings s = ReadText(c.text);
    EXPECT_EQ(s.JobNames(), c.names) << c.text;
    // The next save numbers them 1, 2, ... under a count that matches.
    EXPECT_NE(SavedText(s).find("JobCount=" + std::to_string(c.names.size()) + "\r\n"),
              std::string::npos);
  }
}

TEST(Settings, HistoriesAreCleaned) {
  const struct {
    std::string text;
    std::vector<std::string> inc;
  } cases[] = {
      {"[FilterSection]\r\nMaxHistoryItems=1\r\n[FileFilterIncHistory]\r\n"
       "FileFilterCount=2\r\nFileFilter_1=a\r\nFileFilter_2=b\r\n",
       {"a"}},
      {"[FilterSection]\r\nMaxHistoryItems=-5\r\n[FileFilterIncHistory]\r\n"
       "FileFilterCount=1\r\nFileFilter_1=a\r\n",
       {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadText(c.text).FileFilterIncHistory, c.inc) << c.text;

  std::string search = "[LogViewerHistory]\r\nSearchListCount=150\r\n";
  for (int n = 1; n <= 150; ++n)
    search += "Search_" + std::to_string(n) + "=text" + std::to_string(n % 120) + "\xa8\r\n";
  const TSettings s = ReadText(search);
  ASSERT_EQ(s.SearchHistory.size(), 100u);
  EXPECT_EQ(s.SearchHistory[0], "text1\xa8");
  EXPECT_EQ(s.SearchHistory[99], "text100\xa8");
}

TEST(Settings, DamagedFilesLoadWhatIsReadable) {
  TSettings full("/cfg");
  FillEveryField(full);
  const std::string text = SavedText(full);
  std::string cr_only = text, with_nuls = text;
  std::erase(cr_only, '\n');
  for (size_t i = 7; i < with_nuls.size(); i += 97) with_nuls[i] = '\0';
  std::string flat = cr_only;
  std::erase(flat, '\r');

  EXPECT_EQ(SavedText(ReadText(cr_only)), text);
  EXPECT_TRUE(ReadText(flat).Jobs.empty());
  EXPECT_EQ(ReadText(flat).MaxHistoryItems, 20);
  EXPECT_LE(ReadText(with_nuls).Jobs.size(), 2u);
  const TSettings truncated = ReadText(text.substr(0, text.find("[Job_1]") + 40));
  ASSERT_EQ(truncated.Jobs.size(), 2u);
  EXPECT_EQ(truncated.Jobs[0]->Data.JobName, full.Jobs[0]->Data.JobName);
  EXPECT_EQ(truncated.Jobs[1]->Data.JobName, "untitled");
}

TEST(Settings, JobNameProblems) {
  const std::vector<std::string> names = {"Photos", " Music "};
  for (const char* ok : {"Documents", "Photos 2", "caf\xc3\xa9"})
    EXPECT_EQ(JobNameProblem(ok, names), "") << ok;
  for (const char* bad :
       {"  MUSIC", "a/b", "a\\b", "a:b", "what?", "a\"b", "a|b", "a<b", "a>b", "a*", "two\nlines",
        "cr\r", "Docs ", " Docs", "Docs\t", "\tDocs", "", "   "})
    EXPECT_NE(JobNameProblem(bad, names), "") << bad;
  EXPECT_EQ(JobNameProblem("photos", names),
            "Job should have unique name. Please type another name.");
  EXPECT_TRUE(HasLineBreak("/a\nb"));
  EXPECT_FALSE(HasLineBreak("/a b"));
}

// What is refused is exactly what would not read back as it was written.
TEST(Settings, FolderPathsThatCannotRoundTripAreRefused) {
  const struct {
    const char* path;
    bool ok;
  } cases[] = {{"/data/T", true},    {"/data/two words", true}, {"/data/ inner /x", true},
               {"relative", true},   {"/data/T ", false},       {" /data/T", false},
               {"/data/T\t", false}, {"\t/data/T", false},      {"/a\nb", false},
               {"/a\r", false}};
  for (const auto& c : cases) {
    EXPECT_EQ(FolderPathProblem(c.path).empty(), c.ok) << c.path;
    TSettings s("/cfg");
    TPairItem& pair = s.AddJob(0).Data.Pairs.emplace_back();
    pair.L_Path = c.path;
    pair.R_Path = "/r";
    const TSettings read = ReadText(SavedText(s));
    ASSERT_EQ(read.Jobs.size(), 1u);
    const bool same =
        !read.Jobs[0]->Data.Pairs.empty() && read.Jobs[0]->Data.Pairs[0].L_Path == c.path;
    EXPECT_EQ(same, c.ok) << c.path;
  }
}

TEST(SettingsFolder, OrderOfChoice) {
  test::TempDir dir;
  test::WriteFile(dir / "portable/TWN.ini", "");
  test::MakeDirs(dir / "writable");
  const std::string cwd = std::filesystem::current_path().string();
  test::ScopedEnv home("HOME", (dir / "home").c_str());
  const std::string home_config = dir / "home/.config/twinward", missing = dir / "missing/twn";
  const struct {
    const char *twn_home, *xdg;
    std::string explicit_folder, exe, expected;
  } cases[] = {
      {"/th", nullptr, "/opt/s", dir / "portable/twn", "/opt/s"},
      {nullptr, nullptr, "rel", "", cwd + "/rel"},
      {"/th", "/xdg", "", dir / "portable/twn", "/th"},
      {nullptr, "/xdg", "", dir / "portable/twn", dir / "portable"},
      {nullptr, "/xdg", "", dir / "writable/twn", dir / "writable"},
      {nullptr, "/xdg", "", missing, "/xdg/twinward"},
      {nullptr, "xdg", "", missing, home_config},  // a relative XDG folder is ignored
      {nullptr, nullptr, "", missing, home_config},
  };
  for (const auto& c : cases) {
    test::ScopedEnv twn_home("TWN_HOME", c.twn_home);
    test::ScopedEnv xdg("XDG_CONFIG_HOME", c.xdg);
    EXPECT_EQ(SettingsFolder(c.explicit_folder, c.exe), c.expected) << c.expected;
  }
}

}  // namespace
}  // namespace twn
