#pragma once
// The Create shortcut window: puts launchers for a job on the desktop or in the applications
// menu, with the switches that say how the program starts and what it does after the run.
#include <QtWidgets/QDialog>
#include <array>
#include <functional>
#include <string>

#include "gui/quickinfo/quick_info_window.h"
#include "windows/create_shortcut.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace twn {
class TJob;
}

namespace twn::gui {

class HelpCenter;

class CreateShortcutWindow : public QDialog {
  Q_OBJECT

 public:
  /// `settings_folder` is named in the launchers; empty when the program finds it by itself.
  /// The target folders are looked up now (ShortcutFolders when not given).
  CreateShortcutWindow(QWidget* parent, const TJob& job, std::string exe_path,
                       std::string settings_folder, HelpCenter* help, TQuickInfoFn quick_info,
                       const TShortcutFolders* folders = nullptr);
  ~CreateShortcutWindow() override;

  QString CommandLine() const;

  void accept() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Build();
  void LoadState();
  void SaveState() const;
  TShortcutOptions Options() const;
  void Refresh();

  const TJob& job_;
  std::string exe_;
  std::string settingsFolder_;
  HelpCenter* help_;
  TQuickInfoFn quickInfo_;
  TShortcutFolders folders_;
  std::array<QCheckBox*, stTargetCount> targets_{};
  QLineEdit* name_ = nullptr;
  QCheckBox* minimized_ = nullptr;
  std::array<QRadioButton*, 3> log_{};    // in TShortcutLog order
  std::array<QRadioButton*, 3> after_{};  // in TShortcutAfterRun order
  QLineEdit* example_ = nullptr;
  QPushButton* create_ = nullptr;
};

/// Shows the window modally on `job`; true when launchers were written.
bool ShowCreateShortcut(QWidget* parent, const TJob& job, const std::string& exe_path,
                        const std::string& settings_folder, HelpCenter* help,
                        TQuickInfoFn quick_info);

}  // namespace twn::gui
