// The traffic monitor panel (MPanel6, "TCP/UDP monitor"): the text of its six views, the
// collection of the servers visited during a call, their resolution one at a time, and the
// call-start and call-end steps that write the visited-servers files.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "net/Dns.h"
#include "net/Hosts.h"
#include "net/SNMP.h"
#include "net/Url.h"
#include "platform/Clock.h"

namespace orva {

// The tabs of the panel, in order.
enum MonitorTab { kTabConnections = 0, kTabVisited, kTabTcp, kTabUdp, kTabIp, kTabIcmp };
extern const char* const kMonitorTabCaptions[6];

// The settings the monitor follows (read from the program's settings by the main window).
struct MonitorSettings {
  bool tcpMonitoring = true;     // "TCP monitoring"
  bool resolveAddresses = true;  // "Resolve IP addresses"
  bool automatedHosts = false;   // "Automated Hosts management"
  bool recordIpList = false;     // "Record IP list"
};

// The text lines of a view, as the panel's Memo shows them. A failing read leaves the lines
// written so far.
// The connection view reads the table afresh, unless `read` says how the caller's own read of
// it just went.
std::vector<std::string> ConnectionsViewLines(TDravikIpConnectionList& list,
                                              std::optional<bool> read = std::nullopt);
std::vector<std::string> VisitedViewLines(const VisitedList& visited);
std::vector<std::string> CounterViewLines(const TCounterList& counters);
// "%-5s %-15s:%-4d  %-15s:%-4d  %s" of one row; the address columns widen for IPv6 rows.
std::string ConnectionLine(const TIpConnInfo& row, std::size_t addressWidth = 15);
// 15, or what the longest address of the rows needs (an IPv6 address one more, so that a blank
// parts it from the ":" of its port).
std::size_t AddressColumnWidth(const TDravikIpConnectionList& list);

class TrafficMonitor {
 public:
  TrafficMonitor(const Clock& clock, const MonitorSettings& settings, NetstatObjects& netstat,
                 Resolver& resolver);

  int TabIndex = kTabConnections;
  std::vector<std::string> Memo;  // the panel's text box
  DnsPanel& Dns() { return m_dns; }
  VisitedList& Visited() { return m_visited; }
  const ResolverState& State() const { return m_state; }
  bool RefreshFlag() const { return m_refreshFlag; }

  // The panel's refresh (metering timer, tab change, start-up). Returns the text of a failing
  // collection of the visited servers, which the main window shows; none otherwise.
  std::optional<std::string> RefreshMonitor();
  // The lines of a view whatever the settings and the call (the command-line tool's view).
  std::vector<std::string> ViewLines(int tab) { return ViewLines(tab, std::nullopt); }
  // The metering timer: a refresh at most every 2 seconds while a call is monitored.
  std::optional<std::string> MeterTick();
  void TabControlChange(int tab);

  // The connection has come up and its local address was read ("" when unknown).
  void CallStart(const std::string& localAddress);
  // The call has ended at `callEnd` (its last sample). Returns the first failure of writing
  // the files or merging the hosts file (a hosts file this program may not write is none).
  // `dataDir` holds the "Urls" folder of the visited-servers lists.
  Status CallEnd(TDateTime callEnd, const HostsPaths& hosts, const std::string& dataDir,
                 ProgressBox* progress = nullptr);

  // Whether this program may rewrite the system hosts file itself. When it may not, the names
  // found at call end wait in "hosts.mqm" for the privileged helper, and nothing is reported.
  std::function<bool(const std::string& path)> CanWriteSystemHosts;

  // The network time check and the mail check to start for a call.
  std::function<void()> StartTimeCheck;
  std::function<void()> StartMailCheck;
  // After Memo changed.
  std::function<void()> OnMemoChange;

 private:
  void CollectVisited();
  // `connectionsRead`: the connection table was just read (true) or failed (false).
  std::vector<std::string> ViewLines(int tab, std::optional<bool> connectionsRead);

  const Clock& m_clock;
  const MonitorSettings& m_settings;
  NetstatObjects& m_netstat;
  VisitedList m_visited;
  ResolverState m_state;
  DnsPanel m_dns;
  bool m_refreshFlag = false;
  bool m_timeCheckPending = false;
  std::uint64_t m_lastRefresh = 0;
  std::string m_localAddress;
  bool m_inCall = false;
};

}  // namespace orva
