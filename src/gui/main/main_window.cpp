#include "gui/main/main_window.h"

#include <QtCore/QItemSelectionModel>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QStatusBar>
#include <QtWidgets/QTableView>

#include "gui/main/job_list_model.h"

namespace twn::gui {

namespace {

QLabel* AddPanel(QStatusBar* bar, const char* name, int stretch) {
  auto* label = new QLabel(bar);
  label->setObjectName(name);
  label->setTextFormat(Qt::PlainText);
  bar->addWidget(label, stretch);
  return label;
}

}  // namespace

MainWindow::MainWindow(TJobList& jobs, TJobOrder order, QWidget* parent)
    : QMainWindow(parent),
      model_(new JobListModel(jobs, order, this)),
      view_(new QTableView(this)) {
  setObjectName("mainWindow");
  setWindowTitle("Twinward");
  view_->setObjectName("jobList");
  view_->setModel(model_);
  view_->setSelectionBehavior(QAbstractItemView::SelectRows);
  view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->setShowGrid(false);
  view_->setWordWrap(false);
  view_->verticalHeader()->hide();
  view_->horizontalHeader()->setSectionsClickable(true);
  view_->horizontalHeader()->setHighlightSections(false);
  view_->horizontalHeader()->setStretchLastSection(true);
  view_->resizeColumnsToContents();
  // A little air between the columns' texts.
  for (int column = 0; column < JobListModel::ColProgress; ++column)
    view_->setColumnWidth(column, view_->columnWidth(column) + 16);
  setCentralWidget(view_);

  namePanel_ = AddPanel(statusBar(), "statusJobName", 0);
  statusPanel_ = AddPanel(statusBar(), "statusText", 1);
  connect(view_->horizontalHeader(), &QHeaderView::sectionClicked, this,
          &MainWindow::HeaderClicked);
  connect(view_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &MainWindow::RefreshStatus);
  connect(model_, &QAbstractItemModel::modelReset, this, &MainWindow::RefreshStatus);
  connect(model_, &QAbstractItemModel::dataChanged, this, &MainWindow::RefreshStatus);
  RefreshStatus();
}

void MainWindow::RefreshStatus() {
  std::vector<int32_t> rows;
  for (const QModelIndex& index : view_->selectionModel()->selectedRows())
    rows.push_back(index.row());
  TWatcher& watcher = model_->Watcher();
  watcher.SelectRows(rows);
  watcher.Recount();
  namePanel_->setVisible(watcher.TwoPanels());
  namePanel_->setText(watcher.TwoPanels() ? QString::fromUtf8(watcher.JobNameText()) : QString());
  statusPanel_->setText(QString::fromUtf8(watcher.StatusText()));
}

void MainWindow::HeaderClicked(int column) {
  RefreshStatus();  // the marks now hold the selection
  if (!model_->ColumnClick(column)) return;
  SelectRows(model_->Watcher().SelectedRows());
}

void MainWindow::SelectRows(const std::vector<int32_t>& rows) {
  QItemSelection selection;
  for (const int32_t row : rows)
    selection.select(model_->index(row, 0), model_->index(row, JobListModel::ColumnCount - 1));
  view_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

}  // namespace twn::gui
