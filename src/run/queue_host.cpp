#include "run/queue_host.h"

#include <utility>

namespace twn {

TQueueHost::TQueueHost(THandler handler)
    : handler_(std::move(handler)), main_(std::this_thread::get_id()) {}

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
  }
  ready_.notify_one();
}

size_t TQueueHost::ServeFor(std::chrono::milliseconds wait) {
  std::deque<std::function<void()>> items;
  {
    std::unique_lock lock(mutex_);
    ready_.wait_for(lock, wait, [&] { return !queue_.empty(); });
    items.swap(queue_);
  }
  for (auto& item : items) item();
  return items.size();
}

}  // namespace twn
