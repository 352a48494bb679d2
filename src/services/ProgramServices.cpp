#include "services/ProgramServices.h"

#include <utility>

#include "core/HowUtils.h"
#include "platform/DataFiles.h"

namespace orva {

ProgramData::ProgramData(const std::string& dataDir, const std::string& tariffDir, bool atStartup)
    : registry(dataDir) {
  LoadSettings(settings, dataDir, registry, atStartup);
  ScanTariffFiles(catalogue, tariffDir);
}

ProgramServices::ProgramServices(std::string dataDir, Settings& settings,
                                 const TariffCatalogue& catalogue, const Clock& clock,
                                 Dialogs& dialogs)
    : m_settings(settings),
      m_tariffs(catalogue, settings.associationPath, dialogs),
      m_bill(settings, dataDir, clock),
      m_log(settings, DataPath(dataDir).Dir()),
      m_dataDir(DataPath(dataDir).Dir()) {}

MeterDeps ProgramServices::MeterDependencies(const MeterPlatform& platform,
                                             const RecordLayers& layers) {
  MeterDeps d;
  static_cast<MeterPlatform&>(d) = platform;
  d.tariffs = layers.tariffs ? layers.tariffs : &m_tariffs;
  d.bill = layers.bill ? layers.bill : &m_bill;
  d.log = layers.log ? layers.log : &m_log;
  d.settings = &m_settings;
  d.dataDirectory = m_dataDir;
  Dialogs* dialogs = platform.dialogs;
  d.saveSettings = [this, dialogs] {
    const Status saved = SaveSettings(m_settings, m_dataDir);
    if (!saved && dialogs) dialogs->Message(saved.error, MsgType::Error, MsgButtons::Ok);
  };
  return d;
}

}  // namespace orva
