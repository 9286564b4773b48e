// The synchronization plan: actions of the five methods and of custom choices, empty-folder
// cascades, folder creation for copies, missing roots, the plan list and its counters.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/engine_fixture.h"

namespace twn::test {
namespace {

/// One file or folder of every class, and an empty folder on each side only.
void EveryClass(const TTwoTrees& t) {
  t.Make({"L:equal.txt", "R:equal.txt", "L:empty_l/", "R:empty_r/"});
  t.File(kLeft, "single_l.txt", "l");
  t.File(kRight, "single_r.txt", "rr");
  t.File(kLeft, "newer.txt", "x", 100);
  t.File(kRight, "older.txt", "x", 100);
  t.Make({"R:newer.txt", "L:older.txt"});
  t.File(kLeft, "same.txt", "xx");
  t.File(kRight, "same.txt", "xxx");
}

constexpr const char* kEveryClassNames[] = {"",          "single_l.txt", "single_r.txt",
                                            "newer.txt", "older.txt",    "equal.txt",
                                            "same.txt",  "empty_l/",     "empty_r/"};

/// The actions of the items of EveryClass, in kEveryClassNames order (the root first).
std::vector<int> Actions(const TScanInfo& info) {
  std::vector<int> actions;
  for (const char* name : kEveryClassNames) actions.push_back(ActionOf(info, name));
  return actions;
}

TEST(Plan, ActionsOfTheFiveMethods) {
  const std::pair<int32_t, std::vector<int>> cases[] = {
      {kMethodMirrorL, {0, 4, 2, 7, 7, 0, 7, 12, 9}},
      {kMethodMirrorR, {0, 1, 5, 6, 6, 0, 6, 8, 11}},
      {kMethodBackupL, {0, 4, 0, 7, 7, 0, 7, 12, 0}},
      {kMethodBackupR, {0, 0, 5, 6, 6, 0, 6, 0, 11}},
      {kMethodUpdate, {0, 4, 5, 7, 6, 0, 0, 12, 11}},
      {kMethodNone, {0, 0, 0, 0, 0, 0, 0, 0, 0}},
  };
  TTwoTrees t;
  EveryClass(t);
  for (const auto& [method, actions] : cases) {
    TScanInfo info;
    RunJob(info, t.Job(method));
    EXPECT_EQ(actions, Actions(info)) << method;
  }
}

TEST(Plan, ActionsOfCustomChoices) {
  // Each choice of a field, from 1 on; values outside the list plan nothing.
  const struct {
    int32_t TJobData::*field;
    const char* name;
    std::vector<int> actions;
  } cases[] = {
      {&TJobData::idxNewerL, "newer.txt", {7, 6, 1, 2, 3}},
      {&TJobData::idxNewerR, "older.txt", {7, 6, 1, 2, 3}},
      {&TJobData::idxEqualDate, "same.txt", {7, 6, 1, 2, 3}},
      {&TJobData::idxEqualL, "equal.txt", {1}},
      {&TJobData::idxEqualR, "equal.txt", {2}},
      {&TJobData::idxSingleL, "single_l.txt", {4, 1}},
      {&TJobData::idxSingleR, "single_r.txt", {5, 2}},
  };
  TTwoTrees t;
  EveryClass(t);
  for (const auto& c : cases) {
    const int32_t count = static_cast<int32_t>(c.actions.size());
    for (int32_t value = -1; value <= count + 1; ++value) {
      SCOPED_TRACE(std::string(c.name) + " = " + std::to_string(value));
      TJobData job = t.Job();
      job.*c.field = value;
      TScanInfo info;
      RunJob(info, job);
      const int expected = value >= 1 && value <= count ? c.actions[value - 1] : 0;
      const std::vector<int> got = Actions(info);
      for (size_t k = 0; k < got.size(); ++k)
        EXPECT_EQ(kEveryClassNames[k] == std::string_view(c.name) ? expected : 0, got[k])
            << kEveryClassNames[k];
    }
  }
  // Both "delete equal" choices together delete both files.
  TJobData job = t.Job();
  job.idxEqualL = job.idxEqualR = 1;
  TScanInfo info;
  RunJob(info, job);
  EXPECT_EQ(paDeleteBoth, ActionOf(info, "equal.txt"));
}

TEST(Plan, EmptyFolderCascadesAndCreation) {
  struct TSettings {
    int32_t method = kMethodCustom;
    int32_t single_l = 0;
    bool remove_l = false, copy_l = false, remove_r = false, copy_r = false;
    const char* include = "*.*";
  };
  const struct {
    const char* what;
    std::vector<std::string_view> tree;
    TSettings set;
    std::map<std::string, int> actions;
  } cases[] = {
      {"a deleted file empties a left-only chain, removed upwards",
       {"L:", "R:", "L:a/b/only.txt", "L:keep/k.txt", "R:keep/k.txt"},
       {.single_l = 2, .remove_l = true},
       {{"a/", 8}, {"a/b/", 8}, {"a/b/only.txt", 1}, {"keep/", 0}, {"", 0}}},
      {"mirror removes a right-only chain emptied by deletions",
       {"L:", "R:", "R:r1/r2/f.txt", "R:r1/g.txt"},
       {.method = kMethodMirrorL},
       {{"r1/", 9}, {"r1/r2/", 9}, {"r1/r2/f.txt", 2}, {"r1/g.txt", 2}}},
      {"a copied file creates only its own folder of a left-only chain",
       {"L:", "R:", "L:a/b/c/f.txt"},
       {.single_l = 1},
       {{"a/", 0}, {"a/b/", 0}, {"a/b/c/", 12}, {"a/b/c/f.txt", 4}}},
      {"empty left-only chain: the deepest folder is copied",
       {"L:", "R:", "L:e1/e2/"},
       {.copy_l = true},
       {{"e1/", 0}, {"e1/e2/", 12}}},
      {"remove and copy empty one-sided folders",
       {"L:", "R:", "L:e/", "R:f/"},
       {.remove_l = true, .copy_l = true, .remove_r = true, .copy_r = true},
       {{"e/", 13}, {"f/", 14}}},
      {"matched folder empty on both sides keeps action 0 with all four flags",
       {"L:m/", "R:m/"},
       {.remove_l = true, .copy_l = true, .remove_r = true, .copy_r = true},
       {{"m/", 0}}},
      {"matched folder empty on both sides, only removal",
       {"L:m/", "R:m/"},
       {.remove_l = true, .remove_r = true},
       {{"m/", 10}}},
      {"filtered-out files keep their folder from being empty",
       {"L:", "R:", "L:tmp/only.tmp", "L:gone/x.txt"},
       {.single_l = 2, .remove_l = true, .include = "*.txt"},
       {{"tmp/", 0}, {"gone/", 8}, {"gone/x.txt", 1}}},
      {"both roots missing: the right root is not removed",
       {},
       {.method = kMethodMirrorL},
       {{"", 0}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TTwoTrees t;
    t.Make(c.tree);
    const TSettings& s = c.set;
    TJobData job = t.Job(s.method);
    if (s.single_l) job.idxSingleL = s.single_l;
    job.Empty_RemoveL |= s.remove_l;
    job.Empty_CopyL |= s.copy_l;
    job.Empty_RemoveR |= s.remove_r;
    job.Empty_CopyR |= s.copy_r;
    job.FileFilter.FLT_Include = s.include;
    TScanInfo info;
    RunJob(info, job);
    for (const auto& [name, action] : c.actions) EXPECT_EQ(action, ActionOf(info, name)) << name;
  }
}

TEST(Plan, ExcludedSubtreeIsNeitherRecordedNorDescendedYetKeepsItsParent) {
  TTwoTrees t;
  t.Make({"L:", "R:", "L:keep/Backup/deep/file.txt", "L:keep/TEMPORARY/x.txt", "L:bare/"});
  TJobData job = t.Job(kMethodMirrorR);
  job.FolderFilter.AddPattern("backup");
  job.FolderFilter.AddPattern("TEMP*");
  TScanInfo info;
  RunJob(info, job);
  EXPECT_EQ(3, info.Items().Count());  // the root, keep/, bare/ and nothing below them
  EXPECT_EQ(
      2, info.Folder(info.Items().Index(FindItem(info.Items(), "keep/"), kLeft))->subfolders_found);
  EXPECT_EQ(paNothing, ActionOf(info, "keep/"));  // not empty: it holds excluded folders
  EXPECT_EQ(paRemoveLeft, ActionOf(info, "bare/"));
}

TEST(Plan, MissingRootNeverDeletesTheOtherSide) {
  TTwoTrees gone_left;
  gone_left.Make({"R:a.txt", "R:sub/b.txt", "R:empty/"});
  TScanInfo info;
  RunJob(info, gone_left.Job(kMethodMirrorL));
  EXPECT_EQ(0, info.Plan().Count());
  EXPECT_EQ(4, info.DroppedByMissingRoot(0));  // two files and two folders
  EXPECT_NE(std::string::npos, info.MissingRootLine(0).find(gone_left.Root(kLeft) + "/"));
  // Updating instead copies the files back and creates the root.
  RunJob(info, gone_left.Job(kMethodUpdate));
  EXPECT_EQ(paCopyToLeft, ActionOf(info, "a.txt"));
  EXPECT_EQ(paCreateLeft, ActionOf(info, ""));

  // With the right root missing everything is copied into a new one.
  TTwoTrees gone_right;
  gone_right.Make({"L:a.txt", "L:sub/b.txt", "L:empty/"});
  RunJob(info, gone_right.Job(kMethodMirrorL));
  const std::map<std::string, int> expected = {
      {"", 12}, {"a.txt", 4}, {"sub/", 12}, {"sub/b.txt", 4}, {"empty/", 12}};
  for (const auto& [name, action] : expected) EXPECT_EQ(action, ActionOf(info, name)) << name;
  EXPECT_EQ(0, info.DroppedByMissingRoot(0));
  EXPECT_EQ(3, info.PlanCounters().folders_to_create[kRight]);
  // Moving an empty folder (create on the right, remove on the left) keeps only the creation
  // while the right root is missing.
  TJobData move_empty = gone_right.Job(kMethodMirrorL);
  move_empty.Empty_RemoveL = true;
  RunJob(info, move_empty);
  EXPECT_EQ(paCreateRight, ActionOf(info, "empty/"));
  EXPECT_EQ(1, info.DroppedByMissingRoot(0));
  TTwoTrees both_roots;
  both_roots.Make({"L:empty/", "R:"});
  TJobData move_both = both_roots.Job(kMethodMirrorL);
  move_both.Empty_RemoveL = true;
  RunJob(info, move_both);
  EXPECT_EQ(paRemoveLeftCreateRight, ActionOf(info, "empty/"));

  // An existing but empty root is synchronized as usual.
  TTwoTrees emptied;
  emptied.Make({"L:", "R:a.txt"});
  RunJob(info, emptied.Job(kMethodMirrorL));
  EXPECT_EQ(paDeleteRight, ActionOf(info, "a.txt"));
  EXPECT_EQ("", info.MissingRootLine(0));
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

TEST(Plan, WhatStandsInTheWayOfAFileOrFolderOfTheOtherKindGoesFirst) {
  const struct {
    int32_t method;
    std::vector<std::string> way;  // "<relative path> <side>"
  } cases[] = {
      // The right folder x/ gives way to the left file x, the right file y to the folder y/.
      {kMethodMirrorL, {"x/in.txt 1", "x/sub/deep.txt 1", "x/sub/ 1", "x/ 1", "y 1"}},
      {kMethodMirrorR, {"x 0", "y/f.txt 0", "y/ 0"}},
      {kMethodUpdate, {}},  // nothing is deleted, so nothing gives way
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.method);
    TTwoTrees t;
    t.Make({"L:x", "R:x/in.txt", "R:x/sub/deep.txt", "L:y/f.txt", "R:y"});
    TScanInfo info;
    RunJob(info, t.Job(c.method));
    const TItemList plan = info.Plan();
    std::vector<std::string> way;
    for (const TWayEntry& e : info.InTheWay()) {
      const int named = plan.Index(e.plan_index, e.side) >= 0 ? e.side : 1 - e.side;
      std::string text(plan.RelativePath(e.plan_index));
      if (plan.IsFile(e.plan_index)) text += plan.FileName(e.plan_index, named);
      way.push_back(text + " " + std::to_string(e.side));
    }
    EXPECT_EQ(way, c.way);
  }
}

}  // namespace
}  // namespace twn::test
