#include "model/method_presets.h"

namespace twn {

std::optional<TMethodPreset> MethodPreset(int32_t method) {
  if (method < kMethodMirrorL || method > kMethodUpdate) return std::nullopt;
  return kMethodPresets[method - 1];
}

void ApplyMethod(TJobData& data, int32_t method) {
  data.idxMethod = method;
  const std::optional<TMethodPreset> preset = MethodPreset(method);
  if (!preset) return;
  const auto& a = preset->actions;
  data.idxNewerL = a[afNewerL];
  data.idxNewerR = a[afNewerR];
  data.idxEqualDate = a[afEqualDate];
  data.idxEqualL = a[afEqualL];
  data.idxEqualR = a[afEqualR];
  data.idxSingleL = a[afSingleL];
  data.idxSingleR = a[afSingleR];
  data.Empty_RemoveL = preset->empty[0];
  data.Empty_RemoveR = preset->empty[1];
  data.Empty_CopyL = preset->empty[2];
  data.Empty_CopyR = preset->empty[3];
}

std::optional<int32_t> MethodByShortName(std::string_view name) {
  for (size_t i = 0; i < kMethodShortNames.size(); ++i)
    if (kMethodShortNames[i] == name) return static_cast<int32_t>(kMethodMirrorL + i);
  return std::nullopt;
}

}  // namespace twn
