// The /proc parsers and the agent's walk order, and the counter groups read through it.
#include <gtest/gtest.h>

#include "TempDir.h"
#include "net/Monitor.h"
#include "net/SNMP.h"
#include "platform/SafeFile.h"

namespace orva {
namespace {

std::string Fixture(const std::string& name) {
  return test::TestDataDir() + "net/proc/" + name;
}

TEST(ProcParsers, ColumnsFoundByName) {
  // A kernel that adds a column in front and prints the queue pair as one field.
  const std::string text =
      "  sl  extra local_address rem_address st tx_queue rx_queue tr tm->when uid\n"
      "   0: x 0100007F:0016 0200007F:ABCD 01 00000000:00000000 00:00000000 0\n"
      "   1: x 0100007F:0017\n"                         // cut short
      "   2: x 0100007F:0018 0200007F:ABCD ZZ 0 0 0\n"  // bad state
      "   3: x 00000000000000000000000001000000:0016 "
      "00000000000000000000000000000000:0000 0A 0 0 0\n"  // IPv6 ::1 listening
      "   4: x 0100007F:10000 0200007F:0001 01 0 0 0\n"   // port out of range
      "   5: x 0A00000B:0050 00000000:0000 0A 0 0 0\n"
      // A dual-stack socket talking IPv4: ::ffff:127.0.0.1 -> ::ffff:10.0.0.2
      "   6: x 0000000000000000FFFF00000100007F:1F90 0000000000000000FFFF00000200000A:0050 01 0\n"
      // Ends of two kinds in one row, and a word that is no hex: skipped.
      "   7: x 0000000000000000FFFF00000100007F:1F90 0A000002:0050 01 0\n"
      "   8: x 000000000000000000000000010000ZZ:0016 00000000:0000 0A 0\n";
  const auto rows = ParseProcSocketTable(text, true);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].localAddress, (std::array<std::uint8_t, 4>{127, 0, 0, 1}));
  EXPECT_EQ(rows[0].localPort, 22u);
  EXPECT_EQ(rows[0].remoteAddress, (std::array<std::uint8_t, 4>{127, 0, 0, 2}));
  EXPECT_EQ(rows[0].remotePort, 0xABCDu);
  EXPECT_EQ(rows[0].state, 5);
  EXPECT_FALSE(rows[0].ipv6);
  EXPECT_TRUE(rows[1].ipv6);
  EXPECT_EQ(rows[1].localAddress6[15], 1);
  EXPECT_EQ(rows[1].localPort, 22u);
  EXPECT_EQ(rows[1].state, 2);
  EXPECT_EQ(rows[2].localAddress, (std::array<std::uint8_t, 4>{11, 0, 0, 10}));
  EXPECT_EQ(rows[2].state, 2);
  EXPECT_FALSE(rows[3].ipv6);
  EXPECT_EQ(rows[3].localAddress, (std::array<std::uint8_t, 4>{127, 0, 0, 1}));
  EXPECT_EQ(rows[3].localPort, 8080u);
  EXPECT_EQ(rows[3].remoteAddress, (std::array<std::uint8_t, 4>{10, 0, 0, 2}));
  EXPECT_EQ(rows[3].remotePort, 80u);
  EXPECT_TRUE(ParseProcSocketTable("", true).empty());
  EXPECT_TRUE(ParseProcSocketTable("no header here\n 0: 0100007F:0016", true).empty());

  const auto snmp = ParseProcSnmp(
      "Ip: Forwarding DefaultTTL\nIp: 2 64\nTcp: MaxConn InSegs\nTcp: -1 99999999999\n"
      "Udp: InDatagrams NoPorts\nUdp: 5\nBad line\n");
  EXPECT_EQ(snmp.at("Ip").at("DefaultTTL"), 64);
  EXPECT_EQ(snmp.at("Tcp").at("MaxConn"), -1);
  EXPECT_EQ(snmp.at("Tcp").at("InSegs"), 99999999999);
  EXPECT_EQ(snmp.at("Udp").count("NoPorts"), 0u);  // a value line cut short
}

