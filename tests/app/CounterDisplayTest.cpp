// The counter texts, the hourly cost, the tray hints and the counter cycle.
#include "app/CounterDisplay.h"

#include <gtest/gtest.h>

namespace orva {
namespace {

CounterInput Metering(int item) {
  CounterInput in;
  in.item = item;
  in.metering = true;
  in.now = EncodeDate(2026, 3, 2) + EncodeTime(10, 1, 30);
  in.tickStart = EncodeDate(2026, 3, 2) + EncodeTime(10, 1, 10);  // 20 s into the tick
  in.elapsed = EncodeTime(0, 2, 5);
  in.ticks = 3;
  in.cost = 381;
  in.tariff.tickSeconds = 60;
  in.tariff.tickCost = 127;
  in.tariff.tickText = "60 sec.";
  in.tariff.vatRate = 0.2;
  return in;
}

TEST(HourlyCost, WholeTicksPerHourGroupedWithDots) {
  EXPECT_EQ(HourlyCostText(60, 127, 0, 0), "L. 7.620");
  // 3600 / 7 is not whole: every started tick of the hour counts (515 ticks).
  EXPECT_EQ(HourlyCostText(7, 127, 0, 0), "L. 65.405");
  EXPECT_EQ(HourlyCostText(0, 127, 0, 0), "?");
}

TEST(HourlyCost, FixedChargeInTicksOrLire) {
  EXPECT_EQ(HourlyCostText(60, 127, 2, 0), "L. 7.620 + 2 scatti iniziali");
  // In lire the hour is charged by its exact share of ticks, the charge shown grouped.
  EXPECT_EQ(HourlyCostText(7, 127, 1500, 1), "L. 65.314 + 1.500 iniziali.");
  EXPECT_EQ(HourlyCostText(60, 127, 0, 1), "L. 7.620 + 0 iniziali.");
}

TEST(RedrawCounters, EachItemHasItsPrefixValueAndHint) {
  struct Case {
    int item;
    const char* counter;
    const char* value;
  };
  const Case cases[] = {
      {1, "00.02.05 - 381.0", "00.02.05 - 381.0"},
      {2, "L+iva: 457.2", "457.2"},
      {3, "Timer : 00.02.05", "00.02.05"},
      {4, "Scatti : 3", "3"},
      {5, "Rim : -0.00.40", "-0.00.40"},
      {6, "Boll: 1657.2", "1657.2"},  // (1000 + 381) * 1.2
      {7, "Perc: 33%", "33%"},        // 40 of 60 s left
  };
  for (const Case& c : cases) {
    CounterInput in = Metering(c.item);
    in.periodCost = 1000;
    const CounterTexts t = RedrawCounters(in);
    EXPECT_TRUE(t.complete) << c.item;
    EXPECT_EQ(t.counter, c.counter) << c.item;
    EXPECT_EQ(t.value, c.value) << c.item;
    EXPECT_EQ(t.counterHint, CounterHint(c.item)) << c.item;
    EXPECT_EQ(t.tickText, "60 sec.");
  }
  EXPECT_EQ(std::string(CounterHint(1)),
            "Tempo trascorso dall'inizio della connessione - Costo della connessione in lire");
}

TEST(RedrawCounters, CostWithVatDropsDecimalsWhenWhole) {
  CounterInput in = Metering(2);
  in.cost = 1000;
  EXPECT_EQ(RedrawCounters(in).counter, "L+iva: 1200");
  in.decimals = 2;
  in.cost = 127;
  EXPECT_EQ(RedrawCounters(in).counter, "L+iva: 152.40");
}

TEST(RedrawCounters, IdleCountersUseTheWholeTickAndThePeriodCostAlone) {
  CounterInput in = Metering(5);
  in.metering = false;
  EXPECT_EQ(RedrawCounters(in).counter, "Rim : -0.01.00");
  in.item = 7;
  EXPECT_EQ(RedrawCounters(in).counter, "Perc: 0%");
  in.item = 6;
  in.periodCost = 1000;
  EXPECT_EQ(RedrawCounters(in).counter, "Boll: 1200.0");
}

TEST(RedrawCounters, HourLongTickShowsOneHourAtItsStart) {
  CounterInput in = Metering(5);
  in.tariff.tickSeconds = 3600;
  in.tickStart = in.now;
  EXPECT_EQ(RedrawCounters(in).value, "-1.00.00");
}

TEST(RedrawCounters, NoTimeLeftKeepsThePreviousCounterTexts) {
  // A sample late past the tick's end: nothing new for the counter, but the fixed texts.
  CounterInput in = Metering(5);
  in.tickStart = in.now - 61 * kOneSecond;
  CounterTexts t = RedrawCounters(in);
  EXPECT_FALSE(t.complete);
  EXPECT_TRUE(t.counter.empty());
  EXPECT_EQ(t.hourlyCost, "L. 7.620");
  in.item = 7;
  EXPECT_FALSE(RedrawCounters(in).complete);
}

TEST(RedrawCounters, ContinuousChargingShowsNoTickCount) {
  CounterInput in = Metering(4);
  in.tariff.tickSeconds = 1;
  CounterTexts t = RedrawCounters(in);
  EXPECT_EQ(t.counter, "Scatti : ?");
  EXPECT_EQ(t.value, "");
  EXPECT_FALSE(t.tickItemsEnabled);
  // A stored item 7 with a tick that rounds to no second must not divide by zero.
  in.item = 7;
  in.tariff.tickSeconds = 0.5;
  EXPECT_EQ(RedrawCounters(in).counter, "Perc: 0%");
}

TEST(RedrawCounters, TickItemsOnlyForTicksLongerThanTwoSeconds) {
  CounterInput in = Metering(1);
  in.tariff.tickSeconds = 2;
  EXPECT_FALSE(RedrawCounters(in).tickItemsEnabled);
  in.tariff.tickSeconds = 2.5;
  EXPECT_TRUE(RedrawCounters(in).tickItemsEnabled);
}

TEST(RedrawCounters, BytesAndGaugeHint) {
  CounterInput in = Metering(1);
  in.bytesReceived = "1234567";
  in.bytesSent = "999";
  in.status = "Connesso";
  in.entryName = "Provider";
  in.speed = "33600";
  in.tariff.discountActive = true;
  in.ipAddress = "10.0.0.2";
  const CounterTexts t = RedrawCounters(in);
  EXPECT_EQ(t.bytesReceived, "1.234.567");
  EXPECT_EQ(t.bytesSent, "999");
  EXPECT_EQ(t.gaugeHint,
            " Stato :Connesso\n Servizio :Provider\n Velocità :33600\n Durata :00.02.05\n"
            " Scatto ogni :60 sec.  \n Costo scatto :127.0\n Sconto attivo :Si\n IP :\n"
            " Indirizzo IP :10.0.0.2");
}

TEST(NextDisplayItem, CyclesThroughAllSevenAndSkipsTickItemsForContinuousCharging) {
  int item = 1;
  std::vector<int> seen;
  for (int i = 0; i < 7; ++i) seen.push_back(item = NextDisplayItem(item, 60));
  EXPECT_EQ(seen, (std::vector<int>{2, 3, 4, 5, 6, 7, 1}));
  seen.clear();
  for (int i = 0; i < 4; ++i) seen.push_back(item = NextDisplayItem(item, 1));
  EXPECT_EQ(seen, (std::vector<int>{2, 3, 6, 1}));
  // A stored tick item still moves on to a shown one.
  EXPECT_EQ(NextDisplayItem(4, 0.5), 6);
  EXPECT_EQ(NextDisplayItem(99, 60), 2);
}

TEST(TrayHint, OneTextPerKindOfCall) {
  EXPECT_EQ(TrayHint(TrayCall::Idle, "Sconnesso", "", "", ""), "ORVA32 - nessuna connessione");
  EXPECT_EQ(TrayHint(TrayCall::DialUp, "Connesso", "Tin", "", ""), "ORVA32 - Connesso a : Tin");
  EXPECT_EQ(TrayHint(TrayCall::Manual, "Avvio manuale", "", "", ""), "ORVA32 - Avvio manuale");
  EXPECT_EQ(TrayHint(TrayCall::Telephony, "Chiamata", "", "0612345", "Mario"),
            "ORVA32 - Chiamata a: 0612345  Mario");
}

TEST(RoundHalfEven, MatchesTheMetersRounding) {
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(1e300), 9200000000000000000LL);
  EXPECT_EQ(WholeSecondsOf(EncodeTime(1, 0, 59, 999)), 3600 + 59);
}

}  // namespace
}  // namespace orva
