#pragma once
// Answers the program's folder choosers in tests with prepared folders.
#include <QtCore/QStringList>
#include <deque>
#include <string>
#include <vector>

#include "gui/common/folder_chooser.h"

namespace twn::gui {

class FakeFolderChooser final : public TFolderChooser {
 public:
  FakeFolderChooser() { SetFolderChooser(this); }
  ~FakeFolderChooser() override { SetFolderChooser(nullptr); }

  std::optional<std::string> ChooseFolder(QWidget*, const QString& title,
                                          const std::string& start) override {
    titles << title;
    starts.push_back(start);
    if (answers.empty()) return std::nullopt;
    std::optional<std::string> next = answers.front();
    answers.pop_front();
    return next;
  }

  /// The folders the next choosers return in turn; none (or an empty queue) cancels.
  std::deque<std::optional<std::string>> answers;
  QStringList titles;
  std::vector<std::string> starts;
};

}  // namespace twn::gui
