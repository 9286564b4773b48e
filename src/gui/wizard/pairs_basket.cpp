#include "gui/wizard/pairs_basket.h"

#include <QtCore/QCoreApplication>
#include <QtGui/QCursor>
#include <QtGui/QKeyEvent>
#include <QtGui/QPainter>
#include <QtWidgets/QApplication>
#include <QtWidgets/QColorDialog>
#include <QtWidgets/QFontDialog>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QMenu>
#include <QtWidgets/QStyleOptionButton>
#include <QtWidgets/QTableView>
#include <QtWidgets/QToolBar>
#include <QtWidgets/QToolButton>
#include <QtWidgets/QVBoxLayout>

#include "gui/common/text.h"
#include "gui/quickinfo/pairs_grid.h"
#include "gui/visualrun/visual_run_delegate.h"
#include "gui/wizard/pair_window.h"
#include "windows/quick_info_pairs.h"
#include "windows/wizard_frame.h"
#include "windows/wizard_rules.h"

namespace twn::gui {

namespace {

QPixmap TickImage(bool ticked) {
  QStyleOptionButton option;
  option.rect = QRect(0, 0, 16, 16);
  option.state = QStyle::State_Enabled | (ticked ? QStyle::State_On : QStyle::State_Off);
  QPixmap image(16, 16);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  QApplication::style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter);
  return image;
}

// Stored colours are 0x00BBGGRR; style bits 1 bold, 2 italic, 4 underline, 8 strike-out.
TFontSetting ToSetting(const QFont& font, const QColor& color) {
  TFontSetting s;
  s.Name = font.family().toStdString();
  s.Size = font.pointSize() > 0 ? font.pointSize() : 9;
  s.Style = (font.bold() ? 1 : 0) | (font.italic() ? 2 : 0) | (font.underline() ? 4 : 0) |
            (font.strikeOut() ? 8 : 0);
  s.Color = int32_t(color.red() | (color.green() << 8) | (color.blue() << 16));
  return s;
}

}  // namespace

BasketModel::BasketModel(QObject* parent)
    : QAbstractTableModel(parent), ticks_{TickImage(false), TickImage(true)} {}

void BasketModel::Bind(std::vector<TPairItem>* pairs) {
  beginResetModel();
  pairs_ = pairs;
  endResetModel();
}

void BasketModel::Reset() {
  beginResetModel();
  endResetModel();
}

void BasketModel::SetPane(int side, const QFont& font, const QColor& color) {
  fonts_[size_t(side)] = font;
  colors_[size_t(side)] = color;
  if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, kPairColumnCount - 1));
}

int BasketModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() || !pairs_ ? 0 : int(pairs_->size());
}

int BasketModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kPairColumnCount;
}

QVariant BasketModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const TPairItem& pair = (*pairs_)[size_t(index.row())];
  const bool path = index.column() != pcSubfolders;
  const size_t side = index.column() == pcLeft ? 0 : 1;
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
      return path ? PathText(PairCellText(pair, index.column())) : QVariant();
    case Qt::DecorationRole:
      return path ? QVariant() : QVariant(ticks_[pair.bSubFLD ? 1 : 0]);
    case Qt::FontRole:
      return path ? QVariant(fonts_[side]) : QVariant();
    case Qt::ForegroundRole:
      // Folders not found at the last check are shown dimmed.
      if (!path) return {};
      if (PairDimmed(pair))
        return QApplication::palette().brush(QPalette::Disabled, QPalette::Text);
      return QBrush(colors_[side]);
    default:
      return {};
  }
}

QVariant BasketModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  return Text(BasketHeaderText(section));
}

BasketPage::BasketPage(TWizardContext& context, QWidget* parent)
    : WizardPage(context, parent),
      model_(new BasketModel(this)),
      grid_(new QTableView(this)),
      status_(new QLabel(this)) {
  grid_->setObjectName("basketGrid");
  grid_->setModel(model_);
  grid_->setItemDelegate(new PathFitDelegate(grid_));
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setWordWrap(false);
  grid_->setContextMenuPolicy(Qt::CustomContextMenu);
  grid_->verticalHeader()->hide();
  QHeaderView* header = grid_->horizontalHeader();
  header->setSectionResizeMode(QHeaderView::Stretch);
  header->setSectionResizeMode(pcSubfolders, QHeaderView::Fixed);
  header->resizeSection(pcSubfolders, 26);
  header->setSectionsClickable(true);
  connect(header, &QHeaderView::sectionClicked, this, [this](int column) {
    if (column == pcSubfolders || model_->rowCount() == 0) return;
    std::unique_ptr<QMenu> menu(SortMenu(column == pcLeft));
    menu->exec(QCursor::pos());
  });
  status_->setObjectName("basketStatus");
  grid_->installEventFilter(this);
  BuildActions();
  connect(grid_, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
    if (index.column() == pcSubfolders) Run(kSwitch);
  });
  connect(grid_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
    if (index.column() != pcSubfolders) Run(kEdit);
  });
  ApplyFonts();
}

