#pragma once
// Where a window other than the main window opens: its stored placement, or centred over its
// owner; and what is stored when it closes.
#include "app/settings.h"

class QWidget;

namespace twn::gui {

/// Places `window` (its current size is the default) before it is shown.
void ApplyWindowPlacement(QWidget& window, const TWindowPlacement& stored, const QWidget* owner);
/// Stores `window`'s placement; call when it closes.
void RecordWindowPlacement(const QWidget& window, TWindowPlacement& stored);

}  // namespace twn::gui
