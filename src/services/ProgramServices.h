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
// them (the settings from the directory's registry, the tariffs from `tariffDir`). At the
// program's start (`atStartup`) the settings' load also clears the old "Run" value.
struct ProgramData {
  ProgramData(const std::string& dataDir, const std::string& tariffDir, bool atStartup = false);
  Registry registry;
  Settings settings;
  TariffCatalogue catalogue;
};

// Records a program puts in front of the data directory's own before the meter sees them: a
// log that tells the windows what it wrote, a bill kept until the call ends, a tariff
// service that forces a negotiation. Each unset one is the directory's own.
struct RecordLayers {
  TariffService* tariffs = nullptr;
  BillService* bill = nullptr;
  LogService* log = nullptr;
};

class ProgramServices {
 public:
  // The bill files live in `dataDir`; the associations and the log are where the settings
  // say. Messages of the tariff evaluation go to `dialogs`, each text once in a row.
  ProgramServices(std::string dataDir, Settings& settings, const TariffCatalogue& catalogue,
                  const Clock& clock, Dialogs& dialogs);

  // The meter's dependencies on `platform` with these records, or the layers over them; the
  // settings are saved with SaveSettings, a failure shown through the platform's dialogs.
  MeterDeps MeterDependencies(const MeterPlatform& platform, const RecordLayers& layers = {});

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

// Everything a program keeps of its data directory, made once at its start and owned by the
// program's root: the settings, the catalogue, and the tariffs, bill and log over them. The
// desktop program and the command-line tool start through it alike; windows and commands get
// references.
struct ProgramRecords {
  ProgramRecords(const std::string& dataDir, const std::string& tariffDir, const Clock& clock,
                 Dialogs& dialogs, bool atStartup = false)
      : data(dataDir, tariffDir, atStartup),
        services(dataDir, data.settings, data.catalogue, clock, dialogs) {}
  ProgramData data;
  ProgramServices services;
  Settings& settings = data.settings;
  const TariffCatalogue& catalogue = data.catalogue;
};

}  // namespace orva
