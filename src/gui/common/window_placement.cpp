#include "gui/common/window_placement.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
#include <QtWidgets/QWidget>
#include <vector>

#include "app/placement.h"

namespace twn::gui {

namespace {

TRect ToRect(const QRect& r) {
  return {r.x(), r.y(), r.width(), r.height()};
}

}  // namespace

void ApplyWindowPlacement(QWidget& window, const TWindowPlacement& stored, const QWidget* owner) {
  std::vector<TRect> screens;
  for (const QScreen* screen : QGuiApplication::screens())
    screens.push_back(ToRect(screen->availableGeometry()));
  const QScreen* primary = QGuiApplication::primaryScreen();
  const QRect area = owner && owner->isVisible() ? owner->frameGeometry()
                     : primary                   ? primary->availableGeometry()
                                                 : QRect(0, 0, 1024, 768);
  const TRect r = WindowBounds(stored, ToRect(area), window.width(), window.height(), screens);
  window.setGeometry(r.Left, r.Top, r.Width, r.Height);
  if (stored.bMoved && stored.State == kStateMaximised) window.setWindowState(Qt::WindowMaximized);
}

void RecordWindowPlacement(const QWidget& window, TWindowPlacement& stored) {
  const QRect normal = window.isMaximized() ? window.normalGeometry() : window.geometry();
  twn::RecordWindowPlacement(stored, window.isMaximized(), ToRect(normal));
}

}  // namespace twn::gui
