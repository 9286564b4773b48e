#include "run/file_ops.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <functional>
#include <vector>

#include "platform/unique_fd.h"
#include "support/fault_support.h"
#include "support/run_fixture.h"
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
  void ThrottledRefresh() override {
    ++refreshes;
    if (on_refresh) on_refresh();
  }
  int refreshes = 0;
  std::function<void()> on_refresh;  // a look at the target folder while the copy goes on

 private:
  int n_;
  int looks_ = 0;
};

std::string Pattern(size_t size) {
  std::string s(size, '\0');
  for (size_t i = 0; i < size; ++i) s[i] = char('a' + (i * 7 + i / 4096) % 26);
  return s;
}

/// A path and the length of its root, as the plan gives them.
struct TRooted {
  std::string path;
  size_t root_length;
  operator platform::TRootedPath() const { return {path, root_length}; }
};

/// A path below `root` (a folder path without the trailing separator), rooted there.
TRooted Below(const std::string& root, std::string_view rel) {
  return {root + "/" + std::string(rel), root.size() + 1};
}
/// A path whose root is the scratch folder's own path.
TRooted Below(const TempDir& dir, std::string_view rel) {
  return Below(dir.path(), rel);
}

struct TCopyRun {
  TCopyOutcome outcome;
  int64_t byte_count;
  int64_t bytes_done;
  int refreshes;
};

/// One copy of a file scanned at `scanned` bytes, stopped as TStopAfter(stop_at) says.
TCopyRun Copy(const TRooted& source, const TRooted& target, int64_t scanned, int stop_at = 0,
              int64_t bytes_done = 1000) {
  std::vector<char> buffer(kCopyBufferSize);
  TStopAfter observer(stop_at);
  TSideFolders sides[2];
  TCopyRun run{{}, scanned, bytes_done, 0};
  run.outcome = CopyOneFile({source, sides[0]}, {target, sides[1]}, buffer, run.byte_count,
                            run.bytes_done, observer);
  run.refreshes = observer.refreshes;
  return run;
}

/// A copy without a stop, through the given sides; its error (0 = success).
int CopyWith(const TRooted& source, const TRooted& target, TSideFolders& source_side,
             TSideFolders& target_side, TCopyObserver& observer) {
  std::vector<char> buffer(kCopyBufferSize);
  int64_t bytes = 0, done = 0;
  return CopyOneFile({source, source_side}, {target, target_side}, buffer, bytes, done, observer)
      .error;
}

int Delete(const TRooted& path, int64_t& size) {
  TSideFolders side;
  return DeleteOneFile(path, size, side);
}
int Remove(const TRooted& path) {
  TSideFolders side;
  return RemoveOneFolder(path, side);
}
TForceResult Force(const TRooted& path) {
  TSideFolders side;
  return ForceFolders(path, side);
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
    const TRooted src_at = Below(dir, "src.bin"), dst_at = Below(dir, "out/dst.bin");
    const std::string &src = src_at.path, &dst = dst_at.path;
    WriteFile(src, Pattern(c.size));
    ASSERT_EQ(0, ::chmod(src.c_str(), c.mode));
    test::SetMTime(src, 1'100'000'000, 123'456'789);
    test::MakeDirs(dir / "out");
    if (c.old_target) {
      WriteFile(dst, c.old_target);
      ASSERT_EQ(0, ::chmod(dst.c_str(), c.old_mode));
    }
    const TCopyRun run = Copy(src_at, dst_at, int64_t(c.size));
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
    TRooted src = Below(dir, "src.bin"), dst = Below(dir, "out/dst.bin");
    test::MakeDirs(dir / "out");
    WriteFile(dst.path, "old");
    if (c.setup != kNoSource) WriteFile(src.path, "new data");
    if (c.setup == kSourceIsFolder) src = Below(dir, "out");
    if (c.setup == kNoTargetFolder) dst = Below(dir, "missing/dst.bin");
    if (c.setup == kTargetIsFolder) test::MakeDirs((dst = Below(dir, "out/folder")).path);
    if (c.setup == kFileAsFolder) dst = Below(dir, "out/dst.bin/x");
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
    const TRooted src = Below(dir, "src.bin"), dst = Below(dir, "dst.bin");
    WriteFile(src.path, Pattern(10 * kCopyBlockSize));
    WriteFile(dst.path, "the old target");
    const TCopyRun run = Copy(src, dst, 10 * kCopyBlockSize, stop_at, 0);
    SCOPED_TRACE(stop_at);
    EXPECT_TRUE(run.outcome.stopped);
    EXPECT_EQ(run.outcome.error, 0);
    EXPECT_EQ(run.bytes_done, int64_t(10 * kCopyBlockSize));
    EXPECT_EQ(ReadFile(dst.path), "the old target");
    EXPECT_EQ(ListNames(dir.path()), (std::vector<std::string>{"dst.bin", "src.bin"}));
  }
}

