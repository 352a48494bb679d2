// The MIB-II agent over /proc/net: parsers of the kernel's tables and the GetNext walk order.
#include "net/MibAgent.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/Numbers.h"
#include "platform/SafeFile.h"

namespace orva {

namespace {

const Oid kMib2 = {1, 3, 6, 1, 2, 1};

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::vector<std::string_view> SplitBlanks(std::string_view line) {
  std::vector<std::string_view> out;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    const std::size_t start = i;
    while (i < line.size() && !IsBlank(line[i])) ++i;
    if (i > start) out.push_back(line.substr(start, i - start));
  }
  return out;
}

std::vector<std::string_view> SplitLinesView(std::string_view text) {
  std::vector<std::string_view> out;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    out.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ParseHex(std::string_view text, std::size_t maxDigits, std::uint32_t& value) {
  if (text.empty() || text.size() > maxDigits) return false;
  value = 0;
  for (char c : text) {
    const int d = HexDigit(c);
    if (d < 0) return false;
    value = value << 4 | static_cast<std::uint32_t>(d);
  }
  return true;
}

// One end of a socket as read: IPv4, or IPv6 (of which IPv4-mapped addresses are told apart).
struct Endpoint {
  bool ipv6 = false;
  std::array<std::uint8_t, 16> bytes{};  // IPv4: the first four
  std::uint32_t port = 0;
  bool Mapped() const {
    static constexpr std::array<std::uint8_t, 12> prefix = {0, 0, 0, 0, 0,    0,
                                                            0, 0, 0, 0, 0xFF, 0xFF};
    return ipv6 && std::equal(prefix.begin(), prefix.end(), bytes.begin());
  }
  bool Unspecified() const {
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
  }
};

// "0100007F:0016": the kernel prints an address as native integers holding the bytes in
// network order (one for IPv4, four for IPv6), so each integer's bytes in memory are the
// address bytes.
bool ParseEndpoint(std::string_view text, Endpoint& out) {
  const std::size_t colon = text.find(':');
  if (colon != 8 && colon != 32) return false;
  out = Endpoint{};
  out.ipv6 = colon == 32;
  for (std::size_t word = 0; word * 8 < colon; ++word) {
    std::uint32_t raw = 0;
    if (!ParseHex(text.substr(word * 8, 8), 8, raw)) return false;
    std::memcpy(out.bytes.data() + word * 4, &raw, 4);
  }
  return ParseHex(text.substr(colon + 1), 4, out.port);
}

// The header names a few columns that the data lines print as one field.
int DataColumn(const std::vector<std::string_view>& header, std::string_view name) {
  int merged = 0;
  for (std::size_t i = 0; i < header.size(); ++i) {
    if (header[i] == name) return static_cast<int>(i) - merged;
    if (i > 0 && ((header[i] == "rx_queue" && header[i - 1] == "tx_queue") ||
                  (header[i] == "tm->when" && header[i - 1] == "tr")))
      ++merged;
  }
  return -1;
}

enum class Kind { Scalar, Table };

// The tables the agent serves, by number.
enum TableId { kTcpConn = 0, kUdp = 1, kTcpConnection6 = 2, kTcpListener6 = 3, kUdpEndpoint6 = 4 };

struct TableDef {
  Oid entry;
  std::vector<std::uint32_t> columns;  // the columns served, in order
  bool tcp;
};

const TableDef& Def(int table) {
  static const TableDef defs[5] = {
      {{1, 3, 6, 1, 2, 1, 6, 13, 1}, {1, 2, 3, 4, 5}, true},  // tcpConnTable
      {{1, 3, 6, 1, 2, 1, 7, 5, 1}, {1, 2}, false},           // udpTable
      {{1, 3, 6, 1, 2, 1, 6, 19, 1}, {7}, true},              // tcpConnectionState
      {{1, 3, 6, 1, 2, 1, 6, 20, 1}, {4}, true},              // tcpListenerProcess
      {{1, 3, 6, 1, 2, 1, 7, 7, 1}, {8}, false},              // udpEndpointProcess
  };
  return defs[table];
}

struct MibObject {
  Oid prefix;
  Kind kind;
  const char* section = nullptr;  // /proc/net/snmp section of a scalar
  const char* column = nullptr;   // its column name there
  std::uint8_t type = kAsnCounter32;
  int table = 0;
};

std::vector<MibObject> BuildView() {
  std::vector<MibObject> v;
  auto scalars = [&v](std::uint32_t group, const char* section,
                      std::initializer_list<std::pair<const char*, std::uint8_t>> cols,
                      std::uint32_t first = 1) {
    std::uint32_t n = first;
    for (const auto& [name, type] : cols) {
      Oid o = kMib2;
      o.push_back(group);
      o.push_back(n++);
      v.push_back({o, Kind::Scalar, section, name, type});
    }
  };
  const std::uint8_t I = kAsnInteger, C = kAsnCounter32, G = kAsnGauge32;
  scalars(4, "Ip",
          {{"Forwarding", I},
           {"DefaultTTL", I},
           {"InReceives", C},
           {"InHdrErrors", C},
           {"InAddrErrors", C},
           {"ForwDatagrams", C},
           {"InUnknownProtos", C},
           {"InDiscards", C},
           {"InDelivers", C},
           {"OutRequests", C},
           {"OutDiscards", C},
           {"OutNoRoutes", C},
           {"ReasmTimeout", I},
           {"ReasmReqds", C},
           {"ReasmOKs", C},
           {"ReasmFails", C},
           {"FragOKs", C},
           {"FragFails", C},
           {"FragCreates", C}});
  scalars(5, "Icmp", {{"InMsgs", C},          {"InErrors", C},        {"InDestUnreachs", C},
                      {"InTimeExcds", C},     {"InParmProbs", C},     {"InSrcQuenchs", C},
                      {"InRedirects", C},     {"InEchos", C},         {"InEchoReps", C},
                      {"InTimestamps", C},    {"InTimestampReps", C}, {"InAddrMasks", C},
                      {"InAddrMaskReps", C},  {"OutMsgs", C},         {"OutErrors", C},
                      {"OutDestUnreachs", C}, {"OutTimeExcds", C},    {"OutParmProbs", C},
                      {"OutSrcQuenchs", C},   {"OutRedirects", C},    {"OutEchos", C},
                      {"OutEchoReps", C},     {"OutTimestamps", C},   {"OutTimestampReps", C},
                      {"OutAddrMasks", C},    {"OutAddrMaskReps", C}});
  scalars(6, "Tcp",
          {{"RtoAlgorithm", I},
           {"RtoMin", I},
           {"RtoMax", I},
           {"MaxConn", I},
           {"ActiveOpens", C},
           {"PassiveOpens", C},
           {"AttemptFails", C},
           {"EstabResets", C},
           {"CurrEstab", G},
           {"InSegs", C},
           {"OutSegs", C},
           {"RetransSegs", C}});
  auto table = [&v](int id) { v.push_back({Def(id).entry, Kind::Table, {}, {}, 0, id}); };
  table(kTcpConn);
  scalars(6, "Tcp", {{"InErrs", C}, {"OutRsts", C}}, 14);
  table(kTcpConnection6);
  table(kTcpListener6);
  scalars(7, "Udp", {{"InDatagrams", C}, {"NoPorts", C}, {"InErrors", C}, {"OutDatagrams", C}});
  table(kUdp);
  table(kUdpEndpoint6);
  return v;
}

const std::vector<MibObject>& View() {
  static const std::vector<MibObject> view = BuildView();
  return view;
}

bool StartsWith(const Oid& name, const Oid& prefix) {
  return name.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), name.begin());
}

