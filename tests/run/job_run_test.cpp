// Whole runs of jobs on scratch trees: the trees they leave and the report lines they write.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <thread>

#include "run/job.h"
#include "run/job_thread.h"
#include "support/fault_support.h"
#include "support/run_fixture.h"
#include "support/test_support.h"

namespace twn {
namespace {

using test::Masked;
using test::Put;
using test::ReadFile;
using test::TreeOf;
using test::WriteFile;
using Lines = std::vector<std::string>;

constexpr int64_t kOld = 1'000'000'000;  // 2001
constexpr int64_t kNew = 1'100'000'000;  // 2004

/// True when `run` occurs in `lines` as consecutive lines.
bool Has(const Lines& lines, const Lines& run) {
  return std::search(lines.begin(), lines.end(), run.begin(), run.end()) != lines.end();
}

Lines Concat(std::initializer_list<Lines> parts) {
  Lines all;
  for (const Lines& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

/// The lines of a text with '\n' between them.
Lines Split(std::string_view text) {
  Lines lines;
  for (size_t end; (end = text.find('\n')) != text.npos; text.remove_prefix(end + 1))
    lines.emplace_back(text.substr(0, end));
  lines.emplace_back(text);
  return lines;
}

const std::string kSep(62, '=');
Lines Head(const std::string& name) {
  return {kSep, "TWN job '" + name + "' started at T", ""};
}
Lines Termination(const std::string& name) {
  return {"", "   *** The job '" + name + "' was terminated ***", "Terminated at T", kSep, ""};
}
/// A comparison or plan group: the title, a line per side, an empty line.
Lines Group(const std::string& title, const std::string& left, const std::string& right) {
  return {title, "   on left side: " + left, "   on right side: " + right, ""};
}

class JobRun : public ::testing::Test {
 protected:
  /// Trees that a mirror left to right turns equal: a new file, a new file in a new folder, a
  /// newer file over a read-only older one, a right single and an empty right folder.
  static void MirrorTrees(const std::string& l, const std::string& r) {
    Put(l + "/a.txt", "aaaaa");
    Put(l + "/sub/b.txt", "bbbbbbbbbb");
    Put(l + "/newdir/c.txt", "ccc");
    Put(r + "/sub/b.txt", "old!");
    Put(r + "/old.txt", "1234567");
    test::MakeDirs(r + "/gone");
    ::chmod((l + "/sub/b.txt").c_str(), 0640);
    ::chmod((r + "/sub/b.txt").c_str(), 0444);
    test::SetMTime(l + "/sub/b.txt", kNew, 5);
  }
  std::unique_ptr<TJob> Job(const std::string& name, int32_t method = kMethodMirrorL) {
    return test::MakeJob(name, L, R, method);
  }
  Lines Log(const TLineList& list) const { return Masked(list, dir.path()); }

  test::TempDir dir;
  const std::string L = dir / "L", R = dir / "R";
  test::TRunFixture run;
};

TEST_F(JobRun, MirrorLeavesEqualTreesAndWritesTheWholeReport) {
  MirrorTrees(L, R);
  auto job = Job("Mirror");
  run.Run(*job, rmCompareAndSync);

  EXPECT_EQ(TreeOf(R), TreeOf(L));
  struct stat st {};
  ASSERT_EQ(0, ::stat((R + "/sub/b.txt").c_str(), &st));
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(st.st_mtim.tv_sec, kNew);
  EXPECT_EQ(st.st_mtim.tv_nsec, 5);

  const Lines ops = {"Ok Folder creating: 'D/R/newdir/",
                     "Ok Copying: 'D/L/a.txt' (5 bytes) -> 'D/R/a.txt",
                     "Ok Copying: 'D/L/newdir/c.txt' (3 bytes) -> 'D/R/newdir/c.txt",
                     "Ok Copying: 'D/L/sub/b.txt' (10 bytes) -> 'D/R/sub/b.txt",
                     "Ok Deleting: 'D/R/old.txt",
                     "Ok Folder removing: 'D/R/gone/"};
  const Lines created = {"Created folders:", "   left side: none", "   right side: 1",
                         "   errors creating folders: none", ""};
  // Copies from left to right are counted under "to right side".
  const Lines copied = {"Copied files:", "   to left side: none", "   to right side: 3 [18 bytes]",
                        "   errors copying: none", ""};
  const Lines deleted = {"Deleted files:", "   left side: none", "   right side: 1 [7 bytes]",
                         "   errors deleting: none", ""};
  const Lines removed = {"Removed folders:", "   left side: none", "   right side: 1",
                         "   errors removing folders: none", ""};
  const Lines results = Concat({{"*** Synchronization results ***"},
                                copied,
                                deleted,
                                created,
                                removed,
                                {"Job completed T", kSep, ""}});
  const Lines full = Concat({
      Head("Mirror"),
      {"*** Scanning folders ***", "T - Scanning folder 'D/L' ", "T - Scanning folder 'D/R' ", "",
       "*** Comparison results ***"},
      Group("Newer duplicates files:", "1 [10 bytes]", "none"),
      Group("Older duplicates files:", "none", "1 [4 bytes]"),
      Group("Unequal files (same time):", "none", "none"),
      Group("Equal files by rules:", "none", "none"),
      Group("Single files:", "2 [8 bytes]", "1 [7 bytes]"),
      Group("Total files:", "3 [18 bytes]", "2 [11 bytes]"),
      {"*** Synchronization plan ***"},
      Group("Files to copy:", "3 [18 bytes]", "none"),
      Group("Files to delete:", "none", "1 [7 bytes]"),
      Group("Files to be overwritten:", "none", "1 [4 bytes]"),
      Group("Folders to create:", "none", "1"),
      Group("Folders to remove:", "none", "1"),
      Group("Total files changes:", "none", "1 [7 bytes]"),
      {"*** Creating New Folders ***", "T - " + ops[0]},
      created,
      {"*** Copying Files ***", "T - " + ops[1], "T - " + ops[2], "T - " + ops[3]},
      copied,
      {"*** Deleting Files ***", "T - " + ops[4]},
      deleted,
      {"*** Removing Folders ***", "T - " + ops[5]},
      removed,
      results,
  });
  EXPECT_EQ(Log(job->FullLog), full);
  EXPECT_EQ(Log(job->SummaryLog), Concat({Head("Mirror"), results}));
  EXPECT_EQ(Log(job->ErrorLog), Concat({Head("Mirror"), {""}, results}));
  EXPECT_EQ(Log(job->OperationLog), ops);

  const TJobSafeProgress& p = job->Progress;
  EXPECT_EQ(p.Stage, rsCompleted);
  // Files to copy, copied, to delete, deleted; folders to create, created, removed, scanned;
  // files found on the right.
  EXPECT_EQ((std::array{p.FilesToCopy, p.FilesCopiedLeft, p.FilesToDelete, p.FilesDeletedRight,
                        p.FoldersToCreate, p.FoldersCreatedRight, p.FoldersRemovedRight,
                        p.FoldersScannedLeft, p.FilesFoundRight}),
            (std::array{3, 3, 1, 1, 1, 1, 1, 3, 2}));
  EXPECT_EQ(Join32(p.BytesCopiedLeftHigh, p.BytesCopiedLeftLow), 18);
  EXPECT_EQ(Join32(p.BytesDeletedRightHigh, p.BytesDeletedRightLow), 7);
  EXPECT_FALSE(job->HadErrors());
  EXPECT_EQ(job->State, jsNothing);
  EXPECT_GE(run.Count(WM_JOBPROGRESS, job->JobID), 6);
  EXPECT_EQ(run.Count(WM_JOBFINISHED, job->JobID), 1);

  // A second run finds nothing to do and writes no synchronization lines.
  run.Run(*job, rmCompareAndSync);
  EXPECT_EQ(Log(job->FullLog).back(), "");
  EXPECT_FALSE(Has(Log(job->FullLog), {"*** Creating New Folders ***"}));
  EXPECT_EQ(Log(job->SummaryLog), Head("Mirror"));
}

TEST_F(JobRun, CompareOnlyChangesNothingThenSyncOnlyCarriesThePlanOut) {
  MirrorTrees(L, R);
  const Lines left_before = TreeOf(L), right_before = TreeOf(R);
  auto job = Job("Two halves");
  run.Run(*job, rmCompareOnly);
  EXPECT_EQ(TreeOf(L), left_before);
  EXPECT_EQ(TreeOf(R), right_before);
  EXPECT_EQ(job->Progress.Stage, rsScanning);
  EXPECT_EQ(Log(job->SummaryLog), Head("Two halves"));
  EXPECT_EQ(Log(job->ErrorLog), Head("Two halves"));
  const Lines compare_lines = job->FullLog.Lines();
  const platform::TDateTime last_run = job->LastRun;

  run.Run(*job, rmSyncOnly);
  EXPECT_EQ(TreeOf(R), TreeOf(L));
  EXPECT_EQ(job->LastRun, last_run);
  EXPECT_EQ(job->Progress.Stage, rsCompleted);
  const Lines all = job->FullLog.Lines();
  ASSERT_GT(all.size(), compare_lines.size());
  EXPECT_TRUE(std::equal(compare_lines.begin(), compare_lines.end(), all.begin()));
  EXPECT_EQ(all[compare_lines.size()], "*** Creating New Folders ***");
}

TEST_F(JobRun, StartIsRefusedWhileARunIsGoingOn) {
  MirrorTrees(L, R);
  auto job = Job("Busy");
  ASSERT_TRUE(job->Start(run.host, 1, rmCompareOnly));
  // The worker waits for its first refresh, which only this thread can serve.
  const platform::TDateTime last_run = job->LastRun;
  job->FullLog.Add("marker");
  EXPECT_FALSE(job->Start(run.host, 1, rmCompareAndSync));
  EXPECT_EQ(job->LastRun, last_run);
  EXPECT_EQ(job->RunMode, rmCompareOnly);
  run.ServeUntilFinished({job.get()});
  EXPECT_TRUE(Has(job->FullLog.Lines(), {"marker"}));  // the refused start emptied nothing
}

// Every point where a run notices a stop, each reached at an exact refresh: the run ends with
// the termination block right there, leaves no plan behind and nothing else done.
TEST_F(JobRun, AStopIsNoticedAtEachStopPointAndNothingMoreIsDone) {
  const Lines untouched = {"0.txt=0", "1.txt=1", "a.txt=old target"};
  const Lines created = {"0.txt=0", "1.txt=1", "a.txt=old target", "n1/", "n2/"};
  const Lines deleted = {"1.txt=1", "a.txt=a", "b.txt=b", "n1/", "n1/x.txt=x", "n2/"};
  const struct {
    const char* name;
    TRunStage stage;  // the stop comes at the first refresh of this stage
    bool scanned;     // and, while scanning, once both roots are listed
    bool vanish;      // the sources of a.txt and b.txt go with the stop
    Lines right;
    const char* tail;  // the full log's last lines before the termination block
  } cases[] = {
      {"scan", rsScanning, false, false, untouched,
       "*** Scanning folders ***\nT - Scanning folder 'D/L' "},
      {"plan summary", rsScanning, true, false, untouched,
       "Total files changes:\n   on left side: none\n   on right side: 0 [-9 bytes]"},
      // The folders stage runs to its end.
      {"folders", rsCreatingFolders, false, false, created,
       "*** Creating New Folders ***\nT - Ok Folder creating: 'D/R/n1/\n"
       "T - Ok Folder creating: 'D/R/n2/"},
      {"copy", rsCopying, false, false, created, "*** Copying Files ***"},
      // A copy that fails before it looks at the stop: the next one is not tried.
      {"between copies", rsCopying, false, true, created,
       "*** Copying Files ***\nT - error Copying: 'D/L/a.txt' -> 'D/R/a.txt\n"
       "   *** No such file or directory *** for 'D/L/a.txt'"},
      {"between deletions", rsDeleting, false, false, deleted,
       "*** Deleting Files ***\nT - Ok Deleting: 'D/R/0.txt"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(L);
    std::filesystem::remove_all(R);
    Put(L + "/a.txt", "a", kNew);
    Put(L + "/b.txt", "b");
    Put(L + "/n1/x.txt", "x");
    test::MakeDirs(L + "/n2");
    Put(R + "/a.txt", "old target");
    Put(R + "/0.txt", "0");  // deleted in this order, before the copies' entries
    Put(R + "/1.txt", "1");
    auto job = Job("Stop");
    bool stopped = false;
    test::TInterceptHost host(run.host, [&] {
      const TJobSafeProgress& p = job->Progress;
      if (stopped || p.Stage != c.stage || (c.scanned && p.FoldersScannedRight != 1)) return;
      if (c.vanish) ::unlink((L + "/a.txt").c_str()), ::unlink((L + "/b.txt").c_str());
      job->Stop();
      stopped = true;
    });
    run.Run(*job, rmCompareAndSync, &host);
    const Lines full = Log(job->FullLog), tail = Concat({Split(c.tail), Termination("Stop")});
    ASSERT_GE(full.size(), tail.size());
    EXPECT_EQ(Lines(full.end() - long(tail.size()), full.end()), tail);
    EXPECT_EQ(Log(job->SummaryLog), Concat({Head("Stop"), Termination("Stop")}));
    EXPECT_EQ(TreeOf(R), c.right);
    EXPECT_EQ(job->Progress.Stage, rsTerminated);
    EXPECT_TRUE(job->ScanInfo.Terminated());
    job->Stop();                // after the end: touches nothing
    run.Run(*job, rmSyncOnly);  // no plan is left to carry out
    EXPECT_EQ(Log(job->FullLog), full);
    EXPECT_EQ(TreeOf(R), c.right);
  }
}

// Faults met while the plan is carried out: the compare half runs first, then the tree is
// changed behind the plan's back, then the synchronization half runs.
TEST_F(JobRun, FailedOperationsAreReportedCountedAndTheRunGoesOn) {
  Put(L + "/vanished.txt", "gone before the copy");
  Put(L + "/z.txt", "still copied");
  Put(R + "/gone/keep.txt", "");  // the plan removes R/gone only once it is emptied
  auto job = Job("Faults");
  run.Run(*job, rmCompareOnly);
  ::unlink((L + "/vanished.txt").c_str());
  WriteFile(R + "/gone/late.txt", "arrived after the scan");
  run.Run(*job, rmSyncOnly);

  const Lines copy_error = {"T - error Copying: 'D/L/vanished.txt' -> 'D/R/vanished.txt",
                            "   *** No such file or directory *** for 'D/L/vanished.txt'"};
  const std::string remove_error = "T - error Folder removing: Directory not empty: 'D/R/gone/";
  const Lines full = Log(job->FullLog), errors = Log(job->ErrorLog);
  EXPECT_TRUE(Has(full, copy_error));
  EXPECT_TRUE(Has(full, {"T - Ok Copying: 'D/L/z.txt' (12 bytes) -> 'D/R/z.txt"}));
  EXPECT_TRUE(Has(full, {"T - Ok Deleting: 'D/R/gone/keep.txt"}));
  EXPECT_TRUE(Has(full, {remove_error}));
  EXPECT_TRUE(Has(full, {"   errors copying: 1"}));
  EXPECT_TRUE(Has(errors, copy_error));
  EXPECT_TRUE(Has(errors, {remove_error}));
  EXPECT_TRUE(Has(Log(job->OperationLog), {"error Folder removing: 'D/R/gone/"}));

  const TJobSafeProgress& p = job->Progress;
  EXPECT_EQ(p.CopyErrorsLeft, 1);
  EXPECT_EQ(p.FilesCopiedLeft, 1);
  EXPECT_EQ(p.RemoveErrorsRight, 1);
  EXPECT_EQ(p.KbCopied, p.KbToCopy);  // the failed copy still moved the position past it
  EXPECT_TRUE(job->HadErrors());
  EXPECT_EQ(ReadFile(R + "/z.txt"), "still copied");
}

TEST_F(JobRun, ProtectedTargetFoldersAreNamedInTheirErrorLines) {
  Put(L + "/locked/a.txt", "new", kNew);
  Put(L + "/newdir/b.txt", "b");
  Put(L + "/open/c.txt", "c");
  Put(R + "/locked/a.txt", "old");
  test::MakeDirs(R + "/open");
  const test::ScopedImmutable locked({R + "/locked", R});
  if (!locked.ok()) GTEST_SKIP() << "no immutable attribute here";
  auto job = Job("Locked");
  run.Run(*job, rmCompareAndSync);
  const Lines errors = Log(job->ErrorLog);
  EXPECT_TRUE(Has(errors, {"T - error Folder creating: Operation not permitted: 'D/R/newdir/"}));
  EXPECT_TRUE(Has(errors, {"T - error Copying: 'D/L/locked/a.txt' -> 'D/R/locked/a.txt",
                           "   *** Operation not permitted *** for 'D/R/locked/a.txt'"}));
  EXPECT_TRUE(Has(errors, {"   *** No such file or directory *** for 'D/R/newdir/b.txt'"}));
  EXPECT_EQ(job->Progress.CreateErrorsRight, 1);
  EXPECT_EQ(job->Progress.CopyErrorsLeft, 2);
  EXPECT_EQ(ReadFile(R + "/open/c.txt"), "c");  // the run went on
  EXPECT_EQ(ReadFile(R + "/locked/a.txt"), "old");
}

// Links below a root: the scan skips them (a job that does not keep links), and a link may also
// take a folder's place between the scan and the synchronization. Nothing is written, created,
// read or deleted through either; every such operation fails with its error line, and the run
// goes on.
TEST_F(JobRun, NothingIsWrittenOrDeletedThroughALinkBelowARoot) {
  const std::string outside = dir / "outside", secret = dir / "secret", other = dir / "other";
  Put(outside + "/f.txt", "outside's own");
  Put(L + "/sub/f.txt", "new", kNew);
  Put(L + "/sub/g.txt", "g");
  Put(L + "/from/s.txt", "s");
  Put(L + "/plain.txt", "plain");
  Put(R + "/keep/x.txt", "x");        // the mirror deletes it
  test::MakeDirs(R + "/keep/empty");  // and removes its folders
  ASSERT_EQ(0, ::symlink(outside.c_str(), (R + "/sub").c_str()));
  auto job = Job("Links");
  job->Data.bCopyLinks = false;
  run.Run(*job, rmCompareOnly);
  // Behind the plan's back, folders it reads from and deletes in become links to the outside.
  Put(secret + "/s.txt", "secret");
  Put(other + "/x.txt", "other's own");
  test::MakeDirs(other + "/empty");
  std::filesystem::remove_all(L + "/from");
  std::filesystem::remove_all(R + "/keep");
  ASSERT_EQ(0, ::symlink(secret.c_str(), (L + "/from").c_str()));
  ASSERT_EQ(0, ::symlink(other.c_str(), (R + "/keep").c_str()));
  run.Run(*job, rmSyncOnly);

  EXPECT_EQ(TreeOf(outside), Lines{"f.txt=outside's own"});
  EXPECT_EQ(TreeOf(other), (Lines{"empty/", "x.txt=other's own"}));
  EXPECT_EQ(ReadFile(R + "/plain.txt"), "plain");  // the run went on
  EXPECT_EQ(test::ListNames(R + "/from"), Lines{});
  const Lines errors = Log(job->ErrorLog);
  EXPECT_TRUE(Has(errors, {"T - error Folder creating: Not a directory: 'D/R/sub/"}));
  EXPECT_TRUE(Has(errors, {"T - error Copying: 'D/L/sub/f.txt' -> 'D/R/sub/f.txt",
                           "   *** Not a directory *** for 'D/R/sub/f.txt'"}));
  EXPECT_TRUE(Has(errors, {"T - error Copying: 'D/L/from/s.txt' -> 'D/R/from/s.txt",
                           "   *** Not a directory *** for 'D/L/from/s.txt'"}));
  EXPECT_TRUE(Has(errors, {"T - error Deleting: D/R/keep/x.txt",
                           "   *** Not a directory *** for 'D/R/keep/x.txt'"}));
  EXPECT_TRUE(Has(errors, {"T - error Folder removing: Not a directory: 'D/R/keep/empty/"}));
  // The link in the removed folder's own place is not taken for the folder.
  EXPECT_TRUE(Has(errors, {"T - error Folder removing: Not a directory: 'D/R/keep/"}));
  const TJobSafeProgress& p = job->Progress;
  EXPECT_EQ((std::array{p.CreateErrorsRight, p.CopyErrorsLeft, p.FilesCopiedLeft,
                        p.DeleteErrorsRight, p.RemoveErrorsRight}),
            (std::array{1, 3, 1, 1, 2}));
}

// Roots that are links are the user's choice: the run reads and writes through them.
TEST_F(JobRun, RootsThatAreLinksAreSynchronizedThroughThem) {
  MirrorTrees(L, R);
  const std::string left = dir / "L-link", right = dir / "R-link";
  ASSERT_EQ(0, ::symlink(L.c_str(), left.c_str()));
  ASSERT_EQ(0, ::symlink(R.c_str(), right.c_str()));
  auto job = test::MakeJob("Linked roots", left, right, kMethodMirrorL);
  run.Run(*job, rmCompareAndSync);
  EXPECT_FALSE(job->HadErrors());
  EXPECT_EQ(TreeOf(R), TreeOf(L));
}

TEST_F(JobRun, DeletingOnBothSidesAndRemovingDeepestFirst) {
  Put(L + "/same.txt", "same");
  Put(R + "/same.txt", "same");
  test::MakeDirs(R + "/x/y/z");
  test::MakeDirs(L + "/keep");
  test::MakeDirs(R + "/keep");
  auto job = Job("Custom", kMethodCustom);
  job->Data.idxEqualL = 1;  // delete equal files on the left
  job->Data.idxEqualR = 1;  // and on the right: action 3
  job->Data.Empty_RemoveR = true;
  run.Run(*job, rmCompareAndSync);
  EXPECT_EQ(job->Progress.FilesToDelete, 2);
  EXPECT_EQ(job->Progress.FilesDeletedLeft, 1);
  EXPECT_EQ(job->Progress.FilesDeletedRight, 1);
  EXPECT_EQ(Log(job->OperationLog),
            (Lines{"Ok Deleting: 'D/L/same.txt", "Ok Deleting: 'D/R/same.txt",
                   "Ok Folder removing: 'D/R/x/y/z/", "Ok Folder removing: 'D/R/x/y/",
                   "Ok Folder removing: 'D/R/x/", "Ok Folder removing: 'D/R/keep/"}));
}

TEST_F(JobRun, JobWithoutPairsWritesAnEmptyComparison) {
  TJob job(NewJobID());
  job.Data.JobName = "Empty";
  run.Run(job, rmCompareAndSync);
  const Lines full = Masked(job.FullLog);
  ASSERT_EQ(full.size(), 3u + 1 + 1 + 25 + 25);
  EXPECT_EQ(full[3], "*** Scanning folders ***");
  EXPECT_EQ(full[4], "");
  EXPECT_EQ(std::count(full.begin(), full.end(), "   on left side: none"), 12);
  EXPECT_EQ(full.back(), "");
  EXPECT_EQ(job.Progress.Stage, rsScanning);
}

TEST_F(JobRun, WithoutNotifyWindowNothingIsPostedAndTheRunEnds) {
  MirrorTrees(L, R);
  auto job = Job("Quiet");
  ASSERT_TRUE(job->Start(run.host, kNoNotifyWindow, rmCompareAndSync));
  while (!job->RunThread->Finished()) run.host.ServeFor(std::chrono::milliseconds(10));
  job->ResetAfterRun();
  EXPECT_TRUE(run.posted.empty());
  EXPECT_EQ(TreeOf(R), TreeOf(L));
}

TEST(QueueHost, SynchronizedCallsRunOnTheServingThread) {
  std::thread::id ran_on;
  test::TRunFixture run;
  std::thread worker([&] {
    run.host.Synchronize([&] { ran_on = std::this_thread::get_id(); });
    run.host.PostMessage(3, WM_JOBFINISHED, 9);
  });
  while (run.Count(WM_JOBFINISHED, 9) == 0) run.host.ServeFor(std::chrono::milliseconds(10));
  worker.join();
  EXPECT_EQ(ran_on, std::this_thread::get_id());
  run.host.Synchronize([&] { ran_on = {}; });  // on the main thread itself: at once
  EXPECT_EQ(ran_on, std::thread::id{});
}

TEST_F(JobRun, ThreeJobsRunAtOnce) {
  std::vector<std::unique_ptr<TJob>> jobs;
  for (int i = 0; i < 3; ++i) {
    const std::string l = dir / (std::to_string(i) + "L"), r = dir / (std::to_string(i) + "R");
    MirrorTrees(l, r);
    WriteFile(l + "/own.txt", std::string(100000 * (i + 1), char('0' + i)));
    jobs.push_back(test::MakeJob("Job " + std::to_string(i), l, r, kMethodMirrorL));
    ASSERT_TRUE(jobs.back()->Start(run.host, 10 + i, rmCompareAndSync));
  }
  run.ServeUntilFinished({jobs[0].get(), jobs[1].get(), jobs[2].get()});
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const TPairItem& pair = jobs[i]->Data.Pairs[0];
    EXPECT_EQ(TreeOf(pair.R_Path), TreeOf(pair.L_Path));
    EXPECT_EQ(Masked(jobs[i]->SummaryLog)[1],
              "TWN job 'Job " + std::to_string(i) + "' started at T");
    EXPECT_EQ(jobs[i]->Progress.FilesCopiedLeft, 4);
    EXPECT_FALSE(jobs[i]->HadErrors());
  }
  for (const test::TPosted& p : run.posted) EXPECT_EQ(p.window, 10 + (p.job_id - jobs[0]->JobID));
}

}  // namespace
}  // namespace twn
