#pragma once
#include <sched.h>

#include <thread>

namespace twn::platform {

/// Cores this process may run on: fewer than the machine has under `taskset` or a container's
/// CPU set.
inline unsigned UsableCores() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (::sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
    return static_cast<unsigned>(CPU_COUNT(&set));
  const unsigned n = std::thread::hardware_concurrency();
  return n ? n : 1;
}

}  // namespace twn::platform
