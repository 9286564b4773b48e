// The synchronization plan: actions of the five methods and of custom choices, empty-folder
// cascades, folder creation for copies, missing roots, the plan list and its counters.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "engine/engine_fixture.h"

namespace twn::test {
namespace {

/// One file or folder of every class, and an empty folder on each side only.
void EveryClass(const TTwoTrees& t) {
  t.File(kLeft, "single_l.txt", "l");
  t.File(kRight, "single_r.txt", "rr");
  t.File(kLeft, "newer.txt", "x", 100);
  t.File(kRight, "newer.txt", "x", 0);
  t.File(kLeft, "older.txt", "x", 0);
  t.File(kRight, "older.txt", "x", 100);
  t.File(kLeft, "equal.txt", "x");
  t.File(kRight, "equal.txt", "x");
  t.File(kLeft, "same.txt", "xx");
  t.File(kRight, "same.txt", "xxx");
  t.Folder(kLeft, "empty_l");
  t.Folder(kRight, "empty_r");
}

constexpr const char* kEveryClassNames[] = {"single_l.txt", "single_r.txt", "newer.txt",
                                            "older.txt",    "equal.txt",    "same.txt",
                                            "empty_l/",     "empty_r/"};

std::map<std::string, int> Actions(const TScanInfo& info) {
  std::map<std::string, int> actions;
  for (const char* name : kEveryClassNames)
    actions[name] = info.Items().Action(FindItem(info.Items(), name));
  return actions;
}

TEST(Plan, ActionsOfTheFiveMethods) {
  const struct {
    int32_t method;
    int actions[8];  // in kEveryClassNames order
  } cases[] = {
      {kMethodMirrorL, {4, 2, 7, 7, 0, 7, 12, 9}}, {kMethodMirrorR, {1, 5, 6, 6, 0, 6, 8, 11}},
      {kMethodBackupL, {4, 0, 7, 7, 0, 7, 12, 0}}, {kMethodBackupR, {0, 5, 6, 6, 0, 6, 0, 11}},
      {kMethodUpdate, {4, 5, 7, 6, 0, 0, 12, 11}}, {kMethodNone, {0, 0, 0, 0, 0, 0, 0, 0}},
  };
  TTwoTrees t;
  EveryClass(t);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.method);
    TScanInfo info;
    RunJob(info, t.Job(c.method));
    const auto actions = Actions(info);
    for (size_t k = 0; k < std::size(kEveryClassNames); ++k)
      EXPECT_EQ(c.actions[k], actions.at(kEveryClassNames[k])) << kEveryClassNames[k];
    EXPECT_EQ(0, info.Items().Action(FindItem(info.Items(), "")));  // the root stays
  }
}

TEST(Plan, ActionsOfCustomChoices) {
  const struct {
    int32_t TJobData::*field;
    int32_t value;
    const char* name;
    int action;
  } cases[] = {
      {&TJobData::idxNewerL, 1, "newer.txt", 7},      {&TJobData::idxNewerL, 2, "newer.txt", 6},
      {&TJobData::idxNewerL, 3, "newer.txt", 1},      {&TJobData::idxNewerL, 4, "newer.txt", 2},
      {&TJobData::idxNewerL, 5, "newer.txt", 3},      {&TJobData::idxNewerR, 1, "older.txt", 7},
      {&TJobData::idxNewerR, 2, "older.txt", 6},      {&TJobData::idxNewerR, 3, "older.txt", 1},
      {&TJobData::idxNewerR, 4, "older.txt", 2},      {&TJobData::idxNewerR, 5, "older.txt", 3},
      {&TJobData::idxEqualDate, 1, "same.txt", 7},    {&TJobData::idxEqualDate, 2, "same.txt", 6},
      {&TJobData::idxEqualDate, 3, "same.txt", 1},    {&TJobData::idxEqualDate, 4, "same.txt", 2},
      {&TJobData::idxEqualDate, 5, "same.txt", 3},    {&TJobData::idxEqualL, 1, "equal.txt", 1},
      {&TJobData::idxEqualR, 1, "equal.txt", 2},      {&TJobData::idxSingleL, 1, "single_l.txt", 4},
      {&TJobData::idxSingleL, 2, "single_l.txt", 1},  {&TJobData::idxSingleR, 1, "single_r.txt", 5},
      {&TJobData::idxSingleR, 2, "single_r.txt", 2},  {&TJobData::idxNewerL, 6, "newer.txt", 0},
      {&TJobData::idxSingleL, -1, "single_l.txt", 0},
  };
  TTwoTrees t;
  EveryClass(t);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " = " + std::to_string(c.value));
    TJobData job = t.Job();
    job.*c.field = c.value;
    TScanInfo info;
    RunJob(info, job);
    for (const auto& [name, action] : Actions(info))
      EXPECT_EQ(name == c.name ? c.action : 0, action) << name;
  }
  // Both "delete equal" choices together delete both files.
  TJobData job = t.Job();
  job.idxEqualL = job.idxEqualR = 1;
  TScanInfo info;
  RunJob(info, job);
  EXPECT_EQ(paDeleteBoth, Actions(info).at("equal.txt"));
}

