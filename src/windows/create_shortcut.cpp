#include "windows/create_shortcut.h"

#include <filesystem>
#include <set>
#include <system_error>

#include "platform/desktop_entry.h"
#include "platform/locale.h"

namespace twn {

TShortcutFolders ShortcutFolders() {
  const std::string applications = platform::XdgApplicationsFolder();
  return {platform::XdgDesktopFolder(), "", applications, applications};
}

std::string CreateShortcutInfo(std::string_view job_name) {
  return "Create shortcut for job: '" + std::string(job_name) + "'";
}

std::string ShortcutArguments(std::string_view job_name, std::string_view settings_folder,
                              const TShortcutOptions& options) {
  std::string text;
  if (!settings_folder.empty())
    text = "--settings " + platform::QuoteExecArgument(settings_folder, true) + " ";
  text += platform::QuoteExecArgument(job_name, true);
  if (options.startMinimized) text += " -sm";
  if (options.log == TShortcutLog::OnErrors) text += " -le";
  if (options.log == TShortcutLog::Always) text += " -la";
  if (options.afterRun == TShortcutAfterRun::Minimize) text += " -fm";
  if (options.afterRun == TShortcutAfterRun::Close) text += " -fc";
  return text;
}

std::string ShortcutCommandLine(std::string_view exe_path, std::string_view job_name,
                                std::string_view settings_folder, const TShortcutOptions& options) {
  return platform::QuoteExecArgument(exe_path, true) + " " +
         ShortcutArguments(job_name, settings_folder, options);
}

std::string ShortcutSettingsFolder(std::string_view explicit_folder, const char* twn_home,
                                   std::string_view settings_folder) {
  const bool chosen = !explicit_folder.empty() || (twn_home && *twn_home);
  return chosen ? std::string(settings_folder) : "";
}

bool CanCreateShortcut(bool any_target, std::string_view name) {
  return any_target && !platform::TrimBlanks(name).empty();
}

std::string ShortcutNameProblem(std::string_view name) {
  const std::string_view trimmed = platform::TrimBlanks(name);
  const std::string quoted = "\"" + std::string(trimmed) + "\"";
  if (trimmed.find_first_of("\r\n") != std::string_view::npos)
    return "A shortcut name cannot hold a line break.";
  if (trimmed.find('/') != std::string_view::npos)
    return "The shortcut name " + quoted + " holds a \"/\": a file name cannot hold one.";
  if (trimmed == "." || trimmed == "..")
    return "The shortcut name " + quoted + " names a folder, not a file.";
  return "";
}

std::vector<TShortcutFailure> CreateShortcuts(const TShortcutFolders& folders,
                                              const std::array<bool, stTargetCount>& ticked,
                                              std::string_view name, std::string_view exe_path,
                                              std::string_view command_line) {
  const std::string trimmed(platform::TrimBlanks(name));
  const platform::TDesktopEntry entry{trimmed, std::string(command_line), "twinward",
                                      std::string(platform::ParentFolder(exe_path))};
  std::vector<TShortcutFailure> failures;
  std::set<std::string> written;
  for (int target = 0; target < stTargetCount; ++target) {
    const std::string& folder = folders[target];
    if (!ticked[target] || folder.empty()) continue;
    const std::string path = platform::IncludeTrailingSeparator(folder) + trimmed + ".desktop";
    if (!written.insert(path).second) continue;
    // The applications folder is missing on a fresh account; a desktop folder is not made.
    std::error_code ec;
    if (target == stPrograms || target == stStartMenu)
      std::filesystem::create_directories(folder, ec);
    if (const platform::TError e = platform::WriteDesktopEntry(path, entry))
      failures.push_back({path, e});
  }
  return failures;
}

std::string ShortcutFailureText(const std::vector<TShortcutFailure>& failures) {
  std::string text = "The shortcut could not be written:";
  for (const TShortcutFailure& f : failures)
    text += "\n" + f.path + ": " + platform::ErrorText(f.error);
  return text;
}

}  // namespace twn
