#pragma once
// The options of `twn-cli add`: read and checked here, then written into a new job.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "model/job_data.h"
#include "platform/time.h"

namespace twn::cli {

inline constexpr std::string_view kAddUsage =
    "twn-cli add JOB --left DIR --right DIR [--left DIR --right DIR]...\n"
    "         [--method mirror-lr|mirror-rl|copy-lr|copy-rl|update] [--no-subfolders]\n"
    "         [--include SPECS] [--exclude SPECS] [--exclude-folder PATTERN]...\n"
    "         [--every-minutes N | --every-hours N | --daily HH:MM | --every-days N --at HH:MM]\n"
    "         [--skip-days Mon,Tue,...] [--not-before YYYY-MM-DD] [--max-delete-percent P]\n"
    "         [--watch] [--versions | --versions-folder DIR] [--keep-versions N] [--keep-days D]\n"
    "         [--links|--no-links] [--folder-times|--no-folder-times]";

struct TAddRequest {
  std::optional<std::string> name;
  /// Absolute paths, in the order given; pair i is lefts[i] with rights[i].
  std::vector<std::string> lefts, rights;
  /// "update" when no --method is given: it copies both ways and deletes nothing.
  int32_t method = kMethodUpdate;
  bool subfolders = true;
  std::optional<std::string> include, exclude;
  std::vector<std::string> folder_patterns;
  int32_t frequency = kFreqManual;
  int32_t interval = 1;
  /// Time of day as a fraction of a day.
  std::optional<platform::TDateTime> at;
  int32_t exclude_days = 0;
  std::optional<platform::TDateTime> not_before;
  /// The deletion guard's percentage, 0 (off) to 100.
  int32_t max_delete_percent = kDefaultMaxDeletePercent;
  /// Run when files change.
  bool watch = false;
  /// Deleted and overwritten files are kept: in `versions_folder`, or the default when empty.
  bool keep_versions = false;
  std::string versions_folder;
  std::optional<int32_t> keep_count;
  std::optional<int32_t> keep_days;
  /// Symbolic links copied as links; folders given their partners' times. A new job's defaults.
  bool links = TJobData().bCopyLinks;
  bool folder_times = TJobData().bFolderTimes;
};

/// Reads and checks add's arguments (all but the uniqueness of the name, which needs the job
/// list). On a mistake returns the message for the user.
std::optional<std::string> ParseAddArgs(Args args, TAddRequest& out);

/// Writes the request into a new job's definition: name (trimmed), pairs, the method's preset,
/// filters, schedule, deletion guard, watch and versions; everything else keeps the new job's
/// defaults.
void ApplyAddRequest(const TAddRequest& request, TJobData& data, platform::TDateTime now);

}  // namespace twn::cli
