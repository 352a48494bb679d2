// The metered call on a manual clock: ticks, bill, warnings, limits, clock guard, log.
#include "MeterFixture.h"

namespace orva::test {
namespace {

TEST_F(MeterTest, NegotiationOfTenSecondsGivesTheFirstFurtherTickFiftySecondsLater) {
  // The connection is seen at 10:00:00.900: the call and its tick start are whole-second
  // samples, so the tick falls 50 s after the second the connection was seen in.
  clock.SetNow(At(2026, 1, 5, 10, 0, 0) + 650.0 / 86400000.0);
  tariffs.associations["tiscali"] = {1, "10000"};
  Make();
  dialup.Add("tiscali");
  AdvanceSeconds(0.25);  // first poll at .900
  ASSERT_TRUE(logic->Call().Metering());
  EXPECT_EQ(logic->Call().SelectedTariff(), 1);
  EXPECT_EQ(logic->Call().Ticks(), 1);  // the answer tick
  EXPECT_EQ(MeteredCall::ToSeconds(logic->Call().CallStart()),
            MeteredCall::ToSeconds(At(2026, 1, 5, 9, 59, 50)));
  ASSERT_EQ(bill.added.size(), 1u);
  EXPECT_EQ(bill.added[0].ticks, 1);

  clock.SetNow(At(2026, 1, 5, 10, 0, 49) + 0.9 / 86400);
  AdvanceSeconds(0.05);
  EXPECT_EQ(logic->Call().Ticks(), 1);
  AdvanceSeconds(0.3);  // a sample in 10:00:50
  EXPECT_EQ(logic->Call().Ticks(), 2);
  EXPECT_DOUBLE_EQ(logic->Call().Cost(), 254);
  EXPECT_EQ(MeteredCall::ToSeconds(logic->Call().TickStart()),
            MeteredCall::ToSeconds(At(2026, 1, 5, 10, 0, 50)));
}

TEST_F(MeterTest, FixedChargeInTicksOrLireStartsTheCall) {
  tariffs.value.fixedCharge = 3;
  Make();
  logic->Start1Click();
  EXPECT_EQ(logic->Call().Ticks(), 4);  // 3 + the answer tick; no negotiation by hand
  EXPECT_DOUBLE_EQ(logic->Call().Cost(), 4 * 127);
  logic->Call().End();

  tariffs.value.fixedCharge = 200;
  tariffs.value.fixedChargeUnit = 1;
  bill.added.clear();
  logic->Start1Click();
  EXPECT_EQ(logic->Call().Ticks(), 0);
  EXPECT_DOUBLE_EQ(logic->Call().Cost(), 200);
  ASSERT_EQ(bill.added.size(), 1u);
  EXPECT_EQ(bill.added[0].ticks, 1);
  EXPECT_DOUBLE_EQ(bill.added[0].price, 200);
}

TEST_F(MeterTest, LateSampleCountsEveryMissedTickInOneBillAdditionHoursIncluded) {
  Make();
  logic->Start1Click();
  AdvanceSeconds(1);
  bill.added.clear();
  // The machine sleeps 5 minutes 10 seconds: no sample runs meanwhile.
  clock.SetNow(clock.Now() + 310.0 / 86400);
  AdvanceSeconds(0.2);
  EXPECT_EQ(logic->Call().Ticks(), 1 + 5);
  ASSERT_EQ(bill.added.size(), 1u);
  EXPECT_EQ(bill.added[0].ticks, 5);
  // Two hours and a half later: the whole hours count too.
  bill.added.clear();
  clock.SetNow(clock.Now() + 9000.0 / 86400);
  AdvanceSeconds(0.2);
  EXPECT_EQ(logic->Call().Ticks(), 6 + 150);
  ASSERT_EQ(bill.added.size(), 1u);
  EXPECT_EQ(bill.added[0].ticks, 150);
}

TEST_F(MeterTest, TickOfAnHourFalls) {
  tariffs.value.tickSeconds = 3600;
  Make();
  logic->Start1Click();
  AdvanceSeconds(3599);
  EXPECT_EQ(logic->Call().Ticks(), 1);
  AdvanceSeconds(1.2);
  EXPECT_EQ(logic->Call().Ticks(), 2);
}

TEST_F(MeterTest, ContinuousChargingIsBilledOnceAtTheEndAndLoggedWithoutTicks) {
  tariffs.value.tickSeconds = 0.5;
  tariffs.value.tickCost = 2;
  tariffs.value.fixedCharge = 1;
  Make();
  logic->Start1Click();
  ASSERT_EQ(bill.added.size(), 1u);  // the start: 2 ticks (fixed 1 + answer) at 2 lire
  AdvanceSeconds(30);
  EXPECT_EQ(bill.added.size(), 1u);
  logic->Stop1Click();
  ASSERT_EQ(bill.added.size(), 2u);
  EXPECT_EQ(bill.added[1].ticks, 1);
  // 2 start ticks + 2 per second for 30 s, less the 2 start ticks the bill already holds:
  // 60 ticks of 2 lire.
  EXPECT_DOUBLE_EQ(bill.added[1].price, 120);
  EXPECT_DOUBLE_EQ(logic->Call().Cost(), (2 + 60) * 2);
  ASSERT_EQ(log.records.size(), 1u);
  EXPECT_EQ(log.records[0].ticks, "?");
}

TEST_F(MeterTest, CallAcrossMidnightAndMonthEndBillsEachTickOnItsOwnDay) {
  clock.SetNow(At(2026, 1, 31, 23, 58, 30));
  Make();
  logic->Start1Click();
  AdvanceSeconds(180);
  logic->Stop1Click();
  ASSERT_GE(bill.added.size(), 3u);
  EXPECT_EQ(bill.added.front().day.month, 1);
  EXPECT_EQ(bill.added.front().day.day, 31);
  EXPECT_EQ(bill.added.back().day.month, 2);
  EXPECT_EQ(bill.added.back().day.day, 1);
  long long total = 0;
  for (const auto& a : bill.added) total += a.ticks;
  EXPECT_EQ(total, logic->Call().Ticks());
  ASSERT_EQ(log.records.size(), 1u);
  EXPECT_EQ(log.records[0].ticks, "4");
}

TEST_F(MeterTest, WarningsFireOncePerTickInterval) {
  settings.warnDayCostOn = 1;
  settings.warnDayCost = "100";
  settings.warnTimeOn = 1;
  settings.warnTimeMinutes = 1;
  Make();
  logic->Start1Click();
  auto count = [&](const std::string& prefix) {
    int n = 0;
    for (const auto& s : dialogs.shown) n += s.text.find(prefix) != std::string::npos;
    return n;
  };
  AdvanceSeconds(30);
  EXPECT_EQ(count("costo della connessione in corso"), 1);
  EXPECT_EQ(count("tempo totale"), 0);
  AdvanceSeconds(31);  // a tick re-arms both; the time limit of 1 minute is passed too
  EXPECT_EQ(count("costo della connessione in corso"), 2);
  EXPECT_EQ(count("tempo totale"), 1);
  AdvanceSeconds(20);
  EXPECT_EQ(count("costo della connessione in corso"), 2);
  EXPECT_EQ(count("tempo totale"), 1);
}

TEST_F(MeterTest, TickLimitEndsTheCallTenSecondsBeforeTheFifthTick) {
  settings.access.password = "segreto";
  settings.access.disconnectAtTick = 1;
  settings.access.disconnectTick = 5;
  settings.access.disconnectTickAdvance = 10;
  Make();
  logic->Start1Click();
  AdvanceSeconds(229.5);
  EXPECT_TRUE(logic->Call().Metering());
  EXPECT_GT(view.flashes, 0);  // flashing from 30 s before the limit
  AdvanceSeconds(1);
  EXPECT_FALSE(logic->Call().Metering());
  EXPECT_EQ(logic->Call().ElapsedSeconds(), 230);
  EXPECT_EQ(logic->Call().Ticks(), 4);
  ASSERT_FALSE(dialogs.shown.empty());
  EXPECT_EQ(dialogs.shown.back().text,
            "ORVA32 - blocco connessione\r\rConnessione interrotta, consumati 4 scatti.");
  EXPECT_EQ(log.records.size(), 1u);
}

TEST_F(MeterTest, LimitsNeedAPasswordAndADialUpTimeLimitRetriesAFailedHangUp) {
  settings.access.disconnectAfterMinutes = 1;
  settings.access.disconnectMinutes = 2;
  tariffs.associations["tiscali"] = {0, "0"};
  Make();
  dialup.Add("tiscali");
  AdvanceSeconds(200);
  EXPECT_TRUE(logic->Call().Metering());  // no password: no limit
  logic->Call().End();
  dialup.RemoveAll();
  AdvanceSeconds(1);

  settings.access.password = "x";
  dialup.SetHangUpFails(true);
  dialup.Add("tiscali");
  AdvanceSeconds(121);
  EXPECT_TRUE(logic->Call().Metering());
  EXPECT_FALSE(dialup.hungUp.empty());
  dialup.SetHangUpFails(false);
  AdvanceSeconds(0.5);
  EXPECT_FALSE(logic->Call().Metering());
  EXPECT_EQ(dialogs.shown.back().text,
            "ORVA32 - blocco connessione\r\rConnessione interrotta, trascorsi 2 minuti.");
}

TEST_F(MeterTest, ClockSetBackEndsAndRecordsTheCall) {
  Make();
  logic->Start1Click();
  AdvanceSeconds(90);
  clock.SetNow(clock.Now() - 1.0 / 24);
  AdvanceSeconds(0.2);
  EXPECT_FALSE(logic->Call().Metering());
  EXPECT_FALSE(logic->Call().Sampling());
  ASSERT_EQ(log.records.size(), 1u);
  EXPECT_EQ(log.records[0].ticks, "2");
  EXPECT_EQ(dialogs.shown.back().text,
            "Attenzione ! L'ora di sistema risulta cambiata, non posso continuare.");
  EXPECT_EQ(dialogs.shown.back().type, MsgType::Confirmation);
}

TEST_F(MeterTest, FailedEvaluationKeepsTheValuesIsShownOnceAndMeteringGoesOn) {
  tariffs.value.tickCost = 100;
  Make();
  logic->Start1Click();
  tariffs.failure = "Fascia 2 non valida in URBANA.TRF";
  AdvanceSeconds(600);
  EXPECT_TRUE(logic->Call().Metering());
  EXPECT_TRUE(logic->Call().Sampling());
  EXPECT_EQ(logic->Call().Ticks(), 11);
  EXPECT_DOUBLE_EQ(logic->Call().Cost(), 1100);
  int shown = 0;
  for (const auto& s : dialogs.shown) shown += s.text == tariffs.failure;
  EXPECT_EQ(shown, 1);
}

TEST_F(MeterTest, TimersRunAgainAfterAnExceptionInsideARun) {
  Make();
  logic->Start1Click();
  int throws = 0;
  tariffs.byMoment = [&](TDateTime) -> TariffValues {
    ++throws;
    throw std::runtime_error("lettura impossibile");
  };
  AdvanceSeconds(130);
  EXPECT_GT(throws, 0);
  EXPECT_TRUE(logic->Call().Sampling());
  EXPECT_TRUE(logic->Call().CheckingWarnings());
  EXPECT_TRUE(logic->Watcher().Polling());
  EXPECT_EQ(logic->Call().Ticks(), 3);
}

TEST_F(MeterTest, EndCallWritesTheServiceTextAndAskedServiceReplacesIt) {
  Make();
  logic->Start1Click();
  AdvanceSeconds(5);
  logic->Stop1Click();
  ASSERT_EQ(log.records.size(), 1u);
  EXPECT_EQ(log.records[0].service, "Sconosciuto: Avvio manuale");
  EXPECT_EQ(log.records[0].tariff, "T0");
  EXPECT_EQ(log.records[0].bytesReceived, "");  // a manual call has no link, so no bytes

  settings.askService = true;
  chosenService = "  BBS  ";
  logic->Start1Click();
  logic->Stop1Click();
  EXPECT_EQ(chooserShown.back(), "Sconosciuto: Avvio manuale");
  EXPECT_EQ(log.records.back().service, "BBS");
  chosenService.reset();  // "Ignora"
  logic->Start1Click();
  logic->Stop1Click();
  EXPECT_EQ(log.records.back().service, "?");
}

TEST_F(MeterTest, FailedLogAppendIsShownWithTheRecordAndWrittenFirstNextTime) {
  Make();
  log.fails = true;
  logic->Start1Click();
  logic->Stop1Click();
  ASSERT_FALSE(dialogs.shown.empty());
  EXPECT_NE(dialogs.shown.back().text.find("Disco pieno"), std::string::npos);
  EXPECT_NE(dialogs.shown.back().text.find("Sconosciuto: Avvio manuale"), std::string::npos);
  EXPECT_EQ(logic->Call().PendingRecords().size(), 1u);

  log.fails = false;
  AdvanceSeconds(10);
  logic->Start1Click();
  AdvanceSeconds(70);
  logic->Stop1Click();
  ASSERT_EQ(log.records.size(), 2u);
  EXPECT_EQ(log.records[0].ticks, "1");
  EXPECT_EQ(log.records[1].ticks, "2");
  EXPECT_TRUE(logic->Call().PendingRecords().empty());
}

TEST_F(MeterTest, ManualStartAndStopAskThePasswordWhenGuarded) {
  settings.access.password = "abc";
  settings.access.preventStart = 1;
  settings.access.preventStop = 1;
  Make();
  dialogs.NextPassword(std::string("ABC"));
  logic->Start1Click();
  EXPECT_FALSE(logic->Call().Metering());
  dialogs.NextPassword(std::string("abc"));
  logic->Start1Click();
  EXPECT_TRUE(logic->Call().Metering());
  logic->Stop1Click();  // cancelled
  EXPECT_TRUE(logic->Call().Metering());
  dialogs.NextPassword(std::string("abc"));
  logic->Stop1Click();
  EXPECT_FALSE(logic->Call().Metering());
}

TEST_F(MeterTest, EventSoundsNeedTheMasterSwitchTheirFlagAndAFile) {
  settings.soundFiles[kSoundTick] = "/snd/tick.wav";
  settings.soundEnabled[kSoundTick] = true;
  settings.soundFiles[kSoundConnect] = "/snd/missing.wav";
  settings.soundEnabled[kSoundConnect] = true;
  existing.insert("/snd/tick.wav");
  Make();
  logic->Start1Click();
  AdvanceSeconds(61);
  EXPECT_EQ(sound.played, std::vector<std::string>{"/snd/tick.wav"});
  settings.soundsOn = 0;
  AdvanceSeconds(60);
  EXPECT_EQ(sound.played.size(), 1u);
}

}  // namespace
}  // namespace orva::test

