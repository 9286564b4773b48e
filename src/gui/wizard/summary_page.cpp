#include "gui/wizard/summary_page.h"

#include <QtWidgets/QComboBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QVBoxLayout>

#include "gui/common/text.h"
#include "platform/locale.h"
#include "windows/wizard_frame.h"
#include "windows/wizard_summary.h"

namespace twn::gui {

SummaryPage::SummaryPage(TWizardContext& context, std::span<const std::string> names,
                         QWidget* parent)
    : WizardPage(context, parent), name_(new QComboBox(this)), heading_(new QLabel(this)) {
  for (const std::string& name : names) names_ << Text(name);
  heading_->setObjectName("jobNameHeading");
  heading_->setTextFormat(Qt::PlainText);
  QFont big = heading_->font();
  big.setBold(true);
  big.setPointSizeF(big.pointSizeF() * 1.3);
  heading_->setFont(big);
  name_->setObjectName("jobName");
  name_->setEditable(true);
  name_->setInsertPolicy(QComboBox::NoInsert);
  connect(name_, &QComboBox::editTextChanged, this,
          [this](const QString& name) { heading_->setText(Text(kJobNameHeading) + name); });
  auto* label = new QLabel(tr("Job &name:"), this);
  label->setBuddy(name_);

  auto* grid = new QGridLayout;
  grid->setColumnStretch(1, 1);
  grid->setVerticalSpacing(10);
  for (int line = 0; line < int(values_.size()); ++line) {
    auto* link = new QLabel(this);
    link->setObjectName(QString("summaryLink%1").arg(line + 1));
    link->setText(QString("<a href=\"%1\">%2</a>")
                      .arg(line + 1)
                      .arg(Text(kSummaryCaptions[size_t(line)]).toHtmlEscaped()));
    connect(link, &QLabel::linkActivated, this,
            [this](const QString& page) { emit PageRequested(page.toInt()); });
    auto* value = new QLabel(this);
    value->setObjectName(QString("summaryValue%1").arg(line + 1));
    value->setTextFormat(Qt::PlainText);
    value->setWordWrap(true);
    grid->addWidget(link, line, 0, Qt::AlignTop);
    grid->addWidget(value, line, 1, Qt::AlignTop);
    values_[size_t(line)] = value;
  }
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(heading_);
  layout->addSpacing(8);
  layout->addWidget(label);
  layout->addWidget(name_);
  layout->addSpacing(12);
  layout->addLayout(grid);
  layout->addStretch();
}

void SummaryPage::Load(TJobData& data) {
  data_ = &data;
  const QSignalBlocker quiet(name_);
  name_->clear();
  name_->addItems(names_);
  name_->setEditText(Text(data.JobName));
  heading_->setText(Text(kJobNameHeading) + Text(data.JobName));
  Shown();
}

void SummaryPage::Store() {
  if (data_) data_->JobName = platform::TrimBlanks(name_->currentText().toStdString());
}

void SummaryPage::Shown() {
  if (!data_) return;
  const std::array<std::string, 7> texts = SummaryTexts(*data_);
  for (size_t line = 0; line < texts.size(); ++line) values_[line]->setText(Text(texts[line]));
}

void SummaryPage::FocusName() {
  name_->setFocus();
  name_->lineEdit()->selectAll();
}

}  // namespace twn::gui
