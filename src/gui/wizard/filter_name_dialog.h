#pragma once
// The dialog that names a predefined file or folder filter: in save mode the user types a new
// name or picks an existing filter to replace; in rename mode the box holds the current name.
#include <QtWidgets/QDialog>
#include <string>
#include <vector>

#include "filters/file_filter.h"
#include "filters/folder_filter.h"

class QLineEdit;
class QListWidget;

namespace twn::gui {

class HelpCenter;

class FilterNameDialog : public QDialog {
  Q_OBJECT
 public:
  /// `names` are the predefined filters' names (listed in save mode); `current` fills the box.
  FilterNameDialog(QWidget* parent, bool folder_filter, bool rename, std::vector<std::string> names,
                   const std::string& current, HelpCenter* help = nullptr);

  /// The typed name, trimmed.
  std::string Name() const;
  /// Save mode: the entry to replace, or -1 for a new entry.
  int Selected() const;
  QLineEdit* NameEdit() const { return edit_; }
  QListWidget* NameList() const { return list_; }

 public slots:
  /// Refuses a blank name; in save mode over an existing entry, asks first and stays open on
  /// No.
  void accept() override;

 private:
  void OnTextEdited(const QString& text);

  bool rename_;
  std::vector<std::string> names_;
  QLineEdit* edit_ = nullptr;
  QListWidget* list_ = nullptr;
};

/// Save mode: stores a copy of the job's filter in the list; the index stored, or -1.
int SavePredefinedFilter(QWidget* parent, std::vector<TFileFilter>& list, const TFileFilter& filter,
                         HelpCenter* help = nullptr);
int SavePredefinedFilter(QWidget* parent, std::vector<TFolderFilter>& list,
                         const TFolderFilter& filter, HelpCenter* help = nullptr);
/// Rename mode on entry `index`; true when renamed.
bool RenamePredefinedFilter(QWidget* parent, std::vector<TFileFilter>& list, int index,
                            HelpCenter* help = nullptr);
bool RenamePredefinedFilter(QWidget* parent, std::vector<TFolderFilter>& list, int index,
                            HelpCenter* help = nullptr);

}  // namespace twn::gui
