// Timers on the Qt event loop: each orva::Timer is a QTimer firing on the user-interface thread.
#pragma once

#include <QTimer>
#include <memory>

#include "platform/Clock.h"

namespace orva {

class QtTimer final : public Timer {
 public:
  QtTimer();
  ~QtTimer() override;
  void SetInterval(int ms) override;
  int Interval() const override;
  void SetEnabled(bool enabled) override;
  bool Enabled() const override;

 private:
  QTimer m_timer;
};

class QtTimerFactory final : public TimerFactory {
 public:
  std::unique_ptr<Timer> CreateTimer() override;
};

}  // namespace orva
