// The report's rows and totals, and the chart points.
#include "log/LogReport.h"

#include <cmath>

#include "core/Amounts.h"
#include "core/HowUtils.h"
#include "log/LogCost.h"
#include "log/LogTotals.h"
#include "platform/DateTime.h"
#include "platform/IniFile.h"
#include "platform/Numbers.h"
#include "platform/Trim.h"

namespace orva {

const std::array<const char*, kReportColumns> kReportHeadings = {
    "N.", "Data", "Inizio", "Fine", "Durata", "Tariffa", "Scatti", "Costo", "BPS", "Servizio"};
const std::array<double, kReportColumns> kReportColumnStart = {0.25, 0.5, 1.25, 2.0,  2.75,
                                                               3.5,  4.0, 4.5,  5.25, 6.0};
const std::array<double, kReportColumns> kReportColumnWidth = {0.25, 0.75, 0.75, 0.75, 0.75,
                                                               0.5,  0.5,  0.75, 0.75, 2.0};

namespace {

std::string TwoDigits(long long v) {
  return v < 10 ? "0" + std::to_string(v) : std::to_string(v);
}

}  // namespace

std::string ShownCost(std::string_view stored, Currency currency) {
  if (currency == Currency::Lire) return std::string(stored);
  const auto lire = ParseLogCost(stored);
  return lire ? FormatAmountNumber(*lire, currency) : std::string(stored);
}

LogReport BuildLogReport(const std::vector<TConnObj>& records, const std::vector<bool>& which,
                         int decimals, double vatRate, Currency currency) {
  LogReport report;
  long long ticks = 0, seconds = 0, speedSum = 0, speedCount = 0;
  double cost = 0;
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (!which.empty() && (i >= which.size() || !which[i])) continue;
    const TConnObj& r = records[i];
    report.rows.push_back({std::to_string(report.rows.size() + 1), std::string(r.Date()),
                           std::string(r.Start()), std::string(r.End()), std::string(r.Duration()),
                           std::string(r.Tariff()), std::string(r.Ticks()),
                           ShownCost(r.Cost(), currency), std::string(r.Bps()),
                           std::string(r.Service())});
    if (const auto t = ParseInteger64(r.Ticks())) ticks += *t;
    if (const auto c = ParseLogCost(r.Cost())) cost = AddAmount(cost, *c);
    if (const auto s = ParseInteger64(r.Bps())) speedSum += *s, ++speedCount;
    if (const auto d = ParseDuration(r.Duration())) seconds += *d;
  }
  auto& t = report.totals;
  t[0] = std::to_string(report.rows.size());
  t[4] = TwoDigits(seconds / 3600) + "." + TwoDigits(seconds % 3600 / 60) + "." +
         TwoDigits(seconds % 60);
  t[6] = std::to_string(ticks);
  if (currency == Currency::Lire)
    t[7] = "L." + FormatFixed(cost, decimals);
  else
    t[7] = FormatAmount(cost, currency);
  if (speedCount == 0) {
    t[8] = "0";
  } else {
    const double avg = static_cast<double>(speedSum) / static_cast<double>(speedCount);
    t[8] = avg == std::floor(avg) ? std::to_string(static_cast<long long>(avg))
                                  : FormatFixed(avg, decimals);
  }
  if (currency == Currency::Lire)
    t[9] = "IVA L." + FormatFixed(cost * vatRate, decimals) + "  Tot.L." +
           FormatFixed(cost * (1 + vatRate), decimals);
  else
    t[9] = "IVA " + FormatAmount(cost * vatRate, currency) + "  Tot." +
           FormatAmount(cost * (1 + vatRate), currency);
  return report;
}

LogChart BuildLogChart(const std::vector<TConnObj>& records, const std::vector<bool>& selected,
                       LogChartKind kind, Currency currency) {
  LogChart chart;
  chart.leftAxisTitle = kind == LogChartKind::Cost
                            ? (currency == Currency::Euro ? "Costi di connessione senza IVA (euro)"
                                                          : "Costi di connessione senza IVA")
                        : kind == LogChartKind::Bytes ? "Bytes inviati e ricevuti"
                                                      : "Velocità di connessione";
  if (kind == LogChartKind::Cost) chart.currency = currency;
  int x = 0;
  for (std::size_t i = 0; i < records.size() && i < selected.size(); ++i) {
    if (!selected[i]) continue;
    ++x;
    const TConnObj& r = records[i];
    if (kind == LogChartKind::Cost) {
      if (const auto c = ParseLogCost(r.Cost()))
        chart.first.push_back(
            {static_cast<double>(x), FromLire(*c, currency), std::string(r.Date())});
    } else if (kind == LogChartKind::Bytes) {
      const auto in = ParseByteCount(r.Received()), out = ParseByteCount(r.Sent());
      if (!in || !out) continue;
      chart.first.push_back({static_cast<double>(x), static_cast<double>(*in), {}});
      chart.second.push_back({static_cast<double>(x), static_cast<double>(*out), {}});
    } else if (const auto s = ParseDecimal(TrimBlanks(r.Bps()))) {
      chart.first.push_back({static_cast<double>(x), *s, {}});
    }
  }
  auto average = [](const std::vector<LogChartPoint>& pts) {
    if (pts.empty()) return 0.0;
    double sum = 0;
    for (const auto& p : pts) sum += p.y;
    return sum / static_cast<double>(pts.size());
  };
  chart.firstAverage = average(chart.first);
  chart.secondAverage = average(chart.second);
  return chart;
}

std::string ChartValueMark(double value, Currency currency) {
  if (!std::isfinite(value)) return "0";
  if (currency == Currency::Euro) return FormatItalian(value, 2);
  const double whole = std::round(value);
  if (std::fabs(value) >= 1000 || std::fabs(value - whole) < 0.005)
    return GroupInteger(static_cast<long long>(whole));
  std::string text = FormatFixed(value, 2);
  while (text.back() == '0') text.pop_back();
  return text;
}

}  // namespace orva
