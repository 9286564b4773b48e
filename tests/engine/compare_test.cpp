// Matching and classification: the comparison classes under the job's rules and time
// tolerances, matching without regard to case, filters, and the sort of the items.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/engine_fixture.h"

namespace twn::test {
namespace {

constexpr uint32_t kM = kCfMatched, kS = kCfSize, kA = kCfAttr, kT = kCfTime;
constexpr uint32_t k2s = kCfTwoSeconds, kDst = kCfDaylight, kTz = kCfTimezone;

// The job's rules, and how the right file differs from the left one besides its time.
struct TSetting {
  bool bigger = false, ro = false, cet = false;  // ro: read-only; cet: a daylight zone
  bool size = true, time = true, attr = false, ntfs = true, daylight = true;
  int32_t zone = 0;  // hours; 0 = no timezone rule
};

TEST(Compare, ClassOfACoupleFollowsTheRulesAndTolerances) {
  constexpr uint32_t kMSA = kM | kS | kA;
  const struct {
    const char* what;
    double right_s;  // right time minus left time
    TSetting set;
    int cls;
    uint32_t flags;
  } cases[] = {
      {"same time and size", 0, {}, ccEqual, kMSA | kT | k2s},
      {"left newer", -10, {}, ccLeftNewer, kMSA},
      {"left older", 10, {}, ccLeftOlder, kMSA},
      {"1 s without the rule", 1, {.ntfs = false}, ccLeftOlder, kMSA | k2s},
      {"exactly 2 s", -2, {}, ccEqual, kMSA | k2s},
      {"2.5 s", 2.5, {}, ccLeftOlder, kMSA},
      {"same time, bigger", 0, {.bigger = true}, ccSameTime, kM | kA | kT | k2s},
      {"1 s, bigger", 1, {.bigger = true}, ccSameTime, kM | kA | k2s},
      {"1 h, daylight zone", 3600, {.cet = true}, ccEqual, kMSA | kDst | kTz},
      {"1 h + 1 s, daylight zone", -3601, {.cet = true}, ccEqual, kMSA | kDst | kTz},
      {"1 h, DST rule off", 3600, {.cet = true, .daylight = false}, ccLeftOlder, kMSA | kDst | kTz},
      {"1 h, bigger", 3600, {.bigger = true, .cet = true}, ccSameTime, kM | kA | kDst | kTz},
      {"1 h without daylight", 3600, {}, ccLeftOlder, kMSA | kTz},
      {"3 h, timezone 3 h", -10800, {.daylight = false, .zone = 3}, ccEqual, kMSA | kTz},
      {"3 h, timezone 1 h", -10800, {.daylight = false, .zone = 1}, ccLeftNewer, kMSA},
      {"2.5 s, timezone 1 h", 2.5, {.daylight = false, .zone = 1}, ccLeftOlder, kMSA},
      {"only size counts", 500, {.time = false}, ccEqual, kMSA},
      {"no rule at all", 500, {.bigger = true, .size = false, .time = false}, ccEqual, kM | kA},
      {"read-only", 0, {.ro = true}, ccEqual, kM | kS | kT | k2s},
      {"read-only, attr rule", 0, {.ro = true, .attr = true}, ccSameTime, kM | kS | kT | k2s},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const TSetting& s = c.set;
    ScopedTimeZone zone(s.cet ? "CET-1CEST,M3.5.0,M10.5.0/3" : "UTC");
    TTwoTrees t;
    t.File(kLeft, "f.txt", "x", 0);
    const int64_t whole = static_cast<int64_t>(std::floor(c.right_s));
    t.File(kRight, "f.txt", s.bigger ? "xy" : "x", whole,
           static_cast<long>((c.right_s - whole) * 1e9));
    if (s.ro) platform::SetAttributes(t.Path(kRight, "f.txt"), platform::kAttrReadOnly);
    TJobData job = t.Job();
    job.bRulesSize = s.size;
    job.bRulesTime = s.time;
    job.bRulesAttr = s.attr;
    job.bRulesNTFS = s.ntfs;
    job.bRulesDaylight = s.daylight;
    job.bRulesTimezone = s.zone != 0;
    if (s.zone) job.RulesTimezone = s.zone;
    TScanInfo info;
    RunJob(info, job);
    const int32_t i = FindItem(info.Items(), "f.txt");
    ASSERT_GE(i, 0);
    EXPECT_EQ(c.cls, info.Items().Class(i));
    EXPECT_EQ(c.flags, info.Items().Flags(i));
    EXPECT_EQ(c.flags, info.Items().FileFlags(i, kRight));
  }
}

// Singles, folders against files, and matching without regard to ASCII case, where an exact
// twin wins over a name that differs only in case on the same side.
TEST(Compare, ClassesOfSinglesFoldersAndNamesSpeltDifferently) {
  TTwoTrees t;
  t.Make({"L:only_left.txt", "R:only_right.txt", "L:x", "R:x/", "L:sub/", "R:sub/",
          "L:Docs/Readme.TXT", "R:DOCS/README.txt", "L:Docs/caf\xc3\xa9.txt",
          "R:DOCS/CAF\xc3\xa9.TXT", "L:b.txt", "L:B.TXT", "L:d/", "L:D/", "R:D/"});
  t.File(kLeft, "a.txt", "left a");
  t.File(kLeft, "A.TXT", "left A");
  t.File(kRight, "a.txt", "right a");
  TScanInfo info;
  RunJob(info, t.Job(kMethodMirrorL));
  const struct {
    const char* rel;
    int cls;
  } expected[] = {
      {"", ccRootBoth},
      {"only_left.txt", ccLeftSingle},
      {"only_right.txt", ccRightSingle},
      {"x", ccLeftSingle},
      {"x/", ccFolderRight},
      {"sub/", ccFolderBoth},
      {"Docs/", ccFolderBoth},
      {"Docs/Readme.TXT", ccEqual},
      {"Docs/caf\xc3\xa9.txt", ccEqual},
      {"a.txt", ccSameTime},
      {"A.TXT", ccLeftSingle},
      {"b.txt", ccLeftSingle},
      {"B.TXT", ccLeftSingle},
      {"d/", ccFolderLeft},
      {"D/", ccFolderBoth},
  };
  for (const auto& e : expected) {
    EXPECT_EQ(e.cls, ClassOf(info, e.rel)) << e.rel;
  }
  const TItemList items = info.Items();
  EXPECT_EQ(static_cast<int32_t>(std::size(expected)), items.Count());
  EXPECT_EQ("DOCS/", info.FolderRelativePath(items.Index(FindItem(items, "Docs/"), kRight)));
  EXPECT_EQ("README.txt", items.FileName(FindItem(items, "Docs/Readme.TXT"), kRight));
  EXPECT_EQ("a.txt", items.FileName(FindItem(items, "a.txt"), kLeft));
  const TClassCounters& c = info.ClassCounters();
  EXPECT_EQ(5, c.count[ccLeftSingle]);
  EXPECT_EQ(10u, c.bytes[ccLeftSingle][kLeft]);
  EXPECT_EQ(1, c.count[ccRightSingle]);
}

TEST(Compare, FiltersKeepOrDropACoupleAsAWhole) {
  TTwoTrees t;
  t.Make({"L:both.txt", "R:both.txt", "L:keep.doc", "L:drop.txt", "R:drop.txt", "L:other.tmp",
          "L:filtered/only.tmp"});
  TJobData job = t.Job();
  job.FileFilter.FLT_Include = "*.txt; *.doc";
  job.FileFilter.FLT_Exclude = "drop*";
  job.FileFilter.FLT_bUseExclude = true;
  TScanInfo info;
  RunJob(info, job);
  for (const char* kept : {"both.txt", "keep.doc", "filtered/"})  // folders are never filtered
    EXPECT_GE(FindItem(info.Items(), kept), 0) << kept;
  for (const char* dropped : {"drop.txt", "other.tmp", "filtered/only.tmp"})
    EXPECT_EQ(-1, FindItem(info.Items(), dropped)) << dropped;

  // A couple where only one file passes stays whole: the size condition selects the right one.
  TTwoTrees u;
  u.File(kLeft, "f.bin", "x");
  u.File(kRight, "f.bin", "xxxxxxxx");
  TJobData sized = u.Job();
  sized.FileFilter.FLT_bUseSize = true;
  sized.FileFilter.FLT_SizeA = 4;
  sized.FileFilter.FLT_SizePos = fsMoreThanA;
  RunJob(info, sized);
  EXPECT_EQ(ccSameTime, ClassOf(info, "f.bin"));
}

TEST(Compare, SortKeysAndDirection) {
  TTwoTrees t;
  t.File(kLeft, "b.aa", "xxx", 2);
  t.File(kLeft, "a.cc", "x", 3);
  t.File(kLeft, "c.bb", "xx", 1);
  t.File(kLeft, "d.dd", "xxxxxxxxxx", 4);  // big on the left, empty on the right
  t.File(kRight, "d.dd", "", 4);
  t.Folder(kLeft, "z");
  TScanInfo info;
  RunJob(info, t.Job());
  const struct {
    int key;
    bool prefer_left, ascending;
    const char* expected;
  } cases[] = {
      {skName, true, true, "[]abcd[z/]"},      {skName, true, false, "[]dcba[z/]"},
      {skExtension, true, true, "[]bcad[z/]"}, {skSize, true, true, "[]acbd[z/]"},
      {skSize, false, true, "[]dacb[z/]"},     {skSize, false, false, "[]bcad[z/]"},
      {skTime, true, true, "[]cbad[z/]"},
  };
  for (const auto& c : cases) {
    info.SortItems(c.key, c.prefer_left, c.ascending);
    std::string order;
    const TItemList items = info.Items();
    for (int32_t i = 0; i < items.Count(); ++i)
      order += items.IsFolder(i) ? "[" + std::string(items.RelativePath(i)) + "]"
                                 : std::string(items.FileName(i, kLeft)).substr(0, 1);
    EXPECT_EQ(c.expected, order) << c.key << c.prefer_left << c.ascending;
    EXPECT_EQ(c.key, info.SortSettings().key);
  }
}

TEST(Compare, ItemAccessorsGiveNeutralValuesOutOfRangeAndForAnAbsentSide) {
  TTwoTrees t;
  t.File(kLeft, "sub/a.txt", "abc");
  t.Folder(kRight, "");
  TScanInfo info;
  RunJob(info, t.Job(kMethodMirrorL));
  const TItemList items = info.Items();
  for (int32_t bad : {-1, items.Count(), 1 << 30}) {
    EXPECT_FALSE(items.IsFolder(bad));
    EXPECT_EQ(0, items.Class(bad));
    EXPECT_EQ(0, items.Action(bad));
    EXPECT_EQ(0, items.FileTime(bad, kLeft));
    EXPECT_EQ("?name", items.FileName(bad, kLeft));
    EXPECT_EQ(-1, items.FileSize(bad, kLeft));
    EXPECT_EQ("no value", items.FolderPath(bad, kLeft).path);
  }
  const int32_t file = FindItem(items, "sub/a.txt");
  bool present = true;
  EXPECT_EQ(-1, items.FileSize(file, kRight, &present));
  EXPECT_FALSE(present);
  EXPECT_EQ("?name", items.FileName(file, kRight));
  EXPECT_EQ(3u, items.LargestFileSize(kLeft));
  EXPECT_EQ(0u, items.LargestFileSize(kRight));
  EXPECT_EQ(t.Root(kRight) + "/", info.RootPath(0, kRight));
  EXPECT_EQ("", info.RootPath(7, kRight));
}

}  // namespace
}  // namespace twn::test
