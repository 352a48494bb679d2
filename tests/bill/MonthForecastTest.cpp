#include "bill/MonthForecast.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "TempDir.h"
#include "bill/Bolletta.h"

namespace orva {
namespace {

constexpr double kTick = 127.0;

// The bill files of tests/data/bill/forecast: December 1999 up to the 15th (weekdays 10 unit
// ticks a day on average, Saturdays 20, Sundays and the holiday of the 8th 5; the 15th 4 so
// far) and November 1999 (50 ticks on the 10th, 100 on the 25th).
class Forecast : public ::testing::Test {
 protected:
  void SetUp() override {
    options.directory = dir.path();
    for (const char* name : {"11_1999.BOL", "12_1999.BOL"})
      std::filesystem::copy_file(test::TestDataDir() + "bill/forecast/" + name, dir.File(name));
  }
  test::TempDir dir;
  BillOptions options;
};

TEST_F(Forecast, MidMonthProjectsEachDayLeftByItsClass) {
  const MonthForecast f = ForecastMonth({1999, 12, 15}, options);
  ASSERT_TRUE(f.available) << f.reason;
  // Weekdays 1-3, 6-7, 9-10, 13-14; Saturdays 4, 11; Sundays 5, 12 and Wednesday 8 (holiday).
  EXPECT_EQ(f.sampleDays, (std::array<int, 3>{9, 2, 3}));
  EXPECT_DOUBLE_EQ(f.average[0], 10 * kTick);
  EXPECT_DOUBLE_EQ(f.average[1], 20 * kTick);
  EXPECT_DOUBLE_EQ(f.average[2], 5 * kTick);
  EXPECT_DOUBLE_EQ(f.monthSoFar, 149 * kTick);
  EXPECT_DOUBLE_EQ(f.todaySoFar, 4 * kTick);
  ASSERT_EQ(f.days.size(), 31u);
  EXPECT_DOUBLE_EQ(f.days[14], 10 * kTick);  // today, brought up to a weekday's average
  EXPECT_DOUBLE_EQ(f.days[17], 20 * kTick);  // Saturday 18
  EXPECT_DOUBLE_EQ(f.days[24], 5 * kTick);   // Saturday 25 is Christmas: a holiday
  // Days left: 12 weekdays, Saturday 18, Sunday 19, Christmas, Sunday 26.
  // 145 behind today + 10 today + 12 x 10 + 20 + 3 x 5 = 310 unit ticks.
  EXPECT_DOUBLE_EQ(f.projected, 310 * kTick);
}

TEST_F(Forecast, PeriodAddsTheMonthsRestToItsCostSoFar) {
  // From 20/11/99: 100 ticks in November and 149 in December so far; the month adds 6 to today
  // and 155 to the days left.
  const BillPeriodForecast p = ForecastPeriod({1999, 11, 20}, {1999, 12, 15}, options);
  ASSERT_TRUE(p.available) << p.reason;
  EXPECT_DOUBLE_EQ(p.periodSoFar, PeriodCost("20/11/99", {1999, 12, 15}, options));
  EXPECT_DOUBLE_EQ(p.periodSoFar, 249 * kTick);
  EXPECT_DOUBLE_EQ(p.forecast.cost, 410 * kTick);  // 52070 lire
  EXPECT_DOUBLE_EQ(p.forecast.todayTopUp, 6 * kTick);
  // A call running now spends today's top-up first; only its excess raises the projection.
  EXPECT_DOUBLE_EQ(ForecastWithRunningCall(p.forecast, 500), 410 * kTick);
  EXPECT_DOUBLE_EQ(ForecastWithRunningCall(p.forecast, 1000), 410 * kTick + 1000 - 6 * kTick);

  // A period that starts later this month takes only the days from its start.
  const BillPeriodForecast later = ForecastPeriod({1999, 12, 20}, {1999, 12, 15}, options);
  ASSERT_TRUE(later.available);
  EXPECT_DOUBLE_EQ(later.periodSoFar, 0);
  // 20-24 and 27-31 weekdays, Christmas and Sunday 26.
  EXPECT_DOUBLE_EQ(later.forecast.cost, 110 * kTick);
  EXPECT_DOUBLE_EQ(later.forecast.todayTopUp, 0);
}

TEST_F(Forecast, FirstOfTheMonthHasNoForecast) {
  const MonthForecast f = ForecastMonth({1999, 12, 1}, options);
  EXPECT_FALSE(f.available);
  EXPECT_EQ(f.reason, "Nessun giorno intero trascorso nel mese");
  EXPECT_DOUBLE_EQ(f.monthSoFar, 12 * kTick);
  const BillPeriodForecast p = ForecastPeriod({1999, 11, 20}, {1999, 12, 1}, options);
  EXPECT_FALSE(p.available);
  const BillForecastTexts t = ForecastTexts(p, 0.2, PeriodLimit{1, true}, Currency::Lire);
  EXPECT_EQ(t.forecast, "—");
  EXPECT_FALSE(t.reachesLimit);
}

TEST_F(Forecast, ClassWithoutElapsedDaysTakesTheAverageOfAllDays) {
  // On Friday the 3rd only two weekdays lie behind: 12 and 8 ticks. Saturdays and holidays
  // have no sample and are given their average, 10, not nothing.
  const MonthForecast f = ForecastMonth({1999, 12, 3}, options);
  ASSERT_TRUE(f.available);
  EXPECT_EQ(f.sampleDays, (std::array<int, 3>{2, 0, 0}));
  EXPECT_DOUBLE_EQ(f.average[1], 10 * kTick);
  EXPECT_DOUBLE_EQ(f.average[2], 10 * kTick);
  EXPECT_DOUBLE_EQ(f.projected, 310 * kTick);  // 20 behind, 10 today, 28 days of 10
}

TEST(ForecastMonthEnd, LastDayAddsOnlyWhatTodayStillLacks) {
  // February 2000 (29 days), every day 100 lire so far; Tuesday the 29th is the last day.
  std::vector<double> recorded(29, 100);
  MonthForecast f = ForecastMonth(recorded, {2000, 2, 29});
  ASSERT_TRUE(f.available);
  EXPECT_DOUBLE_EQ(f.projected, f.monthSoFar);
  EXPECT_DOUBLE_EQ(f.projected, 2900);
  // A quiet last day so far is still expected to cost a weekday's average.
  recorded[28] = 40;
  f = ForecastMonth(recorded, {2000, 2, 29});
  EXPECT_DOUBLE_EQ(f.monthSoFar, 2840);
  EXPECT_DOUBLE_EQ(f.projected, 2900);
}

TEST_F(Forecast, LimitIsCrossedWithVatAndNotWithout) {
  const BillPeriodForecast p = ForecastPeriod({1999, 11, 20}, {1999, 12, 15}, options);
  ASSERT_TRUE(p.available);
  // 52070 lire; with 20 % VAT 62484.
  BillForecastTexts t = ForecastTexts(p, 0.2, PeriodLimit{60000, true}, Currency::Lire);
  EXPECT_EQ(t.forecast, "L. 62.484 (IVA inclusa)");
  EXPECT_EQ(t.limit, "L. 60.000 (IVA inclusa)");
  EXPECT_TRUE(t.reachesLimit);
  EXPECT_EQ(t.warning, "La previsione supera il costo massimo del periodo");

  t = ForecastTexts(p, 0.2, PeriodLimit{60000, false}, Currency::Lire);
  EXPECT_EQ(t.forecast, "L. 52.070 (IVA esclusa)");
  EXPECT_FALSE(t.reachesLimit);
  EXPECT_TRUE(t.warning.empty());
  // Reaching the limit counts, as for the period warning: a figure shown at the limit warns.
  EXPECT_TRUE(ForecastTexts(p, 0.2, PeriodLimit{52070, false}, Currency::Lire).reachesLimit);
  EXPECT_TRUE(ForecastTexts(p, 0.2, PeriodLimit{62484, true}, Currency::Lire).reachesLimit);
  EXPECT_FALSE(ForecastTexts(p, 0.2, PeriodLimit{62485, true}, Currency::Lire).reachesLimit);

  // Without the warning on, no limit and no warning; the figure is with VAT, in euro here.
  t = ForecastTexts(p, 0.2, std::nullopt, Currency::Euro);
  EXPECT_EQ(t.forecast, "€ 32,27 (IVA inclusa)");
  EXPECT_TRUE(t.limit.empty());
  EXPECT_FALSE(t.reachesLimit);
}

TEST_F(Forecast, UnreadableMonthGivesNoForecast) {
  std::filesystem::remove(dir.File("12_1999.BOL"));
  std::filesystem::create_directory(dir.File("12_1999.BOL"));
  const BillPeriodForecast p = ForecastPeriod({1999, 11, 20}, {1999, 12, 15}, options);
  EXPECT_FALSE(p.available);
  EXPECT_FALSE(p.reason.empty());
}

}  // namespace
}  // namespace orva
