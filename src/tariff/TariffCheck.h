// The tariff editor's checks of a band grid ("Test fascia") and the grid rules they share with
// the band list operations; the editor's window and the command-line check both use them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Dialogs.h"

namespace orva {

// The four cells of one grid row: start and end "hh.mm", tick length in seconds, tick cost.
struct BandRow {
  std::string start, end, seconds, cost;
  bool operator==(const BandRow&) const = default;
};
// Grid rows in order; element 0 is grid row 1, the first band.
using BandGrid = std::vector<BandRow>;

enum BandColumn { kStartColumn = 0, kEndColumn = 1, kSecondsColumn = 2, kCostColumn = 3 };

// A cell the window should select after a check: grid row (1 = first band) and column.
struct GridCell {
  int row = 1;
  int column = kStartColumn;
  bool operator==(const GridCell&) const = default;
};

// A band time "hh.mm" (also "h.mm", "hh.mm.ss") as seconds of the day; none when invalid.
std::optional<int> ParseBandTime(std::string_view text);
// Seconds of the day as "hh.mm".
std::string FormatBandTime(int seconds);

// The row's cells joined into a band line: spaces inside a cell are removed first.
std::string JoinBandRow(const BandRow& row);

// After every change of rows: an empty start or end cell becomes "00.00", an empty tick
// length or cost "0".
void RefreshGrid(BandGrid& grid);

struct GridCheck {
  bool ok = false;
  // The cell holding the fault, when there is one to point at.
  std::optional<GridCell> focus;
};

// The check of one page's grid. Every failure but the first (a single band whose end equals
// its start, which fails silently) beeps and shows a warning with an OK button. A start or
// end cell that is not a time fails with a warning naming the band and the cell.
GridCheck ValidateBandGrid(const BandGrid& grid, Dialogs& dialogs);

// The warning for a start or end cell that holds no valid time.
std::string BadTimeMessage(int row, BandColumn column, std::string_view text);

// A price typed with the Italian decimal comma ("0,05") as the tariff file writes it ("0.05");
// any other text unchanged, for the checks to refuse (never to read as 0).
std::string WithDecimalPoint(std::string_view text);

// The number rules of the checks: whole texts in decimal with "." as the decimal point.
bool IsTickLength(std::string_view text);   // a number above 0
bool IsNotNegative(std::string_view text);  // a number not below 0

}  // namespace orva
