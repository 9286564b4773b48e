#pragma once
// One job run from the command line: the queue host served on the main thread, SIGINT and
// SIGTERM turned into a stop request, and a progress bar on a terminal.
#include <csignal>
#include <string>

#include "run/job.h"
#include "run/progress.h"
#include "run/queue_host.h"

namespace twn::cli {

/// While it lives, SIGINT and SIGTERM only raise a flag (the first one asks the run to stop;
/// the run then ends on its own with the termination block). A system call they interrupt is
/// resumed, so an output in progress is not cut short. The old handlers come back after.
class TStopSignals {
 public:
  TStopSignals();
  ~TStopSignals();
  TStopSignals(const TStopSignals&) = delete;
  TStopSignals& operator=(const TStopSignals&) = delete;
  bool Raised() const;

 private:
  struct sigaction old_int_ {};
  struct sigaction old_term_ {};
};

enum class TRunEnd { kCompleted, kStopped };

/// Starts `job` in `mode` and serves it to its end on this thread; a stop signal caught by
/// `signals` asks the worker to stop. With `show_progress` the bar is redrawn on stderr at most
/// every 100 ms. The job is reset after its run.
TRunEnd RunToEnd(TJob& job, TRunMode mode, bool show_progress, const TStopSignals& signals);

}  // namespace twn::cli
