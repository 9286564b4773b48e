// twn-cli compare and run, as a user runs them, on a settings folder and trees of their own.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
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
  EXPECT_NE(r.out.find("*** Comparison results ***"), std::string::npos);
  const std::string preview = r.out.substr(r.out.find("*** Plan preview ***\n") + 21);
  const std::string l = L(), rr = R();
  EXPECT_NE(preview.find("copy to right\t" + l + "/a.txt\t" + rr + "/a.txt\t3\n"),
            std::string::npos);
  EXPECT_NE(preview.find("delete right\t-\t" + rr + "/old.txt\t3\n"), std::string::npos);
  EXPECT_NE(preview.find("create right folder\t" + l + "/sub/\t" + rr + "/sub/\t\n"),
            std::string::npos);
  for (const auto& n : names) {
    const std::string entry =
        std::string("copy to right\t") + l + "/" + n.shown + "\t" + rr + "/" + n.shown + "\t1\n";
    EXPECT_NE(preview.find(entry), std::string::npos) << entry << preview;
  }
  size_t lines = 0;
  for (size_t at = 0, end; (end = preview.find('\n', at)) != std::string::npos; at = end + 1) {
    const std::string line = preview.substr(at, end - at);
    EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 3) << line;
    EXPECT_EQ(line.find('\r'), std::string::npos) << line;
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
  EXPECT_NE(r.out.find("*** Synchronization results ***"), std::string::npos);
  EXPECT_EQ(r.out.find("*** Scanning folders ***"), std::string::npos);  // summary only
  EXPECT_EQ(r.err, "");  // no progress bar without a terminal
  EXPECT_EQ(test::ListNames(Logs()),
            (Names{"Backup_error.log", "Backup_full.log", "Backup_summary.log"}));
  const std::string ini = Ini();
  EXPECT_NE(ini.find("bHasLastRun=1"), std::string::npos);
  EXPECT_NE(ini.find("Logfile1=" + Logs() + "/Backup_error.log"), std::string::npos);
  EXPECT_NE(ini.find("Logfile3=" + Logs() + "/Backup_full.log"), std::string::npos);
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
  EXPECT_NE(r.out.find("   *** The job 'Backup' was terminated ***"), std::string::npos);
  EXPECT_EQ(test::ReadFile(R() + "/big.bin"), "old target");
  EXPECT_EQ(temporaries(), Names{});
  for (const char* log : {"/Backup_full.log", "/Backup_summary.log", "/Backup_error.log"})
    EXPECT_NE(test::ReadFile(Logs() + log).find("was terminated"), std::string::npos) << log;
  EXPECT_NE(Ini().find("bHasLastRun=1"), std::string::npos);
}

TEST_F(CliRun, ALogThatCannotBeWrittenIsReportedAndNotRecorded) {
  test::WriteFile(Logs(), "a file where the log folder belongs");
  const auto r = Cli({"run", "Backup"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("twn-cli: cannot write the log file '" + Logs() +
                       "/Backup_full.log': Not a directory\n"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(test::ListNames(R()), (Names{"a.txt", "sub"})) << "the run itself went through";
  EXPECT_NE(Ini().find("bHasLastRun=1"), std::string::npos);
  EXPECT_EQ(Ini().find("Backup_full.log"), std::string::npos);
}

// A child twn-cli run whose stdout is a pipe the test has filled: the program blocks at its
// first output, the summary it prints when the run is over, before the logs and the settings
// are written. A signal sent then arrives in the window where ending at once would lose them.
class TBlockedOutput {
 public:
  explicit TBlockedOutput(const std::vector<std::string>& args) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return;
    read_ = fds[0];
    ::fcntl(fds[1], F_SETPIPE_SZ, 4096);
    ::fcntl(fds[1], F_SETFL, O_NONBLOCK);
    const std::string filler(4096, 'f');
    while (::write(fds[1], filler.data(), filler.size()) > 0) {
    }
    ::fcntl(fds[1], F_SETFL, 0);  // the child's stdout blocks as a full pipe makes it
    std::vector<char*> argv = {const_cast<char*>(TWN_CLI_PATH)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const std::string err = err_ / "err";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT, 0600);
    if (::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
  }
  ~TBlockedOutput() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (read_ >= 0) ::close(read_);
  }
  pid_t Pid() const { return pid_; }
  std::string Err() const { return test::ReadFile(err_ / "err"); }
  /// The main thread waits in a write to its stdout.
  bool BlockedInOutput() const {
    const std::string call = test::ReadFile("/proc/" + std::to_string(pid_) + "/syscall");
    return call.starts_with(std::to_string(SYS_write) + " 0x1 ");
  }
  /// The reader goes away, as `| head` does.
  void CloseReader() {
    ::close(read_);
    read_ = -1;
  }
  /// Reads all the program writes to the pipe, then waits for its end; the exit status.
  int Finish(std::string& out) {
    char block[4096];
    for (ssize_t n; read_ >= 0 && (n = ::read(read_, block, sizeof block)) != 0;)
      if (n > 0) out.append(block, size_t(n));
    int wstatus = 0;
    ::waitpid(pid_, &wstatus, 0);
    pid_ = -1;
    return WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
  }

 private:
  test::TempDir err_;
  pid_t pid_ = -1;
  int read_ = -1;
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
    std::string out;
    EXPECT_EQ(run.Finish(out), signal == kCloseReader ? 0 : 3) << "stopped only if asked";
    EXPECT_EQ(out.find("*** Synchronization results ***") != std::string::npos,
              signal != kCloseReader)
        << out;
    EXPECT_EQ(test::ListNames(R()), (Names{"a.txt", "sub"}));
    EXPECT_EQ(test::ListNames(Logs()),
              (Names{"Backup_error.log", "Backup_full.log", "Backup_summary.log"}));
    EXPECT_EQ(test::ListNames(dir_ / "settings"), (Names{"Logs", "TWN.ini", "TWN.lock"}));
    const std::string ini = Ini();
    EXPECT_NE(ini.find("bHasLastRun=1"), std::string::npos);
    EXPECT_NE(ini.find("LogHistoryCount=3"), std::string::npos);
    EXPECT_EQ(run.Err(), "");
  }
}

}  // namespace
}  // namespace twn
