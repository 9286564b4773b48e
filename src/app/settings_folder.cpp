#include "app/settings_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "app/settings.h"
#include "platform/fs.h"

namespace twn {
namespace {

std::string Absolute(std::string_view folder) {
  std::error_code ec;
  const std::filesystem::path path = std::filesystem::absolute(std::string(folder), ec);
  return ec ? std::string(folder) : path.string();
}

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return "/";
}

bool IsPortableFolder(const std::string& folder) {
  const std::string ini =
      platform::IncludeTrailingSeparator(folder) + std::string(kSettingsFileName);
  return platform::GetAttributes(ini) != platform::kInvalidAttributes ||
         ::access(folder.c_str(), W_OK) == 0;
}

}  // namespace

std::string SettingsFolder(std::string_view explicit_folder, std::string_view exe_path) {
  if (!explicit_folder.empty()) return Absolute(explicit_folder);
  if (const char* home = std::getenv("TWN_HOME"); home && *home) return Absolute(home);
  if (std::string exe_folder(platform::ParentFolder(exe_path)); !exe_folder.empty()) {
    if (exe_folder.size() > 1) exe_folder.pop_back();  // the root stays "/"
    if (IsPortableFolder(exe_folder)) return exe_folder;
  }
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  // A relative XDG_CONFIG_HOME is to be ignored.
  const std::string config = (xdg && xdg[0] == '/') ? xdg : HomeFolder() + "/.config";
  return platform::IncludeTrailingSeparator(config) + "twinward";
}

std::string FolderInUseText(std::string_view folder) {
  return "The settings folder \"" + std::string(folder) +
         "\" is in use by twn-cli (a schedule or a run). Close it or use another settings "
         "folder with --settings.";
}

std::string FolderLockFailedText(std::string_view folder, platform::TError error) {
  return "The settings folder \"" + std::string(folder) +
         "\" cannot be used: " + platform::ErrorText(error) +
         ". Use another settings folder with --settings.";
}

}  // namespace twn
