#pragma once
// The program's icon, painted here so that no image plugin is needed at run time. The same
// mark ships as data/twinward.svg for the desktop's menus.
#include <QtGui/QIcon>
#include <QtGui/QPixmap>

namespace twn::gui {

/// The mark at `size` by `size` pixels on a transparent background.
QPixmap AppIconPixmap(int size);
/// The mark at 16, 22, 32, 48, 64 and 128 pixels.
QIcon AppIcon();

}  // namespace twn::gui
