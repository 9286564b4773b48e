#include "gui/host/qt_run_host.h"

#include <QtCore/QMetaObject>
#include <QtCore/QThread>
#include <utility>

namespace twn::gui {

TQtRunHost::TQtRunHost() = default;

void TQtRunHost::Synchronize(const std::function<void()>& call) {
  // A blocking call from the GUI thread to itself would wait for ever.
  if (QThread::currentThread() == context_.thread()) {
    call();
    return;
  }
  QMetaObject::invokeMethod(
      &context_, [&call] { call(); }, Qt::BlockingQueuedConnection);
}

void TQtRunHost::PostMessage(TNotifyWindow window, uint32_t message, int32_t job_id) {
  if (window == kNoNotifyWindow) return;
  QMetaObject::invokeMethod(
      &context_, [this, window, message, job_id] { Deliver(window, message, job_id); },
      Qt::QueuedConnection);
}

void TQtRunHost::Register(TNotifyWindow window, TReceiver receiver) {
  receivers_[window] = std::move(receiver);
}

void TQtRunHost::Unregister(TNotifyWindow window) {
  receivers_.erase(window);
}

void TQtRunHost::Deliver(TNotifyWindow window, uint32_t message, int32_t job_id) {
  const auto it = receivers_.find(window);
  if (it == receivers_.end()) return;
  // A copy: the receiver may unregister its own window while it runs.
  const TReceiver receiver = it->second;
  receiver(message, job_id);
}

}  // namespace twn::gui
