#pragma once
// The main window: the job list, its commands, the status bar, the tutorials panel, the tray
// icon and the scheduler's timer. It shows what the job list's view model and the scheduler
// say and delegates the commands that change jobs to JobCommands.
#include <QtWidgets/QMainWindow>
#include <span>
#include <string>

#include "app/main_commands.h"
#include "app/scheduler.h"
#include "app/settings.h"
#include "app/watcher.h"

class QLabel;
class QTableView;

namespace twn::gui {

class HelpCenter;
class JobCommands;
class JobListModel;
class MainActions;
class RunDriver;
class TQtRunHost;
class Tray;
class TutorialsPanel;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  MainWindow(TSettings& settings, TQtRunHost& host, QWidget* parent = nullptr);
  ~MainWindow() override;

  JobListModel* Model() const { return model_; }
  QTableView* JobList() const { return view_; }
  RunDriver& Runs() const { return *runs_; }
  MainActions& Actions() const { return *actions_; }
  Tray& TrayIcon() const { return *tray_; }
  TutorialsPanel* Tutorials() const { return tutorials_; }

  /// The help of the program, for the windows this one opens (may stay null in tests).
  void SetHelp(HelpCenter* help) { help_ = help; }
  /// What a desktop shortcut starts: this program, and the settings folder to name in it
  /// (empty: none, the default folder).
  void SetShortcutTarget(std::string exe, std::string settings_folder) {
    exe_ = std::move(exe);
    shortcutSettings_ = std::move(settings_folder);
  }
  /// Off when the settings file could not be read: it is then never written over.
  void SetMaySave(bool may_save) { maySave_ = may_save; }
  /// The end of start-up: reads the command line (arguments after the program's name, without
  /// --settings), starts the timer and runs the first tick, which starts a command-line job.
  void Start(std::span<const std::string> args);
  /// Shows the window as the command line asks: normally, or minimised to the tray (-sm).
  void ShowAtStart();
  /// Closes without the closing question: a signal or the end of the session.
  void CloseQuietly();
  /// Brings the window to the front, from the tray too.
  void Activate();
  /// Runs a command as its menu item would.
  void Run(TMainCommand command);

 signals:
  void HelpContextRequested(QWidget* from, int context);
  void HelpPageRequested(QWidget* from, const QString& page);

 public slots:
  /// Copies the selection into the jobs' marks, shows the counts or the selected job and
  /// enables the commands.
  void RefreshStatus();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void BuildFrame();
  /// Stops every run, waits for their ends (logs written) and saves. False: stay open.
  bool Shutdown();
  void Ticked(const TTickResult& result);
  void RunFinished(const TFinishResult& result);
  void HideToTray();
  void SetTutorialsShown(bool shown);
  void HeaderClicked(int column);
  void RecordSettings();
  /// The log viewer on a job (-1: none), unless one is open already.
  void OpenLogViewer(int32_t job_id);
  void OpenQuickInfo(QWidget* parent, const TJob& job);
  void OpenOptions();
  void OpenVisualRun();
  void NewJob();
  void EditJob();
  void SaveJobs();
  /// After asking, stops a waiting or executing job and waits for its run to end; false when
  /// the user keeps it running.
  bool StopForWindow(TJob& job, const TQuestion& question);
  void ApplyPlacement();

  TSettings& settings_;
  JobListModel* model_;
  QTableView* view_;
  RunDriver* runs_;
  MainActions* actions_;
  JobCommands* commands_;
  Tray* tray_;
  TutorialsPanel* tutorials_;
  QLabel* namePanel_;
  QLabel* statusPanel_;
  HelpCenter* help_ = nullptr;
  std::string exe_;
  std::string shortcutSettings_;
  bool maySave_ = true;
  bool loading_ = true;
  bool quiet_ = false;
  bool closed_ = false;
  bool closePending_ = false;
};

}  // namespace twn::gui
