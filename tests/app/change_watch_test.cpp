// Watch mode over real trees and real runs: the scheduler with its watches, a queue host served
// on the test's thread, and short settling times.
#include "app/change_watch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "app/scheduler.h"
#include "model/method_presets.h"
#include "support/background_program.h"
#include "support/run_fixture.h"
#include "support/test_support.h"

namespace twn {
namespace {

using namespace std::chrono_literals;

class ChangeWatchTest : public ::testing::Test {
 protected:
  ChangeWatchTest() {
    test::MakeDirs(left_), test::MakeDirs(right_);
    jobs_.push_back(test::MakeJob("W", left_, right_, kMethodMirrorL));
    job().Data.bRunOnChange = true;
    job().Data.MaxDeletePercent = 0;
    scheduler_.MainLogFolder = dir_ / "logs";
    scheduler_.Watches.Times = {150ms, 3s, 100ms, 0};
  }

  TJob& job() { return *jobs_.front(); }
  const TChangeWatch& watch() { return *scheduler_.Watches.Find(job().JobID); }
  /// Ticks and serves runs until `done` holds; whether it did within the limit.
  bool Serve(const std::function<bool()>& done) {
    return test::WaitUntil([&] {
      for (const std::string& line : scheduler_.Watches.TakeLines()) said_ += line + "\n";
      started_ += int(scheduler_.Tick().started.size());
      host_.ServeFor(20ms);
      return done();
    });
  }
  bool ServeRuns(int runs) {
    return Serve([&] { return finished_ >= runs; });
  }
  bool Said(std::string_view text) { return said_.find(text) != std::string::npos; }
  /// After a run, nothing is pending: no further run is coming.
  bool Settled() { return !job().Running() && !watch().NextDeadline(); }

  test::TempDir dir_;
  const std::string left_ = dir_ / "L", right_ = dir_ / "R";
  std::vector<std::unique_ptr<TJob>> jobs_;
  int finished_ = 0, started_ = 0;
  std::string said_;
  TQueueHost host_{[this](TNotifyWindow, uint32_t message, int32_t id) {
    if (message == WM_JOBFINISHED) finished_ += scheduler_.JobFinished(id).job ? 1 : 0;
  }};
  std::function<void()> after_sync_ = [] {};
  test::TInterceptHost intercept_{host_, [this] { after_sync_(); }};
  TThreadJobStarter starter_{intercept_, 1};
  TScheduler scheduler_{jobs_, starter_};
};

TEST_F(ChangeWatchTest, ABurstOfWritesGivesOneRunAndTheRunItselfNone) {
  scheduler_.Watches.Times.quiet = TWatchTimes::kQuiet;  // the pauses between writes stay shorter
  ASSERT_TRUE(Serve([&] { return Said("watching 2 folders"); })) << said_;
  for (int i = 0; i < 1000; ++i) {
    test::WriteFile(left_ + "/f" + std::to_string(i), "x");
    if (i % 50 == 0) started_ += int(scheduler_.Tick().started.size());
  }
  ASSERT_TRUE(ServeRuns(1)) << said_;
  EXPECT_TRUE(Settled());
  EXPECT_EQ(started_, 1);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(right_), {}), 1000);
}

TEST_F(ChangeWatchTest, FoldersThatAppearAreWatchedToTheirDepth) {
  ASSERT_TRUE(Serve([&] { return Said("watching"); })) << said_;
  test::WriteFile(left_ + "/a/b/c/one.txt", "1");  // three levels at once
  ASSERT_TRUE(ServeRuns(1)) << said_;
  EXPECT_TRUE(Settled()) << "the folders the run created are its own";
  EXPECT_EQ(test::ReadFile(right_ + "/a/b/c/one.txt"), "1");
  test::WriteFile(left_ + "/a/b/c/two.txt", "2");
  ASSERT_TRUE(ServeRuns(2)) << said_;
  EXPECT_EQ(test::ReadFile(right_ + "/a/b/c/two.txt"), "2");
  EXPECT_TRUE(Settled());
}

TEST_F(ChangeWatchTest, AChangeMadeDuringARunGivesExactlyOneMoreRun) {
  test::WriteFile(left_ + "/first.txt", "1");
  ASSERT_TRUE(Serve([&] { return Said("watching"); })) << said_;
  test::WriteFile(left_ + "/second.txt", "2");
  bool written = false;
  after_sync_ = [&] {
    if (!std::exchange(written, true)) test::WriteFile(left_ + "/during.txt", "user");
  };
  ASSERT_TRUE(ServeRuns(2)) << said_;
  ASSERT_TRUE(Serve([&] { return Settled(); }));
  EXPECT_EQ(started_, 2);
  EXPECT_EQ(test::ReadFile(right_ + "/during.txt"), "user");
}

TEST_F(ChangeWatchTest, VersionsTheRunKeepsInsideASideStartNoRun) {
  job().Data.bKeepVersions = true;
  job().Data.VersionsFolder = right_ + "/keep";
  test::WriteFile(right_ + "/f.txt", "old");
  ASSERT_TRUE(Serve([&] { return Said("watching 2 folders"); })) << said_;
  test::WriteFile(left_ + "/f.txt", "newer");  // another size: times may fall in one second
  ASSERT_TRUE(ServeRuns(1)) << said_;
  EXPECT_TRUE(Settled());
  EXPECT_EQ(started_, 1);
  EXPECT_EQ(test::ReadFile(right_ + "/f.txt"), "newer");
  EXPECT_TRUE(std::filesystem::exists(right_ + "/keep")) << "the old file was kept";
}

TEST_F(ChangeWatchTest, TheWatchLimitFallsBackToTheSchedule) {
  test::MakeDirs(left_ + "/a"), test::MakeDirs(left_ + "/b");
  scheduler_.Watches.Times.watch_limit = 3;
  ASSERT_TRUE(Serve([&] { return Said("runs on its schedule only"); })) << said_;
  EXPECT_TRUE(watch().FellBack());
  EXPECT_TRUE(scheduler_.Watches.Fds().empty());
  EXPECT_FALSE(Said("watching"));
}

TEST_F(ChangeWatchTest, ASideThatGoesIsWaitedForAndRunsOnceItIsBack) {
  ASSERT_TRUE(Serve([&] { return Said("watching 2 folders"); })) << said_;
  std::filesystem::remove(right_);
  ASSERT_TRUE(Serve([&] { return Said(right_ + " is gone: no run until it is back"); })) << said_;
  test::WriteFile(left_ + "/new.txt", "n");
  std::set<TWatchTime> looks;  // each look for the side sets the next one
  ASSERT_TRUE(Serve([&] {
    if (const auto next = watch().NextDeadline()) looks.insert(*next);
    return looks.size() >= 4;
  }));
  EXPECT_EQ(started_, 0) << "no run while a side is gone";
  test::MakeDirs(right_);
  ASSERT_TRUE(ServeRuns(1)) << said_;
  EXPECT_TRUE(Said("every side is back: watching 2 folders"));
  EXPECT_EQ(test::ReadFile(right_ + "/new.txt"), "n");
  test::WriteFile(left_ + "/later.txt", "l");
  ASSERT_TRUE(ServeRuns(2)) << said_;
}

}  // namespace
}  // namespace twn
