#include "gui/shortcut/create_shortcut_window.h"
#include "gui/common/text.h"

#include <QtCore/QFile>
#include <QtCore/QTimer>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QVBoxLayout>

#include "gui/common/message_boxes.h"
#include "gui/help/help_center.h"
#include "help/help_topics.h"
#include "run/job.h"

namespace twn::gui {
namespace {

constexpr int kHelpContext = 26;

// The choices outlive the window while the program runs; they are not saved in the settings.
struct TState {
  std::array<bool, stTargetCount> targets{};
  TShortcutOptions options;
};
TState& State() {
  static TState state;
  return state;
}

template <size_t N>
QGroupBox* RadioGroup(QWidget* parent, const char* caption, const char* object_name,
                      const std::array<const char*, N>& captions,
                      std::array<QRadioButton*, N>& buttons) {
  auto* group = new QGroupBox(caption, parent);
  group->setObjectName(object_name);
  auto* layout = new QVBoxLayout(group);
  for (size_t i = 0; i < N; ++i) {
    buttons[i] = new QRadioButton(captions[i], group);
    buttons[i]->setObjectName(QString("%1%2").arg(object_name).arg(i));
    layout->addWidget(buttons[i]);
  }
  return group;
}

template <size_t N>
int Checked(const std::array<QRadioButton*, N>& buttons) {
  for (size_t i = 0; i < N; ++i)
    if (buttons[i]->isChecked()) return int(i);
  return int(N) - 1;
}

}  // namespace

CreateShortcutWindow::CreateShortcutWindow(QWidget* parent, const TJob& job, std::string exe_path,
                                           std::string settings_folder, HelpCenter* help,
                                           TQuickInfoFn quick_info, const TShortcutFolders* folders)
    : QDialog(parent),
      job_(job),
      exe_(std::move(exe_path)),
      settingsFolder_(std::move(settings_folder)),
      help_(help),
      quickInfo_(std::move(quick_info)),
      folders_(folders ? *folders : ShortcutFolders()) {
  setObjectName("createShortcut");
  setWindowTitle(Text(kCreateShortcutCaption));
  SetHelpContext(this, kHelpContext);
  Build();
  LoadState();
  Refresh();
}

CreateShortcutWindow::~CreateShortcutWindow() {
  SaveState();
}

void CreateShortcutWindow::Build() {
  auto* layout = new QVBoxLayout(this);
  auto* info = new QLabel(Text(CreateShortcutInfo(job_.Data.JobName)), this);
  info->setObjectName("info");
  layout->addWidget(info);

  auto* where = new QGroupBox("Where create shortcut", this);
  where->setObjectName("where");
  auto* whereLayout = new QGridLayout(where);
  const std::array<const char*, stTargetCount> captions = {"Desktop", "Quick launch", "Programs",
                                                           "Start menu"};
  const std::array<const char*, stTargetCount> names = {"desktop", "quickLaunch", "programs",
                                                        "startMenu"};
  for (int i = 0; i < stTargetCount; ++i) {
    targets_[i] = new QCheckBox(captions[i], where);
    targets_[i]->setObjectName(names[i]);
    targets_[i]->setToolTip(folders_[i].empty() ? "No such folder on this system"
                                                : QFile::decodeName(folders_[i].c_str()));
    whereLayout->addWidget(targets_[i], i / 2, i % 2);
  }
  layout->addWidget(where);

  auto* nameLabel = new QLabel("Shortcut &name", this);
  name_ = new QLineEdit(Text(job_.Data.JobName), this);
  name_->setObjectName("name");
  nameLabel->setBuddy(name_);
  auto* nameRow = new QHBoxLayout;
  nameRow->addWidget(nameLabel);
  nameRow->addWidget(name_, 1);
  layout->addLayout(nameRow);
  minimized_ = new QCheckBox("Start minimized", this);
  minimized_->setObjectName("startMinimized");
  layout->addWidget(minimized_);

  auto* options = new QHBoxLayout;
  options->addWidget(RadioGroup<3>(
      this, " Log options ", "log",
      {"Always show log", "Show log if there were errors", "Do not show log "}, log_));
  options->addWidget(RadioGroup<3>(this, " After executing options ", "after",
                                   {"Close TWN", "Minimize TWN to system tray", "Do nothing"},
                                   after_));
  layout->addLayout(options);

  layout->addWidget(new QLabel("Command line example", this));
  example_ = new QLineEdit(this);
  example_->setObjectName("example");
  example_->setReadOnly(true);
  layout->addWidget(example_);

  auto* buttons = new QHBoxLayout;
  create_ = new QPushButton("Create &shortcut", this);
  create_->setObjectName("create");
  create_->setDefault(true);
  auto* cancel = new QPushButton("&Cancel", this);
  cancel->setObjectName("cancel");
  auto* helpButton = new QPushButton("&Help", this);
  helpButton->setObjectName("help");
  auto* quickInfo = new QPushButton("Job &quick info", this);
  quickInfo->setObjectName("quickInfo");
  quickInfo->setEnabled(bool(quickInfo_));
  buttons->addWidget(quickInfo);
  buttons->addStretch(1);
  for (QPushButton* b : {create_, cancel, helpButton}) buttons->addWidget(b);
  layout->addLayout(buttons);

  connect(create_, &QPushButton::clicked, this, &CreateShortcutWindow::accept);
  connect(cancel, &QPushButton::clicked, this, &CreateShortcutWindow::reject);
  connect(helpButton, &QPushButton::clicked, this, [this] {
    if (help_) help_->ShowTopic(this, Text(HelpPageForContext(kHelpContext)));
  });
  connect(quickInfo, &QPushButton::clicked, this, [this] {
    if (quickInfo_) quickInfo_(this, job_);
  });
  connect(name_, &QLineEdit::textChanged, this, &CreateShortcutWindow::Refresh);
  for (QAbstractButton* b : findChildren<QAbstractButton*>(Qt::FindChildrenRecursively))
    if (b->isCheckable())
      connect(b, &QAbstractButton::toggled, this, &CreateShortcutWindow::Refresh);
}

void CreateShortcutWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  name_->setFocus();
  // After the activation that selects the whole text: the caret at the end, nothing selected.
  QTimer::singleShot(0, name_, [edit = name_] {
    edit->deselect();
    edit->end(false);
  });
}