// The step bounds how long a stop request waits; a short step is the end of the file.
TEST(CopyStep, GrowsWhileStepsAreQuickAndFullAndShrinksAfterASlowOne) {
  using std::chrono::milliseconds;
  const struct {
    milliseconds took;
    bool full;
    int times;
    size_t size_after;
  } steps[] = {
      {milliseconds(1), true, 1, 2 * kCopyBlockSize},
      {milliseconds(1), false, 1, 2 * kCopyBlockSize},
      {milliseconds(30), true, 1, 2 * kCopyBlockSize},
      {milliseconds(1), true, 20, kCopyStepMax},
      {milliseconds(80), true, 1, kCopyStepMax / 2},
      {milliseconds(80), false, 20, kCopyBlockSize},
  };
  TCopyStep step;
  EXPECT_EQ(step.Size(), kCopyBlockSize);
  for (const auto& s : steps) {
    for (int i = 0; i < s.times; ++i) step.Took(s.took, s.full ? step.Size() : step.Size() / 3);
    EXPECT_EQ(step.Size(), s.size_after) << s.took.count() << " ms, " << s.times << " times";
  }
}

/// "" when the copy fails with `error` blamed on the target, else what went wrong.
std::string CopyFailsOnTarget(const TRooted& src, const TRooted& dst, int64_t size, int error) {
  const TCopyRun run = Copy(src, dst, size);
  if (run.outcome.error != error) return "error " + platform::ErrorText(run.outcome.error);
  return run.outcome.on_source ? "blamed the source" : "";
}

// A copy that breaks off part-way in the write path: the limit is confined to a child.
TEST(CopyOneFile, FileTooLargeKeepsTheOldTarget) {
  TempDir dir;
  const TRooted src = Below(dir, "src.bin"), dst = Below(dir, "dst.bin");
  WriteFile(src.path, Pattern(8 * kCopyBlockSize));
  WriteFile(dst.path, "old target");
  EXPECT_EQ(test::RunInChild([&]() -> std::string {
              if (!test::CapFileSize(3 * kCopyBlockSize + 100)) return "setrlimit failed";
              return CopyFailsOnTarget(src, dst, 8 * kCopyBlockSize, EFBIG);
            }),
            "");
  EXPECT_EQ(ReadFile(dst.path), "old target");
  EXPECT_EQ(ListNames(dir.path()), (std::vector<std::string>{"dst.bin", "src.bin"}));
}

TEST(DeleteOneFile, ReportsSizeOrError) {
  TempDir dir;
  WriteFile(dir / "a.txt", "12345");
  ASSERT_EQ(0, ::chmod((dir / "a.txt").c_str(), 0444));
  int64_t size = -1;
  EXPECT_EQ(Delete(Below(dir, "a.txt"), size), 0);
  EXPECT_EQ(size, 5);
  EXPECT_FALSE(platform::FileExists(dir / "a.txt"));
  EXPECT_EQ(Delete(Below(dir, "a.txt"), size), ENOENT);
  EXPECT_EQ(size, 0);
}

TEST(RemoveOneFolder, OnlyAnEmptyFolderGoes) {
  TempDir dir;
  WriteFile(dir / "full/f.txt", "x");
  test::MakeDirs(dir / "empty");
  EXPECT_EQ(Remove(Below(dir, "full/")), ENOTEMPTY);
  EXPECT_TRUE(platform::DirectoryExists(dir / "full"));
  EXPECT_EQ(Remove(Below(dir, "empty/")), 0);
  EXPECT_FALSE(platform::DirectoryExists(dir / "empty"));
  EXPECT_EQ(Remove(Below(dir, "empty/")), ENOENT);
}

TEST(ForceFolders, CreatesMissingLevelsAndToleratesExisting) {
  TempDir dir;
  test::MakeDirs(dir / "a");
  WriteFile(dir / "file", "x");
  TForceResult r = Force(Below(dir, "a/b/c/"));
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.error, 0);
  EXPECT_TRUE(platform::DirectoryExists(dir / "a/b/c"));
  EXPECT_TRUE(Force(Below(dir, "a/b/c")).ok);  // all there already
  r = Force(Below(dir, "file/sub/"));
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error, ENOTDIR);
  // A missing root is created as well, and what lies below it.
  r = Force(Below(dir / "new/root", "x/y/"));
  EXPECT_TRUE(r.ok);
  EXPECT_TRUE(platform::DirectoryExists(dir / "new/root/x/y"));
  // The log folder's form: the user's own path, links and all.
  ASSERT_EQ(0, ::symlink("a", (dir / "alias").c_str()));
  EXPECT_TRUE(ForceFolders(dir / "alias/logs/").ok);
  EXPECT_TRUE(platform::DirectoryExists(dir / "a/logs"));
}

