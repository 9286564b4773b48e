#include "gui/main/main_window.h"
#include "gui/common/text.h"

#include <QtCore/QFile>
#include <QtCore/QTimer>
#include <QtCore/QUrl>
#include <QtGui/QCloseEvent>
#include <QtGui/QDesktopServices>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QMenu>
#include <QtWidgets/QMenuBar>
#include <QtWidgets/QStatusBar>
#include <QtWidgets/QTableView>
#include <QtWidgets/QToolBar>
#include <cstdio>

#include "app/command_line.h"
#include "app/placement.h"
#include "gui/common/message_boxes.h"
#include "gui/help/help_center.h"
#include "gui/host/qt_run_host.h"
#include "gui/logviewer/log_viewer.h"
#include "gui/main/job_commands.h"
#include "gui/main/job_list_model.h"
#include "gui/main/main_actions.h"
#include "gui/main/run_driver.h"
#include "gui/main/tray.h"
#include "gui/main/tutorials_panel.h"
#include "gui/options/options_window.h"
#include "gui/quickinfo/quick_info_window.h"
#include "gui/shortcut/create_shortcut_window.h"
#include "gui/visualrun/visual_run_window.h"
#include "gui/wizard/job_wizard.h"
#include "platform/fs.h"

namespace twn::gui {

namespace {

QLabel* AddPanel(QStatusBar* bar, const char* name, int stretch) {
  auto* label = new QLabel(bar);
  label->setObjectName(name);
  label->setTextFormat(Qt::PlainText);
  bar->addWidget(label, stretch);
  return label;
}

// Keeps the scheduler off a job while a window works with it or with a copy of it.
class WindowHold {
 public:
  explicit WindowHold(TJob& job) : job_(job) { job_.bHeldByWindow = true; }
  ~WindowHold() { job_.bHeldByWindow = false; }
  WindowHold(const WindowHold&) = delete;
  WindowHold& operator=(const WindowHold&) = delete;

 private:
  TJob& job_;
};

}  // namespace

MainWindow::MainWindow(TSettings& settings, TQtRunHost& host, QWidget* parent)
    : QMainWindow(parent),
      settings_(settings),
      model_(new JobListModel(settings.Jobs, {settings.SortColumn, settings.bAscending}, this)),
      view_(new QTableView(this)),
      runs_(new RunDriver(settings.Jobs, host, this)),
      actions_(new MainActions(this)),
      commands_(new JobCommands(*model_, *view_, *runs_, this)),
      tray_(new Tray(windowIcon(), this)),
      tutorials_(new TutorialsPanel(this)) {
  setObjectName("mainWindow");
  setWindowTitle(Text(kMainCaption));
  setMinimumSize(kMainMinWidth, kMainMinHeight);
  SetHelpContext(this, kMainWindowHelpContext);
  resize(784, 521);
  BuildFrame();
  runs_->Scheduler().MainLogFolder = settings_.MainLogFolder;
  connect(runs_, &RunDriver::Ticked, this, &MainWindow::Ticked);
  connect(runs_, &RunDriver::RunFinished, this, &MainWindow::RunFinished);
  connect(actions_, &MainActions::Triggered, this, &MainWindow::Run);
  connect(commands_, &JobCommands::Changed, this, &MainWindow::RefreshStatus);
  connect(tray_, &Tray::Chosen, this, [this](TTrayItem item) {
    if (item == tiActivate) Activate();
    if (item == tiFeedback) Run(cmFeedback);
    if (item == tiAbout) Run(cmAbout);
    if (item == tiClose) close();
  });
  connect(tutorials_, &TutorialsPanel::TutorialChosen, this,
          [this](int context) { emit HelpContextRequested(tutorials_, context); });
  connect(tutorials_, &TutorialsPanel::CloseClicked, this, [this] { Run(cmShowTutorials); });
  SetTutorialsShown(settings_.bShowTutorials);
  RefreshStatus();
}

MainWindow::~MainWindow() {
  // Normally Shutdown has done this. A job must never be destroyed while its run goes on: the
  // run needs this thread to serve it until its end has been handled.
  runs_->Scheduler().bTickSuspended = true;
  for (const auto& job : settings_.Jobs) job->Stop();
  runs_->WaitUntil([this] { return !runs_->AnyRunThread(); });
}

void MainWindow::BuildFrame() {
  view_->setObjectName("jobList");
  view_->setModel(model_);
  view_->setSelectionBehavior(QAbstractItemView::SelectRows);
  view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->setShowGrid(false);
  view_->setWordWrap(false);
  view_->setContextMenuPolicy(Qt::CustomContextMenu);
  view_->verticalHeader()->hide();
  view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);  // no per-row measuring
  view_->horizontalHeader()->setSectionsClickable(true);
  view_->horizontalHeader()->setHighlightSections(false);
  view_->horizontalHeader()->setStretchLastSection(true);
  view_->horizontalHeader()->setMinimumSectionSize(kMinColumnWidth);
  for (int column = 0; column < int(kJobListColumns); ++column)
    view_->setColumnWidth(column, ClampColumnWidth(column, settings_.ColumnWidth[size_t(column)]));
  setCentralWidget(view_);
  view_->installEventFilter(this);  // its resizing, for autosized columns
  addDockWidget(Qt::LeftDockWidgetArea, tutorials_);

