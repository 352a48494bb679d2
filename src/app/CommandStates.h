// Which commands of the main window are enabled in which state, by the component names of
// the buttons and menu items, so the window applies the table by name.
#pragma once

#include <string>
#include <vector>

namespace orva {

struct CommandStateInput {
  bool metering = false;
  bool voiceCall = false;         // the metered call is a voice call
  bool mailCheckRunning = false;  // a mail check is in progress
};

struct CommandState {
  std::string name;  // objectName of the button or menu item
  bool enabled;
};

std::vector<CommandState> RefreshCommandStates(const CommandStateInput& in);

// The menu items' component names, shared by the window and its tests.
namespace cmd {
inline constexpr const char* kStart = "Start1";              // "Avvio manuale"
inline constexpr const char* kStop = "Stop1";                // "Arresto manuale"
inline constexpr const char* kConnect = "Connetti1";         // "Connetti"
inline constexpr const char* kDisconnect = "Sconnetti1";     // "Sconnetti"
inline constexpr const char* kVoice = "AVoce1";              // "A voce"
inline constexpr const char* kServers = "ElencoServers1";    // "Elenco servers/IP"
inline constexpr const char* kApplyHosts = "ApplicaHosts1";  // "Applica hosts"
inline constexpr const char* kBill = "Bolletta1";            // "Bolletta"
inline constexpr const char* kBillTables = "Bolletta2";      // "Bolletta" under "Tabelle"
inline constexpr const char* kLog = "ElencoConnessioni1";    // "Elenco connessioni"
inline constexpr const char* kLogTables = "ElencoConnessioni2";
inline constexpr const char* kTariffs = "ImpostazioniTariffe1";  // "Impostazioni tariffe"
inline constexpr const char* kTariffsTables = "ImpostazioneTariffe2";
inline constexpr const char* kMailNow = "ControllaOra1";          // "Controlla ora"
inline constexpr const char* kMailCyclic = "AttivaControllo1";    // "Attiva controllo ciclico"
inline constexpr const char* kMailStop = "InterrompiControllo1";  // "Interrompi controllo"
}  // namespace cmd

}  // namespace orva
