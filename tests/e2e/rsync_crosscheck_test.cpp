// Whole runs of twn-cli on seeded random trees. Each run is checked twice: against the trees each
// synchronize method must leave behind, and against rsync's dry run over the same trees, where
// every file rsync still lists must be one our comparison rules deliberately treat differently.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/locale.h"
#include "support/run_program.h"
#include "support/test_support.h"

namespace twn {
namespace {

constexpr int kL = 0, kR = 1;
constexpr int64_t kBaseTime = 1'700'000'000, kDay = 86'400;  // November 2023
// A zone whose daylight offset is one hour, written out so that it needs no zone files.
constexpr const char* kDaylightZone = "CET-1CEST,M3.5.0,M10.5.0/3";

enum class TMethod { kMirror, kCopy, kUpdate };

struct TVersion {
  std::string content;
  int64_t mtime = 0;
  unsigned mode = 0644;
};

// Kinds of generated files; the comment says what the comparison rules make of them.
enum class TKind {
  kLeftSingle,
  kRightSingle,
  kIdentical,
  kModeOnly,    // equal: permission bits alone never make files unequal
  kLeftNewer,   // different size and content, the left a day or more newer
  kRightNewer,  //
  kSameTime,    // same time, different size: unequal but of the same time
  kOneSecond,   // equal size, 1 s apart: equal under the 2-second rule
  kOneHour,     // equal size, exactly 1 h apart: equal only where the zone has daylight saving
  kCaseTwin,    // "fileN.txt" on the left, "FILEN.TXT" on the right
  kSideClash,   // the extra "FileN.txt" beside an exact twin "fileN.txt" on one side
};
constexpr int kKinds = int(TKind::kSideClash) + 1;

struct TFolder {
  int parent = -1;
  std::string name[2];  // the spelling on each side; twins differ in letter case only
  bool on[2] = {true, true};
  bool twin_above = false;  // this folder or one above it is spelt differently on the two sides
};

struct TFileCase {
  int folder = 0;
  std::string name[2];
  std::optional<TVersion> side[2];
  TKind kind = TKind::kIdentical;
};

struct TTree {
  std::vector<TFolder> folders;  // folders[0] is the root
  std::vector<TFileCase> files;
};

/// Builds the random trees; every choice comes from the seed.
class TTreeMaker {
 public:
  TTreeMaker(unsigned seed, bool twin_folders) : rng_(seed), twin_folders_(twin_folders) {}

  TTree Make() {
    TTree t;
    t.folders.resize(1);
    for (int k = 1; k <= 24; ++k) AddFolder(t.folders, k);
    const int file_count = 220 + Pick(80);
    for (int k = 1; k <= file_count; ++k) AddFile(t, k);
    return t;
  }

 private:
  int Pick(int n) { return int(rng_() % unsigned(n)); }
  bool Chance(int percent) { return Pick(100) < percent; }
  std::string Content(int size) {
    std::string s(size_t(size), ' ');
    for (char& c : s) c = char('a' + Pick(26));
    return s;
  }
  TVersion Version(int max_size) {
    return {Content(1 + Pick(max_size)), kBaseTime + Pick(300) * kDay + Pick(int(kDay)),
            Chance(15) ? 0444u : 0644u};
  }

  void AddFolder(std::vector<TFolder>& folders, int k) {
    TFolder f;
    f.parent = Pick(int(folders.size()));
    std::copy_n(folders[size_t(f.parent)].on, 2, f.on);
    f.twin_above = folders[size_t(f.parent)].twin_above;
    f.name[kL] = f.name[kR] = "Dir" + std::to_string(k);
    if (f.on[kL] && f.on[kR]) {
      const int r = Pick(100);
      if (r < 30)
        f.on[r < 15 ? kR : kL] = false;
      else if (r < 40 && twin_folders_)
        f.name[kR] = platform::UpperCase(f.name[kL]);
      f.twin_above |= f.name[kL] != f.name[kR];
    }
    folders.push_back(f);
  }

