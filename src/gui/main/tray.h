#pragma once
// The tray icon and its menu, where the desktop has a tray. Without one, Available() is false
// and the window minimises normally instead of hiding.
#include <QtCore/QObject>
#include <memory>

#include "app/main_commands.h"

class QMenu;
class QSystemTrayIcon;
class QIcon;

namespace twn::gui {

class Tray : public QObject {
  Q_OBJECT

 public:
  Tray(const QIcon& icon, QObject* parent = nullptr);
  ~Tray() override;

  /// Whether the desktop has a tray; tests may pretend either way.
  bool Available() const { return available_; }
  void SetAvailable(bool available);
  QMenu* Menu() const { return menu_.get(); }

 signals:
  /// A tray menu item was chosen or the icon was clicked (tiActivate).
  void Chosen(twn::TTrayItem item);

 private:
  std::unique_ptr<QMenu> menu_;  // a QMenu has no parent object here
  QSystemTrayIcon* icon_;
  bool available_ = false;
};

}  // namespace twn::gui
