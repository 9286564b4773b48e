#include "gui/common/message_boxes.h"

#include <QtWidgets/QMessageBox>

namespace twn::gui {

namespace {

class TRealMessageBoxes final : public TMessageBoxes {
 public:
  void Warn(QWidget* owner, const QString& title, const QString& text) override {
    QMessageBox::warning(owner, title, text);
  }
  bool Ask(QWidget* owner, const QString& title, const QString& text) override {
    return QMessageBox::question(owner, title, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
  }
  void Inform(QWidget* owner, const QString& title, const QString& text) override {
    QMessageBox::information(owner, title, text);
  }
};

TMessageBoxes* installed = nullptr;

}  // namespace

TMessageBoxes& MessageBoxes() {
  static TRealMessageBoxes real;
  return installed ? *installed : real;
}

void SetMessageBoxes(TMessageBoxes* boxes) {
  installed = boxes;
}

}  // namespace twn::gui
