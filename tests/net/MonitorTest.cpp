// The traffic monitor through a call: views, visited servers resolved one at a time (and only
// when the answer maps back), the DNS panel's lookups, and the files written at the call end.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "NetFakes.h"
#include "TempDir.h"
#include "core/HowUtils.h"
#include "net/Monitor.h"
#include "platform/SafeFile.h"
#include "simulation/ManualClock.h"

namespace orva {
namespace {

struct MonitorFixture : ::testing::Test {
  test::TempDir dir;
  ManualClock clock{EncodeDate(2026, 12, 8) + EncodeTime(10, 0, 0)};
  MonitorSettings settings;
  test::FakeResolver resolver;
  NetstatObjects netstat = CreateNetstatObjects(
      std::make_shared<ProcMibAgent>(test::TestDataDir() + "net/proc/listen"), 0);
  TrafficMonitor monitor{clock, settings, netstat, resolver};
  HostsPaths hosts{dir.File("hosts.mqm"), dir.File("hosts")};
};

TEST_F(MonitorFixture, ConnectionsViewText) {
  ASSERT_TRUE(netstat.connections) << netstat.error;
  const auto lines = monitor.ViewLines(kTabConnections);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "Proto Local IP        Port  Remote IP       Port  State");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], "TCP   0.0.0.0        :22    0.0.0.0        :0     LISTEN");
  EXPECT_EQ(lines[3], "TCP   10.0.0.1       :40000  10.0.0.2       :80    ESTABLISHED");
}

TEST_F(MonitorFixture, CallCollectsResolvesAndWritesFiles) {
  settings.automatedHosts = true;
  settings.recordIpList = true;
  // Between calls nothing is refreshed on the connections tab and the panel does nothing.
  EXPECT_FALSE(monitor.RefreshMonitor());
  EXPECT_TRUE(monitor.Memo.empty());
  monitor.Dns().HostBtnClick();
  EXPECT_TRUE(resolver.pending.empty());

  int mailChecks = 0, timeChecks = 0;
  monitor.StartMailCheck = [&] { ++mailChecks; };
  monitor.StartTimeCheck = [&] { ++timeChecks; };
  monitor.CallStart("10.0.0.1");
  EXPECT_EQ(mailChecks, 1);
  clock.AdvanceMs(1000);
  EXPECT_FALSE(monitor.MeterTick());
  EXPECT_TRUE(monitor.Memo.empty());  // not 2 seconds yet
  clock.AdvanceMs(1000);
  EXPECT_FALSE(monitor.MeterTick());
  EXPECT_EQ(monitor.Memo.size(), 4u);
  EXPECT_EQ(timeChecks, 1);
  // 10.0.0.2 is collected; the listening row's 0.0.0.0 is not. Its reverse lookup runs.
  ASSERT_EQ(monitor.Visited().Count(), 1);
  ASSERT_EQ(resolver.pending.size(), 1u);
  EXPECT_FALSE(resolver.pending[0].forward);
  EXPECT_EQ(resolver.pending[0].what, "10.0.0.2");
  EXPECT_EQ(monitor.Dns().HostEdit, "10.0.0.2");
  EXPECT_EQ(monitor.Dns().DisplayMemo, std::vector<std::string>{"Resolving host '10.0.0.2'"});
  // Seen again: not added twice, first-seen kept; no second lookup while one runs.
  clock.AdvanceMs(2000);
  monitor.MeterTick();
  EXPECT_EQ(monitor.Visited().Count(), 1);
  EXPECT_EQ(FormatDateTime("hh.nn.ss", monitor.Visited()[0].host.firstSeen), "10.00.02");
  EXPECT_EQ(resolver.pending.size(), 1u);

  // The answer is checked by a forward lookup before it becomes the name.
  resolver.Complete(test::FakeResolver::Name("www.example.com"));
  ASSERT_EQ(resolver.pending.size(), 1u);
  EXPECT_TRUE(resolver.pending[0].forward);
  EXPECT_EQ(monitor.Visited()[0].host.hostName, "?");
  resolver.Complete(test::FakeResolver::Addresses({"10.0.0.9", "10.0.0.2"}));
  EXPECT_EQ(monitor.Visited()[0].host.hostName, "www.example.com");
  EXPECT_EQ(monitor.Dns().DisplayMemo,
            std::vector<std::string>{
                "Resolved Host '10.0.0.2' is www.example.com  at 12-08-2026 10.00.04"});
  EXPECT_TRUE(monitor.State().idle);
  EXPECT_EQ(monitor.State().nextIndex, 1);
  monitor.TabIndex = kTabVisited;
  monitor.RefreshMonitor();
  EXPECT_EQ(monitor.Memo,
            std::vector<std::string>{"10.0.0.2          www.example.com                    "
                                     "08-12-2026 10.00.02"});

  const TDateTime end = EncodeDate(2026, 12, 8) + EncodeTime(10, 5, 7);
  ASSERT_TRUE(monitor.CallEnd(end, hosts, dir.path()));
  EXPECT_EQ(test::ReadBytes(hosts.staging), "10.0.0.2 www.example.com #12-08-2026 10.00.02\r\n");
  EXPECT_EQ(test::ReadBytes(hosts.system), "10.0.0.2 www.example.com #12-08-2026 10.00.02\n");
  EXPECT_EQ(test::ReadBytes(dir.path() + "Urls/08-12-2026 10-05-07.mqm"),
            "10.0.0.2 www.example.com #08-12-2026 10.00.02\r\n");
  EXPECT_FALSE(monitor.State().idle);
  EXPECT_TRUE(monitor.Memo.empty());

  // The log window finds the file, also for a call that crossed midnight.
  auto found = FindVisitedServersFile(dir.path(), EncodeDate(2026, 12, 8), EncodeTime(9, 0, 0),
                                      EncodeTime(10, 5, 7));
  ASSERT_TRUE(found);
  EXPECT_EQ(found->caption, "Elenco indirizzi server visitati il 08/12/26\n alle ore 09.00.00");
  EXPECT_EQ(LoadUrlFile(found->path).size(), 1u);
  EXPECT_FALSE(FindVisitedServersFile(dir.path(), EncodeDate(2026, 12, 8), EncodeTime(9, 0, 0),
                                      EncodeTime(10, 5, 8)));
  test::WriteBytes(dir.path() + "Urls/09-12-2026 00-10-00.mqm", "x");
  EXPECT_TRUE(FindVisitedServersFile(dir.path(), EncodeDate(2026, 12, 8), EncodeTime(23, 50, 0),
                                     EncodeTime(0, 10, 0)));
}

