// twn-cli compare and run, as a user runs them, on a settings folder and trees of their own.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "platform/instance_lock.h"
#include "support/background_program.h"
#include "support/fault_support.h"
#include "support/test_support.h"

namespace twn {
namespace {

using Names = std::vector<std::string>;

class CliRun : public ::testing::Test {
 protected:
  void SetUp() override {
    test::WriteFile(L() + "/a.txt", "aaa");
    test::WriteFile(L() + "/sub/b.txt", "bb");
    test::WriteFile(R() + "/old.txt", "old");
    const auto added =
        Cli({"add", "Backup", "--left", L(), "--right", R(), "--method", "mirror-lr"});
    ASSERT_EQ(added.status, 0) << added.err;
  }
  std::vector<std::string> WithSettings(std::vector<std::string> args) const {
    return test::OnSettings(dir_ / "settings", std::move(args));
  }
  test::TProgramResult Cli(std::vector<std::string> args) const {
    return test::RunProgram(TWN_CLI_PATH, WithSettings(std::move(args)));
  }
  std::string L() const { return dir_ / "L"; }
  std::string R() const { return dir_ / "R"; }
  std::string Logs() const { return dir_ / "settings/Logs"; }
  std::string Ini() const { return test::ReadFile(dir_ / "settings/TWN.ini"); }

