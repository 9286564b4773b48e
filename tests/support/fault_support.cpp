#include "support/fault_support.h"

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <linux/fs.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string_view>

#include "platform/unique_fd.h"

namespace twn::test {

std::string RunInChild(const std::function<std::string()>& body) {
  int fds[2];
  if (::pipe(fds) != 0) return "pipe failed";
  const pid_t pid = ::fork();
  if (pid < 0) return "fork failed";
  if (pid == 0) {
    ::close(fds[0]);
    // An exception must not escape into the test runner's copy in the child.
    std::string answer;
    try {
      answer = body();
    } catch (const std::exception& e) {
      answer = std::string("exception: ") + e.what();
    }
    // A blocking write to a pipe writes all of it while the parent reads.
    ::_exit(::write(fds[1], answer.data(), answer.size()) == ssize_t(answer.size()) ? 0 : 1);
  }
  ::close(fds[1]);
  std::string answer;
  char buf[512];
  for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) answer.append(buf, size_t(n));
  ::close(fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return "child died (status " + std::to_string(status) + ") after: " + answer;
  return answer;
}

std::string RunAsNobody(const std::function<std::string()>& body) {
  return RunInChild([&body]() -> std::string {
    if (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
        ::setresuid(kNobody, kNobody, kNobody) != 0)
      return "could not drop root";
    return body();
  });
}

bool SetImmutable(const std::string& path, bool on) {
  const platform::TUniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  int flags = 0;
  if (!fd.Valid() || ::ioctl(fd.Get(), FS_IOC_GETFLAGS, &flags) != 0) return false;
  flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
  return ::ioctl(fd.Get(), FS_IOC_SETFLAGS, &flags) == 0;
}

ScopedImmutable::ScopedImmutable(std::vector<std::string> paths) : paths_(std::move(paths)) {
  for (const std::string& path : paths_) ok_ = SetImmutable(path, true) && ok_;
}

ScopedImmutable::~ScopedImmutable() {
  for (const std::string& path : paths_) SetImmutable(path, false);
}

bool CapFileSize(unsigned long bytes) {
  ::signal(SIGXFSZ, SIG_IGN);
  const rlimit limit{bytes, bytes};
  return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

void RemoveTreeAt(int parent, const std::string& name) {
  if (::unlinkat(parent, name.c_str(), 0) == 0) return;
  const int fd = ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return;
  if (DIR* dir = ::fdopendir(::dup(fd))) {
    std::vector<std::string> names;
    while (const dirent* d = ::readdir(dir))
      if (std::string_view(d->d_name) != "." && std::string_view(d->d_name) != "..")
        names.emplace_back(d->d_name);
    ::closedir(dir);
    for (const std::string& child : names) RemoveTreeAt(fd, child);
  }
  ::close(fd);
  ::unlinkat(parent, name.c_str(), AT_REMOVEDIR);
}

std::vector<std::string> ListNames(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(folder, ec))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace twn::test
