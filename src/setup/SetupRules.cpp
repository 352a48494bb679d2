// The options dialog's page rules.
#include "setup/SetupRules.h"

#include <cmath>

#include "platform/IniFile.h"
#include "platform/Numbers.h"
#include "platform/Trim.h"

namespace orva {

NetworkPageValues StoredNetworkValues(NetworkPageValues v) {
  if (!v.tcpMonitoring) v.resolveAddresses = v.hostsManagement = v.recordIpList = false;
  v.setNetworkTime = v.networkTime && v.setNetworkTime;
  return v;
}

std::optional<int> ImmediateNumber(std::string_view text) {
  return ParseInteger(text);
}

bool LimitFieldAccepts(char c) {
  return (c >= '0' && c <= '9') || c == '\b' || c == '\r';
}

std::string SoundSlotCaption(std::string_view path) {
  const std::string_view p = TrimBlanks(path);
  if (p.empty() || p == "None") return "Nessuno";
  const auto slash = p.find_last_of("/\\");
  return std::string(slash == std::string_view::npos ? p : p.substr(slash + 1));
}

std::string TimerLabel(int ms) {
  return std::to_string(ms) + "ms.";
}
std::string MailPeriodLabel(int minutes) {
  return std::to_string(minutes) + " minuti";
}

std::string CostLimitShown(std::string_view storedLire, Currency currency) {
  if (currency == Currency::Lire) return std::string(storedLire);
  const auto lire = ParseInteger64(storedLire);
  if (!lire) return std::string(storedLire);
  return FormatItalian(FromLire(static_cast<double>(*lire), currency), 2);
}

std::optional<std::string> CostLimitStored(std::string_view typed, Currency currency,
                                           std::string_view previous) {
  if (!previous.empty() && typed == CostLimitShown(previous, currency))
    return std::string(previous);
  if (currency == Currency::Lire) {
    if (!ParseInteger(typed)) return std::nullopt;
    return std::string(typed);
  }
  const auto lire = ParseAmount(typed, currency);
  // The warnings compare whole lire; a limit beyond them would never warn.
  if (!lire || *lire < 0 || *lire > 9e15) return std::nullopt;
  return std::to_string(std::llround(*lire));
}

bool DecimalsOptionApplies(Currency currency) {
  return currency == Currency::Lire;
}

std::string DecimalsHint(Currency currency) {
  return DecimalsOptionApplies(currency)
             ? "Cifre decimali degli importi in lire"
             : "In euro gli importi hanno sempre due cifre decimali (di più sotto il centesimo); "
               "questa scelta vale per le lire";
}

}  // namespace orva
