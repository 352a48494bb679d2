// One kind of call of the tariff comparison (data or voice): how many calls were priced, the
// table of the tariffs against what was paid, their bar chart and the calls left out.
#pragma once

#include <QWidget>

#include "core/Currency.h"
#include "log/TariffComparison.h"

class QTableWidget;

namespace orva {

class TariffBarChart;

class TariffComparePage final : public QWidget {
  Q_OBJECT
 public:
  TariffComparePage(const ComparisonGroup& group, Currency currency, int lireDecimals,
                    QWidget* parent = nullptr);
  QTableWidget* Table() const { return m_table; }
  TariffBarChart* Chart() const { return m_chart; }

  // The table's columns.
  enum Column { kTariff, kCost, kSaving, kColumns };

 private:
  void FillTable(const ComparisonGroup& group, Currency currency, int lireDecimals);
  void AddUnknown(const ComparisonGroup& group);

  QTableWidget* m_table = nullptr;
  TariffBarChart* m_chart = nullptr;
};

// The kind's name as the tabs, the print and the file show it.
QString ComparisonKindName(const ComparisonGroup& group);
// A line on the calls priced and those without cost in the log.
QString ComparisonCountsText(const ComparisonGroup& group);
// The chart's bars: the tariffs that priced the calls, and the paid amount.
void FillComparisonChart(TariffBarChart& chart, const ComparisonGroup& group, Currency currency,
                         int lireDecimals);
// A tariff's cost in lire.
inline double TariffCostLire(const TariffTotal& t) {
  return static_cast<double>(t.costFixed) / 10000.0;
}

}  // namespace orva
