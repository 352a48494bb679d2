// The log keeps lire; its list, totals, report and chart show euro when the program counts in
// euro, all from the same sum so the figures agree with each other and with the counters.
#include <gtest/gtest.h>

#include "core/Currency.h"
#include "log/LogFile.h"
#include "log/LogReport.h"
#include "log/LogTotals.h"

namespace orva {
namespace {

std::vector<TConnObj> Records() {
  return ParseLogBytes(
      "15/10/99\t21.03.05\t21.15.40\t00.12.35\tTI\t7\t889\t28800\t1536\t1034\tModem: A\t\r\n"
      "16/10/99\t08.00.00\t08.30.00\t00.30.00\tTI\t13\t1651,5\tn.d\tn.d.\tn.d.\tModem: B\t\r\n"
      "17/10/99\t10.00.00\t11.00.00\t01.00.00\tTI\t?\t?\t33600\t100\t200\tModem: C\t\r\n");
}

TEST(LogInEuro, ReportAndTotalsShowTheSumOfTheLireConvertedOnce) {
  const auto records = Records();
  const double lire = 889 + 1651.5;
  const LogReport r = BuildLogReport(records, {}, 1, 0.2, Currency::Euro);
  // Each row converted on its own; a row without an amount keeps its text.
  EXPECT_EQ(r.rows[0][7], "0,46");
  EXPECT_EQ(r.rows[1][7], "0,85");
  EXPECT_EQ(r.rows[2][7], "?");
  // The total is the lire sum converted (1,31), not the sum of the rounded rows.
  EXPECT_EQ(r.totals[7], FormatAmount(lire, Currency::Euro));
  EXPECT_EQ(r.totals[7], "€ 1,31");
  EXPECT_EQ(r.totals[9], "IVA € 0,26  Tot.€ 1,57");

  const LogTotals t = ComputeLogTotals(records, 1, 0.2, Currency::Euro);
  EXPECT_EQ(t.cost, "1,31");
  EXPECT_EQ(t.total, "TOT.€ 1,57");
  // The printed total and the window's total say the same.
  EXPECT_NE(r.totals[9].find(t.total.substr(4)), std::string::npos);

  // The file still holds lire.
  EXPECT_EQ(records[1].Cost(), "1651,5");
  EXPECT_EQ(ShownCost(records[1].Cost(), Currency::Lire), "1651,5");
}

TEST(LogInEuro, LireReportIsUnchanged) {
  const LogReport r = BuildLogReport(Records(), {false, true, true}, 1, 0.2, Currency::Lire);
  EXPECT_EQ(r.totals[7], "L.1651.5");
  EXPECT_EQ(r.totals[9], "IVA L.330.3  Tot.L.1981.8");
  EXPECT_EQ(ComputeLogTotals(Records(), 1, 0.2).total, "TOT.L.3048.6");
}

TEST(LogInEuro, CostChartPointsAreEuro) {
  const LogChart c =
      BuildLogChart(Records(), {true, true, true}, LogChartKind::Cost, Currency::Euro);
  ASSERT_EQ(c.first.size(), 2u);
  EXPECT_NEAR(c.first[0].y, 889 / kLirePerEuro, 1e-9);
  EXPECT_NE(c.leftAxisTitle.find("euro"), std::string::npos);
  // Its value marks read Italian style, cents after a comma.
  EXPECT_EQ(ChartValueMark(c.first[0].y, c.currency), "0,46");
}

}  // namespace
}  // namespace orva