void CreateShortcutWindow::LoadState() {
  const TState& state = State();
  for (int i = 0; i < stTargetCount; ++i) {
    targets_[i]->setEnabled(!folders_[i].empty());
    targets_[i]->setChecked(state.targets[i] && !folders_[i].empty());
  }
  minimized_->setChecked(state.options.startMinimized);
  log_[size_t(state.options.log)]->setChecked(true);
  after_[size_t(state.options.afterRun)]->setChecked(true);
}

void CreateShortcutWindow::SaveState() const {
  TState& state = State();
  for (int i = 0; i < stTargetCount; ++i)
    if (targets_[i]->isEnabled()) state.targets[i] = targets_[i]->isChecked();
  state.options = Options();
}

TShortcutOptions CreateShortcutWindow::Options() const {
  return {minimized_->isChecked(), TShortcutLog(Checked(log_)), TShortcutAfterRun(Checked(after_))};
}

QString CreateShortcutWindow::CommandLine() const {
  return Text(ShortcutCommandLine(exe_, job_.Data.JobName, settingsFolder_, Options()));
}

void CreateShortcutWindow::Refresh() {
  example_->setText(CommandLine());
  example_->setCursorPosition(0);
  bool any = false;
  for (QCheckBox* box : targets_) any |= box->isChecked();
  create_->setEnabled(CanCreateShortcut(any, name_->text().toStdString()));
}

void CreateShortcutWindow::accept() {
  if (!create_->isEnabled()) return;
  const std::string name = name_->text().toStdString();
  if (const std::string problem = ShortcutNameProblem(name); !problem.empty()) {
    MessageBoxes().Warn(this, Text(kShortcutWarningTitle), Text(problem));
    return;
  }
  std::array<bool, stTargetCount> ticked{};
  for (int i = 0; i < stTargetCount; ++i) ticked[i] = targets_[i]->isChecked();
  const std::string command =
      ShortcutCommandLine(exe_, job_.Data.JobName, settingsFolder_, Options());
  const auto failures = CreateShortcuts(folders_, ticked, name, exe_, command);
  if (!failures.empty()) {
    MessageBoxes().Warn(this, Text(kShortcutWarningTitle), Text(ShortcutFailureText(failures)));
    return;  // the window stays open: another folder or name may do
  }
  QDialog::accept();
}

bool ShowCreateShortcut(QWidget* parent, const TJob& job, const std::string& exe_path,
                        const std::string& settings_folder, HelpCenter* help,
                        TQuickInfoFn quick_info) {
  CreateShortcutWindow window(parent, job, exe_path, settings_folder, help, std::move(quick_info));
  return window.exec() == QDialog::Accepted;
}

}  // namespace twn::gui
