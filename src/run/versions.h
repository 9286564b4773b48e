#pragma once
// Keeping, listing, pruning and restoring versions of a job's files (model/versions.h says
// where they go and how they are named). Errors are errno values, as in run/file_ops.h.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/job_data.h"
#include "platform/below_root.h"
#include "run/file_ops.h"

namespace twn {

/// What keeping one version did.
struct TKeepOutcome {
  platform::TError error = 0;
  /// The version's path (also after a failure: where it was to go).
  std::string version;
  /// The version is a second name of the kept file, not a copy.
  bool linked = false;
};

/// Keeps the versions of one run, all under one stamp.
class TVersionKeeper {
 public:
  TVersionKeeper(const TJobData& job, std::string stamp);

  /// Puts the file `path` (below its root) into its versions folder. With `remove` the file
  /// leaves its place (a deletion): linked under the version's name and unlinked, or, where no
  /// link can be made (another file system, EPERM), copied, synced and then removed. Without,
  /// it stays (an overwrite to come). On failure the file is where and as it was.
  TKeepOutcome Keep(platform::TRootedPath path, TSideFolders& folders, bool remove);
  /// Takes back a version Keep linked for an overwrite that then failed: the file it names is
  /// still in its place.
  void Drop(const TKeepOutcome& kept);

 private:
  TKeepOutcome KeepByCopy(platform::TRootedPath path, TSideFolders& folders, int vdir,
                          const std::string& vfolder, size_t vroot_length, std::string_view base);

  const TJobData& job_;
  std::string stamp_;
  TSideFolders version_folders_;
  std::vector<char> buffer_;
};

/// One kept version.
struct TKeptVersion {
  /// The file's path below its root when it was kept.
  std::string original;
  std::string stamp;
  platform::TDateTime time = 0;
  int clash = 1;
  int64_t size = 0;
  /// The version's own path.
  std::string path;
};

/// The versions below a versions root (VersionsRootOf), of one file (`original` not empty) or
/// of all; sorted by original path, newest first. A missing root holds none.
std::vector<TKeptVersion> ListVersions(const std::string& versions_root,
                                       std::string_view original = {});

/// One removal of retention.
struct TPruneResult {
  std::string path;
  platform::TError error = 0;
};
/// Removes the versions of every side of the job that are neither among the newest
/// KeepCount of their file nor younger (by their stamp) than KeepDays days at `now`; then the
/// subfolders that left empty. Each versions folder is pruned once.
std::vector<TPruneResult> PruneVersions(const TJobData& job, platform::TDateTime now);

/// Where a path given by a user lies: which pair root holds it, and the path below it.
struct TPathInPair {
  std::string root;
  std::string below;
};
/// The innermost root of the job's pairs that holds `path` (absolute, or relative to the
/// working folder), compared as real paths; nothing when none does.
std::optional<TPathInPair> FindInPairs(const TJobData& job, std::string_view path);

/// Puts a version back in its file's place: copied beside it and renamed over it, the current
/// file, if any, first kept as a version under `stamp` (as before an overwrite). `message`
/// receives what was done or why it failed.
platform::TError RestoreVersion(const TJobData& job, const TPathInPair& where,
                                const TKeptVersion& version, const std::string& stamp,
                                std::string& message);

}  // namespace twn
