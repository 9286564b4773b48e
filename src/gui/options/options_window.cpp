#include "gui/options/options_window.h"
#include "gui/common/text.h"

#include <QtCore/QFile>
#include <QtCore/QTimer>
#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

#include "gui/common/folder_chooser.h"
#include "gui/common/message_boxes.h"
#include "gui/help/help_center.h"
#include "windows/options.h"

namespace twn::gui {

namespace {

constexpr int kOptionsHelpContext = 17;

QPushButton* Button(std::string_view text, const char* name, QWidget* parent) {
  auto* button = new QPushButton(Text(text), parent);
  button->setObjectName(name);
  return button;
}

}  // namespace

OptionsWindow::OptionsWindow(TSettings& settings, HelpCenter* help, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      help_(help),
      folder_(new QLineEdit(this)),
      autosize_(new QCheckBox(Text(kOptionsAutosize), this)),
      tutorials_(new QCheckBox(Text(kOptionsTutorials), this)) {
  setObjectName("options");
  setWindowTitle(Text(kOptionsCaption));
  SetHelpContext(this, kOptionsHelpContext);
  folder_->setObjectName("logFolder");
  autosize_->setObjectName("autosize");
  tutorials_->setObjectName("tutorials");
  auto* label = new QLabel(Text(kOptionsFolderLabel), this);
  label->setBuddy(folder_);
  QPushButton* browse = Button(kOptionsBrowse, "browse", this);
  QPushButton* save = Button(kOptionsSave, "save", this);
  QPushButton* close = Button(kOptionsClose, "close", this);
  QPushButton* helpButton = Button(kOptionsHelp, "help", this);
  save->setDefault(true);

  auto* folderRow = new QHBoxLayout;
  folderRow->addWidget(folder_, 1);
  folderRow->addWidget(browse);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(save);
  buttons->addWidget(close);
  buttons->addWidget(helpButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label);
  layout->addLayout(folderRow);
  layout->addSpacing(6);
  layout->addWidget(autosize_);
  layout->addWidget(tutorials_);
  layout->addStretch(1);
  layout->addLayout(buttons);
  resize(460, sizeHint().height());

  const TOptionsValues values = OptionsFromSettings(settings_);
  folder_->setText(QFile::decodeName(values.LogFolder.c_str()));
  autosize_->setChecked(values.bAutosizeColumns);
  tutorials_->setChecked(values.bShowTutorials);
  folder_->setFocus();

  connect(browse, &QPushButton::clicked, this, &OptionsWindow::Browse);
  connect(save, &QPushButton::clicked, this, &OptionsWindow::accept);
  connect(close, &QPushButton::clicked, this, &OptionsWindow::reject);
  connect(helpButton, &QPushButton::clicked, this, [this] {
    if (help_) help_->ShowTopic(this, "options_window.html");
  });
}

void OptionsWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // The dialog selects the focused box's text once shown; the caret belongs at the end.
  QTimer::singleShot(0, folder_, [box = folder_] { box->end(false); });
}

void OptionsWindow::Browse() {
  const std::string start = BrowseStartFolder(PathBytes(folder_->text()));
  const auto chosen = FolderChooser().ChooseFolder(this, Text(kOptionsBrowsePrompt), start);
  if (!chosen) return;
  folder_->setText(PathText(BrowsedLogFolder(*chosen)));
}

void OptionsWindow::accept() {
  const TOptionsValues edited{PathBytes(folder_->text()), autosize_->isChecked(),
                              tutorials_->isChecked()};
  const TOptionsSave result = SaveOptions(edited, settings_);
  if (result == TOptionsSave::NoFolder) {
    MessageBoxes().Warn(this, Text(kOptionsNoFolderTitle), Text(kOptionsNoFolderText));
    folder_->setFocus();
    return;
  }
  changed_ = result == TOptionsSave::Changed;
  QDialog::accept();
}

bool ShowOptions(QWidget* parent, TSettings& settings, HelpCenter* help) {
  OptionsWindow window(settings, help, parent);
  // Centred on the whole desktop, over every screen.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->virtualGeometry().center());
    window.move(frame.topLeft());
  }
  window.exec();
  return window.Changed();
}

}  // namespace twn::gui
