// "Synchronize methods" (the named methods and the custom actions) and "Comparison rules".
#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QVBoxLayout>

#include "gui/common/text.h"
#include "gui/wizard/page_kit.h"
#include "gui/wizard/versions_rows.h"
#include "gui/wizard/wizard_page.h"
#include "model/method_presets.h"

namespace twn::gui {

namespace {

inline constexpr std::array<const char*, kActionFieldCount> kActionCaptions = {
    "Left pane newer files and Right pane older files",
    "Left pane older files and Right pane newer files",
    "Unequal files with the same DateTime stamp",
    "Left pane equal files",
    "Right pane equal files",
    "Left pane single files",
    "Right pane single files"};
inline constexpr std::array<const char*, 6> kMethodCaptions = {
    "Mirror copy files from Left to Right", "Mirror copy files from Right to Left",
    "Copy files from Left to Right",        "Copy files from Right to Left ",
    "Update Left and Right (Make Equal)",   "Custom "};
inline constexpr std::array<const char*, kEmptyFlagCount> kEmptyCaptions = {
    "Remove empty folders on Left ", "Remove empty folders on Right ",
    "Copy empty folders from Left", "Copy empty folders from Right"};

class MethodPage : public WizardPage {
 public:
  MethodPage(TWizardContext& context, QWidget* parent);
  void Load(TJobData& data) override;
  // A job without a method yet (0) is a custom one.
  void Store() override {
    if (!data_) return;
    if (MethodPreset(data_->idxMethod) == std::nullopt) data_->idxMethod = kMethodCustom;
    guard_percent_->Settle();
    data_->MaxDeletePercent = guard_->isChecked() ? guard_percent_->Value() : 0;
    versions_->Store(*data_);
  }

 private:
  void Fill();
  void OnMethod(int method);
  void OnCustomEdit();
  QLayout* BuildGuard();
  /// The guard and the versions, the two ways a job protects what it would delete.
  QGroupBox* BuildSafety();
  void OnSafetyEdit();

