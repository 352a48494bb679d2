// The dial-up watcher: the 250 ms poll of the connections, the telephony call states, the
// adapter byte counters, the programs launched at a connection, dialling and hanging up.
#include <algorithm>
#include <cmath>
#include <exception>

#include "core/DialupWatcher.h"
#include "core/HowUtils.h"
#include "platform/SafeFile.h"

namespace orva {
namespace {

// Re-enables a timer when the run ends, whatever happened inside it.
struct ReenableRas {
  Timer& t;
  MeterView& view;
  ~ReenableRas() {
    t.SetEnabled(true);
    view.RefreshCommandStates();
  }
};

// What identifies a link from one poll to the next.
std::string LinkKey(const DialupConnection& c) {
  if (!c.linkId.empty()) return c.linkId;
  return std::to_string(c.handle) + "/" + c.interfaceName + "/" + std::to_string(c.interfaceIndex);
}

}  // namespace

std::string SafeServiceText(const std::string& text, std::size_t maxChars) {
  std::string out;
  std::size_t chars = 0;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80    ? 1
                               : lead >= 0xF0 ? 4
                               : lead >= 0xE0 ? 3
                               : lead >= 0xC0 ? 2
                                              : 1;
    if (chars == maxChars) break;
    if (lead < 0x20 || lead == 0x7F) {
      out += ' ';
    } else {
      out.append(text, i, std::min(length, text.size() - i));
    }
    i += length;
    ++chars;
  }
  return out;
}

const char* CallKindName(int kind) {
  static const char* const kNames[] = {"Sconosciuto", "Generico", "Modem",
                                       "FAX G3",      "FAX G4",   "A voce"};
  return kind >= 0 && kind <= 5 ? kNames[kind] : "";
}

std::string RasStateText(int state) {
  static const char* const kLow[] = {"Opening port",
                                     "Port opened",
                                     "Connecting device",
                                     "Device connected",
                                     "All devices connected",
                                     "Start authenticating",
                                     "Authentication: notify",
                                     "Authentication: retry",
                                     "Authentication: callback",
                                     "Authentication: change password",
                                     "Authentication: projecting",
                                     "Authentication: link speed",
                                     "Authentication: acknowledge",
                                     "Authentication: reauthenticate",
                                     "Authenticated",
                                     "Preparing for callback",
                                     "Waiting for modem reset",
                                     "Waiting for callback",
                                     "Projected",
                                     "Start authentication",
                                     "Callback complete",
                                     "Logging on network"};
  if (state >= 0 && state <= 21) return kLow[state];
  switch (state) {
    case 4096:
      return "Interactive";
    case 4097:
      return "Retry Authentication";
    case 4098:
      return "Callback set by caller";
    case 4099:
      return "Password expired";
    case kRasConnected:
      return "Connesso";
    case kRasDisconnected:
      return "Disconnesso";
    default:
      return "";
  }
}

DialupWatcher::DialupWatcher(const MeterDeps& d, MeteredCall& call)
    : m_d(d),
      m_call(call),
      m_timerRAS(d.timers->CreateTimer()),
      m_hangupDelay(d.timers->CreateTimer()) {
  m_timerRAS->SetInterval(250);
  m_timerRAS->OnTimer = [this] { TimerRASTimer(); };
  m_hangupDelay->OnTimer = [this] {
    m_hangupDelay->SetEnabled(false);
    m_d.view->SetHangupEnabled(false);
  };
  m_call.Attach(*this);
}

DialupWatcher::~DialupWatcher() = default;

void DialupWatcher::OpenLines() {
  const TelephonyOpen opened =
      m_d.telephony->Open([this](std::int64_t call, int event, int state, int detail) {
        LineCallback(call, event, state, detail);
      });
  m_telephonyOpen = opened == TelephonyOpen::Ok;
  if (opened == TelephonyOpen::IncompatibleVersion)
    m_d.dialogs->Message("Versione TAPI incompatibile !", MsgType::Error, MsgButtons::Ok);
  else if (opened == TelephonyOpen::NoDevices)
    m_d.dialogs->Message(
        "Nessuna periferica TAPI compatibile trovata !\nÈ necessario configurare almeno un modem "
        "nel sistema.",
        MsgType::Warning, MsgButtons::Ok);

  const auto entries = m_d.dialup->EnumEntries();
  if (!entries.empty()) m_d.view->SetDialEntries(entries);
}

