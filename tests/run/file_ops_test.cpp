#include "run/file_ops.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cerrno>
#include <vector>

#include "support/fault_support.h"
#include "support/test_support.h"

namespace twn {
namespace {

using test::ListNames;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

class TStopAfter final : public TCopyObserver {
 public:
  /// Stops at the n-th look at the stop request (1 = the first); 0 = never.
  explicit TStopAfter(int n = 0) : n_(n) {}
  bool StopRequested() override { return n_ > 0 && ++looks_ >= n_; }
  void ThrottledRefresh() override { ++refreshes; }
  int refreshes = 0;

 private:
  int n_;
  int looks_ = 0;
};

std::string Pattern(size_t size) {
  std::string s(size, '\0');
  for (size_t i = 0; i < size; ++i) s[i] = char('a' + (i * 7 + i / 4096) % 26);
  return s;
}

struct TCopyRun {
  TCopyOutcome outcome;
  int64_t byte_count;
  int64_t bytes_done;
  int refreshes;
};

/// One copy of a file scanned at `scanned` bytes, stopped as TStopAfter(stop_at) says.
TCopyRun Copy(const std::string& source, const std::string& target, int64_t scanned,
              int stop_at = 0, int64_t bytes_done = 1000) {
  std::vector<char> buffer(kCopyBufferSize);
  TStopAfter observer(stop_at);
  TCopyRun run{{}, scanned, bytes_done, 0};
  run.outcome = CopyOneFile(source, target, buffer, run.byte_count, run.bytes_done, observer);
  run.refreshes = observer.refreshes;
  return run;
}

TEST(CopyOneFile, CopiesDataTimesAndPermissionsOverAnyTarget) {
  const struct {
    size_t size;
    mode_t mode;
    const char* old_target;  // nullptr: no target yet
    mode_t old_mode;
  } cases[] = {
      {0, 0644, nullptr, 0},
      {1, 0600, "older and longer content", 0644},
      {kCopyBlockSize, 0444, "read-only target", 0444},
      {3 * kCopyBlockSize + 7, 0750, nullptr, 0},
  };
  for (const auto& c : cases) {
    TempDir dir;
    const std::string src = dir / "src.bin", dst = dir / "out/dst.bin";
    WriteFile(src, Pattern(c.size));
    ASSERT_EQ(0, ::chmod(src.c_str(), c.mode));
    test::SetMTime(src, 1'100'000'000, 123'456'789);
    test::MakeDirs(dir / "out");
    if (c.old_target) {
      WriteFile(dst, c.old_target);
      ASSERT_EQ(0, ::chmod(dst.c_str(), c.old_mode));
    }
    const TCopyRun run = Copy(src, dst, int64_t(c.size));
    SCOPED_TRACE(c.size);
    EXPECT_EQ(run.outcome.error, 0);
    EXPECT_FALSE(run.outcome.stopped);
    EXPECT_EQ(run.byte_count, int64_t(c.size));
    EXPECT_EQ(run.bytes_done, 1000 + int64_t(c.size));
    EXPECT_EQ(ReadFile(dst), Pattern(c.size));
    struct stat st {};
    ASSERT_EQ(0, ::stat(dst.c_str(), &st));
    EXPECT_EQ(st.st_mode & 07777, c.mode);
    EXPECT_EQ(st.st_mtim.tv_sec, 1'100'000'000);
    EXPECT_EQ(st.st_mtim.tv_nsec, 123'456'789);
    EXPECT_EQ(ListNames(dir / "out"), std::vector<std::string>{"dst.bin"});
    EXPECT_GE(run.refreshes, int(c.size / kCopyBlockSize));
  }
}

TEST(CopyOneFile, FailuresNameTheirSideAndLeaveTheTargetAlone) {
  enum Setup { kNoSource, kSourceIsFolder, kNoTargetFolder, kTargetIsFolder, kFileAsFolder };
  const struct {
    Setup setup;
    int error;
    bool on_source;
  } cases[] = {
      {kNoSource, ENOENT, true},        {kSourceIsFolder, EISDIR, true},
      {kNoTargetFolder, ENOENT, false}, {kTargetIsFolder, EISDIR, false},
      {kFileAsFolder, ENOTDIR, false},
  };
  for (const auto& c : cases) {
    TempDir dir;
    std::string src = dir / "src.bin", dst = dir / "out/dst.bin";
    test::MakeDirs(dir / "out");
    WriteFile(dst, "old");
    if (c.setup != kNoSource) WriteFile(src, "new data");
    if (c.setup == kSourceIsFolder) src = dir / "out";
    if (c.setup == kNoTargetFolder) dst = dir / "missing/dst.bin";
    if (c.setup == kTargetIsFolder) test::MakeDirs(dst = dir / "out/folder");
    if (c.setup == kFileAsFolder) dst = dir / "out/dst.bin/x";
    const TCopyRun run = Copy(src, dst, 500);
    SCOPED_TRACE(c.setup);
    EXPECT_EQ(run.outcome.error, c.error) << platform::ErrorText(run.outcome.error);
    EXPECT_EQ(run.outcome.on_source, c.on_source);
    EXPECT_FALSE(run.outcome.stopped);
    EXPECT_EQ(run.byte_count, 0);
    EXPECT_EQ(run.bytes_done, 1500);  // moved past the file's scanned size
    EXPECT_EQ(ReadFile(dir / "out/dst.bin"), "old");
    for (const std::string& name : ListNames(dir / "out")) EXPECT_NE(name.rfind(".twn~", 0), 0u);
  }
}

TEST(CopyOneFile, StopKeepsTheOldTargetAndLeavesNoTemporaryFile) {
  // Looks at the stop request: 1 after the source is opened, 2 after the target, 3.. per block.
  for (int stop_at : {1, 2, 4}) {
    TempDir dir;
    const std::string src = dir / "src.bin", dst = dir / "dst.bin";
    WriteFile(src, Pattern(10 * kCopyBlockSize));
    WriteFile(dst, "the old target");
    const TCopyRun run = Copy(src, dst, 10 * kCopyBlockSize, stop_at, 0);
    SCOPED_TRACE(stop_at);
    EXPECT_TRUE(run.outcome.stopped);
    EXPECT_EQ(run.outcome.error, 0);
    EXPECT_EQ(run.bytes_done, int64_t(10 * kCopyBlockSize));
    EXPECT_EQ(ReadFile(dst), "the old target");
    EXPECT_EQ(ListNames(dir.path()), (std::vector<std::string>{"dst.bin", "src.bin"}));
  }
}

/// "" when the copy fails with `error` blamed on the target, else what went wrong.
std::string CopyFailsOnTarget(const std::string& src, const std::string& dst, int64_t size,
                              int error) {
  const TCopyRun run = Copy(src, dst, size);
  if (run.outcome.error != error) return "error " + platform::ErrorText(run.outcome.error);
  return run.outcome.on_source ? "blamed the source" : "";
}

// Restores the attribute even when an assertion fails, so the scratch folder can go.
struct TImmutableGuard {
  std::string path;
  ~TImmutableGuard() { test::SetImmutable(path, false); }
};

TEST(CopyOneFile, ProtectedTargetFolderIsATargetError) {
  TempDir dir;
  const std::string src = dir / "src.bin", dst = dir / "locked/dst.bin";
  WriteFile(src, "new");
  WriteFile(dst, "old");
  TImmutableGuard guard{dir / "locked"};
  if (!test::SetImmutable(guard.path, true)) GTEST_SKIP() << "no immutable attribute here";
  EXPECT_EQ(CopyFailsOnTarget(src, dst, 3, EPERM), "");
  EXPECT_EQ(ReadFile(dst), "old");
}

// A copy that breaks off part-way in the write path: the limit is confined to a child.
TEST(CopyOneFile, FileTooLargeKeepsTheOldTarget) {
  TempDir dir;
  const std::string src = dir / "src.bin", dst = dir / "dst.bin";
  WriteFile(src, Pattern(8 * kCopyBlockSize));
  WriteFile(dst, "old target");
  EXPECT_EQ(test::RunInChild([&]() -> std::string {
              ::signal(SIGXFSZ, SIG_IGN);
              const rlimit limit{3 * kCopyBlockSize + 100, 3 * kCopyBlockSize + 100};
              if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return "setrlimit failed";
              return CopyFailsOnTarget(src, dst, 8 * kCopyBlockSize, EFBIG);
            }),
            "");
  EXPECT_EQ(ReadFile(dst), "old target");
  EXPECT_EQ(ListNames(dir.path()), (std::vector<std::string>{"dst.bin", "src.bin"}));
}

// A full disk: a small memory file system mounted in a private namespace of a child.
TEST(CopyOneFile, NoSpaceKeepsTheOldTarget) {
  TempDir dir;
  const std::string src = dir / "src.bin", mnt = dir / "small";
  WriteFile(src, Pattern(2 * 1024 * 1024));
  test::MakeDirs(mnt);
  const std::string answer = test::RunInChild([&]() -> std::string {
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", mnt.c_str(), "tmpfs", 0, "size=1m") != 0)
      return "skip";
    WriteFile(mnt + "/dst.bin", "old target");
    const std::string failed = CopyFailsOnTarget(src, mnt + "/dst.bin", 2 * 1024 * 1024, ENOSPC);
    if (!failed.empty()) return failed;
    if (ReadFile(mnt + "/dst.bin") != "old target") return "old target damaged";
    return ListNames(mnt) == std::vector<std::string>{"dst.bin"} ? "" : "temporary file left";
  });
  if (answer == "skip") GTEST_SKIP() << "cannot mount a private tmpfs here";
  EXPECT_EQ(answer, "");
}

TEST(DeleteOneFile, ReportsSizeOrError) {
  TempDir dir;
  WriteFile(dir / "a.txt", "12345");
  ASSERT_EQ(0, ::chmod((dir / "a.txt").c_str(), 0444));
  int64_t size = -1;
  EXPECT_EQ(DeleteOneFile(dir / "a.txt", size), 0);
  EXPECT_EQ(size, 5);
  EXPECT_FALSE(platform::FileExists(dir / "a.txt"));
  EXPECT_EQ(DeleteOneFile(dir / "a.txt", size), ENOENT);
  EXPECT_EQ(size, 0);
}

TEST(RemoveOneFolder, OnlyAnEmptyFolderGoes) {
  TempDir dir;
  WriteFile(dir / "full/f.txt", "x");
  test::MakeDirs(dir / "empty");
  EXPECT_EQ(RemoveOneFolder(dir / "full/"), ENOTEMPTY);
  EXPECT_TRUE(platform::DirectoryExists(dir / "full"));
  EXPECT_EQ(RemoveOneFolder(dir / "empty/"), 0);
  EXPECT_FALSE(platform::DirectoryExists(dir / "empty"));
  EXPECT_EQ(RemoveOneFolder(dir / "empty/"), ENOENT);
}

TEST(ForceFolders, CreatesMissingLevelsAndToleratesExisting) {
  TempDir dir;
  test::MakeDirs(dir / "a");
  WriteFile(dir / "file", "x");
  TForceResult r = ForceFolders(dir / "a/b/c/");
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.error, 0);
  EXPECT_TRUE(platform::DirectoryExists(dir / "a/b/c"));
  EXPECT_TRUE(ForceFolders(dir / "a/b/c").ok);  // all there already
  r = ForceFolders(dir / "file/sub/");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error, ENOTDIR);
}

}  // namespace
}  // namespace twn
