// The options dialog's page rules.
#include "setup/SetupRules.h"

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

}  // namespace orva