namespace orva::test {

TEST_F(MeterTest, PeriodCostAndForecastAreReadAgainAfterEachCallAndOnRequest) {
  bill.period = 1000;
  bill.forecast = PeriodForecastCost{3000, 100};
  Make();
  EXPECT_DOUBLE_EQ(logic->Call().PeriodCost(), 1000);
  ASSERT_TRUE(logic->Call().PeriodForecast());
  EXPECT_DOUBLE_EQ(logic->Call().PeriodForecast()->cost, 3000);
  logic->Start1Click();
  // The bill file takes the call's ticks as they fall.
  bill.period = 1254;
  bill.forecast = PeriodForecastCost{3154, 0};
  AdvanceSeconds(61);
  logic->Stop1Click();
  EXPECT_DOUBLE_EQ(logic->Call().PeriodCost(), 1254);
  EXPECT_DOUBLE_EQ(logic->Call().PeriodForecast()->cost, 3154);
  bill.period = 2000;     // the bill view changed a day
  bill.forecast.reset();  // ... the first of the month's
  const int redraws = view.redraws;
  logic->Call().RefreshPeriodCost();
  EXPECT_DOUBLE_EQ(logic->Call().PeriodCost(), 2000);
  EXPECT_FALSE(logic->Call().PeriodForecast());
  EXPECT_GT(view.redraws, redraws);
}

}  // namespace orva::test

