// The tariff comparison as a CSV file: ';' between fields, amounts in the chosen currency
// written the Italian way, the currency named in the header; Windows-1252 and CR LF like the
// log's own export.
#pragma once

#include <optional>
#include <string>

#include "core/Currency.h"
#include "log/TariffComparison.h"
#include "platform/DateTime.h"
#include "platform/Result.h"

namespace orva {

// The period the figures are of; either end may be open.
struct ComparisonPeriod {
  std::optional<TDateTime> from, to;
};

// The text of the file, UTF-8: a line for the period, a header, then for each kind of call
// the paid row, the tariffs cheapest first (failed ones last, with their error), the counts
// and the calls of unknown length, one line each.
std::string TariffComparisonCsv(const TariffComparison& comparison, const ComparisonPeriod& period,
                                Currency currency, int lireDecimals);

// Writes the text crash-safely to `path`.
Status WriteTariffComparisonCsv(const std::string& path, const TariffComparison& comparison,
                                const ComparisonPeriod& period, Currency currency,
                                int lireDecimals);

}  // namespace orva