  void AddFile(TTree& t, int k) {
    TFileCase c;
    c.folder = Pick(int(t.folders.size()));
    const TFolder& folder = t.folders[size_t(c.folder)];
    c.name[kL] = c.name[kR] = "file" + std::to_string(k) + ".txt";
    c.kind = !folder.on[kR]   ? TKind::kLeftSingle
             : !folder.on[kL] ? TKind::kRightSingle
                              : TKind(Pick(kKinds));
    Fill(c);
    if (c.kind == TKind::kSideClash) {
      // The clash itself is a single beside a couple of exact twins.
      TFileCase extra{c.folder, {}, {}, TKind::kSideClash};
      extra.name[kL] = extra.name[kR] = "File" + std::to_string(k) + ".txt";
      const int side = Pick(2);
      extra.side[side] = Version(300);
      t.files.push_back(extra);
      c.kind = Chance(50) ? TKind::kIdentical : TKind::kLeftNewer;
      Fill(c);
    }
    t.files.push_back(c);
  }

  void Fill(TFileCase& c) {
    const TVersion v = Version(2000);
    TVersion w = v;
    const int64_t apart = 3 * 3600 + Pick(30 * int(kDay));
    const int64_t sign = Chance(50) ? -1 : 1;  // -1: the left is the newer one
    c.side[kL] = c.side[kR] = std::nullopt;
    switch (c.kind) {
      case TKind::kLeftSingle:
      case TKind::kRightSingle:
        c.side[c.kind == TKind::kLeftSingle ? kL : kR] = v;
        return;
      case TKind::kSideClash:
        return;
      case TKind::kIdentical:
        break;
      case TKind::kModeOnly:
        w.mode = v.mode == 0444u ? 0644u : 0444u;
        break;
      case TKind::kLeftNewer:
      case TKind::kRightNewer:
        w = Version(2000);
        w.mtime = v.mtime + (c.kind == TKind::kLeftNewer ? -apart : apart);
        break;
      case TKind::kSameTime:
        w.content += Content(1 + Pick(50));
        break;
      case TKind::kOneSecond:
      case TKind::kOneHour:
        w.content[w.content.size() / 2] ^= 1;  // same size, other bytes
        w.mtime += sign * (c.kind == TKind::kOneSecond ? 1 : 3600);
        break;
      case TKind::kCaseTwin:
        c.name[kR] = platform::UpperCase(c.name[kL]);
        if (Chance(30)) break;
        w = Version(2000);
        w.mtime = v.mtime + sign * apart;
        break;
    }
    c.side[kL] = v;
    c.side[kR] = w;
  }

