// twn-cli: Twinward's jobs without a display.
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"

namespace twn::cli {

int UsageError(std::string_view message, std::string_view usage) {
  std::fprintf(stderr, "twn-cli: %.*s\nusage: %.*s\n", int(message.size()), message.data(),
               int(usage.size()), usage.data());
  return kExitUsage;
}

}  // namespace twn::cli

namespace {

using namespace twn::cli;

struct Command {
  std::string_view name;
  int (*run)(const Context&, Args);
  std::string_view summary;
};

constexpr Command kCommands[] = {
    {"list", CmdList, "list                 one line per job"},
    {"show", CmdShow, "show JOB             the job's settings as sentences"},
    {"compare", CmdCompare, "compare JOB          compare only and preview the plan"},
    {"run", CmdRun,
     "run JOB [--force]    run the job as the scheduler would; --force goes past\n"
     "                       the deletion guard"},
    {"add", CmdAdd, "add JOB --left L --right R [options]   add a job"},
    {"remove", CmdRemove, "remove JOB           remove a job"},
    {"versions", CmdVersions,
     "versions JOB [PATH]  list the kept versions of the job's files, or of one file"},
    {"restore", CmdRestore,
     "restore JOB PATH [--version STAMP]   put the newest (or that) version of a file\n"
     "                       back; the current file is kept as a version first"},
    {"schedule", CmdSchedule, "schedule             run scheduled jobs until stopped"},
    {"watch", CmdWatch,
     "watch JOB            run the job whenever its files change, until stopped"},
    {"match", CmdMatch, "match --include SPECS [--exclude SPECS] NAME...   try a file filter"},
    {"match", CmdMatch, "match --folders PATTERNS NAME...   try folder patterns"},
};

void PrintHelp(FILE* out) {
  std::fprintf(out, "usage: twn-cli [--settings DIR] COMMAND [ARGS]\n\ncommands:\n");
  for (const Command& c : kCommands)
    std::fprintf(out, "  %.*s\n", int(c.summary.size()), c.summary.data());
  std::fprintf(
      out,
      "\nexit status:\n"
      "  0 done   1 the run had errors   2 usage error or unknown job   3 stopped\n"
      "  4 the settings folder is in use   5 held by the deletion guard: nothing was done\n");
}

std::string ExePath(const char* argv0) {
  char buf[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string(argv0 ? argv0 : "");
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  std::vector<std::string_view> words(argv + 1, argv + argc);
  Context ctx;
  ctx.exe_path = ExePath(argc > 0 ? argv[0] : nullptr);

  size_t i = 0;
  while (i < words.size() && words[i].starts_with("--")) {
    if (words[i] == "--help") {
      PrintHelp(stdout);
      return kExitOk;
    }
    if (words[i] == "--settings") {
      if (i + 1 >= words.size())
        return UsageError("--settings needs a folder", "twn-cli [--settings DIR] COMMAND [ARGS]");
      ctx.settings_dir = std::string(words[i + 1]);
      i += 2;
      continue;
    }
    return UsageError("unknown option '" + std::string(words[i]) + "'",
                      "twn-cli [--settings DIR] COMMAND [ARGS]");
  }
  if (i >= words.size()) {
    PrintHelp(stderr);
    return kExitUsage;
  }
  for (const Command& c : kCommands) {
    if (c.name == words[i]) return c.run(ctx, Args(words).subspan(i + 1));
  }
  return UsageError("unknown command '" + std::string(words[i]) + "'",
                    "twn-cli [--settings DIR] COMMAND [ARGS]");
}