  actions_->BuildMenus(menuBar());
  auto* toolbar = addToolBar("Jobs");
  toolbar->setObjectName("mainToolBar");
  toolbar->setMovable(false);
  actions_->BuildToolBar(toolbar);
  QMenu* context = actions_->BuildContextMenu(view_);
  connect(view_, &QWidget::customContextMenuRequested, this, [this, context](const QPoint& at) {
    context->popup(view_->viewport()->mapToGlobal(at));
  });
  connect(view_, &QAbstractItemView::doubleClicked, this, [this] {
    if (actions_->Action(cmQuickInfo)->isEnabled()) Run(cmQuickInfo);
  });

  namePanel_ = AddPanel(statusBar(), "statusJobName", 0);
  statusPanel_ = AddPanel(statusBar(), "statusText", 1);
  connect(view_->horizontalHeader(), &QHeaderView::sectionClicked, this,
          &MainWindow::HeaderClicked);
  connect(view_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &MainWindow::RefreshStatus);
}

void MainWindow::Start(std::span<const std::string> args) {
  std::vector<std::string> names;
  for (const auto& job : settings_.Jobs) names.push_back(job->Data.JobName);
  TScheduler& scheduler = runs_->Scheduler();
  scheduler.CommandLine = ReadCommandLine(args, names);
  const TCommandLine& cl = scheduler.CommandLine;
  if (cl.CommandLineJob >= 0) settings_.Jobs[size_t(cl.CommandLineJob)]->bRunFromCommandLine = true;
  if (!args.empty() && !cl.bCommandLineActive)
    MessageBoxes().Warn(this, Text(kJobNotFoundTitle),
                        Text(JobNotFoundText(cl.CommandLineJobName)));
  runs_->StartTimer();
  model_->Watcher().SetUpdating(true);
  runs_->Tick();
  model_->JobsReset();
  RefreshStatus();
}

void MainWindow::ShowAtStart() {
  ApplyPlacement();
  if (runs_->Scheduler().CommandLine.bStartMinimized) {
    // Hidden in the tray; without a tray, minimised on the taskbar.
    if (tray_->Available()) {
      loading_ = false;
      return;
    }
    showMinimized();
  } else {
    show();
  }
  loading_ = false;
  RefreshStatus();
}

