#pragma once
// Running whole jobs in a test: a queue host served on the test's thread, jobs over scratch
// trees, and report lines with their time stamps masked.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "run/job.h"
#include "run/queue_host.h"

namespace twn::test {

struct TPosted {
  TNotifyWindow window;
  uint32_t message;
  int32_t job_id;
};

/// A host that runs `after` on the main thread right after each synchronized call, while the
/// worker still waits: the place to stop a run at an exact point.
class TInterceptHost final : public TRunHost {
 public:
  TInterceptHost(TRunHost& inner, std::function<void()> after)
      : inner_(inner), after_(std::move(after)) {}
  void Synchronize(const std::function<void()>& call) override {
    inner_.Synchronize([&] {
      call();
      after_();
    });
  }
  void PostMessage(TNotifyWindow window, uint32_t message, int32_t job_id) override {
    inner_.PostMessage(window, message, job_id);
  }

 private:
  TRunHost& inner_;
  std::function<void()> after_;
};

class TRunFixture {
 public:
  TQueueHost host{[this](TNotifyWindow w, uint32_t m, int32_t id) {
    posted.push_back({w, m, id});
  }};
  std::vector<TPosted> posted;

  /// Messages of one kind posted for a job.
  int Count(uint32_t message, int32_t job_id) const;
  /// Serves the host until every job has posted WM_JOBFINISHED, then resets them.
  void ServeUntilFinished(std::vector<TJob*> jobs);
  /// Starts one run (through `via`, default the queue host) and serves it to its end.
  void Run(TJob& job, TRunMode mode, TRunHost* via = nullptr);
};

/// A job with one pair (subfolders included) and a named method.
std::unique_ptr<TJob> MakeJob(const std::string& name, const std::string& left,
                              const std::string& right, int32_t method);

/// The lines with every date and time stamp replaced by "T" and `root`, if given, by "D".
std::vector<std::string> Masked(const TLineList& list, const std::string& root = "");

/// Every file and folder below `root` as "rel/path" (folders end with '/') or "rel=content".
std::vector<std::string> TreeOf(const std::string& root);

}  // namespace twn::test
