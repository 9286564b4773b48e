// The main window's placement: first-start defaults, the rescue of a rectangle off every
// screen, what a state change records, and centring.
#include "app/placement.h"

#include <gtest/gtest.h>

#include "app/settings.h"

namespace twn {
namespace {

TEST(Placement, FirstPlacementFillsOnlyUnknownKeysFromTheDesktop) {
  const struct {
    int32_t left, top, width, height;
    TRect desktop;
    TRect expected;
  } cases[] = {
      {-1, -1, -1, -1, {0, 0, 1920, 1080}, {213, 120, 1493, 840}},
      // 7*1366/9 = 1062.4 and 7*769/9 = 598.1: truncated, not rounded.
      {-1, -1, -1, -1, {0, 0, 1366, 769}, {151, 85, 1062, 598}},
      {-1, -1, -1, -1, {-1280, 0, 3200, 1080}, {-925, 120, 2488, 840}},
      {40, -1, 800, -1, {0, 0, 1920, 1080}, {40, 120, 800, 840}},
      {0, 0, 0, 0, {0, 0, 1920, 1080}, {0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    TSettings settings("/nowhere");
    settings.MainLeft = c.left;
    settings.MainTop = c.top;
    settings.MainWidth = c.width;
    settings.MainHeight = c.height;
    const TRect r = FirstPlacement(settings, c.desktop);
    EXPECT_EQ(r, c.expected) << c.desktop.Width << "x" << c.desktop.Height << " left " << c.left;
    StoreBounds(settings, r);
    EXPECT_EQ(FirstPlacement(settings, {0, 0, 1, 1}), c.expected);
  }
}

TEST(Placement, OnlyARectangleWithoutAUsableTitleAreaIsPulledOntoAScreen) {
  const TRect one[] = {{0, 0, 1920, 1080}};
  const TRect two[] = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
  const struct {
    const char* what;
    TRect r;
    std::span<const TRect> screens;
    TRect expected;
  } cases[] = {
      {"inside", {100, 100, 800, 600}, one, {100, 100, 800, 600}},
      {"title half out at the right", {1800, 500, 800, 600}, one, {1800, 500, 800, 600}},
      {"body below the screen", {100, 1050, 800, 600}, one, {100, 1050, 800, 600}},
      {"left of the screen", {-900, 100, 800, 600}, one, {0, 100, 800, 600}},
      {"only 20 px at the left edge", {-780, 100, 800, 600}, one, {0, 100, 800, 600}},
      {"below the screen", {300, 1200, 800, 600}, one, {300, 480, 800, 600}},
      {"title just above the top", {300, -40, 800, 600}, one, {300, 0, 800, 600}},
      {"on a removed monitor", {2200, 200, 800, 600}, one, {1120, 200, 800, 600}},
      {"bigger than the screen", {2200, 200, 2500, 1400}, one, {0, 0, 1920, 1080}},
      {"on the second monitor", {2200, 200, 800, 600}, two, {2200, 200, 800, 600}},
      {"below the second monitor", {2200, 1100, 800, 600}, two, {2200, 424, 800, 600}},
      {"no screens known", {5000, 5000, 800, 600}, {}, {5000, 5000, 800, 600}},
  };
  for (const auto& c : cases) EXPECT_EQ(PulledOntoScreens(c.r, c.screens), c.expected) << c.what;
}

TEST(Placement, RecordKeepsTheBoundsOfTheLastNormalPlacement) {
  TSettings settings("/nowhere");
  const struct {
    int32_t state;
    TRect bounds;
    TRect stored;
  } steps[] = {
      {kStateNormal, {10, 20, 800, 600}, {10, 20, 800, 600}},
      {kStateMaximised, {0, 0, 1920, 1080}, {10, 20, 800, 600}},
      {kStateMinimised, {0, 0, 160, 30}, {10, 20, 800, 600}},
      {kStateNormal, {30, 40, 900, 700}, {30, 40, 900, 700}},
  };
  for (const auto& s : steps) {
    RecordPlacement(settings, s.state, s.bounds);
    EXPECT_EQ(settings.MainWindowState, s.state);
    EXPECT_EQ(FirstPlacement(settings, {}), s.stored) << "state " << s.state;
  }
}

TEST(Placement, CentredOnHalvesTowardZero) {
  EXPECT_EQ(CentredOn({0, 0, 1920, 1080}, 785, 521), (TRect{568, 280, 785, 521}));
  EXPECT_EQ(CentredOn({100, 50, 801, 601}, 400, 300), (TRect{300, 200, 400, 300}));
}

}  // namespace
}  // namespace twn

namespace twn {
namespace {

// Other windows: centred over their owner until they have been placed once; a stored place
// that no screen shows any more is pulled back.
TEST(WindowPlacementTest, StoredOrCentredOverTheOwner) {
  const TRect screens[] = {{0, 0, 1920, 1080}};
  TWindowPlacement stored;
  EXPECT_EQ((TRect{610, 340, 500, 300}),
            WindowBounds(stored, {400, 200, 920, 580}, 500, 300, screens));
  RecordWindowPlacement(stored, true, {3000, 50, 640, 480});
  EXPECT_TRUE(stored.bMoved);
  EXPECT_EQ(kStateMaximised, stored.State);
  const TRect back = WindowBounds(stored, {400, 200, 920, 580}, 500, 300, screens);
  EXPECT_EQ(640, back.Width);
  EXPECT_LE(back.Left + back.Width, 1920);
}

}  // namespace
}  // namespace twn
