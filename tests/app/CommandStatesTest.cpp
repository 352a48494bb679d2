// The enabling table of the main window's commands.
#include "app/CommandStates.h"

#include <gtest/gtest.h>

#include <map>

namespace orva {
namespace {

std::map<std::string, bool> States(bool metering, bool voice = false, bool mail = false) {
  std::map<std::string, bool> m;
  for (const CommandState& s : RefreshCommandStates({metering, voice, mail})) {
    EXPECT_FALSE(m.count(s.name)) << "listed twice: " << s.name;
    m[s.name] = s.enabled;
  }
  return m;
}

TEST(RefreshCommandStates, IdleAndMeteringAreMirrorImages) {
  const auto idle = States(false);
  const auto busy = States(true);
  for (const char* name : {"Stop1", "StopBtn", "Sconnetti1", "HangupBtn"}) {
    EXPECT_FALSE(idle.at(name)) << name;
    EXPECT_TRUE(busy.at(name)) << name;
  }
  for (const char* name :
       {"Start1", "StartBtn", "Connetti1", "ConnectBtn", "AVoce1", "ElencoServers1", "Bolletta1",
        "ElencoConnessioni1", "ImpostazioniTariffe1", "VoiceBtn", "HostsBtn"}) {
    EXPECT_TRUE(idle.at(name)) << name;
    EXPECT_FALSE(busy.at(name)) << name;
  }
  for (const char* name : {"ShrinkBtn", "SetupBtn"}) {
    EXPECT_TRUE(idle.at(name));
    EXPECT_TRUE(busy.at(name));
  }
}

TEST(RefreshCommandStates, VoiceCallIsNotHungUpFromTheDialUpButton) {
  EXPECT_FALSE(States(true, true).at("HangupBtn"));
  EXPECT_TRUE(States(true, true).at("StopBtn"));
}

TEST(RefreshCommandStates, MailCommandsFollowTheCheck) {
  EXPECT_FALSE(States(false).at("ControllaOra1"));  // only during a call
  EXPECT_TRUE(States(true).at("ControllaOra1"));
  const auto checking = States(true, false, true);
  EXPECT_FALSE(checking.at("ControllaOra1"));
  EXPECT_FALSE(checking.at("AttivaControllo1"));
  EXPECT_TRUE(checking.at("InterrompiControllo1"));
  EXPECT_FALSE(States(true).at("InterrompiControllo1"));
}

}  // namespace
}  // namespace orva
