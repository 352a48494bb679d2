// The projected period cost and its limit.
#include "core/PeriodForecast.h"

#include <algorithm>
#include <cmath>

#include "platform/Numbers.h"

namespace orva {

double ForecastWithRunningCall(const PeriodForecastCost& forecast, double callCost) {
  return forecast.cost + std::max(0.0, callCost - forecast.todayTopUp);
}

std::optional<PeriodLimit> PeriodLimitOf(const Settings& settings) {
  if (settings.warnPeriodCostOn != 1) return std::nullopt;
  const auto lire = ParseInteger64(settings.warnPeriodCost);
  if (!lire) return std::nullopt;
  return PeriodLimit{*lire, settings.warnPeriodCostWithVat == 1};
}

long long LimitAmount(double cost, double vatRate, bool withVat) {
  const double amount = withVat ? std::trunc((1 + vatRate) * cost) : std::nearbyint(cost);
  if (!std::isfinite(amount)) return 0;
  return static_cast<long long>(std::clamp(amount, -9.2e18, 9.2e18));
}

bool ReachesLimit(double cost, double vatRate, const PeriodLimit& limit) {
  return LimitAmount(cost, vatRate, limit.withVat) >= limit.lire;
}

}  // namespace orva
