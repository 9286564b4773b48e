#pragma once
// The quick start tutorials: a panel docked at the left of the job list with five links, each
// opening its tutorial's help page.
#include <QtWidgets/QDockWidget>

namespace twn::gui {

class TutorialsPanel : public QDockWidget {
  Q_OBJECT

 public:
  explicit TutorialsPanel(QWidget* parent = nullptr);

 signals:
  /// A tutorial link was clicked; the help context of its page.
  void TutorialChosen(int help_context);
  /// The panel's close button was clicked; the window toggles the tutorials command.
  void CloseClicked();

 protected:
  void closeEvent(QCloseEvent* event) override;
};

}  // namespace twn::gui
