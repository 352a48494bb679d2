// Connection table walks and counter reads over the MIB-II agent.
#include "net/SNMP.h"

#include <arpa/inet.h>
#include <sys/socket.h>

#include <chrono>
#include <cstring>

namespace orva {

namespace {

const char* const kAgentMissing = "SNMP extension agent library is not available.";
const char* const kAgentInit = "Error initializing SNMP extension agent.";
const char* const kQueryFailed = "SNMP query failed.";
const char* const kUnexpectedEnd = "Unexpected end of query results encountered.";

void StartAgent(const MibAgentPtr& agent, std::uint64_t tickCount) {
  if (!agent) throw EConnListError(kAgentMissing);
  if (!agent->SnmpExtensionInit(tickCount)) throw EConnListError(kAgentInit);
}

}  // namespace

const char* const kNoSnmpWarning =
    "ORVA32 4.1\n\nATTENZIONE : Manca il file di sistema snmpapi.dll necessario per abiliotare "
    "il monitoraggio TCP/UDP !\n\nInstallare tale file nella cartella di Windows o visitare "
    "l'homepage di orva per ottenere maggiori informazioni.\n";

std::string AddressText(std::uint32_t networkOrder) {
  std::uint8_t b[4];
  std::memcpy(b, &networkOrder, 4);
  return std::to_string(b[0]) + "." + std::to_string(b[1]) + "." + std::to_string(b[2]) + "." +
         std::to_string(b[3]);
}

std::string AddressText6(const std::array<std::uint8_t, 16>& bytes) {
  char text[INET6_ADDRSTRLEN] = {};
  if (!::inet_ntop(AF_INET6, bytes.data(), text, sizeof text)) return "::";
  return text;
}

bool TIpConnInfo::RemoteUnspecified() const {
  if (!ipv6) return remoteAddress == 0;
  for (std::uint8_t b : remoteAddress6) {
    if (b != 0) return false;
  }
  return true;
}

std::uint32_t AddressFromBytes(const std::array<std::uint8_t, 4>& bytes) {
  std::uint32_t v = 0;
  std::memcpy(&v, bytes.data(), 4);
  return v;
}

std::string TcpStateName(int state) {
  static const char* const names[] = {"CLOSED",      "LISTEN",     "SYN_SENT",   "SYN_RECEIVED",
                                      "ESTABLISHED", "FIN_WAIT_1", "FIN_WAIT_2", "CLOSE_WAIT",
                                      "LAST_ACK",    "CLOSING",    "TIME_WAIT",  "TCB_DISCARD"};
  if (state < 1 || state > 12) return "UNKNOWN";
  return names[state - 1];
}

TDravikIpConnectionList::TDravikIpConnectionList(MibAgentPtr agent, std::uint64_t tickCount)
    : m_agent(std::move(agent)) {
  StartAgent(m_agent, tickCount);
}

const TIpConnInfo* TDravikIpConnectionList::Item(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return &m_rows[static_cast<std::size_t>(index)];
}

void TDravikIpConnectionList::SetBusy(bool busy) {
  if (busy == m_busy) return;
  m_busy = busy;
  if (OnStatusChange) OnStatusChange(*this);
}

bool TDravikIpConnectionList::Query(SnmpVarBind& binding) {
  std::int32_t status = 0, index = 0;
  if (!m_agent->SnmpExtensionQuery(kSnmpGetNext, binding, status, index))
    throw EConnListRefreshError(kQueryFailed);
  return true;
}

void TDravikIpConnectionList::Refresh() {
  if (!m_mutex.try_lock_for(std::chrono::milliseconds(100)))
    throw EConnListLockError("Connection list lock failure");
  if (m_busy) {
    m_mutex.unlock();
    throw EConnListRefreshError("Requested operation is not supported in the current state.");
  }
  try {
    SetBusy(true);
    m_rows.clear();
    // One picture for the whole refresh: each kernel table is read once.
    const MibPicture picture(m_agent.get());
    if (Protocols.count(TIpProtocol::tcp_ip)) {
      WalkTcp();
      WalkIndexed({1, 3, 6, 1, 2, 1, 6, 19, 1, 7}, "TCP", true);  // IPv6 connections
      WalkIndexed({1, 3, 6, 1, 2, 1, 6, 20, 1, 4}, "TCP", true);  // IPv6 listeners
    }
    if (Protocols.count(TIpProtocol::udp_ip)) {
      WalkUdp();
      WalkIndexed({1, 3, 6, 1, 2, 1, 7, 7, 1, 8}, "UDP", false);  // IPv6 endpoints
    }
  } catch (...) {
    m_mutex.unlock();
    SetBusy(false);
    throw;
  }
  m_mutex.unlock();
  SetBusy(false);
}

// The table comes back column by column; a column ends where the type of the answers
// changes. A later column may hold more values than the first made rows (the table grew
// between requests): those values are dropped, never written outside the rows.
void TDravikIpConnectionList::WalkTcp() {
  const std::size_t first = m_rows.size();
  SnmpVarBind b;
  b.name = {1, 3, 6, 1, 2, 1, 6, 13, 1, 1};
  Query(b);
  if (b.type == kAsnNull) return;
  while (b.type == kAsnInteger) {
    TIpConnInfo row;
    row.protocol = "TCP";
    row.state = static_cast<std::int32_t>(b.integer);
    m_rows.push_back(row);
    Query(b);
  }
  auto column = [&](std::uint8_t type, auto store) {
    std::size_t k = first;
    while (b.type == type) {
      if (k < m_rows.size()) store(m_rows[k]);
      ++k;
      Query(b);
    }
  };
  auto endCheck = [&] {
    if (b.type == kAsnNull) throw EConnListRefreshError(kUnexpectedEnd);
  };
  endCheck();
  column(kAsnIpAddress, [&](TIpConnInfo& r) { r.localAddress = AddressFromBytes(b.address); });
  endCheck();
  column(kAsnInteger, [&](TIpConnInfo& r) { r.localPort = static_cast<std::int32_t>(b.integer); });
  endCheck();
  column(kAsnIpAddress, [&](TIpConnInfo& r) { r.remoteAddress = AddressFromBytes(b.address); });
  endCheck();
  column(kAsnInteger, [&](TIpConnInfo& r) { r.remotePort = static_cast<std::int32_t>(b.integer); });
}

void TDravikIpConnectionList::WalkUdp() {
  const std::size_t first = m_rows.size();
  SnmpVarBind b;
  b.name = {1, 3, 6, 1, 2, 1, 7, 5, 1, 1};
  Query(b);
  if (b.type == kAsnNull) return;
  while (b.type == kAsnIpAddress) {
    TIpConnInfo row;
    row.protocol = "UDP";
    row.localAddress = AddressFromBytes(b.address);
    m_rows.push_back(row);
    Query(b);
  }
  if (b.type == kAsnNull) throw EConnListRefreshError(kUnexpectedEnd);
  std::size_t k = first;
  while (b.type == kAsnInteger) {
    if (k < m_rows.size()) m_rows[k].localPort = static_cast<std::int32_t>(b.integer);
    ++k;
    Query(b);
  }
}

namespace {

// Reads "type, length, bytes" of an IPv6 address from a row index; false when it is none.
bool TakeAddress6(const Oid& name, std::size_t& at, std::array<std::uint8_t, 16>& out) {
  if (at + 2 + 16 > name.size() || name[at] != 2 || name[at + 1] != 16) return false;
  for (std::size_t i = 0; i < 16; ++i) {
    if (name[at + 2 + i] > 255) return false;
    out[i] = static_cast<std::uint8_t>(name[at + 2 + i]);
  }
  at += 18;
  return true;
}

bool TakePort(const Oid& name, std::size_t& at, std::int32_t& port) {
  if (at >= name.size() || name[at] > 65535) return false;
  port = static_cast<std::int32_t>(name[at++]);
  return true;
}

}  // namespace

// The walk stays inside the column and moves forward at every answer, so an agent that
// answers strangely ends it instead of looping; a row whose index cannot be read is skipped.
void TDravikIpConnectionList::WalkIndexed(const Oid& column, const char* protocol, bool tcp) {
  SnmpVarBind b;
  b.name = column;
  for (;;) {
    Oid before = b.name;
    Query(b);
    if (b.type == kAsnNull || b.name.size() <= column.size() ||
        !std::equal(column.begin(), column.end(), b.name.begin()) ||
        CompareOid(b.name, before) <= 0)
      return;
    TIpConnInfo row;
    row.protocol = protocol;
    row.ipv6 = true;
    std::size_t at = column.size();
    if (!TakeAddress6(b.name, at, row.localAddress6) || !TakePort(b.name, at, row.localPort))
      continue;
    const bool listener = tcp && column[7] == 20;
    if (!listener &&
        (!TakeAddress6(b.name, at, row.remoteAddress6) || !TakePort(b.name, at, row.remotePort)))
      continue;
    if (tcp && !listener) {
      if (b.type != kAsnInteger) continue;
      row.state = static_cast<std::int32_t>(b.integer);
    }
    m_rows.push_back(row);
  }
}

TNetstatCounterObject::TNetstatCounterObject(MibAgentPtr agent, std::uint64_t tickCount,
                                             std::string name, Oid objectName,
                                             std::string description)
    : m_agent(std::move(agent)),
      m_name(std::move(name)),
      m_objectName(std::move(objectName)),
      m_description(std::move(description)) {
  StartAgent(m_agent, tickCount);
}

// GetNext on the object's own name (without the instance) answers with its instance .0, so
// each counter shows its own value; an answer for any other name means the agent lacks it.
std::int64_t TNetstatCounterObject::Value() const {
  SnmpVarBind b;
  b.name.assign(m_objectName.begin(), m_objectName.begin() + 8);
  Oid expected = b.name;
  expected.push_back(0);
  std::int32_t status = 0, index = 0;
  if (!m_agent->SnmpExtensionQuery(kSnmpGetNext, b, status, index) || b.name != expected)
    throw ENetstatError(kQueryFailed);
  switch (b.type) {
    case kAsnInteger:
    case kAsnCounter32:
    case kAsnGauge32:
    case kAsnUnsigned32:
      return b.integer;
    default:
      throw ENetstatError("Unexpected result type");
  }
}

TCounterList::TCounterList(MibAgentPtr agent, std::uint64_t tickCount, std::uint32_t group,
                           std::initializer_list<std::pair<const char*, std::uint32_t>> counters)
    : m_agent(agent) {
  for (const auto& [name, n] : counters) {
    Oid oid = {1, 3, 6, 1, 2, 1, group, n, 1, 1};
    m_names.emplace_back(name);
    m_counters.push_back(std::make_unique<TNetstatCounterObject>(agent, tickCount, name, oid));
  }
}

TNetstatCounterObject* TCounterList::Counter(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return m_counters[static_cast<std::size_t>(index)].get();
}

TIpStats::TIpStats(MibAgentPtr agent, std::uint64_t tickCount)
    : TCounterList(std::move(agent), tickCount, 4,
                   {{"ipDefaultTTL", 2},
                    {"ipInReceives", 3},
                    {"ipInHdrErrors", 4},
                    {"ipInAddrErrors", 5},
                    {"ipForwDatagrams", 6},
                    {"ipInUnknownProtos", 7},
                    {"ipInDiscards", 8},
                    {"ipInDelivers", 9},
                    {"ipOutRequests", 10},
                    {"ipOutDiscards", 11},
                    {"ipOutNoRoutes", 12},
                    {"ipReasmTimeout", 13},
                    {"ipReasmReqds", 14},
                    {"ipReasmOKs", 15},
                    {"ipReasmFails", 16},
                    {"ipFragOKs", 17},
                    {"ipFragFails", 18},
                    {"ipFragCreates", 19}}) {}

TIcmpStats::TIcmpStats(MibAgentPtr agent, std::uint64_t tickCount)
    : TCounterList(
          std::move(agent), tickCount, 5,
          {{"icmpInMsgs", 1},           {"icmpInErrors", 2},         {"icmpInDestUnreachs", 3},
           {"icmpInTimeExcds", 4},      {"icmpInParmProbs", 5},      {"icmpInSrcQuenchs", 6},
           {"icmpInRedirects", 7},      {"icmpInEchos", 8},          {"icmpInEchoReps", 9},
           {"icmpInTimestamps", 10},    {"icmpInTimestampReps", 11}, {"icmpInAddrMasks", 12},
           {"icmpInAddrMaskReps", 13},  {"icmpOutMsgs", 14},         {"icmpOutErrors", 15},
           {"icmpOutDestUnreachs", 16}, {"icmpOutTimeExcds", 17},    {"icmpOutParmProbs", 18},
           {"icmpOutSrcQuenchs", 19},   {"icmpOutRedirects", 20},    {"icmpOutEchos", 21},
           {"icmpOutEchoReps", 22},     {"icmpOutTimestamps", 23},   {"icmpOutTimestampReps", 24},
           {"icmpOutAddrMasks", 25},    {"icmpOutAddrMaskReps", 26}}) {}

TTCPStats::TTCPStats(MibAgentPtr agent, std::uint64_t tickCount)
    : TCounterList(std::move(agent), tickCount, 6,
                   {{"tcpRtoAlgorithm", 1},
                    {"tcpRtoMin", 2},
                    {"tcpRtoMax", 3},
                    {"tcpMaxConn", 4},
                    {"tcpActiveOpens", 5},
                    {"tcpPassiveOpens", 6},
                    {"tcpAttemptsFails", 7},
                    {"tcpEstabResets", 8},
                    {"tcpCurrEstab", 9},
                    {"tcpInSegs", 10},
                    {"tcpOutSegs", 11},
                    {"tcpRetransSegs", 12},
                    {"tcpInErrs", 14},
                    {"tcpOutRsts", 15}}) {}

TUdpStats::TUdpStats(MibAgentPtr agent, std::uint64_t tickCount)
    : TCounterList(
          std::move(agent), tickCount, 7,
          {{"udpInDatagrams", 1}, {"udpNoPorts", 2}, {"udpInErrors", 3}, {"udpOutDatagrams", 4}}) {}

NetstatObjects CreateNetstatObjects(MibAgentPtr agent, std::uint64_t tickCount) {
  NetstatObjects o;
  try {
    o.connections = std::make_unique<TDravikIpConnectionList>(agent, tickCount);
    o.tcp = std::make_unique<TTCPStats>(agent, tickCount);
    o.udp = std::make_unique<TUdpStats>(agent, tickCount);
    o.ip = std::make_unique<TIpStats>(agent, tickCount);
    o.icmp = std::make_unique<TIcmpStats>(agent, tickCount);
  } catch (const EConnListError& e) {
    if (!o.connections) o.error = e.what();
  }
  return o;
}

}  // namespace orva
