#include "run/log_files.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>

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

// The three ways of keeping a log: adding to it, overwriting it, a new file per run.
constexpr TLogSetting kAdding{true, false, false, 100}, kOverwrite{true, false, true, 100},
    kNewFile{true, true, false, 100};

TEST(LogNames, StampNameAndPath) {
  EXPECT_EQ(RunStamp(platform::EncodeDateTime(2004, 3, 6, 4, 44, 59)), "March 6, 2004 at 04-44");
  EXPECT_EQ(RunStamp(platform::EncodeDateTime(2021, 12, 31, 23, 5)), "December 31, 2021 at 23-05");
  EXPECT_EQ(LogFileName("Backup", lkFull, true, "March 6, 2004 at 04-44"),
            "Backup_full (March 6, 2004 at 04-44).log");
  EXPECT_EQ(LogFileName("Backup", lkSummary, false, "x"), "Backup_summary.log");
  EXPECT_EQ(LogFileName("Backup", lkError, true, "x"), "Backup_error (x).log");
  // A name from a hand-edited file never leads out of the log folder.
  EXPECT_EQ(LogFileName("../x", lkFull, false, "x"), "..-x_full.log");
  EXPECT_EQ(LogFileName("/etc/passwd", lkError, false, "x"), "-etc-passwd_error.log");
  EXPECT_EQ(LogFileName(std::string_view("a\0b", 3), lkSummary, false, "x"), "a-b_summary.log");
  EXPECT_EQ(LogFileName("..", lkFull, false, "x"), ".._full.log");
  EXPECT_EQ(LogFilePath("/var/logs", "a.log"), "/var/logs/a.log");
  EXPECT_EQ(LogFilePath("/var/logs/", "a.log"), "/var/logs/a.log");
  EXPECT_EQ(LogFilePath("", "a.log"), "/a.log");
}

TEST(WriteLogFile, AddsNewestFirstUpToTheSizeLimitOrReplaces) {
  const std::string fresh = "new 1\r\nnew 2\r\n", limit(100 * 1024, 'o');
  const struct {
    TLogSetting setting;
    std::string old;
    bool stale_temp;  // a temporary file left over from an earlier failure
    std::string want;
  } cases[] = {
      {kAdding, "", false, fresh},
      {kAdding, limit, false, fresh + limit},
      {kAdding, limit + "o", false, fresh},
      {kOverwrite, "old run\r\n", false, fresh},
      {kNewFile, "old run\r\n", false, fresh},
      {kAdding, "old\r\n", true, fresh + "old\r\n"},
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
    // A file of the temporary name that was there before is not the program's to reuse.
    std::vector<std::string> names = {"Backup_full.log"};
    if (c.stale_temp) {
      names.push_back("~$tempfile7");
      EXPECT_EQ(ReadFile(dir / "~$tempfile7"), "left over");
    }
    EXPECT_EQ(test::ListNames(dir.path()), names);
  }
}

// Whatever someone planted at the temporary file's old, predictable name is left alone, and
// nothing is written through it.
TEST(WriteLogFile, NeverWritesThroughAPlantedTemporaryName) {
  TempDir dir, elsewhere;
  const std::string victim = elsewhere / "victim";
  const std::string missing = elsewhere / "created";
  const std::string fifo = dir / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& target : {victim, missing, fifo}) {
    SCOPED_TRACE(target);
    WriteFile(victim, "precious");
    const std::string path = dir / "Backup_full.log";
    WriteFile(path, "old\r\n");
    const std::string planted = dir / "~$tempfile7";
    ::unlink(planted.c_str());
    ASSERT_EQ(::symlink(target.c_str(), planted.c_str()), 0);
    const std::string answer = test::RunInChild([&]() -> std::string {
      ::alarm(20);  // a FIFO opened for writing would wait for a reader
      const TLogWriteResult r = WriteLogFile(Lines({"new"}), path, {}, 7);
      return r == TLogWriteResult::kWritten ? "" : "not written";
    });
    EXPECT_EQ(answer, "");
    EXPECT_EQ(ReadFile(path), "new\r\nold\r\n");
    EXPECT_EQ(ReadFile(victim), "precious");
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_TRUE(std::filesystem::is_symlink(planted));
    EXPECT_EQ(test::ListNames(dir.path()),
              (std::vector<std::string>{"Backup_full.log", "fifo", "~$tempfile7"}));
  }
}

// A writer killed half-way leaves the old log whole and a temporary file whose name tells
// whose it is: the prefix, the job's number, a dot and six random characters.
TEST(WriteLogFile, TemporaryNameIsRecognisableButUnpredictable) {
  TempDir dir;
  const std::string path = dir / "x.log";
  WriteFile(path, "old\r\n");
  for (int run = 0; run < 2; ++run) {
    test::RunInChild([&]() -> std::string {
      const rlimit limit{4, 4};  // the first write beyond 4 bytes ends the process
      ::setrlimit(RLIMIT_FSIZE, &limit);
      WriteLogFile(Lines({"a line longer than the limit"}), path, {}, 42);
      return "survived";
    });
  }
  const std::vector<std::string> names = test::ListNames(dir.path());
  ASSERT_EQ(names.size(), 3u);
  EXPECT_EQ(names[0], "x.log");
  EXPECT_EQ(ReadFile(path), "old\r\n");
  for (const std::string& name : {names[1], names[2]}) {
    EXPECT_TRUE(name.starts_with("~$tempfile42.")) << name;
    ASSERT_EQ(name.size(), std::string("~$tempfile42.").size() + 6) << name;
    EXPECT_TRUE(std::all_of(name.end() - 6, name.end(), [](char c) { return std::isalnum(c); }))
        << name;
  }
  EXPECT_NE(names[1], names[2]);
}

