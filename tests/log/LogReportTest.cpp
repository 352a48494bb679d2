#include "log/LogReport.h"

#include <gtest/gtest.h>

#include "log/LogFile.h"

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

}  // namespace
}  // namespace orva
