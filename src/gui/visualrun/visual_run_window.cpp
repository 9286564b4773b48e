#include "gui/visualrun/visual_run_window.h"

#include <QtCore/QEventLoop>
#include <QtCore/QFile>
#include <QtGui/QCloseEvent>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QStatusBar>
#include <QtWidgets/QTableView>
#include <QtWidgets/QVBoxLayout>
#include <algorithm>

#include "app/watcher.h"
#include "engine/delete_guard.h"
#include "gui/common/message_boxes.h"
#include "gui/common/text.h"
#include "gui/common/window_placement.h"
#include "gui/help/help_center.h"
#include "gui/quickinfo/quick_info_window.h"
#include "gui/visualrun/visual_run_delegate.h"
#include "gui/visualrun/visual_run_models.h"
#include "gui/visualrun/visual_run_panels.h"
#include "run/report.h"

namespace twn::gui {
namespace {

QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  return button;
}

}  // namespace

VisualRunWindow::VisualRunWindow(TJob& listed, TSettings& settings, TQtRunHost& host,
                                 HelpCenter* help, QWidget* parent, const TJobData* definition)
    : QDialog(parent),
      listed_(listed),
      settings_(settings),
      host_(host),
      help_(help),
      working_(std::make_unique<TJob>(NewJobID())) {
  working_->Assign(listed);
  if (definition) working_->Data.Assign(*definition);
  setObjectName("VisualRunWindow");
  setWindowTitle(Text(VisualRunCaption(working_->Data.JobName)));
  setMinimumSize(720, 480);
  sort_ = working_->ScanInfo.SortSettings();

  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  top->addWidget(BuildControls());
  panels_ = new InfoPanels(this);
  top->addWidget(panels_, 1);
  layout->addLayout(top);
  grid_box_ = new QGroupBox(this);
  grid_box_->setObjectName("groupGrid");
  BuildGrid(grid_box_);
  layout->addWidget(grid_box_, 1);
  BuildStatusBar();
  layout->addWidget(status_);
  resize(960, 640);

  host_.Register(kVisualRunNotifyWindow,
                 [this](uint32_t message, int32_t job_id) { Message(message, job_id); });
  SetPhase(vpReady);
}

VisualRunWindow::~VisualRunWindow() {
  if (working_->Running()) {
    // The job may not die before its run has ended; serve events until the run-finished
    // message, which now only resets the job.
    QEventLoop loop;
    host_.Register(kVisualRunNotifyWindow, [this, &loop](uint32_t message, int32_t) {
      if (message != WM_JOBFINISHED) return;
      working_->ResetAfterRun();
      loop.quit();
    });
    working_->Stop();
    loop.exec();
  }
  host_.Unregister(kVisualRunNotifyWindow);
}

QWidget* VisualRunWindow::BuildControls() {
  auto* box = new QGroupBox(tr("Controls"), this);
  box->setObjectName("groupControls");
  auto* column = new QVBoxLayout(box);
  first_ = Button(box, "btnFirst", {});
  second_ = Button(box, "btnSecond", {});
  quick_info_ = Button(box, "btnQuickInfo", tr("Job quick info"));
  quick_info_->setProperty("tag", kQuickInfoTag);
  help_button_ = Button(box, "btnHelp", tr("&Help"));
  close_ = Button(box, "btnCloseWindow", tr("&Close window"));
  for (QPushButton* b : {first_, second_, quick_info_, help_button_, close_}) {
    column->addWidget(b);
    connect(b, &QPushButton::clicked, this, [this, b] { RunTag(b->property("tag").toInt()); });
  }
  column->addStretch(1);
  // Wide enough for the longest caption of any phase, so the column never changes width.
  int widest = close_->sizeHint().width();
  for (int phase = 1; phase <= kVisualPhaseCount; ++phase) {
    for (std::string_view caption :
         {PhaseLayout(phase).first_caption, PhaseLayout(phase).second_caption}) {
      first_->setText(Text(caption));
      widest = std::max(widest, first_->sizeHint().width());
    }
  }
  for (QPushButton* b : {first_, second_, quick_info_, help_button_, close_})
    b->setMinimumWidth(widest);
  return box;
}