void MainWindow::RefreshStatus() {
  commands_->SaveSelection();
  TWatcher& watcher = model_->Watcher();
  watcher.Recount();
  namePanel_->setVisible(watcher.TwoPanels());
  namePanel_->setText(watcher.TwoPanels() ? QString::fromUtf8(watcher.JobNameText()) : QString());
  if (watcher.TwoPanels()) namePanel_->setFixedWidth(view_->columnWidth(JobListModel::ColName));
  statusPanel_->setText(QString::fromUtf8(watcher.StatusText()));
  actions_->Enable(watcher.Commands());
}

void MainWindow::HeaderClicked(int column) {
  commands_->SaveSelection();
  if (!model_->ColumnClick(column)) return;
  commands_->RestoreSelection();
}

void MainWindow::Run(TMainCommand command) {
  if (!actions_->Action(command)->isEnabled()) return;
  // Inside a wait for runs to end nothing may delete jobs or start another wait.
  if (runs_->Waiting() &&
      (command == cmDelete || command == cmNew || command == cmEdit || command == cmVisualRun))
    return;
  switch (command) {
    case cmNew:
      NewJob();
      break;
    case cmEdit:
      EditJob();
      break;
    case cmDelete:
      commands_->Delete();
      SaveJobs();
      break;
    case cmDuplicate:
      commands_->Duplicate();
      SaveJobs();
      break;
    case cmSelectAll:
      commands_->SelectAll();
      break;
    case cmExecute:
      commands_->Execute();
      break;
    case cmStop:
      commands_->Stop();
      break;
    case cmAdjustColumns:
      commands_->AdjustColumns();
      break;
    case cmShowTutorials:
      settings_.bShowTutorials = !settings_.bShowTutorials;
      SetTutorialsShown(settings_.bShowTutorials);
      break;
    case cmVisualRun:
      OpenVisualRun();
      break;
    case cmQuickInfo:
      if (const TJob* job = model_->Watcher().SingleSelected()) OpenQuickInfo(this, *job);
      break;
    case cmLogViewer: {
      const TJob* job = model_->Watcher().SingleSelected();
      OpenLogViewer(job ? job->JobID : -1);
      break;
    }
    case cmCreateShortcut:
      if (const TJob* job = model_->Watcher().SingleSelected())
        ShowCreateShortcut(this, *job, exe_, shortcutSettings_, help_,
                           [this](QWidget* parent, const TJob& j) { OpenQuickInfo(parent, j); });
      break;
    case cmOptions:
      OpenOptions();
      break;
    case cmClose:
      close();
      break;
    case cmHelpContents:
      emit HelpPageRequested(this, "what_is_twn.html");
      break;
    case cmHelpTutorials:
      emit HelpPageRequested(this, "tutorials.html");
      break;
    case cmHomePage:
      QDesktopServices::openUrl(QUrl(Text(kHomePage)));
      break;
    case cmFeedback:
      QDesktopServices::openUrl(QUrl(Text(kSupportMail)));
      break;
    case cmAbout:
      MessageBoxes().Inform(this, Text(kProgramName), Text(AboutText(TWN_VERSION)));
      break;
    default:
      break;  // the windows of the other commands come later
  }
  if (closePending_ && !runs_->Waiting()) close();
}

void MainWindow::Ticked(const TTickResult& result) {
  QList<int> rows;
  for (const int32_t id : result.redraw) rows.append(model_->RowOf(id));
  model_->RefreshRows(rows);
  if (result.changed) model_->Resort();
  if (result.changed || !result.started.empty()) RefreshStatus();
}

void MainWindow::RunFinished(const TFinishResult& result) {
  model_->RefreshRows({model_->RowOf(result.job->JobID)});
  RefreshStatus();
  if (auto* viewer = findChild<LogViewer*>()) viewer->Refresh();  // a new log, a new order
  if (result.show_log) OpenLogViewer(result.job->JobID);
  if (result.minimize) HideToTray();
  if (result.close) QTimer::singleShot(0, this, &QWidget::close);
}

