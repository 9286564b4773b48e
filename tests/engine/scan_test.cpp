// The scan: table layout, the observer, growth of the tables, and the input a scan must survive
// (odd names, links, long paths, vanishing or unusable roots).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/engine_fixture.h"
#include "support/fault_support.h"

namespace twn::test {
namespace {

struct TRecordingObserver : TScanObserver {
  std::vector<std::string> lines;
  int progress_calls = 0, finished_calls = 0;
  int stop_after = -1;  // folders; -1 = never
  std::function<void(int)> on_progress;
  bool StopRequested() override { return stop_after >= 0 && progress_calls >= stop_after; }
  void ScanProgress(const TScanCounters&) override {
    ++progress_calls;
    if (on_progress) on_progress(progress_calls);
  }
  void ScanFinished(const TScanCounters&) override { ++finished_calls; }
  void AddFullLogLine(std::string_view line) override { lines.emplace_back(line); }
};

TEST(Scan, TablesHoldEachSideBreadthFirstInPairOrder) {
  TTwoTrees t;
  t.Make({"L:a/deep/f1.txt", "L:b/f2.txt", "L:top.txt", "R:c/"});
  TScanInfo info;
  TScanObserver quiet;
  for (int32_t pair : {0, 1}) {
    ASSERT_TRUE(info.ScanSide(pair, t.Root(kLeft), kLeft, true, quiet));
    ASSERT_TRUE(info.ScanSide(pair, t.Root(kRight) + "/", kRight, pair == 0, quiet));
  }
  std::vector<std::string> rel;
  for (int32_t i = 0; i < info.FolderCount(); ++i) rel.emplace_back(info.FolderRelativePath(i));
  ASSERT_EQ(11u, rel.size());
  // a/ and b/ come in listing order; sort those two only.
  std::sort(rel.begin() + 1, rel.begin() + 3);
  std::sort(rel.begin() + 7, rel.begin() + 9);
  // Pair 1's right side was scanned without subfolders: only its root.
  const std::vector<std::string> expected = {"", "a/", "b/", "a/deep/", "", "c/",
                                             "", "a/", "b/", "a/deep/", ""};
  EXPECT_EQ(expected, rel);
  for (int32_t i = 0; i < info.FolderCount(); ++i) {
    const TFolderEntry* f = info.Folder(i);
    EXPECT_EQ(i < 6 ? 0 : 1, f->pair) << i;
    EXPECT_EQ(f->rel_length == 0, f->root != 0) << i;
    EXPECT_TRUE(f->root ? f->parent == i
                        : f->parent < i && info.FolderRelativePath(i).starts_with(
                                               info.FolderRelativePath(f->parent)))
        << i;
  }
  EXPECT_EQ(1, info.Folder(0)->files_found);
  EXPECT_EQ(2, info.Folder(0)->subfolders_found);
  EXPECT_EQ(t.Root(kLeft) + "/", info.FolderPathOf(0));
  EXPECT_EQ(0, info.Folder(10)->subfolders_found);
  EXPECT_EQ(6, info.FileCount());
}

TEST(Scan, ExtensionIsWhatFollowsTheLastDot) {
  const std::map<std::string, std::string> expected = {
      {"archive.tar.gz", "gz"}, {"README", ""}, {"name.", ""}, {".profile", "profile"}};
  TTwoTrees t;
  for (const auto& [name, ext] : expected) t.File(kLeft, name);
  TScanInfo info;
  TScanObserver quiet;
  ASSERT_TRUE(info.ScanSide(0, t.Root(kLeft), kLeft, true, quiet));
  std::map<std::string, std::string> got;
  for (int32_t i = 0; i < info.FileCount(); ++i)
    got[std::string(info.FileName(i))] = info.FileExtension(i);
  EXPECT_EQ(expected, got);
}

TEST(Scan, ObserverGetsLinesProgressAndStop) {
  TTwoTrees t;
  t.Make({"L:a/1.txt", "L:b/2.txt", "R:c/3.txt"});
  TJobData job = t.Job(kMethodMirrorL);
  job.Pairs.push_back(job.Pairs[0]);
  TScanInfo info;
  info.Setup(job);
  info.SetScanThreads(1);  // one report per folder, in folder order
  TRecordingObserver observer;
  ASSERT_TRUE(info.ScanPairs(job.Pairs, observer));
  ASSERT_EQ(4u, observer.lines.size());
  EXPECT_TRUE(observer.lines[3].ends_with(" - Scanning folder '" + t.Root(kRight) + "' "));
  EXPECT_NE(std::string::npos, observer.lines[0].find("'" + t.Root(kLeft) + "' "));
  EXPECT_EQ(2 * (3 + 2), observer.progress_calls);
  EXPECT_EQ(1, observer.finished_calls);
  const TScanCounters& c = info.ScanCounters();
  EXPECT_EQ(6, c.folders_scanned[kLeft]);
  EXPECT_EQ(4, c.folders_scanned[kRight]);
  EXPECT_EQ(4, c.files_found[kLeft]);
  EXPECT_EQ(2, c.files_found[kRight]);
  EXPECT_GT(info.Plan().Count(), 0);

  // A stop during the second pair's left side: no comparison, no plan, no finish.
  info.Setup(job);
  TRecordingObserver stopping;
  stopping.stop_after = 6;
  EXPECT_FALSE(info.ScanPairs(job.Pairs, stopping));
  EXPECT_EQ(6, stopping.progress_calls);
  EXPECT_EQ(3u, stopping.lines.size());
  EXPECT_EQ(0, stopping.finished_calls);
  EXPECT_EQ(0, info.Items().Count());
  EXPECT_EQ(0, info.Plan().Count());
}

TEST(Scan, SmallGrowthStepsGiveTheSameResult) {
  TTwoTrees t;
  for (int i = 0; i < 30; ++i) {
    const std::string n = std::to_string(i), d = std::to_string(i % 4);
    t.File(kLeft, "d" + d + "/file" + n + ".txt", n, i);
    if (i % 3) t.File(kRight, "D" + d + "/FILE" + n + ".txt", n, i % 5);
  }
  const TJobData job = t.Job(kMethodUpdate);
  auto describe = [&job](TScanInfo& info) {
    RunJob(info, job);
    std::string out;
    const TItemList plan = info.Plan();
    for (int32_t i = 0; i < plan.Count(); ++i)
      out += std::to_string(plan.Action(i)) + plan.FolderPath(i, kLeft).path +
             std::string(plan.FileName(i, kLeft)) + "\n";
    return out;
  };
  TScanInfo normal;
  TScanInfo tiny(TTableSteps{1, 1, 1, 1});
  const std::string expected = describe(normal);
  EXPECT_FALSE(expected.empty());
  EXPECT_EQ(expected, describe(tiny));
  EXPECT_EQ(normal.PoolBytes(), tiny.PoolBytes());
  // Clear gives the memory back; a second run on the same object gives the same plan.
  tiny.Clear();
  EXPECT_EQ(0u, tiny.AllocatedBytes());
  EXPECT_EQ(expected, describe(tiny));
}

TEST(Scan, OddNamesAreKeptByteForByteAndLinksAreNeverFollowed) {
  TTwoTrees t;
  const std::vector<std::string> names = {"new\nline.txt", "what?.txt",        "caf\xc3\xa9.txt",
                                          "\xff\xfe.bin",  " lead and trail ", "*.txt"};
  for (const std::string& n : names) {
    t.File(kLeft, n, "left", 10);
    t.File(kRight, "sub\n/" + n, "r");
  }
  t.File(kLeft, "links/real.txt");
  ASSERT_EQ(0, ::symlink("..", t.Path(kLeft, "links/up").c_str()));   // its own parent
  ASSERT_EQ(0, ::symlink(".", t.Path(kLeft, "links/self").c_str()));  // itself
  ASSERT_EQ(0, ::symlink("real.txt", t.Path(kLeft, "links/link.txt").c_str()));
  ASSERT_EQ(0, ::symlink("/nowhere", t.Path(kLeft, "dangling").c_str()));
  ASSERT_EQ(0, ::mkfifo(t.Path(kLeft, "fifo").c_str(), 0600));
  for (bool keep_links : {false, true}) {
    SCOPED_TRACE(keep_links);
    TJobData job = t.Job(kMethodMirrorL);
    job.bCopyLinks = keep_links;
    TScanInfo info;
    RunJob(info, job);
    const TItemList items = info.Items();
    for (const std::string& n : names) {
      const int32_t i = FindItem(items, n);
      ASSERT_GE(i, 0) << n;
      EXPECT_EQ(paCopyToRight, items.Action(i)) << n;
      EXPECT_EQ(t.Root(kRight) + "/" + n, items.FilePath(i, kRight).path);
      EXPECT_EQ(paDeleteRight, ActionOf(info, "sub\n/" + n)) << n;
    }
    // Kept links are entries of their own; either way none is entered.
    EXPECT_EQ(2 * static_cast<int32_t>(names.size()) + 1 + (keep_links ? 4 : 0), info.FileCount());
    EXPECT_EQ(4, info.FolderCount());  // two roots, sub\n/ and links/
  }
}

TEST(Scan, UnusableRootsAreMissingAndRecordNothing) {
  TTwoTrees t;
  t.Make({"L:a.txt", "R:not_a_folder"});
  const struct {
    std::string right;
    int32_t method;
    int action;
  } cases[] = {
      {t.Path(kRight, "not_a_folder"), kMethodMirrorR, paNothing},
      {t.Path(kRight, "absent/deeper"), kMethodMirrorL, paCopyToRight},
      {"", kMethodMirrorR, paNothing},
      {"", kMethodMirrorL, paNothing},  // an empty path is never written to
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.right + " " + std::to_string(c.method));
    TJobData job = t.Job(c.method);
    job.Pairs[0].R_Path = c.right;
    TScanInfo info;
    RunJob(info, job);
    EXPECT_FALSE(info.RootExists(0, kRight));
    EXPECT_EQ(1, info.FileCount());
    EXPECT_EQ(c.action, ActionOf(info, "a.txt"));
    EXPECT_EQ(c.action ? paCreateRight : paNothing, ActionOf(info, ""));
    EXPECT_FALSE(info.MissingRootLine(0).empty());
  }
}

TEST(Scan, RootVanishingMidScanIsNotAnError) {
  TTwoTrees t;
  for (int i = 0; i < 5; ++i) t.File(kLeft, "d" + std::to_string(i) + "/f.txt");
  t.Folder(kRight, "");
  TJobData job = t.Job(kMethodMirrorL);
  TScanInfo info;
  info.Setup(job);
  TRecordingObserver observer;
  observer.on_progress = [&t](int calls) {
    if (calls == 2) std::filesystem::remove_all(t.Root(kLeft));
  };
  ASSERT_TRUE(info.ScanPairs(job.Pairs, observer));
  EXPECT_TRUE(info.RootExists(0, kLeft));  // it existed when the scan began
  EXPECT_LE(info.FileCount(), 1);
  EXPECT_EQ(7, info.FolderCount());  // the folders were listed before they vanished
}

/// Removes a chain of equally named folders, each holding one file, however deep it goes
/// (the scratch folder's own clean-up cannot pass the path limit).
TEST(Scan, PathsLongerThanTheSystemLimitAreScannedWhole) {
  TTwoTrees t;
  t.Make({"L:", "R:"});
  // A chain of 45 folders of 99 characters, each with a file: about 4,500 bytes, past PATH_MAX.
  const std::string name(99, 'n');
  int fd = ::open(t.Root(kLeft).c_str(), O_RDONLY | O_DIRECTORY);
  for (int level = 0; level < 45 && fd >= 0; ++level) {
    ASSERT_EQ(0, ::mkdirat(fd, name.c_str(), 0755));
    const int child = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
    ::close(fd);
    fd = child;
    ::close(::openat(fd, "f.txt", O_WRONLY | O_CREAT, 0644));
  }
  ASSERT_GE(fd, 0);
  ::close(fd);
  TScanInfo info;
  RunJob(info, t.Job(kMethodMirrorL));
  test::RemoveTreeAt(AT_FDCWD, t.Root(kLeft) + "/" + name);
  EXPECT_EQ(45, info.FileCount());
  EXPECT_EQ(2 + 45, info.FolderCount());
  EXPECT_EQ(0, info.ErrorCount());
  uint32_t longest = 0;
  for (int32_t i = 0; i < info.FolderCount(); ++i)
    longest = std::max(longest, info.Folder(i)->path_length);
  EXPECT_GT(longest, 4000u);
}

}  // namespace
}  // namespace twn::test
