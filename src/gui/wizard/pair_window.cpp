#include "gui/wizard/pair_window.h"

#include <QtCore/QFile>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

#include "gui/common/folder_chooser.h"
#include "gui/common/message_boxes.h"
#include "gui/common/text.h"
#include "gui/common/window_placement.h"
#include "gui/help/help_center.h"
#include "platform/locale.h"
#include "windows/wizard_rules.h"

namespace twn::gui {

namespace {

constexpr int kPairHelpContext = 23;

QString Decode(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

QString FromView(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

}  // namespace

PairWindow::PairWindow(QWidget* parent, TPairItem& pair, bool is_new, HelpCenter* help)
    : QDialog(parent), pair_(&pair), help_(help) {
  setObjectName("pairWindow");
  setWindowTitle(is_new ? tr("Add folder pair") : tr("Edit folder pair"));
  SetHelpContext(this, kPairHelpContext);
  auto* grid = new QGridLayout;
  left_ = AddFolderRow(grid, 0, tr("&Left folder:"), pair.L_Path, "left");
  right_ = AddFolderRow(grid, 2, tr("&Right folder:"), pair.R_Path, "right");
  subfolders_ = new QCheckBox(tr("Include &subfolders"), this);
  subfolders_->setObjectName("subfolders");
  subfolders_->setChecked(pair.bSubFLD);
  grid->addWidget(subfolders_, 4, 0, 1, 2);

  auto* buttons = new QDialogButtonBox(
      QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
  buttons->setObjectName("buttons");
  connect(buttons, &QDialogButtonBox::accepted, this, &PairWindow::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &PairWindow::reject);
  connect(buttons, &QDialogButtonBox::helpRequested, this, [this] {
    if (help_) help_->ShowContext(this, kPairHelpContext);
  });
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addStretch();
  layout->addWidget(buttons);
  resize(560, sizeHint().height());
}

QLineEdit* PairWindow::AddFolderRow(QGridLayout* grid, int row, const QString& caption,
                                    const std::string& path, const QString& name) {
  auto* edit = new QLineEdit(Decode(path), this);
  edit->setObjectName(name + "Path");
  auto* label = new QLabel(caption, this);
  label->setBuddy(edit);
  auto* browse = new QPushButton(tr("Browse..."), this);
  browse->setObjectName(name + "Browse");
  connect(browse, &QPushButton::clicked, this, [this, edit, caption] {
    const std::string start = PathOf(edit, {});
    QString title = caption;
    title.remove('&').chop(1);
    if (auto chosen = FolderChooser().ChooseFolder(this, title, start))
      edit->setText(Decode(*chosen));
  });
  grid->addWidget(label, row, 0, 1, 2);
  grid->addWidget(edit, row + 1, 0);
  grid->addWidget(browse, row + 1, 1);
  return edit;
}

// A path the user did not touch keeps its bytes, even when they are not valid in the locale's
// encoding; a typed one is encoded as the file system expects.
std::string PairWindow::PathOf(const QLineEdit* edit, const std::string& original) const {
  if (!original.empty() && edit->text() == Decode(original)) return original;
  return PathBytes(edit->text());
}

TPairItem PairWindow::Edited() const {
  TPairItem pair = *pair_;
  pair.L_Path = PathOf(left_, pair_->L_Path);
  pair.R_Path = PathOf(right_, pair_->R_Path);
  pair.bSubFLD = subfolders_->isChecked();
  pair.RefreshKeys();
  return pair;
}

void PairWindow::accept() {
  const TPairItem pair = Edited();
  const TPairCheck check = CheckPair(pair);
  if (!check.Error.empty()) {
    MessageBoxes().Warn(this, tr("Warning: incorrect field"), FromView(check.Error));
    const bool left_bad =
        platform::TrimBlanks(pair.L_Path).empty() || !FolderPathProblem(pair.L_Path).empty();
    (left_bad ? left_ : right_)->setFocus();
    return;
  }
  if (!check.Warning.empty() &&
      !MessageBoxes().Ask(this, FromView(kPairWarningTitle), FromView(check.Warning)))
    return;
  *pair_ = pair;
  QDialog::accept();
}

bool EditPair(QWidget* parent, TPairItem& pair, bool is_new, TSettings& settings,
              HelpCenter* help) {
  if (is_new) {
    pair = TPairItem();
    pair.bSubFLD = true;
  }
  PairWindow window(parent, pair, is_new, help);
  ApplyWindowPlacement(window, settings.AddPair, parent);
  const bool ok = window.exec() == QDialog::Accepted;
  RecordWindowPlacement(window, settings.AddPair);
  return ok;
}

}  // namespace twn::gui