void MainWindow::CloseQuietly() {
  quiet_ = true;
  close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!closed_ && runs_->Waiting()) {
    closePending_ = true;  // closes once the wait for runs has ended
    event->ignore();
    return;
  }
  if (!closed_ && !Shutdown()) {
    event->ignore();
    return;
  }
  closed_ = true;
  event->accept();
  QCoreApplication::quit();
}

bool MainWindow::Shutdown() {
  TScheduler& scheduler = runs_->Scheduler();
  int32_t waiting = 0, executing = 0;
  for (const auto& job : settings_.Jobs) {
    // A stopped job may show "nothing" while its run is still ending: it counts as executing.
    executing += job->Running() ? 1 : 0;
    waiting += job->State == jsWaiting && !job->Running() ? 1 : 0;
  }
  const auto question = ClosingQuestion(waiting, executing, scheduler.HoldsScheduler());
  if (!quiet_ && question && !MessageBoxes().Ask(this, Text(question->Title), Text(question->Text)))
    return false;
  scheduler.bTickSuspended = true;
  for (const auto& job : settings_.Jobs) job->Stop();
  // Every run's end is handled (its logs written) before the settings are saved.
  runs_->WaitUntil([this] { return !runs_->AnyRunThread(); });
  runs_->StopTimer();
  model_->Watcher().SetUpdating(false);
  RecordSettings();
  if (!maySave_) return true;
  const platform::TError error = settings_.SaveSettings();
  if (error == 0) return true;
  const TQuestion failed = SaveFailedQuestion(settings_.FilePath(), platform::ErrorText(error));
  if (quiet_) {
    std::fprintf(stderr, "twn: %s\n", failed.Text.c_str());
    return true;
  }
  if (MessageBoxes().Ask(this, Text(failed.Title), Text(failed.Text))) return true;
  scheduler.bTickSuspended = false;  // staying: back to work
  model_->Watcher().SetUpdating(true);
  runs_->StartTimer();
  return false;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == view_ && event->type() == QEvent::Resize && settings_.bAutosizeColumns)
    QTimer::singleShot(0, commands_, &JobCommands::AdjustColumns);  // once the viewport is laid out
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && isMinimized() && tray_->Available())
    QTimer::singleShot(0, this, &MainWindow::HideToTray);  // not from inside the state change
}

void MainWindow::HideToTray() {
  if (tray_->Available())
    hide();
  else
    showMinimized();
}

void MainWindow::Activate() {
  if (isMinimized() || isHidden()) showNormal();
  show();
  raise();
  activateWindow();
}

void MainWindow::OpenLogViewer(int32_t job_id) {
  if (findChild<LogViewer*>()) return;
  ShowLogViewer(this, settings_, job_id, help_,
                [this](QWidget* parent, const TJob& job) { OpenQuickInfo(parent, job); });
}

void MainWindow::OpenQuickInfo(QWidget* parent, const TJob& job) {
  ShowQuickInfo(parent, job, settings_, help_);
}

void MainWindow::OpenOptions() {
  if (!ShowOptions(this, settings_, help_)) return;
  SetTutorialsShown(settings_.bShowTutorials);
  runs_->Scheduler().MainLogFolder = settings_.MainLogFolder;  // for the next runs
  if (settings_.bAutosizeColumns) commands_->AdjustColumns();
}

bool MainWindow::StopForWindow(TJob& job, const TQuestion& question) {
  if (job.State == jsWaiting || job.State == jsExecuting) {
    if (!MessageBoxes().Ask(this, Text(question.Title), Text(question.Text))) return false;
    commands_->Stop();  // the one selected job becomes manual and its run is asked to stop
  }
  // What the window does must not meet the job's own run: wait for it to end.
  runs_->WaitUntil([&job] { return !job.Running(); });
  return true;
}

void MainWindow::NewJob() {
  auto job = std::make_unique<TJob>(NewJobID());
  const std::vector<std::string> names = SortedJobNames(settings_.Jobs);
  if (!ShowJobWizard(this, *job, names, settings_, runs_->Host(), help_)) return;
  commands_->Add(std::move(job));
  SaveJobs();
}

