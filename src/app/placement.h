#pragma once
// The main window's place on the desktop: the four bounds keys and the state key of the settings
// turned into a rectangle and back, with the first-start defaults and a rescue for a rectangle
// that lies off every screen (a monitor was removed, the resolution shrank).
#include <cstdint>
#include <span>

namespace twn {

class TSettings;

struct TRect {
  int32_t Left = 0, Top = 0, Width = 0, Height = 0;
  bool operator==(const TRect&) const = default;
};

/// MainWindowState values.
enum : int32_t { kStateNormal = 1, kStateMinimised = 2, kStateMaximised = 3 };

/// The main window's bounds from the settings, each unknown (-1) key replaced from the virtual
/// desktop: top DH/9, left DW/9, width 7*DW/9, height 7*DH/9, measured from the desktop's
/// origin.
TRect FirstPlacement(const TSettings& settings, TRect desktop);
/// Writes `bounds` into MainLeft, MainTop, MainWidth and MainHeight (the defaults are kept
/// once the window has been shown).
void StoreBounds(TSettings& settings, TRect bounds);
/// `r` unchanged when enough of its title area shows on one of `screens`; else moved onto the
/// nearest screen (the first on a tie), shrunk to that screen when larger. No screens: `r`.
TRect PulledOntoScreens(TRect r, std::span<const TRect> screens);
/// Records a state change: a normal window stores state 1 and its bounds; a minimised or
/// maximised one only its state, so the stored bounds stay those of the last normal placement.
void RecordPlacement(TSettings& settings, int32_t state, TRect normal);
/// A `w` by `h` rectangle centred on `area`, each half rounded toward zero.
TRect CentredOn(TRect area, int32_t w, int32_t h);

struct TWindowPlacement;

/// A window's bounds from its stored placement; without one (never moved), a `w` by `h`
/// rectangle centred over `owner`. The result is pulled onto `screens`.
TRect WindowBounds(const TWindowPlacement& stored, TRect owner, int32_t w, int32_t h,
                   std::span<const TRect> screens);
/// Records a window's placement at its close: maximised or normal with its normal bounds.
void RecordWindowPlacement(TWindowPlacement& stored, bool maximised, TRect normal);

}  // namespace twn