  std::mt19937 rng_;
  bool twin_folders_;
};

/// A folder's path on a side relative to the root ("" or ending in "/"). Only folders on both
/// sides are spelt differently, and a run keeps each side's own spelling, so it holds after a
/// run as well.
std::string FolderPath(const TTree& t, int folder, int side) {
  if (folder == 0) return {};
  const TFolder& f = t.folders[size_t(folder)];
  return FolderPath(t, f.parent, side) + f.name[side] + "/";
}

void WriteTree(const TTree& t, const std::string (&root)[2]) {
  for (int side : {kL, kR}) {
    for (size_t i = 0; i < t.folders.size(); ++i)
      if (t.folders[i].on[side]) test::MakeDirs(root[side] + "/" + FolderPath(t, int(i), side));
    for (const TFileCase& c : t.files) {
      if (!c.side[side]) continue;
      const std::string path = root[side] + "/" + FolderPath(t, c.folder, side) + c.name[side];
      test::WriteFile(path, c.side[side]->content);
      test::SetMTime(path, c.side[side]->mtime);
      ASSERT_EQ(chmod(path.c_str(), c.side[side]->mode), 0) << path;
    }
  }
}

// ---- what a run must leave ----------------------------------------------------------------------

/// Relative path -> "folder", or a file's size, content hash, time and permission bits.
using TState = std::map<std::string, std::string>;

std::string Describe(const TVersion& v) {
  std::ostringstream s;
  s << v.content.size() << " bytes #" << std::hash<std::string>{}(v.content) << " mtime " << v.mtime
    << " mode " << std::oct << v.mode;
  return s.str();
}

TState ReadTree(const std::string& root) {
  TState state;
  for (const auto& e : std::filesystem::recursive_directory_iterator(root)) {
    const std::string rel = e.path().lexically_relative(root).string();
    struct stat st {};
    if (lstat(e.path().c_str(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode))
      state[rel + "/"] = "folder";
    else if (S_ISREG(st.st_mode))
      state[rel] = Describe({test::ReadFile(e.path()), st.st_mtim.tv_sec, st.st_mode & 07777u});
    else
      state[rel] = "neither file nor folder";  // nothing else belongs in a synchronized tree
  }
  return state;
}

/// The two files of a couple after a run of `method`.
std::array<std::optional<TVersion>, 2> Outcome(const TFileCase& c, TMethod method, bool daylight) {
  const auto& l = c.side[kL];
  const auto& r = c.side[kR];
  const bool equal = l && r &&
                     (c.kind == TKind::kIdentical || c.kind == TKind::kModeOnly ||
                      c.kind == TKind::kOneSecond || (c.kind == TKind::kOneHour && daylight) ||
                      (c.kind == TKind::kCaseTwin && l->mtime == r->mtime));
  // Same time but unequal: update cannot tell which one is newer and leaves both.
  if (equal || (method == TMethod::kUpdate && c.kind == TKind::kSameTime)) return {l, r};
  if (method == TMethod::kMirror) return {l, l};
  if (method == TMethod::kCopy) return {l, l ? l : r};
  if (!l || !r) return {l ? l : r, l ? l : r};
  return l->mtime > r->mtime ? std::array{l, l} : std::array{r, r};
}

bool FolderKept(const TFolder& f, TMethod method, int side) {
  const bool either = f.on[kL] || f.on[kR];
  if (side == kL) return method == TMethod::kUpdate ? either : f.on[kL];
  return method == TMethod::kMirror ? f.on[kL] : either;
}

std::array<TState, 2> Expected(const TTree& t, TMethod method, bool daylight) {
  std::array<TState, 2> out;
  for (int side : {kL, kR}) {
    for (size_t i = 1; i < t.folders.size(); ++i)
      if (FolderKept(t.folders[i], method, side))
        out[size_t(side)][FolderPath(t, int(i), side)] = "folder";
    for (const TFileCase& c : t.files) {
      const auto after = Outcome(c, method, daylight)[size_t(side)];
      if (!after) continue;
      const std::string& name = c.name[c.side[side] ? side : 1 - side];
      out[size_t(side)][FolderPath(t, c.folder, side) + name] = Describe(*after);
    }
  }
  return out;
}

/// The first paths where `got` differs from `want`; "" when it does not.
std::string Differences(const TState& want, const TState& got) {
  std::string text;
  int count = 0;
  const auto add = [&](const std::string& path, const std::string& w, const std::string& g) {
    if (++count <= 15) text += "  " + path + ": want " + w + ", found " + g + "\n";
  };
  for (const auto& [path, what] : want) {
    const auto it = got.find(path);
    if (it == got.end() || it->second != what)
      add(path, what, it == got.end() ? "nothing" : it->second);
  }
  for (const auto& [path, what] : got)
    if (!want.contains(path)) add(path, "nothing", what);
  return count ? std::to_string(count) + " differences:\n" + text : "";
}

// ---- rsync ------------------------------------------------------------------------------------

/// rsync's itemized dry run from `from` to `to` as path -> code; folder lines that differ only
/// in the folder's own attributes are left out: runs synchronize files and the existence of
/// folders, not the times or permission bits of folders.
std::map<std::string, std::string> RsyncDryRun(const std::string& from, const std::string& to,
                                               std::vector<std::string> options) {
  options.insert(options.begin(), {"-a", "-n", "-i"});
  options.insert(options.end(), {from + "/", to + "/"});
  const test::TProgramResult r = test::RunProgram("rsync", options);
  EXPECT_EQ(r.status, 0) << r.err;
  std::map<std::string, std::string> items;
  std::istringstream lines(r.out);
  for (std::string line; std::getline(lines, line);) {
    const size_t gap = line.find(' ');
    if (gap == std::string::npos) continue;
    const std::string code = line.substr(0, gap);
    if (code.size() != 11 || !code.starts_with(".d"))
      items[line.substr(line.find_first_not_of(' ', gap))] = code;
  }
  return items;
}

// ---- the test ---------------------------------------------------------------------------------

struct TCase {
  const char* name;
  TMethod method;
  unsigned seed;
  const char* zone;
  bool twin_folders;  // folders spelt differently on the two sides (a subtree of case twins)
};

class RsyncCrossCheck : public ::testing::TestWithParam<TCase> {
 protected:
  void SetUp() override {
    if (test::RunProgram("rsync", {"--version"}).status != 0)
      GTEST_SKIP() << "rsync is not installed (scripts/install-deps.sh)";
    root_[kL] = dir_ / "left";
    root_[kR] = dir_ / "right";
    tree_ = TTreeMaker(GetParam().seed, GetParam().twin_folders).Make();
    // A seed that misses a kind would silently check less.
    std::set<TKind> kinds;
    bool twin_subtree = false;
    for (const TFileCase& c : tree_.files) {
      if (!UnderTwin(c)) kinds.insert(c.kind);
      twin_subtree |= UnderTwin(c);
    }
    for (int k = 0; k < kKinds; ++k)
      ASSERT_TRUE(kinds.contains(TKind(k))) << "no file of kind " << k << " from this seed";
    ASSERT_EQ(twin_subtree, GetParam().twin_folders) << "files under folders spelt differently";
    ASSERT_NO_FATAL_FAILURE(WriteTree(tree_, root_));
  }

  test::TProgramResult Cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"--settings", dir_ / "settings"});
    return test::RunProgram(TWN_CLI_PATH, args, dir_.path());
  }

