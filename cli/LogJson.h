// The connection log in orva32cli's JSON: one object per record and the totals of a log.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "JsonOut.h"
#include "log/ConnObj.h"
#include "log/LogTotals.h"

namespace orva::cli {

// Record `n` (from 1): the date and the start and end moments in ISO 8601 (the end on the next
// day for a call across midnight), the duration in seconds, ticks, cost in lire, speed and
// bytes as numbers, each beside the text the log holds.
Json LogRecordJson(std::size_t n, const TConnObj::Fields& record);
// The same record written at the end of `out`, for output of any length.
void AppendLogRecordJson(std::string& out, std::size_t n, const TConnObj::Fields& record);

// One line as the meter writes it to the log, as record 1.
Json LogLineJson(std::string_view line);

// The log window's totals with every row selected, as numbers beside their texts.
Json LogTotalsJson(const LogTotalsAccumulator& sum, const LogTotals& texts, int decimals,
                   double vatRate);

}  // namespace orva::cli