TEST_F(MonitorFixture, SpoofedReverseAnswersStayUnresolved) {
  settings.automatedHosts = true;
  const LookupResult answers[] = {
      test::FakeResolver::Name("10.0.0.2"), test::FakeResolver::Name("victim.example 10.0.0.2"),
      test::FakeResolver::Name("bank.example\n10.6.6.6 x"),
      test::FakeResolver::Name("bank.example"), test::FakeResolver::Failed()};
  for (std::size_t i = 0; i < std::size(answers); ++i) {
    monitor.CallStart("10.0.0.1");
    clock.AdvanceMs(2000);
    monitor.MeterTick();
    ASSERT_EQ(resolver.pending.size(), 1u) << i;
    resolver.Complete(answers[i]);
    // The name that does not map back gets its forward lookup, which says otherwise.
    if (!resolver.pending.empty()) resolver.Complete(test::FakeResolver::Addresses({"10.6.6.6"}));
    EXPECT_EQ(monitor.Visited()[0].host.hostName, "?") << i;
    EXPECT_EQ(monitor.Dns().DisplayMemo, std::vector<std::string>{"Unknown Host '10.0.0.2'"});
    EXPECT_TRUE(monitor.State().idle);
    ASSERT_TRUE(monitor.CallEnd(clock.Now(), hosts, dir.path()));
    EXPECT_EQ(test::ReadBytes(hosts.system), "") << i;  // nothing resolved: nothing merged
    EXPECT_EQ(test::ReadBytes(hosts.staging), "");
  }
}

