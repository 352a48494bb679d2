// Where the main window goes.
#include "app/WindowPlacement.h"

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

}  // namespace orva