void DialupWatcher::StartPolling() {
  m_info.Reset();
  OpenAdapterStatistics();
  m_firstSinceIdle = true;
  m_launchAllowed = true;
  m_timerRAS->SetEnabled(true);
}

void DialupWatcher::Stop() {
  if (m_telephonyOpen) m_d.telephony->Close();
  m_telephonyOpen = false;
  m_timerRAS->SetEnabled(false);
}

bool DialupWatcher::Polling() const {
  return m_timerRAS->Enabled();
}

void DialupWatcher::CallStarting() {
  m_info.hostName.clear();
  m_info.ipAddress.clear();
  m_d.view->SetLabel(MeterLabel::IPLb, "?");
  // Every call counts its own bytes, however it starts: a voice or manual call has none, and
  // a link counts from now even when its interface carried traffic before (a modem's wwan0,
  // the call before on the same interface).
  m_callLink.reset();
  m_serviceAwaySince.reset();
  m_info.bytesReceived.clear();
  m_info.bytesSent.clear();
  m_d.view->SetLabel(MeterLabel::BytesRecv, "");
  m_d.view->SetLabel(MeterLabel::BytesSend, "");
  TakeBaselines();
}

bool DialupWatcher::HangUpLink() {
  return m_info.kind == kKindModem && static_cast<bool>(m_d.dialup->HangUp(m_dialupHandle));
}

bool DialupWatcher::HoldPolling() {
  const bool was = m_timerRAS->Enabled();
  m_timerRAS->SetEnabled(false);
  return was;
}

void DialupWatcher::ResumePolling() {
  m_timerRAS->SetEnabled(true);
}

void DialupWatcher::CallClosed() {
  const Settings& st = *m_d.settings;
  m_callLink.reset();
  m_serviceAwaySince.reset();
  m_firstSinceIdle = true;
  if (!m_info.ipAddress.empty()) {
    if (st.manageHosts && m_d.network.saveVisitedHosts) m_d.network.saveVisitedHosts();
    if (st.recordIpList && m_d.network.saveVisitedServers) m_d.network.saveVisitedServers();
  }
  m_info.ipAddress.clear();
  m_d.view->SetLabel(MeterLabel::IPLb, "127.0.0.1");
  m_d.view->SetStopHint("");
  m_launchAllowed = true;
  m_d.view->StopFlashing();
  TakeBaselines();
  m_d.view->BringUp();
}

void DialupWatcher::HangUp() {
  switch (m_info.kind) {
    case kKindModem:
      if (!m_d.dialup->HangUp(m_dialupHandle)) return;
      // The link takes a moment to go; the poll then ends the call.
      m_hangupDelay->SetInterval(1000);
      m_hangupDelay->SetEnabled(true);
      break;
    case kKindVoice:
    case kKindFaxG3:
    case kKindFaxG4:
      // A fax call is a telephony call too: releasing it is the only way to end it.
      // A call the line no longer knows has ended already; the meter ends it either way.
      static_cast<void>(m_d.telephony->Drop(m_voiceCall));
      break;
    default:
      break;
  }
}

void DialupWatcher::TakeManualCall() {
  m_info.status = kStatusManual;
  m_info.kind = kKindUnknown;
  m_info.entryName = kStatusManual;
}

void DialupWatcher::MarkDisconnected() {
  m_info.status = kStatusDisconnected;
}

