// The main window as a user drives it: which commands are enabled, Delete waiting for a run,
// the scheduler starting a due job, a command-line run closing the program, and closing while
// a run is going on. Runs are real, over small scratch trees.
#include <QtTest/QtTest>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QTableView>
#include <filesystem>

#include "app/settings.h"
#include "gui/host/qt_run_host.h"
#include "gui/main/job_list_model.h"
#include "gui/main/main_actions.h"
#include "gui/main/main_window.h"
#include "gui/main/run_driver.h"
#include "gui/main/tray.h"
#include "gui/main/tutorials_panel.h"
#include "gui/support/fake_message_boxes.h"
#include "gui/wizard/job_wizard.h"
#include "gui/wizard/summary_page.h"
#include "model/method_presets.h"
#include "support/run_fixture.h"
#include "support/test_support.h"

namespace twn::gui {

namespace {

int FilesIn(const std::string& folder) {
  std::error_code error;
  int count = 0;
  for (auto it = std::filesystem::directory_iterator(folder, error);
       !error && it != std::filesystem::directory_iterator(); ++it)
    ++count;
  return count;
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::TempDir> dir_;
  std::unique_ptr<TSettings> settings_;
  std::unique_ptr<TQtRunHost> host_;
  FakeMessageBoxes boxes_;

  std::string LogFolder() const { return settings_->MainLogFolder; }
  std::string Ini() const { return test::ReadFile(settings_->FilePath()); }

  // A job over two scratch folders with a file to copy, so that its run has work and a log.
  TJob& AddJob(const std::string& name) {
    const std::string left = *dir_ / (name + "-L"), right = *dir_ / (name + "-R");
    test::WriteFile(left + "/a.txt", "a");
    test::MakeDirs(right);
    return *settings_->Jobs.emplace_back(test::MakeJob(name, left, right, 0));
  }
  // Runs a command and, once its modal window shows, `act` on it; false when none showed.
  bool WithModal(MainWindow& window, TMainCommand command,
                 const std::function<void(QWidget*)>& act) {
    bool shown = false;
    QTimer poll;
    poll.callOnTimeout([&] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal) return;
      poll.stop();
      shown = true;
      act(modal);
    });
    poll.start(5);
    window.Run(command);  // returns when the modal window has been closed
    return shown;
  }
  bool Enabled(MainWindow& window, TMainCommand command) {
    return window.Actions().Action(command)->isEnabled();
  }

 private slots:
  void init() {
    dir_ = std::make_unique<test::TempDir>();
    settings_ = std::make_unique<TSettings>(dir_->path());
    host_ = std::make_unique<TQtRunHost>();
    boxes_.answer = true;
    boxes_.texts.clear();
    boxes_.titles.clear();
  }
  void cleanup() {
    settings_.reset();  // jobs before the host that serves their runs
    host_.reset();
    dir_.reset();
  }