  bool Daylight() const { return std::string(GetParam().zone) != "UTC"; }
  bool UnderTwin(const TFileCase& c) const { return tree_.folders[size_t(c.folder)].twin_above; }

  /// The files rsync from `from` must still list after the run, with the code it lists them
  /// under, each a case where the rules deliberately part from rsync's quick check.
  std::map<std::string, std::string> Intended(int from, bool deleting) const {
    std::map<std::string, std::string> want;
    for (const TFileCase& c : tree_.files) {
      const std::string path = FolderPath(tree_, c.folder, from) + c.name[from];
      if (c.kind == TKind::kModeOnly) {
        // The rules leave attributes out, so equal files keep their own permission bits.
        want[path] = ".f...p.....";
      } else if (c.kind == TKind::kOneHour && Daylight()) {
        // An hour apart is the daylight-saving shift, not a change: no copy either way.
        want[path] = ">f..t......";
      } else if (c.kind == TKind::kSameTime && GetParam().method == TMethod::kUpdate) {
        // Update leaves files of equal times alone: neither can be called the newer one.
        want[path] = ">f.s.......";
      } else if (c.kind == TKind::kCaseTwin) {
        // Names match without regard to case: the copy keeps the target's own spelling, so
        // rsync still misses the source's spelling and, mirroring, sees the target's as extra.
        want[path] = ">f+++++++++";
        if (deleting) want[FolderPath(tree_, c.folder, 1 - from) + c.name[1 - from]] = "*deleting";
      }
    }
    return want;
  }

  /// Checks rsync's dry run against Intended.
  void ExpectRsyncAgrees(int from, bool deleting) {
    const auto want = Intended(from, deleting);
    std::vector<std::string> options = {"--modify-window=2"};
    if (deleting) options.push_back("--delete");
    const auto got = RsyncDryRun(root_[from], root_[1 - from], options);
    for (const auto& [path, code] : want) {
      const auto g = got.find(path);
      if (g == got.end())
        ADD_FAILURE() << "rsync should still list " << path << " as " << code;
      else if (!g->second.starts_with(code.substr(0, code.find_last_not_of('.') + 1)))
        ADD_FAILURE() << "rsync lists " << path << " as " << g->second << ", not " << code;
    }
    for (const auto& [path, code] : got)
      if (!want.contains(path))
        ADD_FAILURE() << "rsync finds a difference: " << code << " " << path;
  }

  test::TempDir dir_;
  std::string root_[2];
  TTree tree_;
};

