#pragma once
// Desktop launchers: freedesktop Desktop Entry files that start a program with arguments, and
// the folders a desktop looks for them in.
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fs.h"

namespace twn::platform {

struct TDesktopEntry {
  std::string name;     // Name=
  std::string command;  // Exec=: arguments quoted with QuoteExecArgument, joined by spaces
  std::string icon;     // Icon=
  std::string folder;   // Path=, the working folder
};

/// One Exec= argument as the Desktop Entry rules quote it: in double quotes with `"`, `` ` ``,
/// `$` and `\` escaped when it holds a reserved character or is empty (or always, if asked).
/// Percent signs are left alone here: the file's text doubles them.
std::string QuoteExecArgument(std::string_view arg, bool always = false);
/// Each argument quoted as needed, joined by spaces.
std::string ExecCommandLine(std::span<const std::string> argv);

/// The whole file's text.
std::string DesktopEntryText(const TDesktopEntry& entry);
/// Writes the file (replaced atomically, mode 0755 so that desktops offer to launch it).
TError WriteDesktopEntry(const std::string& path, const TDesktopEntry& entry);

/// A file read back: the keys of its [Desktop Entry] group, unescaped, and Exec= split into
/// the arguments a launcher passes. Nothing when the file cannot be read or Exec= is malformed.
struct TParsedDesktopEntry {
  std::map<std::string, std::string> keys;
  std::vector<std::string> argv;
};
std::optional<TParsedDesktopEntry> ReadDesktopEntry(const std::string& path);

/// The user's desktop folder: XDG_DESKTOP_DIR of $XDG_CONFIG_HOME/user-dirs.dirs, else
/// ~/Desktop. Empty when that folder does not exist.
std::string XdgDesktopFolder();
/// $XDG_DATA_HOME/applications (default ~/.local/share/applications), which need not exist
/// yet; empty when neither variable gives an absolute folder.
std::string XdgApplicationsFolder();

}  // namespace twn::platform