namespace orva::test {

TEST_F(MeterTest, TheCallIsLoggedBeforeTheServiceQuestionAndNobodyIsAskedAtSessionEnd) {
  settings.askService = true;
  Make();
  std::size_t loggedWhenAsked = 0;
  duringChoice = [&] { loggedWhenAsked = log.records.size(); };
  chosenService = "BBS";
  logic->Start1Click();
  AdvanceSeconds(5);
  logic->Stop1Click();
  EXPECT_EQ(loggedWhenAsked, 1u);
  ASSERT_EQ(log.records.size(), 1u);
  EXPECT_EQ(log.records[0].service, "BBS");

  // The session ends while the question is open: the call keeps the offered text.
  duringChoice = [&] { logic->WMQueryEndSession(); };
  logic->Start1Click();
  AdvanceSeconds(5);
  logic->Stop1Click();
  ASSERT_EQ(log.records.size(), 2u);
  EXPECT_EQ(log.records[1].service, "Sconosciuto: Avvio manuale");

  // During the session's end the call is recorded without a question.
  duringChoice = nullptr;
  logic->Start1Click();
  AdvanceSeconds(5);
  const std::size_t asked = chooserShown.size();
  logic->WMQueryEndSession();
  EXPECT_EQ(chooserShown.size(), asked);
  ASSERT_EQ(log.records.size(), 3u);
  EXPECT_EQ(log.records[2].service, "Sconosciuto: Avvio manuale");
}

TEST_F(MeterTest, ServiceChosenForACallTheLogCouldNotTakeIsWrittenWithIt) {
  settings.askService = true;
  Make();
  log.fails = true;
  chosenService = "BBS";
  logic->Start1Click();
  logic->Stop1Click();
  ASSERT_EQ(logic->Call().PendingRecords().size(), 1u);
  EXPECT_EQ(logic->Call().PendingRecords().front().service, "BBS");
}

TEST_F(MeterTest, DialUpPollWaitsWhileTheCallIsBeingClosed) {
  settings.askService = true;
  Make();
  bool pollDuringChoice = true;
  duringChoice = [&] { pollDuringChoice = logic->Watcher().Polling(); };
  logic->Start1Click();
  AdvanceSeconds(5);
  logic->Stop1Click();
  ASSERT_EQ(chooserShown.size(), 1u);
  EXPECT_FALSE(pollDuringChoice);
  EXPECT_TRUE(logic->Watcher().Polling());  // back once the call is closed
}

}  // namespace orva::test

