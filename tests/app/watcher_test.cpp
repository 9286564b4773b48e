// The job list's view model: status texts, enable rules, order, names and widths.
#include "app/watcher.h"

#include <gtest/gtest.h>

#include <array>

#include "platform/locale.h"

namespace twn {
namespace {

class WatcherTest : public ::testing::Test {
 protected:
  TJob& Add(const std::string& name, TJobState state = jsNothing, bool selected = false) {
    auto job = std::make_unique<TJob>(int32_t(jobs_.size() + 1), 0);
    job->Data.JobName = name;
    job->State = state;
    job->bSelected = selected;
    return *jobs_.emplace_back(std::move(job));
  }
  std::string Names() const {
    std::string names;
    for (const auto& job : jobs_) names += job->Data.JobName + ";";
    return names;
  }

  TJobList jobs_;
  TWatcher watcher_{jobs_};
};

TEST_F(WatcherTest, StatusTextFollowsTheCounts) {
  struct Row {
    TJobState state;
    bool selected;
  };
  const struct {
    std::vector<Row> rows;
    const char* status;
  } cases[] = {
      {{}, "There are no Jobs."},
      {{{jsNothing, false}, {jsExecuting, false}, {jsNothing, false}}, "3 Jobs:  1 executing"},
      {{{jsNothing, false}, {jsNothing, false}}, "2 Jobs"},
      {{{jsWaiting, true}, {jsWaiting, false}, {jsNothing, true}},
       "3 Jobs: 2 sheduled, 2 selected"},
      {{{jsExecuting, true}, {jsWaiting, false}, {jsNothing, true}, {jsNothing, false}},
       "4 Jobs:  1 executing, 1 sheduled, 2 selected"},
      {{{jsExecuting, true}, {jsNothing, true}}, "2 Jobs:  1 executing, 2 selected"},
  };
  for (const auto& c : cases) {
    jobs_.clear();
    for (const Row& r : c.rows) Add("Job", r.state, r.selected);
    watcher_.Recount();
    EXPECT_EQ(watcher_.StatusText(), c.status);
    EXPECT_FALSE(watcher_.TwoPanels()) << c.status;
  }
}

TEST_F(WatcherTest, OneSelectedJobShowsItsNameAndSchedule) {
  Add("Music", jsWaiting);
  Add("Mail", jsNothing, true);
  Add("Photos", jsWaiting);
  watcher_.Recount();
  EXPECT_TRUE(watcher_.TwoPanels());
  EXPECT_EQ(watcher_.JobNameText(), "Mail");
  EXPECT_EQ(watcher_.StatusText(), " manual run");

  TJobData d;
  d.freMinutes = 5;
  d.freHours = 6;
  d.freDays = 7;
  d.StartTime = 0.25;  // 06:00
  const std::pair<int32_t, std::string> phrases[] = {
      {kFreqMinutes, " runs every 5 minutes"},
      {kFreqHours, " runs every 6 hours"},
      {kFreqDaily, " runs once a day at 06:00:00"},
      {kFreqDays, " runs every 7 days"},
      {kFreqManual, " manual run"},
      {9, " manual run"},
  };
  for (const auto& [frequency, phrase] : phrases) {
    d.Frequency = frequency;
    EXPECT_EQ(SchedulePhrase(d), phrase);
  }
}

TEST(WatcherCommands, EnableRulesFollowTheSelection) {
  // total, waiting, executing, selected, selectedWaiting, selectedExecuting
  const struct {
    TJobCounts counts;
    bool edit, del, execute, stop, visual, select_all;
  } cases[] = {
      {{0, 0, 0, 0, 0, 0}, false, false, false, false, false, false},
      {{3, 1, 0, 1, 1, 0}, true, false, true, true, true, true},
      {{3, 0, 1, 1, 0, 1}, true, false, false, true, false, true},
      {{3, 2, 1, 2, 1, 1}, false, false, true, true, false, true},
      {{3, 1, 0, 2, 1, 0}, false, true, true, true, false, true},
      {{3, 0, 0, 0, 0, 0}, false, false, false, false, false, true},
  };
  for (const auto& c : cases) {
    const TCommandStates s = CommandStates(c.counts);
    EXPECT_EQ((std::array{s.Edit, s.Duplicate, s.Delete, s.Execute, s.Stop, s.VisualRun,
                          s.SelectAll, s.LogViewer}),
              (std::array{c.edit, c.edit, c.del, c.execute, c.stop, c.visual, c.select_all,
                          c.select_all}))
        << "row " << &c - cases;
  }
}

TEST(WatcherCells, ProgressTextByStage) {
  TJobSafeProgress p;
  p.FoldersTotal = 1234;
  p.FilesTotal = 1234567;
  p.FoldersCreatedLeft = p.FoldersCreatedRight = INT32_MAX;
  p.FoldersToCreate = 9;
  p.KbCopied = int32_t(0x80000000u);  // 2 TiB: still counted up, not negative
  p.KbToCopy = -1;
  p.FilesDeletedLeft = 1;
  p.FilesDeletedRight = 2;
  p.FilesToDelete = 3000;
  const std::pair<int32_t, std::string> cases[] = {
      {rsScanning, "Scan: 1 234 folders, 1 234 567 files"},
      {rsCreatingFolders, "Created: 4 294 967 294 of 9 folders"},
      {rsCopying, "Copying: 2 147 483 648 of 4 294 967 295 Kb"},
      {rsDeleting, "Deleted: 3 of 3 000 files"},
      {rsRemovingFolders, "Removed: 0 of 0 folders"},
      {rsCompleted, "Done"},
      {rsTerminated, "Aborted"},
      {2, "preparing data..."},
      {9, "preparing data..."},
  };
  for (const auto& [stage, text] : cases) {
    p.Stage = stage;
    EXPECT_EQ(ProgressText(p), text);
  }
}

TEST_F(WatcherTest, RowTextsOnlyWhileUpdatingAndProgressOnlyWhileExecuting) {
  TJob& job = Add("Music", jsWaiting);
  job.Progress.Stage = rsCompleted;
  job.bHasLastRun = true;
  job.LastRun = 46000.5;
  std::array<std::string, kJobListColumns> texts;
  EXPECT_FALSE(watcher_.RowTexts(0, texts));
  watcher_.SetUpdating(true);
  EXPECT_FALSE(watcher_.RowTexts(1, texts));
  ASSERT_TRUE(watcher_.RowTexts(0, texts));
  EXPECT_EQ(texts, (std::array<std::string, kJobListColumns>{
                       "Music", platform::FormatDateTime(46000.5), "Manual", "waiting", ""}));
  job.State = jsExecuting;
  ASSERT_TRUE(watcher_.RowTexts(0, texts));
  EXPECT_EQ(texts[jcProgress], "Done");
}

TEST_F(WatcherTest, HeaderClicksSortAndTurnTheDirection) {
  TJobOrder none{jcState, true};
  EXPECT_FALSE(watcher_.ColumnClick(jcState, none)) << "an empty list ignores clicks";
  EXPECT_TRUE(none.bAscending);
  Add("b").bHasNextRun = true;
  jobs_[0]->NextRun = 2;
  Add("a");
  Add("c").bHasNextRun = true;
  jobs_[2]->NextRun = 1;
  jobs_[0]->bSelected = true;
  TJobOrder order;  // by name, ascending
  EXPECT_FALSE(watcher_.ColumnClick(jcProgress, order));
  EXPECT_EQ(Names(), "b;a;c;");

  const struct {
    std::string names, caption;
  } clicks[] = {{"a;c;b;", "< Next run"}, {"b;c;a;", "> Next run"}};
  for (const auto& click : clicks) {
    EXPECT_TRUE(watcher_.ColumnClick(jcNextRun, order));
    EXPECT_EQ(Names(), click.names);
    EXPECT_EQ(ColumnCaption(jcNextRun, order), click.caption);
    EXPECT_EQ(ColumnCaption(jcName, order), "Job name");
    EXPECT_EQ(watcher_.SelectedRows(), std::vector<int32_t>{int32_t(click.names.find('b') / 2)});
  }
  EXPECT_EQ(ColumnCaption(jcProgress, {jcProgress, true}), "Progress");
}

TEST_F(WatcherTest, EqualJobsKeepAnOrderByNumber) {
  for (int i = 0; i < 5; ++i) Add(i % 2 ? "same" : "SAME");
  std::reverse(jobs_.begin(), jobs_.end());
  for (const int32_t column : {jcName, jcLastRun, jcNextRun, jcState}) {
    for (const bool ascending : {true, false}) {
      watcher_.Sort({column, ascending});
      for (size_t i = 1; i < jobs_.size(); ++i)
        EXPECT_EQ(jobs_[i - 1]->JobID < jobs_[i]->JobID, ascending) << column;
    }
  }
  EXPECT_EQ(CompareJobs(*jobs_[0], *jobs_[0], jcName), 0);
}

TEST_F(WatcherTest, AddedJobIsTheOnlySelectedOne) {
  Add("b", jsNothing, true);
  Add("d");
  auto job = std::make_unique<TJob>(9, 0);
  job->Data.JobName = "c";
  EXPECT_EQ(watcher_.AddJob(std::move(job), {jcName, true}), 1);
  EXPECT_EQ(watcher_.SelectedRows(), std::vector<int32_t>{1});
  ASSERT_NE(watcher_.SingleSelected(), nullptr);
  EXPECT_EQ(watcher_.SingleSelected()->JobID, 9);
}

TEST_F(WatcherTest, SelectAllClearsAFullSelection) {
  Add("a", jsNothing, true);
  Add("b");
  watcher_.SelectAll();
  EXPECT_EQ(watcher_.SelectedRows(), (std::vector<int32_t>{0, 1}));
  EXPECT_EQ(watcher_.SingleSelected(), nullptr);
  watcher_.SelectAll();
  EXPECT_TRUE(watcher_.SelectedRows().empty());
}

TEST_F(WatcherTest, DuplicateTakesTheFirstFreeNumber) {
  const struct {
    std::vector<std::string> names;
    const char* copy;
  } cases[] = {
      {{"Backup"}, "Backup 1"},
      {{"Job", "Job 1"}, "Job 2"},
      {{"Job", " job 1 ", "JOB 2", "Job 4"}, "Job 3"},
  };
  for (const auto& c : cases) {
    jobs_.clear();
    for (const auto& name : c.names) Add(name);
    EXPECT_EQ(DuplicateName(c.names[0], jobs_), c.copy);
  }
}

TEST_F(WatcherTest, NamesSortIgnoringCase) {
  for (const char* name : {"beta", "Gamma", "alpha", "Beta2"}) Add(name);
  EXPECT_EQ(SortedJobNames(jobs_), (std::vector<std::string>{"alpha", "beta", "Beta2", "Gamma"}));
}

TEST(WatcherQuestions, DeleteAsksByCount) {
  EXPECT_EQ(DeleteQuestion(1).Text, "Do you really want to delete selected Job?");
  EXPECT_EQ(DeleteQuestion(3).Text, "You have 3 selected jobs. Do you really want to delete them?");
  EXPECT_NE(EditQuestion("Mail").Text.find("'Mail'"), std::string::npos);
}

TEST(WatcherWidths, AdjustSharesTheWidthWithinLimits) {
  using W = std::array<int32_t, kJobListColumns>;
  EXPECT_EQ(AdjustedColumnWidths(1004), (W{200, 200, 200, 200, 200}));
  EXPECT_EQ(AdjustedColumnWidths(300), (W{60, 60, 60, 60, 100}));
  EXPECT_EQ(AdjustedColumnWidths(100), (W{50, 50, 50, 50, 100}));
  EXPECT_EQ(AdjustedColumnWidths(5000), (W{800, 800, 800, 800, 800}));
}

}  // namespace
}  // namespace twn
