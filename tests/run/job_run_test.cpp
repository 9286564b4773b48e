// Whole runs of jobs on scratch trees: the trees they leave and the report lines they write.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <thread>

#include "model/job.h"
#include "run/job_thread.h"
#include "support/fault_support.h"
#include "support/run_fixture.h"
#include "support/test_support.h"

namespace twn {
namespace {

using test::Masked;
using test::ReadFile;
using test::TempDir;
using test::TreeOf;
using test::WriteFile;
using Lines = std::vector<std::string>;

constexpr int64_t kOld = 1'000'000'000;  // 2001
constexpr int64_t kNew = 1'100'000'000;  // 2004

bool Has(const Lines& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

Lines Concat(std::initializer_list<Lines> parts) {
  Lines all;
  for (const Lines& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

const std::string kSep(62, '=');
Lines Head(const std::string& name) {
  return {kSep, "TWN job '" + name + "' started at T", ""};
}
Lines Termination(const std::string& name) {
  return {"", "   *** The job '" + name + "' was terminated ***", "Terminated at T", kSep, ""};
}

// A left and a right tree that a mirror left to right turns equal: a new file, a new file in a
// new folder, a newer file over a read-only older one, a right single and an empty right folder.
struct TMirrorTrees {
  TempDir dir;
  std::string L = dir / "L", R = dir / "R";
  TMirrorTrees() {
    WriteFile(L + "/a.txt", "aaaaa");
    WriteFile(L + "/sub/b.txt", "bbbbbbbbbb");
    WriteFile(L + "/newdir/c.txt", "ccc");
    WriteFile(R + "/sub/b.txt", "old!");
    WriteFile(R + "/old.txt", "1234567");
    test::MakeDirs(R + "/gone");
    ::chmod((L + "/sub/b.txt").c_str(), 0640);
    ::chmod((R + "/sub/b.txt").c_str(), 0444);
    test::SetMTime(L + "/sub/b.txt", kNew, 5);
    test::SetMTime(R + "/sub/b.txt", kOld);
  }
};

TEST(JobRun, MirrorLeavesEqualTreesAndWritesTheWholeReport) {
  TMirrorTrees t;
  auto job = test::MakeJob("Mirror", t.L, t.R, kMethodMirrorL);
  test::TRunFixture run;
  run.Run(*job, rmCompareAndSync);

  EXPECT_EQ(TreeOf(t.R), TreeOf(t.L));
  struct stat st {};
  ASSERT_EQ(0, ::stat((t.R + "/sub/b.txt").c_str(), &st));
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(st.st_mtim.tv_sec, kNew);
  EXPECT_EQ(st.st_mtim.tv_nsec, 5);

  const Lines results = {"*** Synchronization results ***",
                         "Copied files:",
                         "   to left side: 3 [18 bytes]",
                         "   to right side: none",
                         "   errors copying: none",
                         "",
                         "Deleted files:",
                         "   left side: none",
                         "   right side: 1 [7 bytes]",
                         "   errors deleting: none",
                         "",
                         "Created folders:",
                         "   left side: none",
                         "   right side: 1",
                         "   errors creating folders: none",
                         "",
                         "Removed folders:",
                         "   left side: none",
                         "   right side: 1",
                         "   errors removing folders: none",
                         "",
                         "Job completed T",
                         kSep,
                         ""};
  const Lines full = Concat({Head("Mirror"),
                             {"*** Scanning folders ***",
                              "T - Scanning folder 'D/L' ",
                              "T - Scanning folder 'D/R' ",
                              "",
                              "*** Comparison results ***",
                              "Newer duplicates files:",
                              "   on left side: 1 [10 bytes]",
                              "   on right side: none",
                              "",
                              "Older duplicates files:",
                              "   on left side: none",
                              "   on right side: 1 [4 bytes]",
                              "",
                              "Unequal files (same time):",
                              "   on left side: none",
                              "   on right side: none",
                              "",
                              "Equal files by rules:",
                              "   on left side: none",
                              "   on right side: none",
                              "",
                              "Single files:",
                              "   on left side: 2 [8 bytes]",
                              "   on right side: 1 [7 bytes]",
                              "",
                              "Total files:",
                              "   on left side: 3 [18 bytes]",
                              "   on right side: 2 [11 bytes]",
                              "",
                              "*** Synchronization plan ***",
                              "Files to copy:",
                              "   on left side: 3 [18 bytes]",
                              "   on right side: none",
                              "",
                              "Files to delete:",
                              "   on left side: none",
                              "   on right side: 1 [7 bytes]",
                              "",
                              "Files to be overwritten:",
                              "   on left side: none",
                              "   on right side: 1 [4 bytes]",
                              "",
                              "Folders to create:",
                              "   on left side: none",
                              "   on right side: 1",
                              "",
                              "Folders to remove:",
                              "   on left side: none",
                              "   on right side: 1",
                              "",
                              "Total files changes:",
                              "   on left side: none",
                              "   on right side: 1 [7 bytes]",
                              "",
                              "*** Creating New Folders ***",
                              "T - Ok Folder creating: 'D/R/newdir/",
                              "Created folders:",
                              "   left side: none",
                              "   right side: 1",
                              "   errors creating folders: none",
                              "",
                              "*** Copying Files ***",
                              "T - Ok Copying: 'D/L/a.txt' (5 bytes) -> 'D/R/a.txt",
                              "T - Ok Copying: 'D/L/newdir/c.txt' (3 bytes) -> 'D/R/newdir/c.txt",
                              "T - Ok Copying: 'D/L/sub/b.txt' (10 bytes) -> 'D/R/sub/b.txt",
                              "Copied files:",
                              "   to left side: 3 [18 bytes]",
                              "   to right side: none",
                              "   errors copying: none",
                              "",
                              "*** Deleting Files ***",
                              "T - Ok Deleting: 'D/R/old.txt",
                              "Deleted files:",
                              "   left side: none",
                              "   right side: 1 [7 bytes]",
                              "   errors deleting: none",
                              "",
                              "*** Removing Folders ***",
                              "T - Ok Folder removing: 'D/R/gone/",
                              "Removed folders:",
                              "   left side: none",
                              "   right side: 1",
                              "   errors removing folders: none",
                              ""},
                             results});
  EXPECT_EQ(Masked(job->FullLog, t.dir.path()), full);
  EXPECT_EQ(Masked(job->SummaryLog), Concat({Head("Mirror"), results}));
  EXPECT_EQ(Masked(job->ErrorLog), Concat({Head("Mirror"), {""}, results}));
  EXPECT_EQ(
      Masked(job->OperationLog, t.dir.path()),
      (Lines{"Ok Folder creating: 'D/R/newdir/", "Ok Copying: 'D/L/a.txt' (5 bytes) -> 'D/R/a.txt",
             "Ok Copying: 'D/L/newdir/c.txt' (3 bytes) -> 'D/R/newdir/c.txt",
             "Ok Copying: 'D/L/sub/b.txt' (10 bytes) -> 'D/R/sub/b.txt",
             "Ok Deleting: 'D/R/old.txt", "Ok Folder removing: 'D/R/gone/"}));

  const TJobSafeProgress& p = job->Progress;
  EXPECT_EQ(p.Stage, rsCompleted);
  EXPECT_EQ(p.FilesToCopy, 3);
  EXPECT_EQ(p.FilesCopiedLeft, 3);
  EXPECT_EQ(Join32(p.BytesCopiedLeftHigh, p.BytesCopiedLeftLow), 18);
  EXPECT_EQ(p.FilesToDelete, 1);
  EXPECT_EQ(p.FilesDeletedRight, 1);
  EXPECT_EQ(Join32(p.BytesDeletedRightHigh, p.BytesDeletedRightLow), 7);
  EXPECT_EQ(p.FoldersToCreate, 1);
  EXPECT_EQ(p.FoldersCreatedRight, 1);
  EXPECT_EQ(p.FoldersRemovedRight, 1);
  EXPECT_EQ(p.FoldersScannedLeft, 3);
  EXPECT_EQ(p.FilesFoundRight, 2);
  EXPECT_FALSE(job->HadErrors());
  EXPECT_EQ(job->OperationCount(), 6);
  EXPECT_EQ(job->State, jsNothing);
  EXPECT_GE(run.Count(WM_JOBPROGRESS, job->JobID), 6);
  EXPECT_EQ(run.Count(WM_JOBFINISHED, job->JobID), 1);

  // A second run finds nothing to do and writes no synchronization lines.
  run.Run(*job, rmCompareAndSync);
  const Lines again = Masked(job->FullLog);
  EXPECT_EQ(again.back(), "");
  EXPECT_FALSE(Has(again, "*** Creating New Folders ***"));
  EXPECT_EQ(Masked(job->SummaryLog), Head("Mirror"));
}

TEST(JobRun, CopyAndUpdateMethodsLeaveTheExpectedTrees) {
  const struct {
    int32_t method;
    Lines left, right;
  } cases[] = {
      // Copy left to right: the left version wins even where it is older; nothing is deleted.
      {kMethodBackupL,
       {"a.txt=new", "b.txt=old", "l.txt=l"},
       {"a.txt=new", "b.txt=old", "l.txt=l", "r.txt=r"}},
      // Update: the newer version wins on both sides, singles go both ways.
      {kMethodUpdate,
       {"a.txt=new", "b.txt=new", "l.txt=l", "r.txt=r"},
       {"a.txt=new", "b.txt=new", "l.txt=l", "r.txt=r"}},
  };
  for (const auto& c : cases) {
    TempDir dir;
    const std::string L = dir / "L", R = dir / "R";
    WriteFile(L + "/a.txt", "new");  // newer on the left
    WriteFile(R + "/a.txt", "old");
    WriteFile(L + "/b.txt", "old");  // newer on the right
    WriteFile(R + "/b.txt", "new");
    WriteFile(L + "/l.txt", "l");
    WriteFile(R + "/r.txt", "r");
    test::SetMTime(L + "/a.txt", kNew);
    test::SetMTime(R + "/a.txt", kOld);
    test::SetMTime(L + "/b.txt", kOld);
    test::SetMTime(R + "/b.txt", kNew);
    auto job = test::MakeJob("J", L, R, c.method);
    test::TRunFixture run;
    run.Run(*job, rmCompareAndSync);
    SCOPED_TRACE(c.method);
    EXPECT_EQ(TreeOf(L), c.left);
    EXPECT_EQ(TreeOf(R), c.right);
    EXPECT_FALSE(job->HadErrors());
  }
}

TEST(JobRun, CompareOnlyChangesNothingThenSyncOnlyCarriesThePlanOut) {
  TMirrorTrees t;
  const Lines left_before = TreeOf(t.L), right_before = TreeOf(t.R);
  auto job = test::MakeJob("Two halves", t.L, t.R, kMethodMirrorL);
  test::TRunFixture run;
  run.Run(*job, rmCompareOnly);
  EXPECT_EQ(TreeOf(t.L), left_before);
  EXPECT_EQ(TreeOf(t.R), right_before);
  EXPECT_EQ(job->Progress.Stage, rsScanning);
  EXPECT_EQ(Masked(job->SummaryLog), Head("Two halves"));
  EXPECT_EQ(Masked(job->ErrorLog), Head("Two halves"));
  const Lines compare_lines = job->FullLog.Lines();
  const platform::TDateTime last_run = job->LastRun;

  run.Run(*job, rmSyncOnly);
  EXPECT_EQ(TreeOf(t.R), TreeOf(t.L));
  EXPECT_EQ(job->LastRun, last_run);
  EXPECT_EQ(job->Progress.Stage, rsCompleted);
  const Lines all = job->FullLog.Lines();
  ASSERT_GT(all.size(), compare_lines.size());
  EXPECT_TRUE(std::equal(compare_lines.begin(), compare_lines.end(), all.begin()));
  EXPECT_EQ(all[compare_lines.size()], "*** Creating New Folders ***");
}

TEST(JobRun, StartIsRefusedWhileARunIsGoingOn) {
  TMirrorTrees t;
  auto job = test::MakeJob("Busy", t.L, t.R, kMethodMirrorL);
  test::TRunFixture run;
  ASSERT_TRUE(job->Start(run.host, 1, rmCompareOnly));
  // The worker waits for its first refresh, which only this thread can serve.
  const platform::TDateTime last_run = job->LastRun;
  job->FullLog.Add("marker");
  EXPECT_FALSE(job->Start(run.host, 1, rmCompareAndSync));
  EXPECT_EQ(job->LastRun, last_run);
  EXPECT_EQ(job->RunMode, rmCompareOnly);
  run.ServeUntilFinished({job.get()});
  EXPECT_TRUE(Has(job->FullLog.Lines(), "marker"));  // the refused start emptied nothing
}

TEST(JobRun, StopWhileScanningEndsWithTheTerminationBlock) {
  TMirrorTrees t;
  auto job = test::MakeJob("Stopped", t.L, t.R, kMethodMirrorL);
  job->Data.Pairs.push_back(job->Data.Pairs[0]);
  test::TRunFixture run;
  ASSERT_TRUE(job->Start(run.host, 1, rmCompareAndSync));
  job->Stop();  // noticed after the first folder listed
  run.ServeUntilFinished({job.get()});
  EXPECT_EQ(Masked(job->FullLog, t.dir.path()),
            Concat({Head("Stopped"),
                    {"*** Scanning folders ***", "T - Scanning folder 'D/L' "},
                    Termination("Stopped")}));
  EXPECT_EQ(Masked(job->SummaryLog), Concat({Head("Stopped"), Termination("Stopped")}));
  EXPECT_EQ(Masked(job->ErrorLog), Concat({Head("Stopped"), Termination("Stopped")}));
  EXPECT_EQ(job->Progress.Stage, rsTerminated);
  EXPECT_TRUE(job->ScanInfo.Terminated());
  EXPECT_EQ(job->ScanInfo.Plan().Count(), 0);
  job->Stop();  // after the end: touches nothing

  const size_t lines = job->FullLog.Count();
  run.Run(*job, rmSyncOnly);  // nothing left to carry out
  EXPECT_EQ(job->FullLog.Count(), lines);
  EXPECT_EQ(TreeOf(t.R), (Lines{"gone/", "old.txt=1234567", "sub/", "sub/b.txt=old!"}));
}

TEST(JobRun, StopDuringTheCopyKeepsTheOldTarget) {
  TempDir dir;
  const std::string L = dir / "L", R = dir / "R";
  const std::string big(4 << 20, 'n');
  WriteFile(L + "/big.bin", big);
  WriteFile(R + "/big.bin", "old target");
  WriteFile(R + "/single.txt", "would be deleted");
  test::SetMTime(L + "/big.bin", kNew);
  test::SetMTime(R + "/big.bin", kOld);
  auto job = test::MakeJob("Copy stop", L, R, kMethodMirrorL);
  test::TRunFixture run;
  // Stops at the refresh that opens the copy stage, while the worker waits for it.
  test::TInterceptHost host(run.host, [&] {
    if (job->Progress.Stage == rsCopying) job->Stop();
  });
  run.Run(*job, rmCompareAndSync, &host);
  EXPECT_EQ(ReadFile(R + "/big.bin"), "old target");
  EXPECT_EQ(test::ListNames(R), (Lines{"big.bin", "single.txt"}));
  const Lines full = Masked(job->FullLog);
  EXPECT_EQ(Lines(full.end() - 6, full.end()),
            Concat({{"*** Copying Files ***"}, Termination("Copy stop")}));
  EXPECT_EQ(Masked(job->SummaryLog), Concat({Head("Copy stop"), Termination("Copy stop")}));
  EXPECT_EQ(Masked(job->ErrorLog), Concat({Head("Copy stop"), Termination("Copy stop")}));
  EXPECT_EQ(job->Progress.Stage, rsTerminated);
}

// Faults met while the plan is carried out: the compare half runs first, then the tree is
// changed behind the plan's back or protected, then the synchronization half runs.
TEST(JobRun, FailedOperationsAreReportedCountedAndTheRunGoesOn) {
  TempDir dir;
  const std::string L = dir / "L", R = dir / "R";
  WriteFile(L + "/vanished.txt", "gone before the copy");
  WriteFile(L + "/z.txt", "still copied");
  WriteFile(R + "/gone/keep.txt", "");  // the plan removes R/gone only once it is emptied
  auto job = test::MakeJob("Faults", L, R, kMethodMirrorL);
  test::TRunFixture run;
  run.Run(*job, rmCompareOnly);
  ::unlink((L + "/vanished.txt").c_str());
  WriteFile(R + "/gone/late.txt", "arrived after the scan");
  run.Run(*job, rmSyncOnly);

  const Lines full = Masked(job->FullLog, dir.path());
  const Lines copy_error = {"T - error Copying: 'D/L/vanished.txt' -> 'D/R/vanished.txt",
                            "   *** No such file or directory *** for 'D/L/vanished.txt'"};
  auto at = std::search(full.begin(), full.end(), copy_error.begin(), copy_error.end());
  EXPECT_NE(at, full.end());
  EXPECT_TRUE(Has(full, "T - Ok Copying: 'D/L/z.txt' (12 bytes) -> 'D/R/z.txt"));
  EXPECT_TRUE(Has(full, "T - Ok Deleting: 'D/R/gone/keep.txt"));
  EXPECT_TRUE(Has(full, "T - error Folder removing: Directory not empty: 'D/R/gone/"));
  EXPECT_TRUE(Has(full, "   errors copying: 1"));
  const Lines errors = Masked(job->ErrorLog, dir.path());
  EXPECT_TRUE(std::search(errors.begin(), errors.end(), copy_error.begin(), copy_error.end()) !=
              errors.end());
  EXPECT_TRUE(Has(errors, "T - error Folder removing: Directory not empty: 'D/R/gone/"));
  EXPECT_TRUE(Has(Masked(job->OperationLog, dir.path()), "error Folder removing: 'D/R/gone/"));

  const TJobSafeProgress& p = job->Progress;
  EXPECT_EQ(p.CopyErrorsLeft, 1);
  EXPECT_EQ(p.FilesCopiedLeft, 1);
  EXPECT_EQ(p.RemoveErrorsRight, 1);
  EXPECT_EQ(p.KbCopied, p.KbToCopy);  // the failed copy still moved the position past it
  EXPECT_TRUE(job->HadErrors());
  EXPECT_EQ(ReadFile(R + "/z.txt"), "still copied");
}

TEST(JobRun, ProtectedTargetFoldersAreNamedInTheirErrorLines) {
  TempDir dir;
  const std::string L = dir / "L", R = dir / "R";
  WriteFile(L + "/locked/a.txt", "new");
  WriteFile(L + "/newdir/b.txt", "b");
  WriteFile(L + "/open/c.txt", "c");
  WriteFile(R + "/locked/a.txt", "old");
  test::MakeDirs(R + "/open");
  test::SetMTime(L + "/locked/a.txt", kNew);
  test::SetMTime(R + "/locked/a.txt", kOld);
  struct TGuard {
    std::string a, b;
    ~TGuard() { test::SetImmutable(a, false), test::SetImmutable(b, false); }
  } guard{R + "/locked", R};
  if (!test::SetImmutable(guard.a, true) || !test::SetImmutable(guard.b, true))
    GTEST_SKIP() << "no immutable attribute here";
  auto job = test::MakeJob("Locked", L, R, kMethodMirrorL);
  test::TRunFixture run;
  run.Run(*job, rmCompareAndSync);
  const Lines errors = Masked(job->ErrorLog, dir.path());
  EXPECT_TRUE(Has(errors, "T - error Folder creating: Operation not permitted: 'D/R/newdir/"));
  EXPECT_TRUE(Has(errors, "T - error Copying: 'D/L/locked/a.txt' -> 'D/R/locked/a.txt"));
  EXPECT_TRUE(Has(errors, "   *** Operation not permitted *** for 'D/R/locked/a.txt'"));
  EXPECT_TRUE(Has(errors, "   *** No such file or directory *** for 'D/R/newdir/b.txt'"));
  EXPECT_EQ(job->Progress.CreateErrorsRight, 1);
  EXPECT_EQ(job->Progress.CopyErrorsLeft, 2);
  EXPECT_EQ(ReadFile(R + "/open/c.txt"), "c");  // the run went on
  EXPECT_EQ(ReadFile(R + "/locked/a.txt"), "old");
}

// A copy that breaks off part-way: the run happens in a child limited in file size.
TEST(JobRun, CopyBrokenOffPartWayKeepsTheOldTarget) {
  TempDir dir;
  const std::string L = dir / "L", R = dir / "R";
  WriteFile(L + "/big.bin", std::string(1 << 20, 'n'));
  WriteFile(R + "/big.bin", "old target");
  test::SetMTime(L + "/big.bin", kNew);
  test::SetMTime(R + "/big.bin", kOld);
  const std::string answer = test::RunInChild([&]() -> std::string {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{256 << 10, 256 << 10};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    auto job = test::MakeJob("Too large", L, R, kMethodMirrorL);
    test::TRunFixture run;
    run.Run(*job, rmCompareAndSync);
    const Lines errors = Masked(job->ErrorLog, dir.path());
    if (!Has(errors, "   *** File too large *** for 'D/R/big.bin'")) return "no error line";
    return job->Progress.CopyErrorsLeft == 1 ? "" : "not counted";
  });
  EXPECT_EQ(answer, "");
  EXPECT_EQ(ReadFile(R + "/big.bin"), "old target");
  EXPECT_EQ(test::ListNames(R), Lines{"big.bin"});
}

TEST(JobRun, DeletingOnBothSidesAndRemovingDeepestFirst) {
  TempDir dir;
  const std::string L = dir / "L", R = dir / "R";
  WriteFile(L + "/same.txt", "same");
  WriteFile(R + "/same.txt", "same");
  test::SetMTime(L + "/same.txt", kOld);
  test::SetMTime(R + "/same.txt", kOld);
  test::MakeDirs(R + "/x/y/z");
  test::MakeDirs(L + "/keep");
  test::MakeDirs(R + "/keep");
  auto job = test::MakeJob("Custom", L, R, kMethodCustom);
  job->Data.idxEqualL = 1;  // delete equal files on the left
  job->Data.idxEqualR = 1;  // and on the right: action 3
  job->Data.Empty_RemoveR = true;
  test::TRunFixture run;
  run.Run(*job, rmCompareAndSync);
  EXPECT_EQ(job->Progress.FilesToDelete, 2);
  EXPECT_EQ(job->Progress.FilesDeletedLeft, 1);
  EXPECT_EQ(job->Progress.FilesDeletedRight, 1);
  const Lines ops = Masked(job->OperationLog, dir.path());
  EXPECT_EQ(ops, (Lines{"Ok Deleting: 'D/L/same.txt", "Ok Deleting: 'D/R/same.txt",
                        "Ok Folder removing: 'D/R/x/y/z/", "Ok Folder removing: 'D/R/x/y/",
                        "Ok Folder removing: 'D/R/x/", "Ok Folder removing: 'D/R/keep/"}));
}

TEST(JobRun, MissingRootDeletesNothingAndSaysSo) {
  TempDir dir;
  const std::string L = dir / "unplugged", R = dir / "R";
  WriteFile(R + "/precious.txt", "keep me");
  auto job = test::MakeJob("Unplugged", L, R, kMethodMirrorL);
  test::TRunFixture run;
  run.Run(*job, rmCompareAndSync);
  EXPECT_EQ(TreeOf(R), Lines{"precious.txt=keep me"});
  const std::string line = job->ScanInfo.MissingRootLine(0);
  ASSERT_FALSE(line.empty());
  EXPECT_TRUE(Has(job->FullLog.Lines(), line));
  EXPECT_TRUE(Has(job->ErrorLog.Lines(), line));
}

TEST(JobRun, JobWithoutPairsWritesAnEmptyComparison) {
  auto job = std::make_unique<TJob>(NewJobID());
  job->Data.JobName = "Empty";
  test::TRunFixture run;
  run.Run(*job, rmCompareAndSync);
  const Lines full = Masked(job->FullLog);
  ASSERT_EQ(full.size(), 3u + 1 + 1 + 25 + 25);
  EXPECT_EQ(full[3], "*** Scanning folders ***");
  EXPECT_EQ(full[4], "");
  EXPECT_EQ(std::count(full.begin(), full.end(), "   on left side: none"), 12);
  EXPECT_EQ(full.back(), "");
  EXPECT_EQ(job->Progress.Stage, rsScanning);
}

TEST(JobRun, WithoutNotifyWindowNothingIsPostedAndTheRunEnds) {
  TMirrorTrees t;
  auto job = test::MakeJob("Quiet", t.L, t.R, kMethodMirrorL);
  test::TRunFixture run;
  ASSERT_TRUE(job->Start(run.host, kNoNotifyWindow, rmCompareAndSync));
  while (!job->RunThread->Finished()) run.host.ServeFor(std::chrono::milliseconds(10));
  job->ResetAfterRun();
  EXPECT_TRUE(run.posted.empty());
  EXPECT_EQ(TreeOf(t.R), TreeOf(t.L));
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

TEST(JobRun, ThreeJobsRunAtOnce) {
  TMirrorTrees trees[3];
  std::vector<std::unique_ptr<TJob>> jobs;
  test::TRunFixture run;
  for (int i = 0; i < 3; ++i) {
    WriteFile(trees[i].L + "/own.txt", std::string(100000 * (i + 1), char('0' + i)));
    jobs.push_back(
        test::MakeJob("Job " + std::to_string(i), trees[i].L, trees[i].R, kMethodMirrorL));
    ASSERT_TRUE(jobs.back()->Start(run.host, 10 + i, rmCompareAndSync));
  }
  run.ServeUntilFinished({jobs[0].get(), jobs[1].get(), jobs[2].get()});
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(TreeOf(trees[i].R), TreeOf(trees[i].L));
    EXPECT_EQ(Masked(jobs[i]->SummaryLog)[1],
              "TWN job 'Job " + std::to_string(i) + "' started at T");
    EXPECT_EQ(jobs[i]->Progress.FilesCopiedLeft, 4);
    EXPECT_FALSE(jobs[i]->HadErrors());
  }
  for (const test::TPosted& p : run.posted) EXPECT_EQ(p.window, 10 + (p.job_id - jobs[0]->JobID));
}

}  // namespace
}  // namespace twn
