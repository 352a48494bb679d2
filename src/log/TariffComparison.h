// What the calls of a period would have cost under each tariff of the catalogue, against what
// the log says was paid: the calls are re-priced as the manual entry's "Calcola" does (answer
// charge, bands, day classes, holidays, discounts), data calls and voice calls apart.
#pragma once

#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "log/ConnObj.h"
#include "platform/DateTime.h"
#include "tariff/Tariffe.h"

namespace orva {

// One tariff to price the calls with.
struct ComparedTariff {
  std::string name;  // its description
  std::shared_ptr<const LoadedTariff> tariff;
};

// A tariff's figures for a group of calls.
struct TariffTotal {
  std::string name;
  long long costFixed = 0;  // lire without VAT, in 1/10000 lira
  std::string error;        // why the tariff could not price the calls; its cost then means nothing
};

// The calls of one kind in the period.
struct ComparisonGroup {
  bool voice = false;
  long long calls = 0;               // calls priced (start and length known)
  double paid = 0;                   // what the log says they cost, lire without VAT
  long long unpaid = 0;              // of them, calls whose cost the log does not give ("?", "n.d")
  std::vector<TariffTotal> tariffs;  // cheapest first; the tariffs that failed last
  // The calls whose length is unknown, left out of the figures: date, time and service.
  std::vector<std::string> unknown;
};

struct TariffComparison {
  // Data calls first, then voice calls; a kind without any call in the period is left out.
  std::vector<ComparisonGroup> groups;
};

// A voice call's log record: its service begins with "A voce: ".
bool IsVoiceRecord(const TConnObj& record);

// Start and end of a recorded call: the date and start time, and the length when the record
// gives it, else the end time (past midnight when before the start). None when unknown.
struct CallSpan {
  TDateTime start = 0, end = 0;
};
std::optional<CallSpan> RecordedSpan(const TConnObj& record);
// The record's start day; none when the date cannot be read.
std::optional<TDateTime> RecordedDay(const TConnObj& record);

// The calls whose start day is within from..to (each end included when given). A stop asked
// through `stop` ends the pricing early; the figures are then incomplete and mean nothing.
TariffComparison CompareTariffs(const std::vector<TConnObj>& records,
                                const std::vector<ComparedTariff>& tariffs,
                                std::optional<TDateTime> from = std::nullopt,
                                std::optional<TDateTime> to = std::nullopt,
                                std::stop_token stop = {});

// Every tariff of the catalogue, each file read once.
std::vector<ComparedTariff> LoadCatalogueTariffs(const TariffCatalogue& catalogue);

}  // namespace orva
