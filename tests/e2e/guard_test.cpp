// The deletion guard as a user meets it: `twn-cli run` of a mirror that would wipe its target.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fault_support.h"
#include "support/run_program.h"
#include "support/test_support.h"

namespace twn {
namespace {

using ::testing::HasSubstr;
using Names = std::vector<std::string>;

// A mirror from L to R: R holds `files` files, L holds the first `kept` of them unchanged.
class Guarded {
 public:
  Guarded(int files, int kept, std::vector<std::string> add_options = {}) {
    test::MakeDirs(L());
    for (int i = 0; i < files; ++i) {
      const std::string name = "/f" + std::to_string(100 + i);
      test::Put(R() + name);
      if (i < kept) test::Put(L() + name);
    }
    std::vector<std::string> add = {"add",     "Guarded", "--left",   L(),
                                    "--right", R(),       "--method", "mirror-lr"};
    add.insert(add.end(), add_options.begin(), add_options.end());
    added_ = Cli(add).status;
  }
  test::TProgramResult Cli(std::vector<std::string> args) const {
    return test::RunProgram(TWN_CLI_PATH, test::OnSettings(dir_ / "settings", std::move(args)));
  }
  std::string L() const { return dir_ / "L"; }
  std::string R() const { return dir_ / "R"; }
  std::string Log(const char* kind) const {
    return test::ReadFile(dir_ / ("settings/Logs/Guarded_" + std::string(kind) + ".log"));
  }
  std::string IniPath() const { return dir_ / "settings/TWN.ini"; }
  int added_ = -1;

 private:
  test::TempDir dir_;
};

TEST(DeletionGuard, HoldsAMirrorThatWouldWipeItsTargetUntilForced) {
  const struct {
    const char* what;
    int files, kept;
    std::vector<std::string> add_options;
    const char* held;  // the reason in the logs, or null when the run goes on
  } cases[] = {
      {"emptied left side", 20, 0, {}, "would delete all 20 files on the right side"},
      {"three files left", 20, 3, {}, "would delete 17 and overwrite 0 of the 20 files"},
      {"a stricter limit",
       60,
       45,
       {"--max-delete-percent", "20"},
       "delete 15 and overwrite 0 of the 60 files on the right side (25%)"},
      {"fewer files than the floor", 8, 0, {}, nullptr},
      {"guard turned off", 20, 0, {"--max-delete-percent", "0"}, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Guarded g(c.files, c.kept, c.add_options);
    ASSERT_EQ(g.added_, 0);
    const Names left = test::ListNames(g.L());
    if (c.held) {
      const Names before = test::ListNames(g.R());
      const auto r = g.Cli({"run", "Guarded"});
      EXPECT_EQ(r.status, 5) << r.err;
      EXPECT_EQ(test::ListNames(g.R()), before) << "nothing deleted";
      for (const char* kind : {"full", "error", "summary"}) {
        EXPECT_THAT(g.Log(kind), HasSubstr(c.held)) << kind;
        EXPECT_THAT(g.Log(kind), HasSubstr("twn-cli run \"Guarded\" --force")) << kind;
      }
      EXPECT_EQ(g.Cli({"run", "--force", "Guarded"}).status, 0);
    } else {
      EXPECT_EQ(g.Cli({"run", "Guarded"}).status, 0);
    }
    EXPECT_EQ(test::ListNames(g.R()), left);
  }
}

// A job stored before the guard existed has no key for it: it runs as it always did.
TEST(DeletionGuard, AJobWithoutTheKeyRunsUnguarded) {
  const Guarded g(20, 0);
  ASSERT_EQ(g.added_, 0);
  EXPECT_THAT(g.Cli({"show", "Guarded"}).out,
              HasSubstr("Ask before deleting more than 50% of a side's files"));
  std::string ini = test::ReadFile(g.IniPath());
  const size_t key = ini.find("MaxDeletePercent=50\r\n");
  ASSERT_NE(key, std::string::npos) << ini;
  test::WriteFile(g.IniPath(), ini.erase(key, ini.find('\n', key) + 1 - key));
  EXPECT_THAT(g.Cli({"show", "Guarded"}).out, HasSubstr("Off: no run is held"));
  EXPECT_EQ(g.Cli({"run", "Guarded"}).status, 0);
  EXPECT_EQ(test::ListNames(g.R()), Names{});
}

}  // namespace
}  // namespace twn
