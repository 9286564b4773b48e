// Matching and classification: the comparison classes under the job's rules and time
// tolerances, matching without regard to case, filters, and the sort of the items.
#include <gtest/gtest.h>

#include <vector>

#include "engine/engine_fixture.h"

namespace twn::test {
namespace {

constexpr uint32_t kM = kCfMatched, kS = kCfSize, kA = kCfAttr, kT = kCfTime;

struct TClassCase {
  const char* what;
  const char* zone;
  int64_t right_s;  // right time minus left time, seconds
  long right_ns;
  const char* right_content;
  void (*rules)(TJobData&);
  int cls;
  uint32_t flags;
};

void Defaults(TJobData&) {}
void NoNtfs(TJobData& j) {
  j.bRulesNTFS = false;
}
void NoDaylight(TJobData& j) {
  j.bRulesDaylight = false;
}
void Timezone1(TJobData& j) {
  j.bRulesDaylight = false;
  j.bRulesTimezone = true;
  j.RulesTimezone = 1;
}
void Timezone3(TJobData& j) {
  Timezone1(j);
  j.RulesTimezone = 3;
}
void SizeOnly(TJobData& j) {
  j.bRulesTime = false;
}
void NoRules(TJobData& j) {
  j.bRulesSize = j.bRulesTime = false;
}

constexpr const char* kCet = "CET-1CEST,M3.5.0,M10.5.0/3";

TEST(Compare, ClassOfACoupleFollowsTheRulesAndTolerances) {
  const TClassCase cases[] = {
      {"same time and size", "UTC", 0, 0, "x", Defaults, ccEqual, kM | kS | kA | kT | 64},
      {"left newer", "UTC", -10, 0, "x", Defaults, ccLeftNewer, kM | kS | kA},
      {"left older", "UTC", 10, 0, "x", Defaults, ccLeftOlder, kM | kS | kA},
      {"1 s, 2-second rule", "UTC", 1, 0, "x", Defaults, ccEqual, kM | kS | kA | 64},
      {"1 s without the rule", "UTC", 1, 0, "x", NoNtfs, ccLeftOlder, kM | kS | kA | 64},
      {"exactly 2 s", "UTC", -2, 0, "x", Defaults, ccEqual, kM | kS | kA | 64},
      {"2.5 s", "UTC", 2, 500'000'000, "x", Defaults, ccLeftOlder, kM | kS | kA},
      {"same time, other size", "UTC", 0, 0, "xy", Defaults, ccSameTime, kM | kA | kT | 64},
      {"1 s, other size", "UTC", 1, 0, "xy", Defaults, ccSameTime, kM | kA | 64},
      {"1 h in a daylight zone", kCet, 3600, 0, "x", Defaults, ccEqual, kM | kS | kA | 512 | 1024},
      {"1 h + 1 s in a daylight zone", kCet, -3601, 0, "x", Defaults, ccEqual,
       kM | kS | kA | 512 | 1024},
      {"1 h, daylight rule off", kCet, 3600, 0, "x", NoDaylight, ccLeftOlder,
       kM | kS | kA | 512 | 1024},
      {"1 h, other size", kCet, 3600, 0, "xy", Defaults, ccSameTime, kM | kA | 512 | 1024},
      {"1 h in a zone without daylight", "UTC", 3600, 0, "x", Defaults, ccLeftOlder,
       kM | kS | kA | 1024},
      {"1 h, timezone 1 h", "UTC", 3600, 0, "x", Timezone1, ccEqual, kM | kS | kA | 1024},
      {"3 h, timezone 3 h", "UTC", -10800, 0, "x", Timezone3, ccEqual, kM | kS | kA | 1024},
      {"3 h, timezone 1 h", "UTC", -10800, 0, "x", Timezone1, ccLeftNewer, kM | kS | kA},
      {"2.5 s, timezone 1 h", "UTC", 2, 500'000'000, "x", Timezone1, ccLeftOlder, kM | kS | kA},
      {"only size counts", "UTC", 500, 0, "x", SizeOnly, ccEqual, kM | kS | kA},
      {"no rule at all", "UTC", 500, 0, "xyz", NoRules, ccEqual, kM | kA},
  };
  for (const TClassCase& c : cases) {
    SCOPED_TRACE(c.what);
    ScopedTimeZone zone(c.zone);
    TTwoTrees t;
    t.File(kLeft, "f.txt", "x", 0);
    t.File(kRight, "f.txt", c.right_content, c.right_s, c.right_ns);
    TJobData job = t.Job();
    c.rules(job);
    TScanInfo info;
    RunJob(info, job);
    const int32_t i = FindItem(info.Items(), "f.txt");
    ASSERT_GE(i, 0);
    EXPECT_EQ(c.cls, info.Items().Class(i));
    EXPECT_EQ(c.flags, info.Items().Flags(i));
    EXPECT_EQ(c.flags, info.Items().FileFlags(i, kRight));
  }
}

TEST(Compare, AttributeRuleMakesReadOnlyDifferenceUnequal) {
  TTwoTrees t;
  t.File(kLeft, "f.txt");
  t.File(kRight, "f.txt");
  ASSERT_EQ(0, platform::SetAttributes(t.Path(kRight, "f.txt"), platform::kAttrReadOnly));
  for (bool attr : {false, true}) {
    TJobData job = t.Job();
    job.bRulesAttr = attr;
    TScanInfo info;
    RunJob(info, job);
    const int32_t i = FindItem(info.Items(), "f.txt");
    EXPECT_EQ(attr ? ccSameTime : ccEqual, info.Items().Class(i)) << attr;
    EXPECT_EQ(0u, info.Items().Flags(i) & kCfAttr);
  }
}

TEST(Compare, SinglesFoldersAndRoots) {
  TTwoTrees t;
  t.File(kLeft, "only_left.txt");
  t.File(kRight, "only_right.txt");
  t.File(kLeft, "x");  // a file on the left, a folder of the same name on the right
  t.Folder(kRight, "x");
  t.Folder(kLeft, "sub");
  t.Folder(kRight, "sub");
  TScanInfo info;
  RunJob(info, t.Job());
  const TItemList items = info.Items();
  const struct {
    const char* rel;
    int cls;
  } expected[] = {{"only_left.txt", ccLeftSingle},
                  {"only_right.txt", ccRightSingle},
                  {"x", ccLeftSingle},
                  {"x/", ccFolderRight},
                  {"sub/", ccFolderBoth},
                  {"", ccRootBoth}};
  for (const auto& e : expected) {
    const int32_t i = FindItem(items, e.rel);
    ASSERT_GE(i, 0) << e.rel;
    EXPECT_EQ(e.cls, items.Class(i)) << e.rel;
  }
  EXPECT_EQ(6, items.Count());
  const TClassCounters& c = info.ClassCounters();
  EXPECT_EQ(2, c.count[ccLeftSingle]);
  EXPECT_EQ(2u, c.bytes[ccLeftSingle][kLeft]);
  EXPECT_EQ(1, c.count[ccRightSingle]);
}

TEST(Compare, NamesMatchWithoutRegardToCase) {
  TTwoTrees t;
  t.File(kLeft, "Docs/Readme.TXT");
  t.File(kRight, "DOCS/README.txt");
  t.File(kLeft, "Docs/caf\xc3\xa9.txt");  // bytes above 127 are not folded
  t.File(kRight, "DOCS/CAF\xc3\xa9.TXT");
  TScanInfo info;
  RunJob(info, t.Job());
  const TItemList items = info.Items();
  const int32_t folder = FindItem(items, "Docs/");
  ASSERT_GE(folder, 0);
  EXPECT_EQ(ccFolderBoth, items.Class(folder));
  EXPECT_EQ("DOCS/", info.FolderRelativePath(items.Index(folder, kRight)));
  for (const char* rel : {"Docs/Readme.TXT", "Docs/caf\xc3\xa9.txt"}) {
    const int32_t i = FindItem(items, rel);
    ASSERT_GE(i, 0) << rel;
    EXPECT_EQ(ccEqual, items.Class(i)) << rel;
  }
  EXPECT_EQ("README.txt", items.FileName(FindItem(items, "Docs/Readme.TXT"), kRight));
}

TEST(Compare, NamesDifferingOnlyInCaseOnOneSideNeverFormACouple) {
  // Linux allows a.txt and A.TXT side by side; the exact twin is matched, the other stays single.
  TTwoTrees t;
  t.File(kLeft, "a.txt", "left a", 0);
  t.File(kLeft, "A.TXT", "left A", 0);
  t.File(kRight, "a.txt", "right a", 0);
  t.File(kLeft, "b.txt");  // no counterpart on the right at all
  t.File(kLeft, "B.TXT");
  t.Folder(kLeft, "d");
  t.Folder(kLeft, "D");
  t.Folder(kRight, "D");
  TScanInfo info;
  RunJob(info, t.Job(kMethodMirrorL));
  const TItemList items = info.Items();
  int couples = 0;
  for (int32_t i = 0; i < items.Count(); ++i) {
    const int32_t l = items.Index(i, kLeft), r = items.Index(i, kRight);
    if (l < 0 || r < 0) continue;
    ++couples;
    if (items.IsFile(i)) {
      EXPECT_EQ(kLeft, info.File(l)->side);
      EXPECT_EQ(kRight, info.File(r)->side);
      EXPECT_EQ(items.FileName(i, kLeft), items.FileName(i, kRight));
    } else if (!items.IsRoot(i)) {
      EXPECT_EQ("D/", info.FolderRelativePath(l));
    }
  }
  EXPECT_EQ(3, couples);  // the roots, a.txt and D/
  for (const char* single : {"A.TXT", "b.txt", "B.TXT"})
    EXPECT_EQ(ccLeftSingle, items.Class(FindItem(items, single))) << single;
  EXPECT_EQ(ccFolderLeft, items.Class(FindItem(items, "d/")));
}

TEST(Compare, FiltersKeepOrDropACoupleAsAWhole) {
  TTwoTrees t;
  t.File(kLeft, "both.txt");
  t.File(kRight, "both.txt");
  t.File(kLeft, "keep.doc");
  t.File(kLeft, "drop.txt");
  t.File(kRight, "drop.txt");
  t.File(kLeft, "other.tmp");
  t.File(kLeft, "filtered/only.tmp");
  TJobData job = t.Job();
  job.FileFilter.FLT_Include = "*.txt; *.doc";
  job.FileFilter.FLT_Exclude = "drop*";
  job.FileFilter.FLT_bUseExclude = true;
  TScanInfo info;
  RunJob(info, job);
  const TItemList items = info.Items();
  EXPECT_GE(FindItem(items, "both.txt"), 0);
  EXPECT_GE(FindItem(items, "keep.doc"), 0);
  EXPECT_EQ(-1, FindItem(items, "drop.txt"));
  EXPECT_EQ(-1, FindItem(items, "other.tmp"));
  EXPECT_EQ(-1, FindItem(items, "filtered/only.tmp"));
  EXPECT_GE(FindItem(items, "filtered/"), 0);  // folders are never filtered

  // A couple where only one file passes stays whole: the size condition selects the right one.
  TTwoTrees u;
  u.File(kLeft, "f.bin", "x");
  u.File(kRight, "f.bin", "xxxxxxxx");
  TJobData sized = u.Job();
  sized.FileFilter.FLT_bUseSize = true;
  sized.FileFilter.FLT_SizeA = 4;
  sized.FileFilter.FLT_SizePos = fsMoreThanA;
  TScanInfo info2;
  RunJob(info2, sized);
  const int32_t i = FindItem(info2.Items(), "f.bin");
  ASSERT_GE(i, 0);
  EXPECT_EQ(ccSameTime, info2.Items().Class(i));
  EXPECT_GE(info2.Items().Index(i, kLeft), 0);
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
  auto order = [&info] {
    std::string names;
    const TItemList items = info.Items();
    for (int32_t i = 0; i < items.Count(); ++i) {
      if (items.IsFolder(i)) {
        names += items.IsRoot(i) ? "[root]" : "[" + std::string(items.RelativePath(i)) + "]";
        continue;
      }
      names += std::string(items.FileName(i, kLeft)).substr(0, 1);
    }
    return names;
  };
  const struct {
    int key;
    bool prefer_left, ascending;
    const char* expected;
  } cases[] = {
      {skName, true, true, "[root]abcd[z/]"},      {skName, true, false, "[root]dcba[z/]"},
      {skExtension, true, true, "[root]bcad[z/]"}, {skSize, true, true, "[root]acbd[z/]"},
      {skSize, false, true, "[root]dacb[z/]"},     {skSize, false, false, "[root]bcad[z/]"},
      {skTime, true, true, "[root]cbad[z/]"},
  };
  for (const auto& c : cases) {
    info.SortItems(c.key, c.prefer_left, c.ascending);
    EXPECT_EQ(c.expected, order()) << c.key << c.prefer_left << c.ascending;
    EXPECT_EQ(c.key, info.SortSettings().key);
  }
}

TEST(Compare, ItemAccessorsGiveNeutralValuesOutOfRange) {
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
    EXPECT_EQ("?name", items.FileName(bad, kLeft));
    EXPECT_EQ(-1, items.FileSize(bad, kLeft));
    EXPECT_EQ(0, items.FileTime(bad, kLeft));
    EXPECT_EQ("no value", items.FolderPath(bad, kLeft).path);
  }
  const int32_t file = FindItem(items, "sub/a.txt");
  bool present = true;
  EXPECT_EQ(-1, items.FileSize(file, kRight, &present));
  EXPECT_FALSE(present);
  EXPECT_EQ(3, items.FileSize(file, kLeft, &present));
  EXPECT_TRUE(present);
  EXPECT_EQ("?name", items.FileName(file, kRight));
  // A file absent on the right is named by the right root and the left folder's relative path.
  const TFolderPath target = items.FilePath(file, kRight);
  EXPECT_EQ(t.Root(kRight) + "/sub/a.txt", target.path);
  EXPECT_TRUE(target.missing);
  EXPECT_EQ(t.Root(kLeft) + "/sub/a.txt", items.FilePath(file, kLeft).path);
  EXPECT_EQ(3u, items.LargestFileSize(kLeft));
  EXPECT_EQ(0u, items.LargestFileSize(kRight));
  EXPECT_EQ(t.Root(kRight) + "/", info.RootPath(0, kRight));
  EXPECT_EQ("", info.RootPath(7, kRight));
}

}  // namespace
}  // namespace twn::test