TEST_P(RsyncCrossCheck, RunLeavesWhatTheMethodPromises) {
  static constexpr const char* kMethodNames[] = {"mirror-lr", "copy-lr", "update"};
  const TMethod method = GetParam().method;
  test::ScopedTimeZone zone(GetParam().zone);  // twn-cli inherits it
  // Random trees often replace most of a side: the guard is not what is compared here.
  const auto added = Cli({"add", "Cross", "--left", root_[kL], "--right", root_[kR], "--method",
                          kMethodNames[int(method)], "--max-delete-percent", "0"});
  ASSERT_EQ(added.status, 0) << added.err;
  const auto run = Cli({"run", "Cross"});
  ASSERT_EQ(run.status, 0) << test::ReadFile(dir_ / "settings/Logs/Cross_error.log");

  const std::array<TState, 2> want = Expected(tree_, method, Daylight());
  for (int side : {kL, kR})
    EXPECT_EQ(Differences(want[size_t(side)], ReadTree(root_[side])), "") << "side " << side;
  // Under folders spelt differently on the two sides rsync sees whole subtrees differ; there
  // the tree comparison alone speaks.
  if (!GetParam().twin_folders) {
    ExpectRsyncAgrees(kL, method == TMethod::kMirror);
    if (method == TMethod::kUpdate) ExpectRsyncAgrees(kR, false);
  }

  const auto again = Cli({"compare", "Cross"});
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_NE(again.out.find("*** Plan preview ***\n  Nothing to do\n"), std::string::npos)
      << "a second run would still do something:\n"
      << again.out.substr(again.out.find("*** Plan preview ***"));
}

std::string CaseName(const ::testing::TestParamInfo<TCase>& info) {
  return info.param.name;
}

// Six seeds, each method under a zone without and a zone with daylight saving.
constexpr TCase kCases[] = {
    {"MirrorSeed1Utc", TMethod::kMirror, 1, "UTC", false},
    {"MirrorSeed2Daylight", TMethod::kMirror, 2, kDaylightZone, false},
    {"CopySeed3Utc", TMethod::kCopy, 3, "UTC", false},
    {"CopySeed4Daylight", TMethod::kCopy, 4, kDaylightZone, false},
    {"UpdateSeed7Utc", TMethod::kUpdate, 7, "UTC", false},
    {"UpdateSeed6Daylight", TMethod::kUpdate, 6, kDaylightZone, false},
};
INSTANTIATE_TEST_SUITE_P(Methods, RsyncCrossCheck, ::testing::ValuesIn(kCases), CaseName);

// Folders spelt differently on the two sides: a file or folder copied into such a folder must
// land in the target's own spelling, not in a new sibling folder spelt like the source's, and
// the next run must plan nothing.
constexpr TCase kTwinFolderCases[] = {
    {"MirrorSeed24Utc", TMethod::kMirror, 24, "UTC", true},
    {"CopySeed22Utc", TMethod::kCopy, 22, "UTC", true},
    {"UpdateSeed23Daylight", TMethod::kUpdate, 23, kDaylightZone, true},
};
INSTANTIATE_TEST_SUITE_P(CaseTwinFolders, RsyncCrossCheck, ::testing::ValuesIn(kTwinFolderCases),
                         CaseName);

