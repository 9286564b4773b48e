// The Create shortcut window's rules: the command line for every choice, the settings folder a
// launcher carries, the enable rule, refused names and where the launchers are written.
#include "windows/create_shortcut.h"

#include <gtest/gtest.h>

#include "platform/desktop_entry.h"
#include "support/test_support.h"

namespace twn {
namespace {

using L = TShortcutLog;
using A = TShortcutAfterRun;

TEST(CreateShortcut, CommandLineForEveryChoice) {
  const struct {
    TShortcutOptions options;
    const char* switches;
  } cases[] = {
      {{false, L::Never, A::Nothing}, ""},
      {{false, L::Never, A::Close}, " -fc"},
      {{false, L::Never, A::Minimize}, " -fm"},
      {{false, L::OnErrors, A::Nothing}, " -le"},
      {{false, L::OnErrors, A::Close}, " -le -fc"},
      {{true, L::OnErrors, A::Minimize}, " -sm -le -fm"},
      {{false, L::Always, A::Nothing}, " -la"},
      {{true, L::Always, A::Close}, " -sm -la -fc"},
      {{false, L::Always, A::Minimize}, " -la -fm"},
      {{true, L::Never, A::Nothing}, " -sm"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ShortcutCommandLine("/usr/bin/twn", "Photos", "", c.options),
              std::string("\"/usr/bin/twn\" \"Photos\"") + c.switches);
  }
  EXPECT_EQ(ShortcutArguments("50% $x", "/home/a b/set", {}),
            "--settings \"/home/a b/set\" \"50% \\$x\" -fc");
}

TEST(CreateShortcut, SettingsFolderOnlyWhenChosenFromOutside) {
  EXPECT_EQ(ShortcutSettingsFolder("", nullptr, "/home/u/.config/twinward"), "");
  EXPECT_EQ(ShortcutSettingsFolder("", "", "/x"), "");
  EXPECT_EQ(ShortcutSettingsFolder("rel", nullptr, "/abs/rel"), "/abs/rel");
  EXPECT_EQ(ShortcutSettingsFolder("", "/t", "/t"), "/t");
}

TEST(CreateShortcut, EnableRuleAndRefusedNames) {
  EXPECT_FALSE(CanCreateShortcut(false, "Photos"));
  EXPECT_FALSE(CanCreateShortcut(true, " \t "));
  EXPECT_TRUE(CanCreateShortcut(true, " P "));
  for (const char* bad : {"a/b", "/", " . ", "..", "a\nb", "a\rb"})
    EXPECT_NE(ShortcutNameProblem(bad), "") << bad;
  for (const char* good : {"Photos", "...", "50% $HOME \"x\"", " -sm ", "a\\b"})
    EXPECT_EQ(ShortcutNameProblem(good), "") << good;
}

TEST(CreateShortcut, WritesEachTickedFolderOnceAndReportsFailures) {
  test::TempDir dir;
  test::MakeDirs(dir / "desk");
  test::WriteFile(dir / "file", "x");
  const TShortcutFolders folders = {dir / "desk", "", dir / "new/apps", dir / "new/apps"};
  const auto none = CreateShortcuts(folders, {true, true, true, true}, " My job ", "/bin/twn",
                                    "\"/bin/twn\" \"My job\"");
  EXPECT_TRUE(none.empty());
  for (const std::string folder : {"desk", "new/apps"}) {
    const auto entry = platform::ReadDesktopEntry(dir / (folder + "/My job.desktop"));
    ASSERT_TRUE(entry) << folder;
    EXPECT_EQ(entry->argv, (std::vector<std::string>{"/bin/twn", "My job"}));
    EXPECT_EQ(entry->keys.at("Path"), "/bin/");
  }
  const auto failed = CreateShortcuts({dir / "file", "", dir / "desk", ""},
                                      {true, false, true, false}, "j", "/bin/twn", "twn");
  ASSERT_EQ(failed.size(), 1u);
  EXPECT_EQ(failed[0].path, dir / "file/j.desktop");
  EXPECT_NE(ShortcutFailureText(failed).find(dir / "file/j.desktop"), std::string::npos);
}

}  // namespace
}  // namespace twn
