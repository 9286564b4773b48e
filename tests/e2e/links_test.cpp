// Symbolic links and folder times as a user of `twn-cli` meets them: odd links, a folder where a
// link goes, a file system that refuses links, and a settings file from before the options.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstddef>
#include <string>
#include <vector>

#include "support/fault_support.h"
#include "support/run_program.h"
#include "support/test_support.h"

namespace twn {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using Names = std::vector<std::string>;

constexpr int64_t kTime = 1'600'000'000;

class LinkPair {
 public:
  LinkPair() {
    test::MakeDirs(L());
    test::MakeDirs(R());
  }
  std::string L() const { return dir_ / "L"; }
  std::string R() const { return dir_ / "R"; }
  test::TProgramResult Cli(std::vector<std::string> args) const {
    return test::RunProgram(TWN_CLI_PATH, test::OnSettings(dir_ / "settings", std::move(args)));
  }
  int Add(const char* method) const {
    return Cli({"add", "J", "--left", L(), "--right", R(), "--method", method,
                "--max-delete-percent", "0"})
        .status;
  }
  std::string Log(const char* kind) const {
    return test::ReadFile(dir_ / ("settings/Logs/J_" + std::string(kind) + ".log"));
  }
  std::string Ini() const { return dir_ / "settings/TWN.ini"; }

 private:
  test::TempDir dir_;
};

// Each link is copied with its text byte for byte, however odd; a folder full of files where a
// link goes is deleted file by file as a mirror deletes, and a method that deletes nothing
// leaves it whole and says why the link was not copied.
TEST(LinksRun, OddLinksAndAFolderInTheWay) {
  const struct {
    const char* what;
    const char* method;
    std::string text;
    bool folder_in_the_way;
    int status;
  } cases[] = {
      {"4,000-byte text", "mirror-lr", std::string(4000, 'x'), false, 0},
      {"text with a line feed", "mirror-lr", "one\ntwo", false, 0},
      {"a link to itself", "mirror-lr", "e", false, 0},
      {"folder in the way, mirror", "mirror-lr", "t", true, 0},
      {"folder in the way, copy", "copy-lr", "t", true, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const LinkPair p;
    ASSERT_EQ(symlink(c.text.c_str(), (p.L() + "/e").c_str()), 0);
    const Names inside = {"f1", "f2", "f3"};
    for (const std::string& f : inside) {
      if (c.folder_in_the_way) test::Put(p.R() + "/e/" + f);
    }
    ASSERT_EQ(p.Add(c.method), 0);
    EXPECT_EQ(p.Cli({"run", "J"}).status, c.status) << p.Log("error");
    if (c.status != 0) {
      EXPECT_EQ(test::ListNames(p.R() + "/e"), inside);
      EXPECT_THAT(p.Log("error"), HasSubstr("error Copying link: '" + p.L() + "/e' -> '"));
      continue;
    }
    EXPECT_EQ(test::ReadLink(p.R() + "/e"), c.text);
    EXPECT_THAT(p.Log("full"), HasSubstr("Ok Copying link: '" + p.L() + "/e' -> '" + p.R() + "/e"));
    if (c.folder_in_the_way) {
      for (const std::string& f : inside)
        EXPECT_THAT(p.Log("full"), HasSubstr("Ok Deleting: '" + p.R() + "/e/" + f));
    }
    EXPECT_THAT(p.Cli({"compare", "J"}).out, HasSubstr("*** Plan preview ***\n  Nothing to do\n"));
  }
}

/// In a child: every symlinkat of this process and its children fails with EPERM, as on a file
/// system that holds no links. False when the system does not allow the filter.
bool RefuseLinks() {
  sock_filter filter[] = {
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_symlinkat, 0, 1),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EPERM),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
  };
  const sock_fprog program = {sizeof(filter) / sizeof(filter[0]), filter};
  return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
         prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

// A target that cannot hold links: each link is an error line that says so, the files are
// copied all the same, and the run ends with errors.
TEST(LinksRun, AFileSystemWithoutLinksGivesAnErrorLineAndTheRunGoesOn) {
  const LinkPair p;
  test::Put(p.L() + "/a.txt", "a");
  ASSERT_EQ(symlink("a.txt", (p.L() + "/l").c_str()), 0);
  ASSERT_EQ(p.Add("mirror-lr"), 0);
  const std::string failure = test::RunInChild([&]() -> std::string {
    if (!RefuseLinks()) return "skip";
    const int status = p.Cli({"run", "J"}).status;
    return status == 1 ? "" : "run status " + std::to_string(status);
  });
  if (failure == "skip") GTEST_SKIP() << "no system call filter here";
  EXPECT_EQ(failure, "");
  EXPECT_THAT(p.Log("error"), HasSubstr("may not hold symbolic links) *** for '" + p.R() + "/l'"));
  EXPECT_EQ(test::ListNames(p.R()), Names{"a.txt"});
}

// A job stored before the options existed has no keys for them: links are passed over and the
// folders keep the times the run leaves them, as before.
TEST(LinksRun, AJobWithoutTheKeysRunsAsBefore) {
  const LinkPair p;
  test::Put(p.L() + "/sub/a.txt", "a");
  ASSERT_EQ(symlink("sub", (p.L() + "/l").c_str()), 0);
  test::SetMTime(p.L() + "/sub", kTime);
  ASSERT_EQ(p.Add("mirror-lr"), 0);
  std::string ini = test::ReadFile(p.Ini());
  for (const char* key : {"bCopyLinks=1\r\n", "bFolderTimes=1\r\n"}) {
    const size_t at = ini.find(key);
    ASSERT_NE(at, std::string::npos) << ini;
    ini.erase(at, std::string_view(key).size());
  }
  test::WriteFile(p.Ini(), ini);
  EXPECT_THAT(p.Cli({"show", "J"}).out, HasSubstr("Symbolic links are passed over"));
  EXPECT_EQ(p.Cli({"run", "J"}).status, 0);
  EXPECT_EQ(test::ListNames(p.R()), Names{"sub"});
  struct stat st {};
  ASSERT_EQ(stat((p.R() + "/sub").c_str(), &st), 0);
  EXPECT_NE(st.st_mtim.tv_sec, kTime);
  EXPECT_THAT(test::ReadFile(p.Ini()), Not(HasSubstr("bCopyLinks=1")));
}

}  // namespace
}  // namespace twn