// A file where the other side has a folder of that name, and a folder where it has a file:
// one mirror run leaves both trees equal, as one run of rsync does.
TEST(RsyncCrossCheckSwap, AFileReplacesAFolderAndAFolderAFileInOneRun) {
  if (test::RunProgram("rsync", {"--version"}).status != 0)
    GTEST_SKIP() << "rsync is not installed (scripts/install-deps.sh)";
  for (const char* method : {"mirror-lr", "mirror-rl"}) {
    SCOPED_TRACE(method);
    test::TempDir dir;
    const std::string from = dir / (method == std::string("mirror-lr") ? "left" : "right");
    const std::string to = dir / (method == std::string("mirror-lr") ? "right" : "left");
    test::WriteFile(from + "/x", "a file where a folder was");
    test::WriteFile(from + "/y/f.txt", "f");
    test::WriteFile(from + "/y/sub/g.txt", "g");
    test::WriteFile(to + "/x/in.txt", "in");
    test::WriteFile(to + "/x/deep/z.txt", "z");
    test::WriteFile(to + "/y", "a file where a folder is to be");
    const auto cli = [&](std::vector<std::string> args) {
      return test::RunProgram(TWN_CLI_PATH, test::OnSettings(dir / "settings", args));
    };
    ASSERT_EQ(
        cli({"add", "Swap", "--left", dir / "left", "--right", dir / "right", "--method", method})
            .status,
        0);
    const test::TProgramResult run = cli({"run", "Swap"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(ReadTree(to), ReadTree(from));
    EXPECT_TRUE(RsyncDryRun(from, to, {"--delete"}).empty());
  }
}

// Links of every sort and folders with times of their own, against a right side where links meet
// a file, a folder full of files, a link of another text and a stale link: after one mirror
// rsync finds nothing at all to do, folders and links included, and what the stale link points
// to outside the pair is still there.
TEST(RsyncCrossCheckLinks, AMirrorKeepsLinksAndFolderTimes) {
  if (test::RunProgram("rsync", {"--version"}).status != 0)
    GTEST_SKIP() << "rsync is not installed (scripts/install-deps.sh)";
  test::TempDir dir;
  const std::string from = dir / "left", to = dir / "right";
  test::WriteFile(dir / "outside/target.txt", "outside");
  test::WriteFile(from + "/a/b/c/deep.txt", "deep");
  test::WriteFile(from + "/a/file.txt", "file");
  test::WriteFile(from + "/d/e/other.txt", "other");
  test::WriteFile(from + "/only/folders/deeper/f.txt", "folders that hold a folder alone");
  test::MakeDirs(from + "/empty");
  test::WriteFile(to + "/a/relative", "a file where a link goes");
  test::WriteFile(to + "/to_folder/in/x.txt", "a folder where a link goes");
  test::WriteFile(to + "/to_folder/y.txt", "y");
  const auto link = [](const std::string& text, const std::string& path, int64_t at) {
    ASSERT_EQ(symlink(text.c_str(), path.c_str()), 0) << path;
    const timespec times[2] = {{at, 0}, {at, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
  };
  const std::pair<std::string, std::string> kLinks[] = {
      {"a/relative", "file.txt"},    {"a/b/absolute", "/etc/passwd"},
      {"dangling", "no/such/thing"}, {"a/b/c/outside", "../../../../outside/target.txt"},
      {"to_folder", "a/b"},          {"d/changed", "new text"},
  };
  for (const auto& [rel, text] : kLinks) link(text, from + "/" + rel, kBaseTime + 7);
  test::MakeDirs(to + "/d");
  link("old text", to + "/d/changed", kBaseTime + 9);
  link("../outside/target.txt", to + "/stale", kBaseTime);
  // Folders the mirror creates take their permissions and, as root, their owner along.
  for (const auto& [rel, mode] : {std::pair{"a/b", 0700}, {"only/folders", 02750}, {"empty", 0705}})
    ASSERT_EQ(chmod((from + "/" + rel).c_str(), mode_t(mode)), 0) << rel;
  if (geteuid() == 0) {
    ASSERT_EQ(lchown((from + "/a/b/c").c_str(), 65534, 65534), 0);
  }
  // Deepest first, each folder a day apart, so that every folder has a time of its own.
  int64_t day = 0;
  for (const char* rel : {"a/b/c", "a/b", "a", "d/e", "d", "only/folders/deeper", "only/folders",
                          "only", "empty", ""})
    test::SetMTime(from + "/" + rel, kBaseTime + ++day * kDay);
  const auto cli = [&](std::vector<std::string> args) {
    return test::RunProgram(TWN_CLI_PATH, test::OnSettings(dir / "settings", args));
  };
  ASSERT_EQ(cli({"add", "Links", "--left", from, "--right", to, "--method", "mirror-lr",
                 "--max-delete-percent", "0"})
                .status,
            0);
  const test::TProgramResult run = cli({"run", "Links"});
  EXPECT_EQ(run.status, 0) << test::ReadFile(dir / "settings/Logs/Links_error.log");
  const test::TProgramResult rsync =
      test::RunProgram("rsync", {"-a", "-n", "-i", "--delete", from + "/", to + "/"});
  EXPECT_EQ(rsync.status, 0) << rsync.err;
  EXPECT_EQ(rsync.out, "");
  EXPECT_EQ(test::ReadFile(dir / "outside/target.txt"), "outside");
  EXPECT_NE(test::ReadFile(dir / "settings/Logs/Links_full.log")
                .find("Ok Deleting link: '" + to + "/stale"),
            std::string::npos);
  const test::TProgramResult again = cli({"compare", "Links"});
  EXPECT_NE(again.out.find("*** Plan preview ***\n  Nothing to do\n"), std::string::npos)
      << again.out;
}

}  // namespace
}  // namespace twn
