#pragma once
// Every folder chooser of the program goes through this interface, so that a test can pick
// the folder without a modal dialog: it installs its own TFolderChooser.
#include <QtCore/QString>

class QWidget;

namespace twn::gui {

class TFolderChooser {
 public:
  virtual ~TFolderChooser() = default;
  /// The folder the user chose, starting at `start`; empty when cancelled.
  virtual QString ChooseFolder(QWidget* owner, const QString& prompt, const QString& start) = 0;
};

/// The chooser in use: the real one unless a test has installed another.
TFolderChooser& FolderChooser();
/// Installs `chooser` (not owned); null restores the real one.
void SetFolderChooser(TFolderChooser* chooser);

}  // namespace twn::gui
