#pragma once
// How twn-cli commands reach the settings file: the folder of this invocation, the instance
// lock a command takes before it may write, and a save that reports its failure.
#include <string>

#include "app/settings.h"
#include "cli/commands.h"
#include "platform/instance_lock.h"

namespace twn::cli {

/// The settings folder chosen for this invocation (--settings, TWN_HOME, ...).
std::string SettingsFolderOf(const Context& ctx);

/// Loads the settings file. Returns kExitOk (also when there is no file yet), or prints why the
/// file cannot be read and returns kExitRunErrors: nothing may then be saved over it.
int LoadOrReport(TSettings& settings);

/// Takes the folder's instance lock. Returns kExitOk, or prints why not and returns
/// kExitInUse (another instance holds it) or kExitRunErrors (the folder cannot be used).
int LockForWriting(const std::string& folder, platform::TInstanceLock& lock);

/// Saves the settings file. Returns kExitOk, or prints the failure and returns kExitRunErrors;
/// the old file is then unchanged.
int SaveOrReport(const TSettings& settings);

/// Loads the settings and finds the job named `name` (a-z folded) as `index`. Returns kExitOk,
/// or the exit status after saying why not (kExitUsage when there is no such job).
int LoadJobOrReport(TSettings& settings, std::string_view name, int& index);

/// Prints "twn-cli: <message>" to stderr.
void PrintError(std::string_view message);

}  // namespace twn::cli
