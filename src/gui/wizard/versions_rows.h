#pragma once
// The versions setting of a job on the "Synchronize methods" page: whether deleted and
// overwritten files are kept, where, and for how long.
#include <QtWidgets/QWidget>
#include <functional>

#include "model/job_data.h"

class QCheckBox;
class QLineEdit;

namespace twn::gui {

class NumberBox;

class VersionsRows : public QWidget {
 public:
  /// `changed` is called after every edit by the user (not by Load).
  VersionsRows(QWidget* parent, std::function<void()> changed);
  void Load(const TJobData& data);
  void Store(TJobData& data);

 private:
  void Enable(bool on);
  void Edited();

  std::function<void()> changed_;
  bool loading_ = false;
  QCheckBox* keep_;
  QLineEdit* folder_;
  QWidget* browse_;
  NumberBox* count_;
  NumberBox* days_;
  /// The folder as loaded: kept byte for byte unless the user edits it.
  std::string loaded_folder_;
};

}  // namespace twn::gui