TEST(Plan, EmptyFolderCascadesAndCreation) {
  struct TCase {
    const char* what;
    void (*tree)(const TTwoTrees&);
    void (*job)(TJobData&);
    std::map<std::string, int> actions;
  };
  const TCase cases[] = {
      {"a deleted file empties a left-only chain, removed upwards",
       [](const TTwoTrees& t) {
         t.BothRoots();
         t.File(kLeft, "a/b/only.txt");
         t.File(kLeft, "keep/k.txt");
         t.File(kRight, "keep/k.txt");
       },
       [](TJobData& j) {
         j.idxSingleL = 2;
         j.Empty_RemoveL = true;
       },
       {{"a/", 8}, {"a/b/", 8}, {"a/b/only.txt", 1}, {"keep/", 0}, {"", 0}}},
      {"mirror removes a right-only chain emptied by deletions",
       [](const TTwoTrees& t) {
         t.BothRoots();
         t.File(kRight, "r1/r2/f.txt");
         t.File(kRight, "r1/g.txt");
       },
       [](TJobData& j) { ApplyMethod(j, kMethodMirrorL); },
       {{"r1/", 9}, {"r1/r2/", 9}, {"r1/r2/f.txt", 2}, {"r1/g.txt", 2}}},
      {"a copied file creates only its own folder of a left-only chain",
       [](const TTwoTrees& t) {
         t.BothRoots();
         t.File(kLeft, "a/b/c/f.txt");
       },
       [](TJobData& j) { j.idxSingleL = 1; },
       {{"a/", 0}, {"a/b/", 0}, {"a/b/c/", 12}, {"a/b/c/f.txt", 4}}},
      {"empty left-only chain: the deepest folder is copied",
       [](const TTwoTrees& t) {
         t.BothRoots();
         t.Folder(kLeft, "e1/e2");
       },
       [](TJobData& j) { j.Empty_CopyL = true; },
       {{"e1/", 0}, {"e1/e2/", 12}}},
      {"remove and copy empty left-only folder",
       [](const TTwoTrees& t) {
         t.BothRoots();
         t.Folder(kLeft, "e");
         t.Folder(kRight, "f");
       },
       [](TJobData& j) {
         j.Empty_RemoveL = j.Empty_CopyL = j.Empty_RemoveR = j.Empty_CopyR = true;
       },
       {{"e/", 13}, {"f/", 14}}},
      {"matched folder empty on both sides keeps action 0 with all four flags",
       [](const TTwoTrees& t) {
         t.Folder(kLeft, "m");
         t.Folder(kRight, "m");
       },
       [](TJobData& j) {
         j.Empty_RemoveL = j.Empty_CopyL = j.Empty_RemoveR = j.Empty_CopyR = true;
       },
       {{"m/", 0}}},
      {"matched folder empty on both sides, only removal",
       [](const TTwoTrees& t) {
         t.Folder(kLeft, "m");
         t.Folder(kRight, "m");
       },
       [](TJobData& j) { j.Empty_RemoveL = j.Empty_RemoveR = true; },
       {{"m/", 10}}},
      {"filtered-out files keep their folder from being empty",
       [](const TTwoTrees& t) {
         t.BothRoots();
         t.File(kLeft, "tmp/only.tmp");
         t.File(kLeft, "gone/x.txt");
       },
       [](TJobData& j) {
         j.FileFilter.FLT_Include = "*.txt";
         j.idxSingleL = 2;
         j.Empty_RemoveL = true;
       },
       {{"tmp/", 0}, {"gone/", 8}, {"gone/x.txt", 1}}},
      {"an excluded subfolder keeps its parent from being empty",
       [](const TTwoTrees& t) {
         t.BothRoots();
         t.File(kLeft, "keep/Backup/deep/file.txt");
         t.Folder(kLeft, "bare");
       },
       [](TJobData& j) {
         j.FolderFilter.AddPattern("backup");
         ApplyMethod(j, kMethodMirrorR);
       },
       {{"keep/", 0}, {"bare/", 8}}},
      {"both roots missing: the right root is not removed",
       [](const TTwoTrees&) {},
       [](TJobData& j) { ApplyMethod(j, kMethodMirrorL); },
       {{"", 0}}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    TTwoTrees t;
    c.tree(t);
    TJobData job = t.Job();
    c.job(job);
    TScanInfo info;
    RunJob(info, job);
    for (const auto& [name, action] : c.actions) {
      const int32_t i = FindItem(info.Items(), name);
      ASSERT_GE(i, 0) << name;
      EXPECT_EQ(action, info.Items().Action(i)) << name;
    }
  }
}

TEST(Plan, ExcludedSubtreeIsNeitherRecordedNorDescended) {
  TTwoTrees t;
  t.BothRoots();
  t.File(kLeft, "keep/Backup/deep/file.txt");
  t.File(kLeft, "keep/TEMPORARY/x.txt");
  TJobData job = t.Job(kMethodMirrorL);
  job.FolderFilter.AddPattern("backup");
  job.FolderFilter.AddPattern("TEMP*");
  TScanInfo info;
  RunJob(info, job);
  EXPECT_EQ(2, info.Items().Count());  // the root, keep/ and nothing below it
  const TFolderEntry* keep =
      info.Folder(info.Items().Index(FindItem(info.Items(), "keep/"), kLeft));
  ASSERT_NE(nullptr, keep);
  EXPECT_EQ(2, keep->subfolders_found);
  EXPECT_EQ(0, info.Plan().Count());  // nothing to copy, and keep/ is not empty
}

/// Mirror left to right over a pair whose left or right root is missing.
TEST(Plan, MissingRootNeverDeletesTheOtherSide) {
  {
    SCOPED_TRACE("left root missing");
    TTwoTrees t;
    t.File(kRight, "a.txt");
    t.File(kRight, "sub/b.txt");
    t.Folder(kRight, "empty");
    TScanInfo info;
    RunJob(info, t.Job(kMethodMirrorL));
    EXPECT_FALSE(info.RootExists(0, kLeft));
    EXPECT_TRUE(info.RootExists(0, kRight));
    EXPECT_EQ(0, info.Plan().Count());
    EXPECT_EQ(4, info.DroppedByMissingRoot(0));  // two files and two folders
    EXPECT_NE(std::string::npos, info.MissingRootLine(0).find(t.Root(kLeft) + "/"));
    EXPECT_EQ(0, info.PlanCounters().count[paDeleteRight]);
  }
  {
    SCOPED_TRACE("right root missing");
    TTwoTrees t;
    t.File(kLeft, "a.txt", "aaa");
    t.File(kLeft, "sub/b.txt", "bb");
    t.Folder(kLeft, "empty");
    TScanInfo info;
    RunJob(info, t.Job(kMethodMirrorL));
    const TItemList items = info.Items();
    const std::map<std::string, int> expected = {
        {"", 12}, {"a.txt", 4}, {"sub/", 12}, {"sub/b.txt", 4}, {"empty/", 12}};
    for (const auto& [name, action] : expected)
      EXPECT_EQ(action, items.Action(FindItem(items, name))) << name;
    EXPECT_EQ(0, info.DroppedByMissingRoot(0));
    EXPECT_EQ(3, info.PlanCounters().folders_to_create[kRight]);
    EXPECT_EQ(2, info.PlanCounters().count[paCopyToRight]);
    EXPECT_EQ(5u, info.PlanCounters().bytes[paCopyToRight][kLeft]);
    const int32_t root = FindItem(info.Plan(), "");
    ASSERT_GE(root, 0);
    EXPECT_EQ(t.Root(kRight) + "/", info.Plan().FolderPath(root, kRight).path);
  }
  {
    SCOPED_TRACE("an existing empty root is synchronized as usual");
    TTwoTrees t;
    t.Folder(kLeft, "");
    t.File(kRight, "a.txt");
    TScanInfo info;
    RunJob(info, t.Job(kMethodMirrorL));
    EXPECT_EQ(paDeleteRight, info.Items().Action(FindItem(info.Items(), "a.txt")));
    EXPECT_EQ("", info.MissingRootLine(0));
  }
  {
    SCOPED_TRACE("update with the left root missing copies and creates the root");
    TTwoTrees t;
    t.File(kRight, "a.txt");
    TScanInfo info;
    RunJob(info, t.Job(kMethodUpdate));
    EXPECT_EQ(paCopyToLeft, info.Items().Action(FindItem(info.Items(), "a.txt")));
    EXPECT_EQ(paCreateLeft, info.Items().Action(FindItem(info.Items(), "")));
  }
}

TEST(Plan, PlanListHoldsTheFolderOfEveryPlannedFileAndCountsIt) {
  TTwoTrees t;
  EveryClass(t);
  t.File(kLeft, "sub/new.txt", "12345");
  t.File(kRight, "sub/new.txt", "1234", -50);
  t.File(kLeft, "sub/same.txt");
  t.File(kRight, "sub/same.txt");
  TScanInfo info;
  RunJob(info, t.Job(kMethodMirrorL));
  const TItemList plan = info.Plan();
  std::string listed;
  for (int32_t i = 0; i < plan.Count(); ++i) {
    EXPECT_TRUE(plan.IsFolder(i) || plan.Action(i) != 0);
    listed += std::string(plan.RelativePath(i)) +
              (plan.IsFile(i) ? std::string(plan.FileName(i, kLeft)) : "") + ";";
  }
  // Sorted by name within each folder: the root before its files, empty_r/ (9) after the
  // root's files, empty_l/ (12), and sub/ (action 0) before its one planned file.
  EXPECT_EQ(";newer.txt;older.txt;same.txt;single_l.txt;?name;empty_l/;empty_r/;sub/;sub/new.txt;",
            listed);
  const TPlanCounters& c = info.PlanCounters();
  EXPECT_EQ(1, c.count[paCopyToRight]);
  EXPECT_EQ(1u, c.bytes[paCopyToRight][kLeft]);
  EXPECT_EQ(1, c.count[paDeleteRight]);
  EXPECT_EQ(2u, c.bytes[paDeleteRight][kRight]);
  EXPECT_EQ(4, c.count[paOverwriteRight]);
  EXPECT_EQ(1u + 1 + 2 + 5, c.bytes[paOverwriteRight][kLeft]);
  EXPECT_EQ(1u + 1 + 3 + 4, c.bytes[paOverwriteRight][kRight]);
  EXPECT_EQ(1, c.folders_to_create[kRight]);
  EXPECT_EQ(1, c.folders_to_remove[kRight]);
  EXPECT_EQ(5, c.files_with_side[kLeft]);
  EXPECT_EQ(5, c.files_with_side[kRight]);
}

}  // namespace
}  // namespace twn::test
