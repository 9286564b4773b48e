#pragma once
// The three tables of the Visual run grid. Each reads the working job directly and only for
// the rows the view asks for; none of them keeps a copy of the scan data, so 10^5 rows cost
// nothing until they are shown. While the job runs the comparison and preview show no rows.
#include <QtCore/QAbstractTableModel>

#include "run/job.h"
#include "windows/visual_run_grid.h"

namespace twn::gui {

class GridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column : int {
    LeftName = gcLeftName,
    LeftExt = gcLeftExt,
    LeftSize = gcLeftSize,
    LeftDate = gcLeftDate,
    LeftAttr = gcLeftAttr,
    Sign = gcSign,
    RightName = gcRightName,
    RightExt = gcRightExt,
    RightSize = gcRightSize,
    RightDate = gcRightDate,
    RightAttr = gcRightAttr,
    ColumnCount = kGridColumnCount,
  };
  enum Role : int {
    SideFontRole = Qt::UserRole,  // bool: the cell is drawn in its side's font
    SignRole,                     // int: sign image, -1 for none
    FolderRole,                   // bool: the row is a folder row
  };

  /// `plan`: one row per plan entry instead of one per comparison item.
  GridModel(const TJob& job, bool plan, QObject* parent = nullptr);

  /// Shows the job's rows, or none (while it runs or before its first run).
  void SetShown(bool shown);
  bool Shown() const { return shown_; }
  /// The rows were re-sorted; the header marks `sort`.
  void Resorted(const TSortSettings& sort);
  bool IsPlan() const { return plan_; }
  /// The folder row text of a side, before it is fitted.
  TFolderRowText FolderRow(int row, int side) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  TItemList List() const { return plan_ ? job_.ScanInfo.Plan() : job_.ScanInfo.Items(); }

  const TJob& job_;
  const bool plan_;
  bool shown_ = false;
  int32_t count_ = 0;
  TSortSettings sort_;
};

/// The operation log, one line per row; rows are added as the log grows.
class LogModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit LogModel(const TJob& job, QObject* parent = nullptr);

  /// Catches up with the job's log (appends rows, or starts afresh when it was emptied).
  void Refresh();
  int32_t Lines() const { return count_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  const TJob& job_;
  int32_t count_ = 0;
};

}  // namespace twn::gui
