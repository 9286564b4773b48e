// Whole runs over what they cannot see or must not touch: folders a user may not read, pairs
// whose roots lie inside each other, entries the scan does not record, missing roots.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "model/job.h"
#include "model/method_presets.h"
#include "support/fault_support.h"
#include "support/run_fixture.h"
#include "support/test_support.h"

namespace twn {
namespace {

using Lines = std::vector<std::string>;
using test::TreeOf;

void Put(const std::string& path, const std::string& content = "x", int64_t mtime = 1e9) {
  test::WriteFile(path, content);
  test::SetMTime(path, mtime);
}

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
    EXPECT_NE(answer.find("plan:  0; new.txt 4; \n"), std::string::npos) << answer;
    EXPECT_NE(answer.find("\nerrors\n"), std::string::npos) << answer;
    EXPECT_NE(answer.find("error Scanning folder: Permission denied: 'D/L/P/A/'"),
              std::string::npos)
        << answer;
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

}  // namespace
}  // namespace twn