void BasketPage::BuildActions() {
  auto* toolbar = new QToolBar(this);
  toolbar->setObjectName("basketToolBar");
  toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  auto* menu = new QMenu(this);
  menu->setObjectName("basketContextMenu");
  auto* fonts = new QMenu(this);
  const auto add = [&](Command command, const QString& caption, const QString& hint,
                       const char* name) {
    QAction* action = AddAction(command, caption, hint, name);
    // The pane fonts share one drop-down button, so that the toolbar fits the page.
    QWidget* bar = command == kFontL || command == kFontR ? static_cast<QWidget*>(fonts) : toolbar;
    bar->addAction(action);
    menu->addAction(action);
    if (command == kSwitch || command == kClear) {
      toolbar->addSeparator();
      menu->addSeparator();
    }
    return action;
  };
  add(kAdd, tr("Add pair"), tr("Add pair"), "actAddPair")->setShortcut(Qt::Key_Insert);
  add(kEdit, tr("Edit pair"), tr("Edit selected pair"), "actEditPair");
  add(kDelete, tr("Delete pair"), tr("Delete selected pair"), "actDeletePair")
      ->setShortcut(Qt::Key_Delete);
  add(kSwitch, tr("Swicth pair"), tr("Switch pair set"), "actSwitchPair");
  add(kRefresh, tr("Refresh"), tr("Refresh basket"), "actRefreshBasket");
  add(kRemoveInvalid, tr("Remove"), tr("Remove invalid pairs"), "actRemoveInvalid");
  add(kClear, tr("Clear all"), tr("Clear basket"), "actClearBasket");
  add(kFontL, tr("Left pane font"), tr("Left pane font"), "actCompareFontL");
  add(kFontR, tr("Right pane font"), tr("Right pane font"), "actCompareFontR");
  auto* font_button = new QToolButton(toolbar);
  font_button->setObjectName("basketFonts");
  font_button->setText(tr("Fonts"));
  font_button->setMenu(fonts);
  font_button->setPopupMode(QToolButton::InstantPopup);
  toolbar->addWidget(font_button);
  connect(grid_, &QWidget::customContextMenuRequested, this,
          [this, menu](const QPoint& at) { menu->popup(grid_->viewport()->mapToGlobal(at)); });
  connect(grid_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &BasketPage::UpdateCommands);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(toolbar);
  layout->addWidget(grid_, 1);
  layout->addWidget(status_);
}

QAction* BasketPage::AddAction(Command command, const QString& caption, const QString& hint,
                               const char* name) {
  auto* action = new QAction(caption, this);
  action->setObjectName(name);
  action->setToolTip(hint);
  // Shortcuts work only while the page, which holds the grid, shows.
  action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  addAction(action);
  connect(action, &QAction::triggered, this, [this, command] { Run(command); });
  actions_[command] = action;
  return action;
}

bool BasketPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == grid_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      Run(kEdit);
      return true;
    }
  }
  return WizardPage::eventFilter(watched, event);
}

void BasketPage::Load(TJobData& data) {
  data_ = &data;
  for (TPairItem& pair : data.Pairs) pair.RefreshKeys();
  model_->Bind(&data.Pairs);
  PairsChanged(data.Pairs.empty() ? -1 : 0);
}

