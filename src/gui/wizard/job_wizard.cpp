#include "gui/wizard/job_wizard.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QStackedWidget>
#include <QtWidgets/QStyle>
#include <QtWidgets/QTableView>
#include <QtWidgets/QVBoxLayout>

#include "gui/common/message_boxes.h"
#include "gui/common/text.h"
#include "gui/help/help_center.h"
#include "gui/visualrun/visual_run_window.h"
#include "gui/wizard/pairs_basket.h"
#include "gui/wizard/summary_page.h"
#include "platform/locale.h"
#include "windows/wizard_frame.h"
#include "windows/wizard_rules.h"
#include "windows/wizard_summary.h"

namespace twn::gui {

namespace {

QPushButton* Button(QWidget* parent, std::string_view caption, const char* name) {
  auto* button = new QPushButton(Text(caption), parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

JobWizard::JobWizard(TJob& job, std::span<const std::string> names, TSettings& settings,
                     TQtRunHost& host, HelpCenter* help, QWidget* parent)
    : QDialog(parent),
      job_(job),
      working_(job.Data),
      names_(names.begin(), names.end()),
      settings_(settings),
      host_(host),
      help_(help),
      context_{settings, help} {
  setObjectName("jobWizard");
  setWindowTitle(Text(WizardCaption(job.Data)));
  setWindowIcon(style()->standardIcon(
      WizardCreatesJob(job.Data) ? QStyle::SP_FileIcon : QStyle::SP_FileDialogDetailedView));
  working_.JobName = ProposedJobName(working_.JobName, names_);
  opening_key_ = JobNameKey(working_.JobName);

  list_ = new QListWidget(this);
  list_->setObjectName("pageList");
  list_->setSpacing(3);
  for (const std::string_view name : kWizardPageNames) list_->addItem(Text(name));
  list_->setFixedWidth(list_->sizeHintForColumn(0) + 2 * list_->frameWidth() + 24);
  heading_ = new QLabel(this);
  heading_->setObjectName("pageHeading");
  heading_->setAutoFillBackground(true);
  heading_->setBackgroundRole(QPalette::Highlight);
  heading_->setForegroundRole(QPalette::HighlightedText);
  heading_->setMargin(6);
  QFont bold = heading_->font();
  bold.setBold(true);
  heading_->setFont(bold);
  stack_ = new QStackedWidget(this);
  stack_->setObjectName("pages");
  BuildPages(names);

  auto* right = new QVBoxLayout;
  right->addWidget(heading_);
  right->addWidget(stack_, 1);
  auto* body = new QHBoxLayout;
  body->addWidget(list_);
  body->addLayout(right, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(body, 1);
  layout->addWidget(BuildButtons());
  resize(940, 540);

  connect(list_, &QListWidget::currentRowChanged, this, &JobWizard::PageShown);
  // Enter in the basket edits a pair rather than saving the job.
  focus_ = connect(qApp, &QApplication::focusChanged, this,
                   [this](QWidget*, QWidget* now) { save_->setDefault(now != basket_->Grid()); });
  LoadPages();
  SelectPage(kWizardPageJob);
}

JobWizard::~JobWizard() {
  // Focus moves while the children go; the buttons are gone by then.
  disconnect(focus_);
}

void JobWizard::BuildPages(std::span<const std::string> names) {
  summary_ = new SummaryPage(context_, names, stack_);
  connect(summary_, &SummaryPage::PageRequested, this, &JobWizard::SelectPage);
  basket_ = new BasketPage(context_, stack_);
  pages_ = {summary_,
            basket_,
            MakeFileFiltersPage(context_, stack_),
            MakeFolderFiltersPage(context_, stack_),
            MakeMethodPage(context_, stack_),
            MakeRulesPage(context_, stack_),
            MakeSchedulingPage(context_, stack_),
            MakeLogSettingsPage(context_, stack_)};
  for (WizardPage* page : pages_) {
    stack_->addWidget(page);
    connect(page, &WizardPage::Changed, this, &JobWizard::RefreshButtons);
  }
}

QWidget* JobWizard::BuildButtons() {
  auto* bar = new QWidget(this);
  save_ = Button(bar, kWizardSave, "saveJob");
  save_->setDefault(true);
  auto* cancel = Button(bar, kWizardCancel, "cancel");
  auto* help = Button(bar, kWizardHelp, "help");
  visual_ = Button(bar, kWizardVisualRun, "visualExecution");
  connect(save_, &QPushButton::clicked, this, &JobWizard::Save);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(help, &QPushButton::clicked, this, [this] {
    if (help_) help_->ShowContext(this, WizardPageHelpContext(CurrentPage()));
  });
  connect(visual_, &QPushButton::clicked, this, &JobWizard::VisualExecution);
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(visual_);
  row->addStretch();
  row->addWidget(save_);
  row->addWidget(cancel);
  row->addWidget(help);
  return bar;
}

void JobWizard::LoadPages() {
  for (WizardPage* page : pages_) page->Load(working_);
  RefreshButtons();
}

void JobWizard::SelectPage(int page) {
  if (list_->currentRow() == page)
    PageShown(page);
  else
    list_->setCurrentRow(page);
}

int JobWizard::CurrentPage() const {
  return stack_->currentIndex();
}

void JobWizard::PageShown(int page) {
  if (page < 0 || page >= int(pages_.size())) return;
  // The summary tells what the other pages hold, typed text included.
  if (page == kWizardPageJob) StorePages();
  stack_->setCurrentIndex(page);
  heading_->setText(Text(kWizardPageNames[size_t(page)]));
  SetHelpContext(this, WizardPageHelpContext(page));
  pages_[size_t(page)]->Shown();
}

void JobWizard::StorePages() {
  for (WizardPage* page : pages_) page->Store();
  RefreshButtons();
}

void JobWizard::RefreshButtons() {
  const bool can_save = CanSaveJob(working_);
  save_->setEnabled(can_save);
  visual_->setEnabled(can_save);
}

void JobWizard::Save() {
  StorePages();
  if (!save_->isEnabled()) return;
  working_.JobName = platform::TrimBlanks(working_.JobName);
  if (const auto problem = ValidateJob(working_, names_, opening_key_)) {
    MessageBoxes().Warn(this, Text(problem->Title), Text(problem->Text));
    SelectPage(problem->Page);
    if (problem->FocusName) summary_->FocusName();
    return;
  }
  SaveWizardJob(job_, working_, settings_);
  accept();
}

void JobWizard::VisualExecution() {
  StorePages();
  if (!visual_->isEnabled()) return;
  ShowVisualRun(this, job_, working_, settings_, host_, help_);
}

bool ShowJobWizard(QWidget* parent, TJob& job, std::span<const std::string> names,
                   TSettings& settings, TQtRunHost& host, HelpCenter* help) {
  JobWizard wizard(job, names, settings, host, help, parent);
  return wizard.exec() == QDialog::Accepted;
}

}  // namespace twn::gui
