// The connection table over the /proc agent: fixture trees, a table that changes during the
// walk, the refresh's lock and busy rules, and the machine's own /proc.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>

#include "NetFakes.h"
#include "TempDir.h"
#include "net/Monitor.h"
#include "net/SNMP.h"
#include "platform/SafeFile.h"

namespace orva {
namespace {

std::string Fixture(const std::string& name) {
  return test::TestDataDir() + "net/proc/" + name;
}

struct Row {
  std::string proto, local;
  int localPort;
  std::string remote;
  int remotePort;
  std::string state;
  bool operator==(const Row&) const = default;
};

std::vector<Row> Rows(const TDravikIpConnectionList& list) {
  std::vector<Row> out;
  for (int i = 0; i < list.Count(); ++i) {
    const TIpConnInfo* r = list.Item(i);
    out.push_back({r->protocol, r->LocalAddressText(), r->LocalPort(), r->RemoteAddressText(),
                   r->RemotePort(), r->StateName()});
  }
  return out;
}

TEST(ConnectionList, FixtureTrees) {
  {
    TDravikIpConnectionList list(std::make_shared<ProcMibAgent>(Fixture("empty")), 0);
    list.Refresh();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Item(0), nullptr);
    EXPECT_EQ(list.Item(-1), nullptr);
  }
  {
    // No TCP rows: the state column's GetNext lands on the next TCP counter and the walk ends.
    TDravikIpConnectionList list(std::make_shared<ProcMibAgent>(Fixture("udponly")), 0);
    list.Refresh();
    EXPECT_EQ(Rows(list), (std::vector<Row>{{"UDP", "0.0.0.0", 68, "0.0.0.0", 0, "LISTEN"},
                                            {"UDP", "127.0.0.1", 53, "0.0.0.0", 0, "LISTEN"}}));
  }
  {
    // Rows come in table order (by local address); a listening row has no remote port.
    TDravikIpConnectionList list(std::make_shared<ProcMibAgent>(Fixture("listen")), 0);
    list.Refresh();
    EXPECT_EQ(Rows(list),
              (std::vector<Row>{{"TCP", "0.0.0.0", 22, "0.0.0.0", 0, "LISTEN"},
                                {"TCP", "10.0.0.1", 40000, "10.0.0.2", 80, "ESTABLISHED"}}));
    EXPECT_EQ(list.Item(0)->remotePort, 8080);  // what the table said
  }
  {
    TDravikIpConnectionList list(std::make_shared<ProcMibAgent>(Fixture("states")), 0);
    list.Refresh();
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Item(0)->StateName(), "UNKNOWN");  // kernel state 0
    EXPECT_EQ(list.Item(1)->StateName(), "UNKNOWN");  // a state the kernel added later
    EXPECT_EQ(list.Item(2)->StateName(), "TIME_WAIT");
  }
}

TEST(ConnectionList, Ipv6RowsAndDualStackRows) {
  TDravikIpConnectionList list(std::make_shared<ProcMibAgent>(Fixture("ipv6")), 0);
  list.Refresh();
  // IPv4 talk of a dual-stack socket counts as IPv4; the IPv6 rows follow each protocol's
  // IPv4 rows.
  EXPECT_EQ(Rows(list), (std::vector<Row>{
                            {"TCP", "0.0.0.0", 22, "0.0.0.0", 0, "LISTEN"},
                            {"TCP", "10.0.0.1", 40000, "10.0.0.2", 80, "ESTABLISHED"},
                            {"TCP", "10.0.0.1", 40002, "93.184.216.34", 80, "ESTABLISHED"},
                            {"TCP", "2001:db8::5", 40001, "2001:db8::1:2:3:4", 443, "ESTABLISHED"},
                            {"TCP", "::", 22, "::", 0, "LISTEN"},
                            {"UDP", "::1", 53, "::", 0, "LISTEN"},
                        }));
  EXPECT_FALSE(list.Item(2)->ipv6);
  EXPECT_TRUE(list.Item(3)->ipv6);
  EXPECT_FALSE(list.Item(3)->RemoteUnspecified());
  EXPECT_TRUE(list.Item(4)->RemoteUnspecified());
}

