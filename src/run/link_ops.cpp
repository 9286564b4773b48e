#include "run/link_ops.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

namespace twn {

using platform::TError;

namespace {

class TLinkCopy {
 public:
  TLinkCopy(TCopyEnd source, TCopyEnd target) : source_(source), target_(target) {}
  ~TLinkCopy() {
    if (!temp_name_.empty()) ::unlinkat(target_dir_, temp_name_.c_str(), 0);
  }
  TLinkCopy(const TLinkCopy&) = delete;
  TLinkCopy& operator=(const TLinkCopy&) = delete;

  TLinkOutcome Run() {
    if (ReadSource() && OpenTargetFolder() && CreateTemp()) Rename();
    return std::move(outcome_);
  }

 private:
  bool Fail(TError error, bool on_source) {
    outcome_.error = error;
    outcome_.on_source = on_source;
    return false;
  }
  bool ReadSource();
  bool OpenTargetFolder();
  bool CreateTemp();
  bool Rename();

  TCopyEnd source_;
  TCopyEnd target_;
  struct stat st_ {};
  int target_dir_ = -1;
  std::string target_name_;
  std::string temp_name_;
  TLinkOutcome outcome_;
};

// The link as it is now: a link whose text changed since the scan is copied with its new text
// (it is the newer state); anything that is no longer a link is left for a later run.
bool TLinkCopy::ReadSource() {
  const platform::TSplitPath split = platform::SplitLast(source_.path);
  int dir = -1;
  if (const TError e = source_.folders.walker.Open(split.folder, dir)) return Fail(e, true);
  const std::string name(split.name);
  if (::fstatat(dir, name.c_str(), &st_, AT_SYMLINK_NOFOLLOW) != 0) return Fail(errno, true);
  std::string& text = outcome_.target_text;
  text.resize(PATH_MAX);
  const ssize_t n = ::readlinkat(dir, name.c_str(), text.data(), text.size());
  if (!S_ISLNK(st_.st_mode) || (n < 0 && errno == EINVAL)) {
    outcome_.not_a_link = true;
    return Fail(S_ISDIR(st_.st_mode) ? EISDIR : EINVAL, true);
  }
  if (n < 0) return Fail(errno, true);
  if (static_cast<size_t>(n) >= text.size()) return Fail(ENAMETOOLONG, true);
  text.resize(static_cast<size_t>(n));
  return true;
}

bool TLinkCopy::OpenTargetFolder() {
  if (const TError e = OpenCopyTargetFolder(target_, target_dir_, target_name_))
    return Fail(e, false);
  return true;
}

bool TLinkCopy::CreateTemp() {
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = NewTempName();
    if (::symlinkat(outcome_.target_text.c_str(), target_dir_, name.c_str()) != 0) {
      if (errno == EEXIST) continue;
      return Fail(errno, false);
    }
    temp_name_ = std::move(name);
    const timespec times[2] = {st_.st_atim, st_.st_mtim};
    if (::utimensat(target_dir_, temp_name_.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
      return Fail(errno, false);
    return true;
  }
  return Fail(EEXIST, false);
}

bool TLinkCopy::Rename() {
  if (::renameat(target_dir_, temp_name_.c_str(), target_dir_, target_name_.c_str()) != 0)
    return Fail(errno, false);
  temp_name_.clear();
  return true;
}

// Opened for its bits: a folder the run made is its own and readable.
TError CarryFolderMode(int dir, const std::string& name, bool follow,
                       const platform::TCarriedStatus& from) {
  const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (follow ? 0 : O_NOFOLLOW);
  const platform::TUniqueFd fd(::openat(dir, name.c_str(), flags));
  struct stat st {};
  if (!fd.Valid() || ::fstat(fd.Get(), &st) != 0) return errno;
  return ::fchmod(fd.Get(), CarryOwner(fd.Get(), st, from)) == 0 ? 0 : errno;
}

}  // namespace

TLinkOutcome CopyOneLink(TCopyEnd source, TCopyEnd target) {
  return TLinkCopy(source, target).Run();
}

bool IsNoLinksError(TError error) {
  return error == EPERM || error == EOPNOTSUPP;
}

TError CarryFolderStatus(platform::TRootedPath folder, const platform::TCarriedStatus& from,
                         bool created, TSideFolders& folders) {
  const timespec times[2] = {{0, UTIME_OMIT}, platform::UnixFromFileTime(from.time)};
  std::string name = platform::ExcludeTrailingSeparator(std::string(folder.path));
  int dir = AT_FDCWD;
  int flags = AT_SYMLINK_NOFOLLOW;
  if (name.size() < folder.root_length) {  // the root, which may be a link of the user's
    flags = 0;
  } else {
    const platform::TSplitPath split = platform::SplitLast(folder);
    if (const TError e = folders.walker.Open(split.folder, dir)) return e;
    name = split.name;
  }
  // The time is set even where the bits cannot be (a file system without them).
  const TError mode = created ? CarryFolderMode(dir, name, flags == 0, from) : 0;
  if (::utimensat(dir, name.c_str(), times, flags) != 0) return errno;
  return mode;
}

}  // namespace twn
