#include <cstdio>

#include "cli/commands.h"

namespace twn::cli {

int CmdList(const Context&, Args) {
  std::fprintf(stderr, "twn-cli: 'list' is not available yet\n");
  return kExitUsage;
}

int CmdShow(const Context&, Args) {
  std::fprintf(stderr, "twn-cli: 'show' is not available yet\n");
  return kExitUsage;
}

int CmdAdd(const Context&, Args) {
  std::fprintf(stderr, "twn-cli: 'add' is not available yet\n");
  return kExitUsage;
}

int CmdRemove(const Context&, Args) {
  std::fprintf(stderr, "twn-cli: 'remove' is not available yet\n");
  return kExitUsage;
}

}  // namespace twn::cli
