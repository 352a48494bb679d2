// SNTP packet coding and the asking client.
#include "net/Sntp.h"

#include <charconv>
#include <random>

namespace orva {

namespace {

std::uint32_t Be32(std::string_view b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) << 24 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3]));
}

TDateTime Timestamp(std::string_view b, std::size_t at) {
  return NtpTimestampToDateTime(Be32(b, at), Be32(b, at + 4));
}

constexpr double kMsPerDay = 86400000.0;

}  // namespace

std::string SntpRequestPacket(std::uint64_t transmit) {
  std::string p(kSntpPacketSize, '\0');
  p[0] = 0x0B;
  for (int i = 0; i < 8; ++i) p[40 + i] = static_cast<char>(transmit >> (56 - 8 * i));
  return p;
}

TDateTime NtpTimestampToDateTime(std::uint32_t seconds, std::uint32_t fraction) {
  // Era 0 (top bit set) runs 1968-2036 from 1900-01-01; era 1 continues from 2036-02-07.
  double s = static_cast<double>(seconds & 0x7FFFFFFFu) + 2147483648.0;
  if ((seconds & 0x80000000u) == 0) s += 2147483648.0;
  const double f = static_cast<double>(fraction >> 8) / 16777216.0;
  return (s + f) / kSecondsPerDay + 2.0;
}

double NtpShortToSeconds(std::uint32_t value) {
  const double magnitude = static_cast<double>(value & 0x7FFFFFFFu) / 65536.0;
  return (value & 0x80000000u) ? -magnitude : magnitude;
}

std::optional<TSntpAnswer> DecodeSntpPacket(std::string_view b) {
  if (b.size() < kSntpPacketSize) return std::nullopt;
  TSntpAnswer a;
  const auto b0 = static_cast<unsigned char>(b[0]);
  a.leapIndicator = b0 >> 6;
  a.version = (b0 >> 3) & 7;
  a.mode = b0 & 7;
  a.stratum = static_cast<unsigned char>(b[1]);
  a.poll = static_cast<signed char>(b[2]);
  a.precision = static_cast<signed char>(b[3]);
  a.rootDelay = NtpShortToSeconds(Be32(b, 4));
  a.rootDispersion = NtpShortToSeconds(Be32(b, 8));
  a.referenceId = Be32(b, 12);
  a.referenceTime = Timestamp(b, 16);
  a.originateTime = Timestamp(b, 24);
  a.receiveTime = Timestamp(b, 32);
  a.transmitTime = Timestamp(b, 40);
  a.transmitIsZero = Be32(b, 40) == 0 && Be32(b, 44) == 0;
  a.originateRaw = static_cast<std::uint64_t>(Be32(b, 24)) << 32 | Be32(b, 28);
  a.unsynchronised = SntpUnsynchronised(a);
  return a;
}

bool SntpUnsynchronised(const TSntpAnswer& a) {
  return !(a.leapIndicator != 3 && a.stratum >= 1 && a.stratum <= 15 && !a.transmitIsZero);
}

std::string SntpReplyProblem(const TSntpAnswer& a, std::uint64_t sentTransmit) {
  if (a.mode != 4 && a.mode != 5) return "mode " + std::to_string(a.mode);
  if (a.version < 1 || a.version > 4) return "version " + std::to_string(a.version);
  if (a.stratum == 0) {
    // A kiss-of-death carries its code in the reference identifier ("RATE", "DENY", ...).
    std::string code;
    for (int shift = 24; shift >= 0; shift -= 8) {
      const char c = static_cast<char>((a.referenceId >> shift) & 0xFF);
      if (c >= 0x21 && c <= 0x7E) code += c;
    }
    return "kiss-of-death" + (code.empty() ? std::string() : " " + code);
  }
  if (a.stratum > 15) return "stratum " + std::to_string(a.stratum);
  if (a.leapIndicator == 3) return "server not synchronised";
  if (a.transmitIsZero) return "no transmit time";
  if (a.originateRaw != sentTransmit) return "not the answer to our request";
  return "";
}

bool IsDottedAddress(std::string_view text) {
  int parts = 0;
  std::size_t pos = 0;
  while (true) {
    unsigned value = 0;
    const auto* begin = text.data() + pos;
    const auto [ptr, ec] = std::from_chars(begin, text.data() + text.size(), value);
    if (ec != std::errc() || ptr == begin || ptr - begin > 3 || value > 255) return false;
    ++parts;
    pos = static_cast<std::size_t>(ptr - text.data());
    if (pos == text.size()) return parts == 4;
    if (text[pos] != '.' || parts == 4) return false;
    ++pos;
  }
}

TSNTPClient::TSNTPClient(NetworkFactory& network, TimerFactory& timers, const Clock& clock)
    : m_network(network), m_timers(timers), m_clock(clock) {
  NextTransmitStamp = [] {
    static std::mt19937_64 random{std::random_device{}()};
    std::uint64_t v = 0;
    while (v == 0) v = random();
    return v;
  };
}

TSNTPClient::~TSNTPClient() {
  if (m_lookupId >= 0) m_network.GetResolver().Abort(m_lookupId);
  for (auto* s : {m_listen.get(), m_send.get()}) {
    if (!s) continue;
    s->OnDatagram = nullptr;
    s->OnError = nullptr;
    s->Close();
  }
}

