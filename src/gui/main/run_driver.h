#pragma once
// Drives the scheduler from the GUI thread: a 200 ms timer calls its tick, the run host brings
// each run's end here, and commands that must wait for runs to end wait in an event loop that
// goes on serving ticks and run ends (no spinning, no blocking the GUI thread). The watches of
// jobs that run when files change are read as soon as their descriptors are readable.
#include <QtCore/QObject>
#include <QtCore/QSocketNotifier>
#include <QtCore/QTimer>
#include <functional>
#include <map>

#include "app/scheduler.h"
#include "app/watcher.h"
#include "gui/host/qt_run_host.h"

namespace twn::gui {

/// The notify window of the main window's runs.
inline constexpr TNotifyWindow kMainNotifyWindow = 1;

class RunDriver : public QObject {
  Q_OBJECT

 public:
  RunDriver(TJobList& jobs, TQtRunHost& host, QObject* parent = nullptr);
  ~RunDriver() override;

  TScheduler& Scheduler() { return scheduler_; }
  TQtRunHost& Host() { return host_; }
  /// Starts a job's run in the background; false when one is going on already.
  bool Start(TJob& job) { return starter_.Start(job); }

  void StartTimer() { timer_.start(); }
  void StopTimer() { timer_.stop(); }
  bool TimerActive() const { return timer_.isActive(); }
  /// One tick now.
  void Tick();

  /// True while any job has a run that has not been handled yet (a stopped job may already
  /// show "nothing" while its worker is still ending).
  bool AnyRunThread() const;
  /// Serves events until `done()` holds; checked after every run end. Nested waits are not
  /// allowed: the caller blocks its re-entrant commands while Waiting().
  void WaitUntil(const std::function<bool()>& done);
  bool Waiting() const { return waiting_; }

 signals:
  /// After every tick that did something: rows to redraw, and whether the list wants sorting.
  void Ticked(const twn::TTickResult& result);
  /// A run has ended and been handled (logs written); `result` says what to do next.
  void RunFinished(const twn::TFinishResult& result);

 private:
  void Message(uint32_t message, int32_t job_id);
  /// One notifier per watch descriptor, and the watches' lines to the program's log.
  void FollowWatches();

  TJobList& jobs_;
  TQtRunHost& host_;
  TThreadJobStarter starter_;
  TScheduler scheduler_;
  QTimer timer_;
  std::map<int, QSocketNotifier*> notifiers_;
  bool waiting_ = false;
};

}  // namespace twn::gui
