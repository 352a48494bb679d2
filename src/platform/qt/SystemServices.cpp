// The system's dial-up and telephony services.
#include "platform/qt/SystemServices.h"

#include "platform/qt/FollowingDialup.h"
#include "platform/qt/MmTelephony.h"
#include "platform/qt/NmDialup.h"

namespace orva {

bool IsDialupChoice(const std::string& choice) {
  return choice.empty() || choice == "nm" || choice == "pppd";
}

std::unique_ptr<Dialup> MakeSystemDialup(const std::string& choice, const QDBusConnection& bus,
                                         const std::vector<std::string>& interfaces) {
  auto ppp = [&] { return std::make_unique<PppDialup>(PppRoots{}, interfaces); };
  if (choice == "pppd") return ppp();
  // Asked for by name, NetworkManager is followed even while it is not running yet.
  if (choice == "nm") return std::make_unique<NmDialup>(bus);
  // Unless a service is asked for, NetworkManager is used whenever it runs, pppd otherwise.
  return std::make_unique<FollowingDialup>(bus, ppp());
}

std::unique_ptr<Telephony> MakeSystemTelephony(const QDBusConnection& bus) {
  // ModemManager is followed on the bus: it may start after the program.
  if (!bus.isConnected()) return std::make_unique<NoTelephony>();
  return std::make_unique<MmTelephony>(bus);
}

}  // namespace orva