// Compares a row index with the part of `name` after `from` sub-identifiers.
int CompareIndex(const std::vector<std::uint32_t>& index, const Oid& name, std::size_t from) {
  const std::size_t length = index.size();
  const std::size_t n = name.size() - from;
  const std::size_t common = std::min(length, n);
  for (std::size_t i = 0; i < common; ++i) {
    if (index[i] != name[from + i]) return index[i] < name[from + i] ? -1 : 1;
  }
  if (length == n) return 0;
  return length < n ? -1 : 1;
}

}  // namespace

int TcpConnStateFromLinux(int linuxState) {
  switch (linuxState) {
    case 1:
      return 5;  // ESTABLISHED
    case 2:
      return 3;  // SYN_SENT
    case 3:
      return 4;  // SYN_RECV
    case 4:
      return 6;  // FIN_WAIT1
    case 5:
      return 7;  // FIN_WAIT2
    case 6:
      return 11;  // TIME_WAIT
    case 7:
      return 1;  // CLOSE
    case 8:
      return 8;  // CLOSE_WAIT
    case 9:
      return 9;  // LAST_ACK
    case 10:
      return 2;  // LISTEN
    case 11:
      return 10;  // CLOSING
    case 12:
      return 4;  // NEW_SYN_RECV: a request socket still in the handshake
    default:
      return 0;
  }
}

