// Whole runs of twn-cli on seeded random trees. Each run is checked twice: against the trees each
// synchronize method must leave behind, and against rsync's dry run over the same trees, where
// every file rsync still lists must be one our comparison rules deliberately treat differently.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
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

namespace fs = std::filesystem;

constexpr int kL = 0, kR = 1;
constexpr int64_t kBaseTime = 1'700'000'000;  // November 2023
constexpr int64_t kDay = 86'400;
// A zone with daylight saving, written out so that it needs no zone files: its daylight offset
// is one hour.
constexpr const char* kDaylightZone = "CET-1CEST,M3.5.0,M10.5.0/3";

enum class TMethod { kMirror, kCopy, kUpdate };

struct TVersion {
  std::string content;
  int64_t mtime = 0;
  unsigned mode = 0644;
  bool operator==(const TVersion&) const = default;
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

constexpr const char* kKindNames[] = {"left single",  "right single", "identical", "mode only",
                                      "left newer",   "right newer",  "same time", "1 second apart",
                                      "1 hour apart", "case twin",    "side clash"};
static_assert(std::size(kKindNames) == size_t(TKind::kSideClash) + 1);

struct TFolder {
  int parent = -1;
  std::string name[2];  // the spelling on each side; twins differ in letter case only
  bool on[2] = {true, true};
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
    TTree tree;
    tree.folders.push_back({});
    for (int k = 1; k <= 24; ++k) tree.folders.push_back(Folder(tree.folders, k));
    const int file_count = 220 + Pick(80);
    for (int k = 1; k <= file_count; ++k) AddFile(tree, k);
    return tree;
  }

 private:
  int Pick(int n) { return int(rng_() % unsigned(n)); }
  bool Chance(int percent) { return Pick(100) < percent; }

  std::string Content(size_t size) {
    std::string s(size, ' ');
    for (char& c : s) c = char('a' + Pick(26));
    return s;
  }
  /// The same size, other bytes.
  static std::string Altered(std::string s) {
    s[s.size() / 2] = s[s.size() / 2] == 'x' ? 'y' : 'x';
    return s;
  }
  TVersion Version(size_t size) {
    return {Content(size), kBaseTime + Pick(300) * kDay + Pick(int(kDay)),
            Chance(15) ? 0444u : 0644u};
  }

  TFolder Folder(const std::vector<TFolder>& folders, int k) {
    TFolder f;
    f.parent = Pick(int(folders.size()));
    const TFolder& parent = folders[size_t(f.parent)];
    f.name[kL] = f.name[kR] = "Dir" + std::to_string(k);
    f.on[kL] = parent.on[kL];
    f.on[kR] = parent.on[kR];
    if (f.on[kL] && f.on[kR]) {
      const int r = Pick(100);
      if (r < 15)
        f.on[kR] = false;
      else if (r < 30)
        f.on[kL] = false;
      else if (r < 40 && twin_folders_)
        f.name[kR] = platform::UpperCase(f.name[kL]);
    }
    return f;
  }

  void AddFile(TTree& tree, int k) {
    TFileCase c;
    c.folder = Pick(int(tree.folders.size()));
    const TFolder& folder = tree.folders[size_t(c.folder)];
    c.name[kL] = c.name[kR] = "file" + std::to_string(k) + ".txt";
    if (!folder.on[kR])
      c.kind = TKind::kLeftSingle;
    else if (!folder.on[kL])
      c.kind = TKind::kRightSingle;
    else
      c.kind = TKind(Pick(int(TKind::kSideClash) + 1));
    Fill(c);
    if (c.kind == TKind::kSideClash) {
      // The clash itself is a single beside a couple of exact twins.
      TFileCase extra;
      extra.folder = c.folder;
      extra.kind = TKind::kSideClash;
      const int side = Pick(2);
      extra.name[kL] = extra.name[kR] = "File" + std::to_string(k) + ".txt";
      extra.side[side] = Version(1 + size_t(Pick(300)));
      tree.files.push_back(extra);
      c.kind = Chance(50) ? TKind::kIdentical : TKind::kLeftNewer;
      Fill(c);
    }
    tree.files.push_back(c);
  }