void DialupWatcher::OpenAdapterStatistics() {
  m_sysMon = std::make_unique<TSysMon>(*m_d.statistics, *m_d.clock);
  m_baseline = {};
  const auto objects = m_sysMon->ListObjects();
  auto has = [&](const char* name) {
    return std::find(objects.begin(), objects.end(), name) != objects.end();
  };
  std::string object;
  if (has(kDialupAdapterObject))
    object = kDialupAdapterObject;
  else if (has(kDialupAdapterObjectIt))
    object = kDialupAdapterObjectIt;
  else
    return;
  m_recvCounter = &m_sysMon->AddMonitor();
  m_recvCounter->SysObject = object;
  m_recvCounter->Counter = kBytesReceivedCounter;
  m_sentCounter = &m_sysMon->AddMonitor();
  m_sentCounter->SysObject = object;
  m_sentCounter->Counter = kBytesSentCounter;
  m_speedCounter = &m_sysMon->AddMonitor();
  m_speedCounter->SysObject = object;
  m_speedCounter->Counter = kConnectSpeedCounter;
  TakeBaselines();
}

void DialupWatcher::BindAdapter(const DialupConnection& c) {
  m_adapterInterface = c.interfaceName;
  m_adapterIndex = c.interfaceIndex;
  if (m_sysMon) m_sysMon->SetDialupInterface(c.interfaceName);
}

void DialupWatcher::TakeBaselines() {
  m_baseline = {m_adapterInterface, m_adapterIndex, 0, 0};
  if (!m_recvCounter || m_adapterInterface.empty()) return;
  m_baseline.received = std::max<std::int64_t>(0, m_sysMon->Read(*m_recvCounter));
  m_baseline.sent = std::max<std::int64_t>(0, m_sysMon->Read(*m_sentCounter));
}

// Bytes since the baseline of this interface. A link is a new interface each time (its counters
// start at 0), so a baseline taken on another interface, or above the reading, counts from 0.
// A value that cannot be read (the link just went) leaves the last texts, which the log gets.
void DialupWatcher::ReadAdapterCounters() {
  if (!m_recvCounter) return;
  if (m_baseline.interfaceName != m_adapterInterface || m_baseline.interfaceIndex != m_adapterIndex)
    m_baseline = {m_adapterInterface, m_adapterIndex, 0, 0};
  const std::int64_t received = m_sysMon->Read(*m_recvCounter);
  const std::int64_t sent = m_sysMon->Read(*m_sentCounter);
  if (received >= 0) {
    if (received < m_baseline.received) m_baseline.received = 0;
    m_info.bytesReceived = std::to_string(received - m_baseline.received);
    m_d.view->SetLabel(MeterLabel::BytesRecv, GroupThousands(m_info.bytesReceived));
  }
  if (sent >= 0) {
    if (sent < m_baseline.sent) m_baseline.sent = 0;
    m_info.bytesSent = std::to_string(sent - m_baseline.sent);
    m_d.view->SetLabel(MeterLabel::BytesSend, GroupThousands(m_info.bytesSent));
  }
}

void DialupWatcher::TimerRASTimer() {
  m_timerRAS->SetEnabled(false);
  ReenableRas again{*m_timerRAS, *m_d.view};
  try {
    TakeSpeed();
    m_call.EvaluateIdle();
    auto connections = m_d.dialup->EnumConnections();
    if (!connections) {
      // The service cannot be asked: whatever runs ends as on disconnection, except a link's
      // call while its service restarts (it leaves the bus and comes back with the link).
      if (!m_call.Metering()) return;
      if (m_callLink && ServiceAwayWithinGrace()) {
        m_d.view->SetLabel(MeterLabel::RasLb, SafeServiceText(connections.error, 100));
        return;
      }
      LinkDisconnected();
      return;
    }
    if (m_call.Metering() && m_callLink) {
      if (!CallLinkHolds(*connections))
        LinkDisconnected();
      else if (connections->empty())
        return;  // a restarted service that has not shown the call's link again yet
    } else {
      m_serviceAwaySince.reset();
    }
    if (connections->empty()) {
      if (m_call.Metering() && m_info.status != kStatusManual && m_info.kind == kKindModem)
        LinkDisconnected();
      return;
    }
    for (const DialupConnection& c : *connections) WatchConnection(c);
  } catch (const std::exception& e) {
    m_call.ReportProblem(e.what());
  }
}

