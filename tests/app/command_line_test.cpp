#include "app/command_line.h"

#include <gtest/gtest.h>

#include <array>
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
    SCOPED_TRACE(c.args.empty() ? "(none)" : c.args[0]);
    const TCommandLine cl = ReadCommandLine(c.args, kJobs);
    EXPECT_EQ(c.job, cl.CommandLineJob);
    EXPECT_EQ(c.args.empty() ? "" : c.args[0], cl.CommandLineJobName);
    EXPECT_EQ((std::array{c.active, c.sm, c.la, c.le, c.fc, c.fm}),
              (std::array{cl.bCommandLineActive, cl.bStartMinimized, cl.bAlwaysShowLog,
                          cl.bShowLogOnErrors, cl.bCloseAfterRun, cl.bMinimizeAfterRun}));
  }
}

// --settings is the program's own and never reaches the job-name rules.
TEST(CommandLineTest, SettingsOptionIsTakenOffFirst) {
  struct Case {
    std::vector<std::string> args;
    std::string folder, error;
    std::vector<std::string> rest;
  };
  const Case cases[] = {
      {{"--settings", "/d", "Job", "-fc"}, "/d", "", {"Job", "-fc"}},
      {{"Job", "--settings=/d e", "-sm"}, "/d e", "", {"Job", "-sm"}},
      {{"Job", "--settings"}, "", "--settings needs a folder", {"Job"}},
      {{"--settings="}, "", "--settings needs a folder", {}},
      {{"--settingsX", "Job"}, "", "", {"--settingsX", "Job"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0]);
    const TProgramOptions options = TakeProgramOptions(c.args);
    EXPECT_EQ(c.folder, options.SettingsFolder);
    EXPECT_EQ(c.error, options.Error);
    EXPECT_EQ(c.rest, options.Rest);
  }
}

}  // namespace
}  // namespace twn
