#pragma once
// Runs a program of the build (twn-cli) as a user would and collects what it says.
#include <string>
#include <vector>

namespace twn::test {

struct TProgramResult {
  /// Exit status; 128 + signal number when the program was killed.
  int status = -1;
  std::string out, err;
};

/// `args` for twn-cli with its settings folder given first.
std::vector<std::string> OnSettings(const std::string& settings, std::vector<std::string> args);

/// Runs `program` to its end, started as TBackgroundProgram starts it.
TProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                          const std::string& cwd = {});

}  // namespace twn::test
