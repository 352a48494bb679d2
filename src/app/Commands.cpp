// The main window's command table, its menus and its enabling.
#include "app/Commands.h"

#include <utility>

namespace orva {

namespace {

using R = EnableRule;
using C = CommandId;

// One row per command, in the order of CommandId (checked below).
constexpr CommandInfo kCommands[] = {
    {C::Start, "Start1", "Avvio manuale", "", R::Idle, false, "StartBtn", "Avvio manuale", R::Idle},
    // The stop button's hint follows the meter; its accessible name is the caption.
    {C::Stop, "Stop1", "Arresto manuale", "", R::Metering, false, "StopBtn", nullptr, R::Metering},
    {C::Connect, "Connetti1", "Connetti", "", R::Idle, false, "ConnectBtn", "Connetti", R::Idle},
    // A voice call is released from the telephone, not by the dial-up hang-up button.
    {C::Disconnect, "Sconnetti1", "Sconnetti", "", R::Metering, false, "HangupBtn", "Sconnetti",
     R::DataCall},
    // The tables and the tools that write them stay closed while a call is metered.
    {C::Voice, "AVoce1", "A voce", "", R::Idle, false, "VoiceBtn", "Chiamata a voce", R::Idle},
    {C::Log, "ElencoConnessioni1", "Elenco connessioni", "", R::Idle, false, nullptr, nullptr,
     R::Own, "ElencoConnessioni2", "Elenco connessioni"},
    {C::Bill, "Bolletta1", "Bolletta", "", R::Idle, false, nullptr, nullptr, R::Own, "Bolletta2",
     "Bolletta"},
    {C::Tariffs, "ImpostazioniTariffe1", "Impostazioni tariffe", "", R::Idle, false, nullptr,
     nullptr, R::Own, "ImpostazioneTariffe2", "Impostazione tariffe"},
    {C::Servers, "ElencoServers1", "Elenco servers/IP", "", R::Idle, false, "HostsBtn",
     "Gestione indirizzi", R::Idle},
    // The names that wait for a hosts file this user may not write, applied after one
    // authorisation; with none waiting there is nothing to apply.
    {C::ApplyHosts, "ApplicaHosts1", "Applica hosts", "", R::HostsWaiting},
    {C::MailNow, "ControllaOra1", "Controlla ora", "", R::MailNow},
    {C::MailCyclic, "AttivaControllo1", "Attiva controllo ciclico", "", R::MailIdle, true},
    {C::MailStop, "InterrompiControllo1", "Interrompi controllo", "", R::MailRunning},
    {C::SmallWindow, "Ridotta1", "Ridotta", "", R::Own, true, "ShrinkBtn", "Riduci finestra",
     R::Always},
    {C::LargeWindow, "Ingrandita1", "Ingrandita", "", R::Own, true, "ZoomBtn",
     "Ingrandisci finestra"},
    {C::Bitmap, "Sfondoabitmap1", "Sfondo a bitmap", "", R::Own, true},
    {C::Details, "Dettagli1", "Dettagli", "", R::Own, true},
    // The panels of the large window; each caption is also the panel's title.
    {C::Panel1, "Pannello1", "Pulsanti", "", R::Own, true},
    {C::Panel2, "Pannello2", "Servizi", "", R::Own, true},
    {C::Panel3, "Pannello3", "Contatori", "", R::Own, true},
    {C::Panel4, "Pannello4", "Stato", "", R::Own, true},
    {C::Panel5, "Pannello5", "DNS service", "", R::Own, true},
    {C::Panel6, "Pannello6", "TCP/UDP monitor", "", R::Own, true},
    // The counter items, as the taskbar menu has them; 4, 5 and 7 follow the tick length.
    {C::Counter1, "Counter1", "costo in Lire - tempo trascorso ", "", R::Own, true},
    {C::Counter2, "Counter2", "costo + IVA", "", R::Own, true},
    {C::Counter3, "Counter3", "tempo trascorso", "", R::Own, true},
    {C::Counter4, "Counter4", "totale scatti", "", R::Own, true},
    {C::Counter5, "Counter5", "tempo al prossimo scatto", "", R::Own, true},
    {C::Counter6, "Counter6", "costo in bolletta", "", R::Own, true},
    {C::Counter7, "Counter7", "percentuale tempo scatto", "", R::Own, true},
    {C::Options, "Opzioni1", "Opzioni", "", R::Own, false, "SetupBtn", "Opzioni", R::Always},
    {C::Wizard, "Wizard1", "Impostazione guidata", "", R::Own},
    {C::Tips, "Suggerimenti1", "Suggerimenti", "", R::Own},
    {C::About, "Informazioni1", "Informazioni", "", R::Own},
    {C::Quit, "Quit1", "Termina", "", R::Own},
    // The mail icon's menu; a double click on the icon runs "Visualizza messaggi" too.
    {C::ShowMail, "Visualizzamessaggi1", "Visualizza messaggi", "", R::Own},
    {C::HideMailIcon, "Nascondiicona1", "Nascondi icona", "", R::Own},
    // A running time check switches the clock button itself.
    {C::Clock, nullptr, nullptr, "", R::Own, false, "ClockBtn", "Preleva l'ora dalla rete"},
};
static_assert(std::size(kCommands) == kCommandCount, "one row per command");

constexpr bool InIdOrder() {
  for (std::size_t i = 0; i < std::size(kCommands); ++i)
    if (static_cast<std::size_t>(kCommands[i].id) != i) return false;
  return true;
}

using K = MenuEntry::Kind;
constexpr MenuEntry Cmd(CommandId id) {
  return {K::Command, id};
}
constexpr MenuEntry kSeparator{K::Separator};
constexpr MenuEntry kEnd{K::End};

constexpr MenuEntry kMainMenu[] = {
    Cmd(C::Start),
    Cmd(C::Stop),
    kSeparator,
    Cmd(C::Connect),
    Cmd(C::Disconnect),
    Cmd(C::Voice),
    kSeparator,
    Cmd(C::Log),
    Cmd(C::Bill),
    Cmd(C::Tariffs),
    Cmd(C::Servers),
    Cmd(C::ApplyHosts),
    kSeparator,
    {K::Submenu, C::Count, "Posta1", "Posta"},
    Cmd(C::MailNow),
    Cmd(C::MailCyclic),
    Cmd(C::MailStop),
    kEnd,
    {K::Submenu, C::Count, "Finestra1", "Finestra"},
    Cmd(C::SmallWindow),
    Cmd(C::LargeWindow),
    kSeparator,
    Cmd(C::Bitmap),
    Cmd(C::Details),
    kSeparator,
    Cmd(C::Panel1),
    Cmd(C::Panel2),
    Cmd(C::Panel3),
    Cmd(C::Panel4),
    Cmd(C::Panel5),
    Cmd(C::Panel6),
    kEnd,
    {K::Submenu, C::Count, "Contatore1", "Contatore"},
    Cmd(C::Counter1),
    Cmd(C::Counter2),
    Cmd(C::Counter3),
    Cmd(C::Counter4),
    Cmd(C::Counter5),
    Cmd(C::Counter6),
    Cmd(C::Counter7),
    kEnd,
    kSeparator,
    Cmd(C::Options),
    Cmd(C::Wizard),
    Cmd(C::Tips),
    Cmd(C::About),
    kSeparator,
    Cmd(C::Quit),
};

constexpr MenuEntry kTablesMenu[] = {Cmd(C::Log), Cmd(C::Bill), Cmd(C::Tariffs)};
constexpr MenuEntry kMailIconMenu[] = {Cmd(C::ShowMail), Cmd(C::HideMailIcon)};

}  // namespace

static_assert(InIdOrder(), "the table's rows follow CommandId");

std::span<const CommandInfo> CommandTable() {
  return kCommands;
}

const CommandInfo& Command(CommandId id) {
  return kCommands[static_cast<std::size_t>(id)];
}

const CommandInfo* FindCommand(std::string_view name) {
  for (const CommandInfo& c : kCommands) {
    for (const char* own : {c.item, c.button, c.tablesItem})
      if (own && name == own) return &c;
  }
  return nullptr;
}

std::span<const MenuEntry> MainMenuLayout() {
  return kMainMenu;
}

std::span<const MenuEntry> TablesMenuLayout() {
  return kTablesMenu;
}

std::span<const MenuEntry> MailIconMenuLayout() {
  return kMailIconMenu;
}

bool Enabled(EnableRule rule, const CommandStateInput& in) {
  switch (rule) {
    case R::Own:
    case R::Always:
      return true;
    case R::Idle:
      return !in.metering;
    case R::Metering:
      return in.metering;
    case R::DataCall:
      return in.metering && !in.voiceCall;
    case R::MailNow:
      return in.metering && !in.mailCheckRunning;
    case R::MailIdle:
      return !in.mailCheckRunning;
    case R::MailRunning:
      return in.mailCheckRunning;
    case R::HostsWaiting:
      return !in.metering && in.hostsWaiting;
  }
  return true;
}

std::vector<CommandState> RefreshCommandStates(const CommandStateInput& in) {
  std::vector<CommandState> states;
  for (const CommandInfo& c : kCommands) {
    if (c.rule != R::Own) {
      for (const char* item : {c.item, c.tablesItem})
        if (item) states.push_back({item, Enabled(c.rule, in)});
    }
    if (c.button && c.buttonRule != R::Own) states.push_back({c.button, Enabled(c.buttonRule, in)});
  }
  return states;
}

void CommandHandlers::Bind(CommandId id, std::function<void()> handler) {
  if (id != CommandId::Count) m_handlers[static_cast<std::size_t>(id)] = std::move(handler);
}

bool CommandHandlers::Bound(CommandId id) const {
  return id != CommandId::Count && m_handlers[static_cast<std::size_t>(id)] != nullptr;
}

bool CommandHandlers::Run(CommandId id) const {
  if (!Bound(id)) return false;
  // A copy: the handler may bind the command again while it runs.
  const std::function<void()> handler = m_handlers[static_cast<std::size_t>(id)];
  handler();
  return true;
}

}  // namespace orva
