// The system's dial-up and telephony services.
#include "platform/qt/SystemServices.h"

#include "platform/qt/MmTelephony.h"
#include "platform/qt/NmDialup.h"

namespace orva {

bool IsDialupChoice(const std::string& choice) {
  return choice.empty() || choice == "nm" || choice == "pppd";
}

std::unique_ptr<Dialup> MakeSystemDialup(const std::string& choice, const QDBusConnection& bus) {
  if (choice == "pppd" || (choice.empty() && !NmDialup::Present(bus)))
    return std::make_unique<PppDialup>();
  // Asked for by name, NetworkManager is followed even while it is not running yet.
  return std::make_unique<NmDialup>(bus);
}

std::unique_ptr<Telephony> MakeSystemTelephony(const QDBusConnection& bus) {
  if (!MmTelephony::Present(bus)) return std::make_unique<NoTelephony>();
  return std::make_unique<MmTelephony>(bus);
}

}  // namespace orva
