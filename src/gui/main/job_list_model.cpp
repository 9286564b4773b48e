#include "gui/main/job_list_model.h"

#include <QtGui/QIcon>
#include <QtGui/QPainter>
#include <QtGui/QPixmap>
#include <algorithm>
#include <array>
#include <functional>
#include <unordered_map>
#include <vector>

namespace twn::gui {

namespace {

constexpr int kIconSize = 16;

// A small icon drawn by `draw` on a transparent square, antialiased.
template <class Draw>
QIcon PaintedIcon(Draw draw) {
  QPixmap pixmap(kIconSize, kIconSize);
  pixmap.fill(Qt::transparent);
  {
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
  }
  return QIcon(pixmap);
}

// Idle: a hollow grey ring.
QIcon NothingIcon() {
  return PaintedIcon([](QPainter& p) {
    p.setPen(QPen(QColor(120, 120, 120), 1.5));
    p.drawEllipse(QRectF(3.5, 3.5, 9, 9));
  });
}

// Waiting for its time: a blue clock face.
QIcon WaitingIcon() {
  return PaintedIcon([](QPainter& p) {
    p.setPen(QPen(QColor(30, 90, 180), 1.5));
    p.setBrush(QColor(225, 237, 255));
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.drawLine(QPointF(8, 8), QPointF(8, 4));
    p.drawLine(QPointF(8, 8), QPointF(11, 9.5));
  });
}

// Executing: a green play triangle.
QIcon ExecutingIcon() {
  return PaintedIcon([](QPainter& p) {
    p.setPen(QPen(QColor(20, 120, 40), 1));
    p.setBrush(QColor(60, 180, 75));
    const QPointF triangle[] = {{4, 2.5}, {13.5, 8}, {4, 13.5}};
    p.drawPolygon(triangle, 3);
  });
}

// Made once, in the order of StateImageIndex.
const QIcon& StateIcon(int32_t index) {
  static const std::array<QIcon, 3> icons = {NothingIcon(), WaitingIcon(), ExecutingIcon()};
  return icons[size_t(std::clamp(index, 0, 2))];
}

}  // namespace

JobListModel::JobListModel(TJobList& jobs, TJobOrder order, QObject* parent)
    : QAbstractTableModel(parent), jobs_(jobs), order_(order), watcher_(jobs) {
  watcher_.SetUpdating(true);
}

int JobListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(jobs_.size());
}

int JobListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : ColumnCount;
}

QVariant JobListModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
  if (role == Qt::DecorationRole && index.column() == ColName)
    return StateIcon(StateImageIndex(jobs_[size_t(index.row())]->State));
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  std::array<std::string, kJobListColumns> texts;
  if (!watcher_.RowTexts(index.row(), texts)) return {};
  return QString::fromUtf8(texts[size_t(index.column())]);
}

QVariant JobListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= ColumnCount)
    return QAbstractTableModel::headerData(section, orientation, role);
  return QString::fromUtf8(ColumnCaption(section, order_));
}

Qt::ItemFlags JobListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

bool JobListModel::ColumnClick(int column) {
  const bool sorted = Reorder([&] { return watcher_.ColumnClick(column, order_); });
  if (sorted) emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
  return sorted;
}

void JobListModel::Resort() {
  Reorder([&] {
    watcher_.Sort(order_);
    return true;
  });
}

bool JobListModel::Reorder(const std::function<bool()>& sort) {
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  // Persistent indexes (the view's selection and current row) follow their job, not the row.
  const QModelIndexList before = persistentIndexList();
  std::vector<const TJob*> owners;
  owners.reserve(size_t(before.size()));
  for (const QModelIndex& i : before) owners.push_back(jobs_[size_t(i.row())].get());
  const bool sorted = sort();
  std::unordered_map<const TJob*, int> rows;
  for (size_t row = 0; row < jobs_.size(); ++row) rows[jobs_[row].get()] = int(row);
  QModelIndexList after;
  after.reserve(before.size());
  for (qsizetype i = 0; i < before.size(); ++i)
    after.append(index(rows[owners[size_t(i)]], before[i].column()));
  changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
  return sorted;
}

int JobListModel::RowOf(int32_t job_id) const {
  for (size_t row = 0; row < jobs_.size(); ++row)
    if (jobs_[row]->JobID == job_id) return int(row);
  return -1;
}

void JobListModel::RefreshRows(const QList<int>& rows) {
  for (const int row : rows) {
    if (row < 0 || size_t(row) >= jobs_.size()) continue;
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
  }
}

void JobListModel::JobsReset() {
  beginResetModel();
  endResetModel();
}

void JobListModel::ChangeJobs(const std::function<void()>& change) {
  beginResetModel();
  change();
  endResetModel();
}

}  // namespace twn::gui
