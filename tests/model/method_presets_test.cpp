#include "model/method_presets.h"

#include <gtest/gtest.h>

namespace twn {
namespace {

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// Reads each named method's preset back through the texts a user sees and checks what the
// method promises: which way files travel, and whether anything is deleted, and where.
TEST(MethodPresetsTest, EachNamedMethodMovesFilesOnlyWhereItsNameSays) {
  struct Case {
    int32_t method;
    bool copies_to_right, copies_to_left;
    const char* deletes_on;  // "" = deletes nothing
    std::array<bool, kEmptyFlagCount> empty;
  };
  const Case cases[] = {
      {kMethodMirrorL, true, false, "Right", {false, true, true, false}},
      {kMethodMirrorR, false, true, "Left", {true, false, false, true}},
      {kMethodBackupL, true, false, "", {false, false, true, false}},
      {kMethodBackupR, false, true, "", {false, false, false, true}},
      {kMethodUpdate, true, true, "", {false, false, true, true}},
  };
  for (const Case& c : cases) {
    TJobData d(0);
    ApplyMethod(d, c.method);
    EXPECT_EQ(c.method, d.idxMethod);
    bool to_right = false, to_left = false;
    const auto actions = d.Actions();
    for (size_t field = 0; field < kActionFieldCount; ++field) {
      const std::string_view text = ActionText(static_cast<TActionField>(field), actions[field]);
      ASSERT_FALSE(text.empty()) << c.method << " field " << field;
      to_right = to_right || Contains(text, "to Right pane");
      to_left = to_left || Contains(text, "to Left pane");
      if (Contains(text, "Delete")) {
        const std::string_view other = std::string_view(c.deletes_on) == "Left" ? "Right" : "Left";
        EXPECT_TRUE(*c.deletes_on && Contains(text, c.deletes_on) && !Contains(text, other))
            << c.method << ": " << text;
      }
    }
    EXPECT_EQ(c.copies_to_right, to_right) << c.method;
    EXPECT_EQ(c.copies_to_left, to_left) << c.method;
    EXPECT_EQ(c.empty, d.EmptyFlags()) << c.method;
    // Every named method handles newer, older and single files; equal files are left alone.
    EXPECT_EQ(0, d.idxEqualL);
    EXPECT_EQ(0, d.idxEqualR);
    EXPECT_NE(0, d.idxNewerL);
    EXPECT_NE(0, d.idxNewerR);
  }
}

TEST(MethodPresetsTest, CustomAndUnknownMethodsKeepTheStoredChoices) {
  for (int32_t method : {kMethodCustom, kMethodNone, 9, -1}) {
    TJobData d(0);
    ApplyMethod(d, kMethodMirrorL);
    d.idxEqualL = 1;
    ApplyMethod(d, method);
    EXPECT_EQ(method, d.idxMethod);
    EXPECT_FALSE(MethodPreset(method).has_value()) << method;
    EXPECT_EQ(1, d.idxEqualL) << method;
    EXPECT_EQ(2, d.idxSingleR) << method;
    EXPECT_TRUE(d.Empty_RemoveR) << method;
  }
}

TEST(MethodPresetsTest, ANamedMethodOverwritesEveryChoiceOfThePreviousOne) {
  TJobData d(0);
  ApplyMethod(d, kMethodMirrorL);
  d.idxEqualR = 1;
  ApplyMethod(d, kMethodUpdate);
  EXPECT_EQ(kMethodPresets[kMethodUpdate - 1].actions, d.Actions());
  EXPECT_EQ(kMethodPresets[kMethodUpdate - 1].empty, d.EmptyFlags());
}

}  // namespace
}  // namespace twn