TEST_F(MonitorFixture, ACallWithoutTrafficWritesNothing) {
  settings.automatedHosts = true;
  settings.recordIpList = true;
  test::WriteBytes(hosts.staging, "previous");
  monitor.CallStart("10.0.0.1");
  ASSERT_TRUE(monitor.CallEnd(clock.Now(), hosts, dir.path()));
  EXPECT_EQ(test::ReadBytes(hosts.staging), "previous");
  const std::filesystem::path urls = dir.path() + "Urls";
  EXPECT_TRUE(!std::filesystem::exists(urls) || std::filesystem::is_empty(urls));
}

TEST_F(MonitorFixture, ManualAndAutomaticLookupsOverlap) {
  monitor.CallStart("10.0.0.1");
  auto& dns = monitor.Dns();
  dns.AddrEdit = "  www.example.org ";
  dns.AddrBtnClick();
  EXPECT_EQ(dns.AddrEdit, "www.example.org");
  EXPECT_FALSE(dns.HostBtnEnabled);
  EXPECT_TRUE(dns.CancelButtonEnabled);
  clock.AdvanceMs(2000);
  monitor.MeterTick();  // the automatic lookup starts while the manual one runs
  ASSERT_EQ(resolver.pending.size(), 2u);
  const int manual = resolver.pending[0].id;
  resolver.Complete(test::FakeResolver::Failed(), resolver.pending[1].id);
  EXPECT_EQ(dns.DisplayMemo, std::vector<std::string>{"Unknown Host '10.0.0.2'"});
  EXPECT_TRUE(dns.CancelButtonEnabled);  // the manual lookup still runs
  resolver.Complete(test::FakeResolver::Addresses({"93.184.216.34"}), manual);
  EXPECT_EQ(dns.DisplayMemo.back(), "Host 'www.example.org' is 93.184.216.34");
  EXPECT_TRUE(dns.HostBtnEnabled);
  EXPECT_FALSE(dns.CancelButtonEnabled);

  // Cancel ends the lookup as failed, so the buttons come back.
  dns.HostEdit = "10.1.1.1";
  dns.HostBtnClick();
  dns.CancelButtonClick();
  EXPECT_EQ(resolver.aborted.size(), 1u);
  EXPECT_EQ(dns.DisplayMemo, std::vector<std::string>{"Unknown Host '10.1.1.1'"});
  EXPECT_TRUE(dns.HostBtnEnabled);
  EXPECT_TRUE(DnsPanel::HostEditKeyPress('7'));
  EXPECT_TRUE(DnsPanel::HostEditKeyPress('.'));
  EXPECT_FALSE(DnsPanel::HostEditKeyPress('a'));
}