  void Fill(TFileCase& c) {
    TVersion v = Version(1 + size_t(Pick(2000)));
    TVersion w = v;
    const int64_t apart = 3 * 3600 + Pick(30 * int(kDay));
    const bool left_newer = Chance(50);
    c.side[kL] = c.side[kR] = std::nullopt;
    switch (c.kind) {
      case TKind::kLeftSingle:
        c.side[kL] = v;
        return;
      case TKind::kRightSingle:
        c.side[kR] = v;
        return;
      case TKind::kIdentical:
        c.side[kL] = c.side[kR] = v;
        return;
      case TKind::kModeOnly:
        w.mode = v.mode == 0444u ? 0644u : 0444u;
        break;
      case TKind::kLeftNewer:
        w = Version(1 + size_t(Pick(2000)));
        w.mtime = v.mtime - apart;
        break;
      case TKind::kRightNewer:
        w = Version(1 + size_t(Pick(2000)));
        w.mtime = v.mtime + apart;
        break;
      case TKind::kSameTime:
        w.content = v.content + Content(1 + size_t(Pick(50)));
        break;
      case TKind::kOneSecond:
        w.content = Altered(v.content);
        w.mtime += left_newer ? -1 : 1;
        break;
      case TKind::kOneHour:
        w.content = Altered(v.content);
        w.mtime += left_newer ? -3600 : 3600;
        break;
      case TKind::kCaseTwin: {
        c.name[kR] = platform::UpperCase(c.name[kL]);
        if (Chance(30)) break;
        w = Version(1 + size_t(Pick(2000)));
        w.mtime = v.mtime + (left_newer ? -apart : apart);
        break;
      }
      case TKind::kSideClash:
        return;
    }
    c.side[kL] = v;
    c.side[kR] = w;
  }

  std::mt19937 rng_;
  bool twin_folders_;
};

// ---- paths ------------------------------------------------------------------------------------

/// A folder's path on a side, relative to the root, "" for the root, else ending in "/".
std::string FolderPath(const TTree& t, int folder, int side) {
  if (folder == 0) return {};
  const TFolder& f = t.folders[size_t(folder)];
  return FolderPath(t, f.parent, side) + f.name[side] + "/";
}

/// Where a folder is after a run that created it where it was missing: a missing folder takes
/// the other side's spelling, an existing one keeps its own.
std::string FinalFolderPath(const TTree& t, int folder, int side) {
  if (folder == 0) return {};
  const TFolder& f = t.folders[size_t(folder)];
  return FinalFolderPath(t, f.parent, side) + f.name[f.on[side] ? side : 1 - side] + "/";
}

