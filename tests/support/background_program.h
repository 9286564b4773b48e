#pragma once
// A program of the build started in the background, so that a test can act while it runs
// (send it a signal) and then collect what it said.
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "support/run_program.h"
#include "support/test_support.h"

namespace twn::test {

/// Polls `done` until it holds or `limit` has passed; whether it held.
bool WaitUntil(const std::function<bool()>& done,
               std::chrono::milliseconds limit = std::chrono::seconds(30));

class TBackgroundProgram {
 public:
  /// Starts `program` (looked up on PATH without a '/') with `args` in the folder `cwd` (the
  /// current one when empty), stdin empty, stdout (unless `stdout_fd` is given) and stderr
  /// captured.
  TBackgroundProgram(const std::string& program, const std::vector<std::string>& args,
                     const std::string& cwd = {}, int stdout_fd = -1);
  /// Kills the program if it was not waited for.
  ~TBackgroundProgram();
  TBackgroundProgram(const TBackgroundProgram&) = delete;
  TBackgroundProgram& operator=(const TBackgroundProgram&) = delete;

  bool Started() const { return pid_ > 0; }
  pid_t Pid() const { return pid_; }
  void Signal(int signal) const;
  /// What the program has written to stdout so far.
  std::string OutputSoFar() const { return ReadFile(capture_ / "out"); }
  /// Waits for the end; status as RunProgram gives it.
  TProgramResult Wait();

 private:
  TempDir capture_;
  pid_t pid_ = -1;
};

}  // namespace twn::test
