#pragma once
// Kept versions of deleted and overwritten files: where they go, how they are named, and
// whether a job's settings for them can be used.
//
// A version is the file's path below its pair's root with a run stamp appended to the name:
// "docs/report.txt~2026-12-07_164705" (local time of the run's start), "-2", "-3"... added when
// that name is taken. The default versions folder is kVersionsFolderName at the root of each
// side; a folder the user names holds every side of every pair below the real path of the
// side's root ("<folder>/home/ann/docs/report.txt~..."), so two sides never share a version.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/job_data.h"
#include "platform/time.h"

namespace twn {

inline constexpr int32_t kDefaultKeepVersions = 10;
inline constexpr int32_t kDefaultKeepDays = 30;
inline constexpr int32_t kMaxKeepVersions = 10000;
inline constexpr int32_t kMaxKeepDays = 36500;
/// The retention a stored value stands for: at least the newest version of a file is kept, and
/// no age below zero days (a hand-edited file may hold either).
constexpr int32_t KeepCount(int32_t stored) {
  return stored < 1 ? 1 : stored;
}
constexpr int32_t KeepDays(int32_t stored) {
  return stored < 0 ? 0 : stored;
}

/// "2026-12-07_164705" for the local time `when`.
std::string VersionStamp(platform::TDateTime when);

/// A version's file name taken apart. `stamp` is the part after the last '~', clash suffix
/// included ("2026-12-07_164705-2"): what `restore --version` takes.
struct TVersionName {
  std::string_view base;
  std::string_view stamp;
  platform::TDateTime time = 0;
  int clash = 1;
};
/// Nothing unless the name ends in '~', a stamp of a real date and time, and optionally "-N"
/// (N >= 2): a user's file that merely holds a '~' is never taken for a version.
std::optional<TVersionName> SplitVersionName(std::string_view name);
/// "base~stamp", or "base~stamp-N" for a clash number above 1.
std::string VersionName(std::string_view base, std::string_view stamp, int clash);

/// Where versions of the files below `root` (one side of a pair, as the job holds it) go;
/// separator-ended.
std::string VersionsRootOf(const TJobData& job, std::string_view root);
/// A side's root and where its versions go.
struct TVersionsRoot {
  std::string side_root;
  std::string versions_root;
};
/// Every side of every pair with its versions root, each versions root once (a folder paired
/// with itself, or two pairs on one side, share one).
std::vector<TVersionsRoot> DistinctVersionsRoots(const TJobData& job);
/// The folders, relative to `root` and separator-ended, that a scan of it must not enter.
std::vector<std::string> VersionsSkips(const TJobData& job, std::string_view root);
/// Why the job's versions settings cannot be used (a folder inside a side the job copies from,
/// equal to a root, relative, or holding a line break), or an empty text.
std::string VersionsProblem(const TJobData& job);
/// One line for reports and quick info: where versions go and how long they stay.
std::string VersionsSettingText(const TJobData& job);

}  // namespace twn
