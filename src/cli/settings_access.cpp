#include "cli/settings_access.h"

#include <cerrno>
#include <cstdio>

#include "app/settings_folder.h"

namespace twn::cli {

std::string SettingsFolderOf(const Context& ctx) {
  return SettingsFolder(ctx.settings_dir, ctx.exe_path);
}

void PrintError(std::string_view message) {
  std::fprintf(stderr, "twn-cli: %.*s\n", int(message.size()), message.data());
}

int LoadOrReport(TSettings& settings) {
  const platform::TError error = settings.LoadSettings();
  if (error == 0) return kExitOk;
  PrintError("cannot read '" + settings.FilePath() + "': " + platform::ErrorText(error) +
             "; nothing was changed");
  return kExitRunErrors;
}

int LockForWriting(const std::string& folder, platform::TInstanceLock& lock) {
  const platform::TError error = lock.Acquire(folder);
  if (error == 0) return kExitOk;
  if (error == EWOULDBLOCK) {
    PrintError("the settings folder '" + folder +
               "' is in use by another running Twinward; close it and try again");
    return kExitInUse;
  }
  PrintError("cannot use the settings folder '" + folder + "': " + platform::ErrorText(error));
  return kExitRunErrors;
}

int SaveOrReport(const TSettings& settings) {
  const platform::TError error = settings.SaveSettings();
  if (error == 0) return kExitOk;
  PrintError("cannot save '" + settings.FilePath() + "': " + platform::ErrorText(error) +
             "; the file is unchanged");
  return kExitRunErrors;
}

int LoadJobOrReport(TSettings& settings, std::string_view name, int& index) {
  if (const int status = LoadOrReport(settings)) return status;
  index = settings.FindJob(name);
  if (index >= 0) return kExitOk;
  PrintError("no job named '" + std::string(name) + "' in " + settings.FilePath());
  return kExitUsage;
}

}  // namespace twn::cli
