#include "gui/picker/folder_picker.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QStyle>
#include <QtWidgets/QVBoxLayout>

#include "gui/common/message_boxes.h"
#include "gui/common/text.h"
#include "gui/common/window_placement.h"
#include "gui/help/help_center.h"
#include "gui/picker/folder_tree_model.h"

namespace twn::gui {

namespace {

constexpr int kPickerHelpContext = 25;

}  // namespace

// --- The view -------------------------------------------------------------------------------

CheckTreeView::CheckTreeView(QWidget* parent) : QTreeView(parent) {
  setHeaderHidden(true);
  setUniformRowHeights(true);
}

QRect CheckTreeView::CheckRect(const QModelIndex& index) const {
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  option.rect = visualRect(index);
  option.features |= QStyleOptionViewItem::HasCheckIndicator;
  option.features |= QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasDecoration;
  return style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, this);
}

void CheckTreeView::mousePressEvent(QMouseEvent* event) {
  const QModelIndex index = indexAt(event->position().toPoint());
  const bool button = event->button() == Qt::LeftButton || event->button() == Qt::RightButton;
  if (index.isValid() && button && CheckRect(index).contains(event->position().toPoint())) {
    setCurrentIndex(index);
    emit checkClicked(index, event->button() == Qt::LeftButton);
    event->accept();
    return;
  }
  QTreeView::mousePressEvent(event);
}

void CheckTreeView::mouseDoubleClickEvent(QMouseEvent* event) {
  // A quick second click on a tick is a second click, not an "open the folder".
  const QModelIndex index = indexAt(event->position().toPoint());
  if (index.isValid() && CheckRect(index).contains(event->position().toPoint())) {
    mousePressEvent(event);
    return;
  }
  QTreeView::mouseDoubleClickEvent(event);
}

void CheckTreeView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && currentIndex().isValid()) {
    emit checkClicked(currentIndex(), !(event->modifiers() & Qt::ShiftModifier));
    return;
  }
  QTreeView::keyPressEvent(event);
}

// --- The roots ------------------------------------------------------------------------------

std::vector<TPickerRoot> DefaultPickerRoots() {
  QFile mounts("/proc/self/mounts");
  const std::string text =
      mounts.open(QIODevice::ReadOnly) ? mounts.readAll().toStdString() : std::string();
  std::vector<TPickerRoot> roots;
  for (std::string& path : PickerRootFolders(PathBytes(QDir::homePath()), text))
    roots.emplace_back(path, path);
  return roots;
}

// --- The dialog -----------------------------------------------------------------------------

FolderPickerDialog::FolderPickerDialog(QWidget* parent, TFolderSource& source,
                                       const std::vector<TPickerRoot>& roots, HelpCenter* help)
    : QDialog(parent), tree_(source) {
  setObjectName("folderPicker");
  setWindowTitle(tr("Getting folder names"));
  SetHelpContext(this, kPickerHelpContext);
  for (const auto& [label, path] : roots) tree_.AddRoot(label, path);
  model_ = new FolderTreeModel(tree_, this);
  model_->Reset();
  view_ = new CheckTreeView(this);
  view_->setObjectName("treeSource");
  view_->setModel(model_);
  connect(view_, &CheckTreeView::checkClicked, model_, &FolderTreeModel::Click);

  auto* buttons = new QDialogButtonBox(this);
  buttons->setObjectName("buttons");
  buttons->addButton(QDialogButtonBox::Help);
  buttons->addButton(tr("&Ok"), QDialogButtonBox::AcceptRole)->setObjectName("okButton");
  buttons->addButton(QDialogButtonBox::Cancel);
  buttons->setCenterButtons(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &FolderPickerDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &FolderPickerDialog::reject);
  connect(buttons, &QDialogButtonBox::helpRequested, this, [this, help] {
    if (help) help->ShowContext(this, kPickerHelpContext);
  });

  auto* top = new QHBoxLayout;
  top->addWidget(view_, 1);
  top->addWidget(BuildSidePanel());
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top, 1);
  layout->addWidget(buttons);
  resize(640, 460);

  if (!roots.empty()) {
    // Filled now rather than at the first layout, so that the tree is complete when shown.
    const QModelIndex first = model_->index(0, 0);
    model_->fetchMore(first);
    view_->expand(first);
    view_->setCurrentIndex(first);
  }
}

FolderPickerDialog::~FolderPickerDialog() = default;

QWidget* FolderPickerDialog::BuildSidePanel() {
  auto* panel = new QWidget(this);
  auto* column = new QVBoxLayout(panel);
  column->setContentsMargins(0, 0, 0, 0);
  auto* legend = new QGroupBox(tr("Legend of images"), panel);
  auto* rows = new QVBoxLayout(legend);
  const auto add_row = [&](Qt::CheckState state, const QString& text) {
    auto* box = new QCheckBox(text, legend);
    box->setTristate(state == Qt::PartiallyChecked);
    box->setCheckState(state);
    box->setAttribute(Qt::WA_TransparentForMouseEvents);
    box->setFocusPolicy(Qt::NoFocus);
    rows->addWidget(box);
  };
  add_row(Qt::Unchecked, tr("the folder is not selected"));
  add_row(Qt::Checked, tr("the folder is selected"));
  add_row(Qt::PartiallyChecked, tr("some subfolders differ"));
  auto* tips_box = new QGroupBox(tr("Quick tips"), panel);
  auto* tips = new QPlainTextEdit(tips_box);
  tips->setObjectName("quickTips");
  tips->setReadOnly(true);
  tips->setPlainText(
      tr("In the window you can specify folder you don't want have involved in a comparison. "
         "Names of selected folders will be added as patterns.\n\n"
         "Click left mouse button on the image to select/deselect all of subfolders of a "
         "folder.\n\n"
         "Click right mouse button on the image to select/deselect a single folder only."));
  (new QVBoxLayout(tips_box))->addWidget(tips);
  column->addWidget(legend);
  column->addWidget(tips_box, 1);
  panel->setFixedWidth(220);
  return panel;
}

void FolderPickerDialog::accept() {
  picked_ = PatternsFromPaths(tree_.TickedPaths());
  if (const std::string skipped = SkippedNamesText(picked_); !skipped.empty())
    MessageBoxes().Inform(this, windowTitle(),
                          QFile::decodeName(QByteArray::fromStdString(skipped)));
  QDialog::accept();
}

bool PickExcludedFolders(QWidget* parent, TFolderFilter& filter, TSettings& settings,
                         HelpCenter* help) {
  TDiskFolderSource disk;
  FolderPickerDialog dialog(parent, disk, DefaultPickerRoots(), help);
  ApplyWindowPlacement(dialog, settings.FolderTree, parent);
  const bool ok = dialog.exec() == QDialog::Accepted;
  RecordWindowPlacement(dialog, settings.FolderTree);
  if (ok) AddPickedPatterns(filter, dialog.Picked());
  return ok;
}

}  // namespace twn::gui
