#pragma once
// The Options window: the log folder, autosized job-list columns and the tutorials panel.
#include <QtWidgets/QDialog>

#include "app/settings.h"

class QCheckBox;
class QLineEdit;

namespace twn::gui {

class HelpCenter;

class OptionsWindow : public QDialog {
  Q_OBJECT

 public:
  /// `help` may be null (no Help page then).
  OptionsWindow(TSettings& settings, HelpCenter* help, QWidget* parent = nullptr);

  /// Whether Save stored values that differ from the ones the window opened with.
  bool Changed() const { return changed_; }

  void accept() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Browse();

  TSettings& settings_;
  HelpCenter* help_;
  QLineEdit* folder_;
  QCheckBox* autosize_;
  QCheckBox* tutorials_;
  bool changed_ = false;
};

/// Shows the window modally over `parent`; true when Save changed the settings.
bool ShowOptions(QWidget* parent, TSettings& settings, HelpCenter* help);

}  // namespace twn::gui
