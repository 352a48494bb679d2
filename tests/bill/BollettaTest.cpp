#include "bill/Bolletta.h"

#include <gtest/gtest.h>

#include <cmath>

#include "TempDir.h"

namespace orva {
namespace {

class BillView : public ::testing::Test {
 protected:
  BillView() { options.directory = dir.path(); }
  void Add(int day, int month, int year, long long ticks, double price) {
    ASSERT_TRUE(TDataSetINI(month, year, options).AddTicks(day, ticks, price));
  }
  test::TempDir dir;
  BillOptions options;
};

DateParts Date(int day, int month, int year) {
  return DateParts{year, month, day};
}

}  // namespace

TEST_F(BillView, DayAndMonthFiguresInBothModes) {
  Add(15, 10, 1999, 3, 127);
  Add(15, 10, 1999, 2, 63.5);
  Add(20, 10, 1999, 1, 127);
  const auto ticks = DayMonthFigures(Date(15, 10, 1999), BillDisplayMode::Scatti, options);
  EXPECT_EQ(ticks.dayCaption, "Scatti nel giorno :");
  EXPECT_EQ(ticks.monthCaption, "Scatti nel mese :");
  EXPECT_EQ(ticks.dayFigure, "4.00");
  EXPECT_EQ(ticks.monthFigure, "5.00");
  EXPECT_EQ(ticks.monthTitle, "Ottobre 1999");
  EXPECT_EQ(ticks.fileName, "10_1999.BOL");
  const auto money = DayMonthFigures(Date(15, 10, 1999), BillDisplayModeFrom(1), options);
  EXPECT_EQ(money.dayCaption, "Costo nel giorno :");
  EXPECT_EQ(money.monthCaption, "Costo nel mese :");
  EXPECT_EQ(money.dayFigure, "508.0");
  EXPECT_EQ(money.monthFigure, "635.0");
  EXPECT_EQ(BillDisplayModeFrom(7), BillDisplayMode::Scatti);
}

TEST_F(BillView, ChartHasOneBarPerDayAndTheirAverage) {
  Add(1, 2, 2000, 29, 127);
  const auto chart = MonthChart(Date(10, 2, 2000), BillDisplayMode::Scatti, options);
  ASSERT_EQ(chart.values.size(), 29u);
  EXPECT_DOUBLE_EQ(chart.values[0], 29);
  EXPECT_DOUBLE_EQ(chart.average, 1);
  EXPECT_EQ(chart.leftAxisTitle, "Scatti giornalieri");
  const auto money = MonthChart(Date(10, 2, 1999), BillDisplayMode::Lire, options);
  EXPECT_EQ(money.values.size(), 28u);
  EXPECT_EQ(money.leftAxisTitle, "Costo giornaliero connessione senza IVA");
}

TEST(ChangeMonth, WrapsYearsAndKeepsTheDayInsideTheMonth) {
  struct Case {
    DateParts from;
    int step;
    DateParts to;
  };
  const Case cases[] = {
      {Date(31, 1, 1999), +1, Date(28, 2, 1999)},  {Date(31, 1, 2000), +1, Date(29, 2, 2000)},
      {Date(31, 1, 1900), +1, Date(28, 2, 1900)},  {Date(31, 3, 2024), -1, Date(29, 2, 2024)},
      {Date(15, 12, 1999), +1, Date(15, 1, 2000)}, {Date(15, 1, 2000), -1, Date(15, 12, 1999)},
      {Date(31, 5, 1999), +1, Date(30, 6, 1999)},  {Date(30, 6, 1999), +1, Date(30, 7, 1999)},
  };
  for (const auto& c : cases) {
    const DateParts got = ChangeMonth(c.from, c.step);
    EXPECT_EQ(got.year, c.to.year);
    EXPECT_EQ(got.month, c.to.month);
    EXPECT_EQ(got.day, c.to.day) << c.from.day << "/" << c.from.month << "/" << c.from.year;
  }
}

TEST_F(BillView, PeriodTakesTheDaysOfEachMonthInside) {
  Add(19, 9, 1999, 100, 127);  // before the start
  Add(20, 9, 1999, 1, 127);
  Add(30, 9, 1999, 2, 127);
  Add(1, 10, 1999, 3, 127);
  Add(10, 10, 1999, 4, 127);
  Add(11, 10, 1999, 100, 127);  // after the end
  EXPECT_DOUBLE_EQ(PeriodUnitTicks(Date(20, 9, 1999), Date(10, 10, 1999), options), 10);
  // Across years, with a month in the middle taken whole.
  Add(15, 11, 1999, 5, 127);
  Add(15, 12, 1999, 6, 127);
  Add(2, 1, 2000, 7, 127);
  EXPECT_DOUBLE_EQ(PeriodUnitTicks(Date(1, 11, 1999), Date(2, 1, 2000), options), 18);
  // Within one month, and an end before the start.
  EXPECT_DOUBLE_EQ(PeriodUnitTicks(Date(1, 10, 1999), Date(1, 10, 1999), options), 3);
  EXPECT_DOUBLE_EQ(PeriodUnitTicks(Date(10, 10, 1999), Date(20, 9, 1999), options), 0);
}

TEST_F(BillView, PeriodFiguresWithFixedCostsSupplementAndVat) {
  const auto f = PeriodFigures(Date(1, 10, 1999), Date(31, 10, 1999), "1000", "10", 0.20, options);
  EXPECT_EQ(f.ticksText, "10.0");
  EXPECT_EQ(f.netText, "2270.0");
  EXPECT_EQ(f.vatText, "454.0");
  EXPECT_EQ(f.totalText, "2724.0");
  Add(5, 10, 1999, 2, 63.5);  // one unit tick
  const auto g = PeriodFigures(Date(1, 10, 1999), Date(31, 10, 1999), "abc", "2.5", 0.20, options);
  EXPECT_EQ(g.ticksText, "1.0") << "a supplement that is not an integer is left out";
  EXPECT_EQ(g.netText, "127.0") << "fixed costs that are not a number count 0";
  EXPECT_EQ(g.totalText, "152.4");
  const auto reversed =
      PeriodFigures(Date(31, 10, 1999), Date(1, 10, 1999), "0", "7", 0.20, options);
  EXPECT_EQ(reversed.ticksText, "7.0");
}

TEST_F(BillView, PeriodCostFromStoredStartToToday) {
  Add(28, 2, 2000, 1, 127);
  Add(1, 3, 2000, 2, 127);
  Add(2, 3, 2000, 4, 63.5);
  Add(3, 3, 2000, 100, 127);
  const DateParts today = Date(2, 3, 2000);
  EXPECT_DOUBLE_EQ(PeriodCost("28/02/00", today, options), 5 * 127.0);
  EXPECT_DOUBLE_EQ(PeriodCost("", today, options), 2 * 127.0) << "empty start: today";
  EXPECT_DOUBLE_EQ(PeriodCost("not a date", today, options), 2 * 127.0);
  EXPECT_EQ(FormatPeriodDate(Date(5, 2, 2000)), "05/02/00");
  const DateParts start = PeriodStart(FormatPeriodDate(Date(5, 2, 2000)), today);
  EXPECT_EQ(start.day, 5);
  EXPECT_EQ(start.month, 2);
  EXPECT_EQ(start.year, 2000);
}

}  // namespace orva

