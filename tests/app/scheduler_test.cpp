#include "app/scheduler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "support/test_support.h"

namespace twn {
namespace {

using platform::EncodeDateTime;
using platform::TDateTime;

constexpr TDateTime kMs = 1.0 / 86'400'000.0;

// Starts nothing real: a started job is marked executing at the fake clock's time, as the
// job's own Start does with the real clock.
class FakeStarter final : public TJobStarter {
 public:
  explicit FakeStarter(const TDateTime& now) : now_(now) {}
  bool Start(TJob& job) override {
    if (job.State == jsExecuting) return false;
    job.LastRun = now_;
    job.bHasLastRun = true;
    job.State = jsExecuting;
    job.bChanged = true;
    ++starts;
    return true;
  }
  int starts = 0;

 private:
  const TDateTime& now_;
};

class SchedulerTest : public ::testing::Test {
 protected:
  SchedulerTest() : starter_(now_), scheduler_(jobs_, starter_, [this] { return now_; }) {
    scheduler_.MainLogFolder = logs_.path();
  }

  TJob& AddJob(const char* name, int32_t frequency, int32_t every) {
    auto job = std::make_unique<TJob>(static_cast<int32_t>(jobs_.size() + 1), now_);
    job->Data.JobName = name;
    job->Data.Frequency = frequency;
    job->Data.freMinutes = job->Data.freHours = job->Data.freDays = every;
    jobs_.push_back(std::move(job));
    return *jobs_.back();
  }

  // Ticks every 200 ms until `until`; returns the tick time of each start of `job`.
  std::vector<TDateTime> TickUntil(TDateTime until, const TJob& job) {
    std::vector<TDateTime> starts;
    while (now_ <= until) {
      const TTickResult r = scheduler_.Tick();
      if (std::count(r.started.begin(), r.started.end(), job.JobID)) starts.push_back(now_);
      now_ += 200 * kMs;
    }
    return starts;
  }

