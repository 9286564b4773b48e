#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>
#include <filesystem>

namespace twn::platform {

TError TInstanceLock::Acquire(const std::string& folder) {
  Release();
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) return ec.value();
  const std::string path = IncludeTrailingSeparator(folder) + std::string(kLockFileName);
  TUniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666));
  if (!fd.Valid()) return errno;
  while (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
    if (errno != EINTR) return errno == EAGAIN ? EWOULDBLOCK : errno;
  }
  fd_ = std::move(fd);
  return 0;
}

}  // namespace twn::platform