std::vector<ProcSocketRow> ParseProcSocketTable(std::string_view text, bool tcp) {
  std::vector<ProcSocketRow> rows;
  const auto lines = SplitLinesView(text);
  if (lines.empty()) return rows;
  const auto header = SplitBlanks(lines[0]);
  const int local = DataColumn(header, "local_address");
  // The IPv6 tables name the remote column in full.
  int remote = DataColumn(header, "rem_address");
  if (remote < 0) remote = DataColumn(header, "remote_address");
  const int state = DataColumn(header, "st");
  if (local < 0 || (tcp && (remote < 0 || state < 0))) return rows;
  rows.reserve(lines.size() - 1);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const auto fields = SplitBlanks(lines[i]);
    ProcSocketRow row;
    Endpoint l, r;
    if (static_cast<std::size_t>(local) >= fields.size() || !ParseEndpoint(fields[local], l))
      continue;
    if (remote >= 0 && static_cast<std::size_t>(remote) < fields.size()) {
      if (!ParseEndpoint(fields[remote], r) || r.ipv6 != l.ipv6) {
        if (tcp) continue;
        r = Endpoint{};
        r.ipv6 = l.ipv6;
      }
    } else if (tcp) {
      continue;
    }
    if (tcp) {
      std::uint32_t st = 0;
      if (static_cast<std::size_t>(state) >= fields.size() || !ParseHex(fields[state], 2, st))
        continue;
      row.state = TcpConnStateFromLinux(static_cast<int>(st));
    }
    row.localPort = l.port;
    row.remotePort = r.port;
    if (l.ipv6 && !l.Mapped()) {
      row.ipv6 = true;
      row.localAddress6 = l.bytes;
      row.remoteAddress6 = r.bytes;
    } else {
      // IPv4, or IPv4 talk of a dual-stack socket: its peer is mapped too, or none yet.
      const std::size_t at = l.ipv6 ? 12 : 0;
      std::copy_n(l.bytes.begin() + at, 4, row.localAddress.begin());
      if (!l.ipv6 || r.Mapped()) std::copy_n(r.bytes.begin() + at, 4, row.remoteAddress.begin());
    }
    rows.push_back(row);
  }
  return rows;
}

ProcSnmpValues ParseProcSnmp(std::string_view text) {
  ProcSnmpValues out;
  std::map<std::string, std::vector<std::string_view>, std::less<>> headers;
  for (std::string_view line : SplitLinesView(text)) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0) continue;
    const std::string_view section = line.substr(0, colon);
    auto fields = SplitBlanks(line.substr(colon + 1));
    auto it = headers.find(section);
    if (it == headers.end()) {
      headers.emplace(std::string(section), std::move(fields));
      continue;
    }
    // The line after a section's header holds its values, column for column.
    auto& values = out[std::string(section)];
    const std::size_t n = std::min(it->second.size(), fields.size());
    for (std::size_t i = 0; i < n; ++i) {
      if (auto v = ParseInteger64(fields[i])) values[std::string(it->second[i])] = *v;
    }
    headers.erase(it);
  }
  return out;
}