  TJobData* data_ = nullptr;
  bool loading_ = false;
  QButtonGroup* methods_;
  std::array<QLabel*, kActionFieldCount> captions_{};
  std::array<QComboBox*, kActionFieldCount> actions_{};
  std::array<QCheckBox*, kEmptyFlagCount> empty_{};
  QCheckBox* guard_;
  NumberBox* guard_percent_;
  VersionsRows* versions_;
};

MethodPage::MethodPage(TWizardContext& context, QWidget* parent) : WizardPage(context, parent) {
  methods_ = new QButtonGroup(this);
  auto* radios = new QGridLayout;
  for (int m = 1; m <= 6; ++m) {
    auto* radio = new QRadioButton(kMethodCaptions[static_cast<size_t>(m - 1)], this);
    radio->setObjectName(QString("method%1").arg(m));
    methods_->addButton(radio, m);
    radios->addWidget(radio, (m - 1) % 3, (m - 1) / 3);
  }
  auto* files = new QGroupBox("Files group operations", this);
  auto* grid = new QGridLayout(files);
  for (size_t f = 0; f < kActionFieldCount; ++f) {
    captions_[f] = new QLabel(kActionCaptions[f], files);
    actions_[f] = new QComboBox(files);
    actions_[f]->setObjectName(QString("action%1").arg(f));
    actions_[f]->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    actions_[f]->setMinimumContentsLength(22);
    for (int32_t v = 0; v < kActionChoiceCounts[f]; ++v)
      actions_[f]->addItem(Text(ActionText(static_cast<TActionField>(f), v)));
    grid->addWidget(captions_[f], static_cast<int>(f), 0);
    grid->addWidget(actions_[f], static_cast<int>(f), 1);
    connect(actions_[f], &QComboBox::currentIndexChanged, this, &MethodPage::OnCustomEdit);
    // The page is narrower than the longest texts: the hint shows the whole choice.
    connect(actions_[f], &QComboBox::currentTextChanged, actions_[f], &QWidget::setToolTip);
  }
  auto* folders = new QGroupBox("Empty folders operations", this);
  auto* flags = new QGridLayout(folders);
  for (size_t e = 0; e < kEmptyFlagCount; ++e) {
    empty_[e] = new QCheckBox(kEmptyCaptions[e], folders);
    empty_[e]->setObjectName(QString("empty%1").arg(e));
    flags->addWidget(empty_[e], static_cast<int>(e % 2), static_cast<int>(e / 2));
    connect(empty_[e], &QCheckBox::toggled, this, &MethodPage::OnCustomEdit);
  }
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(radios);
  layout->addWidget(files);
  layout->addWidget(folders);
  layout->addWidget(BuildSafety());
  layout->addStretch();
  connect(methods_, &QButtonGroup::idClicked, this, &MethodPage::OnMethod);
}

QGroupBox* MethodPage::BuildSafety() {
  auto* safety = new QGroupBox("Safety", this);
  auto* column = new QVBoxLayout(safety);
  column->addLayout(BuildGuard());
  versions_ = new VersionsRows(safety, [this] { OnSafetyEdit(); });
  column->addWidget(versions_);
  return safety;
}

QLayout* MethodPage::BuildGuard() {
  guard_ = new QCheckBox("Ask before deleting more than", this);
  guard_->setObjectName("guard");
  guard_percent_ = new NumberBox(1, 100, this);
  guard_percent_->setObjectName("guardPercent");
  auto* row = new QHBoxLayout;
  row->addWidget(guard_);
  row->addWidget(guard_percent_);
  row->addWidget(new QLabel("% of a side's files", this));
  row->addStretch();
  connect(guard_, &QCheckBox::toggled, guard_percent_, &QWidget::setEnabled);
  connect(guard_, &QCheckBox::toggled, this, &MethodPage::OnSafetyEdit);
  connect(guard_percent_, &QLineEdit::editingFinished, this, &MethodPage::OnSafetyEdit);
  return row;
}

void MethodPage::Load(TJobData& data) {
  data_ = &data;
  Fill();
  // The guard is not part of a method: only loading the job sets it.
  loading_ = true;
  const int32_t percent = GuardPercent(data.MaxDeletePercent);
  guard_->setChecked(percent > 0);
  guard_percent_->setEnabled(percent > 0);
  guard_percent_->SetValue(percent > 0 ? percent : kDefaultMaxDeletePercent);
  versions_->Load(data);
  loading_ = false;
}

void MethodPage::OnSafetyEdit() {
  if (loading_ || !data_) return;
  Store();
  emit Changed();
}

// Shows the job's method, actions and flags; only "Custom" lets them be edited.
void MethodPage::Fill() {
  loading_ = true;
  const int32_t method = data_->idxMethod >= kMethodMirrorL && data_->idxMethod <= kMethodUpdate
                             ? data_->idxMethod
                             : kMethodCustom;
  methods_->button(method)->setChecked(true);
  const auto actions = data_->Actions();
  const auto flags = data_->EmptyFlags();
  const bool custom = method == kMethodCustom;
  for (size_t f = 0; f < kActionFieldCount; ++f) {
    actions_[f]->setCurrentIndex(actions[f]);
    actions_[f]->setEnabled(custom);
    captions_[f]->setEnabled(custom);
  }
  for (size_t e = 0; e < kEmptyFlagCount; ++e) {
    empty_[e]->setChecked(flags[e]);
    empty_[e]->setEnabled(custom);
  }
  loading_ = false;
}

void MethodPage::OnMethod(int method) {
  if (!data_) return;
  ApplyMethod(*data_, method);
  Fill();
  emit Changed();
}

void MethodPage::OnCustomEdit() {
  if (loading_ || !data_) return;
  int32_t* fields[] = {&data_->idxNewerL, &data_->idxNewerR, &data_->idxEqualDate,
                       &data_->idxEqualL, &data_->idxEqualR, &data_->idxSingleL,
                       &data_->idxSingleR};
  for (size_t f = 0; f < kActionFieldCount; ++f) *fields[f] = actions_[f]->currentIndex();
  bool* flags[] = {&data_->Empty_RemoveL, &data_->Empty_RemoveR, &data_->Empty_CopyL,
                   &data_->Empty_CopyR};
  for (size_t e = 0; e < kEmptyFlagCount; ++e) *flags[e] = empty_[e]->isChecked();
  data_->idxMethod = kMethodCustom;
  emit Changed();
}

class RulesPage : public WizardPage {
 public:
  RulesPage(TWizardContext& context, QWidget* parent);
  void Load(TJobData& data) override;
  void Store() override {}

 private:
  QCheckBox* Box(const char* name, const char* caption, QWidget* parent, QLayout* layout);
  void Enable();
  void Write();

