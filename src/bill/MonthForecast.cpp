// The month forecast.
#include "bill/MonthForecast.h"

#include <algorithm>

#include "bill/Bolletta.h"
#include "tariff/Tariffe.h"

namespace orva {
namespace {

int ClassIndex(const DateParts& date) {
  return static_cast<int>(DayClassOf(EncodeDate(date.year, date.month, date.day)));
}

}  // namespace

MonthForecast ForecastMonth(const std::vector<double>& recorded, const DateParts& today) {
  MonthForecast f;
  if (!IsValidDate(today.year, today.month, today.day)) {
    f.reason = "Data non valida";
    return f;
  }
  const auto cost = [&recorded](int day) {
    return day >= 1 && static_cast<std::size_t>(day) <= recorded.size() ? recorded[day - 1] : 0.0;
  };
  for (int day = 1; day <= today.day; ++day) f.monthSoFar += cost(day);
  f.todaySoFar = cost(today.day);
  f.projected = f.monthSoFar;
  if (today.day == 1) {
    f.reason = "Nessun giorno intero trascorso nel mese";
    return f;
  }
  // The sample: every whole day behind today, a day without calls costing 0.
  std::array<double, 3> sum{};
  double all = 0;
  for (int day = 1; day < today.day; ++day) {
    const int c = ClassIndex({today.year, today.month, day});
    sum[c] += cost(day);
    ++f.sampleDays[c];
    all += cost(day);
  }
  const double allAverage = all / (today.day - 1);
  for (int c = 0; c < 3; ++c)
    f.average[c] = f.sampleDays[c] > 0 ? sum[c] / f.sampleDays[c] : allAverage;

  const int length = DaysInMonth(today.year, today.month);
  for (int day = 1; day <= length; ++day) {
    const double average = f.average[ClassIndex({today.year, today.month, day})];
    if (day < today.day)
      f.days.push_back(cost(day));
    else if (day == today.day)
      f.days.push_back(std::max(f.todaySoFar, average));
    else
      f.days.push_back(average);
  }
  f.projected = 0;
  for (double d : f.days) f.projected += d;
  f.available = true;
  return f;
}

MonthForecast ForecastMonth(const DateParts& today, const BillOptions& options) {
  const TDataSetINI month(today.month, today.year, options);
  if (const Status readable = month.Readable(); !readable) {
    MonthForecast f;
    f.reason = readable.error;
    return f;
  }
  std::vector<double> recorded;
  for (int day = 1; day <= std::min(today.day, month.DaysInMonth()); ++day)
    recorded.push_back(month.CostTotal(day, day));
  return ForecastMonth(recorded, today);
}

BillPeriodForecast ForecastPeriod(const DateParts& start, const DateParts& today,
                                  const BillOptions& options) {
  BillPeriodForecast p;
  if (const Status readable = PeriodReadable(start, today, options); !readable) {
    p.reason = readable.error;
    return p;
  }
  const MonthForecast month = ForecastMonth(today, options);
  if (!month.available) {
    p.reason = month.reason;
    return p;
  }
  // As PeriodCost counts it, so the projection starts from the figure the counters show.
  p.periodSoFar = PeriodUnitTicks(start, today, options) * kUnitTickPrice;
  // Only the month's days from the period's start on belong to the period.
  const long long startMonth = start.year * 12LL + start.month;
  const long long todayMonth = today.year * 12LL + today.month;
  int first = startMonth < todayMonth ? 1 : start.day;
  if (startMonth > todayMonth) first = static_cast<int>(month.days.size()) + 1;
  first = std::max(first, today.day);
  double added = 0;
  for (int day = first; day <= static_cast<int>(month.days.size()); ++day) {
    const double recorded = day == today.day ? month.todaySoFar : 0.0;
    const double extra = month.days[day - 1] - recorded;
    added += extra;
    if (day == today.day) p.forecast.todayTopUp = extra;
  }
  p.forecast.cost = p.periodSoFar + added;
  p.available = true;
  return p;
}

BillForecastTexts ForecastTexts(const BillPeriodForecast& forecast, double vatRate,
                                const std::optional<PeriodLimit>& limit, Currency currency) {
  BillForecastTexts t;
  const bool withVat = !limit || limit->withVat;
  const char* vatNote = withVat ? " (IVA inclusa)" : " (IVA esclusa)";
  if (limit) t.limit = FormatAmount(static_cast<double>(limit->lire), currency) + vatNote;
  if (!forecast.available) {
    t.forecast = "—";
    t.forecastHint = "Nessuna previsione: " + forecast.reason;
    return t;
  }
  const double cost = forecast.forecast.cost;
  // The very amount the limit is compared with, so a figure shown at the limit warns.
  t.forecast =
      FormatAmount(static_cast<double>(LimitAmount(cost, vatRate, withVat)), currency) + vatNote;
  t.forecastHint =
      "Costo del periodo previsto a fine mese: a ogni giorno che resta si dà la media dei giorni "
      "trascorsi della sua classe (feriale, sabato, festivo)";
  if (limit && ReachesLimit(cost, vatRate, *limit)) {
    t.reachesLimit = true;
    t.warning = "La previsione supera il costo massimo del periodo";
  }
  return t;
}

}  // namespace orva
