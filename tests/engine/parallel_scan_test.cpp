// The scan on several threads against the scan on one thread: the same tables, name pool,
// items, plan, counters and lines; a stop that ends it; the observer only ever called on the
// calling thread.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "engine/engine_fixture.h"
#include "engine/scan_text.h"
#include "platform/fs.h"
#include "support/fault_support.h"

namespace twn::test {
namespace {

struct TLineObserver : TScanObserver {
  std::string lines;
  int progress = 0, stop_after = -1;
  std::thread::id caller = std::this_thread::get_id();
  bool foreign_call = false;
  void Note() { foreign_call |= std::this_thread::get_id() != caller; }
  bool StopRequested() override { return Note(), stop_after >= 0 && progress >= stop_after; }
  void ScanProgress(const TScanCounters&) override { Note(), ++progress; }
  void AddFullLogLine(std::string_view line) override { Add("full", line); }
  void AddErrorLine(std::string_view line) override { Add("error", line); }
  // The time stamp before " - " may tick between two runs.
  void Add(std::string_view kind, std::string_view line) {
    Note();
    lines.append(kind).append(line.substr(line.find(" - "))).push_back('\n');
  }
};

/// Scans the pairs on `threads` threads and answers the dump and the lines.
std::string ScanWith(int threads, const TJobData& job) {
  TScanInfo info(TTableSteps{2, 3, 5, 64});  // small steps: every append grows the tables
  info.Setup(job);
  info.SetScanThreads(threads);
  TLineObserver observer;
  if (!info.ScanPairs(job.Pairs, observer)) return "stopped";
  if (observer.foreign_call) return "observer called on another thread";
  return ScanText(info) + observer.lines;
}

class ParallelScan : public ::testing::Test {
 protected:
  ParallelScan() {
    for (int i = 0; i < 40; ++i) {
      const std::string n = std::to_string(i), d = "d" + std::to_string(i % 5) + "/";
      t.File(kLeft, d + "sub" + std::to_string(i % 3) + "/f" + n + ".txt", n, i);
      if (i % 4) t.File(kRight, (i % 2 ? "D" : "d") + d.substr(1) + "F" + n + ".TXT", n, i % 7);
    }
    t.Make({"L:a/b/c/deep.txt", "R:only/right/x", "L:twins/Same", "L:twins/same", "R:twins/SAME"});
  }
  /// Pairs that cover the scan's paths: an ordinary pair, a pair of one folder with itself, a
  /// pair whose right root lies inside its left one, a missing root, a pair below the roots.
  TJobData Job() const {
    TJobData job = t.Job(kMethodMirrorL);
    auto add = [&job](std::string left, std::string right) {
      TPairItem p = job.Pairs[0];
      p.L_Path = std::move(left);
      p.R_Path = std::move(right);
      job.Pairs.push_back(p);
    };
    add(t.Root(kLeft), t.Root(kLeft));
    add(t.Root(kLeft), t.Path(kLeft, "d1"));
    add(t.Path(kLeft, "a"), t.Path(kRight, "missing"));
    add(t.Path(kLeft, "d2"), t.Path(kRight, "D2"));
    return job;
  }
  TTwoTrees t;
};

TEST_F(ParallelScan, GivesWhatOneThreadGives) {
  const TJobData job = Job();
  const std::string one = ScanWith(1, job);
  ASSERT_NE(std::string::npos, one.find("error - error Folder pair: "));
  for (int threads : {2, 3, 8})
    for (int round = 0; round < 3; ++round) EXPECT_EQ(one, ScanWith(threads, job)) << threads;
}

TEST_F(ParallelScan, FoldersThatCannotBeReadAreReportedInOrder) {
  const std::string root = t.Root(kLeft) + "/..";
  ASSERT_EQ(0, ::lchown(root.c_str(), kNobody, kNobody));
  for (const auto& e : std::filesystem::recursive_directory_iterator(root))
    ASSERT_EQ(0, ::lchown(e.path().c_str(), kNobody, kNobody));
  ASSERT_EQ(0, ::chmod(t.Path(kLeft, "d3").c_str(), 0));
  ASSERT_EQ(0, ::chmod(t.Path(kRight, "d4").c_str(), 0));
  ASSERT_EQ(0, ::chmod(t.Path(kRight, "D2").c_str(), 0));  // the last pair's right root
  const TJobData job = Job();
  const std::string answer = RunAsNobody([&job]() -> std::string {
    const std::string one = ScanWith(1, job);
    if (one.find("Permission denied") == std::string::npos) return "no error line:\n" + one;
    for (int threads : {2, 3})
      if (ScanWith(threads, job) != one) return "differs";
    return "";
  });
  EXPECT_EQ("", answer);
}

TEST_F(ParallelScan, StopEndsTheScanWithoutAPlan) {
  const TJobData job = Job();
  for (int stop_after : {0, 1, 3, 20}) {
    TScanInfo info;
    info.Setup(job);
    info.SetScanThreads(2);
    TLineObserver observer;
    observer.stop_after = stop_after;
    EXPECT_FALSE(info.ScanPairs(job.Pairs, observer)) << stop_after;
    EXPECT_FALSE(observer.foreign_call);
    EXPECT_EQ(0, info.Items().Count());
    EXPECT_EQ(0, info.Plan().Count());
    // The object is ready for the next run.
    info.Setup(job);
    EXPECT_TRUE(info.ScanPairs(job.Pairs));
    EXPECT_GT(info.Plan().Count(), 0);
  }
}

// A part is appended slice by slice from its end; a table of several slices must arrive whole.
TEST(ScanTable, MoveAppendCarriesEveryRecordAndEmptiesTheSource) {
  TTable<int64_t> to(7), from(1000);
  to.Append(-1);
  for (int64_t i = 0; i < 300'000; ++i) from.Append(i);
  MoveAppend(to, from, [](int64_t& v) { v *= 2; });
  EXPECT_EQ(0u, from.Capacity());
  ASSERT_EQ(300'001, to.Count());
  int64_t wrong = to[0] == -1 ? 0 : 1;
  for (int32_t i = 1; i < to.Count(); ++i) wrong += to[i] != 2 * (i - 1);
  EXPECT_EQ(0, wrong);

  TNamePool pool(16), part(1 << 20);
  pool.Add("root");
  std::string expected = std::string("root") + '\0';
  for (int i = 0; i < 400'000; ++i) {
    const std::string name = "name" + std::to_string(i);
    part.Add(name);
    expected.append(name).push_back('\0');
  }
  pool.MoveAppend(part);
  EXPECT_EQ(0u, part.Capacity());
  EXPECT_EQ(expected, std::string_view(pool.Data(), pool.Fill()));
}

TEST(SlowFileSystem, NetworkAndUserSpaceFileSystemsAreSlow) {
  for (int64_t type : {0x6969LL, 0xFF534D42LL, 0xFE534D42LL, 0x65735546LL})
    EXPECT_TRUE(platform::IsSlowFileSystemType(type));
  for (int64_t type :
       {0xEF53LL, 0x01021994LL, 0x58465342LL, 0x9123683ELL})  // ext4, tmpfs, xfs, btrfs
    EXPECT_FALSE(platform::IsSlowFileSystemType(type));
  TempDir dir;
  // A missing folder is judged by the nearest folder that exists.
  EXPECT_FALSE(platform::OnSlowFileSystem(dir / "not/yet/there"));
  EXPECT_FALSE(platform::OnSlowFileSystem(""));
}

}  // namespace
}  // namespace twn::test
