#pragma once
// The Visual run window: runs a working copy of a job in two halves the user starts by hand
// (compare, then synchronize), with the comparison table, the synchronization preview and
// the operation log in one grid. The listed job is only touched by the log files written
// after the synchronization half.
#include <QtWidgets/QDialog>
#include <array>
#include <memory>

#include "app/settings.h"
#include "gui/host/qt_run_host.h"
#include "run/job.h"
#include "windows/visual_run.h"

class QAbstractItemDelegate;
class QLabel;
class QPushButton;
class QGroupBox;
class QStatusBar;
class QTableView;

namespace twn::gui {

class GridModel;
class HelpCenter;
class InfoPanels;
class LogModel;

/// The notify window of the Visual run's runs.
inline constexpr TNotifyWindow kVisualRunNotifyWindow = 2;

class VisualRunWindow : public QDialog {
  Q_OBJECT

 public:
  /// The listed job must not be running; the window makes its own working copy, of
  /// `definition` when given (a definition still being edited) or else of the listed job's.
  /// Logs always go to the listed job. `help` may be null.
  VisualRunWindow(TJob& listed, TSettings& settings, TQtRunHost& host, HelpCenter* help,
                  QWidget* parent = nullptr, const TJobData* definition = nullptr);
  /// A run still going is stopped and waited for.
  ~VisualRunWindow() override;

  int Phase() const { return phase_; }
  TJob& Working() { return *working_; }
  QTableView* Grid() const { return grid_; }
  /// What the buttons do: the command of a tag.
  void RunTag(int tag);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  QWidget* BuildControls();
  void BuildStatusBar();
  void BuildGrid(QGroupBox* box);
  void SetPhase(int phase);
  void SetStatus(int phase);
  void StartRun(TRunMode mode);
  /// Whether the synchronization may start: asks when the deletion guard would hold it.
  bool GuardAllows();
  void Stop();
  void Message(uint32_t message, int32_t job_id);
  void RunFinished();
  void RefreshGrid();
  void FitColumns();
  void ShowLogEnd();
  /// The header marks the sort that holds (a click may have moved the mark).
  void ShowSortMark();
  void HeaderClicked(int column);
  /// Whether the window may close now; asks a run to stop first.
  bool MayClose();

  TJob& listed_;
  TSettings& settings_;
  TQtRunHost& host_;
  HelpCenter* help_;
  std::unique_ptr<TJob> working_;

  int phase_ = vpReady;
  bool close_requested_ = false;
  bool data_available_ = false;
  bool placed_ = false;
  TRunMode mode_ = rmCompareOnly;
  TSortSettings sort_;
  TPlanCounters plan_;

  QPushButton* first_ = nullptr;
  QPushButton* second_ = nullptr;
  QPushButton* quick_info_ = nullptr;
  QPushButton* help_button_ = nullptr;
  QPushButton* close_ = nullptr;
  InfoPanels* panels_ = nullptr;
  QGroupBox* grid_box_ = nullptr;
  QTableView* grid_ = nullptr;
  QAbstractItemDelegate* grid_delegate_ = nullptr;
  QAbstractItemDelegate* log_delegate_ = nullptr;
  GridModel* items_ = nullptr;
  GridModel* preview_ = nullptr;
  LogModel* log_ = nullptr;
  QStatusBar* status_ = nullptr;
  std::array<QLabel*, 2> panes_{};
};

/// Opens the Visual run window modally on `job` and returns when it has closed.
void ShowVisualRun(QWidget* parent, TJob& job, TSettings& settings, TQtRunHost& host,
                   HelpCenter* help);
/// The same on `definition` (the job wizard's working copy); the logs go to `job`.
void ShowVisualRun(QWidget* parent, TJob& job, const TJobData& definition, TSettings& settings,
                   TQtRunHost& host, HelpCenter* help);

}  // namespace twn::gui
