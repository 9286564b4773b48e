#include "model/method_presets.h"

#include <gtest/gtest.h>

#include <tuple>

namespace twn {
namespace {

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// Reads each named method's preset back through the texts a user sees and checks what the
// method promises: which way files travel, and whether anything is deleted, and where.
TEST(MethodPresetsTest, EachNamedMethodMovesFilesOnlyWhereItsNameSays) {
  const struct {
    int32_t method;
    bool copies_to_right, copies_to_left;
    const char* deletes_on;  // "" = deletes nothing
    std::array<bool, kEmptyFlagCount> empty;
  } cases[] = {
      {kMethodMirrorL, true, false, "Right", {false, true, true, false}},
      {kMethodMirrorR, false, true, "Left", {true, false, false, true}},
      {kMethodBackupL, true, false, "", {false, false, true, false}},
      {kMethodBackupR, false, true, "", {false, false, false, true}},
      {kMethodUpdate, true, true, "", {false, false, true, true}},
  };
  for (const auto& c : cases) {
    // Whatever was chosen before is overwritten.
    TJobData d(0);
    d.idxNewerL = d.idxNewerR = d.idxEqualDate = d.idxEqualL = d.idxEqualR = d.idxSingleL = 1;
    d.idxSingleR = 1, d.Empty_RemoveL = d.Empty_RemoveR = d.Empty_CopyL = d.Empty_CopyR = true;
    ApplyMethod(d, c.method);
    EXPECT_EQ(c.method, d.idxMethod);
    const auto actions = d.Actions();
    EXPECT_EQ(MethodPreset(c.method)->actions, actions);
    bool to_right = false, to_left = false;
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
    EXPECT_TRUE(!d.idxEqualL && !d.idxEqualR && d.idxNewerL && d.idxNewerR) << c.method;
  }
}

TEST(MethodPresetsTest, CustomAndUnknownMethodsKeepTheStoredChoices) {
  for (int32_t method : {kMethodCustom, kMethodNone, 9, -1}) {
    TJobData d(0);
    ApplyMethod(d, kMethodMirrorL);
    d.idxEqualL = 1;
    ApplyMethod(d, method);
    EXPECT_FALSE(MethodPreset(method).has_value()) << method;
    EXPECT_EQ(std::tuple(method, 1, 2, true),
              std::tuple(d.idxMethod, d.idxEqualL, d.idxSingleR, d.Empty_RemoveR));
  }
}

}  // namespace
}  // namespace twn
