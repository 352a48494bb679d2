// Rules of the options dialog's pages that do not depend on its widgets.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/Currency.h"

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

// "Messaggi di avviso": a cost limit is stored as whole lire and typed and shown in the chosen
// currency. The text the edit shows for a stored limit (euro with two decimals, "51,65").
std::string CostLimitShown(std::string_view storedLire, Currency currency);
// The lire to store for a typed limit, rounded to the lira; none when the text is no amount
// (the stored limit then stays as it was). A text left as CostLimitShown wrote it for
// `previous` keeps `previous`: a cent is 19 lire, and an untouched 100000 must not become
// 100008 because the dialog was opened.
std::optional<std::string> CostLimitStored(std::string_view typed, Currency currency,
                                           std::string_view previous = {});

// "Cifre decimali" sets the decimals of lire amounts (and of the lire the log and the bill
// write); euro always shows cents, more under a cent. So with Euro chosen the control is off
// and says why; its value stays for the files.
bool DecimalsOptionApplies(Currency currency);
std::string DecimalsHint(Currency currency);

}  // namespace orva
