// Where the main window goes.
#include "app/WindowPlacement.h"

#include "core/Settings.h"

namespace orva {

Point KeepOnScreen(Point p, int width, int height, int screenWidth, int maximisedHeight) {
  if (screenWidth < width) return p;
  if (p.left < 0) p.left = 0;
  if (p.top < 0) p.top = 0;
  if (p.left + width > screenWidth) p.left = screenWidth - width;
  if (p.top + height > maximisedHeight) p.top = maximisedHeight - height - 8;
  // A window taller than the work area keeps its title bar reachable.
  if (p.top < 0) p.top = 0;
  return p;
}

PanelLayout LayOutPanels(const PanelStack& stack, int changed, int windowHeight) {
  bool all = true, any = false;
  for (bool v : stack.visible) {
    all = all && v;
    any = any || v;
  }
  int total = all ? 25 : 40;
  for (int i = 0; i < 5; ++i)
    if (stack.visible[i]) total += stack.heights[i];
  if (changed == 5 && stack.visible[5]) total += stack.heights[5];
  if (!any) total = 40;

  PanelLayout out;
  if (stack.visible[5] && changed != 5)
    // The monitor panel takes whatever room the window has left.
    out.lastPanelHeight = windowHeight > total ? windowHeight - total : 0;
  else
    out.windowHeight = total;
  return out;
}

WindowSettings WindowSettingsFrom(const Settings& s) {
  WindowSettings w;
  w.display = s.display >= 1 && s.display <= 7 ? s.display : 1;
  w.decimals = s.decimals;
  w.currency = s.currency;
  w.mode = s.windowMode != 0 ? WindowMode::Small : WindowMode::Large;
  w.positions.large = {s.leftLarge, s.topLarge};
  w.positions.small = {s.leftSmall, s.topSmall};
  w.mainWidth = s.mainWidth;
  w.mainHeight = s.mainHeight;
  w.panels = s.panels;
  w.bitmapBackground = s.bitmapBackground;
  w.helpTips = s.helpTips;
  w.labelColour = s.labelColour;
  w.textColour = s.textColour;
  w.backColour = s.backgroundColour;
  w.blinkingTrayIcon = s.flashIcon == 1;
  w.periodLimit = PeriodLimitOf(s);
  return w;
}

void StoreWindowSettings(const WindowSettings& w, Settings& s) {
  s.display = w.display;
  s.windowMode = w.mode == WindowMode::Small ? 1 : 0;
  s.leftLarge = w.positions.large.left;
  s.topLarge = w.positions.large.top;
  s.leftSmall = w.positions.small.left;
  s.topSmall = w.positions.small.top;
  // The current window's place; nothing while it is out of sight.
  const Point& now = w.positions.For(w.mode);
  if (!w.hidden) {
    s.mainLeft = now.left;
    s.mainTop = now.top;
  }
  s.mainWidth = w.mainWidth;
  s.mainHeight = w.mainHeight;
  s.panels = w.panels;
  s.bitmapBackground = w.bitmapBackground;
}

}  // namespace orva
