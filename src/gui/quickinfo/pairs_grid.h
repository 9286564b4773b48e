#pragma once
// The quick-info window's pairs grid: a model over a copy of the job's pairs, and a view that
// fits each path to its column and writes "The basket is empty." across an empty grid.
#include <QtCore/QAbstractTableModel>
#include <QtWidgets/QStyledItemDelegate>
#include <QtWidgets/QTableView>
#include <vector>

#include "model/job_data.h"

namespace twn::gui {

/// Shortens the path cells of a pairs grid to their column at paint time, where the width is
/// known, and centres the subfolders column's image.
class PathFitDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

class PairsModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit PairsModel(std::vector<TPairItem> pairs, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  std::vector<TPairItem> pairs_;
};

class PairsView : public QTableView {
  Q_OBJECT

 public:
  /// Takes `model` over (parented to the view).
  PairsView(PairsModel* model, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace twn::gui
