#pragma once
// The list of predefined file or folder filters on the filter pages, with its commands (save
// the job's filter, set it from an entry, delete, rename, move up and down, drag to another
// place). Every change goes into the settings' list at once, whether or not the job is saved.
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QListWidget>

#include "gui/wizard/wizard_page.h"

class QPushButton;

namespace twn::gui {

/// A list that moves rows only through its owner: a drop asks for the move and the owner
/// refills the list. A drop on the row's own place or outside the rows is refused.
class FilterListWidget : public QListWidget {
  Q_OBJECT
 public:
  explicit FilterListWidget(QWidget* parent);
  // Public so that a test can drop without running a drag loop.
  void dropEvent(QDropEvent* event) override;

 signals:
  void moveRequested(int from, int to);
};

class PredefinedList : public QGroupBox {
  Q_OBJECT
 public:
  PredefinedList(bool folder, TWizardContext& context, QWidget* parent);

  /// The job whose filter Save stores and Set replaces; refills the list.
  void Bind(TJobData& data);
  /// Refills the rows from the settings, selecting `row` (clamped; -1 for none).
  void Refill(int row);
  FilterListWidget* List() const { return list_; }

 signals:
  /// Before Save: the page writes its controls into the job.
  void aboutToSave();
  /// After Set: the job's filter was replaced; the page refills its controls.
  void filterSet();

 private:
  int Count() const;
  void UpdateCommands();
  void OnSave();
  void OnSet();
  void OnDelete();
  void OnTitle();
  void Move(int from, int to);
  QPushButton* AddButton(const char* name, const char* caption, const char* hint);

  bool folder_;
  TWizardContext& context_;
  TJobData* data_ = nullptr;
  FilterListWidget* list_ = nullptr;
  QPushButton *save_ = nullptr, *set_ = nullptr, *delete_ = nullptr, *title_ = nullptr,
              *up_ = nullptr, *down_ = nullptr;
};

}  // namespace twn::gui
