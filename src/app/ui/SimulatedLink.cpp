// The simulated dial-up link.
#include "app/ui/SimulatedLink.h"

namespace orva {

TSimulatedLink::TSimulatedLink(const std::string& entry, bool connectNow) : m_entry(entry) {
  m_dialup.entries = {entry};
  if (connectNow) m_dialup.Add(entry);
  m_statistics.Set("ppp0", kBytesReceivedCounter, 0);
  m_statistics.Set("ppp0", kBytesSentCounter, 0);
  connect(&m_traffic, &QTimer::timeout, this, &TSimulatedLink::Traffic);
  m_traffic.start(1000);
}

Status TSimulatedLink::Launch(const LaunchRequest& request) {
  // The dial command of an entry is {"pon", entry}: it brings the simulated link up.
  if (request.arguments == m_dialup.DialCommand(m_entry)) {
    const auto links = m_dialup.EnumConnections();
    if (links && links->empty()) {
      m_dialup.Add(m_entry);
      return Status::Ok();
    }
    return Status::Fail("Simulazione: collegamento già attivo");
  }
  // Anything else is a program the user chose (those started at a connection, the log's
  // editor): the simulation is the way to try them, so they really start.
  return m_programs.Launch(request);
}

void TSimulatedLink::Traffic() {
  const auto links = m_dialup.EnumConnections();
  if (!links || links->empty()) return;
  // A browsing pattern: bursts of received data every few seconds, a trickle sent.
  ++m_second;
  const std::int64_t received = m_second % 5 == 0 ? 48 * 1024 : 2048 + (m_second % 3) * 700;
  const std::int64_t sent = 300 + (m_second % 4) * 120;
  for (const auto& [counter, add] :
       {std::pair{kBytesReceivedCounter, received}, std::pair{kBytesSentCounter, sent}}) {
    const auto v = m_statistics.ReadCounter("ppp0", counter).value_or(0);
    m_statistics.Set("ppp0", counter, v + add);
  }
}

}  // namespace orva
