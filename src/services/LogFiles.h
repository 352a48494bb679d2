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
  explicit LogFiles(Settings& settings) : m_settings(settings) {}
  AppendResult Append(const CallRecord& record) override;
  AppendResult SetService(const std::string& line, const std::string& service) override;

  std::vector<std::string> lines;  // every line appended, in order
  // The log file chooser, asked when no log file is set; none: the default log.
  std::function<std::optional<std::string>()> chooseLogFile;

 private:
  Settings& m_settings;
};

}  // namespace orva