namespace orva::test {

// The sum of what the bill got, lire.
double Billed(const FakeBill& bill) {
  double sum = 0;
  for (const auto& a : bill.added) sum += static_cast<double>(a.ticks) * a.price;
  return sum;
}

TEST_F(MeterTest, TicksOfTwelveAndAHalfSecondsFallAfterThirteenAndTwelveInTurn) {
  tariffs.value.tickSeconds = 12.5;
  Make();
  logic->Start1Click();  // 10:00:00, the answer tick
  const std::vector<std::pair<double, long long>> steps = {
      {12.8, 1}, {13.2, 2}, {24.8, 2}, {25.2, 3}, {37.8, 3}, {38.2, 4}, {49.8, 4}, {50.2, 5}};
  double at = 0;
  for (const auto& [when, ticks] : steps) {
    AdvanceSeconds(when - at);
    at = when;
    EXPECT_EQ(logic->Call().Ticks(), ticks) << "at " << when << " s";
  }
  // An hour holds 288 such ticks besides the answer tick, each billed.
  AdvanceSeconds(3600.2 - at);
  logic->Stop1Click();
  EXPECT_EQ(logic->Call().Ticks(), 289);
  EXPECT_DOUBLE_EQ(logic->Call().Cost(), 289 * 127);
  EXPECT_DOUBLE_EQ(Billed(bill), logic->Call().Cost());
}

TEST_F(MeterTest, HourOfFractionalTicksCountsEveryTickThatEnded) {
  // Every tick that ends within the hour is counted, whatever the fraction of its length.
  for (const long long lengthMs : {12500LL, 12300LL, 7700LL, 2100LL, 45600LL, 1500LL}) {
    SCOPED_TRACE(lengthMs);
    tariffs.value.tickSeconds = static_cast<double>(lengthMs) / 1000.0;
    logic.reset();
    Make();
    logic->Start1Click();
    AdvanceSeconds(3600.1);
    EXPECT_EQ(logic->Call().Ticks(), 1 + 3600000 / lengthMs);
    logic->Stop1Click();
  }
}

TEST_F(MeterTest, NegotiationKeepsTheHalfSecondOfAFractionalTick) {
  // 20 s of negotiation at 12.5-second ticks: one tick ran and 7.5 s of the next, so the
  // next tick falls 5 s after the connection is seen.
  tariffs.value.tickSeconds = 12.5;
  tariffs.associations["tiscali"] = {0, "20000"};
  Make();
  dialup.Add("tiscali");
  AdvanceSeconds(0.25);
  ASSERT_TRUE(logic->Call().Metering());
  EXPECT_EQ(logic->Call().Ticks(), 2);  // the negotiated tick and the answer tick
  AdvanceSeconds(4.7);
  EXPECT_EQ(logic->Call().Ticks(), 2);
  AdvanceSeconds(0.4);
  EXPECT_EQ(logic->Call().Ticks(), 3);
}

// Each call is found 0.25 s after the link comes up, its start moved back by the negotiation
// time, and ends 125.5 s later: 135 s of call with a negotiation of 10 s, 255 s with 130 s.
TEST_F(MeterTest, BillHoldsTheCallsCostOnceWhateverTheTickLengthAndFixedCharge) {
  struct Case {
    double tickSeconds, tickCost;
    int fixedCharge, fixedChargeUnit;
    const char* negotiationMs;
    double cost;  // worked by hand
  } cases[] = {
      // 1 answer tick + 135 s + 2 fixed ticks = 138 ticks x 3
      {1, 3, 2, 0, "10000", 414},
      // 1 answer tick + 250 half seconds + 1 fixed tick = 252 ticks x 2
      {0.5, 2, 1, 0, "0", 504},
      // 1 answer tick + 135 s = 136 ticks x 3, + 150 lire
      {1, 3, 150, 1, "10000", 558},
      // ticks at 0, 5, ... 130 s = 27 x 127, + 200 lire
      {5, 127, 200, 1, "10000", 3629},
      // ticks at 0, 60, 120, 180, 240 s + 3 fixed ticks = 8 x 127
      {60, 127, 3, 0, "130000", 1016},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tickSeconds);
    SCOPED_TRACE(c.fixedChargeUnit);
    tariffs.value.tickSeconds = c.tickSeconds;
    tariffs.value.tickCost = c.tickCost;
    tariffs.value.fixedCharge = c.fixedCharge;
    tariffs.value.fixedChargeUnit = c.fixedChargeUnit;
    tariffs.associations["tiscali"] = {0, c.negotiationMs};
    bill.added.clear();
    log.records.clear();
    logic.reset();
    Make();
    dialup.Add("tiscali");
    AdvanceSeconds(0.25);
    ASSERT_TRUE(logic->Call().Metering());
    AdvanceSeconds(125);
    dialup.RemoveAll();
    AdvanceSeconds(0.5);
    ASSERT_FALSE(logic->Call().Metering());
    EXPECT_NEAR(logic->Call().Cost(), c.cost, 1e-9);
    EXPECT_NEAR(Billed(bill), c.cost, 1e-9);
  }
}

