#include "run/queue_host.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>
#include <utility>

namespace twn {

TQueueHost::TQueueHost(THandler handler)
    : handler_(std::move(handler)),
      main_(std::this_thread::get_id()),
      wake_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

void TQueueHost::Synchronize(const std::function<void()>& call) {
  // On the main thread itself, waiting for the queue would wait forever.
  if (std::this_thread::get_id() == main_) {
    call();
    return;
  }
  std::mutex m;
  std::condition_variable cv;
  bool done = false;
  Push([&] {
    call();
    // Notify under the lock: the waiter cannot return and destroy cv before this ends.
    std::lock_guard lock(m);
    done = true;
    cv.notify_one();
  });
  std::unique_lock lock(m);
  cv.wait(lock, [&] { return done; });
}

void TQueueHost::PostMessage(TNotifyWindow window, uint32_t message, int32_t job_id) {
  Push([this, window, message, job_id] {
    if (handler_) handler_(window, message, job_id);
  });
}

void TQueueHost::Push(std::function<void()> item) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(item));
    const uint64_t one = 1;
    if (wake_.Valid() && ::write(wake_.Get(), &one, sizeof one) < 0) {
      // Full or failed: a poller wakes at its next timeout instead.
    }
  }
  ready_.notify_one();
}

size_t TQueueHost::ServeFor(std::chrono::milliseconds wait) {
  std::deque<std::function<void()>> items;
  {
    std::unique_lock lock(mutex_);
    ready_.wait_for(lock, wait, [&] { return !queue_.empty(); });
    items.swap(queue_);
    uint64_t count = 0;
    if (wake_.Valid() && ::read(wake_.Get(), &count, sizeof count) < 0) {
      // Nothing was written since the last serve.
    }
  }
  for (auto& item : items) item();
  return items.size();
}

}  // namespace twn
