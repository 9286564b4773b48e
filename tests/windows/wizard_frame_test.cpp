#include <gtest/gtest.h>

#include "support/test_support.h"
#include "windows/wizard_frame.h"

namespace twn {
namespace {

TPairItem Pair(std::string left, std::string right, int32_t valid = 1) {
  TPairItem p;
  p.L_Path = std::move(left);
  p.R_Path = std::move(right);
  p.Valid = valid;
  return p;
}

TEST(WizardFrame, CaptionStatusAndBasketCommands) {
  TJobData data;
  data.JobName = "Photos";
  EXPECT_EQ(WizardCaption(data), "Job wizard: creating new job");
  data.Pairs = {Pair("/a", "/b")};
  EXPECT_EQ(WizardCaption(data), "Job wizard: edit the job 'Photos'");
  EXPECT_EQ(BasketStatusText(0), "The basket is empty.");
  EXPECT_EQ(BasketStatusText(3), "Basket contains 3 pairs");

  struct Case {
    std::vector<TPairItem> pairs;
    int selected;
    bool edit, refresh, remove_invalid;
  } const cases[] = {
      {{}, -1, false, false, false},
      {{Pair("/a", "/b")}, -1, false, true, false},
      {{Pair("/a", "/b")}, 0, true, true, false},
      {{Pair("/a", "/b")}, 1, false, true, false},
      {{Pair("/a", "/b"), Pair("/c", "/d", 0)}, 1, true, true, true},
  };
  for (const Case& c : cases) {
    const TBasketCommands got = BasketCommands(c.pairs, c.selected);
    SCOPED_TRACE(testing::Message() << c.pairs.size() << " pairs, row " << c.selected);
    EXPECT_EQ(got.Edit, c.edit);
    EXPECT_EQ(got.Delete, c.edit);
    EXPECT_EQ(got.Switch, c.edit);
    EXPECT_EQ(got.Refresh, c.refresh);
    EXPECT_EQ(got.Clear, c.refresh);
    EXPECT_EQ(got.RemoveInvalid, c.remove_invalid);
  }
}

TEST(WizardFrame, RefreshMarksPairsWhoseFoldersExistAndRemoveInvalidDropsTheRest) {
  test::TempDir dir;
  test::MakeDirs(dir / "L");
  test::MakeDirs(dir / "R");
  std::vector<TPairItem> pairs = {Pair(dir / "L", dir / "R", 0), Pair(dir / "L", dir / "gone"),
                                  Pair(dir / "gone", dir / "R"), Pair(dir / "R", dir / "L", 0)};
  int pumped = 0;
  RefreshPairValidity(pairs, [&pumped] { ++pumped; });
  EXPECT_EQ(pairs[0].Valid, 1);
  EXPECT_EQ(pairs[1].Valid, 0);
  EXPECT_EQ(pairs[2].Valid, 0);
  EXPECT_EQ(pairs[3].Valid, 1);
  EXPECT_EQ(pumped, 3);  // after each left folder found
  EXPECT_EQ(RemoveInvalidPairs(pairs), 2u);
  ASSERT_EQ(pairs.size(), 2u);
  EXPECT_EQ(pairs[1].L_Path, dir / "R");
}

TEST(WizardFrame, SaveKeepsTheJobsLogHistoryAndRecordsTheFilterTexts) {
  TSettings settings("/nonexistent");
  settings.MaxHistoryItems = 2;
  settings.FileFilterIncHistory = {"*.txt", "*.doc"};
  TJob job(1);
  job.Data.LogHistory = {"/logs/new run.log", "/logs/old run.log"};
  job.bFinished = false;
  job.bChanged = false;
  job.bHasNextRun = true;
  TJobData edited;
  edited.JobName = "Renamed";
  edited.Frequency = kFreqHours;
  edited.LogHistory = {"/logs/old run.log"};  // as the wizard copied it when it opened
  edited.FileFilter.FLT_Include = "*.doc;";
  edited.FileFilter.FLT_Exclude = "*.tmp";
  SaveWizardJob(job, edited, settings);
  EXPECT_EQ(job.Data.JobName, "Renamed");
  EXPECT_EQ(job.Data.Frequency, kFreqHours);
  EXPECT_EQ(job.Data.LogHistory,
            (std::vector<std::string>{"/logs/new run.log", "/logs/old run.log"}));
  EXPECT_TRUE(job.bFinished && job.bChanged);
  EXPECT_EQ(job.State, jsWaiting);
  EXPECT_EQ(settings.FileFilterIncHistory, (std::vector<std::string>{"*.doc;", "*.txt"}));
  EXPECT_EQ(settings.FileFilterExcHistory, (std::vector<std::string>{"*.tmp"}));
}

}  // namespace
}  // namespace twn
