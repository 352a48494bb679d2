// Where the main window goes: the two window modes with a remembered position each, the
// hidden place off screen, the screen-edge rule of a move and the height of the panel stack.
#pragma once

#include <array>

namespace orva {

// A window at this left coordinate is hidden (kept off screen instead of unmapped).
constexpr int kHiddenLeft = -5000;

enum class WindowMode { Large = 0, Small = 1 };

struct Point {
  int left = 0, top = 0;
  bool operator==(const Point&) const = default;
};

struct WindowPositions {
  Point large;  // "Left coord. Z", "Top coord. Z"
  Point small;  // "Left coord. S", "Top coord. S"
  Point& For(WindowMode mode) { return mode == WindowMode::Small ? small : large; }
  const Point& For(WindowMode mode) const { return mode == WindowMode::Small ? small : large; }
};

// A moved window is kept on screen: a negative left or top becomes 0, a window past the right
// edge is pulled back to it, one past the bottom ends 8 pixels above the work area's bottom.
// Nothing is changed when the screen is narrower than the window.
Point KeepOnScreen(Point p, int width, int height, int screenWidth, int maximisedHeight);

// The panel stack of the large window. Heights of MPanel1..MPanel6 and which are visible.
struct PanelStack {
  std::array<int, 6> heights{};
  std::array<bool, 6> visible{};
};
struct PanelLayout {
  int windowHeight = -1;     // the new client height, or -1 when it stays
  int lastPanelHeight = -1;  // the new height of MPanel6, or -1 when it stays
};
// changed is the index (0..5) of the panel just opened or closed, -1 for none.
PanelLayout LayOutPanels(const PanelStack& stack, int changed, int windowHeight);

}  // namespace orva
