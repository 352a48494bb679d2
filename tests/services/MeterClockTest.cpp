// The meter on the shipped tariff files with the real bill files and connection log, on a
// manual clock in the zone of Rome: fractional tick lengths, the daylight-saving changes and
// calls of more than a day, each checked in ticks, cost, log line and bill.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <map>
#include <optional>
#include <utility>

#include "SimulatedPlatform.h"
#include "TempDir.h"
#include "bill/DbsetINI.h"
#include "core/HowUtils.h"
#include "meter/MainLogic.h"
#include "platform/SafeFile.h"
#include "platform/TextFile.h"
#include "services/ProgramServices.h"

namespace orva::test {
namespace {

// Runs the tests in the zone of Rome whatever the caller's TZ, and puts it back after.
class RomeZone {
 public:
  RomeZone() {
    if (const char* tz = std::getenv("TZ")) m_old = tz;
    setenv("TZ", "Europe/Rome", 1);
    tzset();
  }
  ~RomeZone() {
    if (m_old)
      setenv("TZ", m_old->c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }

 private:
  std::optional<std::string> m_old;
};

class MeteredFiles : public ::testing::Test {
 protected:
  void Start(TDateTime localStart) {
    const std::string shipped = std::string(ORVA_SOURCE_DIR) + "/data/tariffe/";
    WriteBytes(dir.File("INTERURB.TRF"), ReadBytes(shipped + "INTERURB.TRF"));
    settings.logFileName = dir.File("ORVA.LOG");
    ScanTariffFiles(catalogue, dir.path());
    ASSERT_EQ(catalogue.Size(), 1);
    settings.associationPath = dir.File("lista.ser");
    platform = std::make_unique<SimulatedPlatform>(localStart);
    records = std::make_unique<ProgramServices>(dir.path(), settings, catalogue, platform->clock,
                                                platform->dialogs);
    // The bill is written at the call's end: flushing it at every tick would be the slow
    // part of a long call.
    deferred = std::make_unique<DeferredBill>(records->Bill());
    MeterDeps d = records->MeterDependencies(platform->Platform());
    d.bill = deferred.get();
    logic = std::make_unique<MainLogic>(d);
    logic->Startup();
    logic->FirstActivation();
    logic->Start1Click();
    ASSERT_TRUE(logic->Call().Metering());
  }
  // Runs the call for `seconds` of real time and stops it by hand.
  void RunAndStop(long long seconds) {
    platform->clock.AdvanceMs(seconds * 1000);
    logic->Stop1Click();
    ASSERT_FALSE(logic->Call().Metering());
    ASSERT_TRUE(deferred->Flush());
  }
  std::string LogLine() {
    const auto lines = ReadTextLines(dir.File("ORVA.LOG"));
    if (!lines.ok() || lines->size() != 1) return "(no single log line)";
    return (*lines)[0];
  }
  // The ticks of one day in the month's bill file.
  long long BillTicks(int day, int month, int year) {
    return TDataSetINI(month, year, records->Bill().Options()).TickTotal(day, day);
  }
  double BillCost(int month, int year) {
    return TDataSetINI(month, year, records->Bill().Options()).CostTotal(1, 31);
  }

