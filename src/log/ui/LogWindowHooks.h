// LogWindowHooks: what the log window asks of the rest of the program, given when it opens.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "log/Logform.h"
#include "tariff/Tariffe.h"

namespace orva {

// What the log window asks of the rest of the program.
struct LogWindowHooks {
  // Visited servers of a logged call: whether a file exists, show it, delete it.
  std::function<bool(const TConnObj&)> hasVisitedServers;
  std::function<void(const TConnObj&)> showVisitedServers;
  std::function<void(const TConnObj&)> clearVisitedServers;
  // The manual entry: a record to fill (new or a copy of the edited one); true on OK.
  std::function<bool(TConnObj& record, bool isNew)> editRecord;
  // Where a report goes when no printer is installed: a PDF file chosen by the user.
  std::function<std::optional<std::string>()> choosePdfFile;
  // The tariffs "Confronta tariffe" prices the calls with: the program's catalogue.
  std::function<TariffCatalogue()> tariffCatalogue;
  // What the program shares with every log window it opens: the run's copied rows.
  std::shared_ptr<LogClipboard> clipboard;
};

}  // namespace orva
