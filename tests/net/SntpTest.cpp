// SNTP packets, the client's waiting and the main window's walk through the server list.
#include "net/Sntp.h"

#include <gtest/gtest.h>

#include "SntpFakeNetwork.h"
#include "TempDir.h"
#include "net/SntpCheck.h"
#include "simulation/ManualClock.h"

namespace orva {
namespace {

using test::FakeNetwork;

struct Fields {
  unsigned char first = 0x1C;  // leap 0, version 3, mode 4 (server)
  unsigned char stratum = 2;
  unsigned char poll = 6;
  unsigned char precision = 0xEC;
  std::uint32_t rootDelay = 0, rootDispersion = 0, refId = 0x7F7F0101;
  std::uint32_t ref[2] = {}, orig[2] = {0x11223344u, 0x55667788u}, recv[2] = {}, xmit[2] = {};
};

// The transmit timestamp the tests' clients send, echoed by Fields' originate.
constexpr std::uint64_t kStamp = 0x1122334455667788ull;

void Put32(std::string& p, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[at + i] = static_cast<char>(v >> (24 - 8 * i));
}

std::string Packet(const Fields& f) {
  std::string p(48, '\0');
  p[0] = static_cast<char>(f.first);
  p[1] = static_cast<char>(f.stratum);
  p[2] = static_cast<char>(f.poll);
  p[3] = static_cast<char>(f.precision);
  Put32(p, 4, f.rootDelay);
  Put32(p, 8, f.rootDispersion);
  Put32(p, 12, f.refId);
  const std::uint32_t* ts[] = {f.ref, f.orig, f.recv, f.xmit};
  for (int i = 0; i < 4; ++i) Put32(p, 16 + 8 * i, ts[i][0]), Put32(p, 20 + 8 * i, ts[i][1]);
  return p;
}

// NTP seconds of a UTC date and time.
std::uint32_t NtpSeconds(int y, int mo, int d, int h, int mi, int s) {
  const double days = EncodeDate(y, mo, d) - EncodeDate(1900, 1, 1);
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(days * 86400.0 + 0.5) + h * 3600 +
                                    mi * 60 + s);
}

double Seconds(TDateTime t) {
  return t * 86400.0;
}

TEST(SntpPacket, RequestIsVersionOneClientModeWithItsStamp) {
  const std::string p = SntpRequestPacket(kStamp);
  ASSERT_EQ(p.size(), 48u);
  EXPECT_EQ(p[0], 0x0B);
  EXPECT_EQ(p.find_first_not_of('\0', 1), 40u);
  EXPECT_EQ(p.substr(40), "\x11\x22\x33\x44\x55\x66\x77\x88");
}

TEST(SntpPacket, OnlySoundAnswersToOurRequestAreUsed) {
  Fields good;
  good.xmit[0] = NtpSeconds(2025, 1, 1, 0, 0, 0);
  struct Case {
    const char* what;
    void (*change)(Fields&);
    const char* problem;
  } cases[] = {
      {"server", [](Fields&) {}, ""},
      {"broadcast", [](Fields& f) { f.first = 0x1D; }, ""},
      {"version 1", [](Fields& f) { f.first = 0x0C; }, ""},
      {"version 4", [](Fields& f) { f.first = 0x24; }, ""},
      {"client mode", [](Fields& f) { f.first = 0x1B; }, "mode 3"},
      {"symmetric", [](Fields& f) { f.first = 0x19; }, "mode 1"},
      {"version 0", [](Fields& f) { f.first = 0x04; }, "version 0"},
      {"version 5", [](Fields& f) { f.first = 0x2C; }, "version 5"},
      {"kiss", [](Fields& f) { f.stratum = 0, f.refId = 0x52415445; }, "kiss-of-death RATE"},
      {"stratum 16", [](Fields& f) { f.stratum = 16; }, "stratum 16"},
      {"leap 3", [](Fields& f) { f.first = 0xDC; }, "server not synchronised"},
      {"no transmit", [](Fields& f) { f.xmit[0] = 0; }, "no transmit time"},
      {"other request", [](Fields& f) { f.orig[1] = 0; }, "not the answer to our request"},
  };
  for (const auto& c : cases) {
    Fields f = good;
    c.change(f);
    const auto a = DecodeSntpPacket(Packet(f));
    ASSERT_TRUE(a);
    EXPECT_EQ(SntpReplyProblem(*a, kStamp), c.problem) << c.what;
  }
}

TEST(SntpPacket, TimestampErasAndFraction) {
  // Era 0, top bit set: counted from 1900.
  const auto s2024 = NtpSeconds(2024, 1, 1, 12, 0, 0);
  ASSERT_TRUE(s2024 & 0x80000000u);
  EXPECT_NEAR(Seconds(NtpTimestampToDateTime(s2024, 0)),
              Seconds(EncodeDate(2024, 1, 1) + EncodeTime(12, 0, 0)), 1e-4);
  EXPECT_NEAR(Seconds(NtpTimestampToDateTime(0x80000000u, 0)),
              Seconds(EncodeDate(1968, 1, 20) + EncodeTime(3, 14, 8)), 1e-4);
  // Era 1, top bit clear: the seconds go on from 2036-02-07 06:28:16.
  EXPECT_NEAR(Seconds(NtpTimestampToDateTime(0, 0)),
              Seconds(EncodeDate(2036, 2, 7) + EncodeTime(6, 28, 16)), 1e-4);
  EXPECT_NEAR(Seconds(NtpTimestampToDateTime(86400, 0)),
              Seconds(EncodeDate(2036, 2, 8) + EncodeTime(6, 28, 16)), 1e-4);
  // Fraction: the top 24 bits count, the lowest 8 do not.
  const TDateTime base = NtpTimestampToDateTime(s2024, 0);
  EXPECT_NEAR(Seconds(NtpTimestampToDateTime(s2024, 0x80000000u) - base), 0.5, 1e-6);
  EXPECT_NEAR(Seconds(NtpTimestampToDateTime(s2024, 0x00000100u) - base), 1.0 / 16777216, 1e-6);
  EXPECT_EQ(NtpTimestampToDateTime(s2024, 0x000000FFu), base);
}

TEST(SntpPacket, RootDelayIsSignMagnitude) {
  EXPECT_DOUBLE_EQ(NtpShortToSeconds(0x00018000u), 1.5);
  EXPECT_DOUBLE_EQ(NtpShortToSeconds(0x80018000u), -1.5);
  EXPECT_DOUBLE_EQ(NtpShortToSeconds(0x80000000u), 0.0);
  EXPECT_DOUBLE_EQ(NtpShortToSeconds(0xFFFFFFFFu), -(0x7FFFFFFF / 65536.0));
}

TEST(SntpPacket, DecodesEveryField) {
  Fields f;
  f.first = 0xE4;  // leap 3, version 4, mode 4
  f.stratum = 16;
  f.poll = 0xFA;       // -6
  f.precision = 0xEC;  // -20
  f.rootDelay = 0x80004000u;
  f.rootDispersion = 0x00020000u;
  f.xmit[0] = NtpSeconds(2025, 6, 30, 23, 59, 59);
  f.recv[0] = f.xmit[0] - 1;
  f.ref[0] = f.orig[0] = f.xmit[0] - 100;
  const auto a = DecodeSntpPacket(Packet(f) + "trailing bytes are ignored");
  ASSERT_TRUE(a);
  EXPECT_EQ(a->leapIndicator, 3);
  EXPECT_EQ(a->version, 4);
  EXPECT_EQ(a->mode, 4);
  EXPECT_EQ(a->stratum, 16);
  EXPECT_EQ(a->poll, -6);
  EXPECT_EQ(a->precision, -20);
  EXPECT_DOUBLE_EQ(a->rootDelay, -0.25);
  EXPECT_DOUBLE_EQ(a->rootDispersion, 2.0);
  EXPECT_EQ(a->referenceId, 0x7F7F0101u);
  EXPECT_NEAR(Seconds(a->transmitTime - a->receiveTime), 1.0, 1e-4);
  EXPECT_NEAR(Seconds(a->transmitTime - a->referenceTime), 100.0, 1e-4);
  EXPECT_TRUE(a->unsynchronised);
  EXPECT_FALSE(DecodeSntpPacket(Packet(f).substr(0, 47)));
  EXPECT_FALSE(DecodeSntpPacket(""));
}

TEST(SntpPacket, UnsynchronisedUnlessLeapStratumAndTransmitAreSound) {
  Fields f;
  f.xmit[0] = NtpSeconds(2025, 1, 1, 0, 0, 0);
  struct Case {
    unsigned char first, stratum;
    bool zeroTransmit, unsynchronised;
  } cases[] = {
      {0x1C, 1, false, false}, {0x1C, 15, false, false}, {0x5C, 2, false, false},
      {0xDC, 2, false, true},  {0x1C, 0, false, true},   {0x1C, 16, false, true},
      {0x1C, 2, true, true},
  };
  for (const auto& c : cases) {
    Fields g = f;
    g.first = c.first;
    g.stratum = c.stratum;
    if (c.zeroTransmit) g.xmit[0] = 0;
    const auto a = DecodeSntpPacket(Packet(g));
    ASSERT_TRUE(a);
    EXPECT_EQ(a->unsynchronised, c.unsynchronised)
        << int(c.first) << " " << int(c.stratum) << " " << c.zeroTransmit;
  }
}

TEST(SntpPacket, DottedAddresses) {
  EXPECT_TRUE(IsDottedAddress("127.0.0.1"));
  EXPECT_TRUE(IsDottedAddress("255.255.255.255"));
  for (const char* bad : {"", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1..2.3", "a.b.c.d", "1.2.3.4 ",
                          "0001.2.3.4", "pool.ntp.org"})
    EXPECT_FALSE(IsDottedAddress(bad)) << bad;
}

class SntpClientTest : public ::testing::Test {
 protected:
  SntpClientTest() : clock(EncodeDate(2025, 1, 15) + EncodeTime(10, 0, 0)) {
    client.OnDataAvailable = [this](int e) { events.push_back("data " + std::to_string(e)); };
    client.OnTimeout = [this] { events.push_back("timeout"); };
    client.OnWinsockError = [this](const std::string& t) { events.push_back("winsock " + t); };
    client.OnResolveError = [this] { events.push_back("resolve"); };
    client.OnReceiveError = [this] { events.push_back("invalid " + client.ReplyProblem()); };
    client.NextTransmitStamp = [] { return kStamp; };
  }
  std::string Reply(std::uint32_t xmit, std::uint32_t recv) {
    Fields f;
    f.xmit[0] = xmit;
    f.recv[0] = recv;
    return Packet(f);
  }
  ManualClock clock;
  FakeNetwork net;
  TSNTPClient client{net, clock, clock};
  std::vector<std::string> events;
};

TEST_F(SntpClientTest, AnswersWithRoundTripAndEstimatedTime) {
  net.refusedPorts[123] = true;  // the listening socket cannot be had: no matter
  client.HostAddr = "192.0.2.7";
  client.HostPort = "11123";
  client.SetTimeout(1500);
  client.RequestTime();
  ASSERT_EQ(net.sent.size(), 1u);
  EXPECT_EQ(net.sent[0].to, "192.0.2.7");
  EXPECT_EQ(net.sent[0].port, 11123);
  EXPECT_EQ(net.sent[0].bytes, SntpRequestPacket(kStamp));
  EXPECT_TRUE(net.lookups.empty());
  clock.AdvanceMs(200);
  const auto t = NtpSeconds(2025, 1, 15, 9, 0, 10);
  net.Deliver(Reply(t, t - 0), "192.0.2.7");
  ASSERT_EQ(events, std::vector<std::string>{"data 0"});
  const auto& a = client.Answer();
  EXPECT_EQ(a.roundTripMs, 200u);
  EXPECT_FALSE(a.timedOut);
  EXPECT_FALSE(a.unsynchronised);
  EXPECT_NEAR(Seconds(a.estimatedTime - a.transmitTime), 0.1, 1e-4);
  clock.AdvanceMs(5000);  // the timer was stopped
  EXPECT_EQ(events.size(), 1u);
}

TEST_F(SntpClientTest, ShortAndRefusingRepliesEndTheWait) {
  client.HostAddr = "192.0.2.7";
  const auto t = NtpSeconds(2025, 1, 15, 9, 0, 10);
  client.RequestTime();
  net.Deliver(Reply(t, t).substr(0, 47), "192.0.2.7");
  Fields kiss;
  kiss.stratum = 0;
  kiss.refId = 0x44454E59;  // "DENY"
  client.RequestTime();
  net.Deliver(Packet(kiss), "192.0.2.7");
  clock.AdvanceMs(5000);
  EXPECT_EQ(events, (std::vector<std::string>{"invalid short reply (47 bytes)",
                                              "invalid kiss-of-death DENY"}));
}

TEST_F(SntpClientTest, ForeignAndLateDatagramsAreIgnored) {
  client.HostAddr = "192.0.2.7";
  client.RequestTime();
  const auto t = NtpSeconds(2025, 1, 15, 9, 0, 10);
  net.Deliver(Reply(t, t), "198.51.100.1");  // someone else
  EXPECT_TRUE(events.empty());
  clock.AdvanceMs(500);
  EXPECT_EQ(events, std::vector<std::string>{"timeout"});
  EXPECT_TRUE(client.Answer().timedOut);
  net.Deliver(Reply(t, t), "192.0.2.7");  // after the time-out
  EXPECT_EQ(events.size(), 1u);

  // A reply from this machine itself is accepted whatever was asked.
  client.RequestTime();
  net.Deliver(Reply(t, t), "127.0.0.1");
  EXPECT_EQ(events.back(), "data 0");
}

TEST_F(SntpClientTest, ReplyPastTheTimeoutBeforeTheTimerIsReportedAsTimeout) {
  // The tick counter runs ahead of the timers, as when the event loop was held up.
  ManualClock ticks(0);
  TSNTPClient slow(net, clock, ticks);
  slow.NextTransmitStamp = [] { return kStamp; };
  std::vector<std::string> got;
  slow.OnDataAvailable = [&](int) { got.push_back("data"); };
  slow.OnTimeout = [&] { got.push_back("timeout"); };
  slow.HostAddr = "192.0.2.7";
  slow.RequestTime();
  ticks.AdvanceMs(501);
  const auto t = NtpSeconds(2025, 1, 15, 9, 0, 10);
  net.Deliver(Reply(t, t), "192.0.2.7");
  EXPECT_EQ(got, std::vector<std::string>{"timeout"});
  EXPECT_TRUE(slow.Answer().timedOut);
  EXPECT_EQ(slow.Answer().roundTripMs, 501u);
  clock.AdvanceMs(1000);
  EXPECT_EQ(got.size(), 1u);
}

TEST_F(SntpClientTest, NamesAreResolvedAndFailuresReported) {
  client.HostAddr = "time.example.org";
  client.RequestTime();
  EXPECT_EQ(net.lookups, std::vector<std::string>{"time.example.org"});
  EXPECT_TRUE(net.sent.empty());
  net.AnswerLookup({true, {"203.0.113.5", "203.0.113.6"}, "", ""});
  ASSERT_EQ(net.sent.size(), 1u);
  EXPECT_EQ(net.sent[0].to, "203.0.113.5");
  EXPECT_EQ(client.ServerAddress(), "203.0.113.5");

  client.HostAddr = "";
  client.RequestTime();  // starting over drops the wait
  EXPECT_TRUE(events.empty()) << "never fired inside the request";
  net.AnswerLookup({false, {}, "", "Host not found"});
  EXPECT_EQ(events, std::vector<std::string>{"resolve"});

  client.HostAddr = "192.0.2.1";
  client.HostPort = "ntp";
  client.RequestTime();
  EXPECT_EQ(events.back(), "winsock Invalid port ntp");
  client.SetTimeout(-5);
  EXPECT_EQ(client.Timeout(), 0);
}

class TimeCheckTest : public SntpClientTest {
 protected:
  TimeCheckTest() {
    check.SetCallHasAddress(true);
    check.SetGetNetworkTime(true);
  }
  // A reply whose transmit time is the given UTC moment, delivered at once.
  void Answer(TDateTime utc) {
    const double s = (utc - EncodeDate(1900, 1, 1)) * 86400.0;
    const auto secs = static_cast<std::uint32_t>(s);
    const auto frac = static_cast<std::uint32_t>((s - secs) * 4294967296.0);
    Fields f;
    f.xmit[0] = f.recv[0] = secs;
    f.xmit[1] = f.recv[1] = frac;
    net.Deliver(Packet(f), net.sent.back().to);
  }
  int zoneMinutes = 60;
  TNetworkTimeCheck check{client, clock, [this](std::time_t) {
                            return ZoneInfo{zoneMinutes, zoneMinutes == 60 ? "CET" : "IST"};
                          }};
};

TEST_F(TimeCheckTest, ServerListLinesAreCutAtHashAndTrimmed) {
  EXPECT_EQ(ParseTimeServers(
                {"  192.0.2.1  ", "# a comment", "", "ntp1.example # main", "\tntp2.example\t"}),
            (std::vector<std::string>{"192.0.2.1", "", "", "ntp1.example", "ntp2.example"}));
  test::TempDir dir;
  check.LoadTimeServers(dir.File("Time Servers.txt"));
  EXPECT_EQ(check.SyncroL(), "File Time Servers.txt non trovato!");
  check.CheckNetworkTime();
  EXPECT_EQ(check.SyncroL(), "Il file Time Servers.txt non contiene nessun server!");
  // A new data directory gets the shipped list; the user's own list is kept.
  SeedTimeServers(dir.path());
  check.LoadTimeServers(dir.File("Time Servers.txt"));
  EXPECT_GE(check.Servers().size(), 3u);
  EXPECT_FALSE(check.Servers()[0].empty());
  std::remove(dir.File("Time Servers.txt").c_str());
  test::WriteBytes(dir.File("time servers.TXT"), "192.0.2.1\r\n#x\r\n");
  SeedTimeServers(dir.path());
  check.LoadTimeServers(dir.File("Time Servers.txt"));
  EXPECT_EQ(check.Servers(), (std::vector<std::string>{"192.0.2.1", ""}));
}

TEST_F(TimeCheckTest, AnswerShowsNetworkDateAndDifferenceInLocalTime) {
  check.SetServers({"192.0.2.1"});
  check.ClockBtnClick();
  EXPECT_EQ(check.SyncroL(), "Controllo data/ora da 192.0.2.1");
  EXPECT_FALSE(check.ClockBtnEnabled());
  EXPECT_EQ(client.Timeout(), 1500);
  // Local clock 10:00:00 in a zone one hour east: UTC 08:59:30 means 30 s ahead.
  Answer(EncodeDate(2025, 1, 15) + EncodeTime(8, 59, 30));
  EXPECT_EQ(check.SyncroL(), "Mer 15-01-25 - Diff. ora locale/GMT +00.00.30");
  EXPECT_EQ(check.SyncroLHint(), "CET");
  EXPECT_TRUE(check.ClockBtnEnabled());
  ASSERT_TRUE(check.Difference());
  EXPECT_NEAR(Seconds(*check.Difference()), 30.0, 0.01);
  EXPECT_EQ(check.NetworkDate(), EncodeDate(2025, 1, 15));

  // A half-hour zone keeps its half hour; the network ahead shows "-".
  zoneMinutes = 330;
  check.ClockBtnClick();
  Answer(EncodeDate(2025, 1, 15) + EncodeTime(4, 32, 5));
  EXPECT_EQ(check.SyncroL(), "Mer 15-01-25 - Diff. ora locale/GMT -00.02.05");
  EXPECT_EQ(check.SyncroLHint(), "IST");

  // Days off: the whole days stay in front of the time.
  zoneMinutes = 60;
  check.ClockBtnClick();
  Answer(EncodeDate(2025, 1, 12) + EncodeTime(7, 58, 57));
  EXPECT_EQ(check.SyncroL(), "Dom 12-01-25 - Diff. ora locale/GMT +3g 01.01.03");
  check.ClockBtnClick();
  Answer(EncodeDate(2025, 1, 25) + EncodeTime(9, 0, 0));
  EXPECT_EQ(check.SyncroL(), "Sab 25-01-25 - Diff. ora locale/GMT -10g 00.00.00");
  EXPECT_EQ(FormatClockDifference(1.0 - kOneSecond / 4), "1g 00.00.00");
}

TEST_F(TimeCheckTest, RefusingServerMovesToTheNext) {
  check.SetServers({"192.0.2.1", "192.0.2.2"});
  check.ClockBtnClick();
  Fields kiss;
  kiss.stratum = 0;
  kiss.refId = 0x52415445;
  net.Deliver(Packet(kiss), "192.0.2.1");
  EXPECT_EQ(check.ServerIndex(), 1);
  EXPECT_EQ(net.sent.back().to, "192.0.2.2");
  Answer(EncodeDate(2025, 1, 15) + EncodeTime(9, 0, 0));
  EXPECT_EQ(check.SyncroL(), "Mer 15-01-25 - Diff. ora locale/GMT -00.00.00");
}

// A server whose name does not resolve is named in the label with the resolver's reason, and
// the next server is asked.
TEST_F(TimeCheckTest, UnresolvedNameIsShownWithTheReason) {
  check.SetServers({"  ntp.sconosciuto.invalid ", "time.example.org"});
  check.ClockBtnClick();
  EXPECT_EQ(net.lookups.back(), "ntp.sconosciuto.invalid");
  std::vector<std::string> labels;
  check.OnChanged = [&] { labels.push_back(check.SyncroL()); };
  net.AnswerLookup({false, {}, "", "Host non trovato"});
  ASSERT_FALSE(labels.empty());
  EXPECT_EQ(labels.front(),
            "SNTP - nome del server non risolto: ntp.sconosciuto.invalid (Host non trovato)");
  EXPECT_EQ(net.lookups.back(), "time.example.org");
  // A lookup that answers with no address at all says so.
  net.AnswerLookup({true, {}, "", ""});
  EXPECT_EQ(check.SyncroL(),
            "SNTP - nome del server non risolto: time.example.org "
            "(nessun indirizzo)");
}

TEST_F(TimeCheckTest, FailuresWalkTheListOnceThenRest) {
  check.SetServers({"", "192.0.2.1", "192.0.2.2"});
  std::vector<std::string> labels;
  check.OnChanged = [&] { labels.push_back(check.SyncroL()); };
  check.ClockBtnClick();
  EXPECT_EQ(check.ServerIndex(), 0);
  net.AnswerLookup({false, {}, "", "no name"});  // the blank entry
  EXPECT_EQ(check.ServerIndex(), 1);
  clock.AdvanceMs(1500);
  EXPECT_EQ(check.ServerIndex(), 2);
  EXPECT_FALSE(check.ClockBtnEnabled());
  clock.AdvanceMs(1500);
  EXPECT_EQ(labels, (std::vector<std::string>{
                        "Controllo data/ora da ", "SNTP - riga senza nome del server",
                        "Controllo data/ora da 192.0.2.1", "SNTP - timeout",
                        "Controllo data/ora da 192.0.2.2", "SNTP - timeout", "SNTP - timeout"}));
  EXPECT_TRUE(check.ClockBtnEnabled());
  clock.AdvanceMs(10000);
  EXPECT_EQ(net.sent.size(), 2u) << "no endless round after every server failed";
  // The button starts a new round from the next entry, wrapping round.
  check.ClockBtnClick();
  EXPECT_EQ(check.ServerIndex(), 0);
  check.CallStarted();
  check.ClockBtnClick();
  EXPECT_EQ(check.ServerIndex(), 0);
}

TEST_F(TimeCheckTest, NoCheckWithoutAddressOrSetting) {
  check.SetServers({"192.0.2.1"});
  check.SetGetNetworkTime(false);
  check.CheckNetworkTime();
  check.SetGetNetworkTime(true);
  check.SetCallHasAddress(false);
  check.CheckNetworkTime();
  EXPECT_TRUE(net.sent.empty());
  EXPECT_EQ(check.SyncroL(), "");
}

}  // namespace
}  // namespace orva

namespace orva {
namespace {

TEST(LocalZone, FollowsTheZoneRulesInMinutes) {
  const char* old = std::getenv("TZ");
  const std::string saved = old ? old : "";
  setenv("TZ", "Europe/Rome", 1);
  tzset();
  const std::time_t winter = 1736935200;  // 2025-01-15 10:00 UTC
  const std::time_t summer = 1752573600;  // 2025-07-15 10:00 UTC
  EXPECT_EQ(LocalZoneAt(winter).offsetMinutes, 60);
  EXPECT_EQ(LocalZoneAt(winter).name, "CET");
  EXPECT_EQ(LocalZoneAt(summer).offsetMinutes, 120);
  EXPECT_EQ(LocalZoneAt(summer).name, "CEST");
  setenv("TZ", "Asia/Kolkata", 1);
  tzset();
  EXPECT_EQ(LocalZoneAt(winter).offsetMinutes, 330);
  if (old)
    setenv("TZ", saved.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
}

}  // namespace
}  // namespace orva
