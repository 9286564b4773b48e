// "File filters": include and exclude specs, the date, size and attribute conditions, and the
// predefined file filters.
#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDateEdit>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QTimeEdit>
#include <QtWidgets/QVBoxLayout>

#include "gui/common/text.h"
#include "gui/wizard/page_kit.h"
#include "gui/wizard/predefined_list.h"
#include "windows/wizard_rules.h"

namespace twn::gui {

namespace {

inline constexpr int kMaxSizeNumber = 999999;

QComboBox* HistoryBox(const char* name, QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->setObjectName(name);
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  // A line break would end the value's line in the settings file.
  box->setValidator(new QRegularExpressionValidator(QRegularExpression("[^\\r\\n]*"), box));
  box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  return box;
}

void FillHistory(QComboBox* box, const std::vector<std::string>& history, const std::string& text) {
  box->clear();
  for (const std::string& entry : history) box->addItem(Text(entry));
  box->setEditText(Text(text));
}

// Four choices, ids 0-3 as stored, in rows of `columns` from `row` of the grid on.
QButtonGroup* Choices(const char* name, const std::array<const char*, 4>& captions,
                      QGroupBox* group, QGridLayout* grid, int row, int columns) {
  auto* choices = new QButtonGroup(group);
  auto* lines = new QGridLayout;
  for (int i = 0; i < 4; ++i) {
    auto* radio = new QRadioButton(captions[static_cast<size_t>(i)], group);
    radio->setObjectName(QString("%1%2").arg(name).arg(i));
    choices->addButton(radio, i);
    lines->addWidget(radio, i / columns, i % columns);
  }
  lines->setColumnStretch(columns, 1);
  grid->addLayout(lines, row, 0, 1, -1);
  return choices;
}

class FileFiltersPage : public WizardPage {
 public:
  FileFiltersPage(TWizardContext& context, QWidget* parent);
  void Load(TJobData& data) override;
  void Store() override;

 private:
  struct TDateRow {
    QDateEdit* date;
    QTimeEdit* time;
    QPushButton* now;
    QPushButton* zero;
  };
  QGroupBox* BuildDate();
  QGroupBox* BuildSize();
  QGroupBox* BuildAttr();
  TDateRow AddDateRow(QGroupBox* group, QGridLayout* grid, int row, const char* name);
  void Fill();
  void Enable();
  // Writes the ticks, choices and pickers into the filter unless the page is being filled.
  void Write();

