// What the meter says through desktop notifications, and when it says it that way rather
// than with a box.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/Currency.h"
#include "platform/Notifier.h"

namespace orva {

// A warning of the meter ("Il tempo totale di connessione è superiore al limite impostato"):
// urgent, so the desktop keeps it until it is seen, as the box waited for its OK.
Notice WarningNotice(const std::string& text);

// The summary of a finished call: its length, its ticks (none for a tariff that counts none)
// and its cost in lire without VAT, with `decimals` decimals when not whole.
Notice CallEndedNotice(const std::string& callName, long long seconds,
                       std::optional<long long> ticks, double cost, int decimals,
                       Currency currency = Currency::Lire);

// New mail: each mailbox with new messages and how many it holds.
Notice NewMailNotice(const std::vector<std::pair<std::string, long long>>& mailboxes);

// Says `notice` through the notifier when the option is on and a service is there; else, or
// when the service does not take it after all, runs `box` (may be empty: nothing else to say).
// Whether the notifier was used.
bool NotifyOrBox(bool optionOn, Notifier* notifier, const Notice& notice,
                 std::function<void()> box);

}  // namespace orva