int CompareOid(const Oid& a, const Oid& b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

std::string OidToText(const Oid& oid) {
  std::string out;
  for (std::size_t i = 0; i < oid.size(); ++i) {
    if (i) out += '.';
    out += std::to_string(oid[i]);
  }
  return out;
}

ProcMibAgent::ProcMibAgent(std::string procRoot, ProcFileReader reader)
    : m_procRoot(std::move(procRoot)), m_reader(std::move(reader)) {
  if (!m_reader) m_reader = [](const std::string& path) { return ReadFileBytes(path); };
}

bool ProcMibAgent::SnmpExtensionInit(std::uint64_t) {
  // The agent serves when the kernel's tables can be read. Opening them tells as much as
  // reading them, without the kernel printing thousands of sockets for nothing.
  if (m_started) return true;
  for (const char* file : {"net/snmp", "net/tcp"}) {
    const int fd = ::open(JoinPath(m_procRoot, file).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    ::close(fd);
  }
  m_started = true;
  return true;
}

void ProcMibAgent::BeginPicture() {
  // A new picture starts from what the kernel says now.
  if (m_pictures++ == 0) {
    Invalidate();
    m_snmpLoaded = false;
  }
}

void ProcMibAgent::EndPicture() {
  if (m_pictures > 0) --m_pictures;
}

Result<std::string> ProcMibAgent::Read(const char* file) const {
  return m_reader(JoinPath(m_procRoot, file));
}

bool ProcMibAgent::SnmpExtensionQuery(std::uint8_t requestType, SnmpVarBind& binding,
                                      std::int32_t& errorStatus, std::int32_t& errorIndex) {
  errorStatus = 0;
  errorIndex = 0;
  if (requestType != kSnmpGetNext) {
    errorStatus = 5;  // genErr
    errorIndex = 1;
    return false;
  }
  return GetNext(binding);
}

void ProcMibAgent::Invalidate() {
  for (Table& t : m_tables) {
    t.loaded = false;
    t.lastName.clear();
  }
}

namespace {

void PushAddress(std::vector<std::uint32_t>& index, const std::array<std::uint8_t, 16>& bytes) {
  index.push_back(2);  // InetAddressType ipv6
  index.push_back(16);
  index.insert(index.end(), bytes.begin(), bytes.end());
}

}  // namespace

void ProcMibAgent::LoadTables(bool tcp) {
  const int ids[] = {tcp ? kTcpConn : kUdp, tcp ? kTcpConnection6 : kUdpEndpoint6, kTcpListener6};
  for (int id : ids) {
    if (!tcp && id == kTcpListener6) continue;
    m_tables[id].rows.clear();
    m_tables[id].loaded = true;
    m_tables[id].lastName.clear();
  }
  for (const char* file : {tcp ? "net/tcp" : "net/udp", tcp ? "net/tcp6" : "net/udp6"}) {
    const auto bytes = Read(file);
    if (!bytes) continue;  // a kernel without IPv6 has no tcp6 and udp6
    for (const ProcSocketRow& r : ParseProcSocketTable(*bytes, tcp)) {
      TableRow t;
      t.row = r;
      int id;
      if (!r.ipv6) {
        id = tcp ? kTcpConn : kUdp;
        t.index.assign(r.localAddress.begin(), r.localAddress.end());
        t.index.push_back(r.localPort);
        if (tcp) {
          t.index.insert(t.index.end(), r.remoteAddress.begin(), r.remoteAddress.end());
          t.index.push_back(r.remotePort);
        }
      } else {
        // Listening TCP sockets have their own table; connections and UDP endpoints carry
        // both ends (an endpoint its instance number last).
        id = !tcp ? kUdpEndpoint6 : r.state == 2 ? kTcpListener6 : kTcpConnection6;
        PushAddress(t.index, r.localAddress6);
        t.index.push_back(r.localPort);
        if (id != kTcpListener6) {
          PushAddress(t.index, r.remoteAddress6);
          t.index.push_back(r.remotePort);
        }
        if (id == kUdpEndpoint6) t.index.push_back(1);
      }
      m_tables[id].rows.push_back(std::move(t));
    }
  }
  auto less = [](const TableRow& a, const TableRow& b) { return a.index < b.index; };
  for (int id : ids) {
    auto& rows = m_tables[id].rows;
    std::stable_sort(rows.begin(), rows.end(), less);
    // Sockets sharing one address and port (SO_REUSEPORT) are one row of the table.
    rows.erase(std::unique(rows.begin(), rows.end(),
                           [](const TableRow& a, const TableRow& b) { return a.index == b.index; }),
               rows.end());
  }
}

bool ProcMibAgent::LoadSnmp() {
  if (m_pictures > 0 && m_snmpLoaded) return true;
  const auto bytes = Read("net/snmp");
  if (!bytes) return false;
  m_snmp = ParseProcSnmp(*bytes);
  m_snmpLoaded = true;
  return true;
}

bool ProcMibAgent::TableNext(int id, SnmpVarBind& binding) {
  const TableDef& def = Def(id);
  const Oid& entry = def.entry;
  Table& table = m_tables[id];
  // A request without a row index starts a walk: read the table afresh, unless a picture is
  // held and the table is already in it.
  if (!table.loaded || (m_pictures == 0 && (!StartsWith(binding.name, entry) ||
                                            binding.name.size() <= entry.size() + 1)))
    LoadTables(def.tcp);
  if (table.rows.empty()) return false;
  // The next request of a walk names the answer before: the row after it, or the next
  // column's first row.
  if (!table.lastName.empty() && binding.name == table.lastName) {
    std::size_t column = table.lastColumn, row = table.lastRow + 1;
    if (row == table.rows.size()) {
      ++column;
      row = 0;
    }
    if (column == def.columns.size()) return false;
    Answer(id, column, row, binding);
    return true;
  }
  for (std::size_t c = 0; c < def.columns.size(); ++c) {
    Oid prefix = entry;
    prefix.push_back(def.columns[c]);
    std::size_t pos = 0;
    const int cmp = CompareOid(binding.name, prefix);
    if (cmp > 0 && !StartsWith(binding.name, prefix)) continue;  // past this column
    if (cmp > 0) {
      const auto it =
          std::upper_bound(table.rows.begin(), table.rows.end(), 0, [&](int, const TableRow& r) {
            return CompareIndex(r.index, binding.name, prefix.size()) > 0;
          });
      pos = static_cast<std::size_t>(it - table.rows.begin());
      if (pos == table.rows.size()) continue;
    }
    Answer(id, c, pos, binding);
    return true;
  }
  return false;
}

void ProcMibAgent::Answer(int id, std::size_t column, std::size_t row, SnmpVarBind& binding) {
  const TableDef& def = Def(id);
  Table& table = m_tables[id];
  const TableRow& r = table.rows[row];
  const std::uint32_t col = def.columns[column];
  binding.name.assign(def.entry.begin(), def.entry.end());
  binding.name.push_back(col);
  binding.name.insert(binding.name.end(), r.index.begin(), r.index.end());
  table.lastName = binding.name;
  table.lastColumn = column;
  table.lastRow = row;
  binding.integer = 0;
  binding.address = {};
  // The value by its column in the tcpConnTable's numbering; the udpTable's columns map
  // onto 2 and 3; the IPv6 tables give the state, or the owning process (not known: 0).
  int value = static_cast<int>(col);
  if (id == kUdp) value = static_cast<int>(col) + 1;
  if (id == kTcpConnection6) value = 1;
  if (id == kTcpListener6 || id == kUdpEndpoint6) value = 0;
  switch (value) {
    case 0:
      binding.type = kAsnUnsigned32;
      break;
    case 1:
      binding.type = kAsnInteger;
      binding.integer = r.row.state;
      break;
    case 2:
      binding.type = kAsnIpAddress;
      binding.address = r.row.localAddress;
      break;
    case 3:
      binding.type = kAsnInteger;
      binding.integer = r.row.localPort;
      break;
    case 4:
      binding.type = kAsnIpAddress;
      binding.address = r.row.remoteAddress;
      break;
    default:
      binding.type = kAsnInteger;
      binding.integer = r.row.remotePort;
      break;
  }
}

bool ProcMibAgent::GetNext(SnmpVarBind& binding) {
  const auto& view = View();
  // The first object that may hold a name after the request: the one before the first whose
  // prefix sorts after the name (the name may lie inside it).
  auto it = std::upper_bound(
      view.begin(), view.end(), binding.name,
      [](const Oid& name, const MibObject& o) { return CompareOid(name, o.prefix) < 0; });
  std::size_t i = static_cast<std::size_t>(it - view.begin());
  if (i > 0) --i;
  bool snmpLoaded = false;
  for (; i < view.size(); ++i) {
    const MibObject& o = view[i];
    if (o.kind != Kind::Scalar) {
      if (TableNext(o.table, binding)) return true;
      continue;
    }
    Oid instance = o.prefix;
    instance.push_back(0);
    if (CompareOid(instance, binding.name) <= 0) continue;
    if (!snmpLoaded) {
      if (!LoadSnmp()) return false;
      snmpLoaded = true;
    }
    const auto sec = m_snmp.find(o.section);
    if (sec == m_snmp.end()) continue;
    const auto val = sec->second.find(o.column);
    if (val == sec->second.end()) continue;
    binding.name = std::move(instance);
    binding.type = o.type;
    binding.address = {};
    const std::int64_t v = val->second;
    if (o.type == kAsnInteger) {
      binding.integer =
          static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
    } else if (o.type == kAsnGauge32) {
      binding.integer = std::clamp<std::int64_t>(v, 0, UINT32_MAX);
    } else {
      // Counter32 wraps; the kernel keeps wider counters.
      binding.integer = static_cast<std::int64_t>(static_cast<std::uint64_t>(v) & 0xFFFFFFFFu);
    }
    return true;
  }
  binding.type = kAsnNull;  // end of the view
  binding.integer = 0;
  binding.address = {};
  return true;
}

}  // namespace orva
