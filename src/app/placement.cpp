#include "app/placement.h"

#include <algorithm>
#include <limits>

#include "app/settings.h"

namespace twn {
namespace {

// A window can be dragged back when this much of the strip under its top edge shows.
constexpr int32_t kTitleHeight = 30;
constexpr int32_t kGripWidth = 50;
constexpr int32_t kGripHeight = 10;

int64_t Right(const TRect& r) {
  return int64_t(r.Left) + r.Width;
}
int64_t Bottom(const TRect& r) {
  return int64_t(r.Top) + r.Height;
}

bool TitleShowsOn(const TRect& r, const TRect& screen) {
  const int64_t strip_bottom = int64_t(r.Top) + std::min(kTitleHeight, r.Height);
  const int64_t w = std::min(Right(r), Right(screen)) - std::max(r.Left, screen.Left);
  const int64_t h = std::min(strip_bottom, Bottom(screen)) - std::max(r.Top, screen.Top);
  return w >= std::min(kGripWidth, r.Width) &&
         h >= std::min<int64_t>(kGripHeight, strip_bottom - r.Top);
}

// Squared gap between two rectangles; 0 when they touch or overlap.
int64_t Gap(const TRect& a, const TRect& b) {
  const int64_t dx = std::max<int64_t>({0, b.Left - Right(a), a.Left - Right(b)});
  const int64_t dy = std::max<int64_t>({0, b.Top - Bottom(a), a.Top - Bottom(b)});
  return dx * dx + dy * dy;
}

int32_t ClampInto(int32_t pos, int32_t size, int32_t area_pos, int32_t area_size) {
  return int32_t(std::clamp<int64_t>(pos, area_pos, int64_t(area_pos) + area_size - size));
}

}  // namespace

TRect FirstPlacement(const TSettings& settings, TRect desktop) {
  const auto known = [](int32_t value, int64_t fallback) {
    return value == -1 ? int32_t(fallback) : value;
  };
  const int64_t dw = desktop.Width, dh = desktop.Height;
  return {known(settings.MainLeft, desktop.Left + dw / 9),
          known(settings.MainTop, desktop.Top + dh / 9), known(settings.MainWidth, 7 * dw / 9),
          known(settings.MainHeight, 7 * dh / 9)};
}

void StoreBounds(TSettings& settings, TRect bounds) {
  settings.MainLeft = bounds.Left;
  settings.MainTop = bounds.Top;
  settings.MainWidth = bounds.Width;
  settings.MainHeight = bounds.Height;
}

TRect PulledOntoScreens(TRect r, std::span<const TRect> screens) {
  if (screens.empty()) return r;
  int64_t best_gap = std::numeric_limits<int64_t>::max();
  const TRect* best = nullptr;
  for (const TRect& screen : screens) {
    if (TitleShowsOn(r, screen)) return r;
    if (const int64_t gap = Gap(r, screen); gap < best_gap) {
      best_gap = gap;
      best = &screen;
    }
  }
  const TRect& s = *best;
  r.Width = std::min(r.Width, s.Width);
  r.Height = std::min(r.Height, s.Height);
  r.Left = ClampInto(r.Left, r.Width, s.Left, s.Width);
  r.Top = ClampInto(r.Top, r.Height, s.Top, s.Height);
  return r;
}

void RecordPlacement(TSettings& settings, int32_t state, TRect normal) {
  settings.MainWindowState = state;
  if (state == kStateNormal) StoreBounds(settings, normal);
}

TRect CentredOn(TRect area, int32_t w, int32_t h) {
  return {area.Left + area.Width / 2 - w / 2, area.Top + area.Height / 2 - h / 2, w, h};
}

TRect WindowBounds(const TWindowPlacement& stored, TRect owner, int32_t w, int32_t h,
                   std::span<const TRect> screens) {
  const TRect r = stored.bMoved && stored.Width > 0 && stored.Height > 0
                      ? TRect{stored.Left, stored.Top, stored.Width, stored.Height}
                      : CentredOn(owner, w, h);
  return PulledOntoScreens(r, screens);
}

void RecordWindowPlacement(TWindowPlacement& stored, bool maximised, TRect normal) {
  stored.bMoved = true;
  stored.State = maximised ? kStateMaximised : kStateNormal;
  stored.Left = normal.Left;
  stored.Top = normal.Top;
  stored.Width = normal.Width;
  stored.Height = normal.Height;
}

}  // namespace twn
