// The system clock.
#include "platform/Clock.h"

#include <sys/time.h>

#include <chrono>

namespace orva {

TDateTime SystemClock::Now() const {
  timeval tv{};
  gettimeofday(&tv, nullptr);
  return FromTimeT(tv.tv_sec, static_cast<int>(tv.tv_usec / 1000));
}

std::int64_t SystemClock::UtcMilliseconds() const {
  timeval tv{};
  gettimeofday(&tv, nullptr);
  return static_cast<std::int64_t>(tv.tv_sec) * 1000 + tv.tv_usec / 1000;
}

std::uint64_t SystemClock::TickCount() const {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace orva
