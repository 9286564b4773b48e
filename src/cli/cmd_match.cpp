#include <cstdio>

#include "cli/commands.h"

namespace twn::cli {

int CmdMatch(const Context&, Args) {
  std::fprintf(stderr, "twn-cli: 'match' is not available yet\n");
  return kExitUsage;
}

}  // namespace twn::cli
