#include "gui/common/folder_chooser.h"

#include <QtWidgets/QFileDialog>

namespace twn::gui {

namespace {

class TRealFolderChooser final : public TFolderChooser {
 public:
  QString ChooseFolder(QWidget* owner, const QString& prompt, const QString& start) override {
    return QFileDialog::getExistingDirectory(owner, prompt, start);
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
