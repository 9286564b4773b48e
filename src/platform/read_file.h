#pragma once
// Reading a whole file named by a path the user may have edited: only a regular file is read,
// a FIFO or device never blocks the caller, and no more than a given number of bytes is kept.
#include <cstddef>
#include <string>

#include "platform/fs.h"
#include "platform/time.h"

namespace twn::platform {

struct TFileText {
  std::string bytes;
  /// The file held more than the cap; `bytes` is its beginning.
  bool cut = false;
  /// Last-write time in local time.
  TDateTime modified = 0;
};

/// Reads at most `cap` bytes of the regular file at `path` into `out`. The file is opened
/// without blocking and checked before anything is read: a folder gives EISDIR, a FIFO, device
/// or socket EINVAL. On an error `out` is left empty.
TError ReadRegularFile(const std::string& path, size_t cap, TFileText& out);

}  // namespace twn::platform
