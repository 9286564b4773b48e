#include "platform/instance_lock.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "support/test_support.h"

namespace twn::platform {
namespace {

TEST(InstanceLock, OneHolderPerFolder) {
  test::TempDir dir;
  TInstanceLock first, second, other;
  ASSERT_EQ(first.Acquire(dir / "a/b"), 0) << "a missing folder is created";
  EXPECT_TRUE(first.Held());
  EXPECT_EQ(second.Acquire(dir / "a/b"), EWOULDBLOCK);
  EXPECT_FALSE(second.Held());
  EXPECT_EQ(other.Acquire(dir / "c"), 0) << "another folder is another instance";

  // Another process sees the lock as well, and gets it once it is given up.
  const auto child_status = [&] {
    const pid_t pid = ::fork();
    if (pid == 0) {
      TInstanceLock lock;
      ::_exit(lock.Acquire(dir / "a/b"));
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  EXPECT_EQ(child_status(), EWOULDBLOCK);
  first.Release();
  EXPECT_FALSE(first.Held());
  EXPECT_EQ(child_status(), 0);
  EXPECT_EQ(second.Acquire(dir / "a/b"), 0);
}

TEST(InstanceLock, FolderThatCannotBeMade) {
  test::TempDir dir;
  test::WriteFile(dir / "file", "x");
  TInstanceLock lock;
  EXPECT_NE(lock.Acquire(dir / "file/sub"), 0);
  EXPECT_FALSE(lock.Held());
}

}  // namespace
}  // namespace twn::platform
