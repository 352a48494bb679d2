// What the meter needs from the rest of the program, as narrow interfaces: the tariff
// evaluation and catalogue, the bill, the connection log, the settings it reads, and the
// network follow-ups of a call. ProgramServices binds them to the real implementations.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "core/PeriodForecast.h"
#include "core/TariffValues.h"
#include "platform/DateTime.h"
#include "platform/Dialup.h"
#include "platform/Result.h"

namespace orva {

class TariffService {
 public:
  virtual ~TariffService() = default;
  // Evaluates the tariff `index` for `moment` with the ticks and elapsed time (days) so far,
  // starting from the values in force; a failure (a bad band, an unreadable file) leaves
  // `values` to the caller.
  virtual Status Evaluate(int index, long long ticks, TDateTime elapsed, TDateTime moment,
                          TariffValues& values) = 0;
  virtual int Count() const = 0;
  virtual std::string Abbreviation(int index) const = 0;
  // The negotiation text for an entry; `select` is called with the catalogue index of every
  // matching association, in file order.
  virtual std::string FindAssociation(const std::string& entry,
                                      const std::string& currentNegotiation,
                                      const std::function<void(int)>& select) = 0;
};

class BillService {
 public:
  virtual ~BillService() = default;
  // Adds ticks at a price to the day of `day` in that month's bill file.
  virtual Status AddTicks(TDateTime day, long long ticks, double price) = 0;
  // The cost of the current bill period.
  virtual double PeriodCost() = 0;
  // That cost projected to the end of the month; none when the month has no day behind it.
  virtual std::optional<PeriodForecastCost> PeriodForecast() { return std::nullopt; }
};

// One finished call for the connection log.
struct CallRecord {
  std::string ticks;
  std::string tariff;
  std::string speed;
  std::string service;
  std::string bytesReceived;
  std::string bytesSent;
  double cost = 0;
  TDateTime end = 0;    // local
  TDateTime start = 0;  // local
  // The call's real length in seconds (it does not jump with daylight saving); negative:
  // the span from start to end.
  long long durationSeconds = -1;
};

// The outcome of an append: the line as it was (or was to be) written.
struct AppendResult {
  Status status;
  std::string line;
};

class LogService {
 public:
  virtual ~LogService() = default;
  // Appends the record to the connection log.
  virtual AppendResult Append(const CallRecord& record) = 0;
  // Sets the service of the record appended as `line` (the service chosen after the call
  // was recorded); the record's new line.
  virtual AppendResult SetService(const std::string& line, const std::string& service) = 0;
};

// The network follow-ups of a call; each does nothing when unset.
struct NetworkHooks {
  std::function<void()> callStarted;  // clear the per-call values
  // The local host name and IP address while connected (default: the link's own address).
  std::function<std::pair<std::string, std::string>(const DialupConnection&)> lookupLocal;
  std::function<void()> startTcpMonitor;
  std::function<void()> stopTcpMonitor;
  std::function<bool()> tcpMonitorActive;
  std::function<void()> refreshTcpMonitor;
  std::function<void()> clearMonitorMemo;
  std::function<void()> startMailCheck;
  // Every sample of a call: the mail check decides itself whether its period, counted from
  // the end of its last cycle, has passed. When unset the meter counts from the last start.
  std::function<void(bool callHasAddress)> mailMeteringTick;
  std::function<bool()> mailCheckRunning;
  std::function<void()> endMailState;
  std::function<void()> saveVisitedHosts;
  std::function<void()> saveVisitedServers;
};

}  // namespace orva