// IPv6 servers are shown, collected, confirmed and written like IPv4 ones; the dual-stack
// socket's IPv4 peer is an IPv4 server.
TEST_F(MonitorFixture, Ipv6ServersGoAllTheWayToTheHostsFile) {
  NetstatObjects six = CreateNetstatObjects(
      std::make_shared<ProcMibAgent>(test::TestDataDir() + "net/proc/ipv6"), 0);
  TrafficMonitor m{clock, settings, six, resolver};
  settings.automatedHosts = true;
  settings.recordIpList = true;
  const auto view = m.ViewLines(kTabConnections);
  ASSERT_EQ(view.size(), 8u);
  // The address columns widen to the longest IPv6 address and one blank.
  EXPECT_EQ(view[0], "Proto Local IP           Port  Remote IP          Port  State");
  EXPECT_EQ(view[4], "TCP   10.0.0.1          :40002  93.184.216.34     :80    ESTABLISHED");
  EXPECT_EQ(view[5], "TCP   2001:db8::5       :40001  2001:db8::1:2:3:4 :443   ESTABLISHED");
  EXPECT_EQ(view[6], "TCP   ::                :22    ::                :0     LISTEN");

  m.CallStart("10.0.0.1");
  clock.AdvanceMs(2000);
  m.MeterTick();
  ASSERT_EQ(m.Visited().Count(), 3);  // the unspecified "::" of listeners is no server
  EXPECT_EQ(m.Visited()[1].address, "93.184.216.34");
  EXPECT_EQ(m.Visited()[2].address, "2001:db8::1:2:3:4");
  for (int i = 0; i < 2; ++i) {
    ASSERT_EQ(resolver.pending.size(), 1u);
    resolver.Complete(test::FakeResolver::Failed());
    clock.AdvanceMs(2000);
    m.MeterTick();
  }
  ASSERT_EQ(resolver.pending.size(), 1u);
  EXPECT_EQ(resolver.pending[0].what, "2001:db8::1:2:3:4");
  resolver.Complete(test::FakeResolver::Name("v6.example.net"));
  // The forward answer spells the address its own way: it is the same address.
  resolver.Complete(test::FakeResolver::Addresses({"192.0.2.1", "2001:DB8:0:0:1:2:3:4"}));
  EXPECT_EQ(m.Visited()[2].host.hostName, "v6.example.net");
  m.TabIndex = kTabVisited;
  m.RefreshMonitor();
  ASSERT_EQ(m.Memo.size(), 3u);
  EXPECT_EQ(m.Memo[0].substr(0, 18 + 14), "2001:db8::1:2:3:4 v6.example.net");

  test::WriteBytes(hosts.system, "127.0.0.1 localhost\n::1 ip6-localhost\n");
  const TDateTime end = EncodeDate(2026, 12, 8) + EncodeTime(10, 5, 7);
  ASSERT_TRUE(m.CallEnd(end, hosts, dir.path()));
  EXPECT_EQ(test::ReadBytes(hosts.staging),
            "2001:db8::1:2:3:4 v6.example.net #12-08-2026 10.00.02\r\n");
  EXPECT_EQ(test::ReadBytes(hosts.system),
            "127.0.0.1 localhost\n::1 ip6-localhost\n"
            "2001:db8::1:2:3:4 v6.example.net #12-08-2026 10.00.02\n");
  EXPECT_EQ(test::ReadBytes(dir.path() + "Urls/08-12-2026 10-05-07.mqm"),
            "2001:db8::1:2:3:4 v6.example.net #08-12-2026 10.00.02\r\n");
  // A long IPv6 address is never cut in a hosts line.
  EXPECT_EQ(FormatHostsLine({"2001:db8:1234:5678:9abc:def0:1234:5678", "h.example", "t"}),
            "2001:db8:1234:5678:9abc:def0:1234:5678 h.example #t");
}

// The monitor's refresh during a call shows the connections and collects the visited servers
// from one read of the kernel's table: on a busy machine each read costs milliseconds on the
// window's thread.
TEST_F(MonitorFixture, ARefreshReadsTheConnectionTableOnce) {
  std::map<std::string, int> reads;
  const std::string root = test::TestDataDir() + "net/proc/listen";
  NetstatObjects counted =
      CreateNetstatObjects(std::make_shared<ProcMibAgent>(root,
                                                          [&reads](const std::string& path) {
                                                            ++reads[FileNameOf(path)];
                                                            return ReadFileBytes(path);
                                                          }),
                           0);
  ASSERT_TRUE(counted.connections) << counted.error;
  TrafficMonitor m{clock, settings, counted, resolver};
  m.CallStart("10.0.0.1");
  clock.AdvanceMs(2000);
  reads.clear();
  EXPECT_FALSE(m.MeterTick());
  EXPECT_EQ(reads["tcp"], 1);
  EXPECT_EQ(m.Memo.size(), 4u);
  EXPECT_EQ(m.Visited().Count(), 1);
}

TEST(UrlFile, RowsSkipShortLinesAndSortByName) {
  const auto rows = ParseUrlFile({"1.2.3.4 zeta.example #t1", "ab#c", "5.6.7.8 Alpha.example # t2 ",
                                  "no hash here", "9.9.9.9 beta #t3"});
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].hostName, "Alpha.example");
  EXPECT_EQ(rows[0].timeText, "t2");
  EXPECT_EQ(rows[1].hostName, "beta");
  EXPECT_EQ(rows[2].address, "1.2.3.4");
}

}  // namespace
}  // namespace orva
