#include "cli/run_session.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "platform/time.h"
#include "run/job_thread.h"

namespace twn::cli {
namespace {

volatile std::sig_atomic_t g_stop_signal = 0;

extern "C" void OnStopSignal(int) {
  g_stop_signal = 1;
}

std::string_view StageText(int32_t stage) {
  switch (stage) {
    case rsStarting:
      return "Starting";
    case rsScanning:
      return "Scanning";
    case rsCreatingFolders:
      return "Creating folders";
    case rsCopying:
      return "Copying";
    case rsDeleting:
      return "Deleting";
    case rsRemovingFolders:
      return "Removing folders";
    case rsCompleted:
      return "Completed";
    case rsTerminated:
      return "Terminated";
    default:
      return "";
  }
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

std::string ProgressBarText(const TJobSafeProgress& p) {
  // The copy stage carries the weight of a run: the bar follows its KiB.
  const int64_t total = std::max<int64_t>(uint32_t(p.KbToCopy), 1);
  int64_t percent = int64_t(uint32_t(p.KbCopied)) * 100 / total;
  if (p.Stage < rsCopying) percent = 0;
  if (p.Stage > rsCopying && p.Stage != rsTerminated) percent = 100;
  percent = std::clamp<int64_t>(percent, 0, 100);
  std::string bar(20, '.');
  std::fill_n(bar.begin(), percent / 5, '#');
  const int64_t files = p.Stage <= rsScanning ? int64_t{p.FilesFoundLeft} + p.FilesFoundRight
                                              : int64_t{p.FilesCopiedLeft} + p.FilesCopiedRight +
                                                    p.CopyErrorsLeft + p.CopyErrorsRight;
  char text[160];
  if (p.Stage <= rsScanning) {
    std::snprintf(text, sizeof text, "[%s] %3d%%  %s  files %lld", bar.c_str(), int(percent),
                  std::string(StageText(p.Stage)).c_str(), static_cast<long long>(files));
  } else {
    std::snprintf(text, sizeof text, "[%s] %3d%%  %s  files %lld/%d  KiB %u/%u", bar.c_str(),
                  int(percent), std::string(StageText(p.Stage)).c_str(),
                  static_cast<long long>(files), p.FilesToCopy, uint32_t(p.KbCopied),
                  uint32_t(p.KbToCopy));
  }
  return text;
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