// --- Symbolic links below a root ------------------------------------------------------------

// Every operation on a path that crosses a link below its root fails and leaves the folder the
// link points to as it was; a last name that is a link is taken as the link. A root that is a
// link itself is the user's choice and works.
TEST(BelowRoot, NothingIsWrittenCreatedOrDeletedThroughALink) {
  enum Op { kForce, kCopyTo, kCopyFrom, kDelete, kRemove };
  const struct {
    const char* name;
    Op op;
    const char* path;  // below the root "root"
    int error;
    bool on_source;  // for copies
  } cases[] = {
      {"folder at a link", kForce, "link/", ENOTDIR, false},
      {"folder below a link", kForce, "link/new/deeper/", ENOTDIR, false},
      {"folder below a link deeper down", kForce, "real/inner/new/", ENOTDIR, false},
      {"copy into a linked folder", kCopyTo, "link/victim.txt", ENOTDIR, false},
      {"copy into a new file there", kCopyTo, "real/inner/planted.txt", ENOTDIR, false},
      {"copy out of a linked folder", kCopyFrom, "link/victim.txt", ENOTDIR, true},
      {"copy from a file that is a link", kCopyFrom, "file-link", ELOOP, true},
      {"delete through a link", kDelete, "link/victim.txt", ENOTDIR, false},
      {"remove through a link", kRemove, "link/sub/", ENOTDIR, false},
      {"remove a link as a folder", kRemove, "link/", ENOTDIR, false},
      {"delete the link itself", kDelete, "link", 0, false},
      {"copy over a link to a file", kCopyTo, "file-link", 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string root = dir / "root", outside = dir / "outside";
    WriteFile(outside + "/victim.txt", "outside's own");
    test::MakeDirs(outside + "/sub");
    test::MakeDirs(root + "/real");
    WriteFile(dir / "source.txt", "the copy's data");
    ASSERT_EQ(0, ::symlink(outside.c_str(), (root + "/link").c_str()));
    ASSERT_EQ(0, ::symlink(outside.c_str(), (root + "/real/inner").c_str()));
    ASSERT_EQ(0, ::symlink((outside + "/victim.txt").c_str(), (root + "/file-link").c_str()));
    const std::vector<std::string> outside_before = test::TreeOf(outside);

    const TRooted path = Below(root, c.path);
    int error = -1;
    bool on_source = false;
    int64_t size = -1;
    switch (c.op) {
      case kForce:
        error = Force(path).error;
        break;
      case kCopyTo:
      case kCopyFrom: {
        const TCopyRun run = c.op == kCopyTo ? Copy(Below(dir, "source.txt"), path, 15)
                                             : Copy(path, Below(root, "copy.txt"), 15);
        error = run.outcome.error;
        on_source = run.outcome.on_source;
        break;
      }
      case kDelete:
        error = Delete(path, size);
        break;
      case kRemove:
        error = Remove(path);
        break;
    }
    EXPECT_EQ(error, c.error) << platform::ErrorText(error);
    if (c.error != 0 && (c.op == kCopyTo || c.op == kCopyFrom)) {
      EXPECT_EQ(on_source, c.on_source);
    }
    EXPECT_EQ(test::TreeOf(outside), outside_before);
    EXPECT_FALSE(platform::FileExists(root + "/copy.txt"));
    if (c.op == kDelete && c.error == 0) {
      EXPECT_EQ(::access((root + "/link").c_str(), F_OK), -1);
      EXPECT_EQ(size, 0);  // a link has no size of its own to count
    }
    if (c.op == kCopyTo && c.error == 0) {
      EXPECT_EQ(ReadFile(path.path), "the copy's data");
    }
  }
}

// --- Paths longer than PATH_MAX -------------------------------------------------------------

/// A folder name of 200 bytes; 25 of them make a path far longer than PATH_MAX.
const std::string kLongName(200, 'd');
constexpr int kDeepLevels = 25;

/// `levels` times kLongName and a separator: a relative path below some root.
std::string DeepRel(int levels) {
  std::string rel;
  for (int i = 0; i < levels; ++i) rel += kLongName + "/";
  return rel;
}

/// The descriptor of `rel` below `root`, walked down with openat; invalid when it is not there.
platform::TUniqueFd OpenDeep(const std::string& root, const std::string& rel) {
  platform::TUniqueFd fd(::open(root.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  for (size_t pos = 0; fd.Valid() && pos < rel.size();) {
    const size_t end = rel.find('/', pos);
    const std::string name = rel.substr(pos, end - pos);
    fd = platform::TUniqueFd(::openat(fd.Get(), name.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    pos = end + 1;
  }
  return fd;
}

TEST(BelowRoot, AllFourOperationsWorkBeyondPathMax) {
  TempDir dir;
  // The path-based removal of the scratch folder cannot reach that deep.
  const struct TDeepGuard {
    std::string root;
    ~TDeepGuard() { test::RemoveTreeAt(AT_FDCWD, root); }
  } guard{dir / "deep"};
  const std::string left = dir / "deep/L", right = dir / "deep/R", deep = DeepRel(kDeepLevels);
  ASSERT_GT(right.size() + deep.size(), size_t(PATH_MAX));
  TSideFolders sides[2];
  for (const std::string& side : {left, right}) {
    const TForceResult forced = ForceFolders(Below(side, deep), sides[0]);
    ASSERT_TRUE(forced.ok) << platform::ErrorText(forced.error);
    ASSERT_TRUE(OpenDeep(side, deep).Valid());
  }
  {
    const platform::TUniqueFd file(
        ::openat(OpenDeep(left, deep).Get(), "f.txt", O_CREAT | O_WRONLY | O_CLOEXEC, 0640));
    ASSERT_EQ(::write(file.Get(), "deep data", 9), 9);
  }
  TStopAfter observer;
  EXPECT_EQ(CopyWith(Below(left, deep + "f.txt"), Below(right, deep + "f.txt"), sides[0], sides[1],
                     observer),
            0);
  {
    const platform::TUniqueFd file(
        ::openat(OpenDeep(right, deep).Get(), "f.txt", O_RDONLY | O_CLOEXEC));
    char buf[32] = {};
    EXPECT_EQ(::read(file.Get(), buf, sizeof buf), 9);
    EXPECT_STREQ(buf, "deep data");
    struct stat st {};
    ASSERT_EQ(0, ::fstat(file.Get(), &st));
    EXPECT_EQ(st.st_mode & 07777, 0640u);
  }
  for (const std::string& side : {left, right}) {
    int64_t size = 0;
    EXPECT_EQ(DeleteOneFile(Below(side, deep + "f.txt"), size, sides[0]), 0);
    EXPECT_EQ(size, 9);
    for (int level = kDeepLevels; level >= 1; --level)
      ASSERT_EQ(RemoveOneFolder(Below(side, DeepRel(level)), sides[0]), 0) << level;
  }
  EXPECT_EQ(ListNames(dir / "deep"), (std::vector<std::string>{"L", "R"}));
}

// --- Owner and set-ID bits ------------------------------------------------------------------

TEST(CopyOneFile, OwnerIsCarriedAsRootAndSetIdBitsOnlyWithIt) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root";
  constexpr unsigned kRoot = 0, kNobody = test::kNobody;
  const struct {
    bool as_root;
    unsigned uid, gid;  // the source's
    unsigned want_uid, want_gid;
    mode_t want_mode;  // the source has 06755
  } cases[] = {
      {true, kNobody, kNobody, kNobody, kNobody, 06755},
      {true, kRoot, kRoot, kRoot, kRoot, 06755},
      // Another owner's set-ID program must not become the copying user's.
      {false, kRoot, kRoot, kNobody, kNobody, 0755},
      {false, kNobody, kNobody, kNobody, kNobody, 06755},  // the user's own
      {false, kNobody, kRoot, kNobody, kNobody, 04755},    // the group was not carried
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.as_root << " " << c.uid << ":" << c.gid);
    TempDir dir;
    ASSERT_EQ(0, ::chmod(dir.path().c_str(), 0755));
    const TRooted src = Below(dir, "prog"), dst = Below(dir, "out/prog");
    WriteFile(src.path, "#!/bin/sh\n");
    test::MakeDirs(dir / "out");
    ASSERT_EQ(0, ::chmod((dir / "out").c_str(), 0777));
    ASSERT_EQ(0, ::chown(src.path.c_str(), c.uid, c.gid));
    ASSERT_EQ(0, ::chmod(src.path.c_str(), 06755));
    const auto copy = [&]() -> std::string {
      const TCopyRun run = Copy(src, dst, 10);
      return run.outcome.error ? platform::ErrorText(run.outcome.error) : "";
    };
    EXPECT_EQ(c.as_root ? copy() : test::RunAsNobody(copy), "");
    struct stat st {};
    ASSERT_EQ(0, ::stat(dst.path.c_str(), &st));
    EXPECT_EQ(st.st_uid, c.want_uid);
    EXPECT_EQ(st.st_gid, c.want_gid);
    EXPECT_EQ(st.st_mode & 07777, c.want_mode);
  }
}

// --- Temporary files and the leftovers of killed copies -------------------------------------

bool IsTempName(const std::string& name) {
  if (name.size() != 11 || !name.starts_with(".twn~")) return false;
  for (size_t i = 5; i < name.size(); ++i)
    if (!std::isalnum(static_cast<unsigned char>(name[i]))) return false;
  return true;
}

TEST(CopyOneFile, TheTemporaryFileIsLockedWhileItIsWritten) {
  TempDir dir;
  WriteFile(dir / "src.bin", Pattern(4 * kCopyBlockSize));
  test::MakeDirs(dir / "out");
  std::vector<std::string> seen;
  int lockable = 0;
  TStopAfter watch;
  watch.on_refresh = [&] {
    for (const std::string& name : ListNames(dir / "out")) {
      seen.push_back(name);
      const platform::TUniqueFd fd(::open((dir / "out/" + name).c_str(), O_RDONLY | O_CLOEXEC));
      if (fd.Valid() && ::flock(fd.Get(), LOCK_EX | LOCK_NB) == 0) ++lockable;
    }
  };
  TSideFolders sides[2];
  EXPECT_EQ(CopyWith(Below(dir, "src.bin"), Below(dir, "out/dst.bin"), sides[0], sides[1], watch),
            0);
  ASSERT_FALSE(seen.empty());
  for (const std::string& name : seen) EXPECT_TRUE(IsTempName(name)) << name;
  EXPECT_EQ(lockable, 0);
  EXPECT_EQ(ListNames(dir / "out"), std::vector<std::string>{"dst.bin"});
}

TEST(CopyOneFile, LeftoversOfKilledCopiesGoOncePerTargetFolder) {
  TempDir dir;
  const std::string out = dir / "out";
  WriteFile(dir / "src.txt", "data");
  WriteFile(dir / "secret.txt", "not to be touched");
  WriteFile(out + "/.twn~Ab12Cd", "a killed copy's");
  WriteFile(out + "/.twn~zz9999", "another");
  WriteFile(out + "/.twn~Busy01", "a copy still going on");
  WriteFile(out + "/.twn~notes.txt", "the user's own");
  WriteFile(out + "/.twn~Fold01/keep.txt", "a folder's");
  ASSERT_EQ(0, ::symlink((dir / "secret.txt").c_str(), (out + "/.twn~Link01").c_str()));
  ASSERT_EQ(0, ::mkfifo((out + "/.twn~Fifo01").c_str(), 0644));
  WriteFile(dir / "other/.twn~Else01", "in a folder no copy writes to");
  const platform::TUniqueFd busy(::open((out + "/.twn~Busy01").c_str(), O_RDONLY | O_CLOEXEC));
  ASSERT_EQ(0, ::flock(busy.Get(), LOCK_EX));

  TSideFolders sides[2];
  TStopAfter observer;
  const auto copy = [&](const char* target) {
    return CopyWith(Below(dir, "src.txt"), Below(dir, target), sides[0], sides[1], observer);
  };
  ASSERT_EQ(copy("out/a.txt"), 0);
  const std::vector<std::string> kept = {".twn~Busy01", ".twn~Fifo01",    ".twn~Fold01",
                                         ".twn~Link01", ".twn~notes.txt", "a.txt"};
  EXPECT_EQ(ListNames(out), kept);
  EXPECT_EQ(ReadFile(dir / "secret.txt"), "not to be touched");
  EXPECT_EQ(ListNames(dir / "other"), std::vector<std::string>{".twn~Else01"});

  // The next copy into the same folder does not look again; one into another folder and
  // back does.
  WriteFile(out + "/.twn~Late01", "left after the first look");
  ASSERT_EQ(copy("out/b.txt"), 0);
  EXPECT_TRUE(platform::FileExists(out + "/.twn~Late01"));
  test::MakeDirs(dir / "elsewhere");
  ASSERT_EQ(copy("elsewhere/c.txt"), 0);
  ASSERT_EQ(copy("out/d.txt"), 0);
  EXPECT_FALSE(platform::FileExists(out + "/.twn~Late01"));
  EXPECT_TRUE(platform::FileExists(out + "/.twn~Busy01"));
}

}  // namespace
}  // namespace twn
