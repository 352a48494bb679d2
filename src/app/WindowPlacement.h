// Where the main window goes: the two window modes with a remembered position each, the
// hidden place off screen, the screen-edge rule of a move and the height of the panel stack.
#pragma once

#include <array>
#include <optional>

#include "core/Currency.h"
#include "core/PeriodForecast.h"

namespace orva {

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

// The window's part of the settings.
struct WindowSettings {
  int display = 1;                      // "Display"
  int decimals = 1;                     // "Cifre decimali"
  Currency currency = Currency::Lire;   // "Valuta"
  WindowMode mode = WindowMode::Large;  // "Dimensioni finestra principale"
  WindowPositions positions{{0, 0}, {100, 0}};
  int mainWidth = 450, mainHeight = 450;                           // "Main width", "Main height"
  std::array<bool, 6> panels{true, true, true, true, true, true};  // "Pannello 1..6"
  bool bitmapBackground = true;                                    // "Sfondo a bitmap"
  bool helpTips = true;            // "Help Tips": false starts hidden
  unsigned labelColour = 255;      // "Colore etichette" (0x00BBGGRR)
  unsigned textColour = 0xFFFFFF;  // "Colore testo"
  unsigned backColour = 0;         // "Colore sfondo"
  bool blinkingTrayIcon = false;   // "Icona lampeggiante"
  bool hidden = false;             // the window is out of sight (not saved as its place)
  // "Costo periodo" while its warning is on: the bill counter marks a forecast that reaches it.
  std::optional<PeriodLimit> periodLimit;
};

struct Settings;
// The window's values from the settings record, and back into it.
WindowSettings WindowSettingsFrom(const Settings& s);
void StoreWindowSettings(const WindowSettings& w, Settings& s);

}  // namespace orva
