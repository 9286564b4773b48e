// twn-cli list, show, add and remove run as a user runs them, on a settings folder of their own.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "app/settings.h"
#include "platform/instance_lock.h"
#include "support/fault_support.h"
#include "support/run_program.h"
#include "support/test_support.h"

namespace twn {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

class JobCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    test::MakeDirs(dir_ / "left");
    test::MakeDirs(dir_ / "right");
  }

  test::TProgramResult Cli(std::vector<std::string> args) {
    return test::RunProgram(TWN_CLI_PATH, test::OnSettings(Settings(), std::move(args)),
                            dir_.path());
  }
  std::string Settings() const { return dir_ / "settings"; }
  std::string Ini() const { return dir_ / "settings/TWN.ini"; }

  test::TempDir dir_;
};

size_t Lines(const std::string& text) {
  return size_t(std::count(text.begin(), text.end(), '\n'));
}

TEST_F(JobCommands, AddStoresEveryOptionInTheJob) {
  std::vector<std::string> args = {"add",     "Photos \xc3\xa9t\xc3\xa9",
                                   "--left",  "left",
                                   "--right", "right",
                                   "--left",  "/srv/a b",
                                   "--right", "/mnt/c"};
  args.insert(args.end(),
              {"--method", "mirror-lr", "--no-subfolders", "--include", "*.jpg; *.png", "--exclude",
               "~*", "--exclude-folder", "cache", "--exclude-folder", ".git"});
  args.insert(args.end(),
              {"--every-days", "3", "--at", "6:30", "--skip-days", "sat,Sun", "--not-before",
               "2031-04-05", "--max-delete-percent", "20", "--versions-folder", "kept",
               "--keep-versions", "3", "--keep-days", "0"});
  const auto added = Cli(args);
  ASSERT_EQ(added.status, 0) << added.err;
  EXPECT_THAT(added.err, HasSubstr("'/srv/a b' does not exist"));
  TSettings settings(Settings());
  ASSERT_EQ(settings.LoadSettings(), 0);
  ASSERT_EQ(settings.Jobs.size(), 1u);
  const TJobData& d = settings.Jobs[0]->Data;
  // Relative folders are made absolute; the method's preset is applied.
  EXPECT_EQ(std::tuple(d.Pairs.at(0).L_Path, d.Pairs.at(1).R_Path, d.Pairs[1].bSubFLD, d.idxMethod,
                       d.idxSingleR, d.Empty_CopyL),
            std::tuple(dir_ / "left", std::string("/mnt/c"), false, kMethodMirrorL, 2, true));
  EXPECT_EQ(
      std::tuple(d.FileFilter.FLT_Include, d.FileFilter.FLT_bUseExclude, d.FolderFilter.Patterns()),
      std::tuple(std::string("*.jpg; *.png"), true, std::vector<std::string>{".git", "cache"}));
  EXPECT_EQ(
      std::tuple(d.Frequency, d.freDays, d.ExcludeDays, d.bRunBefore, d.RunBefore),
      std::tuple(kFreqDays, 3, kSaturday | kSunday, true, platform::EncodeDateTime(2031, 4, 5)));
  EXPECT_NEAR(platform::TimePart(d.StartTime), 6.5 / 24, 1e-9);
  EXPECT_EQ(d.MaxDeletePercent, 20);
  EXPECT_EQ(std::tuple(d.bKeepVersions, d.VersionsFolder, d.KeepVersions, d.KeepDays),
            std::tuple(true, dir_ / "kept", 3, 0));
  EXPECT_TRUE(d.LogFull_bUse) << "everything else keeps a new job's defaults";
}

TEST_F(JobCommands, AddWarnsAboutAPairThatWouldBeSynchronizedIntoItself) {
  const auto inside = Cli({"add", "Nested", "--left", "left", "--right", "left/backup"});
  ASSERT_EQ(inside.status, 0) << inside.err;
  EXPECT_THAT(inside.err, HasSubstr("warning: Folder '" + dir_ / "left/backup" +
                                    "' lies inside folder '" + dir_ / "left" + "'"));
  // Left out by a folder pattern, the inner folder is never reached: no warning.
  const auto excluded = Cli({"add", "Excluded", "--left", "left", "--right", "left/backup",
                             "--exclude-folder", "backup"});
  ASSERT_EQ(excluded.status, 0) << excluded.err;
  EXPECT_THAT(excluded.err, Not(HasSubstr("lies inside")));
}

