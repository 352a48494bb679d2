#include "services/LogFiles.h"

#include "log/LogFile.h"

namespace orva {

AppendResult LogFiles::Append(const CallRecord& r) {
  LogCall call;
  call.ticks = r.ticks;
  call.tariff = r.tariff;
  call.speed = r.speed;
  call.service = r.service;
  call.received = r.bytesReceived;
  call.sent = r.bytesSent;
  call.cost = r.cost;
  call.end = r.end;
  call.start = r.start;
  call.durationSeconds = r.durationSeconds;
  AppendOptions options;
  options.logPath = m_settings.logFileName;
  options.dataDir = m_dataDir;
  options.decimals = m_settings.decimals;
  options.chooseLogFile = chooseLogFile;
  const AppendOutcome outcome = AppendLogRecord(call, options);
  if (!outcome.logPath.empty()) m_settings.logFileName = outcome.logPath;
  if (outcome.status) lines.push_back(outcome.line);
  return {outcome.status, outcome.line};
}

AppendResult LogFiles::SetService(const std::string& line, const std::string& service) {
  auto changed = SetLogRecordService(m_settings.logFileName, line, service);
  if (!changed) return {Status::Fail(changed.error), line};
  return {Status::Ok(), *changed};
}

}  // namespace orva
