#include <cstdio>

#include "cli/commands.h"

namespace twn::cli {

int CmdSchedule(const Context&, Args) {
  std::fprintf(stderr, "twn-cli: 'schedule' is not available yet\n");
  return kExitUsage;
}

}  // namespace twn::cli
