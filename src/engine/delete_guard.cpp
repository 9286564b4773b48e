#include "engine/delete_guard.h"

#include "model/job_data.h"

namespace twn {

TGuardSide GuardCounts(const TScanInfo& info, int side) {
  const TPlanCounters& plan = info.PlanCounters();
  TGuardSide s;
  s.files = info.ScanCounters().files_found[side];
  s.deleted = plan.count[side == kLeft ? paDeleteLeft : paDeleteRight] + plan.count[paDeleteBoth];
  s.overwritten = plan.count[side == kLeft ? paOverwriteLeft : paOverwriteRight];
  return s;
}

namespace {

bool Holds(const TGuardSide& s, int32_t percent) {
  if (percent <= 0 || s.Affected() <= kDeleteGuardFloor) return false;
  return s.deleted >= s.files || s.Affected() * 100 > int64_t{percent} * s.files;
}

std::string HeldText(const TGuardSide& s, int side, int32_t percent) {
  // Rounded up, so that a share just over the limit does not read as equal to it.
  const int64_t share = (s.Affected() * 100 + s.files - 1) / s.files;
  const std::string where = " files on the " + std::string(side == kLeft ? "left" : "right") +
                            " side (" + std::to_string(share) + "%)";
  std::string text = s.deleted >= s.files
                         ? "the run would delete all " + std::to_string(s.files) + where
                         : "the run would delete " + std::to_string(s.deleted) + " and overwrite " +
                               std::to_string(s.overwritten) + " of the " +
                               std::to_string(s.files) + where;
  // At 100 only deleting every file holds a run, and that is no more than the limit.
  if (percent < 100) text += ", more than the job's limit of " + std::to_string(percent) + "%";
  return text;
}

}  // namespace

TGuardVerdict CheckDeleteGuard(const TScanInfo& info, int32_t max_percent) {
  const int32_t percent = GuardPercent(max_percent);
  TGuardVerdict v;
  for (int side : {kLeft, kRight}) {
    v.counts[side] = GuardCounts(info, side);
    if (v.held || !Holds(v.counts[side], percent)) continue;
    v.held = true;
    v.side = side;
    v.text = HeldText(v.counts[side], side, percent);
  }
  return v;
}

std::string GuardSettingText(int32_t max_percent) {
  const int32_t percent = GuardPercent(max_percent);
  if (percent == 0) return "Off: no run is held, whatever it deletes";
  return "Ask before deleting more than " + std::to_string(percent) + "% of a side's files (over " +
         std::to_string(kDeleteGuardFloor) + " files)";
}

}  // namespace twn