  test::TempDir logs_;
  TDateTime now_ = EncodeDateTime(2026, 3, 2, 9, 59, 59, 900);
  std::vector<std::unique_ptr<TJob>> jobs_;
  FakeStarter starter_;
  TScheduler scheduler_;
};

TEST_F(SchedulerTest, IntervalJobStartsOnTheFirstTickStrictlyAfterItsNextRun) {
  TJob& job = AddJob("five", kFreqMinutes, 5);
  scheduler_.Tick();  // computes the first next run: now
  EXPECT_EQ(jsWaiting, job.State);
  now_ = EncodeDateTime(2026, 3, 2, 10, 0, 0);
  ASSERT_EQ(1u, scheduler_.Tick().started.size());
  EXPECT_EQ(jsExecuting, job.State);

  now_ = EncodeDateTime(2026, 3, 2, 10, 2, 0);
  const TFinishResult f = scheduler_.JobFinished(job.JobID);
  EXPECT_EQ(&job, f.job);
  EXPECT_EQ(jsNothing, job.State);
  EXPECT_TRUE(job.bFinished);

  const auto starts = TickUntil(EncodeDateTime(2026, 3, 2, 10, 5, 1), job);
  ASSERT_EQ(1u, starts.size());
  EXPECT_GT(starts[0], EncodeDateTime(2026, 3, 2, 10, 5, 0));
  EXPECT_LE(starts[0], EncodeDateTime(2026, 3, 2, 10, 5, 0, 200));
}

TEST_F(SchedulerTest, RunLongerThanItsIntervalStartsAgainRightAfterItsEnd) {
  TJob& job = AddJob("minute", kFreqMinutes, 1);
  now_ = EncodeDateTime(2026, 3, 2, 10, 0, 0);
  scheduler_.Tick();
  now_ += 200 * kMs;
  ASSERT_EQ(1u, scheduler_.Tick().started.size());
  // Executing for three minutes: no second start meanwhile.
  EXPECT_TRUE(TickUntil(EncodeDateTime(2026, 3, 2, 10, 3, 0), job).empty());
  scheduler_.JobFinished(job.JobID);
  const TDateTime end = now_;
  const auto starts = TickUntil(end + 2000 * kMs, job);
  ASSERT_EQ(1u, starts.size());
  EXPECT_LE(starts[0], end + 400 * kMs);
}

TEST_F(SchedulerTest, JobsDueTogetherStartOnTheSameTick) {
  TJob& a = AddJob("a", kFreqHours, 1);
  TJob& b = AddJob("b", kFreqMinutes, 60);
  AddJob("manual", kFreqManual, 1);
  scheduler_.Tick();
  now_ += 200 * kMs;
  const TTickResult r = scheduler_.Tick();
  EXPECT_EQ((std::vector<int32_t>{a.JobID, b.JobID}), r.started);
  EXPECT_TRUE(r.changed);
  EXPECT_EQ(jsNothing, jobs_[2]->State);
  EXPECT_EQ(2, starter_.starts);
}

TEST_F(SchedulerTest, AJobAWindowHoldsStartsOnlyOnceReleased) {
  TJob& job = AddJob("held", kFreqMinutes, 1);
  job.bHeldByWindow = true;
  EXPECT_TRUE(TickUntil(now_ + 2.0 / 1440, job).empty());
  job.bHeldByWindow = false;
  EXPECT_EQ(1u, TickUntil(now_, job).size());
}

TEST_F(SchedulerTest, CommandLineRunHoldsScheduledJobsBack) {
  TJob& scheduled = AddJob("scheduled", kFreqMinutes, 1);
  TJob& manual = AddJob("manual", kFreqManual, 1);
  const std::vector<std::string> args = {"MANUAL"};
  const std::vector<std::string> names = {"scheduled", "manual"};
  scheduler_.CommandLine = ReadCommandLine(args, names);
  manual.bRunFromCommandLine = true;

  TTickResult r = scheduler_.Tick();
  EXPECT_EQ(std::vector<int32_t>{manual.JobID}, r.started);  // started on the first tick
  now_ += 1000 * kMs;
  EXPECT_TRUE(scheduler_.Tick().started.empty());  // the due job waits for the command line

  const TFinishResult f = scheduler_.JobFinished(manual.JobID);
  EXPECT_FALSE(f.minimize || f.close || f.show_log);
  now_ += 200 * kMs;
  r = scheduler_.Tick();
  EXPECT_EQ(std::vector<int32_t>{scheduled.JobID}, r.started);  // resumed on the next tick
}

TEST_F(SchedulerTest, AfterRunSwitches) {
  struct Case {
    std::vector<std::string> args;
    bool stopped;
    bool show_log, minimize, close, scheduled_starts;
  };
  const Case cases[] = {
      {{"cl", "-fm"}, false, false, true, false, false},
      {{"cl", "-fc", "-la"}, false, true, false, true, false},
      // A stopped command-line run skips minimising and closing, and scheduling resumes.
      {{"cl", "-fc"}, true, false, false, false, true},
      {{"cl", "-le"}, false, false, false, false, true},  // no errors: no log
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[1]);
    jobs_.clear();
    TJob& scheduled = AddJob("s", kFreqMinutes, 1);
    TJob& cl = AddJob("cl", kFreqManual, 1);
    const std::vector<std::string> names = {"s", "cl"};
    scheduler_.CommandLine = ReadCommandLine(c.args, names);
    cl.bRunFromCommandLine = true;
    scheduler_.Tick();
    ASSERT_EQ(jsExecuting, cl.State);
    cl.ScanInfo.SetTerminated(c.stopped);
    const TFinishResult f = scheduler_.JobFinished(cl.JobID);
    EXPECT_EQ((std::array{c.stopped, c.show_log, c.minimize, c.close}),
              (std::array{f.stopped, f.show_log, f.minimize, f.close}));
    EXPECT_FALSE(cl.bRunFromCommandLine);
    for (int tick = 0; tick < 2; ++tick) {
      now_ += 200 * kMs;
      scheduler_.Tick();
    }
    EXPECT_EQ(c.scheduled_starts, scheduled.State == jsExecuting);
  }
}

TEST_F(SchedulerTest, SuspendedTickAndUnknownJob) {
  TJob& job = AddJob("a", kFreqMinutes, 1);
  scheduler_.bTickSuspended = true;
  now_ += 1.0;
  EXPECT_FALSE(scheduler_.Tick().changed);
  EXPECT_TRUE(job.bFinished);  // not even the next run was computed
  EXPECT_EQ(nullptr, scheduler_.JobFinished(999).job);
  EXPECT_EQ(nullptr, scheduler_.FindJob(999));
  EXPECT_EQ(&job, scheduler_.FindJob(job.JobID));
}

}  // namespace
}  // namespace twn
