#pragma once
// Every folder chooser of the program goes through this interface, so that a test can answer
// it without a modal loop. Paths are byte strings as the core keeps them.
#include <QtCore/QString>
#include <optional>
#include <string>

class QWidget;

namespace twn::gui {

class TFolderChooser {
 public:
  virtual ~TFolderChooser() = default;
  /// Lets the user pick an existing folder, starting at `start`; none when cancelled.
  virtual std::optional<std::string> ChooseFolder(QWidget* owner, const QString& title,
                                                  const std::string& start) = 0;
};

/// The chooser in use: the real one unless a test has installed another.
TFolderChooser& FolderChooser();
/// Installs `chooser` (not owned); null restores the real one.
void SetFolderChooser(TFolderChooser* chooser);

}  // namespace twn::gui