  test::TempDir dir_;
};

TEST_F(CliRun, CompareShowsTheReportAndThePlanAndChangesNothing) {
  const std::string ini_before = Ini();
  const auto r = Cli({"compare", "backup"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("*** Comparison results ***"), std::string::npos);
  const std::string preview = r.out.substr(r.out.find("*** Plan preview ***\n"));
  const std::string l = L(), rr = R();
  EXPECT_NE(preview.find("copy to right\t" + l + "/a.txt\t" + rr + "/a.txt\t3\n"),
            std::string::npos);
  EXPECT_NE(preview.find("delete right\t-\t" + rr + "/old.txt\t3\n"), std::string::npos);
  EXPECT_NE(preview.find("create right folder\t" + l + "/sub/\t" + rr + "/sub/\t\n"),
            std::string::npos);
  EXPECT_EQ(test::ListNames(R()), Names{"old.txt"});
  EXPECT_FALSE(std::filesystem::exists(Logs()));
  EXPECT_EQ(Ini(), ini_before);
}

TEST_F(CliRun, RunSynchronizesWritesLogsAndSavesTheLastRun) {
  const auto r = Cli({"run", "Backup"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(test::ListNames(R()), (Names{"a.txt", "sub"}));
  EXPECT_EQ(test::ReadFile(R() + "/sub/b.txt"), "bb");
  EXPECT_NE(r.out.find("*** Synchronization results ***"), std::string::npos);
  EXPECT_EQ(r.out.find("*** Scanning folders ***"), std::string::npos);  // summary only
  EXPECT_EQ(r.err, "");  // no progress bar without a terminal
  EXPECT_EQ(test::ListNames(Logs()),
            (Names{"Backup_error.log", "Backup_full.log", "Backup_summary.log"}));
  const std::string ini = Ini();
  EXPECT_NE(ini.find("bHasLastRun=1"), std::string::npos);
  EXPECT_NE(ini.find("Logfile1=" + Logs() + "/Backup_error.log"), std::string::npos);
  EXPECT_NE(ini.find("Logfile3=" + Logs() + "/Backup_full.log"), std::string::npos);

  // The next run adds itself on top of the same files.
  ASSERT_EQ(Cli({"run", "Backup"}).status, 0);
  const std::string full = test::ReadFile(Logs() + "/Backup_full.log");
  const size_t first = full.find("TWN job 'Backup' started at");
  EXPECT_EQ(first, 64u);  // after the separator and its line end
  EXPECT_NE(full.find("TWN job 'Backup' started at", first + 1), std::string::npos);
}

TEST_F(CliRun, ExitStatusTellsWhatHappened) {
  EXPECT_EQ(Cli({"run", "Nobody"}).status, 2);
  EXPECT_EQ(Cli({"compare"}).status, 2);
  EXPECT_EQ(Cli({"run", "Backup", "extra"}).status, 2);
  {
    platform::TInstanceLock lock;  // a running program holds the folder
    ASSERT_EQ(lock.Acquire(dir_ / "settings"), 0);
    const auto busy = Cli({"run", "Backup"});
    EXPECT_EQ(busy.status, 4);
    EXPECT_NE(busy.err.find("in use"), std::string::npos);
    EXPECT_EQ(test::ListNames(R()), Names{"old.txt"});
  }
  struct TGuard {
    std::string path;
    ~TGuard() { test::SetImmutable(path, false); }
  } guard{R()};
  if (!test::SetImmutable(R(), true)) GTEST_SKIP() << "no immutable attribute here";
  const auto failed = Cli({"run", "Backup"});
  EXPECT_EQ(failed.status, 1);
  EXPECT_NE(test::ReadFile(Logs() + "/Backup_error.log").find("Operation not permitted"),
            std::string::npos);
}

TEST_F(CliRun, TerminateSignalStopsTheRunWithTheTerminationBlock) {
  // A large sparse source keeps the copy busy long enough to be interrupted.
  {
    const int fd = ::open((L() + "/big.bin").c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, off_t{512} << 20), 0);
    ::close(fd);
  }
  test::WriteFile(R() + "/big.bin", "old target");
  test::SetMTime(R() + "/big.bin", 1'000'000'000);
  test::TBackgroundProgram run(TWN_CLI_PATH, WithSettings({"run", "Backup"}));
  ASSERT_TRUE(run.Started());
  // Wait until the copy of the big file is under way: its temporary file appears.
  const auto has_temporary = [&] {
    const Names names = test::ListNames(R());
    return std::any_of(names.begin(), names.end(), [](auto& n) { return n.starts_with(".twn~"); });
  };
  ASSERT_TRUE(test::WaitUntil(has_temporary));
  run.Signal(SIGTERM);
  const auto r = run.Wait();
  EXPECT_EQ(r.status, 3) << r.err;
  EXPECT_NE(r.out.find("   *** The job 'Backup' was terminated ***"), std::string::npos);
  EXPECT_EQ(test::ReadFile(R() + "/big.bin"), "old target");
  EXPECT_FALSE(has_temporary());
  for (const char* log : {"/Backup_full.log", "/Backup_summary.log", "/Backup_error.log"})
    EXPECT_NE(test::ReadFile(Logs() + log).find("was terminated"), std::string::npos) << log;
  EXPECT_NE(Ini().find("bHasLastRun=1"), std::string::npos);
}

// A run killed outright in the middle of a copy leaves the copy's temporary file; the next run
// that copies into that folder clears it away.
TEST_F(CliRun, TheNextRunRemovesTheTemporaryFileOfAKilledCopy) {
  {
    const int fd = ::open((L() + "/big.bin").c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, off_t{512} << 20), 0);
    ::close(fd);
  }
  test::WriteFile(R() + "/big.bin", "old target");
  test::SetMTime(R() + "/big.bin", 1'000'000'000);
  ASSERT_EQ(Cli({"add", "Copy", "--left", L(), "--right", R(), "--method", "copy-lr"}).status, 0);
  const auto temporaries = [&] {
    Names names = test::ListNames(R());
    std::erase_if(names, [](const std::string& n) { return !n.starts_with(".twn~"); });
    return names;
  };
  {
    test::TBackgroundProgram run(TWN_CLI_PATH, WithSettings({"run", "Copy"}));
    ASSERT_TRUE(run.Started());
    ASSERT_TRUE(test::WaitUntil([&] { return !temporaries().empty(); }));
    run.Signal(SIGKILL);
    run.Wait();
  }
  ASSERT_EQ(temporaries().size(), 1u);  // what the killed copy left
  EXPECT_EQ(test::ReadFile(R() + "/big.bin"), "old target");

  const auto r = Cli({"run", "Copy"});
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(temporaries(), Names{});
  EXPECT_EQ(std::filesystem::file_size(R() + "/big.bin"), uintmax_t{512} << 20);
}

}  // namespace
}  // namespace twn
