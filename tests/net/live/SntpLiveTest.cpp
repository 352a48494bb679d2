// The SNTP client and the network time check against chrony on loopback.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

#include "LiveDoubles.h"
#include "MailLiveServers.h"
#include "net/SntpCheck.h"
#include "platform/qt/QtSockets.h"
#include "platform/qt/QtTimer.h"

namespace orva {
namespace {

using namespace std::chrono_literals;

using test::NoResolver;
TEST(SntpLive, ChronyAnswersAndTheLabelShowsTheDifference) {
  const std::string reason = test::LiveSkipReason("chronyd");
  if (!reason.empty()) GTEST_SKIP() << reason;
  test::ChronyServer server(21123);
  std::string error;
  ASSERT_TRUE(server.Start(error)) << error;

  NoResolver resolver;
  QtNetworkFactory network(resolver);
  QtTimerFactory timers;
  SystemClock clock;
  TSNTPClient client(network, timers, clock);
  client.ListenPort = 0;  // never take the real NTP port from the machine's own server
  TNetworkTimeCheck check(client, clock);
  check.SetServers({"127.0.0.1"});
  check.SetCallHasAddress(true);
  check.SetGetNetworkTime(true);
  client.HostPort = std::to_string(server.Port());
  // chronyd may need a moment before it answers: each round of the list is one try.
  for (int attempt = 0; attempt < 10 && !check.Difference(); ++attempt) {
    check.ClockBtnClick();
    ASSERT_TRUE(test::PumpUntil([&] { return check.ClockBtnEnabled(); }, 5s));
  }
  ASSERT_TRUE(check.Difference()) << check.SyncroL();
  const auto& a = client.Answer();
  EXPECT_EQ(a.mode, 4);
  EXPECT_EQ(a.stratum, 8) << "chrony serves its local clock at stratum 8";
  EXPECT_FALSE(a.unsynchronised);
  EXPECT_FALSE(a.timedOut);
  EXPECT_LE(a.roundTripMs, 1500u);
  // Same machine, same clock: the difference is well under a second.
  EXPECT_LT(std::fabs(*check.Difference()) * 86400.0, 1.0) << check.SyncroL();
  EXPECT_NE(check.SyncroL().find(" - Diff. ora locale/GMT "), std::string::npos) << check.SyncroL();
  EXPECT_EQ(check.NetworkDate(), DatePart(clock.Now()));
}

TEST(SntpLive, SilentPortTimesOut) {
  NoResolver resolver;
  QtNetworkFactory network(resolver);
  QtTimerFactory timers;
  SystemClock clock;
  TSNTPClient client(network, timers, clock);
  client.ListenPort = 0;
  bool timedOut = false;
  client.OnTimeout = [&] { timedOut = true; };
  client.HostAddr = "127.0.0.1";
  client.HostPort = "21124";  // nobody there
  client.SetTimeout(300);
  client.RequestTime();
  EXPECT_TRUE(test::PumpUntil([&] { return timedOut || !client.Waiting(); }, 5s));
  EXPECT_TRUE(timedOut);
}

}  // namespace
}  // namespace orva
