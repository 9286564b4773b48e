// Whole runs over what they cannot see or must not touch: folders a user may not read, pairs
// whose roots lie inside each other, entries the scan does not record, missing roots.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "model/method_presets.h"
#include "run/job.h"
#include "support/fault_support.h"
#include "support/run_fixture.h"
#include "support/test_support.h"

namespace twn {
namespace {

using ::testing::HasSubstr;

using Lines = std::vector<std::string>;
using test::Put;
using test::TreeOf;

/// Every planned entry as "<relative path><file name> <action>", in plan order.
std::string PlanText(const TScanInfo& info) {
  const TItemList plan = info.Plan();
  std::string text;
  for (int32_t i = 0; i < plan.Count(); ++i) {
    const int side = plan.Index(i, kLeft) >= 0 ? kLeft : kRight;
    text += std::string(plan.RelativePath(i));
    if (plan.IsFile(i)) text += plan.FileName(i, side);
    text += " " + std::to_string(plan.Action(i)) + "; ";
  }
  return text;
}

/// Hands a tree to the unprivileged test user, so that only the modes set later hold it back.
void GiveToNobody(const std::string& root) {
  ASSERT_EQ(0, ::lchown(root.c_str(), test::kNobody, test::kNobody));
  for (const auto& e : std::filesystem::recursive_directory_iterator(root))
    ASSERT_EQ(0, ::lchown(e.path().c_str(), test::kNobody, test::kNobody));
}

class Unseen : public ::testing::Test {
 protected:
  Unseen() { ::chmod(dir.path().c_str(), 0755); }
  /// Runs the job as the unprivileged user and answers what it planned, whether it had errors
  /// and its error lines.
  std::string RunAsUser(int32_t method, const std::string& locked, mode_t mode) {
    GiveToNobody(L);
    GiveToNobody(R);
    EXPECT_EQ(0, ::chmod(locked.c_str(), mode));
    return test::RunAsNobody([&]() -> std::string {
      test::TRunFixture run;
      auto job = test::MakeJob("Locked", L, R, method);
      run.Run(*job, rmCompareAndSync);
      std::string out = "plan: " + PlanText(job->ScanInfo) + "\n";
      out += job->HadErrors() ? "errors\n" : "no errors\n";
      for (const std::string& line : test::Masked(job->ErrorLog, dir.path()))
        if (line.find("error") != std::string::npos) out += line + "\n";
      return out;
    });
  }

  test::TempDir dir;
  const std::string L = dir / "L", R = dir / "R";
};

TEST_F(Unseen, AFolderThatCannotBeReadIsLeftAloneOnBothSides) {
  // A folder without any permission cannot be opened; one that may be read but not searched
  // lists names whose details cannot be had. Neither is an empty folder.
  for (const mode_t mode : {mode_t{0}, mode_t{0444}}) {
    SCOPED_TRACE(mode);
    std::filesystem::remove_all(L);
    std::filesystem::remove_all(R);
    Put(L + "/new.txt");
    Put(L + "/P/A/x.txt", "left", 2e9);
    Put(R + "/P/A/x.txt", "right");
    Put(R + "/P/A/only_right.txt");
    Put(R + "/P/A/sub/deep.txt");
    const std::string answer = RunAsUser(kMethodMirrorL, L + "/P/A", mode);
    EXPECT_EQ(TreeOf(R), (Lines{"P/", "P/A/", "P/A/only_right.txt=x", "P/A/sub/",
                                "P/A/sub/deep.txt=x", "P/A/x.txt=right", "new.txt=x"}));
    ::chmod((L + "/P/A").c_str(), 0755);
    EXPECT_THAT(answer, HasSubstr("plan:  0; new.txt 4; \n"));
    EXPECT_THAT(answer, HasSubstr("\nerrors\n"));
    EXPECT_THAT(answer, HasSubstr("error Scanning folder: Permission denied: 'D/L/P/A/'"));
  }
}

TEST_F(Unseen, AnUnreadableFolderKeepsItsParentFromBeingRemoved) {
  // Mirroring right to left removes empty left folders: P holds only the unreadable A.
  test::MakeDirs(L + "/P/A");
  test::MakeDirs(R);
  Put(L + "/P/A/x.txt");
  const std::string answer = RunAsUser(kMethodMirrorR, L + "/P/A", 0);
  ::chmod((L + "/P/A").c_str(), 0755);
  EXPECT_EQ(answer.find("plan: \n"), 0u) << answer;
  EXPECT_TRUE(std::filesystem::exists(L + "/P/A/x.txt"));
}

TEST_F(Unseen, AnUnreadableRightFolderIsNeitherOverwrittenNorFilled) {
  Put(L + "/A/x.txt", "newer", 2e9);
  Put(L + "/A/new.txt");
  Put(R + "/A/x.txt", "older");
  const std::string answer = RunAsUser(kMethodUpdate, R + "/A", 0);
  ::chmod((R + "/A").c_str(), 0755);
  EXPECT_EQ(answer.find("plan: \n"), 0u) << answer;
  EXPECT_EQ(test::ReadFile(R + "/A/x.txt"), "older");
}

class RootRun : public ::testing::Test {
 protected:
  std::unique_ptr<TJob> Run(const std::string& left, const std::string& right, int32_t method,
                            const std::string& folder_pattern = "", bool subfolders = true) {
    auto job = test::MakeJob("Job", left, right, method);
    job->Data.Pairs[0].bSubFLD = subfolders;
    if (!folder_pattern.empty()) job->Data.FolderFilter.AddPattern(folder_pattern);
    run.Run(*job, rmCompareAndSync);
    return job;
  }
  bool ErrorLogHas(const TJob& job, std::string_view text) const {
    for (const std::string& line : job.ErrorLog.Lines())
      if (line.find(text) != std::string::npos) return true;
    return false;
  }

