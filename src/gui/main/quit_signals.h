#pragma once
// SIGTERM, SIGINT and SIGHUP ask the windowed program to close as the Close command does (jobs
// stopped, settings saved) instead of killing it. The handler only writes the signal number to
// a socket pair; the GUI thread reads it and emits QuitRequested.
#include <QtCore/QObject>
#include <array>
#include <csignal>

#include "platform/unique_fd.h"

class QSocketNotifier;

namespace twn::gui {

class QuitSignals : public QObject {
  Q_OBJECT

 public:
  /// Installs the handlers; one object at a time. The old handlers return with its destruction.
  explicit QuitSignals(QObject* parent = nullptr);
  ~QuitSignals() override;

 signals:
  void QuitRequested(int signo);

 private:
  void Drain();

  platform::TUniqueFd read_end_, write_end_;
  QSocketNotifier* notifier_ = nullptr;
  std::array<struct sigaction, 3> old_{};
  bool installed_ = false;
};

}  // namespace twn::gui
