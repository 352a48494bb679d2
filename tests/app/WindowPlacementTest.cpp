// Keeping the window on screen and the height of the panel stack.
#include "app/WindowPlacement.h"

#include <gtest/gtest.h>

namespace orva {
namespace {

TEST(KeepOnScreen, PullsEveryEdgeBackInside) {
  // 1024 x 768 screen, work area 740 high, window 300 x 200.
  EXPECT_EQ(KeepOnScreen({-10, -3}, 300, 200, 1024, 740), (Point{0, 0}));
  EXPECT_EQ(KeepOnScreen({900, 100}, 300, 200, 1024, 740), (Point{724, 100}));
  EXPECT_EQ(KeepOnScreen({100, 600}, 300, 200, 1024, 740), (Point{100, 532}));
  EXPECT_EQ(KeepOnScreen({50, 60}, 300, 200, 1024, 740), (Point{50, 60}));
}

TEST(KeepOnScreen, LeavesWindowsWiderThanTheScreenAlone) {
  EXPECT_EQ(KeepOnScreen({-100, -5}, 2000, 200, 1024, 740), (Point{-100, -5}));
  // Taller than the work area: the title bar stays reachable.
  EXPECT_EQ(KeepOnScreen({10, 100}, 300, 900, 1024, 740), (Point{10, 0}));
}

TEST(LayOutPanels, WindowHeightIsTheSumOfTheOpenPanels) {
  PanelStack s;
  s.heights = {60, 50, 70, 150, 80, 200};
  s.visible = {true, true, true, true, true, false};
  // Not all six open: base 40.
  EXPECT_EQ(LayOutPanels(s, 2, 600).windowHeight, 40 + 60 + 50 + 70 + 150 + 80);
  EXPECT_EQ(LayOutPanels(s, 2, 600).lastPanelHeight, -1);
  s.visible = {false, false, false, false, false, false};
  EXPECT_EQ(LayOutPanels(s, 0, 600).windowHeight, 40);
}

TEST(LayOutPanels, MonitorPanelTakesTheRoomLeft) {
  PanelStack s;
  s.heights = {60, 50, 70, 150, 80, 200};
  s.visible = {true, true, true, true, true, true};
  // All six open: base 25; the monitor panel fills what is left of a 600 high window.
  const PanelLayout l = LayOutPanels(s, 1, 600);
  EXPECT_EQ(l.windowHeight, -1);
  EXPECT_EQ(l.lastPanelHeight, 600 - (25 + 60 + 50 + 70 + 150 + 80));
  // Opening the monitor panel itself grows the window by its height.
  EXPECT_EQ(LayOutPanels(s, 5, 600).windowHeight, 25 + 60 + 50 + 70 + 150 + 80 + 200);
  // A window too small for the rest leaves the monitor panel empty, never negative.
  EXPECT_EQ(LayOutPanels(s, 1, 100).lastPanelHeight, 0);
}

}  // namespace
}  // namespace orva