bool DialupWatcher::ServiceAwayWithinGrace() {
  const std::uint64_t now = m_d.clock->TickCount();
  if (!m_serviceAwaySince) m_serviceAwaySince = now;
  return now - *m_serviceAwaySince < kServiceRestartGraceMs;
}

bool DialupWatcher::CallLinkHolds(const std::vector<DialupConnection>& connections) {
  const bool returning = m_serviceAwaySince.has_value();
  const DialupConnection* own = nullptr;
  for (const auto& c : connections)
    if (LinkKey(c) == m_callLink->key) own = &c;
  // A restarted service names the same link anew; only its profile tells it is the same.
  if (!own && returning && !m_callLink->profile.empty()) {
    for (const auto& c : connections)
      if (c.profileId == m_callLink->profile) own = &c;
  }
  const int state = own ? m_d.dialup->GetConnectStatus(own->handle).state : kRasDisconnected;
  if (own && state == kRasConnected) {
    m_callLink->key = LinkKey(*own);
    m_serviceAwaySince.reset();
    return true;
  }
  // Back from a restart, the service shows its links again one by one, and a link may read as
  // being set up for a moment: the call waits for it until the grace is over. A link that went
  // during the restart is thus ended late; a link that stayed up is never cut.
  return returning && ServiceAwayWithinGrace();
}

void DialupWatcher::TakeSpeed() {
  // A missing speed (-1) is no speed: the log then says "n.d".
  if (!m_call.Metering() || !m_info.speed.empty() || !m_speedCounter) return;
  const std::int64_t speed = m_sysMon->Read(*m_speedCounter);
  if (speed > 0) m_info.speed = std::to_string(speed);
}

void DialupWatcher::LinkDisconnected() {
  const Settings& st = *m_d.settings;
  m_d.view->SetHangupEnabled(false);
  if (m_call.Metering()) m_call.End();
  m_info.status = kStatusDisconnected;
  // Without a telephony service the link is the only news of the call.
  if (!m_voiceCall) ShowStatus();
  m_d.view->SetLabel(MeterLabel::RasLb, kStatusDisconnected);
  m_d.view->SetLabel(MeterLabel::DevType, CallKindName(m_info.kind));
  m_d.view->SetLabel(MeterLabel::ServiceLb,
                     m_info.status + " da: " + m_info.entryName + "  " + m_info.remoteParty);
  m_d.view->SetTrayHint("ORVA32 - nessuna connessione");
  if (st.iconOnStop == 1) m_d.view->Minimise();
  if (st.hideOnStop == 1) m_d.view->HideWindow();
}

void DialupWatcher::WatchConnection(const DialupConnection& link) {
  // The name goes to labels, the associations and the log's tab-separated line.
  DialupConnection c = link;
  c.entryName = SafeServiceText(link.entryName, kMaxEntryNameChars);
  const bool callLink = m_callLink && LinkKey(c) == m_callLink->key;
  m_dialupHandle = c.handle;
  m_d.view->SetLabel(MeterLabel::ServiceLb, c.entryName);
  m_info.entryName = c.entryName;
  m_call.SetNegotiation(m_d.tariffs->FindAssociation(
      c.entryName, m_call.NegotiationText(), [this](int index) { m_call.SelectTariff(index); }));
  m_d.view->SetLabel(MeterLabel::DevType, c.deviceType);
  m_d.view->SetLabel(MeterLabel::DevName, c.deviceName);
  m_info.kind = kKindModem;
  const DialupStatus status = m_d.dialup->GetConnectStatus(c.handle);
  m_d.view->SetLabel(MeterLabel::RasLb, status.error != 0 ? m_d.dialup->ErrorText(status.error)
                                                          : RasStateText(status.state));
  // The bytes are the call's link's, whatever else is up beside it.
  if (!m_callLink || callLink) {
    BindAdapter(c);
    if (m_call.Metering()) {
      ReadAdapterCounters();
      TakeSpeed();
    }
  }
  if (status.state == kRasConnected)
    LinkConnected(c);
  else if (status.state == kRasDisconnected)
    LinkDisconnected();
}

