// The bill period's cost projected to the end of the month, as the meter and the counters
// carry it, and the period limit ("Costo periodo") it is measured against.
#pragma once

#include <optional>

#include "core/Settings.h"

namespace orva {

// Lire without VAT.
struct PeriodForecastCost {
  // The period's cost so far plus what the month's remaining days are expected to add.
  double cost = 0;
  // What the projection adds to today's cost so far to bring today up to its usual cost: a
  // call still running spends this first, and only its excess raises the projection.
  double todayTopUp = 0;
};

// The projection with the cost of a call not yet in the bill.
double ForecastWithRunningCall(const PeriodForecastCost& forecast, double callCost);

// "Costo periodo" when "Attiva costo periodo" is on and the limit is a whole number of lire.
struct PeriodLimit {
  long long lire = 0;
  bool withVat = true;  // "Costo periodo con IVA"
};
std::optional<PeriodLimit> PeriodLimitOf(const Settings& settings);

// The amount a cost limit is compared with: with VAT cut to whole lire, or the cost rounded
// (half to even).
long long LimitAmount(double cost, double vatRate, bool withVat);

// Whether a period cost reaches the limit, as the period warning judges it.
bool ReachesLimit(double cost, double vatRate, const PeriodLimit& limit);

}  // namespace orva
