#include "gui/main/tray.h"

#include <QtWidgets/QMenu>
#include <QtWidgets/QSystemTrayIcon>

namespace twn::gui {

Tray::Tray(const QIcon& icon, QObject* parent)
    : QObject(parent), menu_(std::make_unique<QMenu>()), icon_(new QSystemTrayIcon(icon, this)) {
  menu_->setObjectName("trayMenu");
  for (const TTrayMenuItem& item : TrayMenuItems()) {
    if (item.Item == tiSeparator) {
      menu_->addSeparator();
      continue;
    }
    QAction* action = menu_->addAction(QString::fromUtf8(item.Caption));
    if (item.Item == tiActivate) menu_->setDefaultAction(action);
    connect(action, &QAction::triggered, this, [this, which = item.Item] { emit Chosen(which); });
  }
  icon_->setContextMenu(menu_.get());
  icon_->setToolTip(QString::fromUtf8(kAppTitle));
  connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
    if (why == QSystemTrayIcon::Trigger || why == QSystemTrayIcon::DoubleClick)
      emit Chosen(tiActivate);
  });
  SetAvailable(QSystemTrayIcon::isSystemTrayAvailable());
}

Tray::~Tray() {
  icon_->hide();
}

void Tray::SetAvailable(bool available) {
  available_ = available;
  icon_->setVisible(available);
}

}  // namespace twn::gui