void DialupWatcher::LinkConnected(const DialupConnection& c) {
  const Settings& st = *m_d.settings;
  if (!m_call.Metering()) {
    m_call.Start();
    if (m_call.Metering()) {
      m_callLink = CallLink{LinkKey(c), c.profileId};
      ReadAdapterCounters();  // a link's call shows its bytes from the first poll: 0
    }
    if (st.maximizeOnConnect == 1) m_d.view->BringUp();
    if (m_d.view->IsHidden()) m_d.view->ShowWindow();
    m_d.view->ExpandDetails();
  }
  if (m_info.hostName.empty() && m_info.ipAddress.empty()) {
    auto local = m_d.network.lookupLocal ? m_d.network.lookupLocal(c)
                                         : std::make_pair(std::string(), c.ipv4);
    m_info.hostName = local.first;
    m_info.ipAddress = local.second;
    m_d.view->SetLabel(MeterLabel::IPLb, m_info.ipAddress);
    if (m_d.network.startTcpMonitor) m_d.network.startTcpMonitor();
    if (!m_info.ipAddress.empty()) {
      if (m_d.network.startMailCheck) m_d.network.startMailCheck();
      m_d.view->SetStopHint("Sconnessione");
    }
  }
  if (m_firstSinceIdle) {
    if (st.iconOnStart == 1 && m_info.kind != kKindVoice) m_d.view->Minimise();
    m_firstSinceIdle = false;
  }
  LaunchConnectionPrograms(c.entryName);
  m_d.view->SetHangupEnabled(true);
  m_info.status = kStatusConnected;
  if (!m_voiceCall) ShowStatus();
  m_d.view->SetTrayHint("ORVA32 - Connesso a : " + c.entryName);
}

void DialupWatcher::LaunchConnectionPrograms(const std::string& entry) {
  if (!m_launchAllowed) return;
  for (const auto& p : m_d.settings->launched) {
    if (p.program.empty() || !MeterFileExists(m_d, p.program))
      continue;  // a missing program is skipped
    if (p.provider != "qualunque" && p.provider != entry) continue;
    const ShowWindow show = p.window == 1   ? ShowWindow::swShowMaximized
                            : p.window == 2 ? ShowWindow::swShowMinimized
                                            : ShowWindow::swShowNormal;
    // A program of the list that does not start does not hold up the call.
    static_cast<void>(m_d.launcher->Launch({{p.program}, DirectoryOf(p.program), show}));
  }
  m_launchAllowed = false;
}

void DialupWatcher::DialEntry(const std::string& entry) {
  // pppd is dialled by a program the launcher starts, NetworkManager by a request of its own;
  // either way the poll then sees the link. A name that cannot be dialled, or a dialler that
  // does not start, is told: the user chose the entry and waits for the link.
  if (const Status dialled = m_d.dialup->Dial(entry, *m_d.launcher); !dialled && m_d.dialogs)
    m_d.dialogs->Message(dialled.error, MsgType::Error, MsgButtons::Ok);
}

void DialupWatcher::EndTelephonyCall(bool releaseHandle, bool keepStatus) {
  const Settings& st = *m_d.settings;
  if (releaseHandle) {
    m_d.telephony->Deallocate(m_voiceCall);
    m_voiceCall = 0;
  }
  if (!keepStatus) m_info.status = kStatusDisconnected;
  if (m_call.Metering()) {
    const bool voice = m_info.kind == kKindVoice;
    m_call.End();
    if (!voice) {
      if (st.iconOnStop == 1) m_d.view->Minimise();
      if (st.hideOnStop == 1) m_d.view->HideWindow();
    }
    m_d.view->SetLabel(MeterLabel::ServiceLb,
                       m_info.status + " da: " + m_info.entryName + "  " + m_info.remoteParty);
  } else {
    m_d.view->SetLabel(MeterLabel::ServiceLb, m_info.status);
  }
  m_d.view->SetTrayHint("ORVA32 - nessuna connessione");
  m_d.view->SetLabel(MeterLabel::DevType, CallKindName(m_info.kind));
  m_d.view->SetLabel(MeterLabel::RasLb, kStatusDisconnected);
}