int BasketPage::Selected() const {
  const QModelIndexList rows = grid_->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

void BasketPage::Select(int row) {
  if (row < 0 || row >= model_->rowCount()) {
    grid_->clearSelection();
    return;
  }
  // Not selectRow: it goes by the header's geometry, which a page not shown yet lacks.
  const QModelIndex index = model_->index(row, 0);
  grid_->selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  grid_->scrollTo(index);
}

void BasketPage::Run(Command command) {
  if (!data_ || !actions_[command]->isEnabled()) return;
  std::vector<TPairItem>& pairs = data_->Pairs;
  const int row = Selected();
  switch (command) {
    case kAdd: {
      TPairItem pair;
      if (EditPair(this, pair, true, context_.settings, context_.help)) Append(std::move(pair));
      return;
    }
    case kEdit:
      EditSelected();
      return;
    case kDelete:
      pairs.erase(pairs.begin() + row);
      PairsChanged(std::min(row, int(pairs.size()) - 1));
      return;
    case kSwitch:
      pairs[size_t(row)].bSubFLD = !pairs[size_t(row)].bSubFLD;
      PairsChanged(row);
      return;
    case kRefresh:
      // Only painting is served meanwhile: a click must not change the pairs being checked.
      RefreshPairValidity(
          pairs, [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
      PairsChanged(row);
      return;
    case kRemoveInvalid:
      RemoveInvalidPairs(pairs);
      PairsChanged(pairs.empty() ? -1 : 0);
      return;
    case kClear:
      pairs.clear();
      PairsChanged(-1);
      return;
    case kFontL:
    case kFontR:
      ChoosePaneFont(command == kFontL ? 0 : 1);
      return;
  }
}

void BasketPage::Append(TPairItem pair) {
  pair.RefreshKeys();
  // A new pair is as valid as its folders are now, not unchecked (Remove invalid would take
  // it).
  CheckPairValidity(pair);
  data_->Pairs.push_back(std::move(pair));
  Sort(int(data_->Pairs.size()) - 1);
}

void BasketPage::EditSelected() {
  const int row = Selected();
  TPairItem& pair = data_->Pairs[size_t(row)];
  if (!EditPair(this, pair, false, context_.settings, context_.help)) return;
  pair.RefreshKeys();
  CheckPairValidity(pair);
  Sort(row);
}

void BasketPage::Sort(int select_row) {
  const std::vector<size_t> order = SortPairs(data_->Pairs, context_.settings.BasketContainer);
  int row = -1;
  for (size_t i = 0; i < order.size(); ++i)
    if (int(order[i]) == select_row) row = int(i);
  PairsChanged(row);
}

QMenu* BasketPage::SortMenu(bool left_column) {
  auto* menu = new QMenu(this);
  menu->setObjectName("basketSortMenu");
  const int checked = CheckedSortEntry(context_.settings.BasketContainer, left_column);
  for (int entry = 0; entry < int(kBasketSortMenu.size()); ++entry) {
    QAction* action = menu->addAction(Text(kBasketSortMenu[size_t(entry)]));
    action->setCheckable(true);
    action->setChecked(entry == checked);
    connect(action, &QAction::triggered, this, [this, left_column, entry] {
      context_.settings.BasketContainer = BasketSortMode(left_column, entry);
      Sort(Selected());
    });
  }
  return menu;
}

void BasketPage::ChoosePaneFont(int side) {
  TFontSetting& setting = side == 0 ? context_.settings.WizardFontL : context_.settings.WizardFontR;
  const SideFont current = SideFontOf(setting, font());
  const QString title = actions_[side == 0 ? kFontL : kFontR]->text();
  bool ok = false;
  const QFont chosen = QFontDialog::getFont(&ok, current.font, this, title);
  if (!ok) return;
  // The font dialog has no colour of its own here; the colour is chosen after it.
  QColor color = QColorDialog::getColor(current.colour, this, title);
  if (!color.isValid()) color = current.colour;
  setting = ToSetting(chosen, color);
  ApplyFonts();
}

void BasketPage::ApplyFonts() {
  const auto apply = [this](int side, const TFontSetting& setting) {
    const SideFont pane = SideFontOf(setting, font());
    model_->SetPane(side, pane.font, pane.colour);
  };
  apply(0, context_.settings.WizardFontL);
  apply(1, context_.settings.WizardFontR);
  int height = 16;
  for (const TFontSetting* s : {&context_.settings.WizardFontL, &context_.settings.WizardFontR})
    height = std::max(height, QFontMetrics(SideFontOf(*s, font()).font).height());
  grid_->verticalHeader()->setDefaultSectionSize(height + 4);
}

void BasketPage::PairsChanged(int select_row) {
  model_->Reset();
  grid_->horizontalHeader()->setVisible(model_->rowCount() > 0);
  status_->setText(Text(BasketStatusText(data_ ? data_->Pairs.size() : 0)));
  Select(select_row);
  UpdateCommands();
  emit Changed();
}

void BasketPage::UpdateCommands() {
  if (!data_) return;
  const TBasketCommands c = BasketCommands(data_->Pairs, Selected());
  actions_[kEdit]->setEnabled(c.Edit);
  actions_[kDelete]->setEnabled(c.Delete);
  actions_[kSwitch]->setEnabled(c.Switch);
  actions_[kRefresh]->setEnabled(c.Refresh);
  actions_[kRemoveInvalid]->setEnabled(c.RemoveInvalid);
  actions_[kClear]->setEnabled(c.Clear);
}

}  // namespace twn::gui
