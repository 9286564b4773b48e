#include "help/help_topics.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace twn {
namespace {

TEST(HelpTopics, PageForContext) {
  struct Case {
    int context;
    std::string_view page;
  };
  for (const Case& c : std::vector<Case>{
           {1, "jw_job_settings.html"},  // first row
           {15, "main_window.html"},
           {26, "create_shortcut.html"},
           {32, "visual_run_6.html"},
           {33, "versions.html"},     // last row
           {0, "what_is_twn.html"},   // "no context"
           {34, "what_is_twn.html"},  // just past the table
           {-15, "what_is_twn.html"},
       })
    EXPECT_EQ(HelpPageForContext(c.context), c.page) << "context " << c.context;
}

TEST(HelpTopics, ContextFromChain) {
  const THelpOptions kMainWindow;  // inherit the window's context, default page without any
  const THelpOptions kStrict{.inheritWindowContext = false, .helpWithoutContext = false};
  struct Case {
    std::vector<int> chain;  // focused widget first, its own window last
    THelpOptions options;
    std::optional<int> expected;
  };
  for (const Case& c : std::vector<Case>{
           {{23, 0, 17}, kMainWindow, 23},  // the widget's own
           {{0, 5, 17}, kMainWindow, 5},    // a parent's
           {{0, 0, 17}, kMainWindow, 17},   // the window's
           {{0, 0, 0}, kMainWindow, 0},     // none: the default page
           {{0, 0, 17}, kStrict, std::nullopt},
           {{0, 5, 17}, kStrict, 5},
           {{17}, kStrict, std::nullopt},  // the window itself has focus
           {{}, kStrict, std::nullopt},
       }) {
    std::string chain;
    for (int v : c.chain) chain += std::to_string(v) + " ";
    EXPECT_EQ(EffectiveHelpContext(c.chain, c.options), c.expected) << "chain " << chain;
  }
}

TEST(HelpTopics, PagePathBesideProgram) {
  EXPECT_EQ(HelpPagePath("/opt/twn", 15), "/opt/twn/TWN-help/main_window.html");
  EXPECT_EQ(HelpPagePath("/opt/twn/", 15), "/opt/twn/TWN-help/main_window.html");
  EXPECT_EQ(HelpPagePath("/opt/twn", 99), "/opt/twn/TWN-help/what_is_twn.html");
}

TEST(HelpTopics, MissingFolderOrPageGivesNothing) {
  test::TempDir dir;
  EXPECT_EQ(ExistingHelpPage(dir.path(), 15), std::nullopt);  // no help folder
  test::WriteFile(dir / "TWN-help/main_window.html", "<html></html>");
  EXPECT_EQ(ExistingHelpPage(dir.path(), 16), std::nullopt);  // folder without that page
  EXPECT_EQ(ExistingHelpPage(dir.path(), 15), dir / "TWN-help/main_window.html");
  test::MakeDirs(dir / "TWN-help/options_window.html");  // a folder is not a page
  EXPECT_EQ(ExistingHelpPage(dir.path(), 17), std::nullopt);
}

TEST(HelpTopics, HelpFolderBesideProgramOrInstalled) {
  struct Case {
    std::vector<std::string> folders;  // made under the temp dir; the program is in bin/
    std::optional<std::string> expected;
  };
  for (const Case& c : std::vector<Case>{
           {{"bin/TWN-help", "share/twinward/TWN-help"}, "bin/TWN-help"},  // beside wins
           {{"bin", "share/twinward/TWN-help"}, "share/twinward/TWN-help"},
           {{"bin", "share/twinward"}, std::nullopt},
           {{"bin", "share/TWN-help"}, std::nullopt},
       }) {
    test::TempDir dir;
    for (const std::string& folder : c.folders) test::MakeDirs(dir / folder);
    const std::optional<std::string> expected =
        c.expected ? std::optional(dir / *c.expected) : std::nullopt;
    EXPECT_EQ(HelpFolder(dir / "bin"), expected) << c.folders.back();
  }
  test::TempDir dir;
  test::WriteFile(dir / "share/twinward/TWN-help/tutorials.html", "<html></html>");
  test::WriteFile(dir / "bin/tutorials.html", "<html></html>");
  EXPECT_EQ(ExistingHelpTopic(dir / "bin", "tutorials.html"),
            dir / "share/twinward/TWN-help/tutorials.html");
  EXPECT_EQ(ExistingHelpTopic(dir / "bin", "../../../bin/tutorials.html"), std::nullopt);
}

}  // namespace
}  // namespace twn
