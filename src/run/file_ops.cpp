#include "run/file_ops.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/unique_fd.h"

namespace twn {

using platform::TError;
using platform::TRootedPath;
using platform::TUniqueFd;

namespace {

/// The open file `fd` is still the one named `name` in the folder `dir`.
bool StillNamed(int fd, int dir, const std::string& name) {
  struct stat opened {};
  struct stat named {};
  return ::fstat(fd, &opened) == 0 &&
         ::fstatat(dir, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
         opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

/// Removes the temporary files that killed copies left in the folder `dir`. A copy that is
/// still going on holds a lock on its file, so only files whose lock can be taken at once go.
/// Best effort: whatever cannot be listed, opened or locked stays.
void RemoveLeftovers(int dir) {
  const int list_fd = ::openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (list_fd < 0) return;
  DIR* listing = ::fdopendir(list_fd);
  if (!listing) {
    ::close(list_fd);
    return;
  }
  std::vector<std::string> names;
  while (const dirent* e = ::readdir(listing))
    if (platform::IsCopyTempName(e->d_name)) names.emplace_back(e->d_name);
  ::closedir(listing);
  for (const std::string& name : names) {
    // O_NOFOLLOW: a link is never followed; O_NONBLOCK: a FIFO does not hang the run.
    const TUniqueFd fd(
        ::openat(dir, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat st {};
    if (!fd.Valid() || ::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) continue;  // its copy is still going on
    if (StillNamed(fd.Get(), dir, name)) ::unlinkat(dir, name.c_str(), 0);
  }
}

// One copy, step by step. Every failure records its error and the side it belongs to.
class TFileCopy {
 public:
  TFileCopy(TCopyEnd source, TCopyEnd target, std::span<char> buffer, TCopyObserver& observer)
      : source_(source), target_(target), buffer_(buffer), observer_(observer) {}
  ~TFileCopy() {
    if (!temp_name_.empty()) ::unlinkat(target_dir_, temp_name_.c_str(), 0);
  }
  TFileCopy(const TFileCopy&) = delete;
  TFileCopy& operator=(const TFileCopy&) = delete;

  TCopyOutcome Run(int64_t& byte_count, int64_t& bytes_done);

 private:
  bool Fail(TError error, bool on_source) {
    outcome_.error = error;
    outcome_.on_source = on_source;
    return false;
  }
  bool Stopped() {
    outcome_.stopped = observer_.StopRequested();
    return outcome_.stopped;
  }
  bool OpenSource();
  bool OpenTargetFolder();
  bool CreateTemp();
  bool CopyData(int64_t& byte_count, int64_t& bytes_done);
  /// Plain read and write of one block; returns the bytes moved, -1 after a failure.
  ssize_t CopyBlock();
  bool Complete();

  TCopyEnd source_;
  TCopyEnd target_;
  std::span<char> buffer_;
  TCopyObserver& observer_;
  TUniqueFd src_;
  struct stat st_ {};
  /// The temporary file as created.
  struct stat tmp_st_ {};
  /// The target's folder, lent by the target side's walker for the whole copy.
  int target_dir_ = -1;
  std::string target_name_;
  std::string temp_name_;
  TUniqueFd tmp_;
  /// A second descriptor of the temporary file: keeps its lock from the close to the rename.
  TUniqueFd lock_;
  TCopyOutcome outcome_;
};

TCopyOutcome TFileCopy::Run(int64_t& byte_count, int64_t& bytes_done) {
  const int64_t restart = bytes_done + byte_count;
  byte_count = 0;
  bool ok = OpenSource() && !Stopped();
  if (ok) {
    observer_.ThrottledRefresh();
    ok = OpenTargetFolder() && CreateTemp() && !Stopped() && CopyData(byte_count, bytes_done) &&
         Complete();
  }
  if (!ok) {
    // The progress position moves past the whole file, as if it had been copied.
    byte_count = 0;
    bytes_done = restart;
  }
  return outcome_;
}

bool TFileCopy::OpenSource() {
  const platform::TSplitPath split = platform::SplitLast(source_.path);
  int dir = -1;
  if (const TError e = source_.folders.walker.Open(split.folder, dir)) return Fail(e, true);
  // O_NONBLOCK: a FIFO put in a file's place after the scan must not hang the run.
  src_ = TUniqueFd(::openat(dir, std::string(split.name).c_str(),
                            O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW));
  if (!src_.Valid() || ::fstat(src_.Get(), &st_) != 0) return Fail(errno, true);
  if (!S_ISREG(st_.st_mode)) return Fail(S_ISDIR(st_.st_mode) ? EISDIR : EINVAL, true);
  ::posix_fadvise(src_.Get(), 0, 0, POSIX_FADV_SEQUENTIAL);
  return true;
}

bool TFileCopy::OpenTargetFolder() {
  if (const TError e = OpenCopyTargetFolder(target_, target_dir_, target_name_))
    return Fail(e, false);
  const platform::TSplitPath split = platform::SplitLast(target_.path);
  if (target_.folders.cleaned != split.folder.path) {
    target_.folders.cleaned.assign(split.folder.path);
    RemoveLeftovers(target_dir_);
  }
  return true;
}

bool TFileCopy::CreateTemp() {
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = NewTempName();
    TUniqueFd fd(::openat(target_dir_, name.c_str(),
                          O_CREAT | O_EXCL | O_NOFOLLOW | O_WRONLY | O_CLOEXEC, 0600));
    if (!fd.Valid()) {
      if (errno == EEXIST) continue;
      return Fail(errno, false);
    }
    // Locked, another run's cleanup leaves the file alone. Between the creation and the lock
    // such a cleanup may have removed it (the name is random, so only a cleanup does): then
    // another name. A file system without locks goes without (its cleanups cannot lock either,
    // so they remove nothing).
    int locked;
    do locked = ::flock(fd.Get(), LOCK_EX);
    while (locked != 0 && errno == EINTR);
    if (::fstat(fd.Get(), &tmp_st_) != 0) return Fail(errno, false);
    if (locked == 0 && tmp_st_.st_nlink == 0) continue;
    tmp_ = std::move(fd);
    temp_name_ = std::move(name);
    return true;
  }
  return Fail(EEXIST, false);
}

bool TFileCopy::CopyData(int64_t& byte_count, int64_t& bytes_done) {
  using Clock = std::chrono::steady_clock;
  bool in_kernel = true;
  TCopyStep step;
  for (;;) {
    ssize_t n;
    if (in_kernel) {
      const Clock::time_point start = Clock::now();
      n = ::copy_file_range(src_.Get(), nullptr, tmp_.Get(), nullptr, step.Size(), 0);
      // On any refusal the plain path repeats the step at the same offsets and names the side
      // of a real error; an early 0 may come from a file system that cannot do it.
      if (n < 0 || (n == 0 && byte_count < st_.st_size)) {
        in_kernel = false;
        continue;
      }
      step.Took(Clock::now() - start, static_cast<size_t>(n));
    } else {
      n = CopyBlock();
      if (n < 0) return false;
    }
    if (n == 0) return true;
    byte_count += n;
    bytes_done += n;
    observer_.ThrottledRefresh();
    if (Stopped()) return false;
  }
}

ssize_t TFileCopy::CopyBlock() {
  const size_t want = std::min(kCopyBlockSize, buffer_.size());
  ssize_t n;
  do n = ::read(src_.Get(), buffer_.data(), want);
  while (n < 0 && errno == EINTR);
  if (n < 0) return Fail(errno, true), -1;
  for (ssize_t done = 0; done < n;) {
    const ssize_t w = ::write(tmp_.Get(), buffer_.data() + done, static_cast<size_t>(n - done));
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return Fail(w < 0 ? errno : ENOSPC, false), -1;
    done += w;
  }
  return n;
}

bool TFileCopy::Complete() {
  const timespec times[2] = {st_.st_atim, st_.st_mtim};
  if (::futimens(tmp_.Get(), times) != 0) return Fail(errno, false);
  const platform::TCarriedStatus from{0, st_.st_mode & 07777u, st_.st_uid, st_.st_gid};
  if (::fchmod(tmp_.Get(), CarryOwner(tmp_.Get(), tmp_st_, from)) != 0) return Fail(errno, false);
  lock_ = TUniqueFd(::fcntl(tmp_.Get(), F_DUPFD_CLOEXEC, 0));
  if (!lock_.Valid()) return Fail(errno, false);
  if (const TError e = tmp_.Close()) return Fail(e, false);
  if (const TError e = src_.Close()) return Fail(e, true);
  if (::renameat(target_dir_, temp_name_.c_str(), target_dir_, target_name_.c_str()) != 0)
    return Fail(errno, false);
  temp_name_.clear();
  return true;
}

}  // namespace

TCopyOutcome CopyOneFile(TCopyEnd source, TCopyEnd target, std::span<char> buffer,
                         int64_t& byte_count, int64_t& bytes_done, TCopyObserver& observer) {
  return TFileCopy(source, target, buffer, observer).Run(byte_count, bytes_done);
}

std::string NewTempName() {
  return std::string(platform::kCopyTempPrefix) +
         platform::RandomName(platform::kCopyTempRandomLength);
}

TError OpenCopyTargetFolder(const TCopyEnd& target, int& dir, std::string& name) {
  const platform::TSplitPath split = platform::SplitLast(target.path);
  if (const TError e = target.folders.walker.Open(split.folder, dir)) return e;
  name.assign(split.name);
  struct stat st {};
  if (::fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode))
    return EISDIR;
  return 0;
}

mode_t CarryOwner(int fd, const struct stat& copy, const platform::TCarriedStatus& from) {
  mode_t mode = from.mode & 07777;
  // The copy may have the source's owner and group already (a user copying their own file).
  bool owner = copy.st_uid == from.uid, group = copy.st_gid == from.gid;
  // As cp -a and rsync -a do. Before the mode is set: a change of owner clears set-ID bits.
  if (!(owner && group) && ::geteuid() == 0 && ::fchown(fd, from.uid, from.gid) == 0)
    owner = group = true;
  // Another owner's set-ID program must not become this one's.
  if (!owner) mode &= ~mode_t(S_ISUID | S_ISGID);
  if (!group) mode &= ~mode_t(S_ISGID);
  return mode;
}

TError DeleteOneFile(TRootedPath path, int64_t& size, TSideFolders& folders) {
  size = 0;
  const platform::TSplitPath split = platform::SplitLast(path);
  int dir = -1;
  if (const TError e = folders.walker.Open(split.folder, dir)) return e;
  const std::string name(split.name);
  struct stat st {};
  if (::fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return errno;
  if (::unlinkat(dir, name.c_str(), 0) != 0) return errno;
  if (S_ISREG(st.st_mode)) size = st.st_size;
  return 0;
}

TError RemoveOneFolder(TRootedPath path, TSideFolders& folders) {
  const platform::TSplitPath split = platform::SplitLast(path);
  int dir = -1;
  if (const TError e = folders.walker.Open(split.folder, dir)) return e;
  const std::string name(split.name);
  if (::unlinkat(dir, name.c_str(), AT_REMOVEDIR) == 0) return 0;
  if (errno != ENOTEMPTY) return errno;
  // The leftovers of killed copies are not the user's: they never keep a folder alive.
  const TUniqueFd folder(
      ::openat(dir, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!folder.Valid()) return ENOTEMPTY;
  RemoveLeftovers(folder.Get());
  return ::unlinkat(dir, name.c_str(), AT_REMOVEDIR) == 0 ? 0 : errno;
}

TForceResult ForceFolders(TRootedPath path, TSideFolders& folders) {
  int fd = -1;
  TError raced = 0;
  const TError e = folders.walker.Force(path, fd, raced);
  return {e == 0, e ? e : raced};
}

TForceResult ForceFolders(const std::string& path) {
  TSideFolders folders;
  return ForceFolders({path, path.size()}, folders);
}

}  // namespace twn
