// The shell without windows: start-up order, first activation, the application messages and
// the decisions at close and at the end of the session.
#include <cmath>
#include <exception>

#include "core/MainLogic.h"
#include "core/password.h"

namespace orva {

MainLogic::MainLogic(Deps deps) : m_d(std::move(deps)) {
  m_timerRAS = m_d.timers->CreateTimer();
  m_timer22 = m_d.timers->CreateTimer();
  m_timerCh = m_d.timers->CreateTimer();
  m_hangupDelay = m_d.timers->CreateTimer();
  m_timerRAS->SetInterval(250);
  m_timerRAS->OnTimer = [this] { TimerRASTimer(); };
  m_timer22->OnTimer = [this] { Timer22Timer(); };
  m_timerCh->OnTimer = [this] { TimerChTimer(); };
  m_timerCh->SetInterval(15000);
  m_hangupDelay->OnTimer = [this] {
    m_hangupDelay->SetEnabled(false);
    m_d.view->SetHangupEnabled(false);
  };
  m_negotiation = m_d.settings->negotiationTime;
}

MainLogic::~MainLogic() = default;

void MainLogic::Startup() {
  Settings& st = *m_d.settings;
  m_firstActivation = true;
  m_negotiation = st.negotiationTime;

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

  m_ticks = 0;
  m_cost = 0;
  m_elapsed = 0;
  m_metering = false;
  m_tariff.tickCost = 127.0;
  m_timer22->SetEnabled(false);
  m_timer22->SetInterval(st.timerClockMs > 0 ? st.timerClockMs : 200);
  m_timerCh->SetInterval(std::max(1, st.warnFrequency) * 1000);
  m_info.Reset();
  m_d.view->SetLabel(MeterLabel::TickLb, "");

  m_selectedTariff = 0;
  Evaluate(0, 0);
  m_d.view->SetLabel(MeterLabel::TickLb, m_tariff.tickText);
  OpenAdapterStatistics();
  m_firstSinceIdle = true;
  m_launchAllowed = true;
  m_timerCh->SetEnabled(true);
  m_timerRAS->SetEnabled(true);
}

void MainLogic::FirstActivation() {
  if (!m_firstActivation) return;
  m_firstActivation = false;
  m_periodCost = m_d.bill->PeriodCost();
  int index = m_d.settings->tariffIndex;
  if (index < 0 || index >= m_d.tariffs->Count()) {
    index = 0;
    m_d.settings->tariffIndex = 0;
  }
  m_selectedTariff = index;
  m_d.view->SelectTariff(index);
  m_d.view->RedrawCounters();
  Evaluate(m_ticks, m_elapsed);
  m_d.view->SetGauges(static_cast<int>(Round(m_tariff.tickSeconds)), -1);
  m_d.view->RedrawCounters();
}

void MainLogic::SelectTariff(int index) {
  const int count = m_d.tariffs->Count();
  if (index < 0 || (count > 0 && index >= count) || (count == 0 && index != 0)) return;
  m_selectedTariff = index;
  m_d.settings->tariffIndex = index;
  m_d.view->SelectTariff(index);
  Evaluate(m_ticks, m_elapsed);
  m_d.view->SetGauges(static_cast<int>(Round(m_tariff.tickSeconds)), -1);
  m_d.view->RedrawCounters();
}

void MainLogic::RefreshPeriodCost() {
  m_periodCost = m_d.bill->PeriodCost();
  m_d.view->RedrawCounters();
}

bool MainLogic::FormCloseQuery() {
  const Settings& st = *m_d.settings;
  // While the session ends no password is asked.
  if (!m_shutdown && !CheckPasswordFor(ProtectedAction::Close, st.access, *m_d.dialogs))
    return false;
  if (!m_metering) return true;
  if (m_d.dialogs->Message("Connessione in corso. Esco lo stesso ?", MsgType::Information,
                           MsgButtons::YesNo) != MsgAnswer::Yes)
    return false;
  EndCall();
  return true;
}

void MainLogic::WMQueryEndSession() {
  // Set first: ending the call asks nothing while the session ends.
  m_shutdown = true;
  if (m_metering) EndCall();
}

void MainLogic::FormDestroy() {
  if (m_d.saveSettings) m_d.saveSettings();
  if (m_telephonyOpen) m_d.telephony->Close();
  m_telephonyOpen = false;
  m_timerRAS->SetEnabled(false);
  m_timer22->SetEnabled(false);
  m_timerCh->SetEnabled(false);
}

bool MainLogic::HandleAppMessage(
    int message, long long wParam, long long lParam,
    const std::function<void(long long, int, long long, long long)>& reply) {
  switch (message) {
    case 17:  // the session is ending: no password at close
      m_shutdown = true;
      return false;
    case 274: {  // a counter item from the taskbar menu
      const long long item = wParam / 16;
      if (item >= 6 && item <= 12) m_d.view->SelectCounterItem(static_cast<int>(item - 5));
      return false;
    }
    case kMsgStart:
      if (!m_metering) {
        m_info.status = kStatusManual;
        m_info.kind = kKindUnknown;
        m_info.entryName = kStatusManual;
        m_d.view->SetLabel(MeterLabel::ServiceLb, m_info.status);
        m_d.view->SetTrayHint(std::string("ORVA32 - ") + kStatusManual);
        StartCall();
      }
      return true;
    case kMsgStop:
      if (m_metering) EndCall();
      return true;
    case kMsgQuit:
      if (m_metering) EndCall();
      if (m_d.saveSettings) m_d.saveSettings();
      m_d.view->Quit();
      return true;
    case kMsgSelectTariff:
      if (lParam >= 0 && lParam <= 0x7FFFFFFF) SelectTariff(static_cast<int>(lParam));
      return true;
    case kMsgDefaultTariff:
      SelectTariff(0);
      return true;
    case kMsgRedraw:
      m_d.view->RedrawCounters();
      return true;
    case kMsgNothing:
      return true;
    case kMsgPing:
      if (reply) reply(wParam, kMsgPingReply, m_d.applicationId, 0);
      return true;
    default:
      return false;
  }
}

}  // namespace orva
