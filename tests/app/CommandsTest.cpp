// The main window's command table: its names and its enabling.
#include "app/Commands.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

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

TEST(RefreshCommandStates, ApplicaHostsOnlyWithNamesWaitingBetweenCalls) {
  const auto enabled = [](bool metering, bool waiting) {
    for (const CommandState& s : RefreshCommandStates({metering, false, false, waiting}))
      if (s.name == "ApplicaHosts1") return s.enabled;
    ADD_FAILURE() << "ApplicaHosts1 is not switched";
    return true;
  };
  EXPECT_FALSE(enabled(false, false));
  EXPECT_TRUE(enabled(false, true));
  EXPECT_FALSE(enabled(true, true));  // the call's own names join them at its end
}

// Every menu item and button is found under its own command, and no component name is used by
// two commands: a name given twice would run the first one's handler from the second's control.
TEST(CommandTable, EveryComponentNameBelongsToOneCommand) {
  std::set<std::string> names;
  for (const CommandInfo& c : CommandTable()) {
    EXPECT_TRUE(c.item || c.button) << static_cast<int>(c.id);
    for (const char* name : {c.item, c.button, c.tablesItem}) {
      if (!name) continue;
      EXPECT_TRUE(names.insert(name).second) << "used twice: " << name;
      const CommandInfo* found = FindCommand(name);
      ASSERT_NE(found, nullptr) << name;
      EXPECT_EQ(found->id, c.id) << name;
    }
    EXPECT_EQ(c.item != nullptr, c.caption != nullptr) << static_cast<int>(c.id);
    EXPECT_EQ(c.tablesItem != nullptr, c.tablesCaption != nullptr) << static_cast<int>(c.id);
  }
  EXPECT_EQ(FindCommand("Start"), nullptr);
  EXPECT_EQ(FindCommand(""), nullptr);
}

// Each command with a menu item is in exactly one menu once, and every submenu is closed.
TEST(CommandTable, EveryMenuItemIsInTheMenusOnce) {
  std::map<CommandId, int> placed;
  for (auto layout : {MainMenuLayout(), TablesMenuLayout(), MailIconMenuLayout()}) {
    int depth = 0;
    for (const MenuEntry& e : layout) {
      if (e.kind == MenuEntry::Kind::Command) ++placed[e.id];
      if (e.kind == MenuEntry::Kind::Submenu) ++depth;
      if (e.kind == MenuEntry::Kind::End) --depth;
      EXPECT_GE(depth, 0);
    }
    EXPECT_EQ(depth, 0);
  }
  for (const CommandInfo& c : CommandTable()) {
    const int expected = (c.item ? 1 : 0) + (c.tablesItem ? 1 : 0);
    EXPECT_EQ(placed[c.id], expected) << (c.item ? c.item : c.button);
  }
}

}  // namespace
}  // namespace orva
