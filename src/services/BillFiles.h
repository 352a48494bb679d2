// The meter's bill: the monthly bill files of the data directory.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "bill/Bolletta.h"
#include "core/MeterServices.h"
#include "core/Settings.h"
#include "platform/Clock.h"

namespace orva {

// One addition to the bill: ticks at a price on a day.
struct BillAddition {
  TDateTime day;
  long long ticks;
  double price;
};

class BillFiles final : public BillService {
 public:
  BillFiles(const Settings& settings, std::string directory, const Clock& clock)
      : m_settings(settings), m_dir(std::move(directory)), m_clock(clock) {}

  Status AddTicks(TDateTime day, long long ticks, double price) override;
  double PeriodCost() override;
  std::optional<PeriodForecastCost> PeriodForecast() override;
  BillOptions Options() const;

  std::vector<BillAddition> added;  // every successful addition, in order

 private:
  const Settings& m_settings;
  std::string m_dir;
  const Clock& m_clock;
};

// Keeps the additions of a call and writes them when asked, those of one day and price
// together: a simulated hour would otherwise spend its time flushing the bill file to disk at
// every tick. The files end as the call would have left them.
class DeferredBill final : public BillService {
 public:
  explicit DeferredBill(BillFiles& files) : m_files(files) {}
  Status AddTicks(TDateTime day, long long ticks, double price) override;
  double PeriodCost() override { return m_files.PeriodCost(); }
  std::optional<PeriodForecastCost> PeriodForecast() override { return m_files.PeriodForecast(); }
  // Writes the additions kept since the last flush. An addition the files refuse is passed
  // over, as the meter passes over one that fails; the first failure is returned.
  Status Flush();

  std::vector<BillAddition> added;  // every addition, in order

 private:
  BillFiles& m_files;
  std::size_t m_flushed = 0;
};

// The log of a call whose bill is deferred: the bill is written before the call's record, so
// a call in the log is always in the bill too, however the program ends after it.
class BillFirstLog final : public LogService {
 public:
  BillFirstLog(LogService& log, DeferredBill& bill, std::function<void(const Status&)> billFailed)
      : m_log(log), m_bill(bill), m_billFailed(std::move(billFailed)) {}
  AppendResult Append(const CallRecord& record) override;
  AppendResult SetService(const std::string& line, const std::string& service) override {
    return m_log.SetService(line, service);
  }

 private:
  LogService& m_log;
  DeferredBill& m_bill;
  std::function<void(const Status&)> m_billFailed;
};

}  // namespace orva