bool HasCaseTwinAbove(const TTree& t, int folder) {
  for (; folder > 0; folder = t.folders[size_t(folder)].parent) {
    const TFolder& f = t.folders[size_t(folder)];
    if (f.on[kL] && f.on[kR] && f.name[kL] != f.name[kR]) return true;
  }
  return false;
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

struct TSnapshot {
  std::map<std::string, TVersion> files;
  std::set<std::string> folders;
};

TSnapshot ReadTree(const std::string& root) {
  TSnapshot snap;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    const std::string rel = e.path().lexically_relative(root).string();
    struct stat st {};
    if (lstat(e.path().c_str(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode))
      snap.folders.insert(rel + "/");
    else if (S_ISREG(st.st_mode))
      snap.files[rel] = {test::ReadFile(e.path()), st.st_mtim.tv_sec, st.st_mode & 07777u};
    else
      snap.folders.insert("?" + rel);  // nothing else belongs in a synchronized tree
  }
  return snap;
}

/// True when the rules call the two files of a couple equal (nothing is copied).
bool EqualByRules(const TFileCase& c, bool daylight) {
  if (!c.side[kL] || !c.side[kR]) return false;
  switch (c.kind) {
    case TKind::kIdentical:
    case TKind::kModeOnly:
    case TKind::kOneSecond:
      return true;
    case TKind::kOneHour:
      return daylight;
    case TKind::kCaseTwin:
      return c.side[kL]->mtime == c.side[kR]->mtime;
    default:
      return false;
  }
}

/// The two files after a run of `method`.
std::array<std::optional<TVersion>, 2> Outcome(const TFileCase& c, TMethod method, bool daylight) {
  const auto& l = c.side[kL];
  const auto& r = c.side[kR];
  if (EqualByRules(c, daylight)) return {l, r};
  switch (method) {
    case TMethod::kMirror:
      return {l, l};
    case TMethod::kCopy:
      return {l, l ? l : r};
    case TMethod::kUpdate:
      // Same time but unequal: update cannot tell which one is newer and leaves both.
      if (c.kind == TKind::kSameTime) return {l, r};
      if (!l || !r) return {l ? l : r, l ? l : r};
      return l->mtime > r->mtime ? std::array{l, l} : std::array{r, r};
  }
  return {l, r};
}

bool FolderKept(const TFolder& f, TMethod method, int side) {
  if (side == kL) return method == TMethod::kUpdate ? f.on[kL] || f.on[kR] : f.on[kL];
  return method == TMethod::kMirror ? f.on[kL] : f.on[kL] || f.on[kR];
}

std::array<TSnapshot, 2> Expected(const TTree& t, TMethod method, bool daylight) {
  std::array<TSnapshot, 2> out;
  for (int side : {kL, kR}) {
    for (size_t i = 1; i < t.folders.size(); ++i)
      if (FolderKept(t.folders[i], method, side))
        out[size_t(side)].folders.insert(FinalFolderPath(t, int(i), side));
    for (const TFileCase& c : t.files) {
      const auto after = Outcome(c, method, daylight)[size_t(side)];
      if (!after) continue;
      const std::string& name = c.name[c.side[side] ? side : 1 - side];
      out[size_t(side)].files[FinalFolderPath(t, c.folder, side) + name] = *after;
    }
  }
  return out;
}

std::string Describe(const std::optional<TVersion>& v) {
  if (!v) return "nothing";
  std::ostringstream s;
  s << v->content.size() << " bytes '" << v->content.substr(0, 12) << "...' mtime " << v->mtime
    << " mode " << std::oct << v->mode;
  return s.str();
}

/// One line per path where the tree differs from the expected one.
std::vector<std::string> Differences(const TSnapshot& want, const TSnapshot& got,
                                     const std::string& side) {
  std::vector<std::string> diffs;
  std::set<std::string> paths;
  for (const auto& [p, v] : want.files) paths.insert(p);
  for (const auto& [p, v] : got.files) paths.insert(p);
  auto at = [](const TSnapshot& snap, const std::string& p) -> std::optional<TVersion> {
    const auto it = snap.files.find(p);
    return it == snap.files.end() ? std::nullopt : std::optional(it->second);
  };
  for (const std::string& p : paths)
    if (at(want, p) != at(got, p))
      diffs.push_back(side + p + ": want " + Describe(at(want, p)) + ", found " +
                      Describe(at(got, p)));
  for (const std::string& p : want.folders)
    if (!got.folders.contains(p)) diffs.push_back(side + p + ": folder missing");
  for (const std::string& p : got.folders)
    if (!want.folders.contains(p)) diffs.push_back(side + p + ": unexpected folder");
  return diffs;
}

std::string FirstLines(const std::vector<std::string>& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size() && i < 15; ++i) text += "  " + lines[i] + "\n";
  return text;
}

// ---- rsync ------------------------------------------------------------------------------------

std::string FindOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::istringstream dirs(path ? path : "/usr/bin:/bin");
  for (std::string dir; std::getline(dirs, dir, ':');)
    if (!dir.empty() && access((dir + "/" + program).c_str(), X_OK) == 0)
      return dir + "/" + program;
  return {};
}

struct TItem {
  std::string code, path;
};

/// rsync's itemized dry run from `from` to `to`; folder lines that differ only in the folder's
/// own attributes are left out: runs synchronize files and the existence of folders, not the
/// times or permission bits of folders.
std::vector<TItem> RsyncDryRun(const std::string& rsync, const std::string& from,
                               const std::string& to, const std::vector<std::string>& options) {
  std::vector<std::string> args = {"-a", "-n", "-i"};
  args.insert(args.end(), options.begin(), options.end());
  args.insert(args.end(), {from + "/", to + "/"});
  const test::TProgramResult r = test::RunProgram(rsync, args);
  EXPECT_EQ(r.status, 0) << r.err;
  std::vector<TItem> items;
  std::istringstream lines(r.out);
  for (std::string line; std::getline(lines, line);) {
    const size_t gap = line.find(' ');
    if (gap == std::string::npos) continue;
    TItem item{line.substr(0, gap), line.substr(line.find_first_not_of(' ', gap))};
    if (item.code.size() == 11 && item.code[0] == '.' && item.code[1] == 'd') continue;
    items.push_back(item);
  }
  return items;
}

// ---- the test ---------------------------------------------------------------------------------

struct TCase {
  TMethod method;
  unsigned seed;
  const char* zone;
  /// Folders spelt differently on the two sides (a whole subtree of case twins).
  bool twin_folders;
};

std::string CaseName(const ::testing::TestParamInfo<TCase>& info) {
  static constexpr const char* kNames[] = {"Mirror", "Copy", "Update"};
  const bool daylight = std::string(info.param.zone) != "UTC";
  return std::string(kNames[int(info.param.method)]) + "Seed" + std::to_string(info.param.seed) +
         (daylight ? "Daylight" : "Utc");
}

