#include "support/run_program.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <thread>

#include "support/background_program.h"

extern char** environ;

namespace twn::test {

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    if (done()) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
}

TBackgroundProgram::TBackgroundProgram(const std::string& program,
                                       const std::vector<std::string>& args, const std::string& cwd,
                                       int stdout_fd) {
  std::vector<std::string> words = {program};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  const std::string out = capture_ / "out", err = capture_ / "err";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (stdout_fd >= 0)
    posix_spawn_file_actions_adddup2(&actions, stdout_fd, 1);
  else
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT, 0600);
  if (!cwd.empty()) posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
  if (posix_spawnp(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
  posix_spawn_file_actions_destroy(&actions);
}

TBackgroundProgram::~TBackgroundProgram() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, nullptr, 0);
}

void TBackgroundProgram::Signal(int signal) const {
  if (pid_ > 0) ::kill(pid_, signal);
}

TProgramResult TBackgroundProgram::Wait() {
  TProgramResult result;
  if (pid_ <= 0) return result;
  int wstatus = 0;
  ::waitpid(pid_, &wstatus, 0);
  pid_ = -1;
  result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
  result.out = ReadFile(capture_ / "out");
  result.err = ReadFile(capture_ / "err");
  return result;
}

std::vector<std::string> OnSettings(const std::string& settings, std::vector<std::string> args) {
  args.insert(args.begin(), {"--settings", settings});
  return args;
}

TProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                          const std::string& cwd) {
  TBackgroundProgram running(program, args, cwd);
  if (!running.Started()) return {-1, "", "cannot start " + program};
  return running.Wait();
}

}  // namespace twn::test
