#pragma once
// The state of a job in the job list and the mode of a run: shared by the job, its threads and
// the windows, none of which needs the others for them.
#include <cstdint>

namespace twn {

enum TJobState : int32_t {
  jsNothing = 0,    // not scheduled and not running
  jsWaiting = 1,    // scheduled, waiting for its next run
  jsExecuting = 2,  // a run is in progress
};

enum TRunMode : int32_t {
  rmCompareOnly = 0,     // scan, compare and plan only
  rmSyncOnly = 1,        // carry out the plan already made
  rmCompareAndSync = 2,  // the whole run
};

}  // namespace twn
