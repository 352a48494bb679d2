// The re-pricing of a past call ("Calcola" of the manual log entry): the interval is metered
// tick by tick as a live call would be, with tick costs in fixed point (1/10000 lira).
#pragma once

#include <string>

#include "platform/DateTime.h"
#include "platform/Dialogs.h"
#include "platform/Result.h"
#include "tariff/Tariffe.h"

namespace orva {

// The three texts the log record gets.
struct RecalcTexts {
  std::string duration;  // end - start as "hh.mm.ss"
  std::string cost;      // lire without VAT: no decimals when whole, else `decimals` of them
  std::string ticks;     // number of ticks, "?" when the last tick length is 1 s or less
  bool operator==(const RecalcTexts&) const = default;
};

// The figures of a re-priced call.
struct RecalcFigures {
  long long costFixed = 0;   // lire without VAT, in 1/10000 lira
  long long ticks = 0;       // ticks charged (rounds of the meter)
  bool ticksCounted = true;  // false when the last tick length is 1 s or less
};

// Meters start..end with the tariff: the figures the texts below are made of.
Result<RecalcFigures> RecalculateFigures(const LoadedTariff& tariff, TDateTime start,
                                         TDateTime end);

// Meters start..end with the tariff. The file is read once for the whole run; a missing file
// is reported once and priced with the default band. decimals is "Cifre decimali". Fails when
// the end is before the start or a band of the file cannot be read.
Result<RecalcTexts> RecalculateCall(const LoadedTariff& tariff, TDateTime start, TDateTime end,
                                    int decimals);
Result<RecalcTexts> RecalculateCall(const TariffCatalogue& catalogue, int index, TDateTime start,
                                    TDateTime end, int decimals, Dialogs& dialogs);
Result<RecalcTexts> RecalculateCallFile(const std::string& path, TDateTime start, TDateTime end,
                                        int decimals, Dialogs& dialogs);

// A duration in the program's time form "hh.mm.ss" (whole seconds; the hours count on past
// 24, "25.00.10").
std::string DurationText(TDateTime span);
// A fixed-point amount (1/10000 lira) as the log writes costs.
std::string FixedCostText(long long costFixed, int decimals);

}  // namespace orva
