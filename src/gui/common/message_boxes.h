#pragma once
// Every message box of the program goes through this interface, so that a test can answer the
// boxes without a modal loop: it installs its own TMessageBoxes and reads what was asked.
#include <QtCore/QString>

class QWidget;

namespace twn::gui {

class TMessageBoxes {
 public:
  virtual ~TMessageBoxes() = default;
  /// An exclamation box with OK.
  virtual void Warn(QWidget* owner, const QString& title, const QString& text) = 0;
  /// A question with Yes and No; true for Yes.
  virtual bool Ask(QWidget* owner, const QString& title, const QString& text) = 0;
  /// An information box with OK.
  virtual void Inform(QWidget* owner, const QString& title, const QString& text) = 0;
};

/// The boxes in use: the real ones unless a test has installed others.
TMessageBoxes& MessageBoxes();
/// Installs `boxes` (not owned); null restores the real ones.
void SetMessageBoxes(TMessageBoxes* boxes);

}  // namespace twn::gui