TEST(ConnectionList, StateNames) {
  TIpConnInfo r;
  const std::pair<int, const char*> cases[] = {
      {0, "UNKNOWN"},      {1, "CLOSED"},      {2, "LISTEN"},
      {4, "SYN_RECEIVED"}, {5, "ESTABLISHED"}, {7, "FIN_WAIT_2"},
      {12, "TCB_DISCARD"}, {13, "UNKNOWN"},    {-1, "UNKNOWN"}};
  for (auto [state, name] : cases) {
    r.state = state;
    EXPECT_EQ(r.StateName(), name) << state;
  }
  const std::uint8_t bytes[4] = {0x0A, 0x00, 0x00, 0x01};
  std::uint32_t v;
  std::memcpy(&v, bytes, 4);
  EXPECT_EQ(AddressText(v), "10.0.0.1");
}

// An agent over a fixture tree that adds or drops rows once the walk reaches `column`.
class ChangingAgent final : public MibAgent {
 public:
  ChangingAgent(std::string root, std::string newTable, std::uint32_t column)
      : m_inner(root), m_root(std::move(root)), m_newTable(std::move(newTable)), m_column(column) {}
  bool SnmpExtensionInit(std::uint64_t t) override { return m_inner.SnmpExtensionInit(t); }
  // Once the walk is inside `column`, the table changes under it.
  bool SnmpExtensionQuery(std::uint8_t type, SnmpVarBind& b, std::int32_t& s,
                          std::int32_t& i) override {
    if (!m_changed && b.name.size() > 10 && b.name[7] == 13 && b.name[9] == m_column) {
      m_changed = true;
      test::WriteBytes(m_root + "/net/tcp", m_newTable);
      m_inner.Invalidate();
    }
    return m_inner.SnmpExtensionQuery(type, b, s, i);
  }

 private:
  ProcMibAgent m_inner;
  std::string m_root, m_newTable;
  std::uint32_t m_column;
  bool m_changed = false;
};

std::string TcpTable(int rows, int firstPort) {
  std::string t =
      "  sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  "
      "timeout inode\n";
  for (int i = 0; i < rows; ++i) {
    char line[200];
    std::snprintf(line, sizeof line,
                  "%4d: 0100007F:%04X 0100007F:%04X 01 00000000:00000000 00:00000000 00000000  "
                  "   0        0 %d 1 0000000000000000 20 4 30 10 -1\n",
                  i, firstPort + i, 50000 + i, 1000 + i);
    t += line;
  }
  return t;
}

TEST(ConnectionList, TableChangingBetweenColumnsWritesOnlyInsideTheRows) {
  for (std::uint32_t column : {1u, 2u, 3u, 5u}) {
    for (int newRows : {40, 1, 0}) {
      test::TempDir dir;
      MakeDirectories(dir.path() + "net");
      test::WriteBytes(dir.path() + "net/tcp", TcpTable(3, 1000));
      test::WriteBytes(dir.path() + "net/udp", "");
      std::ifstream snmp(Fixture("empty") + "/net/snmp");
      test::WriteBytes(dir.path() + "net/snmp",
                       std::string(std::istreambuf_iterator<char>(snmp), {}));
      auto agent = std::make_shared<ChangingAgent>(dir.path(), TcpTable(newRows, 2000), column);
      TDravikIpConnectionList list(agent, 0);
      list.Refresh();
      // Rows come from the state column only; a later column never adds or overruns rows.
      const int expected = column == 1 ? 1 + newRows : 3;
      ASSERT_EQ(list.Count(), expected) << column << " " << newRows;
      for (int i = 0; i < list.Count(); ++i) EXPECT_EQ(list.Item(i)->protocol, "TCP");
      EXPECT_FALSE(list.Busy());
    }
  }
}

