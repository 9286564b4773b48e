#include "gui/logviewer/log_viewer.h"
#include "gui/common/text.h"

#include <QtCore/QFile>
#include <QtGui/QFontDatabase>
#include <QtGui/QTextBlock>
#include <QtGui/QTextCursor>
#include <QtGui/QTextDocument>
#include <QtGui/QWheelEvent>
#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSplitter>
#include <QtWidgets/QStatusBar>
#include <algorithm>

#include "gui/common/message_boxes.h"
#include "gui/common/window_placement.h"
#include "gui/help/help_center.h"
#include "platform/locale.h"
#include "platform/read_file.h"
#include "windows/log_viewer.h"

namespace twn::gui {

namespace {

constexpr int kLogViewerHelpContext = 18;
constexpr int kPanelCount = 5;

template <class W>
W* Named(W* w, const char* name) {
  w->setObjectName(name);
  return w;
}

}  // namespace

LogViewer::LogViewer(QWidget* parent, TSettings& settings, TQuickInfoFn quick_info)
    : QDialog(parent), settings_(settings), quickInfo_(std::move(quick_info)) {
  setObjectName("Tform_LogViewer");
  setWindowTitle(Text(kLogViewerCaption));
  setMinimumSize(300, 400);
  resize(860, 600);
  SetHelpContext(this, kLogViewerHelpContext);
  BuildLists();
  BuildControls();
  BuildText();

  auto* top = new QWidget(this);
  auto* topRow = new QHBoxLayout(top);
  topRow->setContentsMargins(0, 0, 0, 0);
  auto* splitterV = Named(new QSplitter(Qt::Horizontal, top), "SplitterV");
  splitterV->addWidget(jobGroup_);
  splitterV->addWidget(logGroup_);
  splitterV->setStretchFactor(1, 2);
  topRow->addWidget(splitterV, 1);
  topRow->addWidget(findChild<QGroupBox*>("gbxControls"));

  auto* splitterH = Named(new QSplitter(Qt::Vertical, this), "SplitterH");
  splitterH->addWidget(top);
  splitterH->addWidget(textGroup_);
  splitterH->setStretchFactor(1, 3);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(splitterH, 1);
  layout->addWidget(status_);
}

void LogViewer::BuildLists() {
  jobGroup_ = Named(new QGroupBox(this), "gbxJobList");
  jobList_ = Named(new QListWidget(jobGroup_), "lbxJobList");
  (new QVBoxLayout(jobGroup_))->addWidget(jobList_);
  // The wheel steps through the jobs as the arrow keys do, rather than scrolling.
  jobList_->viewport()->installEventFilter(this);
  connect(jobList_, &QListWidget::currentRowChanged, this, &LogViewer::OnJobRow);

  logGroup_ = Named(new QGroupBox(this), "gbxLogList");
  logList_ = Named(new QListWidget(logGroup_), "lbxLogList");
  (new QVBoxLayout(logGroup_))->addWidget(logList_);
  connect(logList_, &QListWidget::currentRowChanged, this, &LogViewer::OnLogRow);
}

void LogViewer::BuildControls() {
  auto* group = Named(new QGroupBox("Controls", this), "gbxControls");
  findLabel_ = Named(new QLabel("Find text:", group), "lblFindText");
  find_ = Named(new QComboBox(group), "cmbFind");
  find_->setEditable(true);
  find_->setInsertPolicy(QComboBox::NoInsert);
  find_->setMinimumContentsLength(16);
  findLabel_->setBuddy(find_);
  findButton_ = Named(new QPushButton("Find", group), "btnFind");
  jobInfo_ = Named(new QPushButton("Job info", group), "btnJobInfo");
  remove_ = Named(new QPushButton("Remove logfile", group), "btnRemove");
  removeDead_ = Named(new QPushButton("Remove all dead logs", group), "btnRemoveDead");
  auto* close = Named(new QPushButton("Close window", group), "btnClose");
  auto* column = new QVBoxLayout(group);
  for (QWidget* w : std::initializer_list<QWidget*>{findLabel_, find_, findButton_, jobInfo_,
                                                    remove_, removeDead_})
    column->addWidget(w);
  column->addStretch(1);
  column->addWidget(close);
  connect(findButton_, &QPushButton::clicked, this, &LogViewer::OnFind);
  connect(jobInfo_, &QPushButton::clicked, this, &LogViewer::OnJobInfo);
  connect(remove_, &QPushButton::clicked, this, &LogViewer::OnRemove);
  connect(removeDead_, &QPushButton::clicked, this, &LogViewer::OnRemoveDead);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void LogViewer::BuildText() {
  textGroup_ = Named(new QGroupBox(this), "gbxText");
  text_ = Named(new QPlainTextEdit(textGroup_), "RichEdit");
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  // A match stays marked while the find box has the focus.
  QPalette palette = text_->palette();
  for (auto role : {QPalette::Highlight, QPalette::HighlightedText})
    palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
  text_->setPalette(palette);
  (new QVBoxLayout(textGroup_))->addWidget(text_);
  connect(text_, &QPlainTextEdit::cursorPositionChanged, this, &LogViewer::OnCaretMoved);

  status_ = Named(new QStatusBar(this), "StatusBar");
  status_->setSizeGripEnabled(false);
  for (int i = 0; i < kPanelCount; ++i) {
    auto* panel = new QLabel(status_);
    panel->setObjectName(QString("Panel%1").arg(i));
    panel->setFrameShape(QFrame::StyledPanel);
    status_->addWidget(panel, i == kPanelCount - 1 ? 1 : 0);
    panels_.push_back(panel);
  }
}

void LogViewer::Prepare(int32_t job_id) {
  FillJobList();
  find_->clear();
  for (const std::string& s : settings_.SearchHistory) find_->addItem(Text(s));
  if (find_->count() > 0) find_->setCurrentIndex(0);
  ApplyWindowPlacement(*this, settings_.LogViewer, parentWidget());
  jobList_->setFocus();
  const auto row = std::find(rowJobs_.begin(), rowJobs_.end(), job_id);
  const bool found = row != rowJobs_.end();
  {
    QSignalBlocker block(jobList_);
    jobList_->setCurrentRow(found ? int(row - rowJobs_.begin()) : -1);
  }
  ListLogs(found ? job_id : -1);
}

void LogViewer::FillJobList() {
  QSignalBlocker block(jobList_);
  jobList_->clear();
  rowJobs_.clear();
  for (const auto& job : settings_.Jobs) {
    jobList_->addItem(Text(ListItem(job->Data.JobName)));
    rowJobs_.push_back(job->JobID);
  }
  jobGroup_->setTitle(Text(JobListCaption(rowJobs_.size())));
}

TJob* LogViewer::ListedJobPtr() const {
  for (const auto& job : settings_.Jobs)
    if (job->JobID == job_id_) return job.get();
  return nullptr;
}

void LogViewer::OnJobRow(int row) {
  const int32_t id = row >= 0 && size_t(row) < rowJobs_.size() ? rowJobs_[size_t(row)] : -1;
  if (id != job_id_) ListLogs(id);
}

void LogViewer::ListLogs(int32_t job_id) {
  job_id_ = job_id;
  ForgetLog();
  QSignalBlocker block(logList_);
  logList_->clear();
  if (const TJob* job = ListedJobPtr())
    for (const std::string& entry : job->Data.LogHistory)
      logList_->addItem(PathText(ListItem(platform::TrimBlanks(entry))));
  UpdateControls();
}

void LogViewer::OnLogRow(int row) {
  const TJob* job = ListedJobPtr();
  if (!job || row < 0 || size_t(row) >= job->Data.LogHistory.size()) return;
  const std::string path(platform::TrimBlanks(job->Data.LogHistory[size_t(row)]));
  if (path == shown_path_) return;
  ShowLog(path);
}

void LogViewer::ShowLog(const std::string& path) {
  ForgetLog();
  shown_path_ = path;
  platform::TFileText file;
  read_ok_ = platform::ReadRegularFile(path, kLogViewerReadCap, file) == 0;
  bytes_ = int64_t(file.bytes.size());
  lineBreaks_ = std::count(file.bytes.begin(), file.bytes.end(), '\n');
  modified_ = file.modified;
  if (read_ok_) {
    QString text = QString::fromUtf8(file.bytes.data(), qsizetype(file.bytes.size()));
    if (file.cut) text += "\n" + Text(CutNotice(kLogViewerReadCap));
    text_->setPlainText(text);
  }
  UpdateControls();
}

void LogViewer::ForgetLog() {
  shown_path_.clear();
  read_ok_ = true;
  bytes_ = lineBreaks_ = 0;
  modified_ = 0;
  text_->clear();
}

void LogViewer::UpdateControls() {
  TLogViewerInput in;
  const TJob* job = ListedJobPtr();
  in.job_selected = job != nullptr;
  if (job) {
    in.job_name = job->Data.JobName;
    in.log_count = job->Data.LogHistory.size();
  }
  in.log_selected = !shown_path_.empty();
  in.path = shown_path_;
  in.read_ok = read_ok_;
  in.byte_count = bytes_;
  in.line_breaks = lineBreaks_;
  in.time_known = read_ok_;
  in.modified = modified_;
  const TLogViewerView v = ComputeLogViewer(in);

  jobInfo_->setEnabled(v.job_info_enabled);
  logGroup_->setTitle(Text(v.log_list_caption));
  logList_->setEnabled(v.log_list_enabled);
  if (v.no_stored_logs && logList_->count() == 0) {
    QSignalBlocker block(logList_);
    logList_->addItem(Text(kNoStoredLogs));
  }
  textGroup_->setTitle(Text(v.text_caption));
  text_->setEnabled(v.text_enabled);
  if (!v.text_enabled) text_->setPlainText(PathText(v.placeholder));
  ShowPanels(v.panels);
  for (QWidget* w : std::initializer_list<QWidget*>{findLabel_, find_, findButton_})
    w->setEnabled(v.find_enabled);
  removeDead_->setEnabled(v.remove_dead_enabled);
  remove_->setEnabled(v.remove_enabled);
}

void LogViewer::ShowPanels(const std::vector<std::string>& panels) {
  const QFontMetrics metrics(status_->font());
  const int extra = metrics.horizontalAdvance('W');
  for (int i = 0; i < kPanelCount; ++i) {
    QLabel* panel = panels_[size_t(i)];
    panel->setVisible(size_t(i) < panels.size());
    panel->setText(size_t(i) < panels.size() ? PathText(panels[size_t(i)]) : QString());
    if (i == kPanelCount - 1) break;  // the path takes what is left
    // The caret panel keeps one width while the caret moves.
    const QString sized = i == 0 ? Text(CaretWidthSample(lineBreaks_ + 1)) : panel->text();
    panel->setMinimumWidth(metrics.horizontalAdvance(sized) + extra);
  }
  if (panels.size() == 1) panels_[0]->setMinimumWidth(0);
}

void LogViewer::OnCaretMoved() {
  if (!text_->isEnabled()) return;
  const QTextCursor c = text_->textCursor();
  panels_[0]->setText(Text(CaretText(c.blockNumber() + 1, c.positionInBlock() + 1)));
}

void LogViewer::OnFind() {
  const QString typed = find_->currentText();
  const QByteArray bytes = typed.toUtf8();
  AddSearchText(settings_.SearchHistory, std::string_view(bytes.data(), size_t(bytes.size())));
  find_->clear();
  for (const std::string& s : settings_.SearchHistory) find_->addItem(Text(s));
  find_->setEditText(typed);  // searched as typed, blanks and all

  const QTextCursor at = text_->textCursor();
  const bool fromStart = !at.hasSelection();
  QTextCursor start(text_->document());
  if (!fromStart) start.setPosition(at.selectionEnd());
  if (FindFrom(start)) return;
  const std::string shown(bytes.data(), size_t(bytes.size()));
  if (!fromStart) {
    if (!MessageBoxes().Ask(this, Text(kSearchAgainTitle), Text(SearchAgainText(shown)))) return;
    if (FindFrom(QTextCursor(text_->document()))) return;
  }
  MessageBoxes().Inform(this, Text(kSearchResultTitle), Text(NotFoundText(shown)));
}

bool LogViewer::FindFrom(const QTextCursor& start) {
  const QString needle = find_->currentText();
  if (needle.isEmpty()) return false;
  const QTextCursor found = text_->document()->find(needle, start);  // ignores case
  if (found.isNull()) return false;
  text_->setFocus();
  text_->setTextCursor(found);
  return true;
}

void LogViewer::OnRemove() {
  // The entry is looked up afresh: a run may have put new logs above it since it was shown.
  TJob* job = ListedJobPtr();
  if (!job || shown_path_.empty()) return;
  const std::string path = shown_path_;
  const int index = FindLogEntry(job->Data.LogHistory, path);
  if (index >= 0)
    if (const platform::TError e = job->Data.DeleteLog(index))
      MessageBoxes().Warn(this, Text(kRemoveFailedTitle), PathText(RemoveFailedText(path, e)));
  ListLogs(job_id_);
}

void LogViewer::OnRemoveDead() {
  if (TJob* job = ListedJobPtr()) job->Data.RemoveDeadLogs();
  ListLogs(job_id_);
}

void LogViewer::OnJobInfo() {
  if (const TJob* job = ListedJobPtr(); job && quickInfo_) quickInfo_(this, *job);
}

void LogViewer::Refresh() {
  const int32_t id = ListedJobPtr() ? job_id_ : -1;
  const std::string shown = shown_path_;
  FillJobList();
  const auto row = std::find(rowJobs_.begin(), rowJobs_.end(), id);
  {
    QSignalBlocker block(jobList_);
    jobList_->setCurrentRow(row == rowJobs_.end() ? -1 : int(row - rowJobs_.begin()));
  }
  const TJob* job = ListedJobPtr();
  const int index = job ? FindLogEntry(job->Data.LogHistory, shown) : -1;
  if (index < 0) {
    ListLogs(id);
    return;
  }
  // The shown text stays; only the list is rebuilt around it.
  QSignalBlocker block(logList_);
  logList_->clear();
  for (const std::string& entry : job->Data.LogHistory)
    logList_->addItem(PathText(ListItem(platform::TrimBlanks(entry))));
  logList_->setCurrentRow(index);
  UpdateControls();
}

bool LogViewer::eventFilter(QObject* watched, QEvent* event) {
  if (watched != jobList_->viewport() || event->type() != QEvent::Wheel)
    return QDialog::eventFilter(watched, event);
  const int dy = static_cast<QWheelEvent*>(event)->angleDelta().y();
  const int row = jobList_->currentRow() + (dy < 0 ? 1 : dy > 0 ? -1 : 0);
  if (row >= 0 && row < jobList_->count()) jobList_->setCurrentRow(row);
  return true;
}

void LogViewer::done(int result) {
  RecordWindowPlacement(*this, settings_.LogViewer);
  ForgetLog();
  text_->clear();
  QSignalBlocker jobs(jobList_), logs(logList_);
  jobList_->clear();
  logList_->clear();
  QDialog::done(result);
}

void ShowLogViewer(QWidget* parent, TSettings& settings, int32_t job_id, HelpCenter* help,
                   TQuickInfoFn quick_info) {
  // F1 reaches the help through the application's filter; the window only names its page.
  static_cast<void>(help);
  LogViewer viewer(parent, settings, std::move(quick_info));
  viewer.Prepare(job_id);
  viewer.exec();
}

}  // namespace twn::gui
