#pragma once
// The run host of the windowed program: synchronized calls and posted messages are served by
// the GUI thread's event loop, and a posted message goes to the notify window registered for
// it. Only the GUI thread registers windows and receives messages.
#include <QtCore/QObject>
#include <cstdint>
#include <functional>
#include <map>

#include "run/run_host.h"

namespace twn::gui {

class TQtRunHost final : public TRunHost {
 public:
  /// What a notify window does with a message posted to it (on the GUI thread).
  using TReceiver = std::function<void(uint32_t message, int32_t job_id)>;

  /// Must be constructed on the GUI thread, which then serves every call.
  TQtRunHost();

  void Synchronize(const std::function<void()>& call) override;
  void PostMessage(TNotifyWindow window, uint32_t message, int32_t job_id) override;

  /// Routes messages for `window` to `receiver`, replacing an earlier one. GUI thread only.
  void Register(TNotifyWindow window, TReceiver receiver);
  /// Messages for `window` that arrive later, already queued or not, are dropped.
  void Unregister(TNotifyWindow window);

 private:
  void Deliver(TNotifyWindow window, uint32_t message, int32_t job_id);

  // Lives on the GUI thread; queued calls die with it, so they never reach a destroyed host.
  QObject context_;
  std::map<TNotifyWindow, TReceiver> receivers_;
};

}  // namespace twn::gui
