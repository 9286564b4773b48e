#pragma once
// The deletion guard: whether a finished plan deletes or overwrites so much of one side that a
// run should not carry it out unasked. The classic case is a source disk that is not mounted:
// its mount point is empty, and a mirror would delete the whole backup.
#include <cstdint>
#include <string>

#include "engine/scan_info.h"

namespace twn {

/// What the plan does to one side's files.
struct TGuardSide {
  int64_t files = 0;  // the files the scan found on the side
  int64_t deleted = 0;
  int64_t overwritten = 0;
  int64_t Affected() const { return deleted + overwritten; }
};

struct TGuardVerdict {
  bool held = false;
  /// The side that holds the run (the left one when both would), -1 when none does.
  int side = -1;
  TGuardSide counts[2];
  /// Names the side, its counts and the limit, as one sentence; empty when not held.
  std::string text;
};

/// The files a plan deletes and overwrites on each side, against those found there.
TGuardSide GuardCounts(const TScanInfo& info, int side);

/// Whether the plan of `info` is held for a job whose stored percentage is `max_percent`: on
/// some side, more than kDeleteGuardFloor files are deleted or overwritten and they are more
/// than the percentage of that side's files, or every file of it is deleted. A percentage of 0
/// (or below) never holds.
TGuardVerdict CheckDeleteGuard(const TScanInfo& info, int32_t max_percent);

/// The job's setting as a sentence: "Ask before deleting more than 50% of a side's files (over
/// 10 files)", or that the guard is off.
std::string GuardSettingText(int32_t max_percent);

}  // namespace twn