TEST(ConnectionList, WalkErrorsAndBusyRules) {
  using A = test::ScriptedAgent::Answer;
  {
    // A NULL before the last column is an unexpected end; the list is usable again after.
    auto agent = std::make_shared<test::ScriptedAgent>();
    agent->answers = {A{kAsnInteger, 5}, A{kAsnIpAddress}, A{kAsnNull}};
    TDravikIpConnectionList list(agent, 0);
    list.Protocols = {TIpProtocol::tcp_ip};
    int changes = 0;
    list.OnStatusChange = [&](TDravikIpConnectionList&) { ++changes; };
    try {
      list.Refresh();
      FAIL();
    } catch (const EConnListRefreshError& e) {
      EXPECT_STREQ(e.what(), "Unexpected end of query results encountered.");
    }
    EXPECT_EQ(changes, 2);
    EXPECT_FALSE(list.Busy());
    agent->answers = {A{kAsnNull}};
    EXPECT_NO_THROW(list.Refresh());
  }
  {
    auto agent = std::make_shared<test::ScriptedAgent>();
    agent->answers = {A{kAsnIpAddress}, A{kAsnIpAddress}, A{kAsnNull}};
    TDravikIpConnectionList list(agent, 0);
    list.Protocols = {TIpProtocol::udp_ip};
    EXPECT_THROW(list.Refresh(), EConnListRefreshError);
  }
  {
    auto agent = std::make_shared<test::ScriptedAgent>();
    agent->answers = {A{kAsnInteger, 13}, A{kAsnInteger, 0, {}, true}};
    TDravikIpConnectionList list(agent, 0);
    try {
      list.Refresh();
      FAIL();
    } catch (const EConnListRefreshError& e) {
      EXPECT_STREQ(e.what(), "SNMP query failed.");
    }
  }
  {
    // No protocols: an empty list, and still the two status changes.
    auto agent = std::make_shared<test::ScriptedAgent>();
    TDravikIpConnectionList list(agent, 0);
    list.Protocols.clear();
    int changes = 0;
    list.OnStatusChange = [&](TDravikIpConnectionList&) { ++changes; };
    list.Refresh();
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(agent->queries, 0);
  }
  {
    // A refresh started from the status event meets the busy flag, not a deadlock.
    auto agent = std::make_shared<test::ScriptedAgent>();
    TDravikIpConnectionList list(agent, 0);
    std::string inner;
    list.OnStatusChange = [&](TDravikIpConnectionList& l) {
      if (!l.Busy()) return;
      try {
        l.Refresh();
      } catch (const EConnListError& e) {
        inner = e.what();
      }
    };
    list.Refresh();
    EXPECT_EQ(inner, "Requested operation is not supported in the current state.");
    list.OnStatusChange = nullptr;
    EXPECT_NO_THROW(list.Refresh());  // the lock was given back
  }
  {
    auto agent = std::make_shared<test::ScriptedAgent>();
    agent->initOk = false;
    try {
      TDravikIpConnectionList list(agent, 0);
      FAIL();
    } catch (const EConnListError& e) {
      EXPECT_STREQ(e.what(), "Error initializing SNMP extension agent.");
    }
    EXPECT_THROW(TDravikIpConnectionList(nullptr, 0), EConnListError);
    auto objects = CreateNetstatObjects(std::make_shared<ProcMibAgent>("/nonexistent"), 0);
    EXPECT_FALSE(objects.connections);
    EXPECT_FALSE(objects.tcp);
    EXPECT_EQ(objects.error, "Error initializing SNMP extension agent.");
  }
}

