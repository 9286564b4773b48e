#include "run/report.h"

#include <gtest/gtest.h>

#include <algorithm>
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
      {999, "999"},
      {1000, "1 000"},
      {1536000, "1 536 000"},
      {12000000005, "12 000 000 005"},
      {-2, "-2"},
      {-1536000, "-1 536 000"},
      {std::numeric_limits<int64_t>::max(), "9 223 372 036 854 775 807"},
      {std::numeric_limits<int64_t>::min(), "-9 223 372 036 854 775 808"},
  };
  for (const auto& c : cases) EXPECT_EQ(GroupedNumber(c.value), c.text) << c.value;
  EXPECT_EQ(CountText(0), "none");
  EXPECT_EQ(CountText(-2), "-2");
  EXPECT_EQ(CountWithBytes(0, 0), "none");
  EXPECT_EQ(CountWithBytes(0, -4096), "0 [-4 096 bytes]");
  EXPECT_EQ(CountWithBytes(2, 0), "2 [0 bytes]");
}

// The layout of each block is checked line by line in the whole-run tests; here the sums.
TEST(ReportLines, ComparisonTotalsAddTheFiveClassesPerSide) {
  TComparisonSummary s;
  s.newer[0] = {1, 100};
  s.older[1] = {1, 50};
  s.equal[0] = {3, 1536000};
  s.equal[1] = {3, 1536000};
  s.single[1] = {2, 10};
  const std::vector<std::string> lines = ComparisonLines(s);
  ASSERT_EQ(lines.size(), 25u);
  EXPECT_EQ(lines[21], "Total files:");
  EXPECT_EQ(lines[22], "   on left side: 4 [1 536 100 bytes]");
  EXPECT_EQ(lines[23], "   on right side: 6 [1 536 060 bytes]");
}

TEST(ReportLines, PlanCountsAndNegativeNetChange) {
  TPlanSummary s;
  s.to_delete[0] = {2, 300};
  s.to_create[1] = 4;
  s.net_change[0] = {-2, -300};
  const std::vector<std::string> lines = PlanLines(s);
  ASSERT_EQ(lines.size(), 24u);  // no empty line after the last group
  EXPECT_EQ(lines[6], "   on left side: 2 [300 bytes]");
  EXPECT_EQ(lines[15], "   on right side: 4");
  EXPECT_EQ(lines[22], "   on left side: -2 [-300 bytes]");
}

TEST(ReportLines, ResultsAddTheErrorsOfBothSides) {
  TRunCounters c;
  c.CopyErrors[0] = 1;
  c.CopyErrors[1] = 2;
  c.DeleteErrors[1] = 4;
  c.CreateErrors[0] = 5;
  c.RemoveErrors[1] = 1;
  const std::vector<std::string> lines = ResultsLines(c, "STAMP");
  for (const char* line :
       {"   errors copying: 3", "   errors deleting: 4", "   errors creating folders: 5",
        "   errors removing folders: 1", "Job completed STAMP"})
    EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
}

}  // namespace
}  // namespace twn
