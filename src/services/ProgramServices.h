// The one place that puts the meter on the program's records: the tariff catalogue and the
// provider associations, the monthly bill files and the connection log of a data directory,
// over the settings. The desktop program, the console meter, the tests and the benchmarks
// each give their platform (clock, windows or console, links and calls) and get the same
// dependencies for the meter (meter/MainLogic.h).
#pragma once

#include <string>

#include "core/MeterDeps.h"
#include "core/MeterPlatform.h"
#include "core/Settings.h"
#include "platform/Registry.h"
#include "services/BillFiles.h"
#include "services/CatalogueTariffs.h"
#include "services/LogFiles.h"
#include "tariff/Tariffe.h"

namespace orva {

// The settings and the tariff catalogue of a data directory, loaded as the programs load
// them (the settings from the directory's registry, the tariffs from `tariffDir`).
struct ProgramData {
  ProgramData(const std::string& dataDir, const std::string& tariffDir);
  Registry registry;
  Settings settings;
  TariffCatalogue catalogue;
};

class ProgramServices {
 public:
  // The bill files live in `dataDir`; the associations and the log are where the settings
  // say. Messages of the tariff evaluation go to `dialogs`, each text once in a row.
  ProgramServices(std::string dataDir, Settings& settings, const TariffCatalogue& catalogue,
                  const Clock& clock, Dialogs& dialogs);

  // The meter's dependencies on `platform` with these records; the settings are saved with
  // SaveSettings, a failure shown through the platform's dialogs. The caller may still
  // replace a record (a log that tells its windows, a bill kept in memory) or add the
  // network follow-ups and the service question.
  MeterDeps MeterDependencies(const MeterPlatform& platform);

  CatalogueTariffs& Tariffs() { return m_tariffs; }
  BillFiles& Bill() { return m_bill; }
  LogFiles& Log() { return m_log; }

 private:
  Settings& m_settings;
  CatalogueTariffs m_tariffs;
  BillFiles m_bill;
  LogFiles m_log;
  std::string m_dataDir;  // ending in "/"
};

}  // namespace orva
