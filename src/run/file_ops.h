#pragma once
// The single file-system operations of a run's synchronization stages. Errors are errno values
// (0 = success), reported by the caller as report lines.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/fs.h"

namespace twn {

/// Every read of a copy asks for this much.
inline constexpr size_t kCopyBlockSize = 128 * 1024;
/// The copy buffer: one block and a little headroom, taken once per copy stage.
inline constexpr size_t kCopyBufferSize = kCopyBlockSize + 1024;

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

/// Copies `source` over `target` with the source's times and permission bits. The data goes to
/// a temporary file beside the target that is renamed over it only when complete, so a failed
/// or stopped copy leaves an existing target untouched and no temporary file behind.
/// `byte_count` is the scanned size on entry and the bytes written on return (0 on failure).
/// `bytes_done` grows with every block; after a failure it is moved past the whole file.
TCopyOutcome CopyOneFile(const std::string& source, const std::string& target,
                         std::span<char> buffer, int64_t& byte_count, int64_t& bytes_done,
                         TCopyObserver& observer);

/// Deletes a file; `size` receives its length (0 when it could not be read).
platform::TError DeleteOneFile(const std::string& path, int64_t& size);

/// Removes an empty folder.
platform::TError RemoveOneFolder(const std::string& path);

struct TForceResult {
  bool ok = true;
  /// The last error met on the way, also EEXIST when that was no failure.
  platform::TError error = 0;
};
/// Creates a folder and every missing folder above it, upper first. A level that already
/// exists is no failure; the walk goes on to the deeper levels after a failure.
TForceResult ForceFolders(const std::string& path);

}  // namespace twn
