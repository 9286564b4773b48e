#include <cstdio>

#include "cli/commands.h"

namespace twn::cli {

int CmdCompare(const Context&, Args) {
  std::fprintf(stderr, "twn-cli: 'compare' is not available yet\n");
  return kExitUsage;
}

int CmdRun(const Context&, Args) {
  std::fprintf(stderr, "twn-cli: 'run' is not available yet\n");
  return kExitUsage;
}

}  // namespace twn::cli
