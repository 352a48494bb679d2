// The manual clock and scheduler.
#include "simulation/ManualClock.h"

#include <algorithm>
#include <limits>

namespace orva {

class ManualClock::ManualTimer final : public Timer {
 public:
  explicit ManualTimer(ManualClock* owner) : m_owner(owner) {}
  ~ManualTimer() override {
    if (m_owner) std::erase(m_owner->m_timers, this);
  }
  void SetInterval(int ms) override {
    m_interval = std::max(1, ms);
    if (m_enabled) m_due = m_owner->m_tickMs + static_cast<std::uint64_t>(m_interval);
  }
  int Interval() const override { return m_interval; }
  void SetEnabled(bool enabled) override {
    if (enabled && !m_enabled) m_due = m_owner->m_tickMs + static_cast<std::uint64_t>(m_interval);
    m_enabled = enabled;
  }
  bool Enabled() const override { return m_enabled; }

  ManualClock* m_owner;
  int m_interval = 1000;
  bool m_enabled = false;
  std::uint64_t m_due = 0;
};

ManualClock::ManualClock(TDateTime start) : m_utcMs(UtcMsFromLocal(start)) {}

ManualClock::~ManualClock() {
  for (auto* t : m_timers) t->m_owner = nullptr;
}

TDateTime ManualClock::Now() const {
  return LocalFromUtcMs(m_utcMs);
}

std::unique_ptr<Timer> ManualClock::CreateTimer() {
  auto t = std::make_unique<ManualTimer>(this);
  m_timers.push_back(t.get());
  return t;
}

void ManualClock::AdvanceMs(std::int64_t ms) {
  if (ms < 0) ms = 0;
  const std::uint64_t end = m_tickMs + static_cast<std::uint64_t>(ms);
  for (;;) {
    ManualTimer* next = nullptr;
    std::uint64_t due = std::numeric_limits<std::uint64_t>::max();
    for (auto* t : m_timers)
      if (t->m_enabled && t->m_due <= end && t->m_due < due) next = t, due = t->m_due;
    if (!next) break;
    m_utcMs += static_cast<std::int64_t>(due - m_tickMs);
    m_tickMs = due;
    next->m_due = due + static_cast<std::uint64_t>(next->m_interval);
    if (next->OnTimer) next->OnTimer();
  }
  m_utcMs += static_cast<std::int64_t>(end - m_tickMs);
  m_tickMs = end;
}

void ManualClock::SetNow(TDateTime now) {
  m_utcMs = UtcMsFromLocal(now);
}

}  // namespace orva
