#include "windows/options.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace twn {
namespace {

TEST(OptionsTest, SavesOnlyAnExistingFolderTrimmed) {
  test::TempDir dir;
  test::WriteFile(dir / "file", "x");
  const std::string logs = dir / "logs";
  test::MakeDirs(logs);
  const struct {
    std::string typed;
    TOptionsSave result;
    std::string stored;
  } cases[] = {
      {"  " + logs + " \t", TOptionsSave::Changed, logs},
      {logs + "/", TOptionsSave::Changed, logs + "/"},  // typed as it is
      {dir.path(), TOptionsSave::Unchanged, dir.path()},
      {dir / "missing", TOptionsSave::NoFolder, dir.path()},
      {dir / "file", TOptionsSave::NoFolder, dir.path()},  // a file is no folder
      {"   ", TOptionsSave::NoFolder, dir.path()},
  };
  for (const auto& c : cases) {
    TSettings settings(dir.path());
    settings.MainLogFolder = dir.path();
    settings.bAutosizeColumns = true;
    TOptionsValues edited = OptionsFromSettings(settings);
    edited.LogFolder = c.typed;
    EXPECT_EQ(c.result, SaveOptions(edited, settings)) << c.typed;
    EXPECT_EQ(c.stored, settings.MainLogFolder) << c.typed;
  }
}

TEST(OptionsTest, ChecksAreStoredWithTheFolderOrNotAtAll) {
  test::TempDir dir;
  TSettings settings(dir.path());
  settings.MainLogFolder = dir.path();
  const TOptionsValues before = OptionsFromSettings(settings);
  TOptionsValues edited{dir / "missing", !before.bAutosizeColumns, !before.bShowTutorials};
  EXPECT_EQ(TOptionsSave::NoFolder, SaveOptions(edited, settings));
  EXPECT_EQ(before, OptionsFromSettings(settings));
  edited.LogFolder = dir.path();
  EXPECT_EQ(TOptionsSave::Changed, SaveOptions(edited, settings));
  EXPECT_EQ(edited, OptionsFromSettings(settings));
}

TEST(OptionsTest, BrowsedFolderEndsWithASeparator) {
  EXPECT_EQ("/var/log/twn/", BrowsedLogFolder("/var/log/twn"));
  EXPECT_EQ("/var/log/twn/", BrowsedLogFolder("/var/log/twn/"));
  EXPECT_EQ("/", BrowsedLogFolder("/"));
  EXPECT_EQ("", BrowsedLogFolder(""));
  EXPECT_EQ("/a b", BrowseStartFolder("  /a b \n"));
}

}  // namespace
}  // namespace twn
