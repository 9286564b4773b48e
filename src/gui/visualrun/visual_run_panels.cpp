#include "gui/visualrun/visual_run_panels.h"
#include "gui/common/text.h"

#include <QtWidgets/QGridLayout>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QVBoxLayout>
#include <algorithm>

namespace twn::gui {
namespace {

QString CellName(const char* prefix, int row, int column) {
  return QStringLiteral("%1_%2_%3").arg(QLatin1String(prefix)).arg(row).arg(column);
}

int Clamped(int64_t v) {
  return static_cast<int>(std::clamp<int64_t>(v, 0, INT32_MAX));
}

}  // namespace

InfoPanels::InfoPanels(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);

  QGroupBox* tips = Box(vpReady, "groupTips");
  auto* memo = new QPlainTextEdit(Text(kTipsText), tips);
  memo->setObjectName("tipsMemo");
  memo->setReadOnly(true);
  tips->layout()->addWidget(memo);

  QGroupBox* scan = Box(vpComparing, "groupScanProgress");
  auto* scan_grid = new QGridLayout;
  for (int i = 0; i < 6; ++i) {
    scan_[i] = new QLabel(scan);
    scan_[i]->setObjectName(QStringLiteral("scanLabel%1").arg(i));
    scan_grid->addWidget(scan_[i], i % 3, i / 3);
  }
  static_cast<QVBoxLayout*>(scan->layout())->addLayout(scan_grid);
  SetScanLabels(ScanProgressLabels(nullptr));

  MakeTable(vpCompared, "groupStatistics", 6, "statistics", {"", "on Left pane", "on Right pane"},
            2);
  MakeTable(vpPreview, "groupChanges", 6, "changes", {"", "on Left pane", "on Right pane"}, 2);

  QGroupBox* sync = Box(vpSynchronizing, "groupSyncProgress");
  auto* sync_grid = new QGridLayout;
  const auto lines = SyncProgressLines({}, {});
  for (int i = 0; i < 4; ++i) {
    sync_grid->addWidget(new QLabel(Text(lines[i].caption), sync), 2 * i, 0);
    sync_text_[i] = new QLabel(sync);
    sync_text_[i]->setObjectName(QStringLiteral("syncText%1").arg(i));
    gauges_[i] = new QProgressBar(sync);
    gauges_[i]->setObjectName(QStringLiteral("syncGauge%1").arg(i));
    gauges_[i]->setMaximumHeight(12);
    gauges_[i]->setTextVisible(false);
    sync_grid->addWidget(sync_text_[i], 2 * i, 1);
    sync_grid->addWidget(gauges_[i], 2 * i + 1, 1);
  }
  sync_grid->setColumnStretch(1, 1);
  static_cast<QVBoxLayout*>(sync->layout())->addLayout(sync_grid);

  MakeTable(vpDone, "groupComplete", 4, "complete", {"on Left pane", "on Right pane", "Errors"}, 3);
  ShowPhase(vpReady);
}

QGroupBox* InfoPanels::Box(int phase, const char* name) {
  auto* box = new QGroupBox(Text(PhaseLayout(phase).group_caption), this);
  box->setObjectName(name);
  new QVBoxLayout(box);
  layout()->addWidget(box);
  boxes_[phase - 1] = box;
  return box;
}

QGroupBox* InfoPanels::MakeTable(int phase, const char* name, int rows, const char* prefix,
                                 const std::array<std::string_view, 3>& columns,
                                 int value_columns) {
  QGroupBox* box = Box(phase, name);
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(16);
  const int first = 3 - value_columns;  // the column heads of the value columns
  for (int c = 0; c < value_columns; ++c) {
    auto* head = new QLabel(Text(columns[first + c]), box);
    QFont bold = head->font();
    bold.setBold(true);
    head->setFont(bold);
    grid->addWidget(head, 0, c + 1);
  }
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c <= value_columns; ++c) {
      auto* label = new QLabel(box);
      label->setObjectName(CellName(prefix, r, c));
      grid->addWidget(label, r + 1, c);
    }
  }
  grid->setColumnStretch(value_columns, 1);
  static_cast<QVBoxLayout*>(box->layout())->addLayout(grid);
  static_cast<QVBoxLayout*>(box->layout())->addStretch(1);
  return box;
}

void InfoPanels::SetTable(const char* prefix, int row, const std::string& caption,
                          const std::vector<std::string>& values) {
  if (auto* label = findChild<QLabel*>(CellName(prefix, row, 0))) label->setText(Text(caption));
  for (size_t c = 0; c < values.size(); ++c)
    if (auto* label = findChild<QLabel*>(CellName(prefix, row, int(c) + 1)))
      label->setText(Text(values[c]));
}

void InfoPanels::ShowPhase(int phase) {
  for (int p = 1; p <= kVisualPhaseCount; ++p) boxes_[p - 1]->setVisible(p == phase);
}

void InfoPanels::SetScanLabels(const std::array<std::string, 6>& labels) {
  for (size_t i = 0; i < labels.size(); ++i) scan_[i]->setText(Text(labels[i]));
}

void InfoPanels::SetStatistics(const std::vector<TStatRow>& rows) {
  for (size_t r = 0; r < rows.size(); ++r)
    SetTable("statistics", int(r), rows[r].caption, {rows[r].left, rows[r].right});
}

void InfoPanels::SetChanges(const std::vector<TStatRow>& rows) {
  for (size_t r = 0; r < rows.size(); ++r)
    SetTable("changes", int(r), rows[r].caption, {rows[r].left, rows[r].right});
}

void InfoPanels::SetSyncLines(const std::array<TProgressLine, 4>& lines, bool set_maxima) {
  for (size_t i = 0; i < lines.size(); ++i) {
    sync_text_[i]->setText(Text(lines[i].text));
    if (set_maxima) gauges_[i]->setRange(0, std::max(1, Clamped(lines[i].maximum)));
    gauges_[i]->setValue(std::min(gauges_[i]->maximum(), Clamped(lines[i].position)));
  }
}

void InfoPanels::SetCompletion(const std::array<TCompletionRow, 4>& rows) {
  for (size_t r = 0; r < rows.size(); ++r)
    SetTable("complete", int(r), std::string(rows[r].caption),
             {rows[r].left, rows[r].right, rows[r].errors});
}

}  // namespace twn::gui