  void commandsFollowTheSelection() {
    AddJob("Idle");
    AddJob("Waiting").State = jsWaiting;
    MainWindow window(*settings_, *host_);
    struct Row {
      std::vector<int> rows;
      bool remove, duplicate, execute, stop, selectAll, visualRun, edit;
    } const table[] = {
        {{}, false, false, false, false, true, false, false},
        {{0}, true, true, true, false, true, true, true},
        {{1}, false, true, true, true, true, true, true},
        {{0, 1}, true, false, true, true, true, false, false},
    };
    for (const Row& row : table) {
      window.JobList()->clearSelection();
      for (const int r : row.rows)
        window.JobList()->selectionModel()->select(
            window.Model()->index(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
      const QByteArray where = QByteArray::number(qsizetype(row.rows.size())) + " rows";
      QVERIFY2(Enabled(window, cmDelete) == row.remove, where);
      QVERIFY2(Enabled(window, cmDuplicate) == row.duplicate, where);
      QVERIFY2(Enabled(window, cmExecute) == row.execute, where);
      QVERIFY2(Enabled(window, cmStop) == row.stop, where);
      QVERIFY2(Enabled(window, cmSelectAll) == row.selectAll, where);
      QVERIFY2(Enabled(window, cmVisualRun) == row.visualRun, where);
      QVERIFY2(Enabled(window, cmEdit) == row.edit, where);
      QVERIFY2(Enabled(window, cmNew), where);
      QVERIFY(Enabled(window, cmAdjustColumns) && Enabled(window, cmClose));
    }
  }

  void eachWindowCommandOpensItsWindowOnTheSelectedJob() {
    AddJob("Only");
    MainWindow window(*settings_, *host_);
    window.show();
    window.JobList()->selectRow(0);
    const std::pair<TMainCommand, const char*> table[] = {{cmQuickInfo, "quickInfo"},
                                                          {cmLogViewer, "Tform_LogViewer"},
                                                          {cmOptions, "options"},
                                                          {cmCreateShortcut, "createShortcut"},
                                                          {cmVisualRun, "VisualRunWindow"}};
    for (const auto& [command, name] : table) {
      QString opened;
      QTimer::singleShot(0, [&opened] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        opened = modal->objectName();
        modal->close();
      });
      window.Run(command);  // returns when the modal window has been closed
      QCOMPARE(opened, QString(name));
    }
  }

  void deleteOfARunningJobWaitsForItsEndAndItsLogs() {
    AddJob("Busy");
    AddJob("Idle");
    MainWindow window(*settings_, *host_);
    window.JobList()->selectRow(0);
    window.Run(cmExecute);
    QVERIFY(settings_->Jobs[0]->Running());
    window.JobList()->selectAll();  // an idle job in the selection enables Delete
    window.Run(cmDelete);           // returns once the run has ended and been handled
    QCOMPARE(boxes_.titles.value(0), QString("Confirm job deleting"));
    QCOMPARE(settings_->Jobs.size(), size_t(0));
    QVERIFY(FilesIn(LogFolder()) > 0);
    QCOMPARE(window.Model()->rowCount(), 0);
  }

  // Visual run opens only once the listed job's run has ended: its runs use the same folders.
  void visualRunAsksForAWaitingJobAndWaitsForAnEndingRun() {
    TJob& waiting = AddJob("Waiting");
    waiting.Data.Frequency = kFreqHours;
    waiting.State = jsWaiting;
    TJob& ending = AddJob("Ending");
    MainWindow window(*settings_, *host_);
    window.JobList()->selectRow(window.Model()->RowOf(ending.JobID));
    window.Run(cmExecute);
    window.Run(cmStop);  // shows "nothing" at once while its worker is still ending
    QVERIFY(ending.Running());
    for (const auto& [job, question] : {std::pair{&waiting, true}, {&ending, false}}) {
      boxes_.titles.clear();
      window.JobList()->selectRow(window.Model()->RowOf(job->JobID));
      bool endedFirst = false;
      QTimer poll;
      poll.callOnTimeout([&, job = job] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        endedFirst = !job->Running();
        modal->close();
        poll.stop();
      });
      poll.start(5);
      window.Run(cmVisualRun);  // returns when the window has been closed
      QVERIFY(endedFirst);
      QCOMPARE(boxes_.titles.value(0), question ? QString("Confirm Job detailed executing") : "");
      QCOMPARE(job->Data.Frequency, kFreqManual);
    }
  }

  // A new job lands in the list and, once saved, in the settings file; Cancel adds nothing.
  void newOpensTheWizardAndAddsTheSavedJob() {
    AddJob("Existing");
    MainWindow window(*settings_, *host_);
    for (const bool save : {false, true}) {
      const bool shown = WithModal(window, cmNew, [&](QWidget* modal) {
        auto* wizard = qobject_cast<JobWizard*>(modal);
        if (!wizard || !save) return modal->close();
        TJobData& data = wizard->Working();
        data.Pairs.push_back(settings_->Jobs[0]->Data.Pairs[0]);
        ApplyMethod(data, kMethodMirrorL);
        wizard->LoadPages();
        wizard->Save();
        return modal->close();  // when Save refused
      });
      QVERIFY(shown);
      QCOMPARE(settings_->Jobs.size(), size_t(save ? 2 : 1));
    }
    const TJob* added = window.Model()->Watcher().SingleSelected();
    QVERIFY(added && added->Data.JobName == "New Job 1");
    QVERIFY(Ini().find("JobName=New Job 1") != std::string::npos);  // written at once
  }

