#include "platform/inotify.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace twn::platform {

TInotify TInotify::Open(TError& error) {
  const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  error = fd < 0 ? errno : 0;
  return fd < 0 ? TInotify() : TInotify(fd);
}

int TInotify::AddWatch(const std::string& path, uint32_t mask, bool follow, TError& error) {
  if (!follow) mask |= IN_DONT_FOLLOW;
  const int wd = ::inotify_add_watch(fd_.Get(), path.c_str(), mask | IN_ONLYDIR);
  error = wd < 0 ? errno : 0;
  return wd;
}

void TInotify::RemoveWatch(int wd) {
  ::inotify_rm_watch(fd_.Get(), wd);
}

TError TInotify::ReadEvents(std::vector<TWatchEvent>& events) {
  alignas(inotify_event) char buffer[64 * 1024];
  for (;;) {
    const ssize_t got = ::read(fd_.Get(), buffer, sizeof buffer);
    if (got < 0) return errno == EAGAIN ? 0 : errno == EINTR ? ReadEvents(events) : errno;
    if (got == 0) return 0;
    for (ssize_t at = 0; at < got;) {
      inotify_event header;
      std::memcpy(&header, buffer + at, sizeof header);
      const char* name = buffer + at + sizeof header;
      events.push_back({header.wd, header.mask, header.len ? std::string(name) : std::string()});
      at += ssize_t(sizeof header + header.len);
    }
  }
}

}  // namespace twn::platform
