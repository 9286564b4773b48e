#pragma once
// How a run reaches the program's main thread. The worker's progress refresh must run on the
// thread that owns the jobs while the worker waits, and the end of a run is announced by a
// message posted to a notify window. A host (twn-cli's queue, the Qt window's event loop)
// implements both; the run code never knows which host it has.
#include <cstdint>
#include <functional>

namespace twn {

/// A notify window as the host knows it; kNoNotifyWindow means that no message is posted.
using TNotifyWindow = intptr_t;
inline constexpr TNotifyWindow kNoNotifyWindow = -1;

inline constexpr uint32_t WM_USER = 0x0400;
/// Posted by the watcher after the worker has ended and been destroyed; job id as parameter.
inline constexpr uint32_t WM_JOBFINISHED = WM_USER + 10;
/// Posted after every refresh of a job's progress record; job id as parameter.
inline constexpr uint32_t WM_JOBPROGRESS = WM_USER + 11;

class TRunHost {
 public:
  virtual ~TRunHost() = default;
  /// Runs `call` on the main thread and returns once it has run; the calling thread waits.
  virtual void Synchronize(const std::function<void()>& call) = 0;
  /// Queues `message` with the job id for `window` on the main thread; returns at once.
  virtual void PostMessage(TNotifyWindow window, uint32_t message, int32_t job_id) = 0;
};

}  // namespace twn
