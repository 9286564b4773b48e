#include "run/log_files.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include "support/fault_support.h"
#include "support/test_support.h"

namespace twn {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// A line list holding `lines` (lists own a lock and so cannot be returned by value).
struct Lines : TLineList {
  Lines(std::initializer_list<const char*> lines) {
    for (const char* line : lines) Add(line);
  }
};

TEST(LogNames, StampNameAndPath) {
  EXPECT_EQ(RunStamp(platform::EncodeDateTime(2004, 3, 6, 4, 44, 59)), "March 6, 2004 at 04-44");
  EXPECT_EQ(RunStamp(platform::EncodeDateTime(2021, 12, 31, 23, 5)), "December 31, 2021 at 23-05");
  EXPECT_EQ(LogFileName("Backup", lkFull, true, "March 6, 2004 at 04-44"),
            "Backup_full (March 6, 2004 at 04-44).log");
  EXPECT_EQ(LogFileName("Backup", lkSummary, false, "x"), "Backup_summary.log");
  EXPECT_EQ(LogFileName("Backup", lkError, true, "x"), "Backup_error (x).log");
  EXPECT_EQ(LogFilePath("/var/logs", "a.log"), "/var/logs/a.log");
  EXPECT_EQ(LogFilePath("/var/logs/", "a.log"), "/var/logs/a.log");
  EXPECT_EQ(LogFilePath("", "a.log"), "/a.log");
}

TEST(WriteLogFile, AddsNewestFirstUpToTheSizeLimitOrReplaces) {
  const TLogSetting adding{true, false, false, 100}, overwrite{true, false, true, 100},
      new_file{true, true, false, 100};
  const std::string fresh = "new 1\r\nnew 2\r\n", limit(100 * 1024, 'o');
  const struct {
    TLogSetting setting;
    std::string old;
    bool stale_temp;  // a temporary file left over from an earlier failure
    std::string want;
  } cases[] = {
      {adding, "", false, fresh},
      {adding, limit, false, fresh + limit},
      {adding, limit + "o", false, fresh},
      {overwrite, "old run\r\n", false, fresh},
      {new_file, "old run\r\n", false, fresh},
      {adding, "old\r\n", true, fresh + "old\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.old.size() << " bytes, stale " << c.stale_temp);
    TempDir dir;
    const std::string path = dir / "Backup_full.log";
    WriteFile(path, c.old);
    if (c.stale_temp) WriteFile(dir / "~$tempfile7", "left over");
    ASSERT_EQ(WriteLogFile(Lines({"new 1", "new 2"}), path, c.setting, 7),
              TLogWriteResult::kWritten);
    EXPECT_EQ(ReadFile(path), c.want);
    EXPECT_EQ(test::ListNames(dir.path()), std::vector<std::string>{"Backup_full.log"});
  }
}

TEST(WriteLogFile, EmptyListTouchesNothing) {
  TempDir dir;
  EXPECT_EQ(WriteLogFile(TLineList{}, dir / "x.log", {}, 1), TLogWriteResult::kNoLines);
  EXPECT_TRUE(test::ListNames(dir.path()).empty());
}

// Writing that breaks off (here: the file size limit) must leave the old log whole.
TEST(WriteLogFile, FailedWriteKeepsTheOldLog) {
  TempDir dir;
  const std::string path = dir / "x.log";
  const std::string old(20000, 'o');
  WriteFile(path, old);
  const std::string answer = test::RunInChild([&]() -> std::string {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{10000, 10000};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return "setrlimit failed";
    const TLogWriteResult r = WriteLogFile(Lines({"new"}), path, {true, false, false, 100}, 3);
    return r == TLogWriteResult::kFailed ? "" : "not reported as failed";
  });
  EXPECT_EQ(answer, "");
  EXPECT_EQ(ReadFile(path), old);
  EXPECT_EQ(test::ListNames(dir.path()), std::vector<std::string>{"x.log"});
}

TEST(WriteRunLogs, CreatesTheFolderAndRecordsEachPathFirst) {
  TempDir dir;
  TJobData job;
  job.JobName = "Backup";
  job.LogSummary_bCreateNew = true;
  const Lines full{"f"}, summary{"s"}, error{};  // no error lines
  const std::string folder = dir / "logs/deeper";
  WriteRunLogs({full, summary, error}, job, 1, folder, job);
  ASSERT_EQ(job.LogHistory.size(), 2u);
  EXPECT_EQ(job.LogHistory[1], folder + "/Backup_full.log");
  EXPECT_TRUE(job.LogHistory[0].starts_with(folder + "/Backup_summary ("));
  EXPECT_EQ(ReadFile(job.LogHistory[0]), "s\r\n");
  EXPECT_EQ(ReadFile(job.LogHistory[1]), "f\r\n");

  WriteRunLogs({full, summary, error}, job, 1, folder, job);  // the same names again
  EXPECT_EQ(job.LogHistory.size(), 2u);
  EXPECT_EQ(ReadFile(folder + "/Backup_full.log"), "f\r\nf\r\n");
}

TEST(WriteRunLogs, UnwritablePathIsStillRecorded) {
  TempDir dir;
  WriteFile(dir / "logs", "a file where the folder should be");
  TJobData job, target;
  job.JobName = "J";
  job.LogSummary_bUse = false;
  const Lines full{"f"}, summary{"s"}, error{"e"};
  WriteRunLogs({full, summary, error}, job, 1, dir / "logs", target);
  EXPECT_EQ(target.LogHistory,
            (std::vector<std::string>{dir / "logs/J_error.log", dir / "logs/J_full.log"}));
  EXPECT_TRUE(job.LogHistory.empty());
}

}  // namespace
}  // namespace twn
