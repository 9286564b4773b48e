#include "gui/common/folder_chooser.h"
#include "gui/common/text.h"

#include <QtCore/QFile>
#include <QtWidgets/QFileDialog>

namespace twn::gui {

namespace {

class TRealFolderChooser final : public TFolderChooser {
 public:
  std::optional<std::string> ChooseFolder(QWidget* owner, const QString& title,
                                          const std::string& start) override {
    const QString chosen = QFileDialog::getExistingDirectory(
        owner, title, QFile::decodeName(QByteArray::fromStdString(start)));
    if (chosen.isEmpty()) return std::nullopt;
    return PathBytes(chosen);
  }
};

TFolderChooser* installed = nullptr;

}  // namespace

TFolderChooser& FolderChooser() {
  static TRealFolderChooser real;
  return installed ? *installed : real;
}

void SetFolderChooser(TFolderChooser* chooser) {
  installed = chooser;
}

}  // namespace twn::gui
