// Provider/tariff associations ("lista.ser"): for each dial-up entry, the tariff that meters
// its calls and the negotiation time by which a call's start is moved back.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Result.h"
#include "tariff/Tariffe.h"

namespace orva {

inline constexpr const char* kAssociationFileName = "lista.ser";
inline constexpr const char* kDefaultNegotiation = "10000";

// One line of the file: entry name, tariff description ("?" when none is chosen yet) and
// negotiation time in milliseconds.
struct Association {
  std::string provider;
  std::string tariff = "?";
  std::string negotiation = kDefaultNegotiation;
  bool operator==(const Association&) const = default;
};

// Looks the dial-up entry up (names compared exactly, case included). Every line of the entry
// whose tariff description is in the catalogue calls selectTariff with its catalogue index
// (the main window then selects and evaluates that tariff), in file order, so a later line
// overrides an earlier one. Returns the negotiation text: "10000" by default, the line's
// third field when it is a whole number, or currentNegotiation for a line of two fields.
std::string FindAssociation(const std::string& listPath, const std::string& entryName,
                            const TariffCatalogue& catalogue, const std::string& currentNegotiation,
                            const std::function<void(int index)>& selectTariff);

// All lines of the file, split at TABs; missing fields keep the defaults above. A missing
// file is an empty table.
std::vector<Association> LoadAssociations(const std::string& listPath);
// Rewrites the whole file crash-safely, one line of three TAB-separated fields per row.
Status SaveAssociations(const std::string& listPath, const std::vector<Association>& rows);

}  // namespace orva
