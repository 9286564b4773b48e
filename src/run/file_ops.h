#pragma once
// The single file-system operations of a run's synchronization stages. Errors are errno values
// (0 = success), reported by the caller as report lines. Every path below its pair's root is
// reached without following a symbolic link (platform/below_root.h): a folder on the way that
// is a link fails the operation, a last name that is a link is acted on as the link itself.
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include <sys/stat.h>

#include "platform/below_root.h"
#include "platform/fs.h"

namespace twn {

/// Every read of a copy through the buffer asks for this much, and so does a copy's first step
/// in the kernel.
inline constexpr size_t kCopyBlockSize = 128 * 1024;
/// The copy buffer: one block and a little headroom, taken once per copy stage.
inline constexpr size_t kCopyBufferSize = kCopyBlockSize + 1024;
/// The largest step of a copy in the kernel.
inline constexpr size_t kCopyStepMax = 128 * 1024 * 1024;

/// The size of a copy's steps in the kernel. A large file goes in few calls, yet a stop request,
/// looked at between steps, waits about one step: a full step that was quick doubles the next
/// (up to kCopyStepMax), a slow one halves it (down to kCopyBlockSize).
class TCopyStep {
 public:
  static constexpr std::chrono::milliseconds kQuick{25};
  static constexpr std::chrono::milliseconds kSlow{50};
  size_t Size() const { return size_; }
  /// A step moved `moved` bytes in `took`.
  void Took(std::chrono::steady_clock::duration took, size_t moved) {
    if (took > kSlow)
      size_ = std::max(size_ / 2, kCopyBlockSize);
    else if (took < kQuick && moved == size_)
      size_ = std::min(size_ * 2, kCopyStepMax);
  }

 private:
  size_t size_ = kCopyBlockSize;
};

/// What a copy asks of the run that carries it out.
class TCopyObserver {
 public:
  virtual ~TCopyObserver() = default;
  virtual bool StopRequested() = 0;
  /// Called after each block; the run decides whether its progress is due.
  virtual void ThrottledRefresh() = 0;
};

struct TCopyOutcome {
  platform::TError error = 0;
  /// The error belongs to the source (else to the target).
  bool on_source = true;
  /// A stop request ended the copy; the caller writes nothing for this file.
  bool stopped = false;
};

/// What one side of a stage keeps from one operation to the next (each stage keeps one per
/// side): the folder last walked down to, so that many operations in one folder walk its path
/// once, and, on a copy's target side, the folder last cleared of leftover temporary files.
struct TSideFolders {
  platform::TFolderWalker walker;
  std::string cleaned;
};

/// One end of a copy: the file's path with its root, and what its side keeps.
struct TCopyEnd {
  platform::TRootedPath path;
  TSideFolders& folders;
};

/// A fresh temporary name beside a copy's target (the sweep of leftovers knows its shape).
std::string NewTempName();

/// Opens the folder of a copy's target (through `target.folders`, which keeps it open) into
/// `dir` and its name into `name`. EISDIR when a folder stands at the target's name: a copy
/// never replaces one.
platform::TError OpenCopyTargetFolder(const TCopyEnd& target, int& dir, std::string& name);

/// Copies `source` over `target` with the source's times and permission bits, and, run as
/// root, its owner and group; a copy that cannot carry the owner drops the set-user-ID and
/// set-group-ID bits, one that cannot carry the group the set-group-ID bit. The data goes to a
/// temporary file beside the target (platform::kCopyTempPrefix and six random characters,
/// created exclusively, locked with flock while it is written) that is renamed over the target
/// only when complete, so a failed or stopped copy leaves an existing target untouched and no
/// temporary file behind. Before the first copy into a target folder (one that differs from
/// the side's `cleaned`) the unlocked leftovers of killed copies are removed from it.
/// `byte_count` is the scanned size on entry and the bytes written on return (0 on failure).
/// `bytes_done` grows with every block; after a failure it is moved past the whole file.
TCopyOutcome CopyOneFile(TCopyEnd source, TCopyEnd target, std::span<char> buffer,
                         int64_t& byte_count, int64_t& bytes_done, TCopyObserver& observer);

/// The permission bits to give `fd`, a fresh copy (its status `copy`) of something with the
/// bits and owner `from`. Run as root, first gives the copy that owner and group; drops the
/// set-user-ID and set-group-ID bits when the copy lacks the owner, set-group-ID when it lacks
/// the group.
mode_t CarryOwner(int fd, const struct stat& copy, const platform::TCarriedStatus& from);

/// Deletes a file (a link as the link); `size` receives its length (0 when it could not be
/// read or is no regular file).
platform::TError DeleteOneFile(platform::TRootedPath path, int64_t& size, TSideFolders& folders);

/// Removes an empty folder; leftover temporary files of killed copies in it go first.
platform::TError RemoveOneFolder(platform::TRootedPath path, TSideFolders& folders);

struct TForceResult {
  bool ok = true;
  /// The error that failed the creation, else EEXIST when a level appeared meanwhile (no
  /// failure), else 0.
  platform::TError error = 0;
};
/// Creates a folder and every missing folder above it, upper first. A level that already
/// exists is no failure; a link or a file in the place of a level below the root is.
TForceResult ForceFolders(platform::TRootedPath path, TSideFolders& folders);
/// ForceFolders on a path that is the user's own all the way (the log folder): links followed.
TForceResult ForceFolders(const std::string& path);

}  // namespace twn
