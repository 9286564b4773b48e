// "Folder filters": the job's exclude patterns for folders, typed or picked from the tree, and
// the predefined folder filters.
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

#include "gui/common/text.h"
#include "gui/picker/folder_picker.h"
#include "gui/wizard/predefined_list.h"
#include "windows/wizard_rules.h"

namespace twn::gui {

namespace {

class FolderFiltersPage : public WizardPage {
 public:
  FolderFiltersPage(TWizardContext& context, QWidget* parent);
  void Load(TJobData& data) override;
  void Store() override {}
  void Shown() override { Enable(); }

 private:
  QPushButton* AddButton(const char* name, const char* caption);
  void Fill(int row);
  void Enable();
  void OnAdd();
  void OnDelete();
  void OnClear();
  void OnTree();

  TJobData* data_ = nullptr;
  QLineEdit* pattern_;
  QListWidget* list_;
  QPushButton *add_, *delete_, *clear_, *tree_;
  PredefinedList* predefined_;
};

FolderFiltersPage::FolderFiltersPage(TWizardContext& context, QWidget* parent)
    : WizardPage(context, parent) {
  pattern_ = new QLineEdit(this);
  pattern_->setObjectName("pattern");
  list_ = new QListWidget(this);
  list_->setObjectName("patterns");
  add_ = AddButton("addPattern", "Add pattern");
  delete_ = AddButton("deletePattern", "Delete pattern");
  clear_ = AddButton("clearPatterns", "Clear patterns");
  tree_ = AddButton("addFromTree", "Add from tree");
  predefined_ = new PredefinedList(true, context, this);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel("Type folder pattern string for exclude:", this), 0, 0);
  grid->addWidget(pattern_, 1, 0);
  grid->addWidget(add_, 1, 1);
  grid->addWidget(new QLabel("Exclude patterns list for folders:", this), 2, 0);
  grid->addWidget(list_, 3, 0, 4, 1);
  grid->addWidget(delete_, 3, 1);
  grid->addWidget(clear_, 4, 1);
  grid->addWidget(tree_, 5, 1);
  grid->setRowStretch(6, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(grid, 3);
  layout->addWidget(predefined_, 2);

  connect(pattern_, &QLineEdit::textChanged, this, &FolderFiltersPage::Enable);
  connect(pattern_, &QLineEdit::returnPressed, this, &FolderFiltersPage::OnAdd);
  connect(list_, &QListWidget::currentRowChanged, this, &FolderFiltersPage::Enable);
  connect(add_, &QPushButton::clicked, this, &FolderFiltersPage::OnAdd);
  connect(delete_, &QPushButton::clicked, this, &FolderFiltersPage::OnDelete);
  connect(clear_, &QPushButton::clicked, this, &FolderFiltersPage::OnClear);
  connect(tree_, &QPushButton::clicked, this, &FolderFiltersPage::OnTree);
  connect(predefined_, &PredefinedList::filterSet, this, [this] {
    Fill(-1);
    emit Changed();
  });
}

QPushButton* FolderFiltersPage::AddButton(const char* name, const char* caption) {
  auto* button = new QPushButton(caption, this);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

void FolderFiltersPage::Load(TJobData& data) {
  data_ = &data;
  pattern_->clear();
  Fill(-1);
  predefined_->Bind(data);
}

void FolderFiltersPage::Fill(int row) {
  QSignalBlocker block(list_);
  list_->clear();
  for (const std::string& pattern : data_->FolderFilter.Patterns())
    list_->addItem(" " + PathText(pattern));
  list_->setCurrentRow(std::min(row, list_->count() - 1));
  Enable();
}

void FolderFiltersPage::Enable() {
  if (!data_) return;
  add_->setEnabled(CanAddPattern(PathBytes(pattern_->text()), data_->FolderFilter));
  delete_->setEnabled(list_->currentRow() >= 0);
  clear_->setEnabled(list_->count() > 0);
}

void FolderFiltersPage::OnAdd() {
  if (!data_) return;
  const int row = AddTypedPattern(PathBytes(pattern_->text()), data_->FolderFilter);
  if (row < 0) return;
  pattern_->clear();
  pattern_->setFocus();
  Fill(row);
  emit Changed();
}

void FolderFiltersPage::OnDelete() {
  const int row = list_->currentRow();
  if (!data_ || row < 0) return;
  data_->FolderFilter.DeletePattern(row);
  Fill(row);
  emit Changed();
}

void FolderFiltersPage::OnClear() {
  if (!data_) return;
  data_->FolderFilter.ClearPatterns();
  Fill(-1);
  emit Changed();
}

void FolderFiltersPage::OnTree() {
  if (!data_) return;
  const std::string previous = data_->FolderFilter.GetPattern(list_->currentRow());
  if (!PickExcludedFolders(this, data_->FolderFilter, context_.settings, context_.help)) return;
  Fill(previous.empty() ? -1 : data_->FolderFilter.IndexOfPattern(previous));
  emit Changed();
}

}  // namespace

WizardPage* MakeFolderFiltersPage(TWizardContext& context, QWidget* parent) {
  return new FolderFiltersPage(context, parent);
}

}  // namespace twn::gui