  TJobData* data_ = nullptr;
  bool loading_ = false;
  QComboBox *include_, *exclude_;
  QCheckBox* use_exclude_;
  QGroupBox *date_group_, *size_group_, *attr_group_;
  std::array<TDateRow, 2> dates_{};
  QButtonGroup *date_pos_ = nullptr, *size_pos_ = nullptr;
  std::array<NumberBox*, 2> sizes_{};
  std::array<QComboBox*, 2> units_{};
  std::array<QCheckBox*, 4> attrs_{};
  PredefinedList* predefined_;
};

FileFiltersPage::FileFiltersPage(TWizardContext& context, QWidget* parent)
    : WizardPage(context, parent) {
  include_ = HistoryBox("include", this);
  exclude_ = HistoryBox("exclude", this);
  use_exclude_ = new QCheckBox("Use exclude file filters (e.g. *.doc; *.txt)", this);
  use_exclude_->setObjectName("useExclude");
  predefined_ = new PredefinedList(false, context, this);

  auto* specs = new QGridLayout;
  specs->addWidget(new QLabel("Use include file filters (e.g. *.doc; *.txt)", this), 0, 0);
  specs->addWidget(include_, 0, 1);
  specs->addWidget(use_exclude_, 1, 0);
  specs->addWidget(exclude_, 1, 1);
  auto* size_attr = new QHBoxLayout;
  size_attr->addWidget(BuildSize(), 1);
  size_attr->addWidget(BuildAttr());
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(4);
  layout->addLayout(specs);
  layout->addWidget(BuildDate());
  layout->addLayout(size_attr);
  layout->addWidget(predefined_, 1);

  connect(use_exclude_, &QCheckBox::toggled, this, &FileFiltersPage::Write);
  for (QComboBox* box : {include_, exclude_})
    connect(box, &QComboBox::editTextChanged, this, [this] {
      if (!loading_) emit Changed();
    });
  connect(predefined_, &PredefinedList::aboutToSave, this, &FileFiltersPage::Store);
  connect(predefined_, &PredefinedList::filterSet, this, [this] {
    Fill();
    emit Changed();
  });
}

FileFiltersPage::TDateRow FileFiltersPage::AddDateRow(QGroupBox* group, QGridLayout* grid, int row,
                                                      const char* name) {
  TDateRow r{new QDateEdit(group), new QTimeEdit(group), new QPushButton("Set current", group),
             new QPushButton("<0>", group)};
  r.date->setObjectName(QString("date%1").arg(name));
  r.time->setObjectName(QString("time%1").arg(name));
  r.date->setCalendarPopup(true);
  r.time->setDisplayFormat("HH:mm:ss");
  QPushButton* now = r.now;
  QPushButton* zero = r.zero;
  now->setObjectName(QString("now%1").arg(name));
  zero->setObjectName(QString("zero%1").arg(name));
  zero->setMaximumWidth(zero->fontMetrics().horizontalAdvance("<0>") + 20);
  for (QPushButton* b : {now, zero}) b->setAutoDefault(false);
  grid->addWidget(new QLabel(QString("%1:").arg(name), group), row, 0);
  grid->addWidget(r.date, row, 1);
  grid->addWidget(r.time, row, 2);
  grid->addWidget(now, row, 3);
  grid->addWidget(zero, row, 4);
  connect(now, &QPushButton::clicked, this, [r] {
    const QDateTime current = QDateTime::currentDateTime();
    r.date->setDate(current.date());
    r.time->setTime(current.time());
  });
  connect(zero, &QPushButton::clicked, this, [r] { r.time->setTime(QTime(0, 0)); });
  connect(r.date, &QDateEdit::dateChanged, this, &FileFiltersPage::Write);
  connect(r.time, &QTimeEdit::timeChanged, this, &FileFiltersPage::Write);
  return r;
}

QGroupBox* FileFiltersPage::BuildDate() {
  date_group_ = new QGroupBox("Date filter", this);
  date_group_->setObjectName("dateFilter");
  date_group_->setCheckable(true);
  auto* grid = new QGridLayout(date_group_);
  dates_[0] = AddDateRow(date_group_, grid, 0, "A");
  dates_[1] = AddDateRow(date_group_, grid, 1, "B");
  grid->setColumnStretch(5, 1);
  date_pos_ =
      Choices("datePos", {"Older than A", "Newer than A", "Between A and B", "Beyond A and B"},
              date_group_, grid, 2, 4);
  connect(date_group_, &QGroupBox::toggled, this, &FileFiltersPage::Write);
  connect(date_pos_, &QButtonGroup::idClicked, this, &FileFiltersPage::Write);
  return date_group_;
}

QGroupBox* FileFiltersPage::BuildSize() {
  size_group_ = new QGroupBox("Size filter", this);
  size_group_->setObjectName("sizeFilter");
  size_group_->setCheckable(true);
  auto* grid = new QGridLayout(size_group_);
  for (int i = 0; i < 2; ++i) {
    const char* name = i == 0 ? "A" : "B";
    sizes_[i] = new NumberBox(0, kMaxSizeNumber, size_group_);
    sizes_[i]->setObjectName(QString("size%1").arg(name));
    units_[i] = new QComboBox(size_group_);
    units_[i]->setObjectName(QString("unit%1").arg(name));
    units_[i]->addItems({"bytes", "Kbytes", "Mbytes"});
    grid->addWidget(new QLabel(QString("%1:").arg(name), size_group_), i, 0);
    grid->addWidget(sizes_[i], i, 1);
    grid->addWidget(units_[i], i, 2);
    connect(units_[i], &QComboBox::currentIndexChanged, this, &FileFiltersPage::Write);
    connect(sizes_[i], &QLineEdit::editingFinished, this, &FileFiltersPage::Store);
  }
  grid->setColumnStretch(3, 1);
  auto* choices = new QGridLayout;
  size_pos_ =
      Choices("sizePos", {"More than A", "Less than A", "Between A and B", "Beyond A and B"},
              size_group_, choices, 0, 2);
  grid->addLayout(choices, 2, 0, 1, -1);
  connect(size_group_, &QGroupBox::toggled, this, &FileFiltersPage::Write);
  connect(size_pos_, &QButtonGroup::idClicked, this, &FileFiltersPage::Write);
  return size_group_;
}

QGroupBox* FileFiltersPage::BuildAttr() {
  attr_group_ = new QGroupBox("Attr filter", this);
  attr_group_->setObjectName("attrFilter");
  attr_group_->setCheckable(true);
  auto* box = new QVBoxLayout(attr_group_);
  const std::array<const char*, 4> captions = {"&a  Archive", "&r  Read only", "&h  Hidden",
                                               "&s  System"};
  const std::array<const char*, 4> names = {"attrArchive", "attrReadOnly", "attrHidden",
                                            "attrSystem"};
  for (size_t i = 0; i < attrs_.size(); ++i) {
    attrs_[i] = new QCheckBox(captions[i], attr_group_);
    attrs_[i]->setObjectName(names[i]);
    attrs_[i]->setTristate(true);
    box->addWidget(attrs_[i]);
    connect(attrs_[i], &QCheckBox::stateChanged, this, &FileFiltersPage::Write);
  }
  connect(attr_group_, &QGroupBox::toggled, this, &FileFiltersPage::Write);
  return attr_group_;
}

void FileFiltersPage::Load(TJobData& data) {
  data_ = &data;
  Fill();
  predefined_->Bind(data);
}

void FileFiltersPage::Fill() {
  loading_ = true;
  const TFileFilter& f = data_->FileFilter;
  FillHistory(include_, context_.settings.FileFilterIncHistory, f.FLT_Include);
  FillHistory(exclude_, context_.settings.FileFilterExcHistory, f.FLT_Exclude);
  use_exclude_->setChecked(f.FLT_bUseExclude);
  date_group_->setChecked(f.FLT_bUseDate);
  for (size_t i = 0; i < 2; ++i) {
    const platform::TDateTime dt = i == 0 ? f.FLT_DateTimeA : f.FLT_DateTimeB;
    dates_[i].date->setDate(ToQDate(dt));
    dates_[i].time->setTime(ToQTime(dt));
  }
  if (QAbstractButton* b = date_pos_->button(f.FLT_DatePos)) b->setChecked(true);
  size_group_->setChecked(f.FLT_bUseSize);
  sizes_[0]->SetValue(static_cast<int>(std::clamp<int64_t>(f.FLT_SizeA, 0, kMaxSizeNumber)));
  sizes_[1]->SetValue(static_cast<int>(std::clamp<int64_t>(f.FLT_SizeB, 0, kMaxSizeNumber)));
  units_[0]->setCurrentIndex(std::clamp(f.FLT_SizeDegreeA, 0, 2));
  units_[1]->setCurrentIndex(std::clamp(f.FLT_SizeDegreeB, 0, 2));
  if (QAbstractButton* b = size_pos_->button(f.FLT_SizePos)) b->setChecked(true);
  attr_group_->setChecked(f.FLT_bUseAttr);
  const std::array<TTriState, 4> boxes = AttrBoxes(f.FLT_Attr_IncMask, f.FLT_Attr_ExcMask);
  for (size_t i = 0; i < attrs_.size(); ++i)
    attrs_[i]->setCheckState(static_cast<Qt::CheckState>(boxes[i]));
  loading_ = false;
  Enable();
}

void FileFiltersPage::Enable() {
  exclude_->setEnabled(use_exclude_->isChecked());
  const bool date_b = date_pos_->checkedId() == fdBetween || date_pos_->checkedId() == fdBeyond;
  for (QWidget* w : std::initializer_list<QWidget*>{dates_[1].date, dates_[1].time, dates_[1].now,
                                                    dates_[1].zero})
    w->setEnabled(date_b);
  const bool size_b = size_pos_->checkedId() == fsBetween || size_pos_->checkedId() == fsBeyond;
  sizes_[1]->setEnabled(size_b);
  units_[1]->setEnabled(size_b);
}

void FileFiltersPage::Write() {
  Enable();
  if (loading_ || !data_) return;
  TFileFilter& f = data_->FileFilter;
  f.FLT_bUseExclude = use_exclude_->isChecked();
  f.FLT_bUseDate = date_group_->isChecked();
  f.FLT_DateTimeA = FromQt(dates_[0].date->date(), dates_[0].time->time());
  f.FLT_DateTimeB = FromQt(dates_[1].date->date(), dates_[1].time->time());
  f.FLT_DatePos = std::max(0, date_pos_->checkedId());
  f.FLT_bUseSize = size_group_->isChecked();
  f.FLT_SizeDegreeA = units_[0]->currentIndex();
  f.FLT_SizeDegreeB = units_[1]->currentIndex();
  f.FLT_SizePos = std::max(0, size_pos_->checkedId());
  f.FLT_bUseAttr = attr_group_->isChecked();
  std::array<TTriState, 4> boxes{};
  for (size_t i = 0; i < attrs_.size(); ++i)
    boxes[i] = static_cast<TTriState>(attrs_[i]->checkState());
  AttrMasks(boxes, f.FLT_Attr_IncMask, f.FLT_Attr_ExcMask);
  emit Changed();
}

void FileFiltersPage::Store() {
  if (!data_) return;
  TFileFilter& f = data_->FileFilter;
  f.FLT_Include = include_->currentText().toStdString();
  f.FLT_Exclude = exclude_->currentText().toStdString();
  for (NumberBox* box : sizes_) box->Settle();
  f.FLT_SizeA = sizes_[0]->Value();
  f.FLT_SizeB = sizes_[1]->Value();
}

}  // namespace

WizardPage* MakeFileFiltersPage(TWizardContext& context, QWidget* parent) {
  return new FileFiltersPage(context, parent);
}

}  // namespace twn::gui