TEST_F(JobCommands, ListShowAndRemove) {
  ASSERT_EQ(Cli({"add", "Music", "--left", "left", "--right", "right"}).status, 0);
  ASSERT_EQ(Cli({"add", "Mail", "--left", "left", "--right", "right", "--method", "copy-rl",
                 "--every-minutes", "30"})
                .status,
            0);
  const auto list = Cli({"list"});
  ASSERT_EQ(list.status, 0) << list.err;
  ASSERT_EQ(Lines(list.out), 3u) << list.out;
  const size_t music = list.out.find("\nMusic ");
  const size_t mail = list.out.find("\nMail ");
  ASSERT_NE(music, std::string::npos);
  EXPECT_LT(music, mail) << "list order";
  const std::string music_line = list.out.substr(music + 1, mail - music - 1);
  EXPECT_THAT(music_line, HasSubstr("Update Left and Right (Make Equal)  1  "));
  EXPECT_THAT(music_line, HasSubstr("Manual"));
  EXPECT_THAT(music_line, HasSubstr("nothing"));
  EXPECT_THAT(list.out, HasSubstr("Copy files from Right to Left"));
  EXPECT_THAT(list.out.substr(mail), HasSubstr("waiting"));

  const auto show = Cli({"show", "MAIL"});
  ASSERT_EQ(show.status, 0) << show.err;
  EXPECT_EQ(show.out.substr(0, show.out.find("Job name\n")),
            "Job contains 1 folder pairs\n  " + (dir_ / "left") + "  [+subfolders]  " +
                (dir_ / "right") + "\n");
  EXPECT_THAT(show.out, HasSubstr("\nScheduling\n  Job runs every 30 minutes\n"));

  const auto removed = Cli({"remove", "music"});
  ASSERT_EQ(removed.status, 0) << removed.err;
  TSettings settings(Settings());
  settings.LoadSettings();
  ASSERT_EQ(settings.Jobs.size(), 1u);
  EXPECT_EQ(settings.Jobs[0]->Data.JobName, "Mail");
}

