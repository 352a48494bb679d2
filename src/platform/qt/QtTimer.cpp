// Timers on the Qt event loop.
#include "platform/qt/QtTimer.h"

namespace orva {

QtTimer::QtTimer() {
  m_timer.setTimerType(Qt::CoarseTimer);
  m_timer.setInterval(1000);  // a new timer ticks once a second until told otherwise
  // The handler may disable, re-enable or even delete other timers; a copy of the callback
  // keeps it alive while it runs.
  QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
    if (!OnTimer) return;
    auto handler = OnTimer;
    handler();
  });
}

QtTimer::~QtTimer() = default;

void QtTimer::SetInterval(int ms) {
  // A window toolkit timer restarts its period when the interval changes while it runs.
  m_timer.setInterval(ms < 0 ? 0 : ms);
}

int QtTimer::Interval() const {
  return m_timer.interval();
}

void QtTimer::SetEnabled(bool enabled) {
  if (enabled == m_timer.isActive()) return;
  if (enabled)
    m_timer.start();
  else
    m_timer.stop();
}

bool QtTimer::Enabled() const {
  return m_timer.isActive();
}

std::unique_ptr<Timer> QtTimerFactory::CreateTimer() {
  return std::make_unique<QtTimer>();
}

}  // namespace orva