// Sockets opened by the test appear in the machine's table with their addresses and states.
TEST(ConnectionList, LiveProcShowsTheTestsOwnSockets) {
  const int server = ::socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(server, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::bind(server, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  ASSERT_EQ(::listen(server, 4), 0);
  socklen_t len = sizeof a;
  ::getsockname(server, reinterpret_cast<sockaddr*>(&a), &len);
  const int serverPort = ntohs(a.sin_port);
  const int client = ::socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_EQ(::connect(client, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  sockaddr_in c{};
  len = sizeof c;
  ::getsockname(client, reinterpret_cast<sockaddr*>(&c), &len);
  const int clientPort = ntohs(c.sin_port);
  const int accepted = ::accept(server, nullptr, nullptr);
  const int udp = ::socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in u{};
  u.sin_family = AF_INET;
  u.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::bind(udp, reinterpret_cast<sockaddr*>(&u), sizeof u), 0);
  len = sizeof u;
  ::getsockname(udp, reinterpret_cast<sockaddr*>(&u), &len);
  const int udpPort = ntohs(u.sin_port);

  TDravikIpConnectionList list(std::make_shared<ProcMibAgent>(), 0);
  list.Refresh();
  const auto rows = Rows(list);
  auto has = [&](const Row& r) { return std::find(rows.begin(), rows.end(), r) != rows.end(); };
  EXPECT_TRUE(has({"TCP", "127.0.0.1", serverPort, "0.0.0.0", 0, "LISTEN"}));
  EXPECT_TRUE(has({"TCP", "127.0.0.1", clientPort, "127.0.0.1", serverPort, "ESTABLISHED"}));
  EXPECT_TRUE(has({"TCP", "127.0.0.1", serverPort, "127.0.0.1", clientPort, "ESTABLISHED"}));
  EXPECT_TRUE(has({"UDP", "127.0.0.1", udpPort, "0.0.0.0", 0, "LISTEN"}));
  // TCP rows come before the UDP rows.
  const auto firstUdp =
      std::find_if(rows.begin(), rows.end(), [](auto& r) { return r.proto == "UDP"; });
  EXPECT_TRUE(std::all_of(firstUdp, rows.end(), [](auto& r) { return r.proto == "UDP"; }));
  ::close(udp);
  ::close(accepted);
  ::close(client);
  ::close(server);
}

}  // namespace
}  // namespace orva

namespace orva {
namespace {

// A fixture tree whose files are counted as the agent reads them.
struct CountedProc {
  CountedProc() {
    MakeDirectories(dir.path() + "net");
    for (const char* f : {"tcp6", "udp", "udp6", "snmp"}) {
      std::ifstream in(Fixture("ipv6") + "/net/" + f);
      test::WriteBytes(dir.path() + "net/" + f,
                       std::string(std::istreambuf_iterator<char>(in), {}));
    }
    test::WriteBytes(dir.path() + "net/tcp", TcpTable(3, 1000));
    agent = std::make_shared<ProcMibAgent>(dir.path(), [this](const std::string& path) {
      ++reads[FileNameOf(path)];
      return ReadFileBytes(path);
    });
  }
  test::TempDir dir;
  std::map<std::string, int> reads;
  std::shared_ptr<ProcMibAgent> agent;
};

TEST(ConnectionList, EachKernelTableIsReadOncePerRefreshAndAgainAtTheNext) {
  CountedProc proc;
  NetstatObjects o = CreateNetstatObjects(proc.agent, 0);
  ASSERT_TRUE(o.connections) << o.error;
  EXPECT_TRUE(proc.reads.empty());  // starting the objects reads no table
  o.connections->Refresh();
  for (const char* f : {"tcp", "tcp6", "udp", "udp6"}) EXPECT_EQ(proc.reads[f], 1) << f;
  EXPECT_LE(proc.reads["snmp"], 1);
  EXPECT_EQ(o.connections->Count(), 3 + 4);

  // The next refresh sees what the kernel says then.
  test::WriteBytes(proc.dir.path() + "net/tcp", TcpTable(5, 1000));
  proc.reads.clear();
  o.connections->Refresh();
  EXPECT_EQ(proc.reads["tcp"], 1);
  EXPECT_EQ(o.connections->Count(), 5 + 4);

  // A tab of counters is read from one reading; a counter read on its own reads afresh.
  proc.reads.clear();
  const auto lines = CounterViewLines(*o.icmp);
  EXPECT_EQ(lines.size(), 26u);
  EXPECT_EQ(proc.reads["snmp"], 1);
  EXPECT_EQ(proc.reads["tcp"], 0);
  o.tcp->Counter(0)->Value();
  o.tcp->Counter(0)->Value();
  EXPECT_EQ(proc.reads["snmp"], 3);
}

}  // namespace
}  // namespace orva
