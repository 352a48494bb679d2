// The metered call on a line of its own: what it asks of the line and when, with no watcher
// and no shell around it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "MeterFixture.h"
#include "core/MeteredCall.h"

namespace orva::test {
namespace {

// A line that says what the meter asked of it, in order.
struct ScriptedLine : MeteredLine {
  CallInfo info;
  const FakeLog* log = nullptr;
  bool polling = true;
  bool linkGoes = true;
  std::vector<std::string> asked;

  const CallInfo& Info() const override { return info; }
  void CallStarting() override {
    asked.push_back("starting");
    info.ipAddress.clear();
  }
  bool HangUpLink() override {
    asked.push_back("hang up");
    return linkGoes;
  }
  bool HoldPolling() override {
    asked.push_back("hold");
    const bool was = polling;
    polling = false;
    return was;
  }
  void ResumePolling() override {
    asked.push_back("resume");
    polling = true;
  }
  void CallClosed() override {
    asked.push_back("closed with " + std::to_string(log->records.size()) + " logged");
  }
};

class MeteredCallTest : public MeterTest {
 protected:
  MeteredCallTest() : deps(Deps()), call(deps) {
    line.log = &log;
    call.Attach(line);
    call.Reset();
    call.Activate();
  }
  MeterDeps deps;
  MeteredCall call;
  ScriptedLine line;
};

TEST_F(MeteredCallTest, ClosingHoldsThePollRecordsTheCallAndOnlyThenHandsTheLineBack) {
  line.info.kind = kKindVoice;
  line.info.entryName = "0612345678";
  call.Start();
  AdvanceSeconds(61);
  call.End();
  EXPECT_EQ(line.asked,
            (std::vector<std::string>{"starting", "hold", "closed with 1 logged", "resume"}));
  EXPECT_TRUE(line.polling);
  ASSERT_EQ(log.records.size(), 1u);
  EXPECT_EQ(log.records[0].service, "A voce: 0612345678");

  // A poll that was not running stays stopped.
  line.asked.clear();
  line.polling = false;
  call.Start();
  call.End();
  EXPECT_EQ(line.asked, (std::vector<std::string>{"starting", "hold", "closed with 2 logged"}));
  EXPECT_FALSE(line.polling);
}

TEST_F(MeteredCallTest, ATimeLimitHangsUpThroughTheLineAndALinkThatStaysKeepsTheCallMetered) {
  settings.access.password = "x";
  settings.access.disconnectAfterMinutes = 1;
  settings.access.disconnectMinutes = 2;
  line.info.kind = kKindModem;
  line.linkGoes = false;
  call.Start();
  AdvanceSeconds(121);
  EXPECT_TRUE(call.Metering());
  EXPECT_NE(std::find(line.asked.begin(), line.asked.end(), "hang up"), line.asked.end());
  EXPECT_TRUE(log.records.empty());

  line.linkGoes = true;
  AdvanceSeconds(0.5);
  EXPECT_FALSE(call.Metering());
  ASSERT_EQ(log.records.size(), 1u);
  EXPECT_EQ(dialogs.shown.back().text,
            "ORVA32 - blocco connessione\r\rConnessione interrotta, trascorsi 2 minuti.");
}

TEST_F(MeteredCallTest, WhatTheLineKnowsOfTheCallIsWhatTheLogGets) {
  settings.negotiationTime = "30000";
  call.Reset();
  line.info.kind = kKindModem;
  line.info.entryName = "tiscali";
  line.info.speed = "56000";
  call.Start();
  // A dial-up call counts its negotiation: it started thirty seconds ago.
  EXPECT_EQ(MeteredCall::ToSeconds(call.CallStart()), MeteredCall::ToSeconds(clock.Now()) - 30);
  line.info.bytesReceived = "123456";
  line.info.bytesSent = "7890";
  AdvanceSeconds(10);
  call.End();
  ASSERT_EQ(log.records.size(), 1u);
  EXPECT_EQ(log.records[0].service, "Modem: tiscali");
  EXPECT_EQ(log.records[0].speed, "56000");
  EXPECT_EQ(log.records[0].bytesReceived, "123456");
  EXPECT_EQ(log.records[0].bytesSent, "7890");
  EXPECT_EQ(log.records[0].durationSeconds, 40);

  // A call started by hand has no negotiation.
  line.info.status = kStatusManual;
  call.Start();
  EXPECT_EQ(MeteredCall::ToSeconds(call.CallStart()), MeteredCall::ToSeconds(clock.Now()));
  call.End();
}

}  // namespace
}  // namespace orva::test