  void editOfAWaitingJobAsksAndStopsIt() {
    TJob& job = AddJob("Hourly");
    ApplyMethod(job.Data, kMethodMirrorL);
    job.Data.Frequency = kFreqHours;
    job.State = jsWaiting;
    MainWindow window(*settings_, *host_);
    window.JobList()->selectRow(0);
    for (const bool yes : {false, true}) {
      boxes_.answer = yes;
      boxes_.titles.clear();
      const bool shown = WithModal(window, cmEdit, [](QWidget* modal) {
        auto* wizard = qobject_cast<JobWizard*>(modal);
        if (!wizard) return modal->close();
        wizard->Summary()->NameBox()->setEditText("Renamed");
        wizard->Save();
        return modal->close();  // when Save refused
      });
      QCOMPARE(boxes_.titles.value(0), QString("Confirm Job editing"));
      QCOMPARE(shown, yes);
      QCOMPARE(job.Data.Frequency, yes ? kFreqManual : kFreqHours);
    }
    QCOMPARE(job.Data.JobName, std::string("Renamed"));
    QCOMPARE(job.State, jsNothing);
  }

  void aWaitingJobIsNotDeletedAndKeepsNoMark() {
    AddJob("Waiting").State = jsWaiting;
    AddJob("Idle");
    MainWindow window(*settings_, *host_);
    window.JobList()->selectAll();
    window.Run(cmDelete);
    QCOMPARE(settings_->Jobs.size(), size_t(1));
    QVERIFY(!settings_->Jobs[0]->bMarkedForDelete);
  }

  void duplicateMakesAManualCopyWithoutTheLogHistory() {
    TJob& source = AddJob("Backup");
    source.Data.Frequency = kFreqHours;
    source.Data.LogHistory = {"/logs/backup.log"};
    AddJob("Backup 1");
    MainWindow window(*settings_, *host_);
    window.JobList()->selectRow(0);
    window.Run(cmDuplicate);
    QCOMPARE(settings_->Jobs.size(), size_t(3));
    const TJob* copy = settings_->Jobs.back()->Data.JobName == "Backup 2"
                           ? settings_->Jobs.back().get()
                           : settings_->Jobs[2].get();
    QCOMPARE(QString::fromStdString(copy->Data.JobName), QString("Backup 2"));
    QCOMPARE(copy->Data.Frequency, kFreqManual);
    QVERIFY(copy->Data.LogHistory.empty());
    const auto rows = window.JobList()->selectionModel()->selectedRows();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(window.Model()->index(rows[0].row(), 0).data().toString(), QString("Backup 2"));
    QVERIFY(Ini().find("JobName=Backup 2") != std::string::npos);  // written at once
    std::filesystem::remove(settings_->FilePath());
    test::MakeDirs(settings_->FilePath());  // a folder where the file should go
    window.Run(cmDuplicate);
    QVERIFY(boxes_.texts.value(0).startsWith("Cannot save the settings file"));
    QCOMPARE(settings_->Jobs.size(), size_t(4));  // the change is kept for the close
  }

  void aDueScheduledJobRunsAndItsLogIsWritten() {
    TJob& job = AddJob("Every minute");
    job.Data.Frequency = kFreqMinutes;
    job.Data.freMinutes = 1;
    job.bFinished = false;  // keep the next run below instead of computing one
    job.bHasNextRun = true;
    job.NextRun = platform::Now() - 1.0 / 86400;
    MainWindow window(*settings_, *host_);
    window.Start({});
    QVERIFY(job.bHasLastRun);
    QTRY_VERIFY(FilesIn(LogFolder()) > 0);
    QTRY_VERIFY(!job.Running());
    QTRY_VERIFY(job.NextRun > platform::Now());  // the next one is in the future again
  }

