// twn-cli match run as a user runs it: answers on stdout, mistakes on stderr, exit status.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/run_program.h"

namespace twn {
namespace {

using CliResult = test::TProgramResult;

CliResult RunMatch(std::vector<std::string> args) {
  args.insert(args.begin(), "match");
  return test::RunProgram(TWN_CLI_PATH, args);
}

struct TCase {
  std::vector<std::string> args;
  std::string says;  // all of stdout, or a part of stderr
};

TEST(MatchCommandTest, PrintsOneVerdictPerNameInOrder) {
  const std::string long_name = std::string(100'000, 'a') + ".txt";
  const TCase cases[] = {
      {{"--include", "*.bmp; *.gif; *.jpg", "a.JPG", "b.png", "bmp", "c.gif"},
       "+ a.JPG\n- b.png\n- bmp\n+ c.gif\n"},
      {{"--include", "*.*", "--exclude", "*.tmp", "x.tmp", "readme"}, "- x.tmp\n+ readme\n"},
      // Empty lists are given, not missing: nothing is left out.
      {{"--include", "", "--exclude", "", "any"}, "+ any\n"},
      {{"--folders", "Backup;TEMP*", "backup", "Temporary", "src"},
       "+ backup\n+ Temporary\n- src\n"},
      {{"--folders", "*", "Backup"}, "- Backup\n"},  // a star-only list leaves out nothing
      // After "--" names may begin with "-"; options may also follow the names.
      {{"--include", "-*", "--", "-x", "--include"}, "+ -x\n+ --include\n"},
      {{"a.txt", "--include", "*.txt", "-"}, "+ a.txt\n- -\n"},
      // Long and unusual names get an answer too.
      {{"--include", "*.TXT", "--", long_name, "\xC3\xA9.txt", "\x7F"},
       "+ " + long_name + "\n+ \xC3\xA9.txt\n- \x7F\n"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args).substr(0, 200));
    const CliResult r = RunMatch(c.args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, c.says);
    EXPECT_EQ(r.err, "");
  }
}

TEST(MatchCommandTest, BadArgumentsSayWhatIsWrongAndShowTheUsage) {
  const TCase cases[] = {
      {{}, "--include or --folders is required"},
      {{"a.txt"}, "--include or --folders is required"},
      {{"--include", "*"}, "no names to match"},
      {{"--include"}, "--include needs a list of specs"},
      {{"--include", "*", "--include", "*", "a"}, "--include is given twice"},
      {{"--exclude", "*", "a"}, "--exclude needs --include"},
      {{"--include", "*", "--folders", "x", "a"}, "cannot be combined"},
      {{"--include", "*", "-x"}, "unknown option '-x'"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    const CliResult r = RunMatch(c.args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("twn-cli: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("usage: twn-cli match --include SPECS"), std::string::npos) << r.err;
  }
}

}  // namespace
}  // namespace twn
