#include "platform/desktop_entry.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/atomic_file.h"

namespace twn::platform {
namespace {

// Characters that make an Exec= argument need quotes.
constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
// Characters escaped with a backslash inside quotes.
constexpr std::string_view kEscapedInQuotes = "\"`$\\";

// The string escaping every value of the file gets; a leading blank would be trimmed.
std::string EscapeValue(std::string_view value) {
  std::string out;
  for (size_t i = 0; i < value.size(); ++i) {
    switch (const char c = value[i]) {
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      case ' ':
        out += i == 0 ? "\\s" : " ";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string UnescapeValue(std::string_view value) {
  std::string out;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      out += value[i];
      continue;
    }
    switch (const char c = value[++i]) {
      case 's':
        out += ' ';
        break;
      case 'n':
        out += '\n';
        break;
      case 't':
        out += '\t';
        break;
      case 'r':
        out += '\r';
        break;
      default:
        out += c;
    }
  }
  return out;
}

// Literal percent signs are doubled so that a launcher does not take them for field codes.
std::string DoublePercent(std::string_view text) {
  std::string out;
  for (const char c : text) {
    out += c;
    if (c == '%') out += '%';
  }
  return out;
}

// Undoes DoublePercent; a lone % (a field code we never write) makes the line malformed.
std::optional<std::string> SinglePercent(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && (i + 1 == text.size() || text[++i] != '%')) return std::nullopt;
    out += text[i];
  }
  return out;
}

// Splits a command line by the quoting rules QuoteExecArgument writes.
std::optional<std::vector<std::string>> SplitExec(std::string_view line) {
  std::vector<std::string> argv;
  std::string arg;
  bool inArg = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == ' ') {
      if (inArg) argv.push_back(std::move(arg));
      arg.clear();
      inArg = false;
    } else if (c == '"') {
      inArg = true;
      for (++i;; ++i) {
        if (i == line.size()) return std::nullopt;  // unterminated quote
        if (line[i] == '"') break;
        if (line[i] == '\\' && i + 1 < line.size() &&
            kEscapedInQuotes.find(line[i + 1]) != std::string_view::npos)
          ++i;
        arg += line[i];
      }
    } else {
      inArg = true;
      arg += c;
    }
  }
  if (inArg) argv.push_back(std::move(arg));
  return argv;
}

TError WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    text.remove_prefix(static_cast<size_t>(n));
  }
  return 0;
}

// An environment variable holding an absolute folder; empty otherwise, as the base directory
// rules say a relative one is to be ignored.
std::string AbsoluteEnv(const char* name) {
  const char* value = std::getenv(name);
  return value && value[0] == '/' ? value : "";
}

std::string HomeBased(const char* name, std::string_view below_home) {
  std::string folder = AbsoluteEnv(name);
  if (folder.empty()) {
    const std::string home = AbsoluteEnv("HOME");
    if (home.empty()) return "";
    folder = IncludeTrailingSeparator(home).append(below_home);
  }
  return folder;
}

// XDG_DESKTOP_DIR="$HOME/Desktop" or an absolute path; nothing for other forms.
std::optional<std::string> DesktopFromUserDirs(const std::string& file) {
  std::ifstream in(file);
  constexpr std::string_view kKey = "XDG_DESKTOP_DIR=\"";
  std::string line;
  std::optional<std::string> found;
  while (std::getline(in, line)) {
    if (!line.starts_with(kKey) || line.back() != '"') continue;
    std::string value;
    for (size_t i = kKey.size(); i + 1 < line.size(); ++i) {
      if (line[i] == '\\' && i + 2 < line.size()) ++i;
      value += line[i];
    }
    if (value.starts_with("$HOME")) {
      const std::string home = AbsoluteEnv("HOME");
      if (home.empty()) return std::nullopt;
      value = home + value.substr(5);
    }
    if (value.starts_with('/')) found = value;  // the last assignment wins, as in a shell
  }
  return found;
}

}  // namespace

std::string QuoteExecArgument(std::string_view arg, bool always) {
  if (!always && !arg.empty() && arg.find_first_of(kReserved) == std::string_view::npos)
    return std::string(arg);
  std::string out = "\"";
  for (const char c : arg) {
    if (kEscapedInQuotes.find(c) != std::string_view::npos) out += '\\';
    out += c;
  }
  return out += '"';
}

std::string ExecCommandLine(std::span<const std::string> argv) {
  std::string line;
  for (const std::string& arg : argv) {
    if (!line.empty()) line += ' ';
    line += QuoteExecArgument(arg);
  }
  return line;
}

std::string DesktopEntryText(const TDesktopEntry& entry) {
  std::string text = "[Desktop Entry]\nType=Application\n";
  text += "Name=" + EscapeValue(entry.name) + "\n";
  text += "Exec=" + EscapeValue(DoublePercent(entry.command)) + "\n";
  if (!entry.icon.empty()) text += "Icon=" + EscapeValue(entry.icon) + "\n";
  text += "Terminal=false\n";
  if (!entry.folder.empty()) text += "Path=" + EscapeValue(entry.folder) + "\n";
  return text;
}

TError WriteDesktopEntry(const std::string& path, const TDesktopEntry& entry) {
  TAtomicFile file;
  const std::string prefix = "." + std::string(LastComponent(path)) + ".tmp";
  if (const TError e = file.Create(path, prefix, 0755)) return e;
  // Explicitly, as the umask may have taken bits off: a launcher must be executable.
  if (::fchmod(file.Fd(), 0755) != 0) return errno;
  if (const TError e = WriteAll(file.Fd(), DesktopEntryText(entry))) return e;
  return file.Commit(true);
}

std::optional<TParsedDesktopEntry> ReadDesktopEntry(const std::string& path) {
  std::ifstream in(path);
  if (!in) return std::nullopt;
  TParsedDesktopEntry entry;
  std::string line;
  bool inGroup = false;
  while (std::getline(in, line)) {
    if (line.starts_with('[')) inGroup = line == "[Desktop Entry]";
    const size_t eq = line.find('=');
    if (!inGroup || line.starts_with('#') || eq == std::string::npos) continue;
    entry.keys[line.substr(0, eq)] = UnescapeValue(std::string_view(line).substr(eq + 1));
  }
  const auto exec = entry.keys.find("Exec");
  if (exec == entry.keys.end()) return std::nullopt;
  const std::optional<std::string> command = SinglePercent(exec->second);
  if (!command) return std::nullopt;
  std::optional<std::vector<std::string>> argv = SplitExec(*command);
  if (!argv) return std::nullopt;
  entry.argv = std::move(*argv);
  return entry;
}

std::string XdgDesktopFolder() {
  const std::string config = HomeBased("XDG_CONFIG_HOME", ".config");
  std::optional<std::string> folder;
  if (!config.empty()) folder = DesktopFromUserDirs(config + "/user-dirs.dirs");
  if (!folder) {
    const std::string home = AbsoluteEnv("HOME");
    if (home.empty()) return "";
    folder = IncludeTrailingSeparator(home) + "Desktop";
  }
  // "$HOME/" is how user-dirs.dirs switches a folder off: launchers never go into home itself.
  const std::string home = AbsoluteEnv("HOME");
  if (!home.empty() && RealPath(*folder) == RealPath(home)) return "";
  return DirectoryExists(*folder) ? *folder : "";
}

std::string XdgApplicationsFolder() {
  const std::string data = HomeBased("XDG_DATA_HOME", ".local/share");
  return data.empty() ? "" : IncludeTrailingSeparator(data) + "applications";
}

}  // namespace twn::platform
