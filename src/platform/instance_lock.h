#pragma once
// One program instance per settings folder: an exclusive flock on a lock file in that folder,
// held for as long as the instance may write the settings file. Programs using different
// folders do not see each other.
#include <string>
#include <string_view>

#include "platform/fs.h"
#include "platform/unique_fd.h"

namespace twn::platform {

inline constexpr std::string_view kLockFileName = "TWN.lock";

class TInstanceLock {
 public:
  /// Takes the lock of `folder` without waiting, creating the folder and the lock file when
  /// they are missing. Returns 0 when taken, EWOULDBLOCK when another instance holds it, or the
  /// error that kept the folder or the lock file from being made.
  TError Acquire(const std::string& folder);
  bool Held() const { return fd_.Valid(); }
  /// Gives the lock up (also done on destruction).
  void Release() { fd_.Reset(); }

 private:
  TUniqueFd fd_;
};

}  // namespace twn::platform
