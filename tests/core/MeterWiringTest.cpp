// The meter on the real tariff files, bill files and connection log.
#include <gtest/gtest.h>

#include "MeterFixture.h"
#include "TempDir.h"
#include "core/HowUtils.h"
#include "core/MeterWiring.h"
#include "platform/SafeFile.h"
#include "platform/TextFile.h"

namespace orva::test {
namespace {

TEST(MeterWiring, CallAcrossAMonthEndFillsTwoBillFilesAndOneLogLine) {
  TempDir dir;
  SetProgramDirectory(dir.path());
  const std::string tariffs = std::string(ORVA_SOURCE_DIR) + "/data/tariffe/";
  WriteBytes(dir.File("URBANA.TRF"), ReadBytes(tariffs + "URBANA.TRF"));
  ManualClock clock(EncodeDate(2026, 1, 31) + EncodeTime(23, 57, 0));
  ScriptedDialogs dialogs;
  Settings settings;
  settings.logFileName = dir.File("ORVA.LOG");
  TariffCatalogue catalogue;
  ScanTariffFiles(catalogue, dir.path());
  ASSERT_EQ(catalogue.Size(), 1);
  CatalogueTariffs tariffService(catalogue, dir.File("lista.ser"), dialogs);
  BillFiles bill(settings, dir.path(), clock);
  LogFiles log(settings);
  NoSound sound;
  MeterView view;
  SimulatedDialup dialup;
  SimulatedTelephony telephony;
  SimulatedStatistics stats;
  RecordingLauncher launcher;
  MainLogic::Deps d;
  d.clock = &clock;
  d.timers = &clock;
  d.dialogs = &dialogs;
  d.sound = &sound;
  d.view = &view;
  d.dialup = &dialup;
  d.telephony = &telephony;
  d.statistics = &stats;
  d.launcher = &launcher;
  d.tariffs = &tariffService;
  d.bill = &bill;
  d.log = &log;
  d.settings = &settings;
  MainLogic logic(d);
  logic.Startup();
  logic.FirstActivation();
  dialup.Add("tiscali");
  clock.AdvanceMs(10 * 60 * 1000);
  dialup.RemoveAll();
  clock.AdvanceMs(500);
  EXPECT_FALSE(logic.Metering());
  EXPECT_TRUE(dialogs.shown.empty());

  EXPECT_TRUE(FileExists(dir.File("1_2026.BOL")));
  EXPECT_TRUE(FileExists(dir.File("2_2026.BOL")));
  TDataSetINI jan(1, 2026, bill.Options()), feb(2, 2026, bill.Options());
  EXPECT_EQ(jan.TickTotal(31, 31) + feb.TickTotal(1, 1), logic.Ticks());
  EXPECT_GT(feb.TickTotal(1, 1), 0);
  const auto lines = ReadTextLines(dir.File("ORVA.LOG"));
  ASSERT_TRUE(lines.ok());
  ASSERT_EQ(lines->size(), 1u);
  EXPECT_EQ((*lines)[0].rfind("31/01/26\t23.56.50\t00.07.00\t00.10.10\tURB\t", 0), 0u)
      << (*lines)[0];
  EXPECT_EQ((*lines)[0].substr((*lines)[0].size() - 15), "Modem: tiscali\t");
}

}  // namespace
}  // namespace orva::test