class RsyncCrossCheck : public ::testing::TestWithParam<TCase> {
 protected:
  void SetUp() override {
    rsync_ = FindOnPath("rsync");
    if (rsync_.empty()) GTEST_SKIP() << "rsync is not installed (scripts/install-deps.sh)";
    root_[kL] = dir_ / "left";
    root_[kR] = dir_ / "right";
    tree_ = TTreeMaker(GetParam().seed, GetParam().twin_folders).Make();
    // A seed that misses a kind would silently check less.
    std::set<TKind> kinds;
    for (const TFileCase& c : tree_.files)
      if (!HasCaseTwinAbove(tree_, c.folder)) kinds.insert(c.kind);
    for (int k = 0; k <= int(TKind::kSideClash); ++k)
      ASSERT_TRUE(kinds.contains(TKind(k))) << "no " << kKindNames[k] << " file from this seed";
    const bool twin_subtree =
        std::any_of(tree_.files.begin(), tree_.files.end(),
                    [&](const TFileCase& c) { return HasCaseTwinAbove(tree_, c.folder); });
    ASSERT_EQ(twin_subtree, GetParam().twin_folders) << "files under folders spelt differently";
    ASSERT_NO_FATAL_FAILURE(WriteTree(tree_, root_));
  }

  test::TProgramResult Cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"--settings", dir_ / "settings"});
    return test::RunProgram(TWN_CLI_PATH, args, dir_.path());
  }

  bool Daylight() const { return std::string(GetParam().zone) != "UTC"; }

  /// The files rsync from `from` to `to` must still list after the run, with the code it lists
  /// them under, each a case where the rules deliberately part from rsync's quick check.
  std::map<std::string, std::string> Intended(int from, bool deleting) const;

  /// Checks rsync's dry run against Intended; paths under folders spelt differently on the two
  /// sides differ as a whole subtree to rsync and are left to the tree comparison.
  void ExpectRsyncAgrees(int from, const std::vector<std::string>& options);

  test::TempDir dir_;
  std::string root_[2];
  std::string rsync_;
  TTree tree_;
};

std::map<std::string, std::string> RsyncCrossCheck::Intended(int from, bool deleting) const {
  const TMethod method = GetParam().method;
  std::map<std::string, std::string> want;
  for (const TFileCase& c : tree_.files) {
    if (HasCaseTwinAbove(tree_, c.folder)) continue;
    const std::string folder = FolderPath(tree_, c.folder, from);
    const std::string other = FolderPath(tree_, c.folder, 1 - from);
    switch (c.kind) {
      case TKind::kModeOnly:
        // The rules leave attributes out, so equal files keep their own permission bits.
        want[folder + c.name[from]] = ".f...p.....";
        break;
      case TKind::kOneHour:
        // An hour apart is the daylight-saving shift, not a change: no copy either way.
        if (Daylight()) want[folder + c.name[from]] = ">f..t......";
        break;
      case TKind::kSameTime:
        // Update leaves files of equal times alone: neither can be called the newer one.
        if (method == TMethod::kUpdate) want[folder + c.name[from]] = ">f.s.......";
        break;
      case TKind::kCaseTwin:
        // Names match without regard to case: the copy keeps the target's own spelling, so
        // rsync still misses the source's spelling and, mirroring, sees the target's as extra.
        want[folder + c.name[from]] = ">f+++++++++";
        if (deleting) want[other + c.name[1 - from]] = "*deleting";
        break;
      default:
        break;
    }
  }
  return want;
}

void RsyncCrossCheck::ExpectRsyncAgrees(int from, const std::vector<std::string>& options) {
  const bool deleting = std::find(options.begin(), options.end(), "--delete") != options.end();
  const std::map<std::string, std::string> want = Intended(from, deleting);
  std::map<std::string, std::string> got;
  for (const TItem& item : RsyncDryRun(rsync_, root_[from], root_[1 - from], options)) {
    const std::string upper = platform::UpperCase(item.path);
    bool twin_subtree = false;
    for (size_t i = 1; i < tree_.folders.size(); ++i)
      twin_subtree |= tree_.folders[i].name[kL] != tree_.folders[i].name[kR] &&
                      upper.starts_with(platform::UpperCase(FolderPath(tree_, int(i), kL)));
    if (!twin_subtree) got[item.path] = item.code;
  }
  for (const auto& [path, code] : want) {
    const auto g = got.find(path);
    if (g == got.end())
      ADD_FAILURE() << "rsync should still list " << path << " as " << code;
    else if (!g->second.starts_with(code.substr(0, code.find_last_not_of('.') + 1)))
      ADD_FAILURE() << "rsync lists " << path << " as " << g->second << ", not " << code;
  }
  for (const auto& [path, code] : got)
    if (!want.contains(path)) ADD_FAILURE() << "rsync finds a difference: " << code << " " << path;
}

