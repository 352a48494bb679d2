// The shell: start-up, the application messages, closing and the end of the session.
#include "MeterFixture.h"

namespace orva::test {
namespace {

TEST_F(MeterTest, StartupOpensTelephonyAndReportsMissingDevicesOnce) {
  telephony.openResult = TelephonyOpen::NoDevices;
  dialup.entries = {"libero", "tiscali"};
  Make();
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].type, MsgType::Warning);
  EXPECT_EQ(dialogs.shown[0].text.rfind("Nessuna periferica TAPI compatibile trovata !", 0), 0u);
  EXPECT_TRUE(logic->Watcher().Polling());
  EXPECT_TRUE(logic->Call().CheckingWarnings());
  EXPECT_FALSE(logic->Call().Sampling());
  EXPECT_EQ(view.labels[MeterLabel::TickLb], "00.01.00");
}

TEST_F(MeterTest, SavedTariffBeyondTheListSelectsTheFirst) {
  settings.tariffIndex = 7;
  Make();
  EXPECT_EQ(logic->Call().SelectedTariff(), 0);
  EXPECT_EQ(settings.tariffIndex, 0);
  EXPECT_EQ(view.selected, 0);
}

TEST_F(MeterTest, ApplicationMessagesStartStopSelectRedrawAndReply) {
  Make();
  EXPECT_TRUE(logic->HandleAppMessage(kMsgSelectTariff, 0, 2));
  EXPECT_EQ(logic->Call().SelectedTariff(), 2);
  EXPECT_TRUE(logic->HandleAppMessage(kMsgSelectTariff, 0, 99));  // not in the list
  EXPECT_EQ(logic->Call().SelectedTariff(), 2);
  EXPECT_TRUE(logic->HandleAppMessage(kMsgDefaultTariff, 0, 0));
  EXPECT_EQ(logic->Call().SelectedTariff(), 0);

  EXPECT_TRUE(logic->HandleAppMessage(kMsgStart, 0, 0));
  EXPECT_TRUE(logic->Call().Metering());
  EXPECT_EQ(logic->Call().Info().status, "Avvio manuale");
  AdvanceSeconds(10);
  EXPECT_TRUE(logic->Call().Metering());  // no connection does not end a manual call
  EXPECT_TRUE(logic->HandleAppMessage(kMsgStop, 0, 0));
  EXPECT_FALSE(logic->Call().Metering());
  EXPECT_EQ(log.records.size(), 1u);

  const int redraws = view.redraws;
  EXPECT_TRUE(logic->HandleAppMessage(kMsgRedraw, 0, 0));
  EXPECT_EQ(view.redraws, redraws + 1);
  EXPECT_TRUE(logic->HandleAppMessage(kMsgNothing, 0, 0));
  EXPECT_FALSE(logic->HandleAppMessage(1031, 0, 0));

  std::vector<long long> reply;
  EXPECT_TRUE(logic->HandleAppMessage(kMsgPing, 4711, 0,
                                      [&](long long to, int m, long long w, long long l) {
                                        reply = {to, m, w, l};
                                      }));
  EXPECT_EQ(reply, (std::vector<long long>{4711, kMsgPingReply, 0, 0}));
}

TEST_F(MeterTest, QuitMessageEndsTheCallSavesAndQuits) {
  Make();
  logic->Start1Click();
  AdvanceSeconds(61);
  EXPECT_TRUE(logic->HandleAppMessage(kMsgQuit, 0, 0));
  EXPECT_FALSE(logic->Call().Metering());
  ASSERT_EQ(log.records.size(), 1u);
  EXPECT_EQ(log.records[0].ticks, "2");
  EXPECT_EQ(saves, 1);
  EXPECT_EQ(view.quits, 1);
}

TEST_F(MeterTest, CloseAsksThePasswordThenConfirmsEndingTheCall) {
  settings.access.password = "pw";
  settings.access.preventClose = 1;
  Make();
  EXPECT_FALSE(logic->FormCloseQuery());  // cancelled
  dialogs.NextPassword(std::string("PW"));
  EXPECT_FALSE(logic->FormCloseQuery());
  EXPECT_EQ(dialogs.beeps, 1);
  EXPECT_EQ(dialogs.shown.back().text, "Password scorretta !");

  logic->Start1Click();
  dialogs.NextPassword(std::string("pw"));
  dialogs.NextAnswer(MsgAnswer::No);
  EXPECT_FALSE(logic->FormCloseQuery());
  EXPECT_TRUE(logic->Call().Metering());
  dialogs.NextPassword(std::string("pw"));
  dialogs.NextAnswer(MsgAnswer::Yes);
  EXPECT_TRUE(logic->FormCloseQuery());
  EXPECT_EQ(dialogs.shown.back().text, "Connessione in corso. Esco lo stesso ?");
  EXPECT_FALSE(logic->Call().Metering());
  EXPECT_EQ(log.records.size(), 1u);
}

TEST_F(MeterTest, SessionEndDuringACallRecordsItAndNeverAsksThePassword) {
  settings.access.password = "pw";
  settings.access.preventClose = 1;
  Make();
  logic->Start1Click();
  AdvanceSeconds(30);
  logic->WMQueryEndSession();
  EXPECT_FALSE(logic->Call().Metering());
  EXPECT_EQ(log.records.size(), 1u);
  EXPECT_TRUE(logic->FormCloseQuery());
  EXPECT_TRUE(dialogs.prompts.empty());
}

TEST_F(MeterTest, TaskbarCounterItemsAndSessionEndPassThrough) {
  Make();
  EXPECT_FALSE(logic->HandleAppMessage(274, 16 * 8, 0));
  EXPECT_EQ(view.item, 3);
  EXPECT_FALSE(logic->HandleAppMessage(274, 16 * 13, 0));
  EXPECT_EQ(view.item, 3);
  EXPECT_FALSE(logic->HandleAppMessage(17, 0, 0));
  EXPECT_TRUE(logic->Call().SessionEnding());
}

}  // namespace
}  // namespace orva::test
