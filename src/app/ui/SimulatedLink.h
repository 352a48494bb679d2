// A dial-up link held in memory, for trying the program without a modem: `orva32 --simulate
// NAME` offers the entry NAME, "Connetti" brings its link up, "Sconnetti" takes it down, and
// traffic moves its byte counters while it is up.
#pragma once

#include <QObject>
#include <QTimer>
#include <string>

#include "platform/Dialup.h"
#include "platform/Process.h"
#include "platform/SysMon.h"
#include "simulation/Simulated.h"

namespace orva {

class TSimulatedLink final : public QObject, public Launcher {
 public:
  // connectNow: the link is up from the start.
  TSimulatedLink(const std::string& entry, bool connectNow);

  SimulatedDialup& Dialup() { return m_dialup; }
  SimulatedStatistics& Statistics() { return m_statistics; }
  // The program launcher: dialling the entry brings the link up; every other program starts.
  Launcher& Dialer() { return *this; }
  Status Launch(const LaunchRequest& request) override;

 private:
  void Traffic();

  std::string m_entry;
  ProcessLauncher m_programs;
  SimulatedDialup m_dialup;
  SimulatedStatistics m_statistics;
  QTimer m_traffic;
  long long m_second = 0;
};

}  // namespace orva
