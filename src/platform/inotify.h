#pragma once
// A thin owner of one inotify instance: folder watches added and removed by path, and the
// queued events read without blocking. Errors are errno values.
#include <sys/inotify.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/fs.h"
#include "platform/unique_fd.h"

namespace twn::platform {

struct TWatchEvent {
  int wd = -1;  // -1 for a queue overflow
  uint32_t mask = 0;
  /// The entry's name in the watched folder; empty for an event on the folder itself.
  std::string name;
};

class TInotify {
 public:
  /// Opens a non-blocking instance; `error` is EMFILE when the per-user limit is reached.
  static TInotify Open(TError& error);
  TInotify() = default;

  bool Valid() const { return fd_.Valid(); }
  /// For poll() or a socket notifier: readable while events are queued.
  int Fd() const { return fd_.Get(); }
  /// Watches a folder; the watch descriptor, or -1 with `error` set (ENOSPC: the limit of
  /// watches is reached). `follow` off leaves a symbolic link at the path's end unwatched.
  int AddWatch(const std::string& path, uint32_t mask, bool follow, TError& error);
  void RemoveWatch(int wd);
  /// Appends every event queued now; returns at once when there is none. EAGAIN is no error.
  TError ReadEvents(std::vector<TWatchEvent>& events);
  void Close() { fd_.Reset(); }

 private:
  explicit TInotify(int fd) : fd_(fd) {}
  TUniqueFd fd_;
};

}  // namespace twn::platform
