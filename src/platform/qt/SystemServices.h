// The system's dial-up and telephony services, chosen at start: NetworkManager when it is on
// the system bus, else pppd (or the one asked for); ModemManager when it is on the system bus,
// else none.
#pragma once

#include <QDBusConnection>
#include <memory>
#include <string>

#include "platform/Dialup.h"
#include "platform/Telephony.h"

namespace orva {

// choice: "nm", "pppd", or empty for the automatic choice.
std::unique_ptr<Dialup> MakeSystemDialup(const std::string& choice, const QDBusConnection& bus);
std::unique_ptr<Telephony> MakeSystemTelephony(const QDBusConnection& bus);
// Whether a --dialup value names a provider.
bool IsDialupChoice(const std::string& choice);

}  // namespace orva
