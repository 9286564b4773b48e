// twn-cli match run as a user runs it: answers on stdout, mistakes on stderr, exit status.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/run_program.h"

namespace twn {
namespace {

using CliResult = test::TProgramResult;

CliResult RunMatch(const std::vector<std::string>& args) {
  std::vector<std::string> words = {"match"};
  words.insert(words.end(), args.begin(), args.end());
  return test::RunProgram(TWN_CLI_PATH, words);
}

struct AnswerCase {
  std::vector<std::string> args;
  std::string out;
};

TEST(MatchCommandTest, PrintsOneVerdictPerNameInOrder) {
  const AnswerCase cases[] = {
      {{"--include", "*.bmp; *.gif; *.jpg", "a.JPG", "b.png", "bmp", "c.gif"},
       "+ a.JPG\n- b.png\n- bmp\n+ c.gif\n"},
      {{"--include", "*.*", "--exclude", "*.tmp", "x.tmp", "readme"}, "- x.tmp\n+ readme\n"},
      // An exclude list holding a star-only spec excludes nothing; an empty one too.
      {{"--include", "*.*", "--exclude", "*.tmp; *", "x.tmp"}, "+ x.tmp\n"},
      {{"--include", "", "--exclude", "", "any"}, "+ any\n"},
      // "*." selects only names ending with a dot.
      {{"--include", "*.", "readme", "readme."}, "- readme\n+ readme.\n"},
      {{"--folders", "Backup;TEMP*", "backup", "Temporary", "src"},
       "+ backup\n+ Temporary\n- src\n"},
      {{"--folders", "*", "Backup"}, "- Backup\n"},
      // After "--" names may begin with "-"; options may also follow the names.
      {{"--include", "-*", "--", "-x", "--include"}, "+ -x\n+ --include\n"},
      {{"a.txt", "--include", "*.txt", "-"}, "+ a.txt\n- -\n"},
  };
  for (const AnswerCase& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    const CliResult r = RunMatch(c.args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, "");
  }
}

TEST(MatchCommandTest, BadArgumentsSayWhatIsWrongAndShowTheUsage) {
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {{}, "--include or --folders is required"},
      {{"a.txt"}, "--include or --folders is required"},
      {{"--include", "*"}, "no names to match"},
      {{"--include"}, "--include needs a list of specs"},
      {{"--include", "*", "--include", "*", "a"}, "--include is given twice"},
      {{"--exclude", "*", "a"}, "--exclude needs --include"},
      {{"--include", "*", "--folders", "x", "a"}, "cannot be combined"},
      {{"--include", "*", "-x"}, "unknown option '-x'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    const CliResult r = RunMatch(c.args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("twn-cli: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("usage: twn-cli match --include SPECS"), std::string::npos) << r.err;
  }
}

TEST(MatchCommandTest, LongAndUnusualNamesGetAnAnswer) {
  const std::string long_name = std::string(100'000, 'a') + ".txt";
  const CliResult r = RunMatch({"--include", "*.TXT", "--", long_name, "\xC3\xA9.txt", "\x7F"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "+ " + long_name + "\n+ \xC3\xA9.txt\n- \x7F\n");
}

}  // namespace
}  // namespace twn