void VisualRunWindow::BuildGrid(QGroupBox* box) {
  auto* layout = new QVBoxLayout(box);
  grid_ = new QTableView(box);
  grid_->setObjectName("gridPreview");
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setShowGrid(false);  // the delegates draw the lines, so folder rows have none inside
  grid_->setWordWrap(false);
  grid_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  grid_->verticalHeader()->hide();
  // Uniform rows: the view never asks 10^5 rows for their height.
  grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 4);
  grid_->horizontalHeader()->setSectionsClickable(true);
  grid_->horizontalHeader()->setHighlightSections(false);
  connect(grid_->horizontalHeader(), &QHeaderView::sectionClicked, this,
          &VisualRunWindow::HeaderClicked);
  layout->addWidget(grid_);

  items_ = new GridModel(*working_, false, this);
  preview_ = new GridModel(*working_, true, this);
  log_ = new LogModel(*working_, this);
  const SideFont fonts[2] = {SideFontOf(settings_.WizardFontL, grid_->font()),
                             SideFontOf(settings_.WizardFontR, grid_->font())};
  grid_delegate_ = new GridDelegate(grid_, fonts);
  log_delegate_ = new LogDelegate(grid_);
  // The columns follow the width the vertical scroll bar leaves.
  connect(grid_->verticalScrollBar(), &QScrollBar::rangeChanged, this,
          &VisualRunWindow::FitColumns);
}

void VisualRunWindow::BuildStatusBar() {
  status_ = new QStatusBar(this);
  status_->setObjectName("statusBar");
  status_->setSizeGripEnabled(false);
  for (int side : {kLeft, kRight}) {
    panes_[side] = new QLabel(status_);
    panes_[side]->setObjectName(side == kLeft ? "statusLeft" : "statusRight");
    status_->addWidget(panes_[side], 1);
  }
}

void VisualRunWindow::SetPhase(int phase) {
  phase_ = phase;
  const TPhaseLayout& l = PhaseLayout(phase);
  first_->setText(Text(l.first_caption));
  first_->setProperty("tag", l.first_tag);
  first_->setVisible(l.first_tag != 0);
  second_->setText(Text(l.second_caption));
  second_->setProperty("tag", l.second_tag);
  second_->setVisible(l.second_tag != 0);
  help_button_->setProperty("tag", l.help_tag);
  close_->setProperty("tag", l.close_tag);
  first_->setDefault(!l.close_is_default);
  close_->setDefault(l.close_is_default);
  (l.close_is_default ? close_ : first_)->setFocus();
  panels_->ShowPhase(phase);
  SetHelpContext(this, PhaseHelpContext(phase));
  SetStatus(phase);
  RefreshGrid();
}

void VisualRunWindow::SetStatus(int phase) {
  std::array<std::string, 2> texts;
  if (phase == vpCompared) {
    texts = ComparisonTotalsPanels(working_->ScanInfo.ClassCounters());
  } else if (phase == vpPreview) {
    texts = PlanTotalsPanels(working_->ScanInfo.PlanCounters());
  } else if (phase == vpDone) {
    texts[0] = CompletedStatus(working_->OperationCount(), ProgressErrors(working_->Progress));
  } else {
    texts[0] = std::string(PhaseStatusText(phase));
  }
  panes_[kLeft]->setText(Text(texts[kLeft]));
  panes_[kRight]->setText(Text(texts[kRight]));
  panes_[kRight]->setVisible(phase == vpCompared || phase == vpPreview);
}

void VisualRunWindow::RunTag(int tag) {
  switch (CommandOfTag(tag)) {
    case vcNothing:
      return;
    case vcCompare:
      return StartRun(rmCompareOnly);
    case vcSynchronize:
      if (GuardAllows()) StartRun(rmSyncOnly);
      return;
    case vcStop:
      return Stop();
    case vcPreview:
      return SetPhase(vpPreview);
    case vcBackToCompare:
      return SetPhase(vpCompared);
    case vcClose:
      close();
      return;
    case vcStopAndClose:
      close_requested_ = true;
      Stop();
      return;
    case vcHelp:
      if (help_) help_->ShowTopic(this, Text(HelpPageOfTag(tag)));
      return;
    case vcQuickInfo:
      ShowQuickInfo(this, *working_, settings_, help_);
      return;
  }
}

