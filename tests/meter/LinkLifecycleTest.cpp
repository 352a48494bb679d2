// Links and calls as the real services live them: pppd redialling a dropped line, interfaces
// that exist before the link and stay after it, a service restarting under a call, calls of
// another kind after a data call, and names and numbers the services should never send.
#include <filesystem>

#include "FakePppTree.h"
#include "MeterFixture.h"
#include "TempDir.h"
#include "platform/SafeFile.h"

namespace orva::test {
namespace {

// pppd over fake /sys, /run and /proc trees, the way `pppd call tiscali persist` shows itself:
// the daemon stays, its interface comes and goes with the line.
struct PppdLine : FakePppTree {
  void Daemon(int pid, const std::string& peer) {
    Process(pid, "pppd", std::string("pppd\0call\0", 10) + peer + '\0' + "persist" + '\0');
  }
  // The interface pppd creates when the line answers (down), and brings up after IPCP.
  void Interface(const std::string& name, int index, int pid, bool up, const std::string& ip) {
    FakePppTree::Interface(name, index, up);
    WriteBytes(roots.run + "/" + name + ".pid", std::to_string(pid) + "\n");
    if (up && !ip.empty()) addresses[name] = ip;
  }
  void LineDrops(const std::string& name) {
    std::filesystem::remove_all(roots.sys + "/class/net/" + name);
    std::filesystem::remove(roots.run + "/" + name + ".pid");
    addresses.erase(name);
  }
};

struct LinkLifecycle : MeterTest {
  void MakeOn(Dialup& service) {
    MeterDeps d = Deps();
    d.dialup = &service;
    logic = std::make_unique<MainLogic>(d);
    logic->Startup();
    logic->FirstActivation();
  }
  // The ticks billed with the answer of a call: one AddTicks of the answer tick each.
  long long BilledTicks() const {
    long long n = 0;
    for (const auto& a : bill.added) n += a.ticks;
    return n;
  }
  struct CountingView : RecordingView {
    int hidden = 0;
    void HideWindow() override { ++hidden; }
  };
};

TEST_F(LinkLifecycle, PppdRedialAfterADroppedLineIsANewCallAndTheGapIsNotCharged) {
  settings.hideOnStop = 1;
  PppdLine line;
  PppDialup pppd = line.Service();
  MakeOn(pppd);
  line.Daemon(4242, "tiscali");
  AdvanceSeconds(0.3);
  EXPECT_EQ(view.labels[MeterLabel::RasLb], "Connecting device");

  // The modem answered: pppd made ppp0, still down while LCP and authentication run. That is a
  // link being made, not a disconnection.
  line.Interface("ppp0", 7, 4242, false, "");
  view.labels[MeterLabel::ServiceLb].clear();
  AdvanceSeconds(3);
  EXPECT_FALSE(logic->Call().Metering());
  EXPECT_EQ(view.labels[MeterLabel::RasLb], "Device connected");
  EXPECT_EQ(view.labels[MeterLabel::ServiceLb], "tiscali");
  EXPECT_TRUE(log.records.empty());

  line.Interface("ppp0", 7, 4242, true, "10.64.64.64");
  AdvanceSeconds(0.3);
  ASSERT_TRUE(logic->Call().Metering());
  AdvanceSeconds(125);
  const long long firstTicks = logic->Call().Ticks();
  EXPECT_EQ(firstTicks, 3);  // the answer tick and two more

  // The line drops; pppd stays to dial again. The call ends with the link.
  line.LineDrops("ppp0");
  AdvanceSeconds(0.3);
  EXPECT_FALSE(logic->Call().Metering());
  ASSERT_EQ(log.records.size(), 1u);
  EXPECT_EQ(log.records[0].ticks, std::to_string(firstTicks));
  EXPECT_EQ(log.records[0].service, "Modem: tiscali");
  EXPECT_EQ(view.labels[MeterLabel::RasLb], "Connecting device");
  const long long billedAtDrop = BilledTicks();

  // Five minutes of redialling cost nothing.
  AdvanceSeconds(300);
  EXPECT_EQ(BilledTicks(), billedAtDrop);
  EXPECT_FALSE(logic->Call().Metering());

  // The redialled line is a new interface and a new call, with its own answer tick.
  line.Interface("ppp0", 8, 4242, false, "");
  AdvanceSeconds(1);
  EXPECT_FALSE(logic->Call().Metering());
  line.Interface("ppp0", 8, 4242, true, "10.64.64.65");
  AdvanceSeconds(0.3);
  ASSERT_TRUE(logic->Call().Metering());
  EXPECT_EQ(logic->Call().Ticks(), 1);
  EXPECT_EQ(BilledTicks(), billedAtDrop + 1);
  AdvanceSeconds(30);
  line.LineDrops("ppp0");
  std::filesystem::remove_all(line.roots.proc + "/4242");
  AdvanceSeconds(0.3);
  ASSERT_EQ(log.records.size(), 2u);
  EXPECT_LE(log.records[0].end, log.records[1].start);
  EXPECT_EQ(log.records[1].ticks, "1");
}

TEST_F(LinkLifecycle, AnInterfaceThatExistedBeforeTheCallCountsOnlyTheCallsBytes) {
  // A QMI modem's wwan0 has carried 60 MB since it appeared.
  stats.Set("wwan0", kBytesReceivedCounter, 60'000'000);
  stats.Set("wwan0", kBytesSentCounter, 4'000'000);
  Make();
  AdvanceSeconds(1);
  const auto h = dialup.Add("Vodafone", kRasConnected, "wwan0");
  AdvanceSeconds(0.3);
  ASSERT_TRUE(logic->Call().Metering());
  EXPECT_EQ(logic->Call().Info().bytesReceived, "0");
  stats.Set("wwan0", kBytesReceivedCounter, 60'163'840);
  stats.Set("wwan0", kBytesSentCounter, 4'020'480);
  AdvanceSeconds(0.3);
  EXPECT_EQ(view.labels[MeterLabel::BytesRecv], "163.840");
  dialup.Remove(h);  // the interface stays, and so do its counters
  AdvanceSeconds(0.3);
  ASSERT_EQ(log.records.size(), 1u);
  EXPECT_EQ(log.records[0].bytesReceived, "163840");
  EXPECT_EQ(log.records[0].bytesSent, "20480");

  // The next call on the same interface counts from its own start too.
  stats.Set("wwan0", kBytesReceivedCounter, 70'000'000);  // traffic between the calls
  dialup.Add("Vodafone", kRasConnected, "wwan0");
  AdvanceSeconds(0.3);
  stats.Set("wwan0", kBytesReceivedCounter, 70'001'000);
  AdvanceSeconds(0.3);
  EXPECT_EQ(logic->Call().Info().bytesReceived, "1000");
}

TEST_F(LinkLifecycle, VoiceAndManualCallsAfterADataCallLogNoBytes) {
  Make();
  stats.Set("ppp0", kBytesReceivedCounter, 0);
  stats.Set("ppp0", kBytesSentCounter, 0);
  const auto h = dialup.Add("tiscali");
  AdvanceSeconds(0.3);
  stats.Set("ppp0", kBytesReceivedCounter, 5000);
  stats.Set("ppp0", kBytesSentCounter, 700);
  AdvanceSeconds(0.3);
  dialup.Remove(h);
  AdvanceSeconds(0.3);
  ASSERT_EQ(log.records.size(), 1u);
  EXPECT_EQ(log.records[0].bytesReceived, "5000");

  // A voice call answered on the modem, with a proceeding event on the way.
  telephony.calls[4] = {0, "0612345678", "Mario", kMediaInteractiveVoice};
  telephony.Event(4, kCallProceeding);
  telephony.Event(4, kCallConnected);
  EXPECT_EQ(view.labels[MeterLabel::BytesRecv], "");
  AdvanceSeconds(30);
  telephony.Event(4, kCallIdle);
  ASSERT_EQ(log.records.size(), 2u);
  EXPECT_EQ(log.records[1].service, "A voce: Mario (0612345678)");
  EXPECT_EQ(log.records[1].bytesReceived, "");
  EXPECT_EQ(log.records[1].bytesSent, "");

  // The manual start ("Avvio manuale", orva32cli send start) takes the same road.
  logic->Start1Click();
  AdvanceSeconds(20);
  logic->Stop1Click();
  ASSERT_EQ(log.records.size(), 3u);
  EXPECT_EQ(log.records[2].bytesReceived, "");
  EXPECT_EQ(log.records[2].bytesSent, "");
  logic->HandleAppMessage(kMsgStart, 0, 0);
  AdvanceSeconds(5);
  logic->HandleAppMessage(kMsgStop, 0, 0);
  ASSERT_EQ(log.records.size(), 4u);
  EXPECT_EQ(log.records[3].bytesReceived, "");
}

// NetworkManager leaving the bus and coming back names the same link anew (a new handle, maybe
// a new active connection object); the profile's UUID says it is the same link.
TEST_F(LinkLifecycle, ServiceRestartMidCallContinuesTheCallAndOnlyARealEndEndsIt) {
  Make();
  auto link = [&](const std::string& active) {
    const auto h = dialup.Add("Vodafone", kRasConnected, "wwan0");
    dialup.Find(h)->connection.linkId = "nm:" + active;
    dialup.Find(h)->connection.profileId = "6f1c-uuid";
    return h;
  };
  link("/ActiveConnection/3");
  AdvanceSeconds(0.3);
  ASSERT_TRUE(logic->Call().Metering());
  const TDateTime start = logic->Call().CallStart();
  AdvanceSeconds(70);
  const long long billed = BilledTicks();

  // Restart: the service cannot be asked for 12 s, then hands the link back under new names.
  dialup.SetEnumerationFails(true);
  AdvanceSeconds(12);
  EXPECT_TRUE(logic->Call().Metering());
  EXPECT_TRUE(log.records.empty());
  dialup.RemoveAll();
  const auto back = link("/ActiveConnection/0");
  dialup.SetEnumerationFails(false);
  AdvanceSeconds(0.3);
  EXPECT_TRUE(logic->Call().Metering());
  EXPECT_EQ(logic->Call().CallStart(), start);
  EXPECT_EQ(view.labels[MeterLabel::RasLb], "Connesso");
  AdvanceSeconds(50);
  // Only the ticks of the time that passed: no second answer tick.
  EXPECT_EQ(BilledTicks(), billed + 1);

  // The real end of the link ends the call: one record for the whole time.
  dialup.Remove(back);
  AdvanceSeconds(0.3);
  ASSERT_EQ(log.records.size(), 1u);
  EXPECT_EQ(log.records[0].ticks, "3");
  EXPECT_NEAR(log.records[0].durationSeconds, 142, 2);

  // A service that stays away longer than the grace ends the call it held.
  link("/ActiveConnection/1");
  AdvanceSeconds(0.3);
  ASSERT_TRUE(logic->Call().Metering());
  dialup.SetEnumerationFails(true);
  AdvanceSeconds(29);
  EXPECT_TRUE(logic->Call().Metering());
  AdvanceSeconds(1.5);
  EXPECT_FALSE(logic->Call().Metering());
  EXPECT_EQ(log.records.size(), 2u);

  // So does one that comes back without the link: it may still be showing its links again, so
  // the call waits for the rest of the grace.
  dialup.RemoveAll();
  dialup.SetEnumerationFails(false);
  link("/ActiveConnection/2");
  AdvanceSeconds(0.3);
  ASSERT_TRUE(logic->Call().Metering());
  dialup.SetEnumerationFails(true);
  AdvanceSeconds(10);
  dialup.RemoveAll();
  dialup.SetEnumerationFails(false);
  AdvanceSeconds(5);
  EXPECT_TRUE(logic->Call().Metering());
  AdvanceSeconds(16);
  EXPECT_FALSE(logic->Call().Metering());
  EXPECT_EQ(log.records.size(), 3u);
}

TEST_F(LinkLifecycle, ADroppedLinkRedialledWhileTheServiceRunsIsANewCall) {
  Make();
  const auto first = dialup.Add("Vodafone", kRasConnected, "wwan0");
  dialup.Find(first)->connection.linkId = "nm:/ActiveConnection/3";
  dialup.Find(first)->connection.profileId = "6f1c-uuid";
  AdvanceSeconds(0.3);
  AdvanceSeconds(61);
  // The modem dropped the line and NetworkManager at once activated the profile again: the same
  // profile, another active connection, in one and the same poll.
  dialup.Remove(first);
  const auto again = dialup.Add("Vodafone", kRasConnected, "wwan0");
  dialup.Find(again)->connection.linkId = "nm:/ActiveConnection/4";
  dialup.Find(again)->connection.profileId = "6f1c-uuid";
  AdvanceSeconds(0.3);
  ASSERT_EQ(log.records.size(), 1u);
  EXPECT_TRUE(logic->Call().Metering());
  EXPECT_EQ(logic->Call().Ticks(), 1);
}

TEST_F(LinkLifecycle, HostileNamesAndNumbersAreMeteredMadeSafe) {
  Make();
  // A profile name with a TAB, a line feed and 300 characters.
  std::string name = "Casa\tUfficio\n";
  for (int i = 0; i < 300; ++i) name += "\xC3\xA8";  // "è", two bytes each
  const auto h = dialup.Add(name);
  AdvanceSeconds(0.3);
  ASSERT_TRUE(logic->Call().Metering());
  dialup.Remove(h);
  AdvanceSeconds(0.3);
  ASSERT_EQ(log.records.size(), 1u);
  const std::string& service = log.records[0].service;
  EXPECT_EQ(service.find_first_of("\t\r\n"), std::string::npos);
  EXPECT_EQ(service.rfind("Modem: Casa Ufficio ", 0), 0u) << service;
  // 256 characters of name, none cut in half.
  EXPECT_EQ(service.size(), std::string("Modem: ").size() + 13 + 243 * 2);

  // A caller "number" of a million digits.
  telephony.calls[9] = {0, std::string(1'000'000, '7'), "Sconosciuto\t", kMediaInteractiveVoice};
  telephony.Event(9, kCallConnected);
  ASSERT_TRUE(logic->Call().Metering());
  EXPECT_EQ(logic->Call().Info().remoteParty, std::string(64, '7'));
  EXPECT_LT(view.labels[MeterLabel::ServiceLb].size(), 200u);
  telephony.Event(9, kCallIdle);
  ASSERT_EQ(log.records.size(), 2u);
  EXPECT_EQ(log.records[1].service, "A voce: Sconosciuto  (" + std::string(64, '7') + ")");
}

}  // namespace
}  // namespace orva::test
