#include "gui/picker/folder_tree_model.h"

#include <QtCore/QFile>
#include <QtGui/QGuiApplication>
#include <QtWidgets/QApplication>
#include <QtWidgets/QStyle>

namespace twn::gui {

namespace {

using TId = TFolderTree::TId;

Qt::CheckState CheckStateOf(TTickState state) {
  switch (state) {
    case tkTicked:
      return Qt::Checked;
    case tkMixed:
      return Qt::PartiallyChecked;
    default:
      return Qt::Unchecked;
  }
}

// Listing a large or slow folder may take a moment.
struct TWaitCursor {
  TWaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
  ~TWaitCursor() { QGuiApplication::restoreOverrideCursor(); }
  TWaitCursor(const TWaitCursor&) = delete;
  TWaitCursor& operator=(const TWaitCursor&) = delete;
};

}  // namespace

FolderTreeModel::FolderTreeModel(TFolderTree& tree, QObject* parent)
    : QAbstractItemModel(parent), tree_(&tree) {}

void FolderTreeModel::Reset() {
  beginResetModel();
  shown_.assign(static_cast<size_t>(tree_->Count()), false);
  endResetModel();
}

bool FolderTreeModel::Shown(TId id) const {
  return static_cast<size_t>(id) < shown_.size() && shown_[static_cast<size_t>(id)];
}

TId FolderTreeModel::IdOf(const QModelIndex& index) const {
  return index.isValid() ? static_cast<TId>(index.internalId()) : TFolderTree::kNoNode;
}

QModelIndex FolderTreeModel::IndexOf(TId id) const {
  if (id == TFolderTree::kNoNode) return {};
  return createIndex(tree_->Row(id), 0, static_cast<quintptr>(id));
}

QModelIndex FolderTreeModel::index(int row, int column, const QModelIndex& parent) const {
  if (column != 0 || row < 0 || row >= rowCount(parent)) return {};
  const TId id = parent.isValid() ? tree_->Children(IdOf(parent))[static_cast<size_t>(row)]
                                  : tree_->Roots()[static_cast<size_t>(row)];
  return createIndex(row, 0, static_cast<quintptr>(id));
}

QModelIndex FolderTreeModel::parent(const QModelIndex& child) const {
  if (!child.isValid()) return {};
  return IndexOf(tree_->Parent(IdOf(child)));
}

int FolderTreeModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return static_cast<int>(tree_->Roots().size());
  if (parent.column() != 0) return 0;
  const TId id = IdOf(parent);
  return Shown(id) ? static_cast<int>(tree_->Children(id).size()) : 0;
}

int FolderTreeModel::columnCount(const QModelIndex&) const {
  return 1;
}

bool FolderTreeModel::hasChildren(const QModelIndex& parent) const {
  if (!parent.isValid()) return !tree_->Roots().empty();
  return tree_->CanExpand(IdOf(parent));
}

bool FolderTreeModel::canFetchMore(const QModelIndex& parent) const {
  return parent.isValid() && !Shown(IdOf(parent)) && tree_->CanExpand(IdOf(parent));
}

void FolderTreeModel::fetchMore(const QModelIndex& parent) {
  if (!canFetchMore(parent)) return;
  const TId id = IdOf(parent);
  {
    TWaitCursor wait;
    tree_->Expand(id);
  }
  shown_.resize(static_cast<size_t>(tree_->Count()), false);
  const int count = static_cast<int>(tree_->Children(id).size());
  if (count > 0) beginInsertRows(parent, 0, count - 1);
  shown_[static_cast<size_t>(id)] = true;
  if (count > 0) endInsertRows();
}

QVariant FolderTreeModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const TId id = IdOf(index);
  switch (role) {
    case Qt::DisplayRole:
      return QFile::decodeName(QByteArray::fromStdString(tree_->Label(id)));
    case Qt::ToolTipRole:
      return QFile::decodeName(QByteArray::fromStdString(tree_->Path(id)));
    case Qt::CheckStateRole:
      return CheckStateOf(tree_->State(id));
    case Qt::DecorationRole: {
      const QStyle* style = QApplication::style();
      if (tree_->IsLink(id)) return style->standardIcon(QStyle::SP_DirLinkIcon);
      if (tree_->Parent(id) == TFolderTree::kNoNode)
        return style->standardIcon(QStyle::SP_DriveHDIcon);
      return style->standardIcon(QStyle::SP_DirIcon);
    }
    default:
      return {};
  }
}

Qt::ItemFlags FolderTreeModel::flags(const QModelIndex& index) const {
  // Not user-checkable: the view decides what a click on the tick does (left or right button).
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void FolderTreeModel::NotifyBelow(TId id) {
  if (!Shown(id) || tree_->Children(id).empty()) return;
  const QModelIndex parent = IndexOf(id);
  const int last = static_cast<int>(tree_->Children(id).size()) - 1;
  emit dataChanged(index(0, 0, parent), index(last, 0, parent), {Qt::CheckStateRole});
  for (TId child : tree_->Children(id)) NotifyBelow(child);
}

void FolderTreeModel::Click(const QModelIndex& index, bool left) {
  if (!index.isValid()) return;
  const TId id = IdOf(index);
  tree_->Click(id, left);
  if (left) NotifyBelow(id);
  // The item and every folder above it may have become mixed or plain again.
  for (TId up = id; up != TFolderTree::kNoNode; up = tree_->Parent(up)) {
    const QModelIndex at = IndexOf(up);
    emit dataChanged(at, at, {Qt::CheckStateRole});
  }
}

}  // namespace twn::gui