void VisualRunWindow::StartRun(TRunMode mode) {
  if (working_->Running()) return;
  mode_ = mode;
  // The gauge maxima come from the plan, which may be read only before the run starts.
  if (mode == rmSyncOnly) plan_ = working_->ScanInfo.PlanCounters();
  items_->SetShown(false);
  preview_->SetShown(false);
  SetPhase(mode == rmCompareOnly ? vpComparing : vpSynchronizing);
  if (!working_->Start(host_, kVisualRunNotifyWindow, mode)) return;
  if (mode == rmCompareOnly)
    panels_->SetScanLabels(ScanProgressLabels(nullptr));
  else
    panels_->SetSyncLines(SyncProgressLines(working_->Progress, plan_), true);
}

bool VisualRunWindow::GuardAllows() {
  // A sync-only run is never held by the worker: the user is here to answer.
  const TGuardVerdict v = CheckDeleteGuard(working_->ScanInfo, working_->Data.MaxDeletePercent);
  if (!v.held) return true;
  const TQuestion q = GuardQuestion(working_->Data.JobName, v.text);
  return MessageBoxes().Ask(this, Text(q.Title), Text(q.Text));
}

void VisualRunWindow::Stop() {
  working_->Stop();
}

void VisualRunWindow::Message(uint32_t message, int32_t job_id) {
  if (job_id != working_->JobID || !working_->Running()) return;
  if (message == WM_JOBFINISHED) return RunFinished();
  if (message != WM_JOBPROGRESS) return;
  if (phase_ == vpComparing) {
    panels_->SetScanLabels(ScanProgressLabels(&working_->Progress));
  } else if (phase_ == vpSynchronizing) {
    panels_->SetSyncLines(SyncProgressLines(working_->Progress, plan_), false);
    log_->Refresh();
    ShowLogEnd();
  }
}

void VisualRunWindow::RunFinished() {
  working_->ResetAfterRun();
  TScanInfo& scan = working_->ScanInfo;
  if (mode_ == rmSyncOnly) {
    const std::vector<TLogFailure> failures = working_->WriteLogs(listed_, settings_.MainLogFolder);
    if (!failures.empty())
      MessageBoxes().Warn(this, windowTitle(),
                          tr("The log file %1 could not be written.")
                              .arg(QFile::decodeName(QByteArray::fromStdString(failures[0].Path))));
  }
  data_available_ = true;
  int next = vpReady;
  if (!scan.Terminated() && mode_ == rmCompareOnly) {
    // A new comparison is sorted the way the scan info was last told; the marks follow it.
    sort_ = scan.SortSettings();
    items_->Resorted(sort_);
    preview_->Resorted(sort_);
    panels_->SetStatistics(ComparisonStatRows(scan.ClassCounters()));
    panels_->SetChanges(ChangeStatRows(scan.PlanCounters()));
    next = vpCompared;
  } else if (!scan.Terminated()) {
    panels_->SetCompletion(CompletionRows(working_->Progress));
    next = vpDone;
  }
  items_->SetShown(true);
  preview_->SetShown(true);
  SetPhase(next);
  if (close_requested_) close();
}

void VisualRunWindow::RefreshGrid() {
  const TGridView view = PhaseLayout(phase_).view;
  grid_box_->setTitle(Text(GridCaption(view)));
  QAbstractItemModel* model = view == gvComparison ? static_cast<QAbstractItemModel*>(items_)
                              : view == gvPreview  ? static_cast<QAbstractItemModel*>(preview_)
                                                   : log_;
  if (view == gvLog) log_->Refresh();
  if (grid_->model() != model) {
    QItemSelectionModel* old = grid_->selectionModel();
    grid_->setModel(model);
    if (old) old->deleteLater();  // the view makes a new one for every model
    grid_->setItemDelegate(view == gvLog ? log_delegate_ : grid_delegate_);
  }
  ShowSortMark();
  FitColumns();
  if (view == gvLog) ShowLogEnd();
}

