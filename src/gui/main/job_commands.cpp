#include "gui/main/job_commands.h"

#include <QtCore/QItemSelectionModel>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QTableView>

#include "engine/delete_guard.h"
#include "gui/common/message_boxes.h"
#include "gui/main/job_list_model.h"
#include "gui/main/run_driver.h"

namespace twn::gui {

JobCommands::JobCommands(JobListModel& model, QTableView& view, RunDriver& runs, QWidget* owner)
    : QObject(owner), model_(model), view_(view), runs_(runs), owner_(owner) {
  connect(&runs_, &RunDriver::RunFinished, this, &JobCommands::RunEnded);
}

void JobCommands::SaveSelection() {
  std::vector<int32_t> rows;
  for (const QModelIndex& index : view_.selectionModel()->selectedRows())
    rows.push_back(index.row());
  model_.Watcher().SelectRows(rows);
}

void JobCommands::RestoreSelection() {
  QItemSelection selection;
  for (const int32_t row : model_.Watcher().SelectedRows())
    selection.select(model_.index(row, 0), model_.index(row, JobListModel::ColumnCount - 1));
  view_.selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  if (!selection.isEmpty())
    view_.selectionModel()->setCurrentIndex(selection.first().topLeft(),
                                            QItemSelectionModel::NoUpdate);
}

void JobCommands::Delete() {
  SaveSelection();
  TWatcher& watcher = model_.Watcher();
  watcher.Recount();
  if (watcher.Counts().selected == 0 || runs_.Waiting()) return;
  const TQuestion question = DeleteQuestion(watcher.Counts().selected);
  if (!MessageBoxes().Ask(owner_, QString::fromUtf8(question.Title),
                          QString::fromUtf8(question.Text)))
    return;
  if (watcher.MarkSelectedForDelete() == 0) return;
  // The marked runs end in their own time; their ends are handled (logs written) while we
  // wait, and only then are their jobs destroyed.
  runs_.WaitUntil([&watcher] { return !watcher.MarkedStillRunning(); });
  model_.ChangeJobs([&watcher] { watcher.RemoveMarkedIdle(); });
  RestoreSelection();
  emit Changed();
}

void JobCommands::Duplicate() {
  SaveSelection();
  const TJob* source = model_.Watcher().SingleSelected();
  if (!source) return;
  auto copy = std::make_unique<TJob>(NewJobID());
  copy->Data = source->Data;
  copy->Data.Frequency = kFreqManual;
  // The copy starts with no log history: its "Remove logfile" must never reach the source's.
  copy->Data.LogHistory.clear();
  copy->Data.JobName = DuplicateName(source->Data.JobName, model_.Jobs());
  Add(std::move(copy));
}

void JobCommands::Add(std::unique_ptr<TJob> job) {
  int32_t row = 0;
  model_.ChangeJobs([&] { row = model_.Watcher().AddJob(std::move(job), model_.Order()); });
  RestoreSelection();
  view_.scrollTo(model_.index(row, 0));
  emit Changed();
}

void JobCommands::Execute() {
  SaveSelection();
  for (const auto& job : model_.Jobs())
    if (job->bSelected && runs_.Start(*job)) by_hand_.insert(job->JobID);
  Resort();
}

void JobCommands::RunEnded(const TFinishResult& result) {
  TJob& job = *result.job;
  // A scheduled run held by the guard stays held: only a run started here is asked about, and
  // not while a command waits for runs to end (it is deleting them or closing).
  if (by_hand_.erase(job.JobID) == 0 || result.stopped || !job.ScanInfo.Held() || runs_.Waiting())
    return;
  const TGuardVerdict v = CheckDeleteGuard(job.ScanInfo, job.Data.MaxDeletePercent);
  const TQuestion q = GuardQuestion(job.Data.JobName, v.text);
  if (!v.held || !MessageBoxes().Ask(owner_, QString::fromUtf8(q.Title), QString::fromUtf8(q.Text)))
    return;
  // The run starts afresh, so the plan it carries out is that of the folders as they are now.
  job.bForceRun = true;
  if (!runs_.Start(job)) job.bForceRun = false;  // never left for a later, unasked run
  Resort();
}

void JobCommands::Stop() {
  SaveSelection();
  model_.Watcher().StopSelected();
  Resort();
}

void JobCommands::SelectAll() {
  SaveSelection();
  model_.Watcher().SelectAll();
  RestoreSelection();
}

void JobCommands::AdjustColumns() {
  const auto widths = AdjustedColumnWidths(view_.viewport()->width());
  for (int column = 0; column < JobListModel::ColumnCount; ++column)
    view_.setColumnWidth(column, widths[size_t(column)]);
}

void JobCommands::Resort() {
  model_.Resort();
  emit Changed();
}

}  // namespace twn::gui
