// The traffic monitor: view texts, visited servers and the call steps.
#include "net/Monitor.h"

#include <algorithm>

#include "net/HostsUpkeep.h"
#include "platform/SafeFile.h"
#include "platform/TextCodec.h"

namespace orva {

namespace {

// "%-Ns": padded on the right, never cut.
std::string PadRight(std::string text, std::size_t width) {
  const std::size_t n = Utf8Length(text);
  if (n < width) text.append(width - n, ' ');
  return text;
}

// Padded or cut to exactly `width` characters.
std::string Fit(const std::string& text, std::size_t width) {
  return PadRight(Utf8Left(text, width), width);
}

}  // namespace

const char* const kMonitorTabCaptions[6] = {
    "Monitor connessioni", "Hosts/IP visitati", "TCP", "UDP", "IP", "ICMP"};

std::string ConnectionLine(const TIpConnInfo& row, std::size_t addressWidth) {
  return PadRight(row.protocol, 5) + " " + PadRight(row.LocalAddressText(), addressWidth) + ":" +
         PadRight(std::to_string(row.LocalPort()), 4) + "  " +
         PadRight(row.RemoteAddressText(), addressWidth) + ":" +
         PadRight(std::to_string(row.RemotePort()), 4) + "  " + row.StateName();
}

std::size_t AddressColumnWidth(const TDravikIpConnectionList& list) {
  // An IPv6 address gets a blank before the ":" of its port, so the two stay apart.
  std::size_t width = 15;
  for (int i = 0; i < list.Count(); ++i) {
    for (const std::string& a :
         {list.Item(i)->LocalAddressText(), list.Item(i)->RemoteAddressText()}) {
      const std::size_t need = a.size() + (a.find(':') == std::string::npos ? 0 : 1);
      width = std::max(width, need);
    }
  }
  return width;
}

std::vector<std::string> ConnectionsViewLines(TDravikIpConnectionList& list,
                                              std::optional<bool> read) {
  std::vector<std::string> lines;
  bool ok = read.value_or(true);
  if (!read) {
    try {
      list.Refresh();
    } catch (const EConnListError&) {
      ok = false;
    }
  }
  const std::size_t width = ok ? AddressColumnWidth(list) : 15;
  lines.push_back(PadRight("Proto", 5) + " " + PadRight("Local IP", width) + " " +
                  PadRight("Port", 4) + "  " + PadRight("Remote IP", width) + " " +
                  PadRight("Port", 4) + "  " + "State");
  lines.emplace_back();
  if (!ok) return lines;
  for (int i = 0; i < list.Count(); ++i) lines.push_back(ConnectionLine(*list.Item(i), width));
  return lines;
}

std::vector<std::string> VisitedViewLines(const VisitedList& visited) {
  std::vector<std::string> lines;
  // IPv6 addresses widen the address column instead of being cut.
  std::size_t width = 18;
  for (const auto& e : visited.Entries()) width = std::max(width, e.address.size() + 1);
  for (int i = visited.Count() - 1; i >= 0; --i) {
    const auto& e = visited[i];
    lines.push_back(Fit(e.address, width) + Fit(e.host.hostName, 35) +
                    FormatDateTime("dd-mm-yyyy hh.nn.ss", e.host.firstSeen));
  }
  return lines;
}

std::vector<std::string> CounterViewLines(const TCounterList& counters) {
  std::vector<std::string> lines;
  // Every counter of the tab from one reading of the kernel's counters.
  const MibPicture picture(counters.Agent());
  for (int i = 0; i < counters.Count(); ++i) {
    const TNetstatCounterObject* c = counters.Counter(i);
    std::int64_t value = 0;
    try {
      value = c->Value();
    } catch (const ENetstatError&) {
      break;  // reading stops silently at the first counter that fails
    }
    const std::size_t len = Utf8Length(c->Name());
    lines.push_back(c->Name() + ": " + std::string(len < 15 ? 15 - len : 0, ' ') + "\t" +
                    std::to_string(value));
  }
  return lines;
}

TrafficMonitor::TrafficMonitor(const Clock& clock, const MonitorSettings& settings,
                               NetstatObjects& netstat, Resolver& resolver)
    : m_clock(clock),
      m_settings(settings),
      m_netstat(netstat),
      m_dns(resolver, clock, m_visited, m_state) {}

std::vector<std::string> TrafficMonitor::ViewLines(int tab, std::optional<bool> connectionsRead) {
  switch (tab) {
    case kTabConnections:
      if (m_netstat.connections)
        return ConnectionsViewLines(*m_netstat.connections, connectionsRead);
      return {};
    case kTabVisited:
      return VisitedViewLines(m_visited);
    case kTabTcp:
      return m_netstat.tcp ? CounterViewLines(*m_netstat.tcp) : std::vector<std::string>{};
    case kTabUdp:
      return m_netstat.udp ? CounterViewLines(*m_netstat.udp) : std::vector<std::string>{};
    case kTabIp:
      return m_netstat.ip ? CounterViewLines(*m_netstat.ip) : std::vector<std::string>{};
    case kTabIcmp:
      return m_netstat.icmp ? CounterViewLines(*m_netstat.icmp) : std::vector<std::string>{};
    default:
      return {};
  }
}

void TrafficMonitor::CollectVisited() {
  auto& list = *m_netstat.connections;
  list.Refresh();  // failures go to the caller
  const TDateTime now = m_clock.Now();
  for (int i = 0; i < list.Count(); ++i) {
    if (list.Item(i)->RemoteUnspecified()) continue;  // 0.0.0.0 or ::
    const std::string remote = list.Item(i)->RemoteAddressText();
    if (m_visited.Add(remote, now) && m_state.nextIndex == -1) m_state.nextIndex = 0;
  }
}

std::optional<std::string> TrafficMonitor::RefreshMonitor() {
  if (!m_settings.tcpMonitoring) return std::nullopt;
  const bool callWithAddress = m_inCall && !m_localAddress.empty();
  if (TabIndex != kTabVisited && !callWithAddress) return std::nullopt;
  // One read of the connection table serves the visited servers and the view.
  const bool collect = m_settings.resolveAddresses && m_netstat.connections;
  std::optional<std::string> failure;
  if (collect) {
    try {
      CollectVisited();
    } catch (const EConnListError& e) {
      failure = e.what();
    }
  }
  Memo = ViewLines(TabIndex, collect ? std::optional<bool>(!failure) : std::nullopt);
  if (OnMemoChange) OnMemoChange();
  if (!collect || failure) return failure;
  if (m_state.idle && m_state.nextIndex >= 0 && m_state.nextIndex < m_visited.Count())
    m_dns.StartAutomaticLookup(m_state.nextIndex);
  if (m_timeCheckPending) {
    m_timeCheckPending = false;
    if (StartTimeCheck) StartTimeCheck();
  }
  return std::nullopt;
}

std::optional<std::string> TrafficMonitor::MeterTick() {
  if (!m_refreshFlag) return std::nullopt;
  const std::uint64_t now = m_clock.TickCount();
  if (now - m_lastRefresh < 2000) return std::nullopt;
  m_lastRefresh = now;
  return RefreshMonitor();
}

void TrafficMonitor::TabControlChange(int tab) {
  TabIndex = tab;
  RefreshMonitor();
}

void TrafficMonitor::CallStart(const std::string& localAddress) {
  m_visited.Clear();
  m_state.nextIndex = -1;
  m_refreshFlag = true;
  m_lastRefresh = m_clock.TickCount();
  m_state.idle = true;
  m_inCall = true;
  m_localAddress = localAddress;
  if (!localAddress.empty()) {
    m_timeCheckPending = true;
    if (StartMailCheck) StartMailCheck();
  }
}

Status TrafficMonitor::CallEnd(TDateTime callEnd, const HostsPaths& hosts,
                               const std::string& dataDir, ProgressBox* progress) {
  m_refreshFlag = false;
  Memo.clear();
  if (OnMemoChange) OnMemoChange();
  // No lookup runs between calls: a late answer would set the resolver idle again.
  m_dns.AbortAutomatic();
  m_state.idle = false;
  const bool hadAddress = !m_localAddress.empty();
  m_inCall = false;
  m_localAddress.clear();
  m_timeCheckPending = false;
  if (!hadAddress) return Status::Ok();
  Status result = Status::Ok();
  if (m_settings.automatedHosts) {
    Status s = StageVisitedServers(m_visited, hosts);
    const bool mayWrite =
        CanWriteSystemHosts ? CanWriteSystemHosts(hosts.system) : CanReplaceFile(hosts.system);
    if (s && m_visited.Count() > 0 && mayWrite) s = MergeStagedHosts(hosts, progress);
    if (!s) result = s;
  }
  if (m_settings.recordIpList) {
    Status s = SaveVisitedList(m_visited, UrlsFilePath(dataDir, callEnd), "dd-mm-yyyy hh.nn.ss");
    if (!s && result) result = s;
  }
  return result;
}

}  // namespace orva
