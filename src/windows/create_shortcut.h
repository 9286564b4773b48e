#pragma once
// The texts and rules of the Create shortcut window: the arguments a launcher starts the
// program with, the command line shown as an example, the name check, the target folders and
// the writing of the launcher files.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fs.h"

namespace twn {

enum class TShortcutLog { Always, OnErrors, Never };
enum class TShortcutAfterRun { Close, Minimize, Nothing };

struct TShortcutOptions {
  bool startMinimized = false;
  TShortcutLog log = TShortcutLog::Never;
  TShortcutAfterRun afterRun = TShortcutAfterRun::Close;
};

/// Where a launcher can go, in the order they are written.
enum TShortcutTarget { stDesktop, stQuickLaunch, stPrograms, stStartMenu, stTargetCount };
using TShortcutFolders = std::array<std::string, stTargetCount>;
/// The folder of each target; empty for one that has no folder here (its box is disabled).
/// Quick launch has no counterpart on Linux desktops.
TShortcutFolders ShortcutFolders();

inline constexpr std::string_view kCreateShortcutCaption = "Create shortcut";
/// "Create shortcut for job: '<name>'".
std::string CreateShortcutInfo(std::string_view job_name);

/// The arguments after the program: `--settings "<folder>"` when the program was started with
/// its own settings folder, the job name in double quotes, then -sm, -le or -la, -fm or -fc.
std::string ShortcutArguments(std::string_view job_name, std::string_view settings_folder,
                              const TShortcutOptions& options);
/// The program's path in double quotes, a space and the arguments: the Exec= line.
std::string ShortcutCommandLine(std::string_view exe_path, std::string_view job_name,
                                std::string_view settings_folder, const TShortcutOptions& options);

/// The folder to name in the launcher: the settings folder in use when the command line
/// (`explicit_folder`) or $TWN_HOME chose it, else empty (the program finds it by itself).
std::string ShortcutSettingsFolder(std::string_view explicit_folder, const char* twn_home,
                                   std::string_view settings_folder);

/// "Create shortcut" can be pressed: a target ticked and a name that is not blank.
bool CanCreateShortcut(bool any_target, std::string_view name);

inline constexpr std::string_view kShortcutWarningTitle = "Warning: shortcut not created";
/// Why `name` (trimmed) cannot name a launcher file, or empty: a "/", "." or "..", a line break.
std::string ShortcutNameProblem(std::string_view name);

/// A launcher that could not be written.
struct TShortcutFailure {
  std::string path;
  platform::TError error = 0;
};
/// Writes `<folder>/<trimmed name>.desktop` for each ticked target with a folder, each path
/// once (Programs and Start menu share one); a missing applications folder is made, a
/// missing desktop folder is not. Returns
/// the failures; none = all written.
std::vector<TShortcutFailure> CreateShortcuts(const TShortcutFolders& folders,
                                              const std::array<bool, stTargetCount>& ticked,
                                              std::string_view name, std::string_view exe_path,
                                              std::string_view command_line);
/// The warning for failures: one line per file with the system's reason.
std::string ShortcutFailureText(const std::vector<TShortcutFailure>& failures);

}  // namespace twn