void VisualRunWindow::FitColumns() {
  if (!grid_ || !grid_->model()) return;
  const int total = grid_->viewport()->width();
  if (grid_->model() == log_) {
    grid_->setColumnWidth(0, total);
    return;
  }
  const QFontMetrics header(grid_->horizontalHeader()->font());
  const int extra = 12;
  const auto widest = [&](const QFont& font, std::initializer_list<std::string> texts) {
    const QFontMetrics m(font);
    int w = 0;
    for (const std::string& t : texts) w = std::max(w, m.horizontalAdvance(Text(t)));
    return w + extra;
  };
  const auto side = [&](int s, const TFontSetting& setting) {
    const QFont font = SideFontOf(setting, grid_->font()).font;
    // The largest size is known only between runs.
    const int64_t largest =
        working_->Running() ? 0 : int64_t(working_->ScanInfo.Items().LargestFileSize(s));
    const auto dates = DateSamples();
    return TSideWidths{
        std::max(widest(font, {GroupedNumber(largest)}), header.horizontalAdvance(" Size") + 24),
        std::max(widest(font, {dates[0], dates[1]}), header.horizontalAdvance(" Date") + 24),
        std::max(widest(font, {std::string(kAttrSample)}), header.horizontalAdvance("Attr") + 12)};
  };
  const auto widths = GridColumnWidths(total, side(kLeft, settings_.WizardFontL),
                                       side(kRight, settings_.WizardFontR));
  for (int c = 0; c < kGridColumnCount; ++c) grid_->setColumnWidth(c, widths[c]);
}

void VisualRunWindow::ShowLogEnd() {
  if (grid_->model() != log_ || log_->Lines() == 0) return;
  const QModelIndex last = log_->index(log_->rowCount() - 1, 0);
  grid_->selectionModel()->setCurrentIndex(
      last, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  grid_->scrollTo(last);
}

void VisualRunWindow::ShowSortMark() {
  QHeaderView* header = grid_->horizontalHeader();
  const bool marked = grid_->model() != log_;
  header->setSortIndicatorShown(marked);
  if (!marked) return;
  const int column = (sort_.prefer_left ? gcLeftName : gcRightName) + sort_.key;
  header->setSortIndicator(column, sort_.ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void VisualRunWindow::HeaderClicked(int column) {
  // The worker owns the tables while it runs.
  if (!working_->Running() && grid_->model() != log_ && SortAfterClick(column, sort_)) {
    working_->ScanInfo.SortItems(sort_.key, sort_.prefer_left, sort_.ascending);
    items_->Resorted(sort_);
    preview_->Resorted(sort_);
    grid_->viewport()->update();
  }
  ShowSortMark();
}

bool VisualRunWindow::MayClose() {
  close_requested_ = true;
  if (working_->Running()) {
    Stop();  // the window closes when the run-finished message comes
    return false;
  }
  RecordWindowPlacement(*this, settings_.VisualRun);
  return true;
}

void VisualRunWindow::closeEvent(QCloseEvent* event) {
  if (!MayClose()) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void VisualRunWindow::reject() {
  if (MayClose()) QDialog::reject();
}

void VisualRunWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  FitColumns();
}

void VisualRunWindow::showEvent(QShowEvent* event) {
  if (!placed_) {
    placed_ = true;
    ApplyWindowPlacement(*this, settings_.VisualRun, parentWidget());
  }
  QDialog::showEvent(event);
  FitColumns();
}

void ShowVisualRun(QWidget* parent, TJob& job, const TJobData& definition, TSettings& settings,
                   TQtRunHost& host, HelpCenter* help) {
  // Two runs must never work on the same folders: the caller waits for the listed job's run
  // to end before it opens the window.
  if (job.Running()) {
    MessageBoxes().Warn(parent, Text(kVisualRunCaption),
                        QObject::tr("The job '%1' is still running.")
                            .arg(QString::fromStdString(job.Data.JobName)));
    return;
  }
  VisualRunWindow window(job, settings, host, help, parent, &definition);
  window.exec();
}

void ShowVisualRun(QWidget* parent, TJob& job, TSettings& settings, TQtRunHost& host,
                   HelpCenter* help) {
  ShowVisualRun(parent, job, job.Data, settings, host, help);
}

}  // namespace twn::gui
