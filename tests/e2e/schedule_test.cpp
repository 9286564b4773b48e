// twn-cli schedule as a user runs it: in the background, until it is interrupted.
#include <gtest/gtest.h>
#include <signal.h>

#include "support/background_program.h"
#include "support/test_support.h"

namespace twn {
namespace {

using test::ReadFile;
using test::RunProgram;

/// twn-cli on the settings folder `cfg`.
test::TProgramResult Cli(const std::string& cfg, std::vector<std::string> args) {
  return RunProgram(TWN_CLI_PATH, test::OnSettings(cfg, std::move(args)));
}

TEST(ScheduleTest, RunsDueJobsUntilInterruptedAndKeepsTheirResults) {
  test::TempDir dir;
  const std::string cfg = dir / "cfg", left = dir / "L", right = dir / "R";
  test::WriteFile(left + "/sub/a.txt", "alpha");
  test::MakeDirs(right);
  ASSERT_EQ(0, Cli(cfg, {"add", "Every", "--left", left, "--right", right, "--method", "mirror-lr",
                         "--every-minutes", "1"})
                   .status);
  ASSERT_EQ(0, Cli(cfg, {"add", "Manual", "--left", left, "--right", dir / "R2"}).status);
  const std::string ini_before = ReadFile(cfg + "/TWN.ini");

  test::TBackgroundProgram scheduler(TWN_CLI_PATH, test::OnSettings(cfg, {"schedule"}));
  ASSERT_TRUE(scheduler.Started());
  // The interval job has never run, so it is due at once.
  const bool ran = test::WaitUntil(
      [&] { return scheduler.OutputSoFar().find("finished 'Every'") != std::string::npos; });

  // While the scheduler holds the folder, nobody else may write its settings.
  const auto busy = Cli(cfg, {"remove", "Manual"});
  scheduler.Signal(SIGINT);
  const auto result = scheduler.Wait();
  ASSERT_TRUE(ran) << result.out << result.err;

  EXPECT_EQ(4, busy.status) << busy.err;
  EXPECT_EQ(0, result.status) << result.err;
  const std::string& said = result.out;
  EXPECT_NE(std::string::npos, said.find("started 'Every'")) << said;
  EXPECT_NE(std::string::npos, said.find("stopping")) << said;
  EXPECT_EQ(std::string::npos, said.find("'Manual'")) << said;  // a manual job never starts
  EXPECT_EQ("alpha", ReadFile(right + "/sub/a.txt"));
  EXPECT_NE(std::string::npos, ReadFile(cfg + "/Logs/Every_full.log").find("TWN job 'Every'"));
  const std::string ini = ReadFile(cfg + "/TWN.ini");
  EXPECT_NE(ini_before, ini);
  EXPECT_NE(std::string::npos, ini.find("bHasLastRun=1"));
  EXPECT_NE(std::string::npos, ini.find("Every_full.log"));  // the log history
}

TEST(ScheduleTest, RefusesArgumentsAndABusyFolder) {
  test::TempDir dir;
  const auto extra = Cli(dir.path(), {"schedule", "now"});
  EXPECT_EQ(2, extra.status);
  EXPECT_NE(std::string::npos, extra.err.find("schedule takes no arguments"));

  test::TBackgroundProgram first(TWN_CLI_PATH, test::OnSettings(dir.path(), {"schedule"}));
  ASSERT_TRUE(
      test::WaitUntil([&] { return first.OutputSoFar().find("scheduling") != std::string::npos; }));
  const auto second = Cli(dir.path(), {"schedule"});
  first.Signal(SIGTERM);
  EXPECT_EQ(4, second.status) << second.err;
  EXPECT_EQ(0, first.Wait().status);
}

}  // namespace
}  // namespace twn