TEST_P(RsyncCrossCheck, RunLeavesWhatTheMethodPromises) {
  static constexpr const char* kMethodNames[] = {"mirror-lr", "copy-lr", "update"};
  const TMethod method = GetParam().method;
  const TSnapshot right_before = ReadTree(root_[kR]);
  test::ScopedTimeZone zone(GetParam().zone);  // twn-cli inherits it

  const auto added = Cli({"add", "Cross", "--left", root_[kL], "--right", root_[kR], "--method",
                          kMethodNames[int(method)]});
  ASSERT_EQ(added.status, 0) << added.err;
  const auto run = Cli({"run", "Cross"});
  ASSERT_EQ(run.status, 0) << test::ReadFile(dir_ / "settings/Logs/Cross_error.log");

  const std::array<TSnapshot, 2> want = Expected(tree_, method, Daylight());
  for (int side : {kL, kR}) {
    const auto diffs = Differences(want[size_t(side)], ReadTree(root_[side]), side ? "R/" : "L/");
    EXPECT_TRUE(diffs.empty()) << diffs.size() << " differences:\n" << FirstLines(diffs);
  }

  switch (method) {
    case TMethod::kMirror:
      ExpectRsyncAgrees(kL, {"--delete", "--modify-window=2"});
      break;
    case TMethod::kCopy: {
      ExpectRsyncAgrees(kL, {"--modify-window=2"});
      const TSnapshot right_after = ReadTree(root_[kR]);
      for (const auto& [path, v] : right_before.files)
        EXPECT_TRUE(right_after.files.contains(path)) << "copying deleted R/" << path;
      for (const std::string& path : right_before.folders)
        EXPECT_TRUE(right_after.folders.contains(path)) << "copying removed R/" << path;
      break;
    }
    case TMethod::kUpdate:
      ExpectRsyncAgrees(kL, {"--modify-window=2"});
      ExpectRsyncAgrees(kR, {"--modify-window=2"});
      break;
  }

  // Without a window rsync would copy the files one second apart; the 2-second rule keeps them.
  const std::vector<TItem> exact = RsyncDryRun(rsync_, root_[kL], root_[kR], {});
  for (const TFileCase& c : tree_.files) {
    if (c.kind != TKind::kOneSecond || HasCaseTwinAbove(tree_, c.folder)) continue;
    const std::string path = FolderPath(tree_, c.folder, kL) + c.name[kL];
    EXPECT_TRUE(std::any_of(exact.begin(), exact.end(),
                            [&](const TItem& i) { return i.path == path && i.code[0] == '>'; }))
        << "rsync without a window should list " << path;
  }

  const auto again = Cli({"compare", "Cross"});
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_NE(again.out.find("*** Plan preview ***\n  Nothing to do\n"), std::string::npos)
      << "a second run would still do something:\n"
      << again.out.substr(again.out.find("*** Plan preview ***"));
}

// Six seeds, each method under a zone without and a zone with daylight saving.
constexpr TCase kCases[] = {
    {TMethod::kMirror, 1, "UTC", false}, {TMethod::kMirror, 2, kDaylightZone, false},
    {TMethod::kCopy, 3, "UTC", false},   {TMethod::kCopy, 4, kDaylightZone, false},
    {TMethod::kUpdate, 7, "UTC", false}, {TMethod::kUpdate, 6, kDaylightZone, false},
};
INSTANTIATE_TEST_SUITE_P(Methods, RsyncCrossCheck, ::testing::ValuesIn(kCases), CaseName);

// Folders spelt differently on the two sides: a file or folder copied into such a folder must
// land in the target's own spelling, not in a new sibling folder spelt like the source's, and
// the next run must plan nothing.
constexpr TCase kTwinFolderCases[] = {
    {TMethod::kMirror, 24, "UTC", true},
    {TMethod::kCopy, 22, "UTC", true},
    {TMethod::kUpdate, 23, kDaylightZone, true},
};
INSTANTIATE_TEST_SUITE_P(CaseTwinFolders, RsyncCrossCheck, ::testing::ValuesIn(kTwinFolderCases),
                         CaseName);

}  // namespace
}  // namespace twn
