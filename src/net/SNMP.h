// The machine's TCP connections and UDP listeners (TDravikIpConnectionList) and the MIB-II
// protocol counters (TCounterList and its four groups), read through the MIB-II agent.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "net/MibAgent.h"

namespace orva {

// Failures carry the message text to show; what() is that text.
class EConnListError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
class EConnListLockError : public EConnListError {
 public:
  using EConnListError::EConnListError;
};
class EConnListUnlockError : public EConnListError {
 public:
  using EConnListError::EConnListError;
};
class EConnListRefreshError : public EConnListError {
 public:
  using EConnListError::EConnListError;
};
class ENetstatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "%d.%d.%d.%d" of four address bytes in memory (network) order.
std::string AddressText(std::uint32_t networkOrder);
// The usual text of an IPv6 address ("2001:db8::1", "::"), from its bytes in network order.
std::string AddressText6(const std::array<std::uint8_t, 16>& bytes);
std::uint32_t AddressFromBytes(const std::array<std::uint8_t, 4>& bytes);
// The tcpConnState name, "UNKNOWN" outside 1..12.
std::string TcpStateName(int state);

// One row of the connection table.
class TIpConnInfo {
 public:
  std::uint32_t remoteAddress = 0;  // four bytes in network order; 0 for UDP rows
  std::int32_t remotePort = 0;
  std::int32_t state = 2;  // listen, which UDP rows keep
  std::uint32_t localAddress = 0;
  std::int32_t localPort = 0;
  std::string protocol;  // "TCP" or "UDP"
  // An IPv6 row holds its addresses here (the IPv4 fields stay 0). IPv4 talk of dual-stack
  // sockets is an IPv4 row.
  bool ipv6 = false;
  std::array<std::uint8_t, 16> localAddress6{};
  std::array<std::uint8_t, 16> remoteAddress6{};

  std::string LocalAddressText() const {
    return ipv6 ? AddressText6(localAddress6) : AddressText(localAddress);
  }
  std::int32_t LocalPort() const { return localPort; }
  std::string RemoteAddressText() const {
    return ipv6 ? AddressText6(remoteAddress6) : AddressText(remoteAddress);
  }
  // No remote end: 0.0.0.0 or ::.
  bool RemoteUnspecified() const;
  // A listening socket has no remote end, whatever the table holds.
  std::int32_t RemotePort() const { return state == 2 ? 0 : remotePort; }
  std::string StateName() const { return TcpStateName(state); }
};

enum class TIpProtocol { udp_ip, tcp_ip };

// Makes the agent the list and the counters share (the machine's /proc by default).
using MibAgentPtr = std::shared_ptr<MibAgent>;

class TDravikIpConnectionList {
 public:
  // Throws EConnListError when the agent is missing or does not start.
  TDravikIpConnectionList(MibAgentPtr agent, std::uint64_t tickCount);
  TDravikIpConnectionList(const TDravikIpConnectionList&) = delete;
  TDravikIpConnectionList& operator=(const TDravikIpConnectionList&) = delete;

  // Rebuilds the rows: TCP rows first, then UDP rows. Throws EConnListLockError,
  // EConnListUnlockError, EConnListRefreshError.
  void Refresh();
  int Count() const { return static_cast<int>(m_rows.size()); }
  // Null for an index outside 0..Count()-1.
  const TIpConnInfo* Item(int index) const;

  std::set<TIpProtocol> Protocols = {TIpProtocol::udp_ip, TIpProtocol::tcp_ip};
  std::function<void(TDravikIpConnectionList& sender)> OnStatusChange;

  bool Busy() const { return m_busy; }
  // Setting a different value fires OnStatusChange.
  void SetBusy(bool busy);

 private:
  bool Query(SnmpVarBind& binding);
  void WalkTcp();
  void WalkUdp();
  // The IPv6 rows of a table whose row index carries the addresses and ports: one column is
  // walked, each of its names makes a row.
  void WalkIndexed(const Oid& column, const char* protocol, bool tcp);

  MibAgentPtr m_agent;
  std::vector<TIpConnInfo> m_rows;
  bool m_busy = false;
  // Guards the rows against a second refresh; recursive so that a refresh started from
  // OnStatusChange on the same thread meets the busy flag instead of a deadlock.
  std::recursive_timed_mutex m_mutex;
};

// One MIB-II scalar counter.
class TNetstatCounterObject {
 public:
  TNetstatCounterObject(MibAgentPtr agent, std::uint64_t tickCount, std::string name,
                        Oid objectName, std::string description = {});
  const std::string& Name() const { return m_name; }
  // 1.3.6.1.2.1.G.N.1.1
  const Oid& ObjectName() const { return m_objectName; }
  const std::string& Description() const { return m_description; }
  // Read from the agent on every call. Throws ENetstatError. Counter32 values are unsigned.
  std::int64_t Value() const;

 private:
  MibAgentPtr m_agent;
  std::string m_name;
  Oid m_objectName;
  std::string m_description;
};

class TCounterList {
 public:
  virtual ~TCounterList() = default;
  int Count() const { return static_cast<int>(m_counters.size()); }
  TNetstatCounterObject* Counter(int index) const;
  const std::vector<std::string>& Names() const { return m_names; }
  // The agent the counters read (for a picture that spans them all).
  MibAgent* Agent() const { return m_agent.get(); }

 protected:
  // Fills the list with group G's counters: (name, object number) in list order.
  TCounterList(MibAgentPtr agent, std::uint64_t tickCount, std::uint32_t group,
               std::initializer_list<std::pair<const char*, std::uint32_t>> counters);

 private:
  MibAgentPtr m_agent;
  std::vector<std::string> m_names;
  std::vector<std::unique_ptr<TNetstatCounterObject>> m_counters;
};

class TIpStats : public TCounterList {
 public:
  TIpStats(MibAgentPtr agent, std::uint64_t tickCount);
};
class TIcmpStats : public TCounterList {
 public:
  TIcmpStats(MibAgentPtr agent, std::uint64_t tickCount);
};
class TTCPStats : public TCounterList {
 public:
  TTCPStats(MibAgentPtr agent, std::uint64_t tickCount);
};
class TUdpStats : public TCounterList {
 public:
  TUdpStats(MibAgentPtr agent, std::uint64_t tickCount);
};

// The connection list and the four groups as the main window creates them at start-up: the
// counters only when the list was created. `error` holds the failure text otherwise.
struct NetstatObjects {
  std::unique_ptr<TDravikIpConnectionList> connections;
  std::unique_ptr<TTCPStats> tcp;
  std::unique_ptr<TUdpStats> udp;
  std::unique_ptr<TIpStats> ip;
  std::unique_ptr<TIcmpStats> icmp;
  std::string error;
};
NetstatObjects CreateNetstatObjects(MibAgentPtr agent, std::uint64_t tickCount);

// The warning shown when the connection table cannot be had at start-up.
extern const char* const kNoSnmpWarning;

}  // namespace orva
