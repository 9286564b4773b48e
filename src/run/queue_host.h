#pragma once
// A run host for programs without a window: synchronized calls and posted messages wait in
// one queue that the main thread serves.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/unique_fd.h"
#include "run/run_host.h"

namespace twn {

class TQueueHost final : public TRunHost {
 public:
  using THandler = std::function<void(TNotifyWindow window, uint32_t message, int32_t job_id)>;

  /// The constructing thread is the main thread; `handler` receives every posted message there.
  explicit TQueueHost(THandler handler);

  void Synchronize(const std::function<void()>& call) override;
  void PostMessage(TNotifyWindow window, uint32_t message, int32_t job_id) override;

  /// Serves queued items on the main thread: waits up to `wait` for the first one, then runs
  /// everything queued. Returns the number of items run.
  size_t ServeFor(std::chrono::milliseconds wait);
  /// Readable while items are queued, so a main loop can poll() it beside its own descriptors
  /// and then serve with no wait.
  int WakeFd() const { return wake_.Get(); }

 private:
  void Push(std::function<void()> item);

  THandler handler_;
  std::thread::id main_;
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<std::function<void()>> queue_;
  platform::TUniqueFd wake_;  // an eventfd, written with every item and emptied by ServeFor
};

}  // namespace twn
