// A clock and timer scheduler that move only when told: AdvanceMs fires the due timers in
// time order. Used by the tests and by the command-line tool's simulated call.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/Clock.h"

namespace orva {

class ManualClock final : public Clock, public TimerFactory {
 public:
  explicit ManualClock(TDateTime start);
  ~ManualClock() override;

  TDateTime Now() const override;
  std::uint64_t TickCount() const override { return m_tickMs; }
  std::unique_ptr<Timer> CreateTimer() override;

  // Moves the clock on by ms, firing every timer that falls due on the way, in order.
  void AdvanceMs(std::int64_t ms);
  // Sets the wall clock (as when the user changes it); the tick counter and timers go on.
  void SetNow(TDateTime now);

 private:
  class ManualTimer;
  friend class ManualTimer;
  TDateTime m_start;
  std::int64_t m_wallOffsetMs = 0;  // wall clock = start + offset
  std::uint64_t m_tickMs = 0;
  std::vector<ManualTimer*> m_timers;
};

}  // namespace orva