void TSNTPClient::Reset() {
  if (m_lookupId >= 0) m_network.GetResolver().Abort(m_lookupId);
  m_lookupId = -1;
  if (m_timer) m_timer->SetEnabled(false);
  // The sockets are kept and only closed: a reply handler may be running on one of them.
  if (m_listen) m_listen->Close();
  if (m_send) m_send->Close();
  m_state = State::Idle;
}

void TSNTPClient::RequestTime() {
  if (!m_timer) {
    m_timer = m_timers.CreateTimer();
    m_timer->OnTimer = [this] { TimerFired(); };
    m_listen = m_network.CreateDatagramSocket();
    m_send = m_network.CreateDatagramSocket();
    for (auto* s : {m_listen.get(), m_send.get()}) {
      s->OnDatagram = [this](std::string_view bytes, const std::string& from, std::uint16_t) {
        Received(bytes, from);
      };
    }
    // Only the sending socket's errors count: the listening one is optional.
    m_send->OnError = [this](const std::string& text) { SocketError(text); };
  }
  Reset();
  m_serverAddress = "0.0.0.0";
  std::string host = HostAddr;
  while (!host.empty() && host.back() == ' ') host.pop_back();
  while (!host.empty() && host.front() == ' ') host.erase(0, 1);
  if (IsDottedAddress(host)) return Send(host);
  // Names (and blank entries, which fail) go to the resolver; its answer always comes later.
  m_state = State::Resolving;
  m_resolvedName = host;
  m_resolveProblem.clear();
  m_lookupId = m_network.GetResolver().LookupName(host, [this](const LookupResult& r) {
    m_lookupId = -1;
    if (m_state != State::Resolving) return;
    if (!r.ok || r.addresses.empty()) {
      m_state = State::Idle;
      m_resolveProblem = r.ok ? "nessun indirizzo" : r.error;
      if (OnResolveError) OnResolveError();
      return;
    }
    Send(r.addresses.front());
  });
}

void TSNTPClient::Send(const std::string& address) {
  m_serverAddress = address;
  unsigned port = 0;
  const auto [ptr, ec] = std::from_chars(HostPort.data(), HostPort.data() + HostPort.size(), port);
  if (ec != std::errc() || ptr != HostPort.data() + HostPort.size() || port == 0 || port > 65535) {
    m_state = State::Idle;
    if (OnWinsockError) OnWinsockError("Invalid port " + HostPort);
    return;
  }
  m_state = State::Waiting;
  m_timer->SetInterval(m_timeout);
  m_timer->SetEnabled(true);
  // The listening socket on the NTP port is a courtesy to servers that answer there; a local
  // time server usually holds it and ordinary users may not bind it, so its failure is ignored
  // and the reply is read from the sending socket as well.
  std::string error;
  m_listen->Bind(ListenPort, error);
  if (!m_send->Bind(0, error)) {
    Reset();
    if (OnWinsockError) OnWinsockError(error);
    return;
  }
  m_sentTick = m_clock.TickCount();
  m_sentTransmit = NextTransmitStamp ? NextTransmitStamp() : 0;
  m_send->SendTo(address, static_cast<std::uint16_t>(port), SntpRequestPacket(m_sentTransmit));
}

void TSNTPClient::Received(std::string_view bytes, const std::string& from) {
  if (m_state != State::Waiting) return;  // late or unasked: nobody waits for it
  // Only a whole packet from the server asked (or from this machine) is a reply; anything
  // else is ignored and the time-out goes on running.
  if (from != m_serverAddress && from != "127.0.0.1") return;
  const std::uint32_t roundTrip =
      static_cast<std::uint32_t>((m_clock.TickCount() - m_sentTick) & ((1u << 30) - 1));
  const auto answer = DecodeSntpPacket(bytes);
  m_replyProblem = answer ? SntpReplyProblem(*answer, m_sentTransmit)
                          : "short reply (" + std::to_string(bytes.size()) + " bytes)";
  Reset();
  if (!m_replyProblem.empty()) {
    // A refusal or a broken reply: this server has answered, and not usably; the caller moves
    // on to the next one.
    if (OnReceiveError) OnReceiveError();
    return;
  }
  m_answer = *answer;
  m_answer.roundTripMs = roundTrip;
  if (roundTrip > static_cast<std::uint32_t>(m_timeout)) {
    // Too late to be trusted: discarded, and reported as the time-out it is, so the caller
    // can go on to another server.
    m_answer.timedOut = true;
    if (OnTimeout) OnTimeout();
    return;
  }
  m_answer.timedOut = false;
  m_answer.estimatedTime =
      m_answer.transmitTime +
      (roundTrip / kMsPerDay - (m_answer.transmitTime - m_answer.receiveTime)) / 2.0;
  m_answer.unsynchronised = SntpUnsynchronised(m_answer);
  if (OnDataAvailable) OnDataAvailable(0);
}

void TSNTPClient::TimerFired() {
  if (m_state != State::Waiting) return;
  Reset();
  m_answer.timedOut = true;
  if (OnTimeout) OnTimeout();
}

void TSNTPClient::SocketError(const std::string& text) {
  if (m_state != State::Waiting) return;
  Reset();
  if (OnWinsockError) OnWinsockError(text);
}

}  // namespace orva
