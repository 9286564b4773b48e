#pragma once
// A file replaced as a whole: the new content goes into a temporary file beside it, which is
// renamed over it only when complete, so there is never a moment without the old file and a
// failure leaves it as it was.
#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/fs.h"
#include "platform/unique_fd.h"

namespace twn::platform {

class TAtomicFile {
 public:
  TAtomicFile() = default;
  /// Removes the temporary file unless it was committed.
  ~TAtomicFile();
  TAtomicFile(const TAtomicFile&) = delete;
  TAtomicFile& operator=(const TAtomicFile&) = delete;

  /// Creates the temporary file "<folder of target><prefix><six random characters>"
  /// exclusively and never through a link: whatever already has such a name (a stale file, a
  /// planted link) is left alone.
  TError Create(const std::string& target, std::string_view prefix, mode_t mode = 0666);
  int Fd() const { return fd_.Get(); }
  const std::string& TempPath() const { return temp_; }

  /// Closes the temporary file and renames it over the target. `durable` flushes the data
  /// first and the folder after, so that the new file survives a crash whole.
  TError Commit(bool durable);

 private:
  std::string target_;
  std::string temp_;
  TUniqueFd fd_;
};

}  // namespace twn::platform
