// Target paths of the plan when a folder is spelt differently on the two sides: Music on the
// left and MUSIC on the right are one folder, so whatever goes into it, or into a new folder
// below it, must land in the target side's own spelling.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/engine_fixture.h"

namespace twn::test {
namespace {

/// The path below the two roots' common folder, "L/..." or "R/...".
std::string Short(const TTwoTrees& t, const std::string& path) {
  const std::string base = t.Root(kLeft).substr(0, t.Root(kLeft).size() - 1);
  return path.starts_with(base) ? path.substr(base.size()) : "outside: " + path;
}

/// The plan's folder creations ("+R/x/") and copies ("L/a > R/a"), sorted.
std::vector<std::string> Operations(const TTwoTrees& t, const TItemList& plan) {
  std::vector<std::string> out;
  for (int32_t i = 0; i < plan.Count(); ++i) {
    const int action = plan.Action(i);
    if (action == paCreateLeft || action == paRemoveRightCreateLeft)
      out.push_back("+" + Short(t, plan.FolderPath(i, kLeft).path));
    if (action == paCreateRight || action == paRemoveLeftCreateRight)
      out.push_back("+" + Short(t, plan.FolderPath(i, kRight).path));
    if (action >= paCopyToRight && action <= paOverwriteRight) {
      const int from = action == paCopyToRight || action == paOverwriteRight ? kLeft : kRight;
      out.push_back(Short(t, plan.FilePath(i, from).path) + " > " +
                    Short(t, plan.FilePath(i, 1 - from).path));
    }
  }
  std::sort(out.begin(), out.end());
  return out;
}

struct TCase {
  const char* name;
  int32_t method;
  std::vector<std::string_view> tree;
  std::vector<std::string> expected;
};

TEST(CasePaths, TargetsFollowTheSpellingOfTheExistingFolder) {
  const TCase cases[] = {
      {"files and a new subfolder directly in the twin, left to right",
       kMethodMirrorL,
       {"L:Music/b.txt", "L:Music/New/a.txt", "L:Music/Old/c.txt", "R:MUSIC/Old/"},
       {"+R/MUSIC/New/", "L/Music/New/a.txt > R/MUSIC/New/a.txt",
        "L/Music/Old/c.txt > R/MUSIC/Old/c.txt", "L/Music/b.txt > R/MUSIC/b.txt"}},
      {"twins at three depths, and a missing chain below the deepest",
       kMethodBackupL,
       {"L:a/B/c/x.txt", "L:a/B/c/D/e/y.txt", "L:a/B/z.txt", "R:A/b/C/"},
       {"+R/A/b/C/D/e/", "L/a/B/c/D/e/y.txt > R/A/b/C/D/e/y.txt", "L/a/B/c/x.txt > R/A/b/C/x.txt",
        "L/a/B/z.txt > R/A/b/z.txt"}},
      {"both ways at once",
       kMethodUpdate,
       {"L:Photos/l.txt", "L:Photos/Mine/m.txt", "R:PHOTOS/r.txt", "R:PHOTOS/Theirs/t.txt"},
       {"+L/Photos/Theirs/", "+R/PHOTOS/Mine/", "L/Photos/Mine/m.txt > R/PHOTOS/Mine/m.txt",
        "L/Photos/l.txt > R/PHOTOS/l.txt", "R/PHOTOS/Theirs/t.txt > L/Photos/Theirs/t.txt",
        "R/PHOTOS/r.txt > L/Photos/r.txt"}},
      {"an empty folder copied into the twin",
       kMethodMirrorL,
       {"L:Music/Empty/", "R:MUSIC/"},
       {"+R/MUSIC/Empty/"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TTwoTrees t;
    t.Make({"L:", "R:"});
    t.Make(c.tree);
    TScanInfo info;
    RunJob(info, t.Job(c.method));
    EXPECT_EQ(c.expected, Operations(t, info.Plan()));
  }
}

TEST(CasePaths, MissingFlagNamesWhatIsNotThereYet) {
  TTwoTrees t;
  t.Make({"L:", "L:Music/b.txt", "L:Music/New/a.txt", "R:MUSIC/"});
  TScanInfo info;
  RunJob(info, t.Job(kMethodMirrorL));
  const TItemList items = info.Items();
  const struct {
    const char* rel;
    bool file;  // the file's path, else its folder's
    const char* right;
    bool missing;
  } cases[] = {
      {"Music/b.txt", false, "MUSIC/", false},  // the folder exists, only the file is to come
      {"Music/b.txt", true, "MUSIC/b.txt", true},
      {"Music/New/", false, "MUSIC/New/", true},
      {"Music/New/a.txt", true, "MUSIC/New/a.txt", true},
  };
  for (const auto& c : cases) {
    const int32_t i = FindItem(items, c.rel);
    const TFolderPath p = c.file ? items.FilePath(i, kRight) : items.FolderPath(i, kRight);
    EXPECT_EQ(t.Path(kRight, c.right), p.path) << c.rel;
    EXPECT_EQ(c.missing, p.missing) << c.rel;
  }
}

}  // namespace
}  // namespace twn::test
