// The tariff comparison on paper: the period, then for each kind of call the counts, the table
// of the tariffs against what was paid, the bar chart and the calls left out.
#pragma once

#include "core/Currency.h"
#include "log/TariffComparison.h"
#include "log/TariffComparisonCsv.h"
#include "platform/Result.h"

class QPrinter;

namespace orva {

Status PrintTariffComparison(QPrinter& printer, const TariffComparison& comparison,
                             const ComparisonPeriod& period, Currency currency, int lireDecimals);

}  // namespace orva
