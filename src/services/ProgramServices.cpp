#include "services/ProgramServices.h"

#include <utility>

namespace orva {

ProgramData::ProgramData(const std::string& dataDir, const std::string& tariffDir)
    : registry(dataDir) {
  LoadSettings(settings, registry);
  ScanTariffFiles(catalogue, tariffDir);
}

ProgramServices::ProgramServices(std::string dataDir, Settings& settings,
                                 const TariffCatalogue& catalogue, const Clock& clock,
                                 Dialogs& dialogs)
    : m_settings(settings),
      m_tariffs(catalogue, settings.associationPath, dialogs),
      m_bill(settings, std::move(dataDir), clock),
      m_log(settings) {}

MainLogic::Deps ProgramServices::MeterDeps(const MeterPlatform& platform) {
  MainLogic::Deps d;
  static_cast<MeterPlatform&>(d) = platform;
  d.tariffs = &m_tariffs;
  d.bill = &m_bill;
  d.log = &m_log;
  d.settings = &m_settings;
  Dialogs* dialogs = platform.dialogs;
  d.saveSettings = [this, dialogs] {
    const Status saved = SaveSettings(m_settings);
    if (!saved && dialogs) dialogs->Message(saved.error, MsgType::Error, MsgButtons::Ok);
  };
  return d;
}

std::unique_ptr<MainLogic> ProgramServices::MakeMeter(const MeterPlatform& platform) {
  return std::make_unique<MainLogic>(MeterDeps(platform));
}

}  // namespace orva
