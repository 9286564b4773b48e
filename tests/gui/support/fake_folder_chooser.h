#pragma once
// Answers the program's folder choosers in tests and records where they started.
#include <QtCore/QString>
#include <QtCore/QStringList>

#include "gui/common/folder_chooser.h"

namespace twn::gui {

class FakeFolderChooser final : public TFolderChooser {
 public:
  FakeFolderChooser() { SetFolderChooser(this); }
  ~FakeFolderChooser() override { SetFolderChooser(nullptr); }

  QString ChooseFolder(QWidget*, const QString& prompt, const QString& start) override {
    prompts << prompt;
    starts << start;
    return answer;
  }

  /// The folder every chooser returns; empty = cancelled.
  QString answer;
  QStringList prompts;
  QStringList starts;
};

}  // namespace twn::gui
