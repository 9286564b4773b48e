#pragma once
// twn-cli's commands. Each takes the words after its own name and returns the exit status:
// 0 done, 1 the run had errors, 2 usage error or unknown job, 3 stopped, 4 settings in use,
// 5 held by the deletion guard.
#include <span>
#include <string>
#include <string_view>

namespace twn::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitRunErrors = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitStopped = 3;
inline constexpr int kExitInUse = 4;
inline constexpr int kExitHeld = 5;

struct Context {
  std::string settings_dir;  // from --settings; empty when not given
  std::string exe_path;      // argv[0] as resolved by /proc/self/exe
};

using Args = std::span<const std::string_view>;

int CmdMatch(const Context& ctx, Args args);
int CmdList(const Context& ctx, Args args);
int CmdShow(const Context& ctx, Args args);
int CmdAdd(const Context& ctx, Args args);
int CmdRemove(const Context& ctx, Args args);
int CmdCompare(const Context& ctx, Args args);
int CmdRun(const Context& ctx, Args args);
int CmdSchedule(const Context& ctx, Args args);
int CmdWatch(const Context& ctx, Args args);
int CmdVersions(const Context& ctx, Args args);
int CmdRestore(const Context& ctx, Args args);

/// Prints "twn-cli: <message>" and the command's usage line to stderr; returns kExitUsage.
int UsageError(std::string_view message, std::string_view usage);

}  // namespace twn::cli
