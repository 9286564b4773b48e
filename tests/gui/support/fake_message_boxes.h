#pragma once
// Answers the program's message boxes in tests and records what they said.
#include <QtCore/QString>
#include <QtCore/QStringList>

#include "gui/common/message_boxes.h"

namespace twn::gui {

class FakeMessageBoxes final : public TMessageBoxes {
 public:
  FakeMessageBoxes() { SetMessageBoxes(this); }
  ~FakeMessageBoxes() override { SetMessageBoxes(nullptr); }

  void Warn(QWidget*, const QString& title, const QString& text) override {
    titles << title;
    texts << text;
  }
  bool Ask(QWidget*, const QString& title, const QString& text) override {
    titles << title;
    texts << text;
    return answer;
  }
  void Inform(QWidget*, const QString& title, const QString& text) override {
    titles << title;
    texts << text;
  }

  /// What every question is answered.
  bool answer = true;
  QStringList titles;
  QStringList texts;
};

}  // namespace twn::gui
