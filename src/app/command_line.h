#pragma once
// The program's command line: a job name and the after-run switches of a desktop shortcut.
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace twn {

struct TCommandLine {
  std::string CommandLineJobName;
  /// Index into the job list of the job found for the name; -1 when none.
  int CommandLineJob = -1;
  bool bCommandLineActive = false;
  bool bStartMinimized = false;    // -sm
  bool bAlwaysShowLog = false;     // -la
  bool bShowLogOnErrors = false;   // -le, only without -la
  bool bCloseAfterRun = false;     // -fc
  bool bMinimizeAfterRun = false;  // -fm, only without -fc
};

/// The program's own options taken off the command line before the job-name rules see it.
struct TProgramOptions {
  std::string SettingsFolder;     // --settings DIR or --settings=DIR; empty when absent
  std::vector<std::string> Rest;  // everything else, in order
  std::string Error;              // "--settings needs a folder" when DIR is missing
};
TProgramOptions TakeProgramOptions(std::span<const std::string> args);

/// True when `arg` is the switch `name` written with "-" or "/" in any letter case.
bool IsSwitch(std::string_view arg, std::string_view name);

/// Reads the arguments (without the program's own name) against the job names in list order:
/// the first job whose name equals the first argument with a-z folded is the command-line job.
TCommandLine ReadCommandLine(std::span<const std::string> args,
                             std::span<const std::string> job_names);

/// The text of the warning shown when no job of that name exists.
std::string JobNotFoundText(std::string_view name);
inline constexpr std::string_view kJobNotFoundTitle =
    "TWN warning: incorrect command line parameter";

/// Whether a command-line run holds the scheduler back; `any_run_from_command_line` tells
/// whether some job still carries the command-line mark.
bool CommandLineHoldsScheduler(const TCommandLine& cl, bool any_run_from_command_line);

}  // namespace twn