  RomeZone zone;
  TempDir dir;
  Settings settings;
  TariffCatalogue catalogue;
  std::unique_ptr<SimulatedPlatform> platform;
  std::unique_ptr<ProgramServices> records;
  std::unique_ptr<DeferredBill> deferred;
  std::unique_ptr<MainLogic> logic;
};

TEST_F(MeteredFiles, HourOfTwelveAndAHalfSecondTicksCountsTwoHundredEightyNine) {
  // Wednesday 9 December 2026, weekday band 08.00-18.29: 12.5-second ticks at 127 lire.
  Start(EncodeDate(2026, 12, 9) + EncodeTime(9, 0, 0));
  RunAndStop(3600);
  EXPECT_EQ(logic->Call().Ticks(), 289);
  EXPECT_DOUBLE_EQ(logic->Call().Cost(), 289 * 127);
  EXPECT_EQ(LogLine(),
            "09/12/26\t09.00.00\t10.00.00\t01.00.00\tINT\t289\t36703\tn.d\t\t\t"
            "Sconosciuto: Avvio manuale\t");
  EXPECT_EQ(BillTicks(9, 12, 2026), 289);
  EXPECT_DOUBLE_EQ(BillCost(12, 2026), 36703);
}

TEST_F(MeteredFiles, CallAcrossTheSpringChangeCountsTheHourItReallyLasted) {
  // Sunday 29 March 2026: at 02.00 the clocks go to 03.00. Sundays are 30-second ticks.
  Start(EncodeDate(2026, 3, 29) + EncodeTime(1, 30, 0));
  RunAndStop(3600);
  EXPECT_TRUE(platform->dialogs.shown.empty());
  EXPECT_EQ(logic->Call().Ticks(), 1 + 120);
  EXPECT_DOUBLE_EQ(logic->Call().Cost(), 121 * 127);
  EXPECT_EQ(logic->Call().ElapsedSeconds(), 3600);
  EXPECT_EQ(LogLine(),
            "29/03/26\t01.30.00\t03.30.00\t01.00.00\tINT\t121\t15367\tn.d\t\t\t"
            "Sconosciuto: Avvio manuale\t");
  EXPECT_EQ(BillTicks(29, 3, 2026), 121);
  EXPECT_DOUBLE_EQ(BillCost(3, 2026), 15367);
}

TEST_F(MeteredFiles, CallAcrossTheAutumnChangeGoesOnThroughTheRepeatedHour) {
  // Sunday 25 October 2026: at 03.00 the clocks go back to 02.00. The call of two real hours
  // runs from 01.30 to 02.30 local time, without the clock guard and without a second call.
  Start(EncodeDate(2026, 10, 25) + EncodeTime(1, 30, 0));
  RunAndStop(7200);
  EXPECT_TRUE(platform->dialogs.shown.empty());
  EXPECT_EQ(logic->Call().Ticks(), 1 + 240);
  EXPECT_DOUBLE_EQ(logic->Call().Cost(), 241 * 127);
  EXPECT_EQ(logic->Call().ElapsedSeconds(), 7200);
  EXPECT_EQ(LogLine(),
            "25/10/26\t01.30.00\t02.30.00\t02.00.00\tINT\t241\t30607\tn.d\t\t\t"
            "Sconosciuto: Avvio manuale\t");
  EXPECT_EQ(BillTicks(25, 10, 2026), 241);
  EXPECT_DOUBLE_EQ(BillCost(10, 2026), 30607);
}

TEST_F(MeteredFiles, ClockReallySetBackAnHourStillEndsTheCall) {
  Start(EncodeDate(2026, 10, 25) + EncodeTime(1, 30, 0));
  platform->clock.AdvanceMs(600 * 1000);
  platform->clock.SetNow(EncodeDate(2026, 10, 25) + EncodeTime(0, 40, 0));
  platform->clock.AdvanceMs(500);
  EXPECT_FALSE(logic->Call().Metering());
  ASSERT_FALSE(platform->dialogs.shown.empty());
  EXPECT_EQ(platform->dialogs.shown.back().text,
            "Attenzione ! L'ora di sistema risulta cambiata, non posso continuare.");
  EXPECT_EQ(LogLine().substr(0, 36), "25/10/26\t01.30.00\t01.40.00\t00.10.00\t");
}

TEST_F(MeteredFiles, CallOfTwentyFiveHoursWritesItsWholeHours) {
  // Saturday 12 December 2026 from 23.00 to Monday 00.00.10: festive and weekday bands.
  Start(EncodeDate(2026, 12, 12) + EncodeTime(23, 0, 0));
  RunAndStop(25 * 3600 + 10);
  const std::string line = LogLine();
  EXPECT_EQ(line.substr(0, 36), "12/12/26\t23.00.00\t00.00.10\t25.00.10\t") << line;
  // INT, all at 127 lire. Saturday 13.00-23.59 is 30 s: the answer tick at 23.00.00 and
  // one every 30 s to 23.59.30, 1 + 119 = 120 (the rest of 23.59 keeps the 30 s). Sunday is
  // 30 s all day: 00.00.00 … 23.59.30, 2880. Monday 00.00-07.59 is 30 s: 00.00.00, 1.
  // 3001 ticks, 381127 lire.
  EXPECT_EQ(logic->Call().Ticks(), 3001);
  EXPECT_DOUBLE_EQ(logic->Call().Cost(), 381127);
  EXPECT_EQ(BillTicks(12, 12, 2026), 120);
  EXPECT_EQ(BillTicks(13, 12, 2026), 2880);
  EXPECT_EQ(BillTicks(14, 12, 2026), 1);
  EXPECT_DOUBLE_EQ(BillCost(12, 2026), 381127);
}

}  // namespace
}  // namespace orva::test