namespace orva {

TEST(BollettaModel, OpensFromSettingsAndStoresWhatTheUserChanges) {
  test::TempDir dir;
  Settings settings;
  settings.decimals = 0;
  settings.billStart = "20/09/99";
  settings.billFixedCosts = "1000";
  settings.billExtraTicks = "10";
  settings.billShowData = 1;
  BollettaModel view(settings, DateParts{1999, 10, 10}, 0.20, dir.path());
  EXPECT_EQ(view.Mode(), BillDisplayMode::Lire);
  EXPECT_EQ(view.FromText(), "20/09/99");
  EXPECT_EQ(view.ToText(), "10/10/99");
  EXPECT_EQ(view.Period().totalText, "2724");

  // A day edited through the view counts in the day, month and period figures.
  BolManModel editor = view.OpenDayEditor();
  editor.SetEd0("2");
  editor.SetEd1("63,5");
  editor.Add();
  ASSERT_TRUE(editor.WriteBack());
  EXPECT_EQ(view.Figures().dayFigure, "127");
  EXPECT_EQ(view.Period().ticksText, "11");

  view.SetMode(BillDisplayMode::Scatti);
  view.SetPeriodStart(DateParts{2000, 2, 5});
  view.SetFixedCosts("1234567890123");
  view.SetSupplementaryTicks("123456789");
  EXPECT_EQ(settings.billShowData, 0);
  EXPECT_EQ(settings.billStart, "05/02/00");
  EXPECT_EQ(settings.billFixedCosts, "123456789");
  EXPECT_EQ(settings.billExtraTicks, "12345678");
  view.ChangeMonth(-1);
  EXPECT_EQ(view.Figures().monthTitle, "Settembre 1999");
}

TEST(BollettaModel, UnreadableStoredStartOpensTheDayItself) {
  Settings settings;
  settings.billStart = "31/02/99";
  BollettaModel view(settings, DateParts{1999, 10, 10}, 0.20, "/nonexistent/");
  EXPECT_EQ(view.FromText(), "10/10/99");
  EXPECT_EQ(settings.billStart, "31/02/99") << "opening changes nothing stored";
}

}  // namespace orva

