#include "app/command_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace twn {
namespace {

const std::vector<std::string> kJobs = {"Backup", "Photos", "backup", "\xc3\xa4rger"};

TEST(CommandLineTest, SwitchesAndJobLookup) {
  struct Case {
    std::vector<std::string> args;
    int job;
    bool active, sm, la, le, fc, fm;
  };
  const Case cases[] = {
      {{}, -1, false, false, false, false, false, false},
      {{"photos"}, 1, true, false, false, false, false, false},
      // Two jobs of the same name folded: the first in list order wins.
      {{"BACKUP", "-fc"}, 0, true, false, false, false, true, false},
      // Only switches: the first one is taken as a job name, yet it still counts as a switch.
      {{"-sm", "-le"}, -1, false, true, false, true, false, false},
      // -la beats -le, -fc beats -fm, slash and capitals accepted.
      {{"Backup", "/LA", "-le", "/Fm", "-FC"}, 0, true, false, true, false, true, false},
      {{"Backup", "-fm"}, 0, true, false, false, false, false, true},
      // Non-ASCII letters are not folded.
      {{"\xc3\x84rger"}, -1, false, false, false, false, false, false},
      // A switch must be the whole argument.
      {{"Backup", "-smx", "--sm", "sm"}, 0, true, false, false, false, false, false},
  };
  for (const Case& c : cases) {
    const TCommandLine cl = ReadCommandLine(c.args, kJobs);
    const std::string what = c.args.empty() ? "(none)" : c.args[0];
    EXPECT_EQ(c.job, cl.CommandLineJob) << what;
    EXPECT_EQ(c.active, cl.bCommandLineActive) << what;
    EXPECT_EQ(c.sm, cl.bStartMinimized) << what;
    EXPECT_EQ(c.la, cl.bAlwaysShowLog) << what;
    EXPECT_EQ(c.le, cl.bShowLogOnErrors) << what;
    EXPECT_EQ(c.fc, cl.bCloseAfterRun) << what;
    EXPECT_EQ(c.fm, cl.bMinimizeAfterRun) << what;
    EXPECT_EQ(c.args.empty() ? "" : c.args[0], cl.CommandLineJobName);
  }
}

TEST(CommandLineTest, HoldsScheduler) {
  TCommandLine cl;
  EXPECT_FALSE(CommandLineHoldsScheduler(cl, true));  // not active
  cl.bCommandLineActive = true;
  EXPECT_TRUE(CommandLineHoldsScheduler(cl, true));
  EXPECT_FALSE(CommandLineHoldsScheduler(cl, false));  // run over, no after-run switch
  cl.bMinimizeAfterRun = true;
  EXPECT_TRUE(CommandLineHoldsScheduler(cl, false));
  cl.bMinimizeAfterRun = false;
  cl.bCloseAfterRun = true;
  EXPECT_TRUE(CommandLineHoldsScheduler(cl, false));
}

TEST(CommandLineTest, NotFoundText) {
  EXPECT_EQ("Job named as 'x y' is not found", JobNotFoundText("x y"));
}

}  // namespace
}  // namespace twn
