// The meter's connection log: the log file named in the settings.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/MeterServices.h"
#include "core/Settings.h"

namespace orva {

class LogFiles final : public LogService {
 public:
  LogFiles(Settings& settings, std::string dataDir)
      : m_settings(settings), m_dataDir(std::move(dataDir)) {}
  AppendResult Append(const CallRecord& record) override;
  AppendResult SetService(const std::string& line, const std::string& service) override;

  std::vector<std::string> lines;  // every line appended, in order
  // The log file chooser, asked when no log file is set; none: the default log.
  std::function<std::optional<std::string>()> chooseLogFile;

 private:
  Settings& m_settings;
  std::string m_dataDir;
};

}  // namespace orva
