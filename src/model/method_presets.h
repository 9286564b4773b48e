#pragma once
// The five named synchronize methods as presets of the seven per-class actions and the four
// empty-folder flags. Choosing a method writes its preset into the job; the plan reads only
// the actions and flags, so named methods and "Custom" run through the same code.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "model/job_data.h"

namespace twn {

struct TMethodPreset {
  /// In TActionField order: NewerL, NewerR, EqualDate, EqualL, EqualR, SingleL, SingleR.
  std::array<int32_t, kActionFieldCount> actions;
  /// RemoveL, RemoveR, CopyL, CopyR.
  std::array<bool, kEmptyFlagCount> empty;
};

/// Presets of methods 1 (kMethodMirrorL) to 5 (kMethodUpdate), at index method - 1.
inline constexpr std::array<TMethodPreset, 5> kMethodPresets = {{
    {{1, 1, 1, 0, 0, 1, 2}, {false, true, true, false}},
    {{2, 2, 2, 0, 0, 2, 1}, {true, false, false, true}},
    {{1, 1, 1, 0, 0, 1, 0}, {false, false, true, false}},
    {{2, 2, 2, 0, 0, 0, 1}, {false, false, false, true}},
    {{1, 2, 0, 0, 0, 1, 1}, {false, false, true, true}},
}};

/// The short names of the named methods on twn-cli's command line, in method order.
inline constexpr std::array<std::string_view, 5> kMethodShortNames = {
    "mirror-lr", "mirror-rl", "copy-lr", "copy-rl", "update"};
inline constexpr std::string_view kMethodShortNameList =
    "mirror-lr, mirror-rl, copy-lr, copy-rl or update";
/// The method of a short name; none for another text.
std::optional<int32_t> MethodByShortName(std::string_view name);

/// The preset of a named method; none for 0, "Custom" and unknown values.
std::optional<TMethodPreset> MethodPreset(int32_t method);

/// Sets idxMethod and, for a named method, writes its preset into the actions and flags;
/// "Custom" (and any other value) leaves them as they are.
void ApplyMethod(TJobData& data, int32_t method);

}  // namespace twn
