// The application shell without windows: start-up, the first activation, the application
// messages, the manual commands and the close decisions, over the metered call and the
// dial-up watcher it owns. The main window (or the console meter) owns one and forwards its
// events; everything runs on one thread.
#pragma once

#include <functional>
#include <string>

#include "core/DialupWatcher.h"
#include "core/MeterDeps.h"
#include "core/MeteredCall.h"

namespace orva {

// Application messages (first user message + n).
inline constexpr int kMsgStart = 1025;
inline constexpr int kMsgStop = 1026;
inline constexpr int kMsgQuit = 1027;
inline constexpr int kMsgSelectTariff = 1028;
inline constexpr int kMsgDefaultTariff = 1029;
inline constexpr int kMsgRedraw = 1030;
inline constexpr int kMsgNothing = 1033;
inline constexpr int kMsgPing = 1122;
inline constexpr int kMsgPingReply = 1123;

class MainLogic {
 public:
  explicit MainLogic(MeterDeps deps);
  MainLogic(const MainLogic&) = delete;
  MainLogic& operator=(const MainLogic&) = delete;

  // ---- start-up and shutdown
  // The start-up order after the settings are loaded; ends with the dial-up poll enabled.
  void Startup();
  // The first activation: the period cost, the saved tariff, a first evaluation.
  void FirstActivation();
  // Whether the program may close now (asks the password, confirms ending a call).
  bool FormCloseQuery();
  // The session is ending: a metered call is ended and recorded; no password at close.
  void WMQueryEndSession();
  // Saves the settings and releases telephony.
  void FormDestroy();
  // An application message; true when handled. `reply` receives the answer of 1122.
  bool HandleAppMessage(int message, long long wParam, long long lParam,
                        const std::function<void(long long target, int message, long long wParam,
                                                 long long lParam)>& reply = {});

  // ---- the commands
  void Start1Click();
  void Stop1Click();
  void HangupBtnClick();
  void VoiceBtnClick();

  // The metered call and the watcher of its line.
  MeteredCall& Call() { return m_call; }
  const MeteredCall& Call() const { return m_call; }
  DialupWatcher& Watcher() { return m_watcher; }
  const DialupWatcher& Watcher() const { return m_watcher; }

 private:
  // A start by hand (the button or message 1025): the call's texts, then the call.
  void StartByHand();

  MeterDeps m_d;
  MeteredCall m_call;
  DialupWatcher m_watcher;
  bool m_firstActivation = true;
  bool m_inStop = false;
};

}  // namespace orva
