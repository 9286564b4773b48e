#include "run/versions.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "model/versions.h"
#include "platform/unique_fd.h"

namespace twn {

using platform::TError;
using platform::TRootedPath;
using platform::TUniqueFd;

namespace {

/// Versions are kept whole: a copy of one is never abandoned half-way.
class TNoStop final : public TCopyObserver {
  bool StopRequested() override { return false; }
  void ThrottledRefresh() override {}
};

/// The file system cannot give the file a second name there: a copy has to do.
bool CannotLink(TError e) {
  return e == EXDEV || e == EPERM || e == EMLINK || e == ENOTSUP || e == EOPNOTSUPP || e == ENOSYS;
}

/// A copied version is on the disk, name included, before its original goes.
TError SyncFile(int dir, const std::string& name) {
  const TUniqueFd fd(::openat(dir, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  if (!fd.Valid() || ::fsync(fd.Get()) != 0) return errno;
  const TUniqueFd folder(::openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.Valid()) ::fsync(folder.Get());
  return 0;
}

/// How much of a version's path is opened as given: the side's root for the default folder
/// (which lies below it and is reached like the files), else the user's folder.
size_t GivenLength(const TJobData& job, TRootedPath path) {
  return job.VersionsFolder.empty() ? path.root_length
                                    : platform::IncludeTrailingSeparator(job.VersionsFolder).size();
}

}  // namespace

TVersionKeeper::TVersionKeeper(const TJobData& job, std::string stamp)
    : job_(job), stamp_(std::move(stamp)), buffer_(kCopyBufferSize) {}

TKeepOutcome TVersionKeeper::Keep(TRootedPath path, TSideFolders& folders, bool remove) {
  const std::string_view below = path.path.substr(path.root_length);
  const std::string vfolder = VersionsRootOf(job_, path.path.substr(0, path.root_length)) +
                              std::string(platform::ParentFolder(below));
  const std::string_view base = platform::LastComponent(below);
  const size_t given = GivenLength(job_, path);
  TKeepOutcome out;
  out.version = vfolder + VersionName(base, stamp_, 1);
  int vdir = -1, dir = -1;
  TError raced = 0;
  if ((out.error = version_folders_.walker.Force({vfolder, given}, vdir, raced))) return out;
  const platform::TSplitPath split = platform::SplitLast(path);
  if ((out.error = folders.walker.Open(split.folder, dir))) return out;
  const std::string name(split.name);
  for (int clash = 1; !out.linked; ++clash) {
    if (clash > 999) return out.error = EEXIST, out;
    const std::string vname = VersionName(base, stamp_, clash);
    out.version = vfolder + vname;
    if (::linkat(dir, name.c_str(), vdir, vname.c_str(), 0) == 0) {
      out.linked = true;
    } else if (CannotLink(errno)) {
      out = KeepByCopy(path, folders, vdir, vfolder, given, base);
      if (out.error) return out;
      break;
    } else if (errno != EEXIST) {
      return out.error = errno, out;
    }
  }
  if (!remove) return out;
  // The copy may have walked elsewhere with the side's walker: the folder is opened again.
  if ((out.error = folders.walker.Open(split.folder, dir)) == 0 &&
      ::unlinkat(dir, name.c_str(), 0) != 0)
    out.error = errno;
  if (out.error) ::unlink(out.version.c_str());  // the file stays; so does nothing else
  return out;
}

TKeepOutcome TVersionKeeper::KeepByCopy(TRootedPath path, TSideFolders& folders, int vdir,
                                        const std::string& vfolder, size_t given,
                                        std::string_view base) {
  TKeepOutcome out;
  std::string vname;
  struct stat st {};
  for (int clash = 1;; ++clash) {
    if (clash > 999) return out.error = EEXIST, out;
    vname = VersionName(base, stamp_, clash);
    if (::fstatat(vdir, vname.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) break;
  }
  out.version = vfolder + vname;
  int64_t bytes = 0, done = 0;
  TNoStop no_stop;
  const TCopyOutcome r = CopyOneFile({path, folders}, {{out.version, given}, version_folders_},
                                     buffer_, bytes, done, no_stop);
  if ((out.error = r.error)) return out;
  const platform::TSplitPath vsplit = platform::SplitLast({out.version, given});
  if ((out.error = version_folders_.walker.Open(vsplit.folder, vdir)) == 0)
    out.error = SyncFile(vdir, vname);
  if (out.error) ::unlink(out.version.c_str());
  return out;
}

void TVersionKeeper::Drop(const TKeepOutcome& kept) {
  if (kept.linked && kept.error == 0) ::unlink(kept.version.c_str());
}

TError RestoreVersion(const TJobData& job, const TPathInPair& where, const TKeptVersion& version,
                      const std::string& stamp, std::string& message) {
  const std::string root = platform::IncludeTrailingSeparator(where.root);
  const std::string target = root + where.below;
  TSideFolders side;
  // The file's folder may have gone with it.
  const std::string folder(platform::ParentFolder(target));
  if (folder.size() > root.size()) {
    const TForceResult made = ForceFolders({folder, root.size()}, side);
    if (!made.ok) {
      message = "cannot create '" + folder + "': " + platform::ErrorText(made.error);
      return made.error;
    }
  }
  struct stat st {};
  TVersionKeeper keeper(job, stamp);
  TKeepOutcome kept;
  if (::lstat(target.c_str(), &st) == 0) {
    kept = keeper.Keep({target, root.size()}, side, false);
    if (kept.error) {
      message = "cannot keep the current file as the version '" + kept.version +
                "': " + platform::ErrorText(kept.error);
      return kept.error;
    }
  }
  TSideFolders from;
  std::vector<char> buffer(kCopyBufferSize);
  int64_t bytes = version.size, done = 0;
  TNoStop no_stop;
  const TCopyOutcome r =
      CopyOneFile({{version.path, platform::ParentFolder(version.path).size()}, from},
                  {{target, root.size()}, side}, buffer, bytes, done, no_stop);
  if (r.error) {
    keeper.Drop(kept);
    message =
        "cannot copy '" + version.path + "' to '" + target + "': " + platform::ErrorText(r.error);
    return r.error;
  }
  message = "Restored '" + target + "' from '" + version.path + "'";
  if (!kept.version.empty()) message += "; the file it replaced is kept as '" + kept.version + "'";
  return 0;
}

}  // namespace twn