TEST_F(JobCommands, BadInputIsOneLineAndChangesNothing) {
  ASSERT_EQ(Cli({"add", "Photos", "--left", "left", "--right", "right"}).status, 0);
  const std::string before = test::ReadFile(Ini());
  const std::vector<std::string> pair = {"--left", "left", "--right", "right"};
  const auto with_pair = [&](std::vector<std::string> args) {
    args.insert(args.begin() + 2, pair.begin(), pair.end());
    return args;
  };
  const struct {
    std::vector<std::string> args;
    const char* says;
  } cases[] = {
      {{"show", "Nobody"}, "no job named 'Nobody'"},
      {{"remove", "Nobody"}, "no job named 'Nobody'"},
      {with_pair({"add", "PHOTOS"}), "unique name"},
      {with_pair({"add", " Music "}), "begin or end with a blank"},
      {with_pair({"add", "   "}), "cannot be empty"},
      {{"add", "x", "--left", "left", "--right", "right "}, "--right: A folder path cannot"},
      {with_pair({"add", "two\nlines"}), "line break"},
      {{"add", "x", "--left", "left"}, "missing --right"},
      {{"add", "x", "--right", "right"}, "missing --left"},
      {{"add", "x", "--left", "left", "--right", "right", "--left", "a"}, "each --left"},
      {with_pair({"add", "x", "--method", "sideways"}), "unknown method 'sideways'"},
      {with_pair({"add", "x", "--every-minutes", "901"}), "from 1 to 900"},
      {with_pair({"add", "x", "--every-hours", "0"}), "from 1 to 240"},
      {with_pair({"add", "x", "--every-days", "366", "--at", "10:00"}), "from 1 to 365"},
      {with_pair({"add", "x", "--daily", "8:00", "--skip-days", "Mon,Tue,Wed,Thu,Fri,Sat,Sun"}),
       "You can't exclude all days of week"},
      {with_pair({"add", "x", "--daily", "24:00"}), "--daily needs a time"},
      {with_pair({"add", "x", "--every-days", "2"}), "needs --at"},
      {with_pair({"add", "x", "--daily", "8:00", "--every-hours", "2"}), "only one of"},
      {with_pair({"add", "x", "--skip-days", "Funday"}), "unknown day 'Funday'"},
      {with_pair({"add", "x", "--not-before", "2031-02-29"}), "--not-before needs a date"},
      {with_pair({"add", "x", "--exclude-folder", "a/b"}), "cannot hold"},
      {with_pair({"add", "x", "--max-delete-percent", "101"}), "from 0 to 100"},
      {with_pair({"add", "x", "--max-delete-percent", "-1"}), "from 0 to 100"},
      {with_pair({"add", "x", "--colour", "red"}), "unknown option '--colour'"},
      {with_pair({"add", "x", "y"}), "unexpected argument 'y'"},
  };
  for (const auto& c : cases) {
    const auto r = Cli(c.args);
    EXPECT_EQ(r.status, 2) << c.says;
    EXPECT_EQ(Lines(r.err), 1u) << r.err;
    EXPECT_THAT(r.err, HasSubstr(c.says));
    EXPECT_EQ(test::ReadFile(Ini()), before) << c.says;
  }
  // A manual job may skip every day: it is never scheduled anyway.
  EXPECT_EQ(Cli(with_pair({"add", "x", "--skip-days", "Mon,Tue,Wed,Thu,Fri,Sat,Sun"})).status, 0);
}

TEST_F(JobCommands, SettingsFolderInUse) {
  ASSERT_EQ(Cli({"add", "Photos", "--left", "left", "--right", "right"}).status, 0);
  const std::string before = test::ReadFile(Ini());
  platform::TInstanceLock other_instance;
  ASSERT_EQ(other_instance.Acquire(Settings()), 0);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"add", "Music", "--left", "left", "--right", "right"},
        std::vector<std::string>{"remove", "Photos"}}) {
    const auto r = Cli(args);
    EXPECT_EQ(r.status, 4) << args[0];
    EXPECT_THAT(r.err, HasSubstr("in use"));
    EXPECT_EQ(test::ReadFile(Ini()), before);
  }
  EXPECT_EQ(Cli({"list"}).status, 0) << "reading needs no lock";

  other_instance.Release();
  EXPECT_EQ(Cli({"remove", "Photos"}).status, 0);
}

TEST_F(JobCommands, NeverWritesOverAFileItCannotReadOrWrite) {
  ASSERT_EQ(Cli({"add", "Photos", "--left", "left", "--right", "right"}).status, 0);
  const std::string before = test::ReadFile(Ini());

  // A save that fails half-way (the file-size limit, set in a child, stands in for a full disk).
  const std::string answer = test::RunInChild([&]() -> std::string {
    if (!test::CapFileSize(1000)) return "setrlimit failed";
    const auto r = Cli({"add", "Music", "--left", "left", "--right", "right"});
    if (r.status == 1 && r.err.find("cannot save") != std::string::npos) return "";
    return "status " + std::to_string(r.status) + ": " + r.err;
  });
  EXPECT_EQ(answer, "");
  EXPECT_EQ(test::ReadFile(Ini()), before);

  // A settings file that cannot be read is not replaced by one holding only the new job.
  test::TempDir other;
  test::MakeDirs(other / "TWN.ini");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"add", "x", "--left", "/a", "--right", "/b"},
        std::vector<std::string>{"list"}}) {
    const auto r = test::RunProgram(TWN_CLI_PATH, test::OnSettings(other.path(), args));
    EXPECT_EQ(r.status, 1) << args[0];
    EXPECT_THAT(r.err, HasSubstr("cannot read"));
  }
  EXPECT_TRUE(std::filesystem::is_directory(other / "TWN.ini"));
}

}  // namespace
}  // namespace twn