  test::TempDir dir;
  const std::string T = dir / "T";
  test::TRunFixture run;
};

TEST_F(RootRun, APairWithOneRootInsideTheOtherIsNotRunWithAnyMethod) {
  for (int32_t method = kMethodMirrorL; method <= kMethodUpdate; ++method) {
    for (bool inner_left : {false, true}) {
      SCOPED_TRACE(testing::Message() << "method " << method << " inner left " << inner_left);
      std::filesystem::remove_all(T);
      Put(T + "/a.txt", "outer");
      Put(T + "/backup/b.txt", "inner");
      const Lines before = TreeOf(T);
      const std::string inner = T + "/backup";
      auto job = inner_left ? Run(inner, T, method) : Run(T, inner + "/", method);
      EXPECT_EQ(TreeOf(T), before);
      EXPECT_TRUE(job->HadErrors());
      EXPECT_TRUE(ErrorLogHas(*job, "lies inside folder"));
      EXPECT_EQ(job->ScanInfo.Plan().Count(), 0);
    }
  }
}

TEST_F(RootRun, OverlapThatTheScanNeverReachesRunsAsAPlainPair) {
  // Left out by a folder pattern, without subfolders, or the same folder twice: no error.
  const struct {
    std::string right;
    std::string pattern;
    bool subfolders;
    Lines tree;
  } cases[] = {
      {"/backup", "BACK*", true, {"a.txt=outer", "backup/", "backup/a.txt=outer"}},
      {"/backup", "", false, {"a.txt=outer", "backup/", "backup/a.txt=outer"}},
      {"/.", "", true, {"a.txt=outer", "backup/"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.right + " " + c.pattern);
    std::filesystem::remove_all(T);
    Put(T + "/a.txt", "outer");
    test::MakeDirs(T + "/backup");
    auto job = Run(T, T + c.right, kMethodMirrorL, c.pattern, c.subfolders);
    EXPECT_EQ(TreeOf(T), c.tree);
    EXPECT_FALSE(job->HadErrors());
  }
}

TEST_F(RootRun, EntriesTheScanDoesNotRecordStillKeepTheirFolder) {
  // A link passed over (the job does not keep links) and a FIFO are counted in their folder, so
  // it is never taken for an empty one; a copy's leftover is not the user's: neither copied, nor
  // planned, nor counted.
  const std::string L = dir / "L", R = dir / "R";
  test::MakeDirs(L + "/kept");
  Put(L + "/kept/.twn~a1b2c3", "half a copy");
  test::MakeDirs(R + "/links");
  ASSERT_EQ(0, ::symlink("/etc", (R + "/links/etc").c_str()));
  test::MakeDirs(R + "/fifo");
  ASSERT_EQ(0, ::mkfifo((R + "/fifo/pipe").c_str(), 0600));
  Put(R + "/stale/.twn~Zz9Aa0", "killed copy");  // its folder is empty, and removed with it
  auto job = test::MakeJob("Job", L, R, kMethodMirrorL);
  job->Data.bCopyLinks = false;
  run.Run(*job, rmCompareAndSync);
  EXPECT_FALSE(job->HadErrors());
  EXPECT_EQ(PlanText(job->ScanInfo), "kept/ 12; stale/ 9; ");
  EXPECT_EQ(job->ScanInfo.FileCount(), 0);
  EXPECT_EQ(test::ListNames(R), (Lines{"fifo", "kept", "links"}));
  EXPECT_TRUE(test::ListNames(R + "/kept").empty());
}

TEST_F(RootRun, AMissingRootTheRunDoesNotCreateIsAnError) {
  const std::string L = dir / "L", R = dir / "R";
  Put(R + "/keep.txt");
  for (const int32_t method : {kMethodMirrorL, kMethodBackupL}) {
    auto job = Run(dir / "unplugged", R, method);
    EXPECT_TRUE(job->HadErrors());
    EXPECT_EQ(TreeOf(R), Lines{"keep.txt=x"});  // nothing deleted for the missing side
    const std::string line = job->ScanInfo.MissingRootLine(0);
    ASSERT_FALSE(line.empty());
    EXPECT_TRUE(ErrorLogHas(*job, line));
    const Lines full = job->FullLog.Lines();
    EXPECT_NE(std::find(full.begin(), full.end(), line), full.end());
  }
  // A missing target that the run creates is no error.
  Put(L + "/a.txt");
  EXPECT_FALSE(Run(L, dir / "new", kMethodMirrorL)->HadErrors());
  EXPECT_TRUE(std::filesystem::exists(dir / "new/a.txt"));
}

}  // namespace
}  // namespace twn
