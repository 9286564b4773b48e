#include "app/command_line.h"

#include <algorithm>

#include "platform/locale.h"

namespace twn {

TProgramOptions TakeProgramOptions(std::span<const std::string> args) {
  constexpr std::string_view kOption = "--settings";
  TProgramOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (arg == kOption) {
      if (i + 1 == args.size() || args[i + 1].empty())
        options.Error = "--settings needs a folder";
      else
        options.SettingsFolder = args[++i];
    } else if (arg.starts_with(kOption) && arg.size() > kOption.size() &&
               arg[kOption.size()] == '=') {
      options.SettingsFolder = arg.substr(kOption.size() + 1);
      if (options.SettingsFolder.empty()) options.Error = "--settings needs a folder";
    } else {
      options.Rest.emplace_back(arg);
    }
  }
  return options;
}

bool IsSwitch(std::string_view arg, std::string_view name) {
  if (arg.size() != name.size() + 1 || (arg[0] != '-' && arg[0] != '/')) return false;
  return platform::SameText(arg.substr(1), name);
}

TCommandLine ReadCommandLine(std::span<const std::string> args,
                             std::span<const std::string> job_names) {
  TCommandLine cl;
  if (args.empty()) return cl;
  cl.CommandLineJobName = args[0];
  auto has = [&](std::string_view name) {
    return std::any_of(args.begin(), args.end(),
                       [&](const std::string& a) { return IsSwitch(a, name); });
  };
  cl.bStartMinimized = has("sm");
  cl.bAlwaysShowLog = has("la");
  cl.bShowLogOnErrors = has("le") && !cl.bAlwaysShowLog;
  cl.bCloseAfterRun = has("fc");
  cl.bMinimizeAfterRun = has("fm") && !cl.bCloseAfterRun;
  for (size_t i = 0; i < job_names.size(); ++i) {
    if (platform::SameText(job_names[i], cl.CommandLineJobName)) {
      cl.CommandLineJob = static_cast<int>(i);
      cl.bCommandLineActive = true;
      break;
    }
  }
  return cl;
}

std::string JobNotFoundText(std::string_view name) {
  return "Job named as '" + std::string(name) + "' is not found";
}

bool CommandLineHoldsScheduler(const TCommandLine& cl, bool any_run_from_command_line) {
  if (!cl.bCommandLineActive) return false;
  if (any_run_from_command_line) return true;
  return cl.bMinimizeAfterRun || cl.bCloseAfterRun;
}

}  // namespace twn
