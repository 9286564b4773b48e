#pragma once
// The picker's tree as a Qt model over the core's TFolderTree: one item per loaded folder,
// filled when the view first opens it, with the tick state as the check state.
#include <QtCore/QAbstractItemModel>
#include <vector>

#include "browse/folder_tree.h"

namespace twn::gui {

class FolderTreeModel : public QAbstractItemModel {
  Q_OBJECT
 public:
  FolderTreeModel(TFolderTree& tree, QObject* parent = nullptr);

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  bool hasChildren(const QModelIndex& parent = {}) const override;
  bool canFetchMore(const QModelIndex& parent) const override;
  void fetchMore(const QModelIndex& parent) override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  /// A click on an item's tick: left ticks or clears it and its loaded subfolders, right only
  /// the item. The view shows every changed state.
  void Click(const QModelIndex& index, bool left);
  /// Call after the tree's roots have been rebuilt.
  void Reset();
  QModelIndex IndexOf(TFolderTree::TId id) const;
  TFolderTree::TId IdOf(const QModelIndex& index) const;

 private:
  bool Shown(TFolderTree::TId id) const;
  void NotifyBelow(TFolderTree::TId id);

  TFolderTree* tree_;
  // Nodes whose children the view has been told about.
  std::vector<bool> shown_;
};

}  // namespace twn::gui
