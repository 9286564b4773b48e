// Versions of deleted and overwritten files, as a user meets them through twn-cli.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "model/versions.h"
#include "support/fault_support.h"
#include "support/run_program.h"
#include "support/test_support.h"

namespace twn {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using Names = std::vector<std::string>;
using Contents = std::map<std::string, std::string>;

// A mirror from L to R that deletes gone.txt and sub/deep.txt and overwrites changed.txt.
class Mirror {
 public:
  explicit Mirror(std::vector<std::string> options = {"--versions"}) {
    test::Put(L() + "/changed.txt", "new", 2'000'000'000);
    test::Put(L() + "/same.txt", "same");
    test::Put(R() + "/same.txt", "same");
    test::Put(R() + "/changed.txt", "old");
    test::Put(R() + "/gone.txt", "gone");
    test::Put(R() + "/sub/deep.txt", "deep");
    std::vector<std::string> add = {"add",     "Job", "--left",   L(),
                                    "--right", R(),   "--method", "mirror-lr"};
    // "{L}" and "{R}" in an option stand for the sides' folders.
    for (std::string& option : options)
      if (option.starts_with("{L}") || option.starts_with("{R}"))
        option = (option[1] == 'L' ? L() : R()) + option.substr(3);
    add.insert(add.end(), options.begin(), options.end());
    added = Cli(add);
  }
  test::TProgramResult Cli(std::vector<std::string> args) const {
    return test::RunProgram(TWN_CLI_PATH, test::OnSettings(dir_ / "settings", std::move(args)));
  }
  std::string L() const { return dir_ / "L"; }
  std::string R() const { return dir_ / "R"; }
  std::string Path(const char* rel) const { return dir_ / rel; }
  std::string Log(const char* kind) const {
    return test::ReadFile(dir_ / ("settings/Logs/Job_" + std::string(kind) + ".log"));
  }
  // Replaces `key=old` in the settings file.
  void EditIni(const std::string& from, const std::string& to) const {
    std::string ini = test::ReadFile(dir_ / "settings/TWN.ini");
    const size_t at = ini.find(from);
    ASSERT_NE(at, std::string::npos) << ini;
    test::WriteFile(dir_ / "settings/TWN.ini", ini.replace(at, from.size(), to));
  }
  test::TProgramResult added;

 private:
  test::TempDir dir_;
};

// The kept versions below a versions folder: original path -> content, each original once.
Contents Kept(const std::string& folder) {
  static const std::regex kName(R"((.*)~\d{4}-\d\d-\d\d_\d{6}(-\d+)?)");
  Contents kept;
  std::error_code ec;
  for (const auto& e : fs::recursive_directory_iterator(folder, ec)) {
    std::smatch m;
    const std::string rel = fs::relative(e.path(), folder).string();
    if (!e.is_regular_file() || !std::regex_match(rel, m, kName)) continue;
    EXPECT_FALSE(kept.count(m[1])) << "two versions of " << m[1];
    kept[m[1]] = test::ReadFile(e.path());
  }
  return kept;
}

const Contents kMirrorKept = {
    {"changed.txt", "old"}, {"gone.txt", "gone"}, {"sub/deep.txt", "deep"}};

TEST(Versions, AMirrorKeepsWhatItDeletesAndOverwritesAndRestorePutsItBack) {
  const Mirror m;
  ASSERT_EQ(m.added.status, 0) << m.added.err;
  ASSERT_EQ(m.Cli({"run", "Job"}).status, 0) << m.Log("error");
  EXPECT_EQ(Kept(m.R() + "/.twn-versions"), kMirrorKept);
  EXPECT_EQ(test::ListNames(m.R()), (Names{".twn-versions", "changed.txt", "same.txt"}));
  EXPECT_THAT(m.Log("summary"), HasSubstr("kept in '.twn-versions' at the root of each side"));
  // The next run leaves the versions folder alone on both sides and has nothing to do.
  ASSERT_EQ(m.Cli({"run", "Job"}).status, 0);
  EXPECT_EQ(test::ListNames(m.L()), (Names{"changed.txt", "same.txt"}));
  EXPECT_EQ(Kept(m.R() + "/.twn-versions"), kMirrorKept);
  EXPECT_THAT(m.Cli({"versions", "Job"}).out, HasSubstr(m.R() + "/sub/deep.txt"));

  const auto restored = m.Cli({"restore", "Job", m.R() + "/changed.txt"});
  ASSERT_EQ(restored.status, 0) << restored.err;
  EXPECT_EQ(test::ReadFile(m.R() + "/changed.txt"), "old");
  const auto listed = m.Cli({"versions", "Job", m.R() + "/changed.txt"});
  EXPECT_EQ(std::count(listed.out.begin(), listed.out.end(), '\n'), 2) << listed.out;
  ASSERT_EQ(m.Cli({"restore", "Job", m.R() + "/sub/deep.txt"}).status, 0);
  EXPECT_EQ(test::ReadFile(m.R() + "/sub/deep.txt"), "deep");

  EXPECT_EQ(m.Cli({"restore", "Job", m.Path("elsewhere/x")}).status, 2);
  EXPECT_EQ(m.Cli({"restore", "Job", m.R() + "/gone.txt", "--version", "2001-01-01_000000"}).status,
            2);
  EXPECT_EQ(m.Cli({"restore", "Job", m.R() + "/same.txt"}).status, 2);
}

TEST(Versions, RetentionKeepsTheNewestAndTheYoungOnly) {
  const platform::TDateTime now = platform::Now();
  const auto stamp = [now](double days) { return VersionStamp(now - days); };
  const struct {
    const char* what;
    const char* count;
    const char* days;
    Names kept;  // ages in days of the versions of a.txt that stay
  } cases[] = {
      {"by count", "2", "0", {"1", "2"}},
      {"by age", "1", "85", {"1", "2", "80"}},
      {"hand-edited values below the least", "0", "-5", {"1"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Mirror m;
    ASSERT_EQ(m.Cli({"run", "Job"}).status, 0);
    const std::string v = m.R() + "/.twn-versions/";
    fs::remove_all(v);
    for (const char* age : {"1", "2", "80", "90", "100"})
      test::Put(v + "a.txt~" + stamp(std::stod(age)), age);
    test::Put(v + "old/b.txt~" + stamp(100), "b");
    test::Put(v + "notes~draft", "user");
    m.EditIni("KeepVersions=10", std::string("KeepVersions=") + c.count);
    m.EditIni("KeepDays=30", std::string("KeepDays=") + c.days);
    ASSERT_EQ(m.Cli({"run", "Job"}).status, 0) << m.Log("error");
    Names kept;
    for (const std::string& name : test::ListNames(v))
      if (name.starts_with("a.txt~")) kept.push_back(test::ReadFile(v + name));
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(kept, c.kept);
    EXPECT_EQ(test::ReadFile(v + "old/b.txt~" + stamp(100)), "b") << "the newest of its file";
    EXPECT_EQ(test::ReadFile(v + "notes~draft"), "user");
    EXPECT_THAT(m.Log("full"), HasSubstr("Ok Removing old version: '" + v + "a.txt~" + stamp(100)));
  }
}

// Keeping the version fails: the deletion and the overwrite fail with it and nothing is lost.
// Returns what went wrong (also from a child process, where no expectation is seen).
std::string NothingLost(const Mirror& m, const std::string& version_folder) {
  if (m.Cli({"run", "Job"}).status != 1) return "the run did not end with errors";
  for (const auto& [rel, content] : kMirrorKept)
    if (test::ReadFile(m.R() + "/" + rel) != content) return rel + " is lost";
  const std::string errors = m.Log("error");
  if (errors.find("for '" + version_folder + "gone.txt~") == std::string::npos ||
      errors.find("Keeping the version: ") == std::string::npos)
    return "no error line names the version: " + errors;
  return "";
}

// Fills a file system to its last byte.
void Fill(const std::string& path) {
  const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
  const std::string block(4096, 'f');
  while (fd >= 0 && ::write(fd, block.data(), block.size()) > 0) {
  }
  if (fd >= 0) ::close(fd);
}

TEST(Versions, AVersionThatCannotBeKeptFailsItsOperation) {
  const Mirror m;
  test::MakeDirs(m.R() + "/.twn-versions/sub");
  const test::ScopedImmutable frozen({m.R() + "/.twn-versions", m.R() + "/.twn-versions/sub"});
  if (!frozen.ok()) GTEST_SKIP() << "no immutable attribute here";
  EXPECT_EQ(NothingLost(m, m.R() + "/.twn-versions/"), "");
}

// A versions folder on another file system: versions are copied there, and when it is full,
// nothing is deleted or overwritten.
TEST(Versions, AVersionsFolderOnAnotherFileSystem) {
  const Mirror m(std::vector<std::string>{"--versions-folder", "/versions-on-tmpfs"});
  ASSERT_EQ(m.added.status, 0) << m.added.err;
  const std::string text = test::RunInChild([&]() -> std::string {
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr))
      return "skip";
    const std::string v = m.Path("tmpfs");
    test::MakeDirs(v);
    if (::mount("tmpfs", v.c_str(), "tmpfs", 0, "size=64k") != 0) return "skip";
    m.EditIni("VersionsFolder=/versions-on-tmpfs", "VersionsFolder=" + v);
    const std::string side = v + fs::canonical(m.R()).string() + "/";
    Fill(v + "/filler");
    if (std::string lost = NothingLost(m, side); !lost.empty()) return lost;
    fs::remove(v + "/filler");
    if (m.Cli({"run", "Job"}).status != 0) return m.Log("error");
    return Kept(side) == kMirrorKept ? "" : "not kept whole";
  });
  if (text == "skip") GTEST_SKIP() << "no private mount namespace here";
  EXPECT_EQ(text, "");
}

TEST(Versions, UnusableFoldersAreRefused) {
  const Mirror m(std::vector<std::string>{});
  for (const char* folder : {"{L}", "{L}/inside", "{R}"}) {
    SCOPED_TRACE(folder);
    const Mirror bad(std::vector<std::string>{"--versions-folder", folder});
    EXPECT_EQ(bad.added.status, 2);
    EXPECT_THAT(bad.added.err, HasSubstr("The versions folder '"));
  }
  EXPECT_EQ(Mirror(std::vector<std::string>{"--versions-folder", "a\nb"}).added.status, 2);
  // A hand-edited file: the run does nothing and says why.
  m.EditIni("bKeepVersions=0", "bKeepVersions=1");
  m.EditIni("VersionsFolder=", "VersionsFolder=" + m.L() + "/v");
  EXPECT_EQ(m.Cli({"run", "Job"}).status, 1);
  EXPECT_EQ(test::ReadFile(m.R() + "/gone.txt"), "gone");
  EXPECT_THAT(m.Log("error"), HasSubstr("which the job copies from: nothing was done"));
}

// A job stored before versions existed has no keys for them: it deletes as it always did.
TEST(Versions, AJobWithoutTheKeysKeepsNothing) {
  const Mirror m;
  for (const char* key :
       {"bKeepVersions=1\r\n", "VersionsFolder=\r\n", "KeepVersions=10\r\n", "KeepDays=30\r\n"})
    m.EditIni(key, "");
  EXPECT_THAT(m.Cli({"show", "Job"}).out, HasSubstr("Deleted and overwritten files are not kept"));
  ASSERT_EQ(m.Cli({"run", "Job"}).status, 0);
  EXPECT_EQ(test::ListNames(m.R()), (Names{"changed.txt", "same.txt"}));
}

}  // namespace
}  // namespace twn