void DialupWatcher::LineCallback(std::int64_t call, int event, int state, int detail) {
  if (event != kLineCallState) return;
  try {
    m_voiceCall = call;
    switch (state) {
      case kCallIdle:
        EndTelephonyCall(true, false);
        break;
      case kCallOffering:
        m_info.status = "Offering state";
        break;
      case kCallDialing:
        m_info.status = "Composizione numero";
        BringUpForCall();
        break;
      case kCallRingback:
        m_info.status = "Ringing...";
        break;
      case kCallBusy:
        m_info.status = "Linea occupata";
        break;
      case kCallConnected:
        CallConnected(call);
        break;
      case kCallProceeding:
        m_info.status = "Tentativo di connessione";
        // Only a data call has bytes on the adapter.
        if (m_call.Metering() && m_info.kind == kKindModem) ReadAdapterCounters();
        BringUpForCall();
        break;
      case kCallDisconnected: {
        // The reason stays shown after the call has ended.
        const char* reason = detail == 32     ? "Disconnesso - Numero Occupato"
                             : detail == 64   ? "Disconnesso - Nessuna risposta"
                             : detail == 4096 ? "Disconnesso - No Dial Tone"
                                              : nullptr;
        if (reason) m_info.status = reason;
        EndTelephonyCall(false, reason != nullptr);
        break;
      }
      default:
        break;
    }
  } catch (const std::exception& e) {
    m_call.ReportProblem(e.what());
  }
  ShowStatus();
  m_d.view->SetLabel(MeterLabel::DevType, CallKindName(m_info.kind));
  m_d.view->RefreshCommandStates();
}

void DialupWatcher::BringUpForCall() {
  if (m_d.settings->maximizeOnConnect == 1) m_d.view->BringUp();
  m_d.view->ExpandDetails();
}

void DialupWatcher::CallConnected(std::int64_t call) {
  const TelephonyCallInfo info = m_d.telephony->GetCallInfo(call).value_or(TelephonyCallInfo{});
  m_info.speed = info.rate > 0 ? std::to_string(info.rate) : std::string();
  // A number is a few dozen digits at most; a name is bounded like an entry's.
  m_info.remoteParty = SafeServiceText(info.displayableAddress, kMaxPartyChars);
  m_info.entryName = SafeServiceText(info.calledParty, kMaxEntryNameChars);
  switch (info.mediaMode) {
    case kMediaInteractiveVoice:
      m_info.kind = kKindVoice;
      break;
    case kMediaDataModem:
      m_info.kind = kKindModem;
      break;
    case kMediaG3Fax:
      m_info.kind = kKindFaxG3;
      break;
    case kMediaG4Fax:
      m_info.kind = kKindFaxG4;
      break;
    default:
      break;
  }
  m_info.status = kStatusConnected;
  const std::string text = m_info.status + " a: " + m_info.entryName + "  " + m_info.remoteParty;
  m_d.view->SetLabel(MeterLabel::ServiceLb, text);
  m_d.view->SetTrayHint("ORVA32 - " + text);
  m_d.view->SetLabel(MeterLabel::TickLb, m_call.Tariff().tickText);
  // The modem's own fax initialisation shows as a call but costs nothing.
  if (!m_call.Metering() && m_info.entryName != "Inizializzazione del fax") {
    m_call.Start();
    BringUpForCall();
  }
}

void DialupWatcher::ShowStatus() {
  m_d.view->SetLabel(MeterLabel::StatusLb,
                     m_info.status == kStatusConnected && !m_info.speed.empty()
                         ? "Connesso a " + m_info.speed + " bps"
                         : m_info.status);
}

}  // namespace orva
