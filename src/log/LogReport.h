// What the printed log report and the log charts show: the rows with their running numbers,
// the totals line, and the points of the three chart kinds. The printing and drawing windows
// only lay these out.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/Currency.h"
#include "log/ConnObj.h"

namespace orva {

inline constexpr int kReportColumns = 10;

struct LogReport {
  // One line per printed row: "N.", date, start, end, duration, tariff, ticks, cost, speed,
  // service.
  std::vector<std::array<std::string, kReportColumns>> rows;
  // The totals line (columns without a total are empty).
  std::array<std::string, kReportColumns> totals;
};

// A row's cost as the log holds it (lire) shown in `currency`: lire unchanged, euro converted;
// a text that is no amount stays as it is.
std::string ShownCost(std::string_view stored, Currency currency);

// The rows to print are the records with their flag set in `which` (all when it is empty);
// they are numbered 1, 2, 3 … in print order. The costs, kept in lire by the log, are printed
// in `currency`.
LogReport BuildLogReport(const std::vector<TConnObj>& records, const std::vector<bool>& which,
                         int decimals, double vatRate, Currency currency = Currency::Lire);

// The column headings, start positions and widths (inches) of the report.
extern const std::array<const char*, kReportColumns> kReportHeadings;
extern const std::array<double, kReportColumns> kReportColumnStart;
extern const std::array<double, kReportColumns> kReportColumnWidth;

enum class LogChartKind { Cost = 1, Bytes = 2, Speed = 3 };

struct LogChartPoint {
  double x = 0, y = 0;
  std::string label;  // the x label (the row's date on the cost chart)
};
struct LogChart {
  std::vector<LogChartPoint> first, second;  // second: bytes sent
  double firstAverage = 0, secondAverage = 0;
  std::string leftAxisTitle;
  Currency currency = Currency::Lire;  // what a cost chart's values are in
};

// x counts the selected rows 1, 2, 3 … in list order, also those a kind then skips (a cost
// that is not a number, bytes or a speed that are not numbers).
LogChart BuildLogChart(const std::vector<TConnObj>& records, const std::vector<bool>& selected,
                       LogChartKind kind, Currency currency = Currency::Lire);

// The value mark of a chart point: whole amounts with "." every three digits ("2.345.678"
// bytes), a cost with its fraction ("254.5", at most two decimals) only under a thousand,
// where the point cannot be mistaken for grouping.
// A euro cost (`currency` Euro, the value already in euro) reads Italian style, "0,46".
std::string ChartValueMark(double value, Currency currency = Currency::Lire);

}  // namespace orva
