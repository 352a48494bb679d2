// The main window's counters in euro: the same lire the meter counts, converted for showing.
#include <gtest/gtest.h>

#include "app/CounterDisplay.h"
#include "core/Currency.h"
#include "log/LogTotals.h"

namespace orva {
namespace {

CounterInput EuroCall(int item) {
  CounterInput in;
  in.item = item;
  in.currency = Currency::Euro;
  in.metering = true;
  in.now = EncodeDate(2026, 3, 2) + EncodeTime(10, 1, 30);
  in.tickStart = EncodeDate(2026, 3, 2) + EncodeTime(10, 1, 10);
  in.elapsed = EncodeTime(0, 2, 5);
  in.ticks = 3;
  in.cost = 381;
  in.periodCost = 1000;
  in.tariff.tickSeconds = 60;
  in.tariff.tickCost = 127;
  in.tariff.tickText = "60 sec.";
  in.tariff.vatRate = 0.2;
  return in;
}

TEST(CountersInEuro, AmountsAreEuroWithCentsAndTheirCaptionsSaySo) {
  EXPECT_EQ(RedrawCounters(EuroCall(1)).counter, "00.02.05 - 0,20");  // 381 lire
  EXPECT_EQ(RedrawCounters(EuroCall(2)).counter, "€+iva: 0,24");      // 457,2 lire
  EXPECT_EQ(RedrawCounters(EuroCall(6)).counter, "Boll: 0,86");       // 1657,2 lire
  // Items without amounts do not change.
  EXPECT_EQ(RedrawCounters(EuroCall(4)).counter, "Scatti : 3");
  const CounterTexts t = RedrawCounters(EuroCall(1));
  EXPECT_NE(t.counterHint.find("euro"), std::string::npos);
  EXPECT_NE(t.gaugeHint.find("Costo scatto :0,07"), std::string::npos);
  // 60 ticks of 127 lire an hour: 7.620 lire.
  EXPECT_EQ(t.hourlyCost, "€ 3,94");
  EXPECT_EQ(HourlyCostText(7, 127, 1500, 1, Currency::Euro), "€ 33,73 + 0,77 iniziali.");
  EXPECT_EQ(HourlyCostText(60, 127, 2, 0, Currency::Euro), "€ 3,94 + 2 scatti iniziali");
}

TEST(CountersInEuro, PeriodCounterMatchesTheLogTotalOfTheSameLire) {
  // The bill counter shows the period's lire with VAT; the log window's total of the same
  // calls must read the same euro.
  CounterInput in = EuroCall(6);
  in.metering = false;
  in.periodCost = 2540.5;
  const std::string counter = RedrawCounters(in).value;
  LogTotalsAccumulator sum;
  TConnObj::Fields a{}, b{};
  a[6] = "889";
  b[6] = "1651,5";
  sum.Add(a);
  sum.Add(b);
  const LogTotals t = sum.Result(2, 1, 0.2, Currency::Euro);
  EXPECT_EQ(t.total, "TOT.€ " + counter);
  EXPECT_EQ(counter, "1,57");
}

}  // namespace
}  // namespace orva
