// The meter's bill: the monthly bill files of the data directory.
#pragma once

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
  // Writes the additions kept since the last flush; the first failure stops it.
  Status Flush();

  std::vector<BillAddition> added;  // every addition, in order

 private:
  BillFiles& m_files;
  std::size_t m_flushed = 0;
};

}  // namespace orva
