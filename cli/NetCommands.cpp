// orva32cli netstat, hosts and dns: the traffic monitor's views, the automatic hosts merge and
// the DNS panel's lookups, with the texts the panels show.
#include <cstdio>
#include <map>

#include "Args.h"
#include "Commands.h"
#include "JsonOut.h"
#include "core/HowUtils.h"
#include "net/Hosts.h"
#include "net/MibAgent.h"
#include "net/Monitor.h"
#include "net/SNMP.h"
#include "platform/Clock.h"

#if __has_include(<QCoreApplication>) && __has_include("platform/qt/QtResolver.h")
#define ORVA_CLI_RESOLVER 1
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <memory>

#include "platform/qt/QtResolver.h"
#endif

namespace orva::cli {

namespace {

// A resolver for the commands that never look anything up.
class NoResolver final : public Resolver {
 public:
  int LookupName(const std::string&, Callback) override { return 0; }
  int LookupAddress(const std::string&, Callback) override { return 0; }
  void Abort(int) override {}
};

void PrintLines(const std::vector<std::string>& lines, bool json) {
  if (json) {
    PrintJson(Json(lines));
    return;
  }
  for (const auto& l : lines) std::printf("%s\n", l.c_str());
}

// For scripts: a protocol's counters as {"name", "value"} objects, from one reading of the
// kernel's counters; like the window, the list stops at the first counter that cannot be read.
Json CountersJson(const TCounterList& counters) {
  const MibPicture picture(counters.Agent());
  Json rows = Json::array();
  for (int i = 0; i < counters.Count(); ++i) {
    const TNetstatCounterObject* c = counters.Counter(i);
    try {
      rows.push_back({{"name", c->Name()}, {"value", c->Value()}});
    } catch (const ENetstatError&) {
      break;
    }
  }
  return rows;
}

const TCounterList* CounterTab(const NetstatObjects& netstat, int tab) {
  switch (tab) {
    case kTabTcp:
      return netstat.tcp.get();
    case kTabUdp:
      return netstat.udp.get();
    case kTabIp:
      return netstat.ip.get();
    case kTabIcmp:
      return netstat.icmp.get();
    default:
      return nullptr;
  }
}

}  // namespace

int RunNetstat(const std::vector<std::string>& words) {
  Args args(words, {});
  args.Allow({"view", "proc"});
  const Context ctx = MakeContext(words);
  static const std::map<std::string, int> views = {{"monitor", kTabConnections},
                                                   {"tcp", kTabTcp},
                                                   {"udp", kTabUdp},
                                                   {"ip", kTabIp},
                                                   {"icmp", kTabIcmp}};
  const std::string view = args.Get("view").value_or("monitor");
  const auto it = views.find(view);
  if (it == views.end()) throw UsageError("netstat: --view monitor|tcp|udp|ip|icmp");
  SystemClock clock;
  NetstatObjects netstat = CreateNetstatObjects(
      std::make_shared<ProcMibAgent>(args.Get("proc").value_or("/proc")), clock.TickCount());
  if (!netstat.connections) {
    std::fprintf(stderr, "orva32cli: %s\n", netstat.error.c_str());
    return 1;
  }
  if (ctx.json && it->second == kTabConnections) {
    // For scripts: one object per row of the connection table.
    TDravikIpConnectionList& list = *netstat.connections;
    try {
      list.Refresh();
    } catch (const EConnListError& e) {
      std::fprintf(stderr, "orva32cli: %s\n", e.what());
      return 1;
    }
    Json rows = Json::array();
    for (int i = 0; i < list.Count(); ++i) {
      const TIpConnInfo& r = *list.Item(i);
      rows.push_back({{"proto", r.protocol},
                      {"local", r.LocalAddressText()},
                      {"localPort", r.LocalPort()},
                      {"remote", r.RemoteAddressText()},
                      {"remotePort", r.RemotePort()},
                      {"state", r.StateName()},
                      {"ipv6", r.ipv6}});
    }
    PrintJson(rows);
    return 0;
  }
  if (ctx.json) {
    if (const TCounterList* counters = CounterTab(netstat, it->second)) {
      PrintJson(CountersJson(*counters));
      return 0;
    }
  }
  MonitorSettings settings;
  NoResolver resolver;
  TrafficMonitor monitor(clock, settings, netstat, resolver);
  PrintLines(monitor.ViewLines(it->second), ctx.json);
  return 0;
}

int RunHosts(const std::vector<std::string>& words) {
  Args args(words, {});
  args.Allow({"staging", "system"});
  const Context ctx = MakeContext(words, DataAccess::Write);
  if (args.Word(0, "hosts merge") != "merge") throw UsageError("hosts: merge");
  HostsPaths paths = HostsPathsIn(ctx.dataDir);
  if (auto s = args.Get("staging")) paths.staging = *s;
  if (auto s = args.Get("system")) paths.system = *s;
  const Status st = MergeStagedHosts(paths);
  if (ctx.json) {
    Json j = {{"ok", st.ok}, {"staging", paths.staging}, {"system", paths.system}};
    if (!st.ok) j["error"] = st.error;
    PrintJson(j);
  } else if (!st.ok) {
    std::fprintf(stderr, "orva32cli: %s\n", st.error.c_str());
  }
  return st.ok ? 0 : 1;
}

int RunDns(const std::vector<std::string>& words) {
  Args args(words, {});
  args.Allow({"timeout"});
  const std::string kind = args.Word(0, "dns reverse|forward");
  const std::string what = args.Word(1, kind == "reverse" ? "ADDRESS" : "NAME");
  if (kind != "reverse" && kind != "forward")
    throw UsageError("dns: reverse ADDRESS | forward NAME");
  const Context ctx = MakeContext(words);
#ifdef ORVA_CLI_RESOLVER
  std::unique_ptr<QCoreApplication> app;
  if (!QCoreApplication::instance()) {
    static int argc = 1;
    static char name[] = "orva32cli";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QCoreApplication>(argc, argv);
  }
  SystemClock clock;
  QtResolver resolver;
  VisitedList visited;
  ResolverState state;
  DnsPanel panel(resolver, clock, visited, state);
  bool done = false, ok = false;
  panel.OnLookupDone = [&](int, bool success) {
    done = true;
    ok = success;
  };
  if (kind == "reverse") {
    panel.HostEdit = what;
    panel.StartManualLookup(DnsPanel::kAddressToName);
  } else {
    panel.AddrEdit = what;
    panel.StartManualLookup(DnsPanel::kNameToAddress);
  }
  const long long limit = args.GetInteger("timeout").value_or(20) * 1000;
  QElapsedTimer t;
  t.start();
  QTimer wake;
  wake.start(50);
  while (!done && t.elapsed() < limit)
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  if (!done) panel.CancelButtonClick();
  PrintLines(panel.DisplayMemo, ctx.json);
  return ok ? 0 : 1;
#else
  (void)ctx;
  (void)what;
  return NotYetAvailable("dns");
#endif
}

}  // namespace orva::cli