TEST(ProcMibAgent, WalksTheWholeViewInOrder) {
  ProcMibAgent agent(Fixture("listen"));
  ASSERT_TRUE(agent.SnmpExtensionInit(0));
  SnmpVarBind b;
  b.name = {1, 3, 6, 1, 2, 1};
  std::int32_t s, i;
  std::vector<Oid> names;
  while (true) {
    ASSERT_TRUE(agent.SnmpExtensionQuery(kSnmpGetNext, b, s, i));
    if (b.type == kAsnNull) break;
    if (!names.empty()) {
      ASSERT_LT(CompareOid(names.back(), b.name), 0) << OidToText(b.name);
    }
    names.push_back(b.name);
    ASSERT_LT(names.size(), 1000u);
  }
  // 19 IP + 26 ICMP + 14 TCP scalars, 2 TCP rows x 5 columns, 4 UDP scalars, no UDP rows.
  EXPECT_EQ(names.size(), 19u + 26u + 14u + 10u + 4u);
  EXPECT_EQ(OidToText(names.front()), "1.3.6.1.2.1.4.1.0");
  EXPECT_EQ(OidToText(names.back()), "1.3.6.1.2.1.7.4.0");
  // Only GetNext is served.
  EXPECT_FALSE(agent.SnmpExtensionQuery(0xA0, b, s, i));

  // With IPv6 tables: the dual-stack row joins the IPv4 table, the IPv6 rows come in their own
  // tables, each in its place in the order of names.
  ProcMibAgent six(Fixture("ipv6"));
  b.name = {1, 3, 6, 1, 2, 1};
  names.clear();
  while (true) {
    ASSERT_TRUE(six.SnmpExtensionQuery(kSnmpGetNext, b, s, i));
    if (b.type == kAsnNull) break;
    if (!names.empty()) {
      ASSERT_LT(CompareOid(names.back(), b.name), 0) << OidToText(b.name);
    }
    names.push_back(b.name);
    ASSERT_LT(names.size(), 1000u);
  }
  // 3 IPv4 TCP rows x 5, one IPv6 connection, one IPv6 listener, one IPv6 UDP endpoint.
  EXPECT_EQ(names.size(), 19u + 26u + 14u + 15u + 1u + 1u + 4u + 1u);
  EXPECT_EQ(OidToText(names.back()).rfind("1.3.6.1.2.1.7.7.1.8.2.16.0.", 0), 0u);
}

TEST(Counters, GroupsReadTheirOwnValues) {
  auto agent = std::make_shared<ProcMibAgent>(Fixture("empty"));
  TIpStats ip(agent, 0);
  TIcmpStats icmp(agent, 0);
  TTCPStats tcp(agent, 0);
  TUdpStats udp(agent, 0);
  EXPECT_EQ(ip.Count(), 18);
  EXPECT_EQ(icmp.Count(), 26);
  EXPECT_EQ(tcp.Count(), 14);
  EXPECT_EQ(udp.Count(), 4);
  EXPECT_EQ(OidToText(ip.Counter(0)->ObjectName()), "1.3.6.1.2.1.4.2.1.1");
  EXPECT_EQ(ip.Counter(0)->Value(), 64);
  EXPECT_EQ(ip.Counter(11)->Name(), "ipReasmTimeout");
  EXPECT_EQ(ip.Counter(11)->Value(), 30);
  EXPECT_EQ(icmp.Counter(2)->Value(), 103);  // InDestUnreachs, past the kernel's InCsumErrors
  EXPECT_EQ(icmp.Counter(15)->Value(), 116);
  EXPECT_EQ(icmp.Counter(25)->Value(), 126);
  EXPECT_EQ(tcp.Counter(3)->Value(), -1);           // tcpMaxConn: INTEGER
  EXPECT_EQ(tcp.Counter(9)->Value(), 5);            // a 64-bit kernel counter wraps as Counter32
  EXPECT_EQ(tcp.Counter(12)->Name(), "tcpInErrs");  // after the connection table
  EXPECT_EQ(tcp.Counter(13)->Value(), 8);
  EXPECT_EQ(udp.Counter(3)->Value(), 44);
  EXPECT_EQ(udp.Counter(4), nullptr);

  const auto lines = CounterViewLines(udp);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "udpInDatagrams:  \t41");
  EXPECT_EQ(lines[3], "udpOutDatagrams: \t44");  // 15 characters: no spaces
  EXPECT_EQ(CounterViewLines(tcp)[4], "tcpActiveOpens:  \t13");
  EXPECT_EQ(CounterViewLines(ip)[7], "ipInDelivers:    \t2000");
}

TEST(Counters, AMissingCounterStopsTheViewThere) {
  test::TempDir dir;
  MakeDirectories(dir.path() + "net");
  test::WriteBytes(dir.path() + "net/tcp", "  sl  local_address rem_address   st\n");
  test::WriteBytes(dir.path() + "net/snmp", "Udp: InDatagrams NoPorts OutDatagrams\nUdp: 1 2 4\n");
  auto agent = std::make_shared<ProcMibAgent>(dir.path());
  TUdpStats udp(agent, 0);
  EXPECT_EQ(CounterViewLines(udp).size(), 2u);  // udpInErrors is missing
  EXPECT_THROW(udp.Counter(2)->Value(), ENetstatError);
  test::WriteBytes(dir.path() + "net/snmp", "garbage");
  EXPECT_TRUE(CounterViewLines(udp).empty());  // read on every call
}

}  // namespace
}  // namespace orva
