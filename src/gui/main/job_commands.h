#pragma once
// The job list's commands that change jobs: Delete, Duplicate, Execute, Stop, Select all and
// Adjust columns. The rules are the view model's; this class asks the questions and keeps the
// view's selection in step with the jobs' marks.
#include <QtCore/QObject>
#include <memory>
#include <set>

#include "app/scheduler.h"
#include "run/job.h"

class QTableView;
class QWidget;

namespace twn::gui {

class JobListModel;
class RunDriver;

class JobCommands : public QObject {
  Q_OBJECT

 public:
  JobCommands(JobListModel& model, QTableView& view, RunDriver& runs, QWidget* owner);

  /// Asks, stops the selected runs, waits for them to end (serving events) and deletes.
  void Delete();
  void Duplicate();
  /// Adds a job to the list as the only selected row and shows it.
  void Add(std::unique_ptr<TJob> job);
  /// Starts the selected jobs. These runs are the user's: one the deletion guard holds is
  /// asked about when it ends, and Yes runs it again past the guard.
  void Execute();
  void Stop();
  void SelectAll();
  void AdjustColumns();
  /// Sorts again by the current order, keeping the selection.
  void Resort();

  /// The view's selection into the jobs' marks.
  void SaveSelection();
  /// The jobs' marks into the view's selection.
  void RestoreSelection();

 signals:
  /// Jobs were added, deleted or changed: the status bar and commands want refreshing.
  void Changed();

 private:
  void RunEnded(const TFinishResult& result);

  JobListModel& model_;
  QTableView& view_;
  RunDriver& runs_;
  QWidget* owner_;
  /// Numbers of the jobs whose running run was started here, by hand.
  std::set<int32_t> by_hand_;
};

}  // namespace twn::gui
