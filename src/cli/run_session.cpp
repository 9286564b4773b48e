#include "cli/run_session.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "app/job_texts.h"
#include "platform/time.h"
#include "run/job_thread.h"

namespace twn::cli {
namespace {

volatile std::sig_atomic_t g_stop_signal = 0;

extern "C" void OnStopSignal(int) {
  g_stop_signal = 1;
}

// The notify window of a command-line run; the queue host has only this one.
constexpr TNotifyWindow kCliWindow = 1;

}  // namespace

TStopSignals::TStopSignals() {
  g_stop_signal = 0;
  struct sigaction sa {};
  sa.sa_handler = OnStopSignal;
  sa.sa_flags = SA_RESTART;
  sigemptyset(&sa.sa_mask);
  ::sigaction(SIGINT, &sa, &old_int_);
  ::sigaction(SIGTERM, &sa, &old_term_);
}

TStopSignals::~TStopSignals() {
  ::sigaction(SIGINT, &old_int_, nullptr);
  ::sigaction(SIGTERM, &old_term_, nullptr);
}

bool TStopSignals::Raised() const {
  return g_stop_signal != 0;
}

TRunEnd RunToEnd(TJob& job, TRunMode mode, bool show_progress, const TStopSignals& signals) {
  bool finished = false;
  uint32_t last_draw = platform::TickCount() - kRefreshInterval - 1;
  const auto draw = [&] {
    std::fprintf(stderr, "\r%s\033[K", ProgressBarText(job.Progress).c_str());
    std::fflush(stderr);
  };
  TQueueHost host([&](TNotifyWindow, uint32_t message, int32_t) {
    if (message == WM_JOBFINISHED) finished = true;
    if (!show_progress || message != WM_JOBPROGRESS) return;
    const uint32_t now = platform::TickCount();
    if (now - last_draw <= kRefreshInterval) return;
    last_draw = now;
    draw();
  });
  bool stop_sent = false;
  job.Start(host, kCliWindow, mode);
  while (!finished) {
    host.ServeFor(std::chrono::milliseconds(kRefreshInterval));
    if (signals.Raised() && !stop_sent) {
      job.Stop();
      stop_sent = true;
    }
  }
  job.ResetAfterRun();
  if (show_progress) std::fprintf(stderr, "\r\033[K");
  return job.ScanInfo.Terminated() ? TRunEnd::kStopped : TRunEnd::kCompleted;
}

}  // namespace twn::cli
