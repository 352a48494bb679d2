// The shell without windows: start-up order, first activation, the application messages, the
// manual commands and the decisions at close and at the end of the session.
#include "meter/MainLogic.h"

#include <string>
#include <utility>

#include "core/HowUtils.h"
#include "core/password.h"
#include "platform/DataFiles.h"

namespace orva {

MainLogic::MainLogic(MeterDeps deps) : m_d(std::move(deps)), m_call(m_d), m_watcher(m_d, m_call) {}

void MainLogic::Startup() {
  m_firstActivation = true;
  m_watcher.OpenLines();
  m_call.Reset();
  m_watcher.StartPolling();
}

void MainLogic::FirstActivation() {
  if (!m_firstActivation) return;
  m_firstActivation = false;
  m_call.Activate();
}

bool MainLogic::FormCloseQuery() {
  const Settings& st = *m_d.settings;
  // While the session ends no password is asked.
  if (!m_call.SessionEnding() && !CheckPasswordFor(ProtectedAction::Close, st.access, *m_d.dialogs))
    return false;
  if (!m_call.Metering()) return true;
  if (m_d.dialogs->Message("Connessione in corso. Esco lo stesso ?", MsgType::Information,
                           MsgButtons::YesNoDefaultNo) != MsgAnswer::Yes)
    return false;
  m_call.End();
  return true;
}

void MainLogic::WMQueryEndSession() {
  // Set first: ending the call asks nothing while the session ends.
  m_call.EndSession();
  if (m_call.Metering()) m_call.End();
}

void MainLogic::FormDestroy() {
  if (m_d.saveSettings) m_d.saveSettings();
  m_watcher.Stop();
  m_call.Stop();
}

bool MainLogic::HandleAppMessage(
    int message, long long wParam, long long lParam,
    const std::function<void(long long, int, long long, long long)>& reply) {
  switch (message) {
    case 17:  // the session is ending: no password at close
      m_call.EndSession();
      return false;
    case 274: {  // a counter item from the taskbar menu
      const long long item = wParam / 16;
      if (item >= 6 && item <= 12) m_d.view->SelectCounterItem(static_cast<int>(item - 5));
      return false;
    }
    case kMsgStart:
      if (!m_call.Metering()) {
        StartByHand();
        m_call.Start();
      }
      return true;
    case kMsgStop:
      if (m_call.Metering()) m_call.End();
      return true;
    case kMsgQuit:
      if (m_call.Metering()) m_call.End();
      if (m_d.saveSettings) m_d.saveSettings();
      m_d.view->Quit();
      return true;
    case kMsgSelectTariff:
      if (lParam >= 0 && lParam <= 0x7FFFFFFF) m_call.SelectTariff(static_cast<int>(lParam));
      return true;
    case kMsgDefaultTariff:
      m_call.SelectTariff(0);
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

void MainLogic::StartByHand() {
  m_watcher.TakeManualCall();
  m_d.view->SetLabel(MeterLabel::ServiceLb, kStatusManual);
  m_d.view->SetTrayHint(std::string("ORVA32 - ") + kStatusManual);
}

void MainLogic::Start1Click() {
  if (m_call.Metering()) return;
  if (!CheckPasswordFor(ProtectedAction::ManualStart, m_d.settings->access, *m_d.dialogs)) return;
  m_d.view->SetStopHint("Arresto manuale");
  StartByHand();
  m_d.view->SetLabel(MeterLabel::TickLb, m_call.Tariff().tickText);
  m_call.Start();
}

void MainLogic::Stop1Click() {
  if (!CheckPasswordFor(ProtectedAction::ManualStop, m_d.settings->access, *m_d.dialogs)) return;
  m_inStop = true;
  m_d.view->SetStopHint("");
  if (!m_watcher.Info().ipAddress.empty())
    HangupBtnClick();
  else
    m_d.view->SetLabel(MeterLabel::StatusLb, kStatusDisconnected);
  m_watcher.MarkDisconnected();
  m_d.view->SetLabel(MeterLabel::ServiceLb, kStatusDisconnected);
  m_d.view->SetTrayHint(std::string("ORVA32 - ") + kStatusDisconnected);
  m_d.view->SetLabel(MeterLabel::TickLb, m_call.Tariff().tickText);
  m_call.End();
  m_inStop = false;
}

void MainLogic::HangupBtnClick() {
  if (!m_call.Metering()) return;
  if (m_watcher.Info().kind != kKindUnknown)
    m_watcher.HangUp();
  else if (!m_inStop)
    Stop1Click();
}

void MainLogic::VoiceBtnClick() {
  const std::string& dir = m_d.settings->rubrixPath;
  if (!dir.empty()) {
    const std::string program = DataPath(dir).File("Rubrix.exe");
    if (MeterFileExists(m_d, program)) {
      // As the voice button always did, a program that does not start says nothing.
      static_cast<void>(m_d.launcher->Launch({{program}, dir, ShowWindow::swShowNormal}));
      return;
    }
  }
  m_d.view->ShowVoiceDialer();
}

}  // namespace orva
