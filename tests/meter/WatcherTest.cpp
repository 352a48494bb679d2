// The dial-up watcher, the telephony events and the adapter byte counters.
#include "MeterFixture.h"

namespace orva::test {
namespace {

TEST_F(MeterTest, ManualCallSurvivesNoConnectionsButNotAFailedEnumeration) {
  Make();
  logic->Start1Click();
  AdvanceSeconds(5);
  EXPECT_TRUE(logic->Call().Metering());
  dialup.SetEnumerationFails(true);
  AdvanceSeconds(0.3);
  EXPECT_FALSE(logic->Call().Metering());
  EXPECT_EQ(log.records.size(), 1u);
  EXPECT_EQ(view.labels[MeterLabel::RasLb], "Sconnesso");
}

TEST_F(MeterTest, DialUpCallEndsWhenItsConnectionVanishes) {
  Make();
  const auto h = dialup.Add("tiscali");
  AdvanceSeconds(0.3);
  ASSERT_TRUE(logic->Call().Metering());
  EXPECT_EQ(logic->Call().Info().kind, kKindModem);
  EXPECT_EQ(logic->Call().Info().status, "Connesso");
  EXPECT_EQ(view.tray, "ORVA32 - Connesso a : tiscali");
  EXPECT_EQ(logic->Call().Info().ipAddress, "10.64.64.64");
  dialup.Remove(h);
  AdvanceSeconds(0.3);
  EXPECT_FALSE(logic->Call().Metering());
  ASSERT_EQ(log.records.size(), 1u);
  EXPECT_EQ(log.records[0].service, "Modem: tiscali");
  EXPECT_EQ(view.tray, "ORVA32 - nessuna connessione");
  EXPECT_EQ(view.labels[MeterLabel::ServiceLb], "Sconnesso da: tiscali  ");
}

TEST_F(MeterTest, TwoConnectionsAreSeenInTurnAndTheLastStaysCurrent) {
  Make();
  dialup.Add("libero", kRasConnectingDevice, "ppp1");
  const auto second = dialup.Add("tiscali", kRasConnected, "ppp0");
  AdvanceSeconds(0.3);
  EXPECT_TRUE(logic->Call().Metering());
  EXPECT_EQ(logic->Call().Info().entryName, "tiscali");
  EXPECT_EQ(view.labels[MeterLabel::RasLb], "Connesso");
  logic->HangupBtnClick();
  ASSERT_EQ(dialup.hungUp.size(), 1u);
  EXPECT_EQ(dialup.hungUp[0], second);
}

TEST_F(MeterTest, StatusTextsFollowTheDialUpStates) {
  EXPECT_EQ(RasStateText(0), "Opening port");
  EXPECT_EQ(RasStateText(14), "Authenticated");
  EXPECT_EQ(RasStateText(21), "Logging on network");
  EXPECT_EQ(RasStateText(4099), "Password expired");
  EXPECT_EQ(RasStateText(8193), "Disconnesso");
  EXPECT_EQ(RasStateText(22), "");
  Make();
  const auto h = dialup.Add("tiscali", kRasConnectingDevice);
  AdvanceSeconds(0.3);
  EXPECT_EQ(view.labels[MeterLabel::RasLb], "Connecting device");
  EXPECT_FALSE(logic->Call().Metering());
  dialup.SetState(h, kRasConnectingDevice, 678);
  AdvanceSeconds(0.3);
  EXPECT_EQ(view.labels[MeterLabel::RasLb], "Errore 678");
}

TEST_F(MeterTest, ProgramsLaunchOncePerCallForTheirProvider) {
  settings.launched[0].program = "/opt/mail/client";
  settings.launched[1].program = "/opt/news/reader";
  settings.launched[1].provider = "libero";
  settings.launched[2].program = "/opt/missing";
  // "Finestra 1" asks for a minimised window: a program started on Linux opens its windows its
  // own way, so the launch goes ahead as for any other state.
  settings.launched[0].window = 2;
  existing = {"/opt/mail/client", "/opt/news/reader"};
  Make();
  const auto h = dialup.Add("tiscali");
  AdvanceSeconds(2);
  ASSERT_EQ(launcher.launched.size(), 1u);
  EXPECT_EQ(launcher.launched[0].arguments, std::vector<std::string>{"/opt/mail/client"});
  EXPECT_EQ(launcher.launched[0].workingDirectory, "/opt/mail/");
  dialup.Remove(h);
  AdvanceSeconds(0.3);
  dialup.Add("libero");
  AdvanceSeconds(0.3);
  EXPECT_EQ(launcher.launched.size(), 3u);
}

TEST_F(MeterTest, DiallingRunsPonWithTheEntryAsOneArgumentAndTellsWhatCannotBeDialled) {
  Make();
  logic->Watcher().DialEntry("my isp");
  ASSERT_EQ(launcher.launched.size(), 1u);
  EXPECT_EQ(launcher.launched[0].arguments, (std::vector<std::string>{"pon", "my isp"}));
  EXPECT_TRUE(dialogs.shown.empty());
  // A name pon would take for an option is not run, and the user is told.
  logic->Watcher().DialEntry("-option");
  EXPECT_EQ(launcher.launched.size(), 1u);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "Voce di accesso remoto non valida: -option");
  EXPECT_EQ(dialogs.shown[0].type, MsgType::Error);
  // A dialler that does not start (pppd not installed) is told too.
  launcher.fails = true;
  logic->Watcher().DialEntry("my isp");
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[1].text, "non avviato");
}

