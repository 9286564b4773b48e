#pragma once
// The texts of a run's report: number formats and the blocks of lines the worker writes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "run/progress.h"

namespace twn {

struct TClassCounters;
struct TPlanCounters;

inline constexpr std::string_view kSeparatorLine =
    "==============================================================";

/// Digits in groups of three separated by one space, whatever the locale; a leading minus sign
/// for a negative value. Exact over the whole 64-bit range.
std::string GroupedNumber(int64_t value);
/// A grouped number, or "none" for 0.
std::string CountText(int64_t count);
/// "none" when both are 0, else "<count> [<bytes> bytes]" grouped.
std::string CountWithBytes(int64_t count, int64_t bytes);
/// The current local date and time as the report shows it.
std::string TimeStamp();

/// A number of files (or plan entries) and their bytes.
struct TCountBytes {
  int64_t count = 0;
  int64_t bytes = 0;
};

/// The file classes of a comparison, per side, as the report groups them.
struct TComparisonSummary {
  TCountBytes newer[2];
  TCountBytes older[2];
  TCountBytes unequal[2];
  TCountBytes equal[2];
  TCountBytes single[2];
  /// The five groups of one side added up.
  TCountBytes Total(int side) const;
};

/// The plan as the report groups it, per side.
struct TPlanSummary {
  TCountBytes to_copy[2];  // by the side of the source
  TCountBytes to_delete[2];
  TCountBytes overwritten[2];  // the files that a copy replaces, by their side
  int64_t to_create[2] = {};
  int64_t to_remove[2] = {};
  TCountBytes net_change[2];  // may be negative
};

/// The report's view of the scan info's class and plan counters.
TComparisonSummary ComparisonSummaryOf(const TClassCounters& counters);
TPlanSummary PlanSummaryOf(const TPlanCounters& counters);

/// Separator, "TWN job '<name>' started at <stamp>", an empty line.
std::vector<std::string> HeadLines(std::string_view job_name, std::string_view stamp);
/// An empty line, the terminated notice, "Terminated at <stamp>", separator, an empty line.
std::vector<std::string> TerminationLines(std::string_view job_name, std::string_view stamp);
/// "*** Comparison results ***" and its six groups, each closed by an empty line.
std::vector<std::string> ComparisonLines(const TComparisonSummary& summary);
/// "*** Synchronization plan ***" and its six groups; no empty line after the last.
std::vector<std::string> PlanLines(const TPlanSummary& summary);

/// The four result blocks of the synchronization half: a title and three value lines.
enum class TResultBlock { kCreated, kCopied, kDeleted, kRemoved };
std::vector<std::string> ResultBlockLines(TResultBlock block, const TRunCounters& counters);
/// "*** Synchronization results ***", the four blocks, "Job completed <stamp>", separator, "".
std::vector<std::string> ResultsLines(const TRunCounters& counters, std::string_view stamp);

}  // namespace twn
