// SNTP client (RFC 2030, client mode): the request packet, the decoding of a server's reply
// and TSNTPClient, which asks one server over datagram sockets with a time-out.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/Network.h"

namespace orva {

constexpr std::size_t kSntpPacketSize = 48;

// 48 bytes: leap 0, version 1, mode 3 (client), the transmit timestamp as given (the server
// echoes it as the originate timestamp), everything else 0.
std::string SntpRequestPacket(std::uint64_t transmit = 0);

// An NTP timestamp as a date-time in UTC (days since 1899-12-30). Seconds with the top bit
// set count from 1900 (1968-2036); with it clear they count from 2036-02-07 (the next era).
// The fraction is taken to 24 bits.
TDateTime NtpTimestampToDateTime(std::uint32_t seconds, std::uint32_t fraction);
// Root delay and dispersion: sign-magnitude 16.16 fixed point seconds.
double NtpShortToSeconds(std::uint32_t value);

struct TSntpAnswer {
  int leapIndicator = 0;
  int version = 0;
  int mode = 0;
  int stratum = 0;
  int poll = 0;
  int precision = 0;
  double rootDelay = 0;       // seconds
  double rootDispersion = 0;  // seconds
  std::uint32_t referenceId = 0;
  TDateTime referenceTime = 0, originateTime = 0, receiveTime = 0, transmitTime = 0;
  bool transmitIsZero = true;
  std::uint64_t originateRaw = 0;  // the 64 bits as sent, for matching the request
  // Filled by the client.
  std::uint32_t roundTripMs = 0;
  bool timedOut = false;
  TDateTime estimatedTime = 0;
  bool unsynchronised = true;
};

// Decodes a server reply; none when it is shorter than a whole packet.
std::optional<TSntpAnswer> DecodeSntpPacket(std::string_view bytes);
// True unless leap indicator != 3, stratum 1..15 and a non-zero transmit timestamp.
bool SntpUnsynchronised(const TSntpAnswer& a);
// Why a reply cannot be used as the answer to the request whose transmit timestamp was
// `sentTransmit` (RFC 4330: server or broadcast mode, version 1-4, stratum 1-15 and not a
// kiss-of-death, a synchronised leap indicator, a transmit time, our own timestamp echoed);
// empty when it can.
std::string SntpReplyProblem(const TSntpAnswer& a, std::uint64_t sentTransmit);

class TSNTPClient {
 public:
  TSNTPClient(NetworkFactory& network, TimerFactory& timers, const Clock& clock);
  ~TSNTPClient();
  TSNTPClient(const TSNTPClient&) = delete;
  TSNTPClient& operator=(const TSNTPClient&) = delete;

  std::string HostAddr;
  std::string HostPort = "123";
  int Timeout() const { return m_timeout; }
  void SetTimeout(int ms) { m_timeout = ms < 0 ? 0 : ms; }
  // The local port the listening socket asks for (123; tests move it).
  std::uint16_t ListenPort = 123;

  // Resolves HostAddr, sends the request and waits; a request while waiting starts over.
  void RequestTime();
  bool Waiting() const { return m_state != State::Idle; }
  // The last valid reply.
  const TSntpAnswer& Answer() const { return m_answer; }
  // Why the last reply was refused (OnReceiveError).
  const std::string& ReplyProblem() const { return m_replyProblem; }
  // The name that did not resolve and the resolver's reason (OnResolveError).
  const std::string& ResolvedName() const { return m_resolvedName; }
  const std::string& ResolveProblem() const { return m_resolveProblem; }
  // The transmit timestamp of each request: random, so a reply that does not echo it is
  // known to answer someone else (tests set their own).
  std::function<std::uint64_t()> NextTransmitStamp;
  // The server address the reply must come from.
  const std::string& ServerAddress() const { return m_serverAddress; }

  std::function<void(int error)> OnDataAvailable;
  std::function<void()> OnTimeout;
  std::function<void(const std::string& errorText)> OnWinsockError;
  std::function<void()> OnResolveError;
  std::function<void()> OnReceiveError;

 private:
  enum class State { Idle, Resolving, Waiting };
  void Reset();
  void Send(const std::string& address);
  void Received(std::string_view bytes, const std::string& from);
  void TimerFired();
  void SocketError(const std::string& text);

  NetworkFactory& m_network;
  TimerFactory& m_timers;
  const Clock& m_clock;
  int m_timeout = 500;
  State m_state = State::Idle;
  int m_lookupId = -1;
  std::unique_ptr<DatagramSocket> m_listen, m_send;
  std::unique_ptr<Timer> m_timer;
  std::string m_serverAddress = "0.0.0.0";
  std::uint64_t m_sentTick = 0;
  std::uint64_t m_sentTransmit = 0;
  TSntpAnswer m_answer;
  std::string m_replyProblem;
  std::string m_resolvedName;
  std::string m_resolveProblem;
};

// A dotted IPv4 address ("192.0.2.1").
bool IsDottedAddress(std::string_view text);

}  // namespace orva
