#include "run/job.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <tuple>

#include "platform/locale.h"
#include "support/test_support.h"

namespace twn {
namespace {

using platform::EncodeDateTime;
using platform::TDateTime;

// 2026-06-01 is a Monday.
TDateTime June(int day, int hour = 0, int minute = 0, int second = 0) {
  return EncodeDateTime(2026, 6, day, hour, minute, second);
}

std::string Show(TDateTime dt) {
  return platform::FormatShortDate(dt) + " " + platform::FormatLongTime(dt);
}

// The same moment to the millisecond.
::testing::AssertionResult SameMoment(TDateTime expected, TDateTime actual) {
  if (std::fabs(expected - actual) < 0.5 / platform::kMsPerDay)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "expected " << Show(expected) << ", got " << Show(actual);
}

TEST(JobTest, JobNumbersCountFromOneAndAreNotReused) {
  ResetJobIDs();
  EXPECT_EQ(1, NewJobID());
  EXPECT_EQ(2, NewJobID());
  EXPECT_EQ(3, TJob(NewJobID(), June(1)).JobID);
  EXPECT_EQ(4, NewJobID());
}

TEST(JobTest, AssignCopiesDefinitionAndLastRunButNotTheRowOrScheduleMarks) {
  TJob source(7, June(1));
  source.bRunFromCommandLine = true, source.State = jsExecuting, source.bChanged = false;
  source.RunMode = rmCompareOnly, source.Data.JobName = "Music", source.Data.Pairs.resize(2);
  source.LastRun = June(2, 8), source.bHasLastRun = true;
  source.bHasNextRun = true, source.NextRun = June(3, 8), source.bFinished = false;
  source.bSelected = source.bFocused = source.bMarkedForDelete = true;

  const auto copied = [](const TJob& j) {
    return std::tuple(j.JobID, j.bRunFromCommandLine, j.State, j.bChanged, j.RunMode,
                      j.Data.JobName, j.PairCount(), j.LastRun, j.bHasLastRun);
  };
  const auto row_and_schedule = [](const TJob& j) {
    return std::tuple(j.bHasNextRun, j.NextRun, j.bFinished, j.bSelected, j.bFocused,
                      j.bMarkedForDelete);
  };
  TJob copy(8, June(20));
  const auto before = row_and_schedule(copy);
  copy.Assign(source);
  EXPECT_EQ(copied(source), copied(copy));
  EXPECT_EQ(before, row_and_schedule(copy));
  copy.Data.Pairs.clear();
  EXPECT_EQ(2, source.PairCount());

  // Work needs both a pair and an action.
  EXPECT_FALSE(source.HasWork());
  source.Data.idxSingleL = copy.Data.idxSingleL = 1;
  EXPECT_TRUE(source.HasWork());
  EXPECT_FALSE(copy.HasWork());
}

TEST(JobTest, ComputeNextRun) {
  ASSERT_EQ(2, platform::DayOfWeek(June(1)));  // Monday
  const TDateTime at8 = June(1, 8), nan = std::numeric_limits<double>::quiet_NaN();
  const std::optional<TDateTime> none;
  const struct {
    const char* name;
    int32_t frequency;
    int32_t interval;  // minutes, hours or days, by frequency
    TDateTime start;   // its time of day is the start time
    int32_t exclude;
    std::optional<TDateTime> last_run, run_before;
    TDateTime now;
    std::optional<TDateTime> expected;  // none: no next run
  } cases[] = {
      {"minutes: last run plus interval", kFreqMinutes, 30, 0, 0, June(1, 10), none,
       June(1, 10, 10), June(1, 10, 30)},
      {"minutes: overdue moves to now", kFreqMinutes, 30, 0, 0, June(1, 10), none, June(1, 11),
       June(1, 11)},
      {"minutes: missed for days", kFreqMinutes, 30, 0, 0, June(1, 10), none, June(5, 9),
       June(5, 9)},
      {"minutes: no last run", kFreqMinutes, 30, 0, 0, none, none, June(1, 9, 15), June(1, 9, 15)},
      {"minutes: today excluded", kFreqMinutes, 30, 0, kMonday, none, none, June(1, 10), June(2)},
      {"minutes: two days excluded", kFreqMinutes, 30, 0, kMonday | kTuesday, none, none,
       June(1, 10), June(3)},
      {"minutes: other day excluded", kFreqMinutes, 30, 0, kSaturday, June(1, 10), none,
       June(1, 10, 10), June(1, 10, 30)},
      {"hours: past midnight with exclusions", kFreqHours, 2, 0, kSunday, June(1, 23, 30), none,
       June(1, 23, 40), June(2)},
      {"hours: not before", kFreqHours, 3, 0, 0, June(1, 9), June(6, 14), June(1, 10), June(6)},
      {"hours: not before, already passed", kFreqHours, 3, 0, 0, June(1, 9), June(1, 7),
       June(1, 10), June(1, 12)},
      {"hours: Sunday wraps to Monday", kFreqHours, 1, 0, kSunday, none, none, June(7, 12),
       June(8)},
      {"damaged zero interval counts as 1", kFreqMinutes, 0, 0, 0, June(1, 10), none,
       June(1, 10, 0, 30), June(1, 10, 1)},
      {"daily: before start time", kFreqDaily, 0, at8, 0, none, none, June(1, 7), June(1, 8)},
      {"daily: after start time", kFreqDaily, 0, at8, 0, none, none, June(1, 9), June(2, 8)},
      {"daily: weekend skipped", kFreqDaily, 0, at8, kSaturday | kSunday, June(5, 8, 0, 5), none,
       June(5, 9), June(8, 8)},
      {"daily: missed run stays in the past", kFreqDaily, 0, at8, 0, June(1, 8), none, June(6, 12),
       June(2, 8)},
      {"daily: not before", kFreqDaily, 0, June(1, 6, 30), 0, none, June(6, 15), June(1, 5),
       June(6, 6, 30)},
      {"days: 3 at 22:00", kFreqDays, 3, June(1, 22), 0, June(1, 22, 0, 30), none, June(2),
       June(4, 22)},
      {"days: not before then excluded", kFreqDays, 2, at8, kSaturday, June(1, 8), June(6, 12),
       June(1, 9), June(7, 8)},
      {"damaged zero days counts as 1", kFreqDays, 0, at8, 0, June(1, 8), none, June(1, 9),
       June(2, 8)},
      {"all days excluded", kFreqMinutes, 30, 0, kAllDays, June(1, 10), none, June(1, 11), none},
      {"stray high bits", kFreqDaily, 0, at8, 0x1FF, none, none, June(1, 7), none},
      {"manual", kFreqManual, 30, at8, 0, June(1, 10), none, June(1, 11), none},
      {"damaged last run", kFreqDaily, 0, at8, kSunday, nan, none, June(1, 7), none},
      {"damaged interval far away", kFreqDays, std::numeric_limits<int32_t>::max(), at8, kSunday,
       June(1, 8), none, June(1, 9), none},
  };
  for (const auto& c : cases) {
    TJob job(1, c.now);
    TJobData& d = job.Data;
    d.Frequency = c.frequency;
    d.freMinutes = d.freHours = d.freDays = c.interval;
    d.StartTime = c.start;
    d.ExcludeDays = c.exclude;
    job.bHasLastRun = c.last_run.has_value();
    job.LastRun = c.last_run.value_or(0);
    d.bRunBefore = c.run_before.has_value();
    d.RunBefore = c.run_before.value_or(0);
    job.bHasNextRun = !c.expected;  // must be changed either way
    job.ComputeNextRun(c.now);
    ASSERT_EQ(c.expected.has_value(), job.bHasNextRun) << c.name;
    if (!c.expected) continue;
    EXPECT_TRUE(SameMoment(*c.expected, job.NextRun)) << c.name;
  }

  TJob unknown(1, June(1));
  unknown.Data.Frequency = 9;
  unknown.bHasNextRun = true, unknown.NextRun = June(3, 4);
  unknown.ComputeNextRun(June(2));
  EXPECT_TRUE(unknown.bHasNextRun) << "an unknown frequency changes nothing";
  EXPECT_EQ(June(3, 4), unknown.NextRun);
}

TEST(JobTest, UpdateStateFollowsTheScheduleButNotDuringARun) {
  const struct {
    int32_t frequency;
    bool has_next;
    TJobState before, expected;
  } cases[] = {
      {kFreqDaily, true, jsNothing, jsWaiting},
      {kFreqMinutes, false, jsWaiting, jsNothing},
      {kFreqManual, true, jsWaiting, jsNothing},
      {kFreqMinutes, true, jsExecuting, jsExecuting},
      {kFreqManual, false, jsExecuting, jsExecuting},
  };
  for (const auto& c : cases) {
    TJob job(1, June(1));
    job.Data.Frequency = c.frequency;
    job.bHasNextRun = c.has_next;
    job.State = c.before;
    job.UpdateState();
    EXPECT_EQ(c.expected, job.State) << c.frequency << " " << c.has_next << " " << c.before;
  }
}

TEST(JobTest, DailyRunsKeepTheirClockTimeAcrossDaylightSavingChanges) {
  test::ScopedTimeZone berlin("Europe/Berlin");
  const struct {
    TDateTime last;  // the day before the change, at 08:00
    int frequency, days;
    TDateTime expected;
    int64_t hours;  // as the clock on the wall would have run
  } cases[] = {
      {EncodeDateTime(2026, 3, 28, 8), kFreqDaily, 1, EncodeDateTime(2026, 3, 29, 8), 23},
      {EncodeDateTime(2026, 10, 24, 8), kFreqDaily, 1, EncodeDateTime(2026, 10, 25, 8), 25},
      {EncodeDateTime(2026, 3, 27, 8), kFreqDays, 3, EncodeDateTime(2026, 3, 30, 8), 71},
  };
  for (const auto& c : cases) {
    TJob job(1, c.last);
    job.Data.Frequency = c.frequency;
    job.Data.freDays = c.days;
    job.Data.StartTime = EncodeDateTime(2020, 1, 1, 8);
    job.bHasLastRun = true;
    job.LastRun = c.last + 5.0 / 86400;
    const time_t last = platform::UnixFromDateTime(c.last);
    // "now" as the clock reports it one real hour after the last run
    job.ComputeNextRun(platform::DateTimeFromUnix(last + 3600));
    ASSERT_TRUE(job.bHasNextRun);
    EXPECT_TRUE(SameMoment(c.expected, job.NextRun));
    EXPECT_EQ(c.hours * 3600, platform::UnixFromDateTime(job.NextRun) - last) << Show(c.last);
  }
}

TEST(JobTest, AnIntervalRunInTheSkippedHourIsDueOnceTheClockJumps) {
  test::ScopedTimeZone berlin("Europe/Berlin");
  TJob job(1, 0);
  job.Data.Frequency = kFreqHours;
  job.Data.freHours = 1;
  job.bHasLastRun = true;
  job.LastRun = EncodeDateTime(2026, 3, 29, 1, 30);  // clocks go from 02:00 to 03:00
  const time_t last = platform::UnixFromDateTime(job.LastRun);
  job.ComputeNextRun(platform::DateTimeFromUnix(last + 600));
  ASSERT_TRUE(job.bHasNextRun);
  EXPECT_TRUE(SameMoment(EncodeDateTime(2026, 3, 29, 2, 30), job.NextRun));
  // 29 real minutes later the clock still shows 01:59; one minute after that it shows 03:00.
  EXPECT_LT(platform::DateTimeFromUnix(last + 29 * 60), job.NextRun);
  EXPECT_GE(platform::DateTimeFromUnix(last + 30 * 60), job.NextRun);
}

}  // namespace
}  // namespace twn
