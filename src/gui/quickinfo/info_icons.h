#pragma once
// The small pictures of the quick-info window, painted here: one per image index the core's
// sentences and pair cells name (quick_info.h, quick_info_pairs.h).
#include <QtGui/QIcon>

namespace twn::gui {

/// The picture for `index` at 16 by 16 pixels; a plain bullet for an index without its own.
QIcon InfoIcon(int index);

}  // namespace twn::gui