TEST_F(MeterTest, BytesCountFromTheCallsStartOnEachLinkAndStayAfterItGoes) {
  // What the interface carried before the call (the negotiation) is not the call's.
  stats.Set("ppp0", kBytesReceivedCounter, 900);
  stats.Set("ppp0", kBytesSentCounter, 100);
  Make();
  auto h = dialup.Add("tiscali");  // interface index 101
  AdvanceSeconds(0.3);
  stats.Set("ppp0", kBytesReceivedCounter, 6000000900LL);  // past 32 bits
  stats.Set("ppp0", kBytesSentCounter, 500);
  AdvanceSeconds(0.3);
  EXPECT_EQ(logic->Call().Info().bytesReceived, "6000000000");
  EXPECT_EQ(view.labels[MeterLabel::BytesRecv], "6.000.000.000");
  // The link goes: its counters vanish with it; the log keeps the last figures.
  dialup.Remove(h);
  stats.RemoveInterface("ppp0");
  AdvanceSeconds(0.3);
  ASSERT_EQ(log.records.size(), 1u);
  EXPECT_EQ(log.records[0].bytesReceived, "6000000000");
  EXPECT_EQ(log.records[0].bytesSent, "400");

  // The next link is a new interface with the same name, its counters lower than the last.
  stats.Set("ppp0", kBytesReceivedCounter, 50);
  stats.Set("ppp0", kBytesSentCounter, 20);
  h = dialup.Add("tiscali");  // interface index 102
  AdvanceSeconds(0.3);
  stats.Set("ppp0", kBytesReceivedCounter, 150);
  stats.Set("ppp0", kBytesSentCounter, 40);
  AdvanceSeconds(0.3);
  EXPECT_EQ(logic->Call().Info().bytesReceived, "100");
  EXPECT_EQ(logic->Call().Info().bytesSent, "20");
}

TEST_F(MeterTest, StopWhileTheLinkStaysUpCountsTheNextCallFromThatEnd) {
  Make();
  stats.Set("ppp0", kBytesReceivedCounter, 100);
  stats.Set("ppp0", kBytesSentCounter, 10);
  dialup.Add("tiscali");
  AdvanceSeconds(0.3);
  stats.Set("ppp0", kBytesReceivedCounter, 300);
  AdvanceSeconds(0.3);
  // The call counts from its own start.
  logic->HandleAppMessage(kMsgStop, 0, 0);  // ends the call, the link stays up
  EXPECT_EQ(log.records.back().bytesReceived, "200");
  stats.Set("ppp0", kBytesReceivedCounter, 1000);  // traffic while idle
  AdvanceSeconds(0.3);                             // the watcher starts a new call
  ASSERT_TRUE(logic->Call().Metering());
  stats.Set("ppp0", kBytesReceivedCounter, 1500);
  AdvanceSeconds(0.3);
  EXPECT_EQ(logic->Call().Info().bytesReceived, "500");
}

TEST_F(MeterTest, VoiceCallIsMeteredWithoutNegotiationAndTheFaxInitialisationIsNot) {
  Make();
  telephony.calls[7] = {9600, "0612345678", "Inizializzazione del fax", kMediaG3Fax};
  telephony.Event(7, kCallConnected);
  EXPECT_FALSE(logic->Call().Metering());
  EXPECT_EQ(view.labels[MeterLabel::StatusLb], "Connesso a 9600 bps");
  telephony.Event(7, kCallIdle);
  EXPECT_TRUE(log.records.empty());

  telephony.calls[8] = {0, "0612345678", "Mario", kMediaInteractiveVoice};
  telephony.Event(8, kCallConnected);
  ASSERT_TRUE(logic->Call().Metering());
  EXPECT_EQ(logic->Call().Info().kind, kKindVoice);
  EXPECT_EQ(MeteredCall::ToSeconds(logic->Call().CallStart()), MeteredCall::ToSeconds(clock.Now()));
  EXPECT_EQ(view.labels[MeterLabel::ServiceLb], "Connesso a: Mario  0612345678");
  AdvanceSeconds(65);
  telephony.Event(8, kCallDisconnected, 64);
  EXPECT_FALSE(logic->Call().Metering());
  EXPECT_EQ(view.labels[MeterLabel::StatusLb], "Disconnesso - Nessuna risposta");
  ASSERT_EQ(log.records.size(), 1u);
  EXPECT_EQ(log.records[0].service, "A voce: Mario (0612345678)");
  EXPECT_EQ(log.records[0].ticks, "2");
}

TEST_F(MeterTest, HangUpOfAVoiceCallReleasesItAndTelephonyStatusTexts) {
  Make();
  telephony.Event(3, kCallDialing);
  EXPECT_EQ(view.labels[MeterLabel::StatusLb], "Composizione numero");
  telephony.Event(3, kCallBusy);
  EXPECT_EQ(view.labels[MeterLabel::StatusLb], "Linea occupata");
  telephony.calls[3] = {0, "", "Ufficio", kMediaInteractiveVoice};
  telephony.Event(3, kCallConnected);
  logic->HangupBtnClick();
  EXPECT_EQ(telephony.dropped, std::vector<std::int64_t>{3});
  telephony.Event(3, kCallIdle);
  EXPECT_FALSE(logic->Call().Metering());
  EXPECT_EQ(telephony.deallocated, std::vector<std::int64_t>{3});
}

}  // namespace
}  // namespace orva::test
