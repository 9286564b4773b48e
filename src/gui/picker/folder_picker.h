#pragma once
// The excluded-folder picker: a tree of the computer's folders with a tick on each. The names
// of the ticked folders become patterns of the job's folder filter.
#include <QtWidgets/QDialog>
#include <QtWidgets/QTreeView>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/settings.h"
#include "browse/folder_tree.h"

namespace twn::gui {

class FolderTreeModel;
class HelpCenter;

/// A tree view whose ticks answer both mouse buttons (left: the folder and its loaded
/// subfolders, right: the folder alone) and the space bar (as the left button).
class CheckTreeView : public QTreeView {
  Q_OBJECT
 public:
  explicit CheckTreeView(QWidget* parent = nullptr);
  /// Where the tick of `index` is drawn, in viewport coordinates.
  QRect CheckRect(const QModelIndex& index) const;

 signals:
  void checkClicked(const QModelIndex& index, bool left);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

/// A root of the tree: the label shown and the folder.
using TPickerRoot = std::pair<std::string, std::string>;
/// The home folder, "/" and the mounted volumes, in that order.
std::vector<TPickerRoot> DefaultPickerRoots();

class FolderPickerDialog : public QDialog {
  Q_OBJECT
 public:
  /// Builds the tree over `roots` (the first is opened and selected) listed by `source`.
  FolderPickerDialog(QWidget* parent, TFolderSource& source, const std::vector<TPickerRoot>& roots,
                     HelpCenter* help = nullptr);
  ~FolderPickerDialog() override;

  CheckTreeView* Tree() const { return view_; }
  FolderTreeModel* Model() const { return model_; }
  /// After OK: what the ticked folders give.
  const TPickedPatterns& Picked() const { return picked_; }

 public slots:
  /// Collects the ticked folders' names and tells which could not become patterns.
  void accept() override;

 private:
  QWidget* BuildSidePanel();

  TFolderTree tree_;
  FolderTreeModel* model_ = nullptr;
  CheckTreeView* view_ = nullptr;
  TPickedPatterns picked_;
};

/// Opens the picker modally on the file system at its stored place; on OK the ticked folders'
/// names are added to `filter` and it is tidied. True on OK.
bool PickExcludedFolders(QWidget* parent, TFolderFilter& filter, TSettings& settings,
                         HelpCenter* help = nullptr);

}  // namespace twn::gui
