#include "windows/visual_run.h"

#include <gtest/gtest.h>

#include "help/help_topics.h"
#include "run/job.h"
#include "support/run_fixture.h"
#include "support/test_support.h"
#include "windows/visual_run_grid.h"

namespace twn {
namespace {

TEST(VisualRunTest, EveryPhaseButtonRunsItsCommand) {
  struct Case {
    int phase;
    TVisualCommand first, second, close;
  };
  const Case cases[] = {
      {vpReady, vcCompare, vcNothing, vcClose},
      {vpComparing, vcStop, vcNothing, vcClose},
      {vpCompared, vcPreview, vcCompare, vcClose},
      {vpPreview, vcSynchronize, vcBackToCompare, vcClose},
      {vpSynchronizing, vcStop, vcNothing, vcStopAndClose},
      {vpDone, vcNothing, vcNothing, vcClose},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.phase);
    const TPhaseLayout& l = PhaseLayout(c.phase);
    EXPECT_EQ(c.first, CommandOfTag(l.first_tag));
    EXPECT_EQ(c.second, CommandOfTag(l.second_tag));
    EXPECT_EQ(c.close, CommandOfTag(l.close_tag));
    EXPECT_EQ(vcHelp, CommandOfTag(l.help_tag));
    EXPECT_EQ("visual_run_" + std::to_string(c.phase) + ".html", HelpPageOfTag(l.help_tag));
    EXPECT_EQ(HelpPageOfTag(l.help_tag), HelpPageForContext(PhaseHelpContext(c.phase)));
    EXPECT_EQ(c.first == vcNothing, l.first_caption.empty());
    EXPECT_EQ(c.second == vcNothing, l.second_caption.empty());
  }
  EXPECT_EQ(vcQuickInfo, CommandOfTag(kQuickInfoTag));
  EXPECT_EQ(vcNothing, CommandOfTag(0));
  EXPECT_EQ("", HelpPageOfTag(20));
}

TEST(VisualRunTest, NamesAttributesAndHeaders) {
  struct Case {
    std::string_view name, shown_name, shown_ext;
  };
  const Case cases[] = {
      {"README.TXT", "Readme", "txt"},
      {"Photo.JPG", "Photo", "JPG"},
      {"ARCHIVE.TAR.GZ", "Archive.tar", "gz"},
      {"MAKEFILE", "Makefile", ""},
      {"ÄBC.TXT", "ÄBC", "TXT"},  // a byte above 127 counts as lower case
      {".BASHRC", "", "bashrc"},
  };
  for (const Case& c : cases) {
    const std::string shown = DisplayName(c.name);
    EXPECT_EQ(c.shown_name, NamePart(shown)) << c.name;
    EXPECT_EQ(c.shown_ext, ExtPart(shown)) << c.name;
  }
  EXPECT_EQ("a-r-", AttributeText(0x21));
  EXPECT_EQ("-h-s", AttributeText(0x06));
  EXPECT_EQ("----", AttributeText(0x80));
  EXPECT_EQ("Name", GridHeaderText(gcRightName));
  EXPECT_EQ(" Size", GridHeaderText(gcLeftSize, true));
  EXPECT_EQ("Sign", GridHeaderText(gcSign));
  EXPECT_EQ("???", GridHeaderText(kGridColumnCount));
  EXPECT_EQ("???", GridHeaderText(-1));
}

TEST(VisualRunTest, HeaderClicksSortAndMarkTheColumn) {
  struct Step {
    int column;
    bool sorts;
    int key;
    bool left, ascending;
  };
  const Step steps[] = {
      {gcLeftSize, true, skSize, true, true},       {gcLeftSize, true, skSize, true, false},
      {gcRightDate, true, skTime, false, true},     {gcLeftAttr, false, skTime, false, true},
      {gcSign, false, skTime, false, true},         {gcLeftDate, true, skTime, true, false},
      {gcRightExt, true, skExtension, false, true},
  };
  TSortSettings sort;
  for (const Step& s : steps) {
    SCOPED_TRACE(s.column);
    EXPECT_EQ(s.sorts, SortAfterClick(s.column, sort));
    EXPECT_EQ(s.key, sort.key);
    EXPECT_EQ(s.left, sort.prefer_left);
    EXPECT_EQ(s.ascending, sort.ascending);
    for (int column = 0; column < kGridColumnCount; ++column)
      EXPECT_EQ(column == (s.left ? 0 : gcRightName) + s.key, IsSortedColumn(column, sort));
  }
}

TEST(VisualRunTest, PanelsAndStatisticsUseTheReportValues) {
  TClassCounters classes;
  classes.count[ccLeftSingle] = 2;
  classes.bytes[ccLeftSingle][kLeft] = 3072;
  classes.count[ccLeftNewer] = 1;
  classes.bytes[ccLeftNewer][kLeft] = 2048;
  classes.bytes[ccLeftNewer][kRight] = 1000;
  classes.count[ccRightSingle] = 4;  // not a left file
  EXPECT_EQ((std::array<std::string, 2>{"5 Kb in 3 files", "0 Kb in 5 files"}),
            ComparisonTotalsPanels(classes));
  const std::vector<TStatRow> stats = ComparisonStatRows(classes);
  ASSERT_EQ(6u, stats.size());
  EXPECT_EQ("1 [2 048 bytes]", stats[0].left);   // newer on the left
  EXPECT_EQ("1 [1 000 bytes]", stats[1].right);  // older on the right
  EXPECT_EQ("none", stats[2].left);
  EXPECT_EQ("4 [0 bytes]", stats[4].right);
  EXPECT_EQ("3 [5 120 bytes]", stats[5].left);

  TPlanCounters plan;
  plan.count[paCopyToRight] = 2;
  plan.bytes[paCopyToRight][kLeft] = 5000;
  plan.count[paDeleteBoth] = 1;
  plan.count[paDeleteRight] = 3;
  plan.folders_to_create[kRight] = 4;
  plan.folders_to_remove[kLeft] = 1;
  plan.files_with_side[kLeft] = 3;
  plan.bytes_with_side[kLeft] = 10240;
  EXPECT_EQ("10 Kb in 3 files", PlanTotalsPanels(plan)[0]);
  const std::vector<TStatRow> changes = ChangeStatRows(plan);
  ASSERT_EQ(6u, changes.size());
  EXPECT_EQ("2 [5 000 bytes]", changes[0].left);
  EXPECT_EQ("4 [0 bytes]", changes[1].right);
  EXPECT_EQ("4", changes[4].right);
  EXPECT_EQ("none", changes[5].right);

  TJobSafeProgress p;
  p.KbCopied = 3;
  p.FilesCopiedLeft = 1;
  p.FilesToDelete = 5;
  p.FilesDeletedRight = 2;
  p.DeleteErrorsLeft = 1;
  p.FoldersCreatedRight = 4;
  p.RemoveErrorsRight = 1;
  p.BytesCopiedLeftHigh = 1;
  p.BytesCopiedLeftLow = 5;
  const auto lines = SyncProgressLines(p, plan);
  EXPECT_EQ("Copying files: 3 of 0 Kb copied in 1 of 0 files with 0 errors", lines[0].text);
  EXPECT_EQ(4, lines[0].maximum);  // 5000 bytes
  EXPECT_EQ("Deleting files: 2 of 5 deleted with 1 errors", lines[1].text);
  EXPECT_EQ(3, lines[1].position);
  EXPECT_EQ(5, lines[1].maximum);  // both count twice
  EXPECT_EQ(4, lines[2].maximum);
  EXPECT_EQ(1, lines[3].position);
  const auto done = CompletionRows(p);
  EXPECT_EQ("1 [4 294 967 301 bytes]", done[0].right);  // read on the left, copied to the right
  EXPECT_EQ("none", done[0].left);
  EXPECT_EQ("2 [0 bytes]", done[1].right);
  EXPECT_EQ("1", done[1].errors);
  EXPECT_EQ("4", done[2].right);
  EXPECT_EQ("Synchronization is completed: 1 234 operation were performed with 2 errors ",
            CompletedStatus(1234, ProgressErrors(p)));
  const auto labels = ScanProgressLabels(&p);
  EXPECT_EQ("Right files: 0", labels[5]);
  EXPECT_EQ("Right files:", ScanProgressLabels(nullptr)[5]);
}

TEST(VisualRunTest, ColumnWidthsAndFolderFitting) {
  const auto w = GridColumnWidths(1000, {60, 120, 40}, {80, 120, 40});
  EXPECT_EQ(kSignWidth, w[gcSign]);
  EXPECT_EQ(183, w[gcLeftName]);  // three quarters of 465 - 220
  EXPECT_EQ(62, w[gcLeftExt]);
  EXPECT_EQ(80, w[gcRightSize]);
  EXPECT_EQ(465, w[gcRightName] + w[gcRightExt] + 80 + 120 + 40);

  const TTextWidth chars = [](std::string_view s) { return static_cast<int>(s.size()); };
  const TFolderRowText missing{"/home/me/photos/", "2024/summer/july/", true};
  EXPECT_EQ("/home/me/photos/[2024/summer/july/]", FitFolderRow(missing, 40, chars));
  EXPECT_EQ("/.../photos/[.../july/]", FitFolderRow(missing, 26, chars));  // half each
  EXPECT_EQ("/.../b/", FitFolderRow({"/home/a/b/", "", false}, 8, chars));
}

// A real comparison: one matched file 1 s apart, singles, and folders on one side only.
class VisualRunTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::Put(dir / "L/README.TXT", "same", 1'000'000'000);
    test::Put(dir / "R/README.TXT", "same", 1'000'000'001);
    test::Put(dir / "L/big.bin", "12345", 1'000'000'000);
    test::Put(dir / "R/big.bin", "1", 1'000'000'100);
    test::Put(dir / "L/only/left.txt");
    test::MakeDirs(dir / "R/empty");
    job = test::MakeJob("j", dir / "L", dir / "R", kMethodMirrorL);
  }
  int32_t RowOf(std::string_view name) const {
    const TItemList items = job->ScanInfo.Items();
    for (int32_t i = 0; i < items.Count(); ++i)
      if (items.IsFile(i) && items.FileName(i, items.Index(i, kLeft) >= 0 ? kLeft : kRight) == name)
        return i;
    return -1;
  }
  test::TempDir dir;
  std::unique_ptr<TJob> job;
  test::TRunFixture run;
};

TEST_F(VisualRunTreeTest, CellsFontsSignsAndFolderRows) {
  for (bool two_seconds : {true, false}) {
    SCOPED_TRACE(two_seconds);
    job->Data.bRulesNTFS = two_seconds;
    run.Run(*job, rmCompareOnly);
    const TItemList items = job->ScanInfo.Items();
    const TCompareRules& rules = job->ScanInfo.Rules();
    const int32_t readme = RowOf("README.TXT");
    ASSERT_GE(readme, 0);
    EXPECT_EQ("Readme", FileCellText(items, readme, gcRightName));
    EXPECT_EQ("txt", FileCellText(items, readme, gcLeftExt));
    EXPECT_EQ("4", FileCellText(items, readme, gcLeftSize));
    EXPECT_EQ("09/09/01 01:46:41", FileCellText(items, readme, gcRightDate));
    EXPECT_EQ("", FileCellText(items, readme, gcSign));
    EXPECT_FALSE(UsesSideFont(items, readme, gcLeftName, rules));
    EXPECT_FALSE(UsesSideFont(items, readme, gcRightSize, rules));
    EXPECT_EQ(!two_seconds, UsesSideFont(items, readme, gcLeftDate, rules));
    EXPECT_EQ(!two_seconds, UsesSideFont(items, readme, gcRightDate, rules));
    EXPECT_EQ(two_seconds ? 4 : 3, ClassImage(items.Class(readme)));

    const int32_t big = RowOf("big.bin");
    EXPECT_TRUE(UsesSideFont(items, big, gcLeftSize, rules));
    EXPECT_TRUE(UsesSideFont(items, big, gcRightDate, rules));
    EXPECT_FALSE(UsesSideFont(items, big, gcRightAttr, rules));
    EXPECT_TRUE(UsesSideFont(items, RowOf("left.txt"), gcLeftName, rules));
    EXPECT_EQ("", FileCellText(items, RowOf("left.txt"), gcRightName));
  }
  const TItemList items = job->ScanInfo.Items();
  int folders_seen = 0;
  for (int32_t i = 0; i < items.Count(); ++i) {
    if (!items.IsFolder(i) || items.RelativePath(i).empty()) continue;
    ++folders_seen;
    const int missing_side = items.RelativePath(i) == "only/" ? kRight : kLeft;
    const TFolderRowText there = FolderRowText(job->ScanInfo, items, i, 1 - missing_side);
    const TFolderRowText gone = FolderRowText(job->ScanInfo, items, i, missing_side);
    EXPECT_FALSE(there.missing);
    EXPECT_EQ(dir / (missing_side == kRight ? "L/only/" : "R/empty/"), there.root);
    EXPECT_TRUE(gone.missing);
    EXPECT_EQ(dir / (missing_side == kRight ? "R/" : "L/"), gone.root);
    EXPECT_EQ(items.RelativePath(i), gone.relative);
    EXPECT_TRUE(UsesSideFont(items, i, missing_side == kLeft ? gcLeftDate : gcRightName,
                             job->ScanInfo.Rules()));
    EXPECT_FALSE(UsesSideFont(items, i, missing_side == kLeft ? gcRightName : gcLeftName,
                              job->ScanInfo.Rules()));
    EXPECT_EQ(8, ClassImage(items.Class(i)));
  }
  EXPECT_EQ(2, folders_seen);
}

}  // namespace
}  // namespace twn
