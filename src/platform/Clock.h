// Time never comes from the system directly: logic asks a Clock and schedules through Timers,
// so tests (and the simulated call) run hours of metering on a manual clock in milliseconds.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/DateTime.h"

namespace orva {

class Clock {
 public:
  virtual ~Clock() = default;
  // The local date and time now.
  virtual TDateTime Now() const = 0;
  // The same moment as milliseconds since 1970-01-01 00:00 UTC. Spans of time are measured
  // with it: it goes on evenly when daylight saving moves the local time, and it goes back
  // only when the clock itself is set back.
  virtual std::int64_t UtcMilliseconds() const = 0;
  // Milliseconds of a steady counter (GetTickCount's role).
  virtual std::uint64_t TickCount() const = 0;
};

class SystemClock final : public Clock {
 public:
  TDateTime Now() const override;
  std::int64_t UtcMilliseconds() const override;
  std::uint64_t TickCount() const override;
};

// A repeating timer as the window toolkits have it: while enabled it fires every interval.
class Timer {
 public:
  virtual ~Timer() = default;
  virtual void SetInterval(int ms) = 0;
  virtual int Interval() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
  std::function<void()> OnTimer;
};

class TimerFactory {
 public:
  virtual ~TimerFactory() = default;
  virtual std::unique_ptr<Timer> CreateTimer() = 0;
};

}  // namespace orva