void MainWindow::EditJob() {
  commands_->SaveSelection();
  TJob* job = model_->Watcher().SingleSelected();
  if (!job) return;
  const WindowHold hold(*job);
  if (!StopForWindow(*job, EditQuestion(job->Data.JobName))) return;
  const std::vector<std::string> names = SortedJobNames(settings_.Jobs);
  const bool saved = ShowJobWizard(this, *job, names, settings_, runs_->Host(), help_);
  if (saved) {
    job->ComputeNextRun();
    job->UpdateState();
  }
  model_->RefreshRows({model_->RowOf(job->JobID)});
  commands_->Resort();
  if (saved) SaveJobs();
}

// Jobs made or changed by hand are written at once: a crash or a power cut must not take
// them. A failure is said and the change kept; the close tries again.
void MainWindow::SaveJobs() {
  if (!maySave_) return;
  RecordSettings();
  const platform::TError error = settings_.SaveSettings();
  if (error == 0) return;
  const TQuestion failed = SaveJobsFailedWarning(settings_.FilePath(), platform::ErrorText(error));
  MessageBoxes().Warn(this, Text(failed.Title), Text(failed.Text));
}

void MainWindow::OpenVisualRun() {
  TJob* job = model_->Watcher().SingleSelected();
  if (!job) return;
  {
    const WindowHold hold(*job);
    if (!StopForWindow(*job, VisualRunQuestion(job->Data.JobName))) return;
    ShowVisualRun(this, *job, settings_, runs_->Host(), help_);
  }
  model_->RefreshRows({model_->RowOf(job->JobID)});
  if (auto* viewer = findChild<LogViewer*>()) viewer->Refresh();  // the window wrote logs
  RefreshStatus();
}

void MainWindow::SetTutorialsShown(bool shown) {
  tutorials_->setVisible(shown);
  actions_->Action(cmShowTutorials)->setChecked(shown);
}

void MainWindow::RecordSettings() {
  for (int column = 0; column < int(kJobListColumns); ++column)
    settings_.ColumnWidth[size_t(column)] = ClampColumnWidth(column, view_->columnWidth(column));
  settings_.SortColumn = model_->Order().SortColumn;
  settings_.bAscending = model_->Order().bAscending;
  const int32_t state = isMinimized() || isHidden() ? kStateMinimised
                        : isMaximized()             ? kStateMaximised
                                                    : kStateNormal;
  const QRect normal = state == kStateNormal ? geometry() : normalGeometry();
  RecordPlacement(settings_, state, {normal.x(), normal.y(), normal.width(), normal.height()});
}

namespace {

TRect ToRect(const QRect& r) {
  return {r.x(), r.y(), r.width(), r.height()};
}

}  // namespace

void MainWindow::ApplyPlacement() {
  const QScreen* primary = QGuiApplication::primaryScreen();
  if (!primary) return;
  if (settings_.MainWidth < 0) {
    // A first start: columns as wide as their texts rather than a fixed 100 pixels.
    view_->resizeColumnsToContents();
    for (int column = 0; column < JobListModel::ColProgress; ++column)
      view_->setColumnWidth(column, ClampColumnWidth(column, view_->columnWidth(column) + 16));
  }
  TRect bounds = FirstPlacement(settings_, ToRect(primary->virtualGeometry()));
  StoreBounds(settings_, bounds);
  std::vector<TRect> screens;
  for (const QScreen* screen : QGuiApplication::screens())
    screens.push_back(ToRect(screen->availableGeometry()));
  bounds = PulledOntoScreens(bounds, screens);
  setGeometry(bounds.Left, bounds.Top, bounds.Width, bounds.Height);
  if (settings_.MainWindowState == kStateMaximised) setWindowState(Qt::WindowMaximized);
}

}  // namespace twn::gui
