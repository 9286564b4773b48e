#pragma once
// Where TWN.ini (and by default the Logs folder) lives.
#include <string>
#include <string_view>

#include "platform/fs.h"

namespace twn {

/// The settings folder, the first that applies: `explicit_folder` (the --settings option) when
/// not empty; the environment variable TWN_HOME when set; the executable's folder when it
/// already holds TWN.ini or is writable (portable use); else $XDG_CONFIG_HOME/twinward, by
/// default ~/.config/twinward. The folder need not exist yet. Relative folders are made
/// absolute against the current folder.
std::string SettingsFolder(std::string_view explicit_folder, std::string_view exe_path);

/// Why the windowed program does not start: `folder`'s lock is held by a twn-cli schedule or
/// run (no window of ours answered).
std::string FolderInUseText(std::string_view folder);
/// Why the windowed program does not start: `folder` or its lock file cannot be made or locked.
std::string FolderLockFailedText(std::string_view folder, platform::TError error);

}  // namespace twn
