#pragma once
// The job list as a Qt table model. It converts the texts TWatcher builds and draws nothing of
// its own but the three state icons; the order comes from the core's sort, not from a proxy.
#include <QtCore/QAbstractTableModel>
#include <QtCore/QList>
#include <functional>

#include "app/watcher.h"

namespace twn::gui {

class JobListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column : int {
    ColName = jcName,
    ColLastRun = jcLastRun,
    ColNextRun = jcNextRun,
    ColState = jcState,
    ColProgress = jcProgress,
    ColumnCount = kJobListColumns,
  };

  JobListModel(TJobList& jobs, TJobOrder order, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  TWatcher& Watcher() { return watcher_; }
  const TJobOrder& Order() const { return order_; }

  /// A header click, sorted by the core. The jobs' marks carry the selection through the sort:
  /// the caller puts it there before and reads it back after. False when nothing was sorted.
  bool ColumnClick(int column);
  /// Sorts again by the current order (a run started, a next run moved), keeping the selection.
  void Resort();
  /// The row of the job with this number, or -1.
  int RowOf(int32_t job_id) const;
  TJobList& Jobs() { return jobs_; }

 public slots:
  /// The rows whose job changed state or progress.
  void RefreshRows(const QList<int>& rows);
  /// The list itself changed (jobs added, deleted or replaced).
  void JobsReset();

 public:
  /// Runs `change`, which adds or removes jobs, as a reset of the model.
  void ChangeJobs(const std::function<void()>& change);

 private:
  /// Runs `sort` between the layout signals, moving persistent indexes with their jobs.
  bool Reorder(const std::function<bool()>& sort);

  TJobList& jobs_;
  TJobOrder order_;
  TWatcher watcher_;
};

}  // namespace twn::gui
