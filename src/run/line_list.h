#pragma once
// A list of report lines with its own lock: the worker appends while the main thread reads,
// empties or writes it to a log file.
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace twn {

class TLineList {
 public:
  void Add(std::string_view line);
  void Clear();
  size_t Count() const;
  /// A copy of the lines.
  std::vector<std::string> Lines() const;
  /// Runs `fn` on the lines while holding the lock, so nobody empties them meanwhile.
  template <class F>
  decltype(auto) WithLines(F&& fn) const {
    std::lock_guard lock(mutex_);
    return fn(lines_);
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> lines_;
};

/// The four line lists of a job's report, owned by the job, as a run writes them.
struct TReportLists {
  TLineList& FullLog;
  TLineList& SummaryLog;
  TLineList& ErrorLog;
  TLineList& OperationLog;
};

}  // namespace twn
