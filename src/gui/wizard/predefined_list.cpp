#include "gui/wizard/predefined_list.h"

#include <QtGui/QDropEvent>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QPushButton>

#include "gui/common/text.h"
#include "gui/wizard/filter_name_dialog.h"
#include "windows/wizard_filters.h"

namespace twn::gui {

FilterListWidget::FilterListWidget(QWidget* parent) : QListWidget(parent) {
  setDragDropMode(QAbstractItemView::InternalMove);
  setDefaultDropAction(Qt::MoveAction);
  setSelectionMode(QAbstractItemView::SingleSelection);
}

void FilterListWidget::dropEvent(QDropEvent* event) {
  const int from = currentRow();
  const int to = indexAt(event->position().toPoint()).row();
  // The list is refilled by the owner; letting the view move the row itself would leave it
  // out of step with the settings.
  event->setDropAction(Qt::IgnoreAction);
  event->ignore();
  if ((event->source() && event->source() != this) || from < 0 || to < 0 || to == from) return;
  emit moveRequested(from, to);
}

namespace {

// Both lists hold filters with a name, so the commands are written once over either.
template <class F>
void ForList(bool folder, TSettings& settings, F&& f) {
  if (folder)
    f(settings.DefFolderFilters);
  else
    f(settings.DefFileFilters);
}

const TFileFilter& OwnFilter(const TJobData& data, const std::vector<TFileFilter>&) {
  return data.FileFilter;
}
const TFolderFilter& OwnFilter(const TJobData& data, const std::vector<TFolderFilter>&) {
  return data.FolderFilter;
}
void SetOwn(TJobData& data, const TFileFilter& f) {
  SetFileFilter(data, f);
}
void SetOwn(TJobData& data, const TFolderFilter& f) {
  SetFolderFilter(data, f);
}

}  // namespace

PredefinedList::PredefinedList(bool folder, TWizardContext& context, QWidget* parent)
    : QGroupBox(folder ? "Predefined folder filters" : "Predefined file filters", parent),
      folder_(folder),
      context_(context) {
  setObjectName("predefined");
  list_ = new FilterListWidget(this);
  list_->setObjectName("predefinedList");
  save_ = AddButton("saveFilter", "Save filter", "Save current filter as predefined");
  set_ = AddButton("setFilter", "Set filter", folder ? "Set folder filter" : "Set file filter");
  delete_ = AddButton("deleteFilter", "Delete filter", "Delete filter");
  title_ = AddButton("titleFilter", "Change title",
                     folder ? "Change folder filter title" : "Change filter title");
  up_ = AddButton("upFilter", folder ? "Up filter" : "Up item", "Move up filter item");
  down_ = AddButton("downFilter", folder ? "Down filter" : "Down item", "Move down filter item");

  auto* buttons = new QGridLayout;
  int i = 0;
  for (QPushButton* b : {save_, set_, delete_, title_, up_, down_}) {
    buttons->addWidget(b, i / 2, i % 2);
    ++i;
  }
  buttons->setRowStretch(i / 2, 1);
  buttons->setVerticalSpacing(2);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(6, 4, 6, 4);
  layout->addWidget(list_, 1);
  layout->addLayout(buttons);

  connect(list_, &QListWidget::currentRowChanged, this, &PredefinedList::UpdateCommands);
  connect(list_, &FilterListWidget::moveRequested, this, &PredefinedList::Move);
  connect(save_, &QPushButton::clicked, this, &PredefinedList::OnSave);
  connect(set_, &QPushButton::clicked, this, &PredefinedList::OnSet);
  connect(delete_, &QPushButton::clicked, this, &PredefinedList::OnDelete);
  connect(title_, &QPushButton::clicked, this, &PredefinedList::OnTitle);
  connect(up_, &QPushButton::clicked, this,
          [this] { Move(list_->currentRow(), list_->currentRow() - 1); });
  connect(down_, &QPushButton::clicked, this,
          [this] { Move(list_->currentRow(), list_->currentRow() + 1); });
  UpdateCommands();
}

QPushButton* PredefinedList::AddButton(const char* name, const char* caption, const char* hint) {
  auto* button = new QPushButton(caption, this);
  button->setObjectName(name);
  button->setToolTip(hint);
  button->setAutoDefault(false);
  return button;
}

void PredefinedList::Bind(TJobData& data) {
  data_ = &data;
  Refill(list_->currentRow());
}

int PredefinedList::Count() const {
  return static_cast<int>(folder_ ? context_.settings.DefFolderFilters.size()
                                  : context_.settings.DefFileFilters.size());
}

void PredefinedList::Refill(int row) {
  QSignalBlocker block(list_);
  list_->clear();
  ForList(folder_, context_.settings, [this](auto& list) {
    for (const std::string& name : FilterNames(list)) list_->addItem(" " + Text(name));
  });
  list_->setCurrentRow(std::min(row, Count() - 1));
  UpdateCommands();
}

void PredefinedList::UpdateCommands() {
  const TFilterCommands c = FilterCommands(list_->currentRow(), Count());
  set_->setEnabled(c.Set);
  delete_->setEnabled(c.Delete);
  title_->setEnabled(c.Title);
  up_->setEnabled(c.Up);
  down_->setEnabled(c.Down);
}

void PredefinedList::OnSave() {
  if (!data_) return;
  emit aboutToSave();
  int stored = -1;
  ForList(folder_, context_.settings, [&](auto& list) {
    stored = SavePredefinedFilter(this, list, OwnFilter(*data_, list), context_.help);
  });
  if (stored >= 0) Refill(stored);
}

void PredefinedList::OnSet() {
  const int row = list_->currentRow();
  if (!data_ || row < 0 || row >= Count()) return;
  ForList(folder_, context_.settings,
          [&](auto& list) { SetOwn(*data_, list[static_cast<size_t>(row)]); });
  emit filterSet();
}

void PredefinedList::OnDelete() {
  int next = -1;
  ForList(folder_, context_.settings,
          [&](auto& list) { next = DeleteFilter(list, list_->currentRow()); });
  Refill(next);
}

void PredefinedList::OnTitle() {
  const int row = list_->currentRow();
  if (row < 0) return;
  bool renamed = false;
  ForList(folder_, context_.settings,
          [&](auto& list) { renamed = RenamePredefinedFilter(this, list, row, context_.help); });
  if (renamed) Refill(row);
}

void PredefinedList::Move(int from, int to) {
  bool moved = false;
  ForList(folder_, context_.settings, [&](auto& list) { moved = MoveFilter(list, from, to); });
  if (moved) Refill(to);
}

}  // namespace twn::gui
