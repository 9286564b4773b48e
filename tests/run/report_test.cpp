#include "run/report.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace twn {
namespace {

TEST(GroupedNumber, GroupsOfThreeWithOneSpace) {
  const struct {
    int64_t value;
    const char* text;
  } cases[] = {
      {0, "0"},
      {7, "7"},
      {999, "999"},
      {1000, "1 000"},
      {1536000, "1 536 000"},
      {999999999, "999 999 999"},
      {1000000001, "1 000 000 001"},
      {12000000005, "12 000 000 005"},
      {-2, "-2"},
      {-1536000, "-1 536 000"},
      {-1000000000, "-1 000 000 000"},
      {std::numeric_limits<int64_t>::max(), "9 223 372 036 854 775 807"},
      {std::numeric_limits<int64_t>::min(), "-9 223 372 036 854 775 808"},
  };
  for (const auto& c : cases) EXPECT_EQ(GroupedNumber(c.value), c.text) << c.value;
}

TEST(GroupedNumber, CountsSayNoneForZero) {
  EXPECT_EQ(CountText(0), "none");
  EXPECT_EQ(CountText(-2), "-2");
  EXPECT_EQ(CountWithBytes(0, 0), "none");
  EXPECT_EQ(CountWithBytes(3, 1536000), "3 [1 536 000 bytes]");
  EXPECT_EQ(CountWithBytes(0, -4096), "0 [-4 096 bytes]");
  EXPECT_EQ(CountWithBytes(2, 0), "2 [0 bytes]");
}

TEST(ReportLines, EmptyComparisonSaysNoneEverywhere) {
  const std::vector<std::string> lines = ComparisonLines({});
  ASSERT_EQ(lines.size(), 1u + 6 * 4);
  EXPECT_EQ(lines[0], "*** Comparison results ***");
  EXPECT_EQ(lines[1], "Newer duplicates files:");
  EXPECT_EQ(lines[21], "Total files:");
  for (size_t g = 0; g < 6; ++g) {
    EXPECT_EQ(lines[2 + g * 4], "   on left side: none");
    EXPECT_EQ(lines[3 + g * 4], "   on right side: none");
    EXPECT_EQ(lines[4 + g * 4], "");
  }
}

TEST(ReportLines, ComparisonTotalsAddTheFiveClassesPerSide) {
  TComparisonSummary s;
  s.newer[0] = {1, 100};
  s.older[1] = {1, 50};
  s.equal[0] = {3, 1536000};
  s.equal[1] = {3, 1536000};
  s.single[1] = {2, 10};
  const std::vector<std::string> lines = ComparisonLines(s);
  EXPECT_EQ(lines[2], "   on left side: 1 [100 bytes]");
  EXPECT_EQ(lines[11], "   on right side: none");
  EXPECT_EQ(lines[13], "Equal files by rules:");
  EXPECT_EQ(lines[14], "   on left side: 3 [1 536 000 bytes]");
  EXPECT_EQ(lines[22], "   on left side: 4 [1 536 100 bytes]");
  EXPECT_EQ(lines[23], "   on right side: 6 [1 536 060 bytes]");
}

TEST(ReportLines, PlanGroupsAndNegativeNetChange) {
  TPlanSummary s;
  s.to_delete[0] = {2, 300};
  s.to_create[1] = 4;
  s.net_change[0] = {-2, -300};
  const std::vector<std::string> lines = PlanLines(s);
  const std::vector<std::string> expected = {
      "*** Synchronization plan ***",
      "Files to copy:",
      "   on left side: none",
      "   on right side: none",
      "",
      "Files to delete:",
      "   on left side: 2 [300 bytes]",
      "   on right side: none",
      "",
      "Files to be overwritten:",
      "   on left side: none",
      "   on right side: none",
      "",
      "Folders to create:",
      "   on left side: none",
      "   on right side: 4",
      "",
      "Folders to remove:",
      "   on left side: none",
      "   on right side: none",
      "",
      "Total files changes:",
      "   on left side: -2 [-300 bytes]",
      "   on right side: none",
  };
  EXPECT_EQ(lines, expected);
}

TEST(ReportLines, ResultsBlockOrderAndErrorSums) {
  TRunCounters c;
  c.FilesCopied[1] = 1;
  c.BytesCopied[1] = 1234;
  c.CopyErrors[0] = 1;
  c.CopyErrors[1] = 2;
  c.FoldersCreated[0] = 2;
  c.RemoveErrors[1] = 1;
  const std::vector<std::string> lines = ResultsLines(c, "STAMP");
  const std::vector<std::string> expected = {
      "*** Synchronization results ***",
      "Copied files:",
      "   to left side: none",
      "   to right side: 1 [1 234 bytes]",
      "   errors copying: 3",
      "",
      "Deleted files:",
      "   left side: none",
      "   right side: none",
      "   errors deleting: none",
      "",
      "Created folders:",
      "   left side: 2",
      "   right side: none",
      "   errors creating folders: none",
      "",
      "Removed folders:",
      "   left side: none",
      "   right side: none",
      "   errors removing folders: 1",
      "",
      "Job completed STAMP",
      std::string(kSeparatorLine),
      "",
  };
  EXPECT_EQ(lines, expected);
}

TEST(ReportLines, HeadAndTermination) {
  EXPECT_EQ(
      HeadLines("Backup", "T"),
      (std::vector<std::string>{std::string(kSeparatorLine), "TWN job 'Backup' started at T", ""}));
  EXPECT_EQ(TerminationLines("Backup", "T"),
            (std::vector<std::string>{"", "   *** The job 'Backup' was terminated ***",
                                      "Terminated at T", std::string(kSeparatorLine), ""}));
  EXPECT_EQ(kSeparatorLine.size(), 62u);
}

}  // namespace
}  // namespace twn
