// "Scheduling": how often the job runs, from when, the weekdays it skips, and whether it also
// runs when its files change.
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QDateEdit>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QTimeEdit>
#include <QtWidgets/QVBoxLayout>

#include "gui/common/text.h"
#include "gui/wizard/page_kit.h"
#include "gui/wizard/wizard_page.h"

namespace twn::gui {

namespace {

inline constexpr std::array<const char*, 7> kDayNames = {
    "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};

class SchedulingPage : public WizardPage {
 public:
  SchedulingPage(TWizardContext& context, QWidget* parent);
  void Load(TJobData& data) override;
  void Store() override;

 private:
  void Show();
  void Write();

  TJobData* data_ = nullptr;
  bool loading_ = false;
  QListWidget* frequency_;
  QLabel* number_label_;
  NumberBox *minutes_, *hours_, *days_;
  QLabel* start_label_;
  QTimeEdit* start_;
  QCheckBox* run_before_;
  QDateEdit* run_before_date_;
  std::array<QCheckBox*, 7> days_off_{};
  QCheckBox* run_on_change_;
};

SchedulingPage::SchedulingPage(TWizardContext& context, QWidget* parent)
    : WizardPage(context, parent) {
  frequency_ = new QListWidget(this);
  frequency_->setObjectName("frequency");
  for (std::string_view text : kFrequencyTexts) frequency_->addItem(Text(text));
  frequency_->setFixedHeight(frequency_->sizeHintForRow(0) * 5 + 2 * frequency_->frameWidth() + 4);
  number_label_ = new QLabel(this);
  number_label_->setObjectName("numberLabel");
  minutes_ = new NumberBox(kMinMinutes, kMaxMinutes, this);
  hours_ = new NumberBox(kMinHours, kMaxHours, this);
  days_ = new NumberBox(kMinDays, kMaxDays, this);
  minutes_->setObjectName("minutes");
  hours_->setObjectName("hours");
  days_->setObjectName("days");
  start_label_ = new QLabel("Starting time:", this);
  start_ = new QTimeEdit(this);
  start_->setObjectName("startTime");
  start_->setDisplayFormat("HH:mm:ss");
  run_before_ = new QCheckBox("Do not run before", this);
  run_before_->setObjectName("runBefore");
  run_before_date_ = new QDateEdit(this);
  run_before_date_->setObjectName("runBeforeDate");
  run_before_date_->setCalendarPopup(true);

  auto* when = new QGridLayout;
  auto* freq_label = new QLabel("&Frequency", this);
  freq_label->setBuddy(frequency_);
  when->addWidget(freq_label, 0, 0);
  when->addWidget(frequency_, 1, 0, 4, 1);
  auto* number_row = new QHBoxLayout;
  for (QWidget* w : std::initializer_list<QWidget*>{minutes_, hours_, days_, number_label_})
    number_row->addWidget(w);
  number_row->addStretch();
  when->addLayout(number_row, 1, 1, 1, 2);
  when->addWidget(start_label_, 2, 1);
  when->addWidget(start_, 2, 2, Qt::AlignLeft);
  when->addWidget(run_before_, 3, 1);
  when->addWidget(run_before_date_, 3, 2, Qt::AlignLeft);
  when->setColumnStretch(2, 1);

  auto* days = new QGroupBox("Do not run on these days", this);
  auto* days_grid = new QGridLayout(days);
  for (size_t d = 0; d < days_off_.size(); ++d) {
    days_off_[d] = new QCheckBox(kDayNames[d], days);
    days_off_[d]->setObjectName(kDayNames[d]);
    days_grid->addWidget(days_off_[d], static_cast<int>(d % 4), static_cast<int>(d / 4));
    connect(days_off_[d], &QCheckBox::toggled, this, &SchedulingPage::Write);
  }
  run_on_change_ = new QCheckBox("Run when files change", this);
  run_on_change_->setObjectName("runOnChange");
  auto* watch_note = new QLabel(
      "The job then also runs 2 seconds after files change in its folders, on either side "
      "(at most 30 seconds after the first change). Where the folders cannot be watched, it "
      "keeps to the schedule above.",
      this);
  watch_note->setWordWrap(true);
  connect(run_on_change_, &QCheckBox::toggled, this, &SchedulingPage::Write);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(when);
  layout->addWidget(days);
  layout->addWidget(run_on_change_);
  layout->addWidget(watch_note);
  layout->addStretch();

  connect(frequency_, &QListWidget::currentRowChanged, this, &SchedulingPage::Write);
  connect(start_, &QTimeEdit::timeChanged, this, &SchedulingPage::Write);
  connect(run_before_, &QCheckBox::toggled, this, &SchedulingPage::Write);
  connect(run_before_date_, &QDateEdit::dateChanged, this, &SchedulingPage::Write);
  for (NumberBox* box : {minutes_, hours_, days_})
    connect(box, &QLineEdit::editingFinished, this, [this] {
      if (!data_) return;
      Store();
      emit Changed();
    });
}

void SchedulingPage::Load(TJobData& data) {
  data_ = &data;
  loading_ = true;
  frequency_->setCurrentRow(std::clamp(data.Frequency, kFreqManual, kFreqDays));
  minutes_->SetValue(data.freMinutes);
  hours_->SetValue(data.freHours);
  days_->SetValue(data.freDays);
  start_->setTime(ToQTime(data.StartTime));
  run_before_->setChecked(data.bRunBefore);
  run_before_date_->setDate(ToQDate(data.RunBefore));
  for (size_t d = 0; d < days_off_.size(); ++d)
    days_off_[d]->setChecked((data.ExcludeDays & (1 << d)) != 0);
  run_on_change_->setChecked(data.bRunOnChange);
  loading_ = false;
  Show();
}

// Shows the controls the chosen frequency uses.
void SchedulingPage::Show() {
  const TScheduleView view = ScheduleView(frequency_->currentRow());
  number_label_->setText(Text(view.Label));
  number_label_->setVisible(!view.Label.empty());
  minutes_->setVisible(view.Number == TScheduleNumber::kMinutes);
  hours_->setVisible(view.Number == TScheduleNumber::kHours);
  days_->setVisible(view.Number == TScheduleNumber::kDays);
  start_label_->setVisible(view.StartTime);
  start_->setVisible(view.StartTime);
  run_before_->setVisible(view.RunBefore);
  run_before_date_->setVisible(view.RunBefore);
  run_before_date_->setEnabled(run_before_->isChecked());
}

void SchedulingPage::Write() {
  Show();
  if (loading_ || !data_) return;
  data_->Frequency = frequency_->currentRow();
  // The date of the starting time is kept: only its time of day is edited here.
  data_->StartTime =
      platform::DatePart(data_->StartTime) + FromQt(QDate(1899, 12, 30), start_->time());
  data_->bRunBefore = run_before_->isChecked();
  data_->RunBefore = FromQt(run_before_date_->date(), ToQTime(data_->RunBefore));
  int32_t days = 0;
  for (size_t d = 0; d < days_off_.size(); ++d)
    if (days_off_[d]->isChecked()) days |= 1 << d;
  data_->ExcludeDays = days;
  data_->bRunOnChange = run_on_change_->isChecked();
  emit Changed();
}

void SchedulingPage::Store() {
  if (!data_) return;
  for (NumberBox* box : {minutes_, hours_, days_}) box->Settle();
  data_->freMinutes = minutes_->Value();
  data_->freHours = hours_->Value();
  data_->freDays = days_->Value();
}

}  // namespace

WizardPage* MakeSchedulingPage(TWizardContext& context, QWidget* parent) {
  return new SchedulingPage(context, parent);
}

}  // namespace twn::gui
