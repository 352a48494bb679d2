// The counter texts of the main window: the seven counter items, the hourly cost, the gauge
// hint, the tray hints and the counter cycle. Computed from the call state; the window only
// puts the texts into its labels.
#pragma once

#include <string>

#include "meter/CounterInput.h"
#include "platform/DateTime.h"

namespace orva {

constexpr int kCounterItems = 7;

// The prefix of each item's counter text and the hint of the counter labels.
// Amounts read in `currency`: item 2 is "L+iva: " in lire, "€+iva: " in euro.
std::string CounterPrefix(int item, Currency currency = Currency::Lire);
std::string CounterHint(int item, Currency currency = Currency::Lire);

struct CounterTexts {
  std::string bytesReceived, bytesSent;  // grouped by three with "."
  bool tickItemsEnabled = false;         // menu entries of items 4, 5 and 7
  std::string hourlyCost;                // HCostLb
  // False when item 5 or 7 found no time left to the next tick: the counter, its hints,
  // the tick label and the title keep their previous texts.
  bool complete = true;
  std::string value;        // V: the application (taskbar) title
  std::string counter;      // L2 and L22
  std::string counterHint;  // hint of L2 and L22
  std::string gaugeHint;    // hint of the gauge
  std::string tickText;     // TickLb
};

CounterTexts RedrawCounters(const CounterInput& in);

// "L. 7.620" for 60-second ticks at 127 lire ("€ 3,94" in euro); "?" when the tick length is 0.
std::string HourlyCostText(double tickSeconds, double tickCost, double fixedCharge,
                           int fixedChargeUnit, Currency currency = Currency::Lire);

// Seconds to the next tick (items 5 and 7); 1 for continuous charging.
long long SecondsToNextTick(const CounterInput& in);

// The item after a click on the counter: 1 after 7; with ticks of a second or less the tick
// items 4, 5 and 7 are skipped (1, 2, 3, 6, 1).
int NextDisplayItem(int item, double tickSeconds);

// Whole seconds of a duration in days (hours counted too), as the meter counts them.
long long WholeSecondsOf(TDateTime days);

// Delphi's Round: half to even.
long long RoundHalfEven(double value);

// The tray icon's hint.
enum class TrayCall { Idle, DialUp, Manual, Telephony };
std::string TrayHint(TrayCall call, const std::string& status, const std::string& entryName,
                     const std::string& calledParty, const std::string& remoteParty);

}  // namespace orva