namespace orva {

TEST(NiceChartScale, WholeStepsOnGridLinesAboveTheTallestBar) {
  struct Case {
    double maximum, top;
    int intervals;
  };
  for (const Case& c :
       {Case{0, 1, 1}, Case{3, 4, 4}, Case{3.3, 4, 4}, Case{5, 6, 3}, Case{12, 15, 3},
        Case{95, 100, 5}, Case{127, 150, 3}, Case{36000, 40000, 4}}) {
    const ChartScale s = NiceChartScale(c.maximum);
    EXPECT_DOUBLE_EQ(s.top, c.top) << c.maximum;
    EXPECT_EQ(s.intervals, c.intervals) << c.maximum;
    // Every label is whole and the tallest bar stays under the top.
    const double step = s.top / s.intervals;
    EXPECT_DOUBLE_EQ(step, std::round(step)) << c.maximum;
    EXPECT_GT(s.top, c.maximum);
  }
}

}  // namespace orva

namespace orva {

// The bill files keep lire; the view shows euro and takes its fixed costs in euro.
TEST(BollettaModel, EuroViewConvertsTheLireTotalAndStoresFixedCostsAsLire) {
  test::TempDir dir;
  Settings settings;
  settings.currency = Currency::Euro;
  settings.decimals = 1;
  settings.billStart = "01/10/99";
  settings.billFixedCosts = "0";
  settings.billExtraTicks = "0";
  settings.billShowData = 1;
  BillOptions lire;
  lire.directory = dir.path();
  ASSERT_TRUE(TDataSetINI(10, 1999, lire).AddTicks(15, 10, 127));
  BollettaModel view(settings, DateParts{1999, 10, 15}, 0.20, dir.path());
  // 1270 lire without VAT, 1524 with it.
  EXPECT_EQ(view.Figures().dayFigure, "0,66");
  EXPECT_EQ(view.Period().netText, "0,66");
  EXPECT_EQ(view.Period().totalText, FormatAmountNumber(1524, Currency::Euro));
  EXPECT_EQ(view.Period().totalText, "0,79");
  EXPECT_NEAR(view.Chart().values[14], 1270 / kLirePerEuro, 1e-9);

  // 10 euro of fixed costs typed: kept as their lire, shown back as typed.
  EXPECT_EQ(view.FixedCostsShown(), "0,00");
  view.SetFixedCosts("10,00");
  EXPECT_EQ(settings.billFixedCosts, "19362.7");
  EXPECT_EQ(view.FixedCostsShown(), "10,00");
  EXPECT_EQ(view.Period().netText, FormatAmountNumber(1270 + 19362.7, Currency::Euro));
  view.SetFixedCosts("abc");
  EXPECT_EQ(settings.billFixedCosts, "0");

  // The same files in a lire view read as before.
  settings.currency = Currency::Lire;
  EXPECT_EQ(view.Period().totalText, "1524.0");
}

}  // namespace orva
