// The deletion guard over real plans: which side holds a run, at which counts, and its text.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/delete_guard.h"
#include "engine_fixture.h"

namespace twn {
namespace {

using ::testing::HasSubstr;

// `files` files on the target side; the source holds `same` of them unchanged and `newer` of
// them newer (they overwrite); the rest are deleted by the mirror.
struct TGuardCase {
  const char* what;
  int32_t method;
  int files, same, newer;
  int32_t percent;
  int held_side;  // -1: not held
  const char* text;
};

TEST(DeleteGuard, HoldsARunThatDeletesOrOverwritesTooMuchOfOneSide) {
  const TGuardCase cases[] = {
      {"emptied source", kMethodMirrorL, 20, 0, 0, 50, kRight,
       "delete all 20 files on the right side (100%), more than the job's limit of 50%"},
      {"three files left", kMethodMirrorL, 20, 3, 0, 50, kRight,
       "delete 17 and overwrite 0 of the 20 files on the right side (85%), more than the job's "
       "limit of 50%"},
      {"overwrites count", kMethodMirrorL, 40, 10, 10, 50, kRight,
       "delete 20 and overwrite 10 of the 40 files on the right side (75%)"},
      {"exactly the limit", kMethodMirrorL, 40, 20, 0, 50, -1, ""},
      {"just over the limit", kMethodMirrorL, 40, 19, 0, 50, kRight,
       "delete 21 and overwrite 0 of the 40 files on the right side (53%)"},
      {"the floor", kMethodMirrorL, 10, 0, 0, 50, -1, ""},
      {"just over the floor", kMethodMirrorL, 11, 0, 0, 50, kRight, "delete all 11 files"},
      {"guard off", kMethodMirrorL, 20, 0, 0, 0, -1, ""},
      {"negative is off", kMethodMirrorL, 20, 0, 0, -5, -1, ""},
      {"above 100 is 100", kMethodMirrorL, 40, 10, 0, 150, -1, ""},
      {"100 still holds all", kMethodMirrorL, 20, 0, 0, 150, kRight, "delete all 20"},
      {"the left side", kMethodMirrorR, 30, 0, 0, 50, kLeft, "delete all 30 files on the left"},
  };
  for (const TGuardCase& c : cases) {
    SCOPED_TRACE(c.what);
    test::TTwoTrees trees;
    const int target = c.method == kMethodMirrorL ? kRight : kLeft;
    trees.Folder(1 - target, "");
    for (int i = 0; i < c.files; ++i) {
      const std::string name = "f" + std::to_string(i);
      trees.File(target, name);
      if (i < c.same) trees.File(1 - target, name);
      if (i >= c.same && i < c.same + c.newer) trees.File(1 - target, name, "new", 100);
    }
    TScanInfo info;
    test::RunJob(info, trees.Job(c.method));
    const TGuardVerdict v = CheckDeleteGuard(info, c.percent);
    EXPECT_EQ(v.held, c.held_side >= 0);
    EXPECT_EQ(v.side, c.held_side);
    EXPECT_EQ(v.counts[target].files, c.files);
    EXPECT_EQ(v.counts[target].overwritten, c.newer);
    if (c.held_side >= 0) {
      EXPECT_THAT(v.text, HasSubstr(c.text));
    } else {
      EXPECT_EQ(v.text, "");
    }
  }
}

}  // namespace
}  // namespace twn