// A FIFO, a device or a folder where the log belongs is an error at once, never a wait for a
// writer, and stays as it was in every way of writing.
TEST(WriteLogFile, RefusesWhatIsNotARegularFile) {
  for (const TLogSetting& setting : {kAdding, kOverwrite, kNewFile}) {
    for (const char* kind : {"fifo", "folder"}) {
      SCOPED_TRACE(testing::Message() << kind << " create " << setting.bCreateNew << " overwrite "
                                      << setting.bOverwrite);
      TempDir dir;
      const std::string path = dir / "x.log";
      if (kind == std::string("fifo")) {
        ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
      } else {
        test::MakeDirs(path);
      }
      const std::string answer = test::RunInChild([&]() -> std::string {
        ::alarm(20);
        platform::TError error = 0;
        if (WriteLogFile(Lines({"new"}), path, setting, 3, &error) != TLogWriteResult::kFailed)
          return "not reported as failed";
        return error == EINVAL || error == EISDIR ? "" : "error " + std::to_string(error);
      });
      EXPECT_EQ(answer, "");
      EXPECT_EQ(test::ListNames(dir.path()), std::vector<std::string>{"x.log"});
      EXPECT_EQ(std::filesystem::is_fifo(path), kind == std::string("fifo"));
    }
  }
}

// A link at the log's own path is replaced by the new log; what it points at is neither read
// into the log nor changed.
TEST(WriteLogFile, ALinkAtTheLogIsReplacedNotFollowed) {
  TempDir dir, elsewhere;
  const std::string target = elsewhere / "private";
  WriteFile(target, "secret\r\n");
  const std::string path = dir / "x.log";
  ASSERT_EQ(::symlink(target.c_str(), path.c_str()), 0);
  ASSERT_EQ(WriteLogFile(Lines({"new"}), path, {}, 3), TLogWriteResult::kWritten);
  EXPECT_FALSE(std::filesystem::is_symlink(path));
  EXPECT_EQ(ReadFile(path), "new\r\n");
  EXPECT_EQ(ReadFile(target), "secret\r\n");
}

// An old log the program may not read is kept rather than replaced by the new run alone.
TEST(WriteLogFile, UnreadableOldLogIsKept) {
  TempDir dir;
  ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
  const std::string path = dir / "x.log";
  WriteFile(path, "old runs\r\n");
  ASSERT_EQ(::chmod(path.c_str(), 0600), 0);  // root's, unreadable for nobody
  const std::string answer = test::RunAsNobody([&]() -> std::string {
    platform::TError error = 0;
    if (WriteLogFile(Lines({"new"}), path, {}, 3, &error) != TLogWriteResult::kFailed)
      return "not reported as failed";
    return error == EACCES ? "" : "error " + std::to_string(error);
  });
  EXPECT_EQ(answer, "");
  EXPECT_EQ(ReadFile(path), "old runs\r\n");
  EXPECT_EQ(test::ListNames(dir.path()), std::vector<std::string>{"x.log"});
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
    if (!test::CapFileSize(10000)) return "setrlimit failed";
    const TLogWriteResult r = WriteLogFile(Lines({"new"}), path, kAdding, 3);
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

TEST(WriteRunLogs, UnwritablePathIsReportedAndNotRecorded) {
  TempDir dir;
  WriteFile(dir / "logs", "a file where the folder should be");
  TJobData job, target;
  job.JobName = "J";
  job.LogSummary_bUse = false;
  const Lines full{"f"}, summary{"s"}, error{"e"};
  EXPECT_EQ(WriteRunLogs({full, summary, error}, job, 1, dir / "logs", target),
            (std::vector<TLogFailure>{{dir / "logs/J_full.log", ENOTDIR},
                                      {dir / "logs/J_error.log", ENOTDIR}}));
  EXPECT_TRUE(target.LogHistory.empty());
  EXPECT_TRUE(job.LogHistory.empty());

  // Only the kind that failed is left out of the history.
  TempDir logs;
  ASSERT_EQ(::mkfifo((logs / "J_full.log").c_str(), 0600), 0);
  EXPECT_EQ(WriteRunLogs({full, summary, error}, job, 1, logs.path(), target),
            (std::vector<TLogFailure>{{logs / "J_full.log", EINVAL}}));
  EXPECT_EQ(target.LogHistory, std::vector<std::string>{logs / "J_error.log"});
}

// A name read from a hand-edited file keeps its logs inside the log folder.
TEST(WriteRunLogs, JobNameWithSeparatorsStaysInTheFolder) {
  TempDir dir;
  const std::string folder = dir / "logs";
  TJobData job;
  job.JobName = "../x";
  const Lines full{"f"}, none{};
  EXPECT_TRUE(WriteRunLogs({full, none, none}, job, 1, folder, job).empty());
  EXPECT_EQ(test::ListNames(dir.path()), std::vector<std::string>{"logs"});
  EXPECT_EQ(test::ListNames(folder), std::vector<std::string>{"..-x_full.log"});
  EXPECT_EQ(job.LogHistory, std::vector<std::string>{folder + "/..-x_full.log"});
}

}  // namespace
}  // namespace twn
