// The export of a whole log file to CSV, streamed: read a block at a time and written a piece
// at a time, so a log of any size is exported in a few megabytes.
#pragma once

#include <cstddef>
#include <string>

#include "core/Currency.h"
#include "platform/Result.h"

namespace orva {

// Writes every record of the log at `logPath` to `csvPath` (crash-safely, Windows-1252, CR LF)
// as the log window exports its list, the costs in `currency`; the number of records written
// goes to `rows`. A log that cannot be read leaves `csvPath` as it was.
Status ExportLogFileCsv(const std::string& logPath, const std::string& csvPath, std::size_t& rows,
                        Currency currency = Currency::Lire);

}  // namespace orva
