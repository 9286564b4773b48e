#pragma once
// How a scan talks to whoever runs it: the job's worker thread, the bench driver, a test. Every
// call has a do-nothing default, so a caller overrides only what it needs.
#include <cstdint>
#include <string_view>

namespace twn {

/// The four scan counters, per side (0 left, 1 right).
struct TScanCounters {
  int64_t folders_scanned[2] = {0, 0};
  int64_t files_found[2] = {0, 0};
};

struct TScanObserver {
  virtual ~TScanObserver() = default;
  /// Asked after every folder listed; true ends the scan at once.
  virtual bool StopRequested() { return false; }
  /// Called after every folder listed. Cheap to call; the observer throttles its refreshes.
  virtual void ScanProgress(const TScanCounters& /*counters*/) {}
  /// Called once when every pair has been scanned, before the comparison starts.
  virtual void ScanFinished(const TScanCounters& /*counters*/) {}
  /// One line for the full log ("... - Scanning folder '...' ").
  virtual void AddFullLogLine(std::string_view /*line*/) {}
  /// One error line for the full and error logs (a folder that could not be read).
  virtual void AddErrorLine(std::string_view /*line*/) {}
};

}  // namespace twn
