// Desktop launchers: whatever a job or folder is called, the file read back by the launcher
// rules gives the very arguments it was written with; and where the desktop keeps them.
#include "platform/desktop_entry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace twn::platform {
namespace {

TEST(DesktopEntry, ExecAndNameReadBackAsWrittenWhateverTheyHold) {
  test::TempDir dir;
  const std::string exe = "/opt/my apps/$x/twn";
  const mode_t old_umask = ::umask(077);
  for (const std::string name : {"50% $HOME \"x\"", "back\\slash\\\\", "tick`date`", "two  spaces",
                                 "Grüße 日本", "-sm", "%f %% 100%", " lead\ttab", "a'b;c|d&e"}) {
    const std::vector<std::string> argv = {exe, "--settings", "/s/\"q\"", name, "-fc"};
    const TDesktopEntry entry{name, ExecCommandLine(argv), "twinward", "/opt/my apps/"};
    const std::string path = dir / "j.desktop";
    ASSERT_EQ(WriteDesktopEntry(path, entry), 0) << name;
    const std::optional<TParsedDesktopEntry> back = ReadDesktopEntry(path);
    ASSERT_TRUE(back) << name;
    EXPECT_EQ(back->argv, argv) << name;
    EXPECT_EQ(back->keys.at("Name"), name);
    EXPECT_EQ(back->keys.at("Path"), "/opt/my apps/");
    EXPECT_EQ(back->keys.at("Type"), "Application");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0755u) << "the umask does not make it unlaunchable";
  }
  ::umask(old_umask);
  // The layers of escaping in the order a launcher undoes them: value, field codes, quotes.
  const TDesktopEntry entry{"n", ExecCommandLine(std::vector<std::string>{"50% $HOME \"x\""}), "",
                            ""};
  EXPECT_NE(DesktopEntryText(entry).find("\nExec=\"50%% \\\\$HOME \\\\\"x\\\\\"\"\n"),
            std::string::npos)
      << DesktopEntryText(entry);
  EXPECT_EQ(QuoteExecArgument("plain"), "plain");
  EXPECT_EQ(QuoteExecArgument("plain", true), "\"plain\"");
}

TEST(DesktopEntry, AFailedWriteIsReportedAndLeavesNothingBehind) {
  test::TempDir dir;
  const TDesktopEntry entry{"n", "twn", "", ""};
  EXPECT_EQ(WriteDesktopEntry(dir / "missing/j.desktop", entry), ENOENT);
  test::MakeDirs(dir / "j.desktop/keep");
  EXPECT_EQ(WriteDesktopEntry(dir / "j.desktop", entry), EISDIR);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(DesktopEntry, FoldersFollowTheUserDirsAndBaseDirectoryVariables) {
  test::TempDir home;
  test::MakeDirs(home / "Bureau");
  struct Case {
    const char* user_dirs;  // nullptr: no file
    bool make_desktop;
    const char* data_home;
    std::string desktop, applications;
  } cases[] = {
      {"XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n", false, nullptr, home / "Bureau",
       home / ".local/share/applications"},
      {"# c\nXDG_DESKTOP_DIR=\"/nowhere/Desk\"\n", true, "relative", "",
       home / ".local/share/applications"},
      {"XDG_DESKTOP_DIR=\"$HOME/\"\n", true, "/data", "", "/data/applications"},
      {nullptr, true, nullptr, home / "Desktop", home / ".local/share/applications"},
      {nullptr, false, nullptr, "", home / ".local/share/applications"},
  };
  test::ScopedEnv h("HOME", home.path().c_str());
  test::ScopedEnv c("XDG_CONFIG_HOME", nullptr);
  for (const Case& k : cases) {
    std::remove((home / ".config/user-dirs.dirs").c_str());
    ::rmdir((home / "Desktop").c_str());
    if (k.user_dirs) test::WriteFile(home / ".config/user-dirs.dirs", k.user_dirs);
    if (k.make_desktop) test::MakeDirs(home / "Desktop");
    test::ScopedEnv d("XDG_DATA_HOME", k.data_home);
    EXPECT_EQ(XdgDesktopFolder(), k.desktop) << (k.user_dirs ? k.user_dirs : "none");
    EXPECT_EQ(XdgApplicationsFolder(), k.applications);
  }
  test::ScopedEnv no_home("HOME", nullptr);
  EXPECT_EQ(XdgDesktopFolder(), "");
  EXPECT_EQ(XdgApplicationsFolder(), "");
}

}  // namespace
}  // namespace twn::platform
