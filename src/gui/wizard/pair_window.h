#pragma once
// The window that adds or edits one folder pair of a job: the left and the right folder, each
// typed or chosen with "Browse...", and whether subfolders are included.
#include <QtWidgets/QDialog>

#include "app/settings.h"
#include "model/job_data.h"

class QCheckBox;
class QGridLayout;
class QLineEdit;

namespace twn::gui {

class HelpCenter;

class PairWindow : public QDialog {
  Q_OBJECT
 public:
  /// Shows `pair`; it is written only when the window is accepted.
  PairWindow(QWidget* parent, TPairItem& pair, bool is_new, HelpCenter* help = nullptr);

  /// The pair as the controls hold it.
  TPairItem Edited() const;
  QLineEdit* LeftEdit() const { return left_; }
  QLineEdit* RightEdit() const { return right_; }

 public slots:
  /// Refuses an unusable path with a warning, asks about the same or nested folders, and
  /// otherwise writes the pair and closes with OK.
  void accept() override;

 private:
  QLineEdit* AddFolderRow(QGridLayout* grid, int row, const QString& caption,
                          const std::string& path, const QString& name);
  std::string PathOf(const QLineEdit* edit, const std::string& original) const;

  TPairItem* pair_;
  HelpCenter* help_;
  QLineEdit* left_ = nullptr;
  QLineEdit* right_ = nullptr;
  QCheckBox* subfolders_ = nullptr;
};

/// Opens the pair window modally at its stored place; true when the pair was changed. A new
/// pair starts with empty paths and subfolders on.
bool EditPair(QWidget* parent, TPairItem& pair, bool is_new, TSettings& settings,
              HelpCenter* help = nullptr);

}  // namespace twn::gui
