// Runs when files change, as a user starts them: twn-cli schedule for a job added with --watch,
// and twn-cli watch for a job without it.
#include <gtest/gtest.h>
#include <signal.h>

#include "support/background_program.h"
#include "support/test_support.h"

namespace twn {
namespace {

test::TProgramResult Cli(const std::string& cfg, std::vector<std::string> args) {
  return test::RunProgram(TWN_CLI_PATH, test::OnSettings(cfg, std::move(args)));
}

TEST(WatchTest, ChangedFilesAreSynchronizedUntilInterrupted) {
  struct Case {
    const char* what;
    bool option;
    std::vector<std::string> command;
  };
  for (const Case& c : {Case{"schedule honours the option", true, {"schedule"}},
                        Case{"watch needs no option", false, {"watch", "W"}}}) {
    SCOPED_TRACE(c.what);
    test::TempDir dir;
    const std::string cfg = dir / "cfg", left = dir / "L", right = dir / "R";
    test::MakeDirs(left), test::MakeDirs(right);
    std::vector<std::string> add{"add", "W", "--left", left, "--right", right};
    if (c.option) add.push_back("--watch");
    ASSERT_EQ(0, Cli(cfg, add).status);
    EXPECT_EQ(c.option,
              Cli(cfg, {"show", "W"}).out.find("runs when files change") != std::string::npos);

    test::TBackgroundProgram cli(TWN_CLI_PATH, test::OnSettings(cfg, c.command));
    const auto said = [&](const char* text) {
      return test::WaitUntil([&] { return cli.OutputSoFar().find(text) != std::string::npos; });
    };
    const bool watching = said("'W': watching 2 folders");
    for (const char* name : {"a", "b", "c"}) test::WriteFile(left + "/sub/" + name, name);
    const bool ran = watching && said("finished 'W'");
    cli.Signal(SIGINT);
    const auto result = cli.Wait();
    ASSERT_TRUE(ran) << result.out << result.err;
    EXPECT_EQ(0, result.status) << result.err;
    EXPECT_NE(std::string::npos, result.out.find("changes seen in 'W'")) << result.out;
    EXPECT_EQ("c", test::ReadFile(right + "/sub/c"));
  }
}

TEST(WatchTest, NeedsOneKnownJob) {
  test::TempDir dir;
  EXPECT_EQ(2, Cli(dir.path(), {"watch"}).status);
  const auto unknown = Cli(dir.path(), {"watch", "Nope"});
  EXPECT_EQ(2, unknown.status);
  EXPECT_NE(std::string::npos, unknown.err.find("Nope")) << unknown.err;
}

}  // namespace
}  // namespace twn
