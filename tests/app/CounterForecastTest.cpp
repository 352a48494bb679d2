// The "costo in bolletta" counter with the month forecast, read from the bill files of
// tests/data/bill/forecast (December 1999 up to the 15th, November 1999).
#include <gtest/gtest.h>

#include <filesystem>

#include "TempDir.h"
#include "app/CounterDisplay.h"
#include "services/BillFiles.h"

namespace orva {
namespace {

struct FixedClock final : Clock {
  TDateTime now = 0;
  TDateTime Now() const override { return now; }
  std::int64_t UtcMilliseconds() const override { return 0; }
  std::uint64_t TickCount() const override { return 0; }
};

struct BillCounter : ::testing::Test {
  test::TempDir dir;
  Settings settings;
  FixedClock clock;
  void SetUp() override {
    for (const char* name : {"11_1999.BOL", "12_1999.BOL"})
      std::filesystem::copy_file(test::TestDataDir() + "bill/forecast/" + name, dir.File(name));
    settings.billStart = "20/11/99";
  }
  // Item 6 as the main window redraws it on `day` of December 1999.
  CounterTexts Redraw(int day, Currency currency = Currency::Lire) {
    clock.now = EncodeDate(1999, 12, day) + EncodeTime(18, 0, 0);
    BillFiles bill(settings, dir.path(), clock);
    CounterInput in;
    in.item = 6;
    in.currency = currency;
    in.periodCost = bill.PeriodCost();
    in.periodForecast = bill.PeriodForecast();
    in.periodLimit = PeriodLimitOf(settings);
    in.tariff.vatRate = 0.2;
    in.tariff.tickSeconds = 60;
    return RedrawCounters(in);
  }
};

TEST_F(BillCounter, ShowsTheProjectionAfterTheFigureAndMarksTheLimit) {
  // 249 unit ticks so far (37947.6 lire with VAT), 410 by the month's end (62484).
  CounterTexts t = Redraw(15);
  EXPECT_EQ(t.counter, "Boll: 37947.6 → 62484");
  EXPECT_EQ(t.value, "37947.6");  // the title keeps the figure alone
  EXPECT_EQ(t.counterHint, "Totale in bolletta - previsione a fine mese L. 62.484 IVA inclusa");

  settings.warnPeriodCostOn = 1;
  settings.warnPeriodCost = "60000";
  t = Redraw(15);
  EXPECT_EQ(t.counter, "Boll: 37947.6 → 62484 !");
  EXPECT_NE(t.counterHint.find("supera il costo massimo del periodo"), std::string::npos);
  // Compared without VAT, 52070 lire stay under the limit.
  settings.warnPeriodCostWithVat = 0;
  EXPECT_EQ(Redraw(15).counter, "Boll: 37947.6 → 62484");

  EXPECT_EQ(Redraw(15, Currency::Euro).counter, "Boll: 19,60 → 32,27");
}

TEST_F(BillCounter, FirstOfTheMonthShowsTheFigureAlone) {
  EXPECT_EQ(Redraw(1).counter, "Boll: 17068.8");  // 112 unit ticks with VAT
  EXPECT_EQ(Redraw(1).counterHint, "Totale in bolletta");
}

TEST(BillCounterCall, RunningCallRaisesTheProjectionOnlyBeyondTodaysUsualCost) {
  CounterInput in;
  in.item = 6;
  in.metering = true;
  in.tariff.tickSeconds = 60;
  in.tariff.vatRate = 0;
  in.periodCost = 1000;
  in.periodForecast = PeriodForecastCost{3000, 500};
  in.cost = 400;  // within what today was expected to cost
  EXPECT_EQ(RedrawCounters(in).counter, "Boll: 1400.0 → 3000");
  in.cost = 700;
  EXPECT_EQ(RedrawCounters(in).counter, "Boll: 1700.0 → 3200");
}

}  // namespace
}  // namespace orva
