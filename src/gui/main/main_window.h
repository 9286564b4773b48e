#pragma once
// The main window: the job list and a status bar. It shows what the job list's view model
// says; the commands come later.
#include <QtWidgets/QMainWindow>

#include "app/watcher.h"

class QLabel;
class QTableView;

namespace twn::gui {

class JobListModel;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  MainWindow(TJobList& jobs, TJobOrder order, QWidget* parent = nullptr);

  JobListModel* Model() const { return model_; }
  QTableView* JobList() const { return view_; }

 public slots:
  /// Copies the selection into the jobs' marks and shows the counts or the selected job.
  void RefreshStatus();

 private:
  void HeaderClicked(int column);
  /// Selects exactly these rows, whole rows.
  void SelectRows(const std::vector<int32_t>& rows);

  JobListModel* model_;
  QTableView* view_;
  QLabel* namePanel_;
  QLabel* statusPanel_;
};

}  // namespace twn::gui
