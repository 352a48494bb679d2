// Rules of the options dialog's pages that do not depend on its widgets.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orva {

// "Rete": the traffic sub-options are on only while monitoring is; the clock is set only
// when both the time check and its setting are on.
struct NetworkPageValues {
  bool tcpMonitoring = false;
  bool resolveAddresses = false;
  bool hostsManagement = false;
  bool recordIpList = false;
  bool networkTime = false;
  bool setNetworkTime = false;
  bool operator==(const NetworkPageValues&) const = default;
};
NetworkPageValues StoredNetworkValues(NetworkPageValues shown);

// Number fields that take effect at once (ED0, Ed3, Ed4, ED40): the value, or none with the
// error "Errore, inserire un valore numerico".
inline constexpr std::string_view kNotANumberMessage = "Errore, inserire un valore numerico";
std::optional<int> ImmediateNumber(std::string_view text);

// Limit fields (WTEdit, WCSEdit, WCLEdit) take digits, backspace and Enter only.
bool LimitFieldAccepts(char c);

// The caption of a sound slot's check box: the chosen file's name, "Nessuno" when none.
std::string SoundSlotCaption(std::string_view path);

// The label of the "Frequenza di controllo" bar and of the mail period slider.
std::string TimerLabel(int ms);
std::string MailPeriodLabel(int minutes);

}  // namespace orva