TEST_F(MeterTest, TickLengthChangingToASecondInTheCallStillBillsTheCallOnce) {
  tariffs.byMoment = [](TDateTime moment) {
    TariffValues t;
    const bool perSecond = TimePart(moment) >= EncodeTime(10, 2, 0);
    t.tickSeconds = perSecond ? 1 : 60;
    t.tickCost = perSecond ? 2 : 127;
    return t;
  };
  Make();
  logic->Start1Click();
  AdvanceSeconds(150);  // per-second ticks from 10:02
  tariffs.byMoment = {};
  tariffs.value.tickSeconds = 60;  // and minutes again before the end
  AdvanceSeconds(70);
  logic->Stop1Click();
  EXPECT_NEAR(Billed(bill), logic->Call().Cost(), 1e-9);
}

TEST_F(MeterTest, CallOfMoreThanADayIsLoggedWithItsRealLength) {
  tariffs.value.tickSeconds = 3600;
  Make();
  logic->Start1Click();
  AdvanceSeconds(25 * 3600 + 10.5);
  logic->Stop1Click();
  ASSERT_EQ(log.records.size(), 1u);
  EXPECT_EQ(log.records[0].durationSeconds, 25 * 3600 + 10);
  EXPECT_EQ(log.records[0].ticks, "26");
  EXPECT_EQ(logic->Call().ElapsedSeconds(), 25 * 3600 + 10);
}

}  // namespace orva::test
