// The month's cost projected to its end from the days already behind it: the average cost of
// the elapsed days of each day class (weekday; Saturday; Sunday or holiday) stands for every
// remaining day of that class. The bill view and the counters show it beside the period's
// cost and its limit.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "bill/DbsetINI.h"
#include "core/PeriodForecast.h"
#include "platform/DateTime.h"

namespace orva {

struct MonthForecast {
  // False on the first of the month (no whole day to learn from) or for an unreadable file.
  bool available = false;
  std::string reason;  // why there is none, in Italian
  // Lire. The elapsed days are 1 .. yesterday; today's cost so far counts and is projected
  // to at least its class's average.
  double monthSoFar = 0;  // days 1 .. today
  double todaySoFar = 0;
  double projected = 0;  // the whole month
  // Per day class (DayClass: weekday, Saturday, Sunday or holiday): the elapsed days it had and the
  // average each remaining day of it is given (the average of all elapsed days when the class had
  // none).
  std::array<int, 3> sampleDays{};
  std::array<double, 3> average{};
  // The cost of every day of the month: the recorded one up to yesterday, the projected one
  // from today on.
  std::vector<double> days;
};

// From the recorded costs of days 1 .. today (recorded[d - 1] is day d; missing days cost 0).
MonthForecast ForecastMonth(const std::vector<double>& recorded, const DateParts& today);
// From today's month's bill file.
MonthForecast ForecastMonth(const DateParts& today, const BillOptions& options);

struct BillPeriodForecast {
  bool available = false;
  std::string reason;
  double periodSoFar = 0;  // PeriodCost: the period from its start to today
  PeriodForecastCost forecast;
};
// The bill period from `start` (PeriodStart of "Inizio conteggio") projected to the end of
// today's month: the period's cost so far plus what the month's projection adds to today and
// to the days left, counting only days from the period's start on.
BillPeriodForecast ForecastPeriod(const DateParts& start, const DateParts& today,
                                  const BillOptions& options);

// What the bill view shows of the forecast, in the chosen currency. The projection is given
// as the period limit counts it: with VAT unless the limit is on and compares without.
struct BillForecastTexts {
  std::string forecast;      // "€ 32,27 (IVA inclusa)", or "—" when there is none
  std::string forecastHint;  // the method, or why there is none
  std::string limit;         // "Costo periodo" when its warning is on, else empty
  bool reachesLimit = false;
  std::string warning;  // "La previsione supera il costo massimo del periodo" or empty
};
BillForecastTexts ForecastTexts(const BillPeriodForecast& forecast, double vatRate,
                                const std::optional<PeriodLimit>& limit, Currency currency);

}  // namespace orva
