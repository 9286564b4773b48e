// twn-cli compare and run, as a user runs them, on a settings folder and trees of their own.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "platform/instance_lock.h"
#include "platform/unique_fd.h"
#include "support/background_program.h"
#include "support/fault_support.h"
#include "support/test_support.h"

namespace twn {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

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

// Names holding tabs or line breaks still make one line of four columns in the preview.
TEST_F(CliRun, CompareShowsTheReportAndThePlanAndChangesNothing) {
  const struct {
    const char* name;
    const char* shown;
  } names[] = {{"tab\tname", "tab\\tname"},
               {"line\nbreak", "line\\nbreak"},
               {"car\rriage", "car\\rriage"},
               {"back\\slash\\n", "back\\\\slash\\\\n"}};
  for (const auto& n : names) test::WriteFile(L() + "/" + n.name, "x");
  const std::string ini_before = Ini();
  const auto r = Cli({"compare", "backup"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_THAT(r.out, HasSubstr("*** Comparison results ***"));
  const std::string preview = r.out.substr(r.out.find("*** Plan preview ***\n") + 21);
  const std::string l = L(), rr = R();
  EXPECT_THAT(preview, HasSubstr("copy to right\t" + l + "/a.txt\t" + rr + "/a.txt\t3\n"));
  EXPECT_THAT(preview, HasSubstr("delete right\t-\t" + rr + "/old.txt\t3\n"));
  EXPECT_THAT(preview, HasSubstr("create right folder\t" + l + "/sub/\t" + rr + "/sub/\t\n"));
  for (const auto& n : names) {
    const std::string entry =
        std::string("copy to right\t") + l + "/" + n.shown + "\t" + rr + "/" + n.shown + "\t1\n";
    EXPECT_THAT(preview, HasSubstr(entry)) << entry << preview;
  }
  size_t lines = 0;
  for (size_t at = 0, end; (end = preview.find('\n', at)) != std::string::npos; at = end + 1) {
    const std::string line = preview.substr(at, end - at);
    EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 3) << line;
    EXPECT_THAT(line, Not(HasSubstr("\r")));
    ++lines;
  }
  EXPECT_EQ(lines, 5u + 4u) << preview;  // the root, a.txt, sub/, sub/b.txt, old.txt and the four
  EXPECT_EQ(test::ListNames(R()), Names{"old.txt"});
  EXPECT_FALSE(std::filesystem::exists(Logs()));
  EXPECT_EQ(Ini(), ini_before);
}

TEST_F(CliRun, RunSynchronizesWritesLogsAndSavesTheLastRun) {
  const auto r = Cli({"run", "Backup"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(test::ListNames(R()), (Names{"a.txt", "sub"}));
  EXPECT_EQ(test::ReadFile(R() + "/sub/b.txt"), "bb");
  EXPECT_THAT(r.out, HasSubstr("*** Synchronization results ***"));
  EXPECT_THAT(r.out, Not(HasSubstr("*** Scanning folders ***")));  // summary only
  EXPECT_EQ(r.err, "");  // no progress bar without a terminal
  EXPECT_EQ(test::ListNames(Logs()),
            (Names{"Backup_error.log", "Backup_full.log", "Backup_summary.log"}));
  const std::string ini = Ini();
  EXPECT_THAT(ini, HasSubstr("bHasLastRun=1"));
  EXPECT_THAT(ini, HasSubstr("Logfile1=" + Logs() + "/Backup_error.log"));
  EXPECT_THAT(ini, HasSubstr("Logfile3=" + Logs() + "/Backup_full.log"));
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
    EXPECT_THAT(busy.err, HasSubstr("in use"));
    EXPECT_EQ(test::ListNames(R()), Names{"old.txt"});
  }
  const test::ScopedImmutable locked({R()});
  if (!locked.ok()) GTEST_SKIP() << "no immutable attribute here";
  const auto failed = Cli({"run", "Backup"});
  EXPECT_EQ(failed.status, 1);
  EXPECT_THAT(test::ReadFile(Logs() + "/Backup_error.log"), HasSubstr("Operation not permitted"));
}

// A run stopped by SIGTERM removes its own temporary file and, copying into that folder, the
// leftover of a copy killed outright before (a file of that name that no process holds locked).
TEST_F(CliRun, TerminateSignalStopsTheRunWithTheTerminationBlock) {
  {  // a large sparse source keeps the copy busy long enough to be interrupted
    const int fd = ::open((L() + "/big.bin").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, off_t{512} << 20), 0);
    ::close(fd);
  }
  test::WriteFile(R() + "/big.bin", "old target");
  test::SetMTime(R() + "/big.bin", 1'000'000'000);
  const auto temporaries = [&] {
    Names names = test::ListNames(R());
    std::erase_if(names, [](const std::string& n) { return !n.starts_with(".twn~"); });
    return names;
  };
  test::WriteFile(R() + "/.twn~Kil1ed", "half a copy");
  const Names leftover = temporaries();

  test::TBackgroundProgram run(TWN_CLI_PATH, WithSettings({"run", "Backup"}));
  ASSERT_TRUE(run.Started());
  // The copy is under way once a temporary file of its own appears.
  ASSERT_TRUE(test::WaitUntil([&] {
    const Names now = temporaries();
    return !now.empty() && now != leftover;
  }));
  run.Signal(SIGTERM);
  const auto r = run.Wait();
  EXPECT_EQ(r.status, 3) << r.err;
  EXPECT_THAT(r.out, HasSubstr("   *** The job 'Backup' was terminated ***"));
  EXPECT_EQ(test::ReadFile(R() + "/big.bin"), "old target");
  EXPECT_EQ(temporaries(), Names{});
  for (const char* log : {"/Backup_full.log", "/Backup_summary.log", "/Backup_error.log"})
    EXPECT_THAT(test::ReadFile(Logs() + log), HasSubstr("was terminated")) << log;
  EXPECT_THAT(Ini(), HasSubstr("bHasLastRun=1"));
}

TEST_F(CliRun, ALogThatCannotBeWrittenIsReportedAndNotRecorded) {
  test::WriteFile(Logs(), "a file where the log folder belongs");
  const auto r = Cli({"run", "Backup"});
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.err, HasSubstr("twn-cli: cannot write the log file '" + Logs() +
                               "/Backup_full.log': Not a directory\n"));
  EXPECT_EQ(test::ListNames(R()), (Names{"a.txt", "sub"})) << "the run itself went through";
  EXPECT_THAT(Ini(), HasSubstr("bHasLastRun=1"));
  EXPECT_THAT(Ini(), Not(HasSubstr("Backup_full.log")));
}

// A child twn-cli run whose stdout is a pipe the test has filled: the program blocks at its
// first output, the summary it prints when the run is over, before the logs and the settings
// are written. A signal sent then arrives in the window where ending at once would lose them.
class TBlockedOutput {
 public:
  explicit TBlockedOutput(const std::vector<std::string>& args) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return;
    read_ = platform::TUniqueFd(fds[0]);
    const platform::TUniqueFd write_end(fds[1]);
    ::fcntl(fds[1], F_SETPIPE_SZ, 4096);
    ::fcntl(fds[1], F_SETFL, O_NONBLOCK);
    const std::string filler(4096, 'f');
    while (::write(fds[1], filler.data(), filler.size()) > 0) {
    }
    ::fcntl(fds[1], F_SETFL, 0);  // the child's stdout blocks as a full pipe makes it
    run_.emplace(TWN_CLI_PATH, args, "", fds[1]);
  }
  pid_t Pid() const { return run_ ? run_->Pid() : -1; }
  /// The main thread waits in a write to its stdout.
  bool BlockedInOutput() const {
    const std::string call = test::ReadFile("/proc/" + std::to_string(Pid()) + "/syscall");
    return call.starts_with(std::to_string(SYS_write) + " 0x1 ");
  }
  /// The reader goes away, as `| head` does.
  void CloseReader() { read_.Reset(); }
  /// Reads all the program writes to the pipe, then waits for its end.
  test::TProgramResult Finish() {
    std::string out;
    char block[4096];
    for (ssize_t n; read_.Valid() && (n = ::read(read_.Get(), block, sizeof block)) != 0;)
      if (n > 0) out.append(block, size_t(n));
    test::TProgramResult result = run_->Wait();
    result.out = out;
    return result;
  }

 private:
  platform::TUniqueFd read_;
  std::optional<test::TBackgroundProgram> run_;
};

// A stop signal, or a reader that goes away, when the run is over: the logs and the settings
// are still written.
TEST_F(CliRun, StopSignalAtTheEndOfARunStillWritesLogsAndSettings) {
  const std::string ini_before = Ini();
  constexpr int kCloseReader = 0;
  for (const int signal : {SIGTERM, SIGINT, kCloseReader}) {
    SCOPED_TRACE(signal);
    std::filesystem::remove_all(Logs());
    std::filesystem::remove_all(R());
    test::WriteFile(R() + "/old.txt", "old");
    test::WriteFile(dir_ / "settings/TWN.ini", ini_before);
    TBlockedOutput run(WithSettings({"run", "Backup"}));
    ASSERT_GT(run.Pid(), 0);
    ASSERT_TRUE(test::WaitUntil([&] { return run.BlockedInOutput(); }));
    if (signal == kCloseReader)
      run.CloseReader();
    else
      ASSERT_EQ(::kill(run.Pid(), signal), 0);
    const test::TProgramResult r = run.Finish();
    EXPECT_EQ(r.status, signal == kCloseReader ? 0 : 3) << "stopped only if asked";
    EXPECT_EQ(r.out.find("*** Synchronization results ***") != std::string::npos,
              signal != kCloseReader)
        << r.out;
    EXPECT_EQ(test::ListNames(R()), (Names{"a.txt", "sub"}));
    EXPECT_EQ(test::ListNames(Logs()),
              (Names{"Backup_error.log", "Backup_full.log", "Backup_summary.log"}));
    EXPECT_EQ(test::ListNames(dir_ / "settings"), (Names{"Logs", "TWN.ini", "TWN.lock"}));
    const std::string ini = Ini();
    EXPECT_THAT(ini, HasSubstr("bHasLastRun=1"));
    EXPECT_THAT(ini, HasSubstr("LogHistoryCount=3"));
    EXPECT_EQ(r.err, "");
  }
}

}  // namespace
}  // namespace twn
