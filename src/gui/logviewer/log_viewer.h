#pragma once
// The log viewer: the jobs, the log files in the chosen job's history, and the chosen file as
// read-only text with find, removal of a log and of the history's dead entries.
#include <QtWidgets/QDialog>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/settings.h"
#include "gui/quickinfo/quick_info_window.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTextCursor;

namespace twn::gui {

class HelpCenter;

class LogViewer : public QDialog {
  Q_OBJECT

 public:
  LogViewer(QWidget* parent, TSettings& settings, TQuickInfoFn quick_info);

  /// Fills the window and selects the job with this id (-1: none); call before showing it.
  void Prepare(int32_t job_id);
  /// The job whose logs are listed (-1: none) and the path of the log shown (empty: none).
  int32_t ListedJob() const { return job_id_; }
  const std::string& ShownPath() const { return shown_path_; }

 public slots:
  /// A run has ended while the window is open: the job list may be re-sorted and the history
  /// may have a new entry on top. The listed job and the shown log stay what they were.
  void Refresh();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void done(int result) override;

 private:
  void BuildLists();
  void BuildControls();
  void BuildText();
  void FillJobList();
  TJob* ListedJobPtr() const;
  void OnJobRow(int row);
  void ListLogs(int32_t job_id);
  void OnLogRow(int row);
  void ShowLog(const std::string& path);
  void ForgetLog();
  void UpdateControls();
  void ShowPanels(const std::vector<std::string>& panels);
  void OnCaretMoved();
  void OnFind();
  bool FindFrom(const QTextCursor& start);
  void OnRemove();
  void OnRemoveDead();
  void OnJobInfo();

  TSettings& settings_;
  TQuickInfoFn quickInfo_;
  std::vector<int32_t> rowJobs_;  // job id of each row of the job list
  int32_t job_id_ = -1;
  std::string shown_path_;
  bool read_ok_ = true;
  int64_t bytes_ = 0;
  int64_t lineBreaks_ = 0;
  double modified_ = 0;

  QGroupBox* jobGroup_;
  QListWidget* jobList_;
  QGroupBox* logGroup_;
  QListWidget* logList_;
  QLabel* findLabel_;
  QComboBox* find_;
  QPushButton* findButton_;
  QPushButton* jobInfo_;
  QPushButton* remove_;
  QPushButton* removeDead_;
  QGroupBox* textGroup_;
  QPlainTextEdit* text_;
  QStatusBar* status_;
  std::vector<QLabel*> panels_;
};

/// Shows the log viewer modally with the job of that id selected (-1: none). `help` may be
/// null; F1 finds it through the application.
void ShowLogViewer(QWidget* parent, TSettings& settings, int32_t job_id, HelpCenter* help,
                   TQuickInfoFn quick_info);

}  // namespace twn::gui
