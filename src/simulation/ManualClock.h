// A clock and timer scheduler that move only when told: AdvanceMs fires the due timers in
// time order. Used by the tests and by the command-line tool's simulated call. It keeps real
// (UTC) time and shows it in the local zone of TZ, so a run across a daylight-saving change
// sees the local clock jump as a real one does.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/Clock.h"

namespace orva {

class ManualClock final : public Clock, public TimerFactory {
 public:
  // Starts at a local date-time.
  explicit ManualClock(TDateTime start);
  ~ManualClock() override;

  TDateTime Now() const override;
  std::int64_t UtcMilliseconds() const override { return m_utcMs; }
  std::uint64_t TickCount() const override { return m_tickMs; }
  std::unique_ptr<Timer> CreateTimer() override;

  // Moves the clock on by ms, firing every timer that falls due on the way, in order.
  void AdvanceMs(std::int64_t ms);
  // Sets the wall clock to a local date-time (as when the user changes it); the tick counter
  // and timers go on.
  void SetNow(TDateTime now);

 private:
  class ManualTimer;
  friend class ManualTimer;
  std::int64_t m_utcMs = 0;  // the wall clock
  std::uint64_t m_tickMs = 0;
  std::vector<ManualTimer*> m_timers;
};

}  // namespace orva
