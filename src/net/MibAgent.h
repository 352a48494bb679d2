// The in-process MIB-II agent: answers SNMP GetNext requests for the tcpConnTable, the udpTable
// and the IP, ICMP, TCP and UDP scalar groups from the kernel's /proc/net files. IPv4 talk of
// dual-stack sockets is part of the IPv4 tables; IPv6 connections are served in the
// address-independent tables (tcpConnectionTable, tcpListenerTable, udpEndpointTable), whose
// row index carries the addresses and ports. Nothing goes on
// the network; the connection list and the counter groups call it directly.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Result.h"

namespace orva {

using Oid = std::vector<std::uint32_t>;

// ASN types of the values an agent returns.
constexpr std::uint8_t kAsnInteger = 0x02;
constexpr std::uint8_t kAsnNull = 0x05;  // end of the view
constexpr std::uint8_t kAsnIpAddress = 0x40;
constexpr std::uint8_t kAsnCounter32 = 0x41;
constexpr std::uint8_t kAsnGauge32 = 0x42;
constexpr std::uint8_t kAsnUnsigned32 = 0x47;

constexpr std::uint8_t kSnmpGetNext = 0xA1;

// One variable binding: the agent overwrites the name with the variable it returns, so
// repeating GetNext with the same binding walks the MIB.
struct SnmpVarBind {
  Oid name;
  std::uint8_t type = kAsnNull;
  std::int64_t integer = 0;               // INTEGER (signed), Counter32/Gauge32/Unsigned32
  std::array<std::uint8_t, 4> address{};  // IpAddress, network order
};

class MibAgent {
 public:
  virtual ~MibAgent() = default;
  // tickCount: the uptime reference. False when the agent cannot serve.
  virtual bool SnmpExtensionInit(std::uint64_t tickCount) = 0;
  // Only GetNext is served; false when the request fails.
  virtual bool SnmpExtensionQuery(std::uint8_t requestType, SnmpVarBind& binding,
                                  std::int32_t& errorStatus, std::int32_t& errorIndex) = 0;
  // Between the two, every answer comes from one picture of the machine: each kernel table is
  // read at most once, however many walks and counters the caller asks for. Pictures nest.
  virtual void BeginPicture() {}
  virtual void EndPicture() {}
};

// Holds one picture of the agent for a scope (no agent: nothing).
class MibPicture {
 public:
  explicit MibPicture(MibAgent* agent) : m_agent(agent) {
    if (m_agent) m_agent->BeginPicture();
  }
  ~MibPicture() {
    if (m_agent) m_agent->EndPicture();
  }
  MibPicture(const MibPicture&) = delete;
  MibPicture& operator=(const MibPicture&) = delete;

 private:
  MibAgent* m_agent;
};

// One row of /proc/net/tcp, udp, tcp6 or udp6. Addresses hold their bytes in network order.
// A row of the IPv6 tables whose local address is IPv4-mapped (a dual-stack socket talking
// IPv4) is an IPv4 row; the others are IPv6 rows.
struct ProcSocketRow {
  std::array<std::uint8_t, 4> localAddress{};
  std::uint32_t localPort = 0;
  std::array<std::uint8_t, 4> remoteAddress{};
  std::uint32_t remotePort = 0;
  int state = 0;  // tcpConnState value (TCP rows only)
  bool ipv6 = false;
  std::array<std::uint8_t, 16> localAddress6{};
  std::array<std::uint8_t, 16> remoteAddress6{};
};

// The kernel's TCP state number -> tcpConnState (1 closed … 12 deleteTCB; 0 for any state the
// kernel adds later).
int TcpConnStateFromLinux(int linuxState);

// Parsers of outside input: the columns are found by their names in the header line, so a
// kernel that adds columns still reads. Malformed lines are skipped.
std::vector<ProcSocketRow> ParseProcSocketTable(std::string_view text, bool tcp);
// /proc/net/snmp: section ("Ip", "Icmp", "Tcp", "Udp") -> column name -> value.
using ProcSnmpValues =
    std::map<std::string, std::map<std::string, std::int64_t, std::less<>>, std::less<>>;
ProcSnmpValues ParseProcSnmp(std::string_view text);

// Lexicographic order of object names.
int CompareOid(const Oid& a, const Oid& b);
std::string OidToText(const Oid& oid);

// Reads one file of the /proc tree (a test counts the reads through it).
using ProcFileReader = std::function<Result<std::string>(const std::string& path)>;

// The agent over a /proc tree (the machine's "/proc", or a fixture folder for tests).
class ProcMibAgent final : public MibAgent {
 public:
  explicit ProcMibAgent(std::string procRoot = "/proc", ProcFileReader reader = {});

  // Succeeds when the kernel's tables can be opened; every object that shares the agent
  // starts it, and only the first start looks.
  bool SnmpExtensionInit(std::uint64_t tickCount) override;
  bool SnmpExtensionQuery(std::uint8_t requestType, SnmpVarBind& binding, std::int32_t& errorStatus,
                          std::int32_t& errorIndex) override;
  void BeginPicture() override;
  void EndPicture() override;

  // Outside a picture the tables are read again when a walk starts (a request for a name at
  // or before the table's first row) and otherwise kept, so one walk sees one picture of the
  // table and costs one read of the file; the counters are read at every request.
  void Invalidate();

 private:
  struct TableRow {
    std::vector<std::uint32_t> index;
    ProcSocketRow row;
  };
  struct Table {
    bool loaded = false;
    std::vector<TableRow> rows;  // sorted by index, no duplicates
    // The last answer from this table, so that the next request of a walk (for exactly that
    // name) needs no search: its column and row.
    Oid lastName;
    std::size_t lastColumn = 0, lastRow = 0;
  };

  bool GetNext(SnmpVarBind& binding);
  bool TableNext(int table, SnmpVarBind& binding);
  // The value of `column` (a position in the table's columns) of row `row`.
  void Answer(int table, std::size_t column, std::size_t row, SnmpVarBind& binding);
  // Reads the TCP (or UDP) files into their IPv4 and IPv6 tables.
  void LoadTables(bool tcp);
  bool LoadSnmp();
  Result<std::string> Read(const char* file) const;

  std::string m_procRoot;
  ProcFileReader m_reader;
  bool m_started = false;
  int m_pictures = 0;  // pictures held
  bool m_snmpLoaded = false;
  Table m_tables[5];
  ProcSnmpValues m_snmp;
};

}  // namespace orva
