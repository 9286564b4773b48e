#include "model/job_data.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <tuple>

#include "platform/fs.h"
#include "support/fault_support.h"
#include "support/test_support.h"

namespace twn {
namespace {

using Strings = std::vector<std::string>;

TPairItem Pair(std::string left, std::string right) {
  TPairItem p;
  p.L_Path = std::move(left);
  p.R_Path = std::move(right);
  return p;
}

TEST(JobDataTest, HasWorkNeedsAnActionOrEmptyFolderFlagAndAPair) {
  const struct {
    const char* name;
    bool with_pair;
    std::function<void(TJobData&)> set;
    bool expected;
  } cases[] = {
      {"new record with a pair", true, [](TJobData&) {}, false},
      {"method alone is no work", true, [](TJobData& d) { d.idxMethod = kMethodMirrorL; }, false},
      {"an action but no pair", false, [](TJobData& d) { d.idxNewerL = 1; }, false},
      {"newer left", true, [](TJobData& d) { d.idxNewerL = 1; }, true},
      {"single right", true, [](TJobData& d) { d.idxSingleR = 2; }, true},
      {"equal right", true, [](TJobData& d) { d.idxEqualR = 1; }, true},
      {"remove empty left", true, [](TJobData& d) { d.Empty_RemoveL = true; }, true},
      {"copy empty right", true, [](TJobData& d) { d.Empty_CopyR = true; }, true},
  };
  for (const auto& c : cases) {
    TJobData d(0);
    if (c.with_pair) d.Pairs.push_back(Pair("/a", "/b"));
    c.set(d);
    EXPECT_EQ(c.expected, d.HasWork()) << c.name;
    EXPECT_EQ(c.with_pair, d.HasPairs()) << c.name;
  }
}

TEST(JobDataTest, CanScheduleUnlessEveryWeekdayOfAScheduledJobIsExcluded) {
  const struct {
    int32_t frequency, exclude;
    bool expected;
  } cases[] = {
      {kFreqManual, kAllDays, true},    {kFreqMinutes, kAllDays, false},
      {kFreqDaily, kAllDays - 1, true}, {kFreqDays, 0, true},
      {kFreqHours, 0xFF, false},  // a stray high bit must not hide the all-days exclusion
      {kFreqHours, -1, false},
  };
  for (const auto& c : cases) {
    TJobData d(0);
    d.Frequency = c.frequency;
    d.ExcludeDays = c.exclude;
    EXPECT_EQ(c.expected, d.CanSchedule()) << c.frequency << " " << c.exclude;
  }
}

TEST(JobDataTest, CleanHistoryKeepsFirstOfEqualKeysThenCuts) {
  const struct {
    Strings in;
    char separator;
    size_t limit;
    Strings expected;
  } cases[] = {
      {{"/l/a.log", " /L/A.LOG ", "/l/b.log"}, ':', 200, {"/l/a.log", "/l/b.log"}},
      // one trailing separator is ignored
      {{"*.txt;", "*.TXT", "*.txt;;"}, ';', 20, {"*.txt;", "*.txt;;"}},
      {{"\xC3\xA4.log", "\xC3\x84.log"}, ':', 9, {"\xC3\xA4.log", "\xC3\x84.log"}},  // a-z only
      {{"a\xA8", "A"}, '\xA8', 20, {"a\xA8"}},
      {{"", "x", "  "}, ';', 20, {"", "x"}},
      {{"a", "A", "b", "c", "d"}, ';', 3, {"a", "b", "c"}},  // cut after removal
      {{"a"}, ';', 0, {}},
  };
  for (const auto& c : cases) {
    Strings list = c.in;
    CleanHistory(list, c.separator, c.limit);
    EXPECT_EQ(c.expected, list) << c.in[0];
  }
}

TEST(JobDataTest, AddLogFileMovesAKnownPathToTheTopAndKeepsTwoHundred) {
  TJobData d(0);
  d.AddLogFile("", false);
  EXPECT_TRUE(d.LogHistory.empty());
  d.AddLogFile("/logs/a.log", false);
  d.AddLogFile("/logs/b.log", false);
  d.AddLogFile(" /LOGS/A.log", false);
  EXPECT_EQ((Strings{" /LOGS/A.log", "/logs/b.log"}), d.LogHistory);
  d.AddLogFile("/logs/B.LOG", true);  // appended duplicates lose against the earlier entry
  d.AddLogFile("/logs/c.log", true);
  EXPECT_EQ((Strings{" /LOGS/A.log", "/logs/b.log", "/logs/c.log"}), d.LogHistory);

  d.LogHistory.clear();
  for (int i = 0; i < 201; ++i) d.AddLogFile("/logs/" + std::to_string(i) + ".log", false);
  ASSERT_EQ(kLogHistoryLimit, d.LogHistory.size());
  EXPECT_EQ("/logs/200.log", d.LogHistory.front());
  EXPECT_EQ("/logs/1.log", d.LogHistory.back());
}

TEST(JobDataTest, RemoveDeadLogsAndDeleteLog) {
  test::TempDir dir;
  const std::string kept = dir / "kept.log", read_only = dir / "ro.log";
  test::WriteFile(kept, "x");
  test::WriteFile(read_only, "y");
  ASSERT_EQ(0, ::chmod(read_only.c_str(), 0444));
  TJobData d(0);
  d.LogHistory = {dir / "gone.log", " " + kept + " ", read_only, dir.path()};
  d.RemoveDeadLogs();  // a folder is no log file
  EXPECT_EQ((Strings{" " + kept + " ", read_only}), d.LogHistory);

  EXPECT_EQ(0, d.DeleteLog(2));
  EXPECT_EQ(0, d.DeleteLog(-1));
  EXPECT_EQ(2u, d.LogHistory.size());
  EXPECT_EQ(0, d.DeleteLog(1));
  EXPECT_FALSE(platform::FileExists(read_only));
  EXPECT_EQ(0, d.DeleteLog(0));
  EXPECT_FALSE(platform::FileExists(kept));
  EXPECT_TRUE(d.LogHistory.empty());

  d.LogHistory = {dir / "never.log"};
  EXPECT_EQ(0, d.DeleteLog(0));  // the entry goes even though the file is gone
  EXPECT_TRUE(d.LogHistory.empty());
}

TEST(JobDataTest, DeleteLogReportsAFailedDeletionAndStillDropsTheEntry) {
  test::TempDir dir;
  const std::string locked = dir / "locked";
  test::WriteFile(locked + "/a.log", "x");
  // Root ignores permission bits but not the immutable attribute.
  const test::ScopedImmutable immutable({locked});
  if (!immutable.ok() && ::geteuid() == 0) GTEST_SKIP() << "root may delete anywhere";
  ASSERT_TRUE(immutable.ok() || ::chmod(locked.c_str(), 0555) == 0);
  TJobData d(0);
  d.LogHistory = {locked + "/a.log"};
  EXPECT_EQ(immutable.ok() ? EPERM : EACCES, d.DeleteLog(0));
  EXPECT_TRUE(d.LogHistory.empty());
  ::chmod(locked.c_str(), 0755);
}

TEST(JobDataTest, RefreshPairKeysDerivesUpperCasedPathAndLastFolder) {
  const struct {
    const char *path, *up_path, *up_name;
  } cases[] = {
      {"/home/ann/Docs", "/HOME/ANN/DOCS", "DOCS"},
      {"/home/ann/Docs/", "/HOME/ANN/DOCS/", "DOCS"},
      {"/srv//", "/SRV//", ""},
      {"/", "/", ""},
      {"relative", "RELATIVE", "RELATIVE"},
      {"/m\xC3\xA4rz", "/M\xC3\xA4RZ", "M\xC3\xA4RZ"},
  };
  TJobData d(0);
  for (const auto& c : cases) d.Pairs.push_back(Pair(c.path, std::string("/r") + c.path));
  d.RefreshPairKeys();
  for (size_t i = 0; i < std::size(cases); ++i) {
    const TPairItem& p = d.Pairs[i];
    EXPECT_EQ(cases[i].up_path, p.L_UpPath) << cases[i].path;
    EXPECT_EQ(cases[i].up_name, p.L_UpName) << cases[i].path;
    EXPECT_EQ(std::string("/R") + cases[i].up_path, p.R_UpPath) << cases[i].path;
    EXPECT_EQ(1, p.Valid);
  }
}

TEST(JobDataTest, CreateStampsTheMomentAndAssignCopiesDeeply) {
  const platform::TDateTime now = platform::EncodeDateTime(2026, 6, 1, 10, 11, 12);
  TJobData source = TJobData::Create(now);
  EXPECT_EQ("New Job", source.JobName);
  EXPECT_EQ(kMethodNone, source.idxMethod);
  for (const double stamp : {source.StartTime, source.RunBefore, source.FileFilter.FLT_DateTimeA,
                             source.FileFilter.FLT_DateTimeB})
    EXPECT_EQ(now, stamp);

  source.JobName = "Photos";
  source.Pairs = {Pair("/a", "/b")};
  source.FolderFilter.AddPattern("Temp*");
  source.FileFilter.FLT_Include = "*.jpg";
  source.LogHistory = {"/logs/x.log"};
  source.idxSingleR = 2, source.ExcludeDays = kSaturday | kSunday, source.LogError_MaxSize = 300;
  const auto fields = [](const TJobData& d) {
    return std::tuple(d.JobName, d.Pairs.size(), d.Pairs.at(0).L_Path, d.FolderFilter, d.FileFilter,
                      d.LogHistory, d.StartTime, d.idxSingleR, d.ExcludeDays, d.LogError_MaxSize);
  };
  TJobData copy(9.0);
  copy.Pairs = {Pair("/1", "/2"), Pair("/3", "/4"), Pair("/5", "/6")};
  copy.LogHistory = {"/old.log"};
  copy.Assign(source);
  const auto before = fields(source);
  EXPECT_EQ(before, fields(copy));

  // Nothing is shared: changing the copy leaves the source as it was.
  copy.Pairs[0].L_Path = "/changed";
  copy.FolderFilter.AddPattern("Backup");
  copy.FileFilter.FLT_Include = "*.*";
  copy.LogHistory.push_back("/logs/y.log");
  EXPECT_EQ(before, fields(source));
}

// The texts themselves are checked where they are shown (the quick info); here, values past
// either end of a field's list.
TEST(JobDataTest, ActionTextsByFieldAndValue) {
  EXPECT_EQ("Do nothing", ActionText(afNewerL, 0));
  for (const auto& [field, value] : {std::pair{afNewerL, -1}, {afNewerL, 6}, {afEqualL, 2}})
    EXPECT_EQ("", ActionText(field, value)) << value;
}

}  // namespace
}  // namespace twn
