#include "gui/visualrun/visual_run_models.h"
#include "gui/common/text.h"

#include <QtCore/QFile>
#include <QtGui/QFont>
#include <algorithm>

namespace twn::gui {
GridModel::GridModel(const TJob& job, bool plan, QObject* parent)
    : QAbstractTableModel(parent), job_(job), plan_(plan) {}

void GridModel::SetShown(bool shown) {
  beginResetModel();
  shown_ = shown;
  count_ = shown ? List().Count() : 0;
  endResetModel();
}

void GridModel::Resorted(const TSortSettings& sort) {
  sort_ = sort;
  if (!plan_ && count_ > 0) {
    emit layoutAboutToBeChanged();
    emit layoutChanged();
  }
  emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

TFolderRowText GridModel::FolderRow(int row, int side) const {
  if (row >= count_) return {};
  return FolderRowText(job_.ScanInfo, List(), row, side);
}

int GridModel::rowCount(const QModelIndex& parent) const {
  // An empty table keeps one empty row, so the grid never looks broken.
  return parent.isValid() ? 0 : std::max(count_, 1);
}

int GridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : ColumnCount;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
  const int row = index.row();
  if (!index.isValid() || row >= count_) return {};
  const TItemList list = List();
  switch (role) {
    case Qt::DisplayRole:
      // Names are bytes on disk; only here are they decoded for display.
      if (FieldOfColumn(index.column()) <= 1)
        return QFile::decodeName(
            QByteArray::fromStdString(FileCellText(list, row, index.column())));
      return Text(FileCellText(list, row, index.column()));
    case Qt::TextAlignmentRole:
      if (FieldOfColumn(index.column()) == 2)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
      return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    case SideFontRole:
      return UsesSideFont(list, row, index.column(), job_.ScanInfo.Rules());
    case SignRole:
      if (index.column() != Sign) return -1;
      return plan_ ? ActionImage(list.Action(row)) : ClassImage(list.Class(row));
    case FolderRole:
      return list.IsFolder(row);
    default:
      return {};
  }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return {};
  const bool sorted = IsSortedColumn(section, sort_);
  if (role == Qt::DisplayRole) return Text(GridHeaderText(section, sorted));
  if (role == Qt::TextAlignmentRole)
    return QVariant::fromValue(section == Sign ? Qt::AlignCenter
                                               : Qt::AlignLeft | Qt::AlignVCenter);
  return {};
}

LogModel::LogModel(const TJob& job, QObject* parent) : QAbstractTableModel(parent), job_(job) {}

void LogModel::Refresh() {
  const auto lines = static_cast<int32_t>(job_.OperationLog.Count());
  if (lines == count_) return;
  if (lines < count_ || count_ == 0) {
    beginResetModel();
    count_ = lines;
    endResetModel();
    return;
  }
  beginInsertRows({}, count_, lines - 1);
  count_ = lines;
  endInsertRows();
}

int LogModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : std::max(count_, 1);
}

int LogModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 1;
}

QVariant LogModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= count_ || role != Qt::DisplayRole) return {};
  const size_t row = static_cast<size_t>(index.row());
  return job_.OperationLog.WithLines([row](const std::vector<std::string>& lines) {
    // The log is only ever emptied by a new run; a line that is gone reads as an error.
    return row < lines.size() ? QFile::decodeName(QByteArray::fromStdString(lines[row]))
                              : QStringLiteral("error");
  });
}

QVariant LogModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section != 0) return {};
  if (role == Qt::DisplayRole) return Text(std::string(kLogHeader));
  if (role == Qt::FontRole) {
    QFont bold;
    bold.setBold(true);
    return bold;
  }
  return {};
}

}  // namespace twn::gui
