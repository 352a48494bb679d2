// Which commands of the main window are enabled in which state.
#include "app/CommandStates.h"

namespace orva {

std::vector<CommandState> RefreshCommandStates(const CommandStateInput& in) {
  const bool m = in.metering;
  std::vector<CommandState> s = {
      // Stopping belongs to a running call, starting and dialling to an idle meter.
      {cmd::kStop, m},
      {"StopBtn", m},
      {cmd::kDisconnect, m},
      {cmd::kStart, !m},
      {"StartBtn", !m},
      {cmd::kConnect, !m},
      {"ConnectBtn", !m},
      // The tables and the tools that write them stay closed while a call is metered.
      {cmd::kVoice, !m},
      {cmd::kServers, !m},
      {cmd::kApplyHosts, !m},
      {cmd::kBill, !m},
      {cmd::kBillTables, !m},
      {cmd::kLog, !m},
      {cmd::kLogTables, !m},
      {cmd::kTariffs, !m},
      {cmd::kTariffsTables, !m},
      {"VoiceBtn", !m},
      {"HostsBtn", !m},
      // A voice call is released from the telephone, not by the dial-up hang-up.
      {"HangupBtn", m && !in.voiceCall},
      {"ShrinkBtn", true},
      {"SetupBtn", true},
      {cmd::kMailNow, m && !in.mailCheckRunning},
      {cmd::kMailCyclic, !in.mailCheckRunning},
      {cmd::kMailStop, in.mailCheckRunning},
  };
  return s;
}

}  // namespace orva
