// The job list model and the main window over it: the model's contract, a row's cells, a sort
// by header click that keeps the selection, and the status bar's panels.
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtTest/QAbstractItemModelTester>
#include <QtTest/QSignalSpy>
#include <QtTest/QTest>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QTableView>

#include "gui/host/qt_run_host.h"
#include "gui/main/job_list_model.h"
#include "gui/main/main_window.h"

namespace twn::gui {

class JobListModelTest : public QObject {
  Q_OBJECT

 private:
  TJob& Add(const char* name, TJobState state, int32_t frequency) {
    auto& job = *jobs_.emplace_back(std::make_unique<TJob>(int32_t(jobs_.size() + 1), 0));
    job.Data.JobName = name;
    job.Data.Frequency = frequency;
    job.State = state;
    job.bHasNextRun = frequency != kFreqManual;
    job.NextRun = 46000.5 + double(jobs_.size());
    return job;
  }
  static QString Cell(const QAbstractItemModel& model, int row, int column) {
    return model.index(row, column).data().toString();
  }
  QLabel* Panel(const MainWindow& window, const char* name) {
    return window.findChild<QLabel*>(name);
  }

  QTemporaryDir folder_;
  TSettings settings_{QFile::encodeName(folder_.path()).toStdString()};
  TJobList& jobs_ = settings_.Jobs;
  TQtRunHost host_;

 private slots:
  void init() {
    jobs_.clear();
    Add("Mail", jsWaiting, kFreqMinutes);
    TJob& running = Add("Photos", jsExecuting, kFreqHours);
    running.Progress.Stage = rsCopying;
    running.Progress.KbToCopy = 2048;
    running.Progress.KbCopied = 1024;
    Add("Documents", jsNothing, kFreqManual);
    Add("Ärchiv", jsWaiting, kFreqDays);
  }

  void passesTheModelTesterThroughRefreshSortAndReset() {
    JobListModel model(jobs_, TJobOrder{});
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QCOMPARE(model.rowCount(), 4);
    QCOMPARE(model.columnCount(), 5);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.RefreshRows({1, 7, -1});
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed[0][0].toModelIndex().row(), 1);
    QCOMPARE(changed[0][1].toModelIndex().column(), int(JobListModel::ColProgress));
    QVERIFY(model.ColumnClick(JobListModel::ColState));
    QVERIFY(!model.ColumnClick(JobListModel::ColProgress));
    jobs_.pop_back();
    model.JobsReset();
    QCOMPARE(model.rowCount(), 3);
  }

  void rowCellsShowTheCoreTexts() {
    JobListModel model(jobs_, TJobOrder{});
    QCOMPARE(Cell(model, 1, JobListModel::ColName), QString("Photos"));
    QCOMPARE(Cell(model, 1, JobListModel::ColLastRun), QString("-"));
    QCOMPARE(Cell(model, 1, JobListModel::ColNextRun), QString::fromUtf8(NextRunText(*jobs_[1])));
    QCOMPARE(Cell(model, 1, JobListModel::ColState), QString("executing"));
    QCOMPARE(Cell(model, 1, JobListModel::ColProgress), QString("Copying: 1 024 of 2 048 Kb"));
    QCOMPARE(Cell(model, 2, JobListModel::ColNextRun), QString("Manual"));
    QCOMPARE(Cell(model, 0, JobListModel::ColProgress), QString());
    QCOMPARE(Cell(model, 3, JobListModel::ColName), QString::fromUtf8("Ärchiv"));
    // Three distinct state icons, one per state.
    const auto icon = [&](int row) {
      return model.index(row, 0).data(Qt::DecorationRole).value<QIcon>().pixmap(16).toImage();
    };
    QVERIFY(!icon(0).isNull());
    QVERIFY(icon(0) != icon(1));
    QVERIFY(icon(1) != icon(2));
    QVERIFY(icon(0) != icon(2));
    QVERIFY(icon(0) == icon(3));
    QVERIFY(!model.index(0, 1).data(Qt::DecorationRole).isValid());
  }

  void headerClickSortsFlipsThePrefixAndKeepsTheSelection() {
    MainWindow window(settings_, host_);
    QHeaderView* header = window.JobList()->horizontalHeader();
    const auto caption = [&](int column) {
      return window.Model()->headerData(column, Qt::Horizontal).toString();
    };
    QCOMPARE(caption(0), QString("< Job name"));
    QCOMPARE(caption(1), QString("Last run"));
    window.JobList()->selectRow(1);  // Photos

    emit header->sectionClicked(JobListModel::ColName);
    QCOMPARE(caption(0), QString("> Job name"));
    QCOMPARE(Cell(*window.Model(), 3, 0), QString("Documents"));
    QModelIndexList rows = window.JobList()->selectionModel()->selectedRows();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(Cell(*window.Model(), rows[0].row(), 0), QString("Photos"));

    emit header->sectionClicked(JobListModel::ColName);
    QCOMPARE(caption(0), QString("< Job name"));
    QCOMPARE(Cell(*window.Model(), 0, 0), QString("Documents"));
    rows = window.JobList()->selectionModel()->selectedRows();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(Cell(*window.Model(), rows[0].row(), 0), QString("Photos"));

    emit header->sectionClicked(JobListModel::ColProgress);  // not sortable
    QCOMPARE(caption(0), QString("< Job name"));
    QCOMPARE(caption(4), QString("Progress"));
  }

  void statusBarShowsCountsOrTheOneSelectedJob() {
    MainWindow window(settings_, host_);
    QLabel* name = Panel(window, "statusJobName");
    QLabel* status = Panel(window, "statusText");
    QVERIFY(name && status);
    QVERIFY(name->isHidden());
    QCOMPARE(status->text(), QString("4 Jobs:  1 executing, 2 sheduled"));

    window.JobList()->selectRow(2);
    QVERIFY(!name->isHidden());
    QCOMPARE(name->text(), QString("Documents"));
    QCOMPARE(status->text(), QString(" manual run"));

    window.JobList()->selectAll();
    QVERIFY(name->isHidden());
    QCOMPARE(status->text(), QString("4 Jobs:  1 executing, 2 sheduled, 4 selected"));

    window.JobList()->clearSelection();
    QVERIFY(name->isHidden());
    QCOMPARE(status->text(), QString("4 Jobs:  1 executing, 2 sheduled"));
  }
};

}  // namespace twn::gui

QTEST_MAIN(twn::gui::JobListModelTest)
#include "job_list_model_test.moc"
