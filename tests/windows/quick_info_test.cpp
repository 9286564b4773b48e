#include "windows/quick_info.h"

#include <gtest/gtest.h>

#include <functional>

#include "model/method_presets.h"
#include "platform/fs.h"

namespace twn {
namespace {

using platform::EncodeDateTime;

// A job as a user would set it up: one pair, defaults otherwise, fixed dates.
TJobData SampleJob() {
  TJobData d(EncodeDateTime(2026, 6, 1, 21, 7, 53));
  d.JobName = "Photos";
  d.Pairs.resize(1);
  d.FileFilter.FLT_DateTimeA = EncodeDateTime(2026, 1, 2, 3, 4, 5);
  d.FileFilter.FLT_DateTimeB = EncodeDateTime(2025, 12, 24, 18, 0, 0);
  d.RunBefore = EncodeDateTime(2026, 6, 10, 14, 0, 0);
  return d;
}

// The children of the top-level node with that text, rendered as the tree below it.
std::string Section(const TJobData& d, std::string_view title) {
  for (const TInfoNode& node : BuildQuickInfo(d))
    if (node.text == title) return RenderQuickInfo(node.children);
  return "<no " + std::string(title) + ">";
}

TEST(QuickInfoTest, WholeTreeOfANewMirrorJob) {
  TJobData d = SampleJob();
  ApplyMethod(d, kMethodMirrorL);
  d.FolderFilter.AddPattern("Temp*");
  EXPECT_EQ(
      "Job name\n"
      "  'Photos'\n"
      "File filters\n"
      "  File spec\n"
      "    Include: *.*\n"
      "Folder filters\n"
      "  Excluded folders\n"
      "    Temp*\n"
      "Synchronize method\n"
      "  Mirror copy files from Left to Right\n"
      "    Copy newer files from Left pane to Right pane\n"
      "    Copy older files from Left pane to Right pane\n"
      "    Copy files with equal DateTime from Left pane to Right pane\n"
      "    Copy Left pane singles to Right pane\n"
      "    Delete single files on Right pane\n"
      "    Remove empty folders on Right\n"
      "    Copy empty folders from Left to Right\n"
      "Deletion guard\n"
      "  Ask before deleting more than 50% of a side's files (over 10 files)\n"
      "Versions\n"
      "  Deleted and overwritten files are not kept\n"
      "Comparison rules\n"
      "  Duplicate files are equal if they have an equal: Filename, Size, Datetime\n"
      "  Ignore NTFS/FAT differences (up to 2 seconds)\n"
      "  Ignore daylight saving (in most time zones the difference is 1 hour)\n"
      "Links and folder times\n"
      "  Symbolic links are copied as links, never followed\n"
      "  Folders the run changes take their partners' times, new ones their permissions\n"
      "Scheduling\n"
      "  Manual run\n"
      "Log settings\n"
      "  Full log\n"
      "    Appends to the file: 'Photos_full.log' until filesize reaches 1000 Kb\n"
      "  Summary log\n"
      "    Appends to the file: 'Photos_summary.log' until filesize reaches 1000 Kb\n"
      "  Error log\n"
      "    Appends to the file: 'Photos_error.log' until filesize reaches 1000 Kb\n",
      RenderQuickInfo(BuildQuickInfo(d)));

  EXPECT_EQ("Quick info for the Job 'Photos'", QuickInfoCaption(d));
  EXPECT_EQ("Job contains 1 folder pairs", QuickInfoPairsCaption(d));
  d.Pairs.clear();
  EXPECT_EQ("Job contains 0 folder pairs", QuickInfoPairsCaption(d));
}

TEST(QuickInfoTest, IconsByLevelAndKind) {
  const std::vector<TInfoNode> tree = BuildQuickInfo(SampleJob());
  ASSERT_EQ(9u, tree.size());  // no folder patterns, no folder-filter node
  // Each top node's icon, then its first child's: a heading (15) or a plain line (14).
  std::string icons;
  for (const TInfoNode& node : tree)
    icons += std::to_string(node.icon) + "/" + std::to_string(node.children[0].icon) + " ";
  EXPECT_EQ("7/14 1/15 3/15 3/14 3/14 4/14 4/14 5/15 6/15 ", icons);
  EXPECT_EQ(14, tree[1].children[0].children[0].icon);
}

TEST(QuickInfoTest, SentencesOfEachSection) {
  using platform::kAttrArchive, platform::kAttrHidden, platform::kAttrReadOnly;
  const std::string spec = "File spec\n  Include: *.*\n";
  const struct {
    const char* name;
    const char* section;
    std::function<void(TJobData&)> set;
    std::string expected;
  } cases[] = {
      {"exclude only when used", "File filters",
       [](TJobData& d) { d.FileFilter.FLT_Exclude = "*.tmp"; }, spec},
      {"exclude", "File filters",
       [](TJobData& d) {
         d.FileFilter.FLT_Include = "*.jpg;*.png", d.FileFilter.FLT_Exclude = "~*";
         d.FileFilter.FLT_bUseExclude = true;
       },
       "File spec\n  Include: *.jpg;*.png\n  Exclude: ~*\n"},
      {"attributes", "File filters",
       [](TJobData& d) {
         d.FileFilter.FLT_bUseAttr = true;
         d.FileFilter.FLT_Attr_IncMask = kAttrHidden | kAttrArchive;
         d.FileFilter.FLT_Attr_ExcMask = platform::kAttrSystem | kAttrReadOnly;
       },
       spec + "Attributes filter\n  File must have following attributes: Archive, Hidden\n"
              "  File should not have following attributes: Read only, System\n"},
      {"attributes with one mask", "File filters",
       [](TJobData& d) {
         d.FileFilter.FLT_bUseAttr = true, d.FileFilter.FLT_Attr_ExcMask = kAttrHidden;
       },
       spec + "Attributes filter\n  File should not have following attributes: Hidden\n"},
      {"custom choices in field order", "Synchronize method",
       [](TJobData& d) {
         d.idxMethod = kMethodCustom, d.idxSingleR = 2, d.idxEqualL = 1, d.idxEqualDate = 5;
         d.Empty_RemoveL = true;
       },
       "Custom\n"
       "  Delete files on panes both Right and Left\n"
       "  Delete equal files on Left pane\n"
       "  Delete single files on Right pane\n"
       "  Remove empty folders on Left\n"},
      {"a choice the field lacks is not shown", "Synchronize method",
       [](TJobData& d) { d.idxMethod = 42, d.idxEqualR = 3, d.idxNewerL = 4; },
       "Custom\n  Delete older files on Right pane\n"},
      {"guard off", "Deletion guard", [](TJobData& d) { d.MaxDeletePercent = 0; },
       "Off: no run is held, whatever it deletes\n"},
      {"versions in a folder of their own", "Versions",
       [](TJobData& d) {
         d.bKeepVersions = true, d.VersionsFolder = "/keep", d.KeepVersions = 0, d.KeepDays = 7;
       },
       "Deleted and overwritten files are kept in '/keep': the last 1 of each file and all "
       "younger than 7 days\n"},
      {"links and folder times off", "Links and folder times",
       [](TJobData& d) { d.bCopyLinks = d.bFolderTimes = false; },
       "Symbolic links are passed over\nFolders keep the times the run leaves them\n"},
      {"all rules", "Comparison rules",
       [](TJobData& d) {
         d.bRulesAttr = d.bRulesTimezone = true;
         d.bRulesSize = d.bRulesNTFS = d.bRulesDaylight = false;
         d.RulesTimezone = 3;
       },
       "Duplicate files are equal if they have an equal: Filename, Datetime, Attributes\n"
       "Ignore filetime differences: 3 hours\n"},
      {"minutes, weekend off, not before", "Scheduling",
       [](TJobData& d) {
         d.Frequency = kFreqMinutes, d.freMinutes = 45, d.ExcludeDays = kSaturday | kSunday;
         d.bRunBefore = true;
       },
       "Job runs every 45 minutes\n  except these days: Sat, Sun\n"
       "  Job does not run before 06/10/26\n"},
      {"hours, every day named", "Scheduling",
       [](TJobData& d) { d.Frequency = kFreqHours, d.freHours = 6, d.ExcludeDays = kAllDays; },
       "Job runs every 6 hours\n  except these days: Mon, Tue, Wed, Thu, Fri, Sat, Sun\n"},
      {"once a day", "Scheduling", [](TJobData& d) { d.Frequency = kFreqDaily; },
       "Job runs once a day at 21:07:53\n"},
      {"every few days, Monday off", "Scheduling",
       [](TJobData& d) { d.Frequency = kFreqDays, d.freDays = 3, d.ExcludeDays = kMonday; },
       "Job runs every 3 days at 21:07:53\n  except these days: Mon\n"},
      {"manual hides days and earliest date", "Scheduling",
       [](TJobData& d) { d.ExcludeDays = kSaturday, d.bRunBefore = true; }, "Manual run\n"},
      {"runs when files change", "Scheduling", [](TJobData& d) { d.bRunOnChange = true; },
       "Manual run\nJob runs when files change (2 seconds after the last change)\n"},
      {"no logs", "Log settings",
       [](TJobData& d) { d.LogFull_bUse = d.LogSummary_bUse = d.LogError_bUse = false; },
       "No log files are stored\n"},
      {"each way of keeping a log", "Log settings",
       [](TJobData& d) {
         d.LogFull_bCreateNew = true, d.LogFull_bOverwrite = true;  // a new file per run wins
         d.LogSummary_bUse = false, d.LogError_bOverwrite = true;
       },
       "Full log\n  Stored into new file for each job executing\n"
       "Error log\n  Overwrites existing file: 'Photos_error.log'\n"},
      {"summary overwritten, error appended", "Log settings",
       [](TJobData& d) {
         d.LogFull_bUse = false, d.LogSummary_bOverwrite = true, d.LogError_MaxSize = 300;
       },
       "Summary log\n  Overwrites existing file: 'Photos_summary.log'\n"
       "Error log\n  Appends to the file: 'Photos_error.log' until filesize reaches 300 Kb\n"},
  };
  for (const auto& c : cases) {
    TJobData d = SampleJob();
    c.set(d);
    EXPECT_EQ(c.expected, Section(d, c.section)) << c.name;
  }
}

TEST(QuickInfoTest, DateAndSizeBounds) {
  const std::pair<int32_t, std::string> dates[] = {
      {fdNewerThanA, "equal or newer than 01/02/26 03:04:05"},
      {fdBetween, "between 01/02/26 03:04:05 and 12/24/25 18:00:00"},  // in the order entered
      {fdBeyond, "beyond 01/02/26 03:04:05 and 12/24/25 18:00:00"},
      {7, "equal or older than 01/02/26 03:04:05"},  // an unknown mode reads as older
  };
  for (const auto& [pos, expected] : dates) {
    TJobData d = SampleJob();
    d.FileFilter.FLT_bUseDate = true, d.FileFilter.FLT_DatePos = pos;
    EXPECT_EQ("File spec\n  Include: *.*\nDate filter\n  File date/time is " + expected + "\n",
              Section(d, "File filters"));
  }

  // Size bounds are named smaller first.
  const struct {
    int32_t pos, unit_a, unit_b;
    int64_t a, b;
    std::string expected;
  } cases[] = {
      {fsBetween, sdKilobytes, sdMegabytes, 30, 20, "between 30 Kb and 20 Mb"},
      {fsBetween, sdMegabytes, sdKilobytes, 30, 20, "between 20 Kb and 30 Mb"},
      {fsBeyond, sdBytes, sdKilobytes, 2048, 1, "beyond 1 Kb and 2048 bytes"},
      {fsLessThanA, sdMegabytes, sdKilobytes, 30, 20, "equal or less than 30 Mb"},
      {fsMoreThanA, sdKilobytes, sdBytes, 20, 1, "equal or more than 20 Kb"},
      {fsBetween, sdMegabytes, sdBytes, 3000, 3'145'727'999,
       "between 3145727999 bytes and 3000 Mb"},
      {fsBetween, sdMegabytes, sdKilobytes, INT64_MAX, 1,
       "between 1 Kb and 9223372036854775807 Mb"},
  };
  for (const auto& c : cases) {
    TJobData d = SampleJob();
    TFileFilter& f = d.FileFilter;
    f.FLT_bUseSize = true, f.FLT_SizePos = c.pos;
    f.FLT_SizeA = c.a, f.FLT_SizeDegreeA = c.unit_a, f.FLT_SizeB = c.b,
    f.FLT_SizeDegreeB = c.unit_b;
    EXPECT_EQ("File spec\n  Include: *.*\nSize filter\n  File size is " + c.expected + "\n",
              Section(d, "File filters"));
  }
}

TEST(QuickInfoTest, FolderPatternsFiveToALine) {
  const std::pair<int, std::string> cases[] = {
      {5, "  P1, P2, P3, P4, P5\n"},
      {10, "  P1, P2, P3, P4, P5,\n  P6, P7, P8, P9, P10\n"},
      {12, "  P1, P2, P3, P4, P5,\n  P6, P7, P8, P9, P10,\n  P11, P12\n"},
  };
  for (const auto& [count, expected] : cases) {
    TJobData d = SampleJob();
    for (int i = 1; i <= count; ++i) d.FolderFilter.AddPattern("P" + std::to_string(i));
    EXPECT_EQ("Excluded folders\n" + expected, Section(d, "Folder filters"));
  }
}

}  // namespace
}  // namespace twn
