// Symbolic links kept by the scan as entries of their own, and folder times.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine_fixture.h"

namespace twn {
namespace {

using test::FindItem;
using test::kT0;
using test::TTwoTrees;

/// A link at `rel` on a side with its own time (seconds after kT0); never followed.
void Link(const TTwoTrees& t, int side, const std::string& rel, const std::string& target,
          int64_t at = 0) {
  const std::string path = t.Path(side, rel);
  ASSERT_EQ(symlink(target.c_str(), path.c_str()), 0) << path;
  const timespec times[2] = {{kT0 + at, 0}, {kT0 + at, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
}

// A kept link is a file entry of its own: its target text after its name in the pool, the
// text's length as its size, its own time, never entered even when it points at a folder.
// Without the option it is counted among its folder's files and nothing more.
TEST(Links, TheScanKeepsALinkAsItselfOnlyWhenAsked) {
  TTwoTrees t;
  t.Make({"L:sub/f.txt", "R:"});
  const std::string long_text(4000, 'x');
  Link(t, kLeft, "to_sub", "sub", -50);
  Link(t, kLeft, "long", long_text);
  Link(t, kLeft, "self", "self");
  for (bool keep : {false, true}) {
    SCOPED_TRACE(keep);
    TJobData job = t.Job(kMethodMirrorL);
    job.bCopyLinks = keep;
    TScanInfo info;
    test::RunJob(info, job);
    const TItemList items = info.Items();
    EXPECT_EQ(FindItem(items, "to_sub/f.txt"), -1) << "a link to a folder was entered";
    EXPECT_EQ(info.ScanCounters().files_found[kLeft], keep ? 4 : 1);
    const int32_t i = FindItem(items, "to_sub");
    if (!keep) {
      EXPECT_EQ(i, -1);
      continue;
    }
    ASSERT_GE(i, 0);
    EXPECT_TRUE(items.IsLink(i, kLeft));
    EXPECT_EQ(items.LinkTarget(i, kLeft), "sub");
    EXPECT_EQ(items.FileSize(i, kLeft), 3);
    EXPECT_EQ(items.FileTime(i, kLeft), platform::FileTimeFromUnix(kT0 - 50, 0));
    EXPECT_EQ(items.Action(i), paCopyToRight);
    EXPECT_EQ(items.LinkTarget(FindItem(items, "long"), kLeft), long_text);
    EXPECT_EQ(items.LinkTarget(FindItem(items, "self"), kLeft), "self");
    EXPECT_EQ(items.LinkTarget(FindItem(items, "sub/f.txt"), kLeft), "");
  }
}

// Two links are equal when their texts are, whatever their times; otherwise, and against a
// file, the newer one wins as between two files.
TEST(Links, ALinkEqualsOnlyALinkWithTheSameText) {
  const struct {
    const char* what;
    const char* left;  // a link's text, or nullptr for a file
    const char* right;
    int64_t right_at;  // the right entry's time after the left one's
    int cls;
  } cases[] = {
      {"same text, other times", "a", "a", 100, ccEqual},
      {"other text, right newer", "a", "b", 100, ccLeftOlder},
      {"other text of the same length, left newer", "ab", "ba", -100, ccLeftNewer},
      {"other text, same time", "a", "bb", 0, ccSameTime},
      {"link against a file", "x", nullptr, -100, ccLeftNewer},
      {"file against a link, same time and size", nullptr, "x", 0, ccSameTime},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TTwoTrees t;
    t.Make({"L:", "R:"});
    const char* texts[2] = {c.left, c.right};
    for (int side : {kLeft, kRight}) {
      const int64_t at = side == kRight ? c.right_at : 0;
      if (texts[side])
        Link(t, side, "e", texts[side], at);
      else
        t.File(side, "e", "x", at);
    }
    TJobData job = t.Job(kMethodMirrorL);
    TScanInfo info;
    test::RunJob(info, job);
    const int32_t i = FindItem(info.Items(), "e");
    ASSERT_GE(i, 0);
    EXPECT_EQ(info.Items().Class(i), c.cls);
  }
}

// Folder times are read only when asked for; a folder whose time alone differs is no
// difference to plan.
TEST(Links, FolderTimesAreReadButPlanNothing) {
  TTwoTrees t;
  t.Make({"L:sub/f.txt", "R:sub/f.txt"});
  ASSERT_EQ(chmod(t.Path(kLeft, "sub").c_str(), 0750), 0);
  test::SetMTime(t.Path(kLeft, "sub"), kT0 - 1000);
  test::SetMTime(t.Path(kRight, "sub"), kT0 + 1000);
  for (int side : {kLeft, kRight}) test::SetMTime(t.Root(side), kT0);
  for (bool times : {false, true}) {
    SCOPED_TRACE(times);
    TJobData job = t.Job(kMethodMirrorL);
    job.bFolderTimes = times;
    TScanInfo info;
    test::RunJob(info, job);
    const int32_t i = FindItem(info.Items(), "sub/");
    ASSERT_GE(i, 0);
    EXPECT_EQ(info.Plan().Count(), 0);
    const TFolderEntry* left = info.Folder(info.Items().Index(i, kLeft));
    EXPECT_EQ(left->status.time, times ? platform::FileTimeFromUnix(kT0 - 1000, 0) : 0);
    EXPECT_EQ(left->status.mode, times ? 0750u : 0u);
    // Nothing was written, yet a one-way method brings the right folder's time along.
    const std::vector<TFolderTimeTarget> targets = info.FolderTimeTargets({});
    ASSERT_EQ(targets.size(), times ? 1u : 0u);
    if (times) {
      EXPECT_EQ(targets[0].item, i);
      EXPECT_EQ(targets[0].side, kRight);
      EXPECT_FALSE(targets[0].created);  // it keeps its own permissions
      EXPECT_EQ(targets[0].from.mode, 0750u);
    }
  }
}

}  // namespace
}  // namespace twn
