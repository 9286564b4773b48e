#include "gui/wizard/filter_name_dialog.h"

#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QVBoxLayout>

#include "gui/common/message_boxes.h"
#include "gui/help/help_center.h"
#include "platform/locale.h"
#include "windows/wizard_filters.h"

namespace twn::gui {

namespace {

QString FromView(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

}  // namespace

FilterNameDialog::FilterNameDialog(QWidget* parent, bool folder_filter, bool rename,
                                   std::vector<std::string> names, const std::string& current,
                                   HelpCenter* help)
    : QDialog(parent), rename_(rename), names_(std::move(names)) {
  setObjectName("filterNameDialog");
  const TFilterNameTexts texts = FilterNameTexts(folder_filter, rename);
  setWindowTitle(FromView(texts.Caption));
  SetHelpContext(this, texts.HelpContext);
  auto* layout = new QVBoxLayout(this);
  auto* prompt = new QLabel(FromView(texts.Prompt), this);
  edit_ = new QLineEdit(QString::fromStdString(current), this);
  edit_->setObjectName("filterName");
  prompt->setBuddy(edit_);
  layout->addWidget(prompt);
  layout->addWidget(edit_);
  if (!rename) {
    list_ = new QListWidget(this);
    list_->setObjectName("filterNames");
    for (const std::string& name : names_) list_->addItem(QString::fromStdString(name));
    layout->addWidget(list_);
    connect(edit_, &QLineEdit::textEdited, this, &FilterNameDialog::OnTextEdited);
    connect(list_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { edit_->setText(item->text()); });
  }
  auto* buttons = new QDialogButtonBox(
      QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
  buttons->setObjectName("buttons");
  connect(buttons, &QDialogButtonBox::accepted, this, &FilterNameDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &FilterNameDialog::reject);
  const int context = texts.HelpContext;
  connect(buttons, &QDialogButtonBox::helpRequested, this, [this, help, context] {
    if (help) help->ShowContext(this, context);
  });
  layout->addWidget(buttons);
  resize(380, rename ? sizeHint().height() : 300);
}

void FilterNameDialog::OnTextEdited(const QString& text) {
  const int row = FindFilterName(names_, text.toStdString());
  list_->setCurrentRow(row);
  if (row < 0) list_->clearSelection();
}

std::string FilterNameDialog::Name() const {
  return std::string(platform::TrimBlanks(edit_->text().toStdString()));
}

int FilterNameDialog::Selected() const {
  if (!list_ || list_->selectedItems().isEmpty()) return -1;
  return list_->row(list_->selectedItems().front());
}

void FilterNameDialog::accept() {
  if (const std::string why = FilterNameProblem(Name()); !why.empty()) {
    MessageBoxes().Warn(this, tr("Warning: incorrect field"), FromView(why));
    edit_->setFocus();
    return;
  }
  if (!rename_ && Selected() >= 0 &&
      !MessageBoxes().Ask(this, FromView(kOverwriteFilterTitle), FromView(kOverwriteFilterText)))
    return;
  QDialog::accept();
}

namespace {

template <class TFilter>
int SaveAs(QWidget* parent, std::vector<TFilter>& list, const TFilter& filter, bool folder,
           HelpCenter* help) {
  FilterNameDialog dialog(parent, folder, false, FilterNames(list), {}, help);
  if (dialog.exec() != QDialog::Accepted) return -1;
  return SaveFilterAs(list, filter, dialog.Name(), dialog.Selected());
}

template <class TFilter>
bool Rename(QWidget* parent, std::vector<TFilter>& list, int index, bool folder, HelpCenter* help) {
  if (index < 0 || index >= static_cast<int>(list.size())) return false;
  TFilter& entry = list[static_cast<size_t>(index)];
  FilterNameDialog dialog(parent, folder, true, {}, entry.FilterName, help);
  if (dialog.exec() != QDialog::Accepted) return false;
  entry.FilterName = dialog.Name();
  return true;
}

}  // namespace

int SavePredefinedFilter(QWidget* parent, std::vector<TFileFilter>& list, const TFileFilter& filter,
                         HelpCenter* help) {
  return SaveAs(parent, list, filter, false, help);
}
int SavePredefinedFilter(QWidget* parent, std::vector<TFolderFilter>& list,
                         const TFolderFilter& filter, HelpCenter* help) {
  return SaveAs(parent, list, filter, true, help);
}
bool RenamePredefinedFilter(QWidget* parent, std::vector<TFileFilter>& list, int index,
                            HelpCenter* help) {
  return Rename(parent, list, index, false, help);
}
bool RenamePredefinedFilter(QWidget* parent, std::vector<TFolderFilter>& list, int index,
                            HelpCenter* help) {
  return Rename(parent, list, index, true, help);
}

}  // namespace twn::gui
