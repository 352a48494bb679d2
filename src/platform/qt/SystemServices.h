// The system's dial-up and telephony services: the one asked for ("nm", "pppd"), else
// NetworkManager whenever it is on the system bus and pppd otherwise, followed as NetworkManager
// comes and goes; ModemManager whenever it is on the system bus (none without a system bus).
#pragma once

#include <QDBusConnection>
#include <memory>
#include <string>
#include <vector>

#include "platform/Dialup.h"
#include "platform/Telephony.h"

namespace orva {

// choice: "nm", "pppd", or empty for the automatic choice; interfaces: the name patterns of
// pppd's links (empty: "ppp*").
std::unique_ptr<Dialup> MakeSystemDialup(const std::string& choice, const QDBusConnection& bus,
                                         const std::vector<std::string>& interfaces = {});
std::unique_ptr<Telephony> MakeSystemTelephony(const QDBusConnection& bus);
// Whether a --dialup value names a provider.
bool IsDialupChoice(const std::string& choice);

}  // namespace orva