  void aJobThatRunsWhenFilesChangeRunsAfterAChange() {
    const std::string left = *dir_ / "W-L", right = *dir_ / "W-R";
    test::MakeDirs(left), test::MakeDirs(right);
    TJob& job = *settings_->Jobs.emplace_back(test::MakeJob("W", left, right, kMethodMirrorL));
    job.Data.bRunOnChange = true;
    MainWindow window(*settings_, *host_);
    window.Start({});  // its first tick opens the watch
    test::WriteFile(left + "/new.txt", "n");
    QTRY_COMPARE_WITH_TIMEOUT(test::ReadFile(right + "/new.txt"), std::string("n"), 20000);
    QTRY_VERIFY(!job.Running());
  }

  // A mirror from an empty left side would wipe the right one. A run started by hand asks, Yes
  // runs it again past the guard; a scheduled run is held without a question.
  void theDeletionGuardAsksOnlyAboutARunStartedByHand_data() {
    QTest::addColumn<bool>("by_hand");
    QTest::addColumn<bool>("answer");
    QTest::newRow("by hand, no") << true << false;
    QTest::newRow("by hand, yes") << true << true;
    QTest::newRow("scheduled") << false << true;
  }
  void theDeletionGuardAsksOnlyAboutARunStartedByHand() {
    QFETCH(bool, by_hand);
    QFETCH(bool, answer);
    const std::string left = *dir_ / "L", right = *dir_ / "R";
    test::MakeDirs(left);
    for (int i = 0; i < 12; ++i) test::WriteFile(right + "/f" + std::to_string(i), "x");
    TJob& job = *settings_->Jobs.emplace_back(test::MakeJob("Wipe", left, right, kMethodMirrorL));
    boxes_.answer = answer;
    MainWindow window(*settings_, *host_);
    if (by_hand) {
      window.JobList()->selectRow(0);
      window.Run(cmExecute);
    } else {
      job.Data.Frequency = kFreqMinutes;
      job.Data.freMinutes = 1;
      job.bHasNextRun = true;
      job.NextRun = platform::Now() - 1.0 / 86400;
      window.Start({});
    }
    QTRY_VERIFY(job.bHasLastRun && !job.Running() && !job.bForceRun);
    QTRY_COMPARE(FilesIn(right), by_hand && answer ? 0 : 12);
    const QStringList asked{
        "The Job 'Wipe' asks before synchronizing: the run would delete all 12 files on the "
        "right side (100%), more than the job's limit of 50%. Do you really want to synchronize?"};
    QCOMPARE(boxes_.texts, by_hand ? asked : QStringList{});
  }

  void aCommandLineRunWithCloseAfterRunClosesAndSaves() {
    AddJob("Other");
    AddJob("Stick");
    MainWindow window(*settings_, *host_);
    window.show();
    const std::vector<std::string> args = {"STICK", "/FC"};
    window.Start(args);
    QVERIFY(settings_->Jobs[1]->Running());
    QTRY_VERIFY(!window.isVisible());
    QVERIFY(boxes_.texts.isEmpty());  // no closing question
    QVERIFY(FilesIn(LogFolder()) > 0);
    QVERIFY(Ini().find("Stick") != std::string::npos);
  }

  void anUnknownCommandLineJobIsReportedAndStartUpGoesOn() {
    AddJob("Only");
    MainWindow window(*settings_, *host_);
    const std::vector<std::string> args = {"-sm"};
    window.Start(args);
    QCOMPARE(boxes_.texts.value(0), QString("Job named as '-sm' is not found"));
    QVERIFY(window.Runs().TimerActive());
    QVERIFY(!settings_->Jobs[0]->Running());
  }

