// The meter on the real tariff files, bill files and connection log.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>

#include "SimulatedPlatform.h"
#include "TempDir.h"
#include "bill/DbsetINI.h"
#include "core/HowUtils.h"
#include "meter/MainLogic.h"
#include "platform/SafeFile.h"
#include "platform/TextFile.h"
#include "services/ProgramServices.h"
#include "simulation/Simulated.h"

namespace orva::test {
namespace {

TEST(ProgramServices, CallAcrossAMonthEndFillsTwoBillFilesAndOneLogLine) {
  TempDir dir;
  const std::string tariffs = std::string(ORVA_SOURCE_DIR) + "/data/tariffe/";
  WriteBytes(dir.File("URBANA.TRF"), ReadBytes(tariffs + "URBANA.TRF"));
  SimulatedPlatform platform(EncodeDate(2026, 1, 31) + EncodeTime(23, 57, 0));
  Settings settings;
  settings.logFileName = dir.File("ORVA.LOG");
  settings.associationPath = dir.File("lista.ser");
  TariffCatalogue catalogue;
  ScanTariffFiles(catalogue, dir.path());
  ASSERT_EQ(catalogue.Size(), 1);
  ProgramServices records(dir.path(), settings, catalogue, platform.clock, platform.dialogs);
  MainLogic logic(records.MeterDependencies(platform.Platform()));
  ManualClock& clock = platform.clock;
  SimulatedDialup& dialup = platform.dialup;
  logic.Startup();
  logic.FirstActivation();
  dialup.Add("tiscali");
  clock.AdvanceMs(10 * 60 * 1000);
  dialup.RemoveAll();
  clock.AdvanceMs(500);
  EXPECT_FALSE(logic.Call().Metering());
  EXPECT_TRUE(platform.dialogs.shown.empty());

  EXPECT_TRUE(FileExists(dir.File("1_2026.BOL")));
  EXPECT_TRUE(FileExists(dir.File("2_2026.BOL")));
  const BillOptions options = records.Bill().Options();
  TDataSetINI jan(1, 2026, options), feb(2, 2026, options);
  EXPECT_EQ(jan.TickTotal(31, 31) + feb.TickTotal(1, 1), logic.Call().Ticks());
  EXPECT_GT(feb.TickTotal(1, 1), 0);
  const auto lines = ReadTextLines(dir.File("ORVA.LOG"));
  ASSERT_TRUE(lines.ok());
  ASSERT_EQ(lines->size(), 1u);
  EXPECT_EQ((*lines)[0].rfind("31/01/26\t23.56.50\t00.07.00\t00.10.10\tURB\t", 0), 0u)
      << (*lines)[0];
  EXPECT_EQ((*lines)[0].substr((*lines)[0].size() - 15), "Modem: tiscali\t");
}

TEST(ProgramServices, SettingsOfADataDirectoryAreSavedThereAndAFailedSaveIsShown) {
  TempDir dir;
  WriteBytes(dir.File("ORVA32.INI"), "[Impostazioni generali]\r\nCifre decimali=2\r\n");
  ProgramData data(dir.path(), std::string(ORVA_SOURCE_DIR) + "/data/tariffe/");
  EXPECT_EQ(data.settings.decimals, 2);
  EXPECT_GT(data.catalogue.Size(), 1);
  SimulatedPlatform platform(EncodeDate(2026, 1, 5) + EncodeTime(10, 0, 0));
  ProgramServices records(dir.path(), data.settings, data.catalogue, platform.clock,
                          platform.dialogs);
  const MeterDeps deps = records.MeterDependencies(platform.Platform());
  EXPECT_EQ(deps.dialup, &platform.dialup);
  EXPECT_EQ(deps.settings, &data.settings);
  // Sounds named without a folder are looked for in the data directory.
  EXPECT_EQ(deps.dataDirectory, dir.path());

  data.settings.decimals = 3;
  deps.saveSettings();
  EXPECT_NE(ReadBytes(dir.File("ORVA32.INI")).find("Cifre decimali=3"), std::string::npos);
  EXPECT_TRUE(platform.dialogs.shown.empty());
  // A settings file that cannot be replaced (a folder took its name) is reported.
  ASSERT_EQ(std::remove(dir.File("ORVA32.INI").c_str()), 0);
  ASSERT_EQ(::mkdir(dir.File("ORVA32.INI").c_str(), 0700), 0);
  deps.saveSettings();
  ASSERT_EQ(platform.dialogs.shown.size(), 1u);
  EXPECT_EQ(platform.dialogs.shown[0].type, MsgType::Error);
}

}  // namespace
}  // namespace orva::test
