#pragma once
// The wizard's "Comparing folders" page: the job's folder pairs in a grid with the paths
// fitted to their columns, the subfolders tick, the header's sort menu, the basket commands
// (toolbar, context menu, Ins, Enter, Del) and the choice of each pane's font and colour.
#include <QtCore/QAbstractTableModel>
#include <QtGui/QColor>
#include <QtGui/QFont>
#include <QtGui/QPixmap>
#include <array>
#include <vector>

#include "gui/wizard/wizard_page.h"

class QAction;
class QLabel;
class QMenu;
class QTableView;

namespace twn::gui {

class BasketModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit BasketModel(QObject* parent);

  void Bind(std::vector<TPairItem>* pairs);
  /// The pairs changed as a whole.
  void Reset();
  /// The font and colour of the left (0) and right (1) path column.
  void SetPane(int side, const QFont& font, const QColor& color);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  std::vector<TPairItem>* pairs_ = nullptr;
  std::array<QFont, 2> fonts_;
  std::array<QColor, 2> colors_;
  std::array<QPixmap, 2> ticks_;  // cleared, ticked
};

class BasketPage : public WizardPage {
  Q_OBJECT

 public:
  enum Command { kAdd, kEdit, kDelete, kSwitch, kRefresh, kRemoveInvalid, kClear, kFontL, kFontR };

  BasketPage(TWizardContext& context, QWidget* parent);

  void Load(TJobData& data) override;
  void Store() override {}
  void Shown() override { UpdateCommands(); }

  QTableView* Grid() const { return grid_; }
  QAction* Action(Command command) const { return actions_[command]; }
  /// The selected pair's row, or -1.
  int Selected() const;
  void Select(int row);
  /// Adds a pair as Add does after the pair window's OK: appended, sorted, selected.
  void Append(TPairItem pair);
  /// The header's menu for the left or the right path column, its entry for the stored mode
  /// checked; choosing an entry sorts. The caller owns the menu.
  QMenu* SortMenu(bool left_column);

 protected:
  /// Enter in the grid edits the selected pair.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildActions();
  QAction* AddAction(Command command, const QString& caption, const QString& hint,
                     const char* name);
  void Run(Command command);
  void EditSelected();
  void ChoosePaneFont(int side);
  void ApplyFonts();
  /// Sorts by the stored mode; the selected pair stays selected.
  void Sort(int select_row);
  void PairsChanged(int select_row);
  void UpdateCommands();

  TJobData* data_ = nullptr;
  BasketModel* model_;
  QTableView* grid_;
  QLabel* status_;
  std::array<QAction*, kFontR + 1> actions_{};
};

}  // namespace twn::gui