  void closingDuringARunWritesItsLogsBeforeSaving() {
    AddJob("Long");
    MainWindow window(*settings_, *host_);
    window.show();
    window.JobList()->selectRow(0);
    window.Run(cmExecute);
    boxes_.answer = false;
    window.close();  // "No": everything goes on
    QCOMPARE(boxes_.titles.value(0), QString("Confirm closing application"));
    QVERIFY(window.isVisible());
    QVERIFY(settings_->Jobs[0]->Running());  // its end is handled by the event loop only
    boxes_.answer = true;
    window.close();
    QVERIFY(!window.isVisible());
    QVERIFY(!settings_->Jobs[0]->Running());
    // The run's log path is in the job's saved log history: the logs came first.
    QVERIFY(!settings_->Jobs[0]->Data.LogHistory.empty());
    const std::string log = settings_->Jobs[0]->Data.LogHistory.front();
    QVERIFY(Ini().find(log.substr(log.rfind('/') + 1)) != std::string::npos);
  }

  void minimisingHidesToTheTrayOnlyWhereThereIsOne() {
    AddJob("Any");
    MainWindow window(*settings_, *host_);
    for (const bool tray : {true, false}) {
      window.TrayIcon().SetAvailable(tray);
      window.showNormal();
      QVERIFY(QTest::qWaitForWindowExposed(&window));
      window.setWindowState(Qt::WindowMinimized);
      QTRY_COMPARE(window.isHidden(), tray);
      QVERIFY(window.isMinimized() || tray);
      emit window.TrayIcon().Chosen(tiActivate);  // a click on the icon
      QVERIFY(window.isVisible());
      QVERIFY(!window.isMinimized());
    }
  }

  void tutorialsPanelAndSortAreSavedAtClose() {
    AddJob("B");
    AddJob("A");
    settings_->bShowTutorials = true;
    MainWindow window(*settings_, *host_);
    window.show();
    QVERIFY(window.Tutorials()->isVisible());
    QSignalSpy topics(&window, &MainWindow::HelpContextRequested);
    QSignalSpy pages(&window, &MainWindow::HelpPageRequested);
    emit window.Tutorials()->findChild<QLabel*>("tutorialLink12")->linkActivated("12");
    window.Run(cmHelpTutorials);
    QCOMPARE(topics.value(0).value(1).toInt(), 12);
    QCOMPARE(pages.value(0).value(1).toString(), QString("tutorials.html"));
    window.Tutorials()->close();  // its close button runs the command
    QVERIFY(!window.Tutorials()->isVisible());
    QVERIFY(!window.Actions().Action(cmShowTutorials)->isChecked());
    emit window.JobList()->horizontalHeader()->sectionClicked(JobListModel::ColNextRun);
    window.close();
    TSettings saved(dir_->path());
    QCOMPARE(saved.LoadSettings(), 0);
    QVERIFY(!saved.bShowTutorials);
    QCOMPARE(saved.SortColumn, int32_t(jcNextRun));
    QCOMPARE(saved.MainWindowState, int32_t(1));
    QVERIFY(saved.MainWidth >= kMainMinWidth);
  }

  void autosizedColumnsShareTheWidthOnEveryResize() {
    AddJob("Any");
    settings_->bAutosizeColumns = true;
    MainWindow window(*settings_, *host_);
    window.show();
    for (const int width : {900, 1300}) {
      window.resize(width, 400);
      const int share = window.JobList()->viewport()->width() / JobListModel::ColumnCount;
      QTRY_COMPARE(window.JobList()->columnWidth(JobListModel::ColLastRun), share);
    }
  }

  void aFileThatCouldNotBeReadIsNeverSavedOver() {
    MainWindow window(*settings_, *host_);
    window.SetMaySave(false);
    window.close();
    QVERIFY(!std::filesystem::exists(settings_->FilePath()));
  }

  void aFailedSaveAsksAndNoKeepsTheWindowOpen() {
    AddJob("Any");
    MainWindow window(*settings_, *host_);
    window.show();
    test::MakeDirs(settings_->FilePath());  // a folder where the file should go
    boxes_.answer = false;
    window.close();
    QVERIFY(window.isVisible());
    QVERIFY(boxes_.texts.value(0).startsWith("Cannot save the settings file"));
    QVERIFY(window.Runs().TimerActive());  // back to work
    boxes_.answer = true;
    window.close();
    QVERIFY(!window.isVisible());
  }
};

}  // namespace twn::gui

QTEST_MAIN(twn::gui::MainWindowTest)
#include "main_window_test.moc"
