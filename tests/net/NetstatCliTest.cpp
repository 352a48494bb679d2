// orva32cli netstat --json against ss, with IPv6 and IPv4-mapped sockets the test opens on
// loopback: the same rows.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "RunProgram.h"
#include "TempDir.h"

namespace orva {
namespace {

struct Sock {
  int fd = -1;
  ~Sock() {
    if (fd >= 0) ::close(fd);
  }
};

sockaddr_in6 Address6(const char* text, int port = 0) {
  sockaddr_in6 a{};
  a.sin6_family = AF_INET6;
  a.sin6_port = htons(static_cast<std::uint16_t>(port));
  ::inet_pton(AF_INET6, text, &a.sin6_addr);
  return a;
}

int PortOf(int fd) {
  sockaddr_in6 a{};
  socklen_t len = sizeof a;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  return ntohs(a.sin6_port);
}

// An IPv6 socket, dual-stack, bound to `address`; -1 when the machine cannot.
int Bound6(int type, const char* address) {
  const int fd = ::socket(AF_INET6, type, 0);
  if (fd < 0) return -1;
  int off = 0;
  ::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &off, sizeof off);
  sockaddr_in6 a = Address6(address);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// A listener, a client connected to it and the accepted end.
bool Pair(const char* address, Sock& server, Sock& client, Sock& accepted) {
  server.fd = Bound6(SOCK_STREAM, address);
  if (server.fd < 0 || ::listen(server.fd, 4) != 0) return false;
  client.fd = ::socket(AF_INET6, SOCK_STREAM, 0);
  sockaddr_in6 a = Address6(address, PortOf(server.fd));
  if (::connect(client.fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) return false;
  accepted.fd = ::accept(server.fd, nullptr, nullptr);
  return accepted.fd >= 0;
}

// One row as both sides are compared: a listener or a UDP socket by its local end only.
struct Row {
  std::string proto, local;
  int localPort;
  std::string remote;
  int remotePort;
  std::string state;
  auto operator<=>(const Row&) const = default;
};

std::string Unmapped(std::string address) {
  if (address.rfind("::ffff:", 0) == 0 && address.find('.') != std::string::npos)
    return address.substr(7);
  return address;
}

// "[::1]:443", "127.0.0.1:22", "*:*", "[::ffff:127.0.0.1]:8080", "0.0.0.0%lo:53"
void SplitEnd(const std::string& text, std::string& address, int& port) {
  const std::size_t colon = text.rfind(':');
  address = text.substr(0, colon);
  const std::string p = colon == std::string::npos ? "*" : text.substr(colon + 1);
  port = p == "*" ? 0 : std::stoi(p);
  if (address.size() >= 2 && address.front() == '[')
    address = address.substr(1, address.size() - 2);
  if (const std::size_t pct = address.find('%'); pct != std::string::npos) address.resize(pct);
  if (address == "*") address = "";
  address = Unmapped(address);
}

const std::map<std::string, std::string> kSsStates = {
    {"ESTAB", "ESTABLISHED"},     {"LISTEN", "LISTEN"},         {"SYN-SENT", "SYN_SENT"},
    {"SYN-RECV", "SYN_RECEIVED"}, {"FIN-WAIT-1", "FIN_WAIT_1"}, {"FIN-WAIT-2", "FIN_WAIT_2"},
    {"TIME-WAIT", "TIME_WAIT"},   {"CLOSE-WAIT", "CLOSE_WAIT"}, {"LAST-ACK", "LAST_ACK"},
    {"CLOSING", "CLOSING"},       {"UNCONN", "LISTEN"}};

Row Normal(Row r) {
  if (r.proto == "UDP" || r.state == "LISTEN") {
    r.remote.clear();
    r.remotePort = 0;
    r.state = r.proto == "UDP" ? "" : r.state;
  }
  return r;
}

std::vector<Row> SsRows(const std::string& proto, const std::set<int>& ports) {
  const auto run = test::RunProgram({"ss", "-Hna", proto == "TCP" ? "-t" : "-u"});
  EXPECT_EQ(run.code, 0);
  std::vector<Row> rows;
  std::istringstream in(run.out);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream f(line);
    std::string state, rq, sq, local, peer;
    if (!(f >> state >> rq >> sq >> local >> peer)) continue;
    Row r{proto, {}, 0, {}, 0, {}};
    SplitEnd(local, r.local, r.localPort);
    SplitEnd(peer, r.remote, r.remotePort);
    const auto s = kSsStates.find(state);
    r.state = s == kSsStates.end() ? state : s->second;
    if (ports.count(r.localPort) || ports.count(r.remotePort)) rows.push_back(Normal(r));
  }
  std::sort(rows.begin(), rows.end());
  return rows;
}

TEST(NetstatCli, SameRowsAsSsWithIpv6AndMappedSockets) {
  Sock s6, c6, a6, s4, c4, a4, u6, u4;
  if (!Pair("::1", s6, c6, a6)) GTEST_SKIP() << "no IPv6 loopback on this machine";
  ASSERT_TRUE(Pair("::ffff:127.0.0.1", s4, c4, a4));
  u6.fd = Bound6(SOCK_DGRAM, "::1");
  u4.fd = Bound6(SOCK_DGRAM, "::ffff:127.0.0.1");
  ASSERT_GE(u6.fd, 0);
  ASSERT_GE(u4.fd, 0);
  const std::set<int> ports = {PortOf(s6.fd), PortOf(c6.fd), PortOf(s4.fd),
                               PortOf(c4.fd), PortOf(u6.fd), PortOf(u4.fd)};

  test::TempDir dir;
  const auto run = test::RunProgram({ORVA_CLI, "netstat", "--json", "--data-dir", dir.path()});
  ASSERT_EQ(run.code, 0) << run.out;
  const auto json = nlohmann::json::parse(run.out);
  std::vector<Row> tcp, udp;
  for (const auto& j : json) {
    Row r{j["proto"], j["local"], j["localPort"], j["remote"], j["remotePort"], j["state"]};
    if (!ports.count(r.localPort) && !ports.count(r.remotePort)) continue;
    (r.proto == "TCP" ? tcp : udp).push_back(Normal(r));
  }
  std::sort(tcp.begin(), tcp.end());
  std::sort(udp.begin(), udp.end());
  const auto ssTcp = SsRows("TCP", ports);
  const auto ssUdp = SsRows("UDP", ports);
  EXPECT_EQ(tcp, ssTcp);
  EXPECT_EQ(udp, ssUdp);
  // Three rows a pair (listener, both ends), the mapped ones as IPv4.
  ASSERT_EQ(tcp.size(), 6u);
  EXPECT_EQ(std::count_if(tcp.begin(), tcp.end(), [](const Row& r) { return r.local == "::1"; }),
            3);
  EXPECT_EQ(
      std::count_if(tcp.begin(), tcp.end(), [](const Row& r) { return r.local == "127.0.0.1"; }),
      3);
  EXPECT_EQ(udp.size(), 2u);
}

}  // namespace
}  // namespace orva
