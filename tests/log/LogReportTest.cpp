#include "log/LogReport.h"

#include <gtest/gtest.h>

#include "core/Currency.h"
#include "log/LogCost.h"
#include "log/LogFile.h"
#include "log/LogSort.h"
#include "log/LogTotals.h"

namespace orva {
namespace {

std::vector<TConnObj> Records() {
  return ParseLogBytes(
      "15/10/99\t21.03.05\t21.15.40\t00.12.35\tTI\t7\t889\t28800\t1536\t1034\tModem: A\t\r\n"
      "16/10/99\t08.00.00\t08.30.00\t00.30.00\tTI\t13\t1651,5\tn.d\tn.d.\tn.d.\tModem: B\t\r\n"
      "17/10/99\t10.00.00\t11.00.00\t01.00.00\tTI\t?\t?\t33600\t100\t200\tModem: C\t\r\n");
}

TEST(LogReport, SelectedRowsAreNumberedInPrintOrderWithTotals) {
  const auto records = Records();
  const LogReport r = BuildLogReport(records, {false, true, true}, 1, 0.2);
  ASSERT_EQ(r.rows.size(), 2u);
  EXPECT_EQ(r.rows[0][0], "1");
  EXPECT_EQ(r.rows[0][1], "16/10/99");
  EXPECT_EQ(r.rows[1][0], "2");
  EXPECT_EQ(r.totals[0], "2");
  EXPECT_EQ(r.totals[4], "01.30.00");
  EXPECT_EQ(r.totals[6], "13");
  EXPECT_EQ(r.totals[7], "L.1651.5");  // "," read as the decimal point
  EXPECT_EQ(r.totals[8], "33600");
  EXPECT_EQ(r.totals[9], "IVA L.330.3  Tot.L.1981.8");
  EXPECT_EQ(BuildLogReport(records, {false, true, false}, 1, 0.2).totals[8], "0");
  EXPECT_EQ(BuildLogReport(records, {}, 1, 0.2).rows.size(), 3u);
}

TEST(LogChart, BytesSkipRowsWithoutNumbersButKeepTheirX) {
  const auto records = Records();
  const LogChart bytes = BuildLogChart(records, {true, true, true}, LogChartKind::Bytes);
  ASSERT_EQ(bytes.first.size(), 2u);
  EXPECT_EQ(bytes.first[0].x, 1);
  EXPECT_EQ(bytes.first[1].x, 3);
  EXPECT_EQ(bytes.second[1].y, 200);
  EXPECT_EQ(bytes.firstAverage, 818);
  const LogChart cost = BuildLogChart(records, {true, true, true}, LogChartKind::Cost);
  ASSERT_EQ(cost.first.size(), 2u);  // "?" is skipped
  EXPECT_EQ(cost.first[0].label, "15/10/99");
  EXPECT_EQ(BuildLogChart(records, {true, true, true}, LogChartKind::Speed).leftAxisTitle,
            "Velocità di connessione");
}

// Older logs were written with a decimal comma. The window's totals, its sort, the report,
// the cost chart and the tool all read a row's cost the same way, so the figures agree: here
// 254,5 + 127 + 63,5 = 445.0 lire, 534.0 with 20 % VAT; "n.d" and the ambiguous "1.254,5"
// count as no cost in every one of them.
std::vector<TConnObj> CommaCosts() {
  return ParseLogBytes(
      "01/11/99\t10.00.00\t10.10.00\t00.10.00\tTI\t2\t254,5\tn.d\t0\t0\tA\t\r\n"
      "02/11/99\t10.00.00\t10.01.00\t00.01.00\tTI\t1\t127\tn.d\t0\t0\tB\t\r\n"
      "03/11/99\t10.00.00\t10.01.00\t00.01.00\tTI\t1\tn.d\tn.d\t0\t0\tC\t\r\n"
      "04/11/99\t10.00.00\t10.00.30\t00.00.30\tTI\t1\t 63,5 \tn.d\t0\t0\tD\t\r\n"
      "05/11/99\t10.00.00\t10.00.30\t00.00.30\tTI\t1\t1.254,5\tn.d\t0\t0\tE\t\r\n");
}

TEST(LogCost, DecimalCommaCountsAlikeInTotalsReportChartAndSort) {
  const auto records = CommaCosts();
  const LogTotals totals = ComputeLogTotals(records, 1, 0.2);
  EXPECT_EQ(totals.cost, "445.0");
  EXPECT_EQ(totals.total, "TOT.L.534.0");
  const LogReport report = BuildLogReport(records, {}, 1, 0.2);
  EXPECT_EQ(report.totals[7], "L.445.0");
  EXPECT_EQ(report.totals[9], "IVA L.89.0  Tot.L.534.0");
  const LogChart chart = BuildLogChart(records, std::vector<bool>(5, true), LogChartKind::Cost);
  ASSERT_EQ(chart.first.size(), 3u);
  EXPECT_EQ(chart.first[0].y, 254.5);
  EXPECT_EQ(chart.first[2].x, 4);
  EXPECT_EQ(chart.first[2].y, 63.5);
  EXPECT_NEAR(chart.firstAverage, 445.0 / 3, 1e-9);
  auto sorted = records;
  SortLogRecords(sorted, 7, true);
  std::string order;
  for (const auto& r : sorted) order += r.Service();
  EXPECT_EQ(order, "CEDBA");  // no cost first, then 63,5 < 127 < 254,5
}

// A chart's value marks are read by people: millions of bytes in groups, not "2.34568e+06".
TEST(LogChart, ValueMarksGroupLargeNumbersAndKeepSmallFractions) {
  EXPECT_EQ(ChartValueMark(2345678), "2.345.678");
  EXPECT_EQ(ChartValueMark(28800), "28.800");
  EXPECT_EQ(ChartValueMark(254.5), "254.5");
  EXPECT_EQ(ChartValueMark(63.25), "63.25");
  EXPECT_EQ(ChartValueMark(127), "127");
  EXPECT_EQ(ChartValueMark(1651.5), "1.652");
}

TEST(LogCost, ReadsPointOrCommaAndNothingElse) {
  EXPECT_EQ(ParseLogCost("254,5"), 254.5);
  EXPECT_EQ(ParseLogCost(" 254.5 "), 254.5);
  EXPECT_EQ(ParseLogCost("-12,25"), -12.25);
  EXPECT_EQ(ParseLogCost("7620"), 7620.0);
  for (const char* none : {"", "?", "n.d", "1.254,5", "1,2,5", ",", "inf", "1e300"})
    EXPECT_FALSE(ParseLogCost(none)) << none;
}

// The log keeps lire; its totals, report and chart show euro when the program counts in euro,
// all from the same sum so the figures agree with each other and with the counters.
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
