// The texts of the meter's desktop notifications and the choice between a notice and a box.
#include "core/Notices.h"

#include <cmath>

#include "platform/DateTime.h"
#include "platform/Numbers.h"

namespace orva {

Notice WarningNotice(const std::string& text) {
  return {"ORVA AVVISO !", text, Notice::Urgency::Critical};
}

Notice CallEndedNotice(const std::string& callName, long long seconds,
                       std::optional<long long> ticks, double cost, int decimals,
                       Currency currency) {
  Notice n;
  n.summary = callName.empty() ? "Chiamata terminata" : "Chiamata terminata: " + callName;
  // The cost as the log writes it: no decimals when whole.
  const std::string costText =
      cost == std::floor(cost) ? FormatFixed(cost, 0) : FormatFixed(cost, decimals);
  n.body = "Durata " + FormatDuration(seconds) + "\n";
  if (ticks) n.body += "Scatti " + std::to_string(*ticks) + "\n";
  if (currency == Currency::Lire)
    n.body += "Costo L. " + costText + " (senza IVA)";
  else
    n.body += "Costo " + FormatAmount(cost, currency) + " (senza IVA)";
  return n;
}

Notice NewMailNotice(const std::vector<std::pair<std::string, long long>>& mailboxes) {
  Notice n;
  n.summary = "C'è posta per te !";
  for (const auto& [address, count] : mailboxes) {
    if (!n.body.empty()) n.body += "\n";
    n.body += address + ": " + std::to_string(count) + (count == 1 ? " messaggio" : " messaggi");
  }
  return n;
}

bool NotifyOrBox(bool optionOn, Notifier* notifier, const Notice& notice,
                 std::function<void()> box) {
  if (optionOn && notifier && notifier->Available()) {
    notifier->Notify(notice, std::move(box));
    return true;
  }
  if (box) box();
  return false;
}

}  // namespace orva