  TJobData* data_ = nullptr;
  bool loading_ = false;
  QCheckBox *size_, *time_, *attr_, *ntfs_, *daylight_, *timezone_;
  QCheckBox *links_, *folder_times_;
  QLabel* hours_label_;
  QSpinBox* hours_;
};

QCheckBox* RulesPage::Box(const char* name, const char* caption, QWidget* parent, QLayout* layout) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(name);
  layout->addWidget(box);
  connect(box, &QCheckBox::toggled, this, &RulesPage::Write);
  return box;
}

RulesPage::RulesPage(TWizardContext& context, QWidget* parent) : WizardPage(context, parent) {
  auto* equal = new QGroupBox("Files will be considered as equal if they have an equal", this);
  auto* equal_box = new QVBoxLayout(equal);
  size_ = Box("rulesSize", "&Size", equal, equal_box);
  time_ = Box("rulesTime", "&Timestamps", equal, equal_box);
  attr_ = Box("rulesAttr", "&Attributes", equal, equal_box);
  auto* diff = new QGroupBox("File time differences", this);
  auto* diff_box = new QVBoxLayout(diff);
  ntfs_ = Box("rulesNtfs", "&Ignore NTFS/FAT differences (up to 2 seconds)", diff, diff_box);
  daylight_ =
      Box("rulesDaylight", "Ignore daylight saving (in most time zones the difference is 1 hour)",
          diff, diff_box);
  timezone_ = Box("rulesTimezone", "Adjust timezone", diff, diff_box);
  hours_label_ = new QLabel("Ignore filetime differences in hours:", diff);
  hours_ = new QSpinBox(diff);
  hours_->setObjectName("timezoneHours");
  hours_->setRange(kMinTimezoneHours, kMaxTimezoneHours);
  // The arrows alone change it, so the box never holds a value outside the range.
  hours_->findChild<QLineEdit*>()->setReadOnly(true);
  auto* hours_row = new QHBoxLayout;
  hours_row->addSpacing(20);
  hours_row->addWidget(hours_label_);
  hours_row->addWidget(hours_);
  hours_row->addStretch();
  diff_box->addLayout(hours_row);
  auto* links = new QGroupBox("Links and folders", this);
  auto* links_box = new QVBoxLayout(links);
  links_ = Box("rulesLinks", "Copy symbolic lin&ks as links (never follow them)", links, links_box);
  folder_times_ =
      Box("rulesFolderTimes", "Carry folder ti&mes to the folders a run changes", links, links_box);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(equal);
  layout->addWidget(diff);
  layout->addWidget(links);
  layout->addStretch();
  connect(hours_, &QSpinBox::valueChanged, this, &RulesPage::Write);
}

void RulesPage::Load(TJobData& data) {
  data_ = &data;
  loading_ = true;
  size_->setChecked(data.bRulesSize);
  time_->setChecked(data.bRulesTime);
  attr_->setChecked(data.bRulesAttr);
  ntfs_->setChecked(data.bRulesNTFS);
  daylight_->setChecked(data.bRulesDaylight);
  timezone_->setChecked(data.bRulesTimezone);
  hours_->setValue(data.RulesTimezone);
  links_->setChecked(data.bCopyLinks);
  folder_times_->setChecked(data.bFolderTimes);
  loading_ = false;
  Enable();
}

void RulesPage::Enable() {
  hours_->setEnabled(timezone_->isChecked());
  hours_label_->setEnabled(timezone_->isChecked());
}

void RulesPage::Write() {
  Enable();
  if (loading_ || !data_) return;
  data_->bRulesSize = size_->isChecked();
  data_->bRulesTime = time_->isChecked();
  data_->bRulesAttr = attr_->isChecked();
  data_->bRulesNTFS = ntfs_->isChecked();
  data_->bRulesDaylight = daylight_->isChecked();
  data_->bRulesTimezone = timezone_->isChecked();
  data_->RulesTimezone = hours_->value();
  data_->bCopyLinks = links_->isChecked();
  data_->bFolderTimes = folder_times_->isChecked();
  emit Changed();
}

}  // namespace

WizardPage* MakeMethodPage(TWizardContext& context, QWidget* parent) {
  return new MethodPage(context, parent);
}
WizardPage* MakeRulesPage(TWizardContext& context, QWidget* parent) {
  return new RulesPage(context, parent);
}

}  // namespace twn::gui
