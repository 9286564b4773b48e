// "Log settings": for the full, summary and error log, whether it is stored, in a new file per
// run or one file, overwritten or appended up to a size, with the file name it gets.
#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QVBoxLayout>

#include "gui/common/text.h"
#include "gui/wizard/wizard_page.h"
#include "windows/wizard_rules.h"

namespace twn::gui {

namespace {

inline constexpr std::array<const char*, kLogKindCount> kKindNames = {"full", "summary", "error"};
inline constexpr std::array<const char*, kLogKindCount> kStoreCaptions = {
    "Store full log", "Store summary log", "Store error log"};

struct TLogFields {
  bool TJobData::*use;
  bool TJobData::*create_new;
  bool TJobData::*overwrite;
  int32_t TJobData::*max_size;
};
inline constexpr std::array<TLogFields, kLogKindCount> kLogFields = {{
    {&TJobData::LogFull_bUse, &TJobData::LogFull_bCreateNew, &TJobData::LogFull_bOverwrite,
     &TJobData::LogFull_MaxSize},
    {&TJobData::LogSummary_bUse, &TJobData::LogSummary_bCreateNew, &TJobData::LogSummary_bOverwrite,
     &TJobData::LogSummary_MaxSize},
    {&TJobData::LogError_bUse, &TJobData::LogError_bCreateNew, &TJobData::LogError_bOverwrite,
     &TJobData::LogError_MaxSize},
}};

class LogSettingsPage : public WizardPage {
 public:
  LogSettingsPage(TWizardContext& context, QWidget* parent);
  void Load(TJobData& data) override;
  void Store() override {}
  void Shown() override { Refresh(); }

 private:
  struct TGroup {
    QCheckBox* use;
    QRadioButton *create_new, *single, *overwrite, *append;
    QLabel* max_label;
    QSpinBox* max_size;
    QLabel* kbytes;
    QLabel* example;
  };
  QGroupBox* BuildGroup(size_t kind);
  void Refresh();
  void Write();

  TJobData* data_ = nullptr;
  bool loading_ = false;
  std::array<TGroup, kLogKindCount> groups_{};
};

QGroupBox* LogSettingsPage::BuildGroup(size_t kind) {
  auto* box = new QGroupBox(this);
  const QString name = kKindNames[kind];
  TGroup& g = groups_[kind];
  const auto make = [&](const char* role, auto* widget) {
    widget->setObjectName(name + role);
    return widget;
  };
  g.use = make("Use", new QCheckBox(kStoreCaptions[kind], box));
  g.create_new =
      make("CreateNew", new QRadioButton("create new logfile for each job executing", box));
  g.single = make("Single", new QRadioButton("always write log to single file", box));
  g.overwrite = make("Overwrite", new QRadioButton("Overwrite existing file", box));
  g.append = make("Append", new QRadioButton("Append to existing file", box));
  g.max_label = new QLabel("Max log file size:", box);
  g.max_size = make("MaxSize", new QSpinBox(box));
  g.max_size->setRange(kMinLogSize, kMaxLogSize);
  g.max_size->setSingleStep(kLogSizeStep);
  g.kbytes = new QLabel("KBytes", box);
  g.example = make("Example", new QLabel(box));
  g.example->setTextInteractionFlags(Qt::TextSelectableByMouse);
  g.example->setWordWrap(true);
  for (auto [a, b] : {std::pair{g.create_new, g.single}, std::pair{g.overwrite, g.append}}) {
    auto* choice = new QButtonGroup(box);
    choice->addButton(a);
    choice->addButton(b);
  }
  auto* grid = new QGridLayout(box);
  grid->addWidget(g.use, 0, 0);
  grid->addWidget(g.example, 3, 0);
  grid->addWidget(g.create_new, 1, 0);
  grid->addWidget(g.single, 1, 1, 1, 3);
  grid->addWidget(g.overwrite, 2, 0);
  grid->addWidget(g.append, 2, 1, 1, 3);
  auto* size_row = new QHBoxLayout;
  size_row->addWidget(g.max_label);
  size_row->addWidget(g.max_size);
  size_row->addWidget(g.kbytes);
  size_row->addStretch();
  grid->addLayout(size_row, 3, 1, 1, 3);
  grid->setColumnStretch(1, 1);
  for (QAbstractButton* b :
       {static_cast<QAbstractButton*>(g.use), static_cast<QAbstractButton*>(g.create_new),
        static_cast<QAbstractButton*>(g.overwrite)})
    connect(b, &QAbstractButton::toggled, this, &LogSettingsPage::Write);
  connect(g.max_size, &QSpinBox::valueChanged, this, &LogSettingsPage::Write);
  return box;
}

LogSettingsPage::LogSettingsPage(TWizardContext& context, QWidget* parent)
    : WizardPage(context, parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  for (size_t kind = 0; kind < kLogKindCount; ++kind) layout->addWidget(BuildGroup(kind));
  layout->addStretch();
}

void LogSettingsPage::Load(TJobData& data) {
  data_ = &data;
  loading_ = true;
  for (size_t kind = 0; kind < kLogKindCount; ++kind) {
    const TLogSetting log = data.LogSetting(static_cast<TLogKind>(kind));
    TGroup& g = groups_[kind];
    g.use->setChecked(log.bUse);
    (log.bCreateNew ? g.create_new : g.single)->setChecked(true);
    (log.bOverwrite ? g.overwrite : g.append)->setChecked(true);
    g.max_size->setValue(log.MaxSize);
  }
  loading_ = false;
  Refresh();
}

// The enabling and the example names follow the job's settings (and its name).
void LogSettingsPage::Refresh() {
  if (!data_) return;
  const platform::TDateTime now = platform::Now();
  for (size_t kind = 0; kind < kLogKindCount; ++kind) {
    const TGroup& g = groups_[kind];
    const TLogControls c = LogControls(data_->LogSetting(static_cast<TLogKind>(kind)));
    g.create_new->setEnabled(c.Mode);
    g.single->setEnabled(c.Mode);
    g.overwrite->setEnabled(c.Overwrite);
    g.append->setEnabled(c.Overwrite);
    for (QWidget* w : std::initializer_list<QWidget*>{g.max_label, g.max_size, g.kbytes})
      w->setEnabled(c.MaxSize);
    g.example->setText(Text(ExampleLogName(*data_, static_cast<TLogKind>(kind), now)));
  }
}

void LogSettingsPage::Write() {
  if (loading_ || !data_) return;
  for (size_t kind = 0; kind < kLogKindCount; ++kind) {
    const TGroup& g = groups_[kind];
    const TLogFields& f = kLogFields[kind];
    data_->*f.use = g.use->isChecked();
    data_->*f.create_new = g.create_new->isChecked();
    data_->*f.overwrite = g.overwrite->isChecked();
    data_->*f.max_size = g.max_size->value();
  }
  Refresh();
  emit Changed();
}

}  // namespace

WizardPage* MakeLogSettingsPage(TWizardContext& context, QWidget* parent) {
  return new LogSettingsPage(context, parent);
}

}  // namespace twn::gui
